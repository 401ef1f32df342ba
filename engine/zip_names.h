#pragma once
// The names of a zip's entries as the bytes the archive stores, read from its central directory
// by the program itself (the engine gives only names it has already decoded). Used to tell which
// code page made the names, and to check that an update left the other entries' names as they were.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ZipRawName {
    std::string bytes;  // the name as stored, '/' separated
    bool utf8 = false;  // general-purpose flag bit 11: the maker declared the name UTF-8
};

// Where the central directory lies, as the end records tell.
struct ZipDirectoryPlace {
    uint64_t offset = 0;   // from the start of the file
    uint64_t size = 0;
    uint64_t entries = 0;
    bool zip64 = false;    // the end record defers to a zip64 record
    uint64_t zip64RecordOffset = 0;
};

// Finds the end-of-central-directory record in `tail`, the last bytes of a file whose size is
// `fileSize`. False when there is none. For an archive behind other data (a self-extracting
// program), the offset is taken as where the directory must begin: just before the end record.
bool findZipDirectory(std::string_view tail, uint64_t fileSize, ZipDirectoryPlace& place);
// Reads the zip64 end record at the start of `record` into `place` (offset, size, entries).
bool readZip64Record(std::string_view record, ZipDirectoryPlace& place);
// The names of the central directory's headers in `directory`, in order, at most `maxEntries`.
// False when a header is cut short or bears no header signature (the names before it are kept).
bool parseZipDirectory(std::string_view directory, uint64_t maxEntries, std::vector<ZipRawName>& names);

// Reads the names of the zip file at `path`; at most `maxDirectoryBytes` of its directory are
// read (a longer one gives the names within them, and `complete` false). False when the file
// cannot be read or holds no zip directory.
struct ZipNamesRead {
    std::vector<ZipRawName> names;
    bool complete = false;
};
bool readZipNames(const std::wstring& path, uint64_t maxDirectoryBytes, ZipNamesRead& read);
