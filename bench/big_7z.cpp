#include "big_7z.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/zip_writer.h"

namespace bench {

namespace {

constexpr char kContent[] = "content of a small file\n";
constexpr uint64_t kContentBytes = sizeof(kContent) - 1;

// The property ids of the 7z header this writer uses.
enum : uint8_t {
    kEnd = 0x00, kHeader = 0x01, kMainStreamsInfo = 0x04, kFilesInfo = 0x05, kPackInfo = 0x06,
    kUnpackInfo = 0x07, kSubStreamsInfo = 0x08, kSize = 0x09, kCrc = 0x0A, kFolder = 0x0B,
    kCodersUnpackSize = 0x0C, kNumUnpackStream = 0x0D, kEmptyStream = 0x0E, kName = 0x11, kMTime = 0x14,
    kWinAttributes = 0x15,
};

class Bytes {
public:
    void byte(uint8_t b) { data_.push_back(static_cast<char>(b)); }
    void raw(const void* p, size_t n) { data_.append(static_cast<const char*>(p), n); }
    void u32(uint32_t v) { raw(&v, 4); }
    void u64(uint64_t v) { raw(&v, 8); }
    // The format's variable-length number: the leading one bits of the first byte count the bytes
    // that follow (least significant first); the rest of the first byte holds the highest bits.
    void number(uint64_t value) {
        uint8_t first = 0, mask = 0x80;
        int extra = 0;
        for (; extra < 8; ++extra) {
            if (value < (1ull << (7 * (extra + 1)))) {
                first |= static_cast<uint8_t>(value >> (8 * extra));
                break;
            }
            first |= mask;
            mask >>= 1;
        }
        byte(first);
        for (int i = 0; i < extra; ++i, value >>= 8) byte(static_cast<uint8_t>(value));
    }
    // A property: its id, its size, its bytes.
    void property(uint8_t id, const Bytes& body) {
        byte(id);
        number(body.data_.size());
        data_ += body.data_;
    }
    const std::string& data() const { return data_; }
    void reserve(size_t n) { data_.reserve(n); }

private:
    std::string data_;
};

struct Item {
    std::string name;  // UTF-8 (ASCII here), '/' between folders
    bool folder;
};

std::string Header(const std::vector<Item>& items, uint64_t streams) {
    Bytes h;
    h.byte(kHeader);
    h.byte(kMainStreamsInfo);
    h.byte(kPackInfo);
    h.number(0);  // the packed stream starts right after the signature header
    h.number(1);
    h.byte(kSize);
    h.number(streams * kContentBytes);
    h.byte(kEnd);
    h.byte(kUnpackInfo);
    h.byte(kFolder);
    h.number(1);  // one block for every file: solid
    h.byte(0);    // not external
    h.number(1);  // one coder
    h.byte(0x01);  // a one-byte method id, simple coder
    h.byte(0x00);  // Copy
    h.byte(kCodersUnpackSize);
    h.number(streams * kContentBytes);
    h.byte(kEnd);
    h.byte(kSubStreamsInfo);
    h.byte(kNumUnpackStream);
    h.number(streams);
    h.byte(kSize);
    for (uint64_t i = 0; i + 1 < streams; ++i) h.number(kContentBytes);  // all but the last
    h.byte(kCrc);
    h.byte(1);  // all defined
    const uint32_t crc = testsupport::Crc32(std::string_view(kContent, kContentBytes));
    for (uint64_t i = 0; i < streams; ++i) h.u32(crc);
    h.byte(kEnd);
    h.byte(kEnd);

    h.byte(kFilesInfo);
    h.number(items.size());
    Bytes empty, names, times, attributes;
    std::vector<uint8_t> bits((items.size() + 7) / 8, 0);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].folder) bits[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    empty.raw(bits.data(), bits.size());
    h.property(kEmptyStream, empty);
    names.byte(0);  // not external
    names.reserve(items.size() * 52);
    for (const Item& item : items) {
        for (char c : item.name) {
            const uint16_t unit = static_cast<unsigned char>(c);
            names.raw(&unit, 2);
        }
        names.raw("\0\0", 2);
    }
    h.property(kName, names);
    times.byte(1);  // all defined
    times.byte(0);  // not external
    const uint64_t time = 133540515660000000ull;  // 2024-03-04 05:06:06 UTC
    for (size_t i = 0; i < items.size(); ++i) times.u64(time);
    h.property(kMTime, times);
    attributes.byte(1);
    attributes.byte(0);
    for (const Item& item : items) attributes.u32(item.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE);
    h.property(kWinAttributes, attributes);
    h.byte(kEnd);
    h.byte(kEnd);
    return h.data();
}

}  // namespace

uint64_t MakeSolid7z(const std::wstring& path, int folders, int filesPerFolder, const char* extraRootFile) {
    const uint64_t streams = static_cast<uint64_t>(folders) * static_cast<uint64_t>(filesPerFolder) + (extraRootFile ? 1 : 0);
    const uint64_t entries = streams + static_cast<uint64_t>(folders);
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return entries;
    std::vector<Item> items;
    items.reserve(entries);
    char name[64];
    for (int d = 0; d < folders; ++d) {
        std::snprintf(name, sizeof(name), "folder%05d", d);
        items.push_back({name, true});
        for (int f = 0; f < filesPerFolder; ++f) {
            std::snprintf(name, sizeof(name), "folder%05d/file%04d.txt", d, f);
            items.push_back({name, false});
        }
    }
    if (extraRootFile) items.push_back({extraRootFile, false});
    const std::string header = Header(items, streams);
    const std::wstring partial = path + L".part";
    FILE* out = _wfopen(partial.c_str(), L"wb");
    if (!out) return 0;
    // The signature header: signature, version 0.4, then the CRC of the 20 bytes that locate the header.
    Bytes start;
    start.u64(streams * kContentBytes);  // the header comes right after the packed stream
    start.u64(header.size());
    start.u32(testsupport::Crc32(header));
    const uint8_t signature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    bool written = fwrite(signature, 1, sizeof(signature), out) == sizeof(signature);
    const uint32_t startCrc = testsupport::Crc32(start.data());
    written = written && fwrite(&startCrc, 1, 4, out) == 4 && fwrite(start.data().data(), 1, 20, out) == 20;
    std::string block;
    block.reserve(1 << 20);
    for (uint64_t i = 0; i < streams && written; ++i) {
        block.append(kContent, kContentBytes);
        if (block.size() >= (1u << 20) || i + 1 == streams) {
            written = fwrite(block.data(), 1, block.size(), out) == block.size();
            block.clear();
        }
    }
    written = written && fwrite(header.data(), 1, header.size(), out) == header.size();
    written = fclose(out) == 0 && written;
    if (!written || !MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return 0;
    }
    return entries;
}

}  // namespace bench
