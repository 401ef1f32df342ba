#include "engine/zip_names.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <new>

#include "base/handles.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr uint32_t kHeaderSignature = 0x02014B50;
constexpr size_t kEndSize = 22;
constexpr size_t kLocatorSize = 20;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kHeaderSize = 46;
constexpr uint16_t kUtf8Flag = 1 << 11;

// Reads little-endian numbers from a view; every read past its end fails and leaves `ok` false.
class ByteReader {
public:
    ByteReader(std::string_view data, size_t at = 0) : data_(data), at_(at) { ok = at <= data.size(); }
    uint64_t number(size_t bytes) {
        if (!ok || data_.size() - at_ < bytes) {
            ok = false;
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < bytes; ++i) value |= uint64_t(uint8_t(data_[at_ + i])) << (8 * i);
        at_ += bytes;
        return value;
    }
    std::string_view take(size_t bytes) {
        if (!ok || data_.size() - at_ < bytes) {
            ok = false;
            return {};
        }
        std::string_view part = data_.substr(at_, bytes);
        at_ += bytes;
        return part;
    }
    size_t left() const { return ok ? data_.size() - at_ : 0; }
    bool ok = true;

private:
    std::string_view data_;
    size_t at_;
};

bool ReadAt(HANDLE file, uint64_t offset, size_t size, std::string& out) {
    out.assign(size, '\0');
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, to, nullptr, FILE_BEGIN)) return false;
    size_t got = 0;
    while (got < size) {
        DWORD read = 0;
        const DWORD ask = static_cast<DWORD>(std::min<size_t>(size - got, 1 << 24));
        if (!ReadFile(file, out.data() + got, ask, &read, nullptr) || read == 0) return false;
        got += read;
    }
    return true;
}

}  // namespace

bool findZipDirectory(std::string_view tail, uint64_t fileSize, ZipDirectoryPlace& place) {
    if (tail.size() < kEndSize || tail.size() > fileSize) return false;
    const uint64_t tailStart = fileSize - tail.size();
    for (size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        ByteReader end(tail, at);
        if (end.number(4) != kEndSignature) continue;
        end.number(2 + 2 + 2);  // this disk, the directory's disk, entries on this disk
        const uint64_t entries = end.number(2);
        const uint64_t size = end.number(4);
        const uint64_t offset = end.number(4);
        const uint64_t commentLength = end.number(2);
        // The comment must reach exactly to the end: a signature inside a comment is no record.
        if (!end.ok || end.left() != commentLength) continue;
        const uint64_t endOffset = tailStart + at;
        place = ZipDirectoryPlace{};
        place.entries = entries;
        place.size = size;
        place.offset = offset;
        if (at >= kLocatorSize) {
            ByteReader locator(tail, at - kLocatorSize);
            if (locator.number(4) == kZip64LocatorSignature) {
                locator.number(4);
                place.zip64RecordOffset = locator.number(8);
                place.zip64 = locator.ok && place.zip64RecordOffset < fileSize;
            }
        }
        if (!place.zip64) {
            if (size > endOffset) return false;
            place.offset = endOffset - size;
        }
        return true;
    }
    return false;
}

bool readZip64Record(std::string_view record, ZipDirectoryPlace& place) {
    ByteReader reader(record);
    if (reader.number(4) != kZip64EndSignature) return false;
    reader.number(8 + 2 + 2 + 4 + 4 + 8);  // record size, versions, disks, entries on this disk
    place.entries = reader.number(8);
    place.size = reader.number(8);
    place.offset = reader.number(8);
    return reader.ok;
}

bool parseZipDirectory(std::string_view directory, uint64_t maxEntries, std::vector<ZipRawName>& names) {
    ByteReader reader(directory);
    for (uint64_t i = 0; i < maxEntries && reader.left() > 0; ++i) {
        if (reader.left() < kHeaderSize || reader.number(4) != kHeaderSignature) return false;
        reader.number(2 + 2);  // versions
        const uint16_t flags = static_cast<uint16_t>(reader.number(2));
        reader.number(2 + 2 + 2 + 4 + 4 + 4);  // method, time, date, CRC, sizes
        const size_t nameLength = static_cast<size_t>(reader.number(2));
        const size_t extraLength = static_cast<size_t>(reader.number(2));
        const size_t commentLength = static_cast<size_t>(reader.number(2));
        reader.number(2 + 2 + 4 + 4);  // disk, internal and external attributes, offset
        const std::string_view name = reader.take(nameLength);
        reader.take(extraLength);
        reader.take(commentLength);
        if (!reader.ok) return false;
        names.push_back(ZipRawName{std::string(name), (flags & kUtf8Flag) != 0});
    }
    return true;
}

namespace {

bool ReadNames(const std::wstring& path, uint64_t maxDirectoryBytes, ZipNamesRead& read) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < static_cast<LONGLONG>(kEndSize)) return false;
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    const size_t tailSize = static_cast<size_t>(std::min<uint64_t>(fileSize, kEndSize + 0xFFFF + kLocatorSize));
    std::string tail;
    ZipDirectoryPlace place;
    if (!ReadAt(file.get(), fileSize - tailSize, tailSize, tail) || !findZipDirectory(tail, fileSize, place))
        return false;
    if (place.zip64) {
        std::string record;
        if (place.zip64RecordOffset > fileSize - kZip64EndSize ||
            !ReadAt(file.get(), place.zip64RecordOffset, kZip64EndSize, record) || !readZip64Record(record, place))
            return false;
    }
    if (place.offset > fileSize || place.size > fileSize - place.offset) return false;
    const uint64_t wanted = std::min(place.size, maxDirectoryBytes);
    if (wanted > std::numeric_limits<size_t>::max() / 2) return false;
    std::string directory;
    if (!ReadAt(file.get(), place.offset, static_cast<size_t>(wanted), directory)) return false;
    const bool whole = parseZipDirectory(directory, place.entries, read.names);
    read.complete = whole && wanted == place.size && read.names.size() == place.entries;
    return whole || wanted < place.size;
}

}  // namespace

bool readZipNames(const std::wstring& path, uint64_t maxDirectoryBytes, ZipNamesRead& read) {
    read = ZipNamesRead{};
    try {
        return ReadNames(path, maxDirectoryBytes, read);
    } catch (const std::bad_alloc&) {
        // A directory larger than memory holds: its names are not known.
        read = ZipNamesRead{};
        return false;
    }
}
