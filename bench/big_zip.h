#pragma once
// Writes large zip archives quickly for the benchmarks: stored entries, streamed straight to
// disk, with the zip64 end records that more than 65,535 entries need.
#include <cstdint>
#include <string>

namespace bench {

struct BenchZipLayout {
    int folders = 0;            // folders of files (each with its own folder entry); 0: files at the root
    int subfolders = 0;         // folders in each of those (each with its files); 0: the files are in `folders`
    int filesPerFolder = 0;     // files in each folder (the innermost), or at the root
    uint32_t fileBytes = 1;     // content length of each file
    bool variedFiles = false;   // sizes of 1 to 50 bytes and times spread over a day, so that every column sorts
};

// Writes the archive unless it exists already. Returns the number of entries (0 on failure).
uint64_t MakeBenchZip(const std::wstring& path, const BenchZipLayout& layout);

// An archive of one stored file of `bytes` pseudo-random bytes, unless it exists already.
bool MakeOneFileZip(const std::wstring& path, uint64_t bytes);

}  // namespace bench
