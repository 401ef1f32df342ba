#pragma once
// Writes a large solid 7z archive quickly for the benchmarks: every file in one block (stored,
// the archiver's Copy method), folders as entries of their own, an uncompressed header.
#include <cstdint>
#include <string>

namespace bench {

// `folders` folders at the root ("folder00000"), each of `filesPerFolder` files ("file0000.txt",
// a few bytes each), and, when given, one file more at the root. Writes it unless it exists
// already; returns the number of entries (0 on failure).
uint64_t MakeSolid7z(const std::wstring& path, int folders, int filesPerFolder, const char* extraRootFile = nullptr);

}  // namespace bench
