#pragma once
// Writes large zip archives quickly for the benchmarks: stored entries with tiny contents,
// streamed straight to disk, with the zip64 end records that more than 65,535 entries need.
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Writes an archive of `folders` folders holding `filesPerFolder` files each (folder entries
// included), or, with folders == 0, `filesPerFolder` files at the root. Skips the work when
// the file exists already. Returns the number of entries.
uint64_t MakeBenchZip(const std::wstring& path, int folders, int filesPerFolder);

}  // namespace bench
