#include "big_zip.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/zip_writer.h"

namespace bench {

namespace {

class Output {
public:
    explicit Output(const std::wstring& path) { file_ = _wfopen(path.c_str(), L"wb"); }
    ~Output() {
        if (file_) fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    void bytes(const void* data, size_t size) {
        fwrite(data, 1, size, file_);
        offset_ += size;
    }
    void u16(uint16_t v) { bytes(&v, 2); }
    void u32(uint32_t v) { bytes(&v, 4); }
    void u64(uint64_t v) { bytes(&v, 8); }
    uint64_t offset() const { return offset_; }
    // Writes `v` at an earlier offset and comes back to the end.
    void patch32(uint64_t at, uint32_t v) {
        _fseeki64(file_, static_cast<long long>(at), SEEK_SET);
        fwrite(&v, 1, 4, file_);
        _fseeki64(file_, 0, SEEK_END);
    }

private:
    FILE* file_ = nullptr;
    uint64_t offset_ = 0;
};

struct Central {
    std::string name;
    uint32_t crc;
    uint32_t size;
    uint32_t offset;
    uint16_t time;
    bool folder;
};

constexpr uint16_t kDosDate = (44u << 9) | (3u << 5) | 4u;  // 2024-03-04
constexpr uint16_t kDosTime = (5u << 11) | (6u << 5) | 3u;  // 05:06:06

void LocalHeader(Output& out, const Central& c) {
    out.u32(0x04034b50);
    out.u16(20);
    out.u16(0x0800);  // UTF-8 names
    out.u16(0);       // stored
    out.u16(c.time);
    out.u16(kDosDate);
    out.u32(c.crc);
    out.u32(c.size);
    out.u32(c.size);
    out.u16(static_cast<uint16_t>(c.name.size()));
    out.u16(0);
    out.bytes(c.name.data(), c.name.size());
}

// The central directory and the end records (zip64 ones included, which every reader accepts).
void Finish(Output& out, const std::vector<Central>& central) {
    const uint64_t centralStart = out.offset();
    for (const Central& c : central) {
        out.u32(0x02014b50);
        out.u16(45);
        out.u16(45);
        out.u16(0x0800);
        out.u16(0);
        out.u16(c.time);
        out.u16(kDosDate);
        out.u32(c.crc);
        out.u32(c.size);
        out.u32(c.size);
        out.u16(static_cast<uint16_t>(c.name.size()));
        out.u16(0);
        out.u16(0);
        out.u16(0);
        out.u16(0);
        out.u32(c.folder ? 0x10 : 0x20);
        out.u32(c.offset);
        out.bytes(c.name.data(), c.name.size());
    }
    const uint64_t count = central.size();
    const uint64_t centralSize = out.offset() - centralStart;
    const uint64_t zip64End = out.offset();
    out.u32(0x06064b50);
    out.u64(44);
    out.u16(45);
    out.u16(45);
    out.u32(0);
    out.u32(0);
    out.u64(count);
    out.u64(count);
    out.u64(centralSize);
    out.u64(centralStart);
    out.u32(0x07064b50);
    out.u32(0);
    out.u64(zip64End);
    out.u32(1);
    out.u32(0x06054b50);
    out.u16(0);
    out.u16(0);
    out.u16(0xFFFF);
    out.u16(0xFFFF);
    out.u32(static_cast<uint32_t>(centralSize));
    out.u32(static_cast<uint32_t>(centralStart));
    out.u16(0);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool PutInPlace(const std::wstring& partial, const std::wstring& path) {
    return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

uint64_t MakeBenchZip(const std::wstring& path, const BenchZipLayout& layout) {
    const uint64_t outer = static_cast<uint64_t>(std::max(layout.folders, 1));
    const uint64_t inner = layout.subfolders > 0 ? outer * static_cast<uint64_t>(layout.subfolders) : 0;
    const uint64_t files = static_cast<uint64_t>(layout.filesPerFolder) * (inner > 0 ? inner : outer);
    const uint64_t entries = files + static_cast<uint64_t>(layout.folders) + inner;
    if (Exists(path)) return entries;
    const std::wstring partial = path + L".part";
    {
        Output out(partial);
        if (!out.ok()) return 0;
        std::vector<Central> central;
        central.reserve(entries);
        uint64_t fileIndex = 0;
        auto add = [&](std::string name, bool folder) {
            Central c{std::move(name), 0, 0, static_cast<uint32_t>(out.offset()), kDosTime, folder};
            std::string data;
            if (!folder) {
                const uint64_t i = fileIndex++;
                if (layout.variedFiles) {
                    data.assign(50 - static_cast<size_t>(i * 7 % 50), 'x');
                    const uint32_t halfSeconds = 43199 - static_cast<uint32_t>(i * 7919 % 43200);
                    const uint32_t seconds = halfSeconds * 2;
                    c.time = static_cast<uint16_t>(((seconds / 3600) << 11) | ((seconds / 60 % 60) << 5) | (seconds % 60 / 2));
                } else {
                    data.assign(layout.fileBytes, 'x');
                }
            }
            c.crc = testsupport::Crc32(data);
            c.size = static_cast<uint32_t>(data.size());
            LocalHeader(out, c);
            out.bytes(data.data(), data.size());
            central.push_back(std::move(c));
        };
        char name[64];
        if (layout.folders == 0) {
            for (int f = 0; f < layout.filesPerFolder; ++f) {
                std::snprintf(name, sizeof(name), "file%06d.txt", f);
                add(name, false);
            }
        } else if (layout.subfolders > 0) {
            for (int d = 0; d < layout.folders; ++d) {
                std::snprintf(name, sizeof(name), "folder%03d/", d);
                add(name, true);
                for (int s = 0; s < layout.subfolders; ++s) {
                    std::snprintf(name, sizeof(name), "folder%03d/sub%03d/", d, s);
                    add(name, true);
                    for (int f = 0; f < layout.filesPerFolder; ++f) {
                        std::snprintf(name, sizeof(name), "folder%03d/sub%03d/file%03d.txt", d, s, f);
                        add(name, false);
                    }
                }
            }
        } else {
            for (int d = 0; d < layout.folders; ++d) {
                std::snprintf(name, sizeof(name), "folder%05d/", d);
                add(name, true);
                for (int f = 0; f < layout.filesPerFolder; ++f) {
                    std::snprintf(name, sizeof(name), "folder%05d/file%04d.txt", d, f);
                    add(name, false);
                }
            }
        }
        Finish(out, central);
    }
    return PutInPlace(partial, path) ? entries : 0;
}

bool MakeOneFileZip(const std::wstring& path, uint64_t bytes) {
    if (Exists(path)) return true;
    if (bytes > 0xFFFFFFFEull) return false;  // beyond what a plain header holds
    const std::wstring partial = path + L".part";
    {
        Output out(partial);
        if (!out.ok()) return false;
        Central c{"big.bin", 0, static_cast<uint32_t>(bytes), 0, kDosTime, false};
        LocalHeader(out, c);
        std::vector<char> chunk(1 << 20);
        uint32_t state = 2463534242u;
        uint32_t crc = 0;
        for (uint64_t left = bytes; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, chunk.size()));
            for (size_t k = 0; k < n; ++k) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                chunk[k] = static_cast<char>(state);
            }
            crc = testsupport::Crc32(std::string_view(chunk.data(), n), crc);
            out.bytes(chunk.data(), n);
            left -= n;
        }
        c.crc = crc;
        out.patch32(14, crc);
        Finish(out, {c});
    }
    return PutInPlace(partial, path);
}

}  // namespace bench
