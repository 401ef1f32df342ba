#include "big_zip.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

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

private:
    FILE* file_ = nullptr;
    uint64_t offset_ = 0;
};

struct Central {
    uint32_t crc;
    uint32_t size;
    uint32_t offset;
    bool folder;
};

constexpr uint16_t kDosDate = (44u << 9) | (3u << 5) | 4u;  // 2024-03-04
constexpr uint16_t kDosTime = (5u << 11) | (6u << 5) | 3u;  // 05:06:06

}  // namespace

uint64_t MakeBenchZip(const std::wstring& path, int folders, int filesPerFolder) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return folders == 0 ? static_cast<uint64_t>(filesPerFolder)
                            : static_cast<uint64_t>(folders) * (static_cast<uint64_t>(filesPerFolder) + 1);
    }
    const std::wstring partial = path + L".part";
    uint64_t count = 0;
    {
        Output out(partial);
        if (!out.ok()) return 0;
        std::vector<Central> central;
        std::vector<std::string> names;
        auto add = [&](const std::string& name, const std::string& data) {
            const bool folder = !name.empty() && name.back() == '/';
            const uint32_t crc = testsupport::Crc32(data);
            Central c{crc, static_cast<uint32_t>(data.size()), static_cast<uint32_t>(out.offset()), folder};
            out.u32(0x04034b50);
            out.u16(20);
            out.u16(0x0800);  // UTF-8 names
            out.u16(0);       // stored
            out.u16(kDosTime);
            out.u16(kDosDate);
            out.u32(crc);
            out.u32(c.size);
            out.u32(c.size);
            out.u16(static_cast<uint16_t>(name.size()));
            out.u16(0);
            out.bytes(name.data(), name.size());
            out.bytes(data.data(), data.size());
            central.push_back(c);
            names.push_back(name);
            ++count;
        };
        char name[64];
        if (folders == 0) {
            for (int f = 0; f < filesPerFolder; ++f) {
                std::snprintf(name, sizeof(name), "file%06d.txt", f);
                add(name, "x");
            }
        } else {
            for (int d = 0; d < folders; ++d) {
                std::snprintf(name, sizeof(name), "folder%05d/", d);
                add(name, "");
                for (int f = 0; f < filesPerFolder; ++f) {
                    std::snprintf(name, sizeof(name), "folder%05d/file%04d.txt", d, f);
                    add(name, "x");
                }
            }
        }
        const uint64_t centralStart = out.offset();
        for (size_t i = 0; i < central.size(); ++i) {
            const Central& c = central[i];
            out.u32(0x02014b50);
            out.u16(45);
            out.u16(45);
            out.u16(0x0800);
            out.u16(0);
            out.u16(kDosTime);
            out.u16(kDosDate);
            out.u32(c.crc);
            out.u32(c.size);
            out.u32(c.size);
            out.u16(static_cast<uint16_t>(names[i].size()));
            out.u16(0);
            out.u16(0);
            out.u16(0);
            out.u16(0);
            out.u32(c.folder ? 0x10 : 0x20);
            out.u32(c.offset);
            out.bytes(names[i].data(), names[i].size());
        }
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
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return count;
}

}  // namespace bench
