#include "support/zip_writer.h"

#include <array>

namespace testsupport {

namespace {

const std::array<uint32_t, 256>& CrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put64(std::string& out, uint64_t value) {
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

}  // namespace

uint32_t Crc32(std::string_view bytes, uint32_t crc) {
    const auto& table = CrcTable();
    crc = ~crc;
    for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

ZipEntry ZipLink(std::string name, std::string target) {
    ZipEntry entry;
    entry.name = std::move(name);
    entry.data = std::move(target);
    entry.unixMode = 0120777;
    return entry;
}

std::string MakeZip(const std::vector<ZipEntry>& entries) {
    std::string out;
    std::string central;
    for (const ZipEntry& e : entries) {
        const uint32_t offset = static_cast<uint32_t>(out.size());
        const uint32_t crc = Crc32(e.data);
        const uint32_t flags = e.utf8Name ? 0x0800 : 0;
        const uint32_t size = static_cast<uint32_t>(e.data.size());

        Put32(out, 0x04034b50);
        Put16(out, 10);  // version needed: stored
        Put16(out, flags);
        Put16(out, 0);  // method: stored
        Put16(out, e.dosTime);
        Put16(out, e.dosDate);
        Put32(out, crc);
        Put32(out, size);
        Put32(out, size);
        Put16(out, static_cast<uint32_t>(e.name.size()));
        Put16(out, 0);
        out += e.name;
        out += e.data;

        const uint32_t madeBy = e.unixMode ? (3u << 8) | 30u : 20u;
        const uint32_t external = e.unixMode ? (e.unixMode << 16) : e.dosAttributes;
        Put32(central, 0x02014b50);
        Put16(central, madeBy);
        Put16(central, 10);
        Put16(central, flags);
        Put16(central, 0);
        Put16(central, e.dosTime);
        Put16(central, e.dosDate);
        Put32(central, crc);
        Put32(central, size);
        Put32(central, size);
        Put16(central, static_cast<uint32_t>(e.name.size()));
        Put16(central, 0);  // extra
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, external);
        Put32(central, offset);
        central += e.name;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    // More entries than the end record can count: the count lives in a zip64 end record.
    const bool zip64 = entries.size() > 0xFFFF;
    if (zip64) {
        const uint32_t recordOffset = static_cast<uint32_t>(out.size());
        Put32(out, 0x06064b50);
        Put64(out, 44);
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, entries.size());
        Put64(out, entries.size());
        Put64(out, central.size());
        Put64(out, centralOffset);
        Put32(out, 0x07064b50);
        Put32(out, 0);
        Put64(out, recordOffset);
        Put32(out, 1);
    }
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(entries.size()));
    Put16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

}  // namespace testsupport
