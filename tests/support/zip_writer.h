#pragma once
// Writes zip archives byte by byte, so that tests can store entries no well-behaved archiver
// would write: any name bytes, links, odd attributes. Data is stored, not compressed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

uint32_t Crc32(std::string_view bytes, uint32_t crc = 0);

struct ZipEntry {
    std::string name;                 // stored as given ('/' or '\' as the test wants)
    std::string data;                 // stored uncompressed
    bool utf8Name = true;             // flag bit 11: the name is UTF-8
    uint32_t unixMode = 0;            // not 0: made on Unix with this mode (0120777 = a link)
    uint32_t dosAttributes = 0x20;    // used when unixMode is 0
    uint16_t dosTime = 0;             // 00:00:00
    uint16_t dosDate = (40u << 9) | (1u << 5) | 1u;  // 2020-01-01
};

// The whole archive: local headers with data, central directory, end record.
std::string MakeZip(const std::vector<ZipEntry>& entries);

// A Unix link entry: mode 0120777 and the target as its data.
ZipEntry ZipLink(std::string name, std::string target);

}  // namespace testsupport
