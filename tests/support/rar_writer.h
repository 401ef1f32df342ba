#pragma once
// Writes RAR archives (the RAR 5 and the older RAR 4 layout) with stored, uncompressed entries:
// no tool on the build machines writes RAR, and the engine reads both.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RarEntry {
    std::string name;               // UTF-8, '/' between components
    std::string data;               // stored uncompressed
    bool directory = false;
    uint32_t attributes = 0x20;     // Windows attributes (0x10 is added for folders)
    uint32_t modified = 1300000000; // Unix time, UTC
};

// RAR 5: UTF-8 names, Unix times.
std::string MakeRar(const std::vector<RarEntry>& entries);
// One file of a RAR 5 volume set ("x.part1.rar", ...): `number` counts from 0, and every
// volume but the last says that another follows. Each entry lies whole in its volume.
std::string MakeRarVolume(const std::vector<RarEntry>& entries, unsigned number, bool last);
// RAR 4: names stored as UTF-16 beside an ASCII form, DOS times (the UTC time is taken as the
// DOS time's fields, so it lists as given only where local time is UTC).
std::string MakeRar4(const std::vector<RarEntry>& entries);

}  // namespace testsupport
