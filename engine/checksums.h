#pragma once
// Checksums through the engine library's own hash functions (CRC32, CRC64, SHA1, SHA256, and
// whatever else it offers), of files on disk and of entries of an archive.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/engine_faults.h"

// The library's hash functions by its names, in its order; empty when it cannot be loaded.
std::vector<std::wstring> engineHashNames();

struct Checksum {
    std::wstring function;  // the library's name: "CRC32", "SHA256", ...
    std::wstring value;     // upper-case hex; a CRC as the number it is (CRC32 of "123456789": CBF43926)
};

struct ChecksumResult {
    std::wstring name;               // the file's path, or the entry's path inside the archive
    std::vector<Checksum> checksums; // one per function asked for, in that order
    ItemFault fault;                 // why there are none; none when computed
};

// Hashes each file with the named functions (every one the library has when `functions` is
// empty). `completed` (may be null) grows by the bytes read; `cancel` (may be null) stops it.
std::vector<ChecksumResult> checksumFiles(const std::vector<std::wstring>& paths,
                                          const std::vector<std::wstring>& functions,
                                          std::atomic<uint64_t>* completed, const std::atomic<int32_t>* cancel);

// Hashes the file entries of the archive that `selection` takes (entries named or lying below
// a named folder; all when empty). `password` is in/out as for extraction. Entries whose data
// does not decode intact carry the fault instead. `failure` (may be null) tells why the archive
// could not be read through.
std::vector<ChecksumResult> checksumArchiveEntries(const std::wstring& archivePath, ArchiveKind kind,
                                                   std::wstring& password,
                                                   const std::vector<std::wstring>& selection,
                                                   const std::vector<std::wstring>& functions,
                                                   ReadFailure* failure = nullptr);

// Digests of open files with one of the library's functions, the library held between files.
class FileDigests {
public:
    explicit FileDigests(std::wstring function = L"SHA256");
    ~FileDigests();
    FileDigests(const FileDigests&) = delete;
    FileDigests& operator=(const FileDigests&) = delete;

    // The digest (as digestText shows it) of what `file` holds from its current position to its
    // end; empty when it cannot be read to its end, `cancel` (may be null) is set, or the library
    // lacks the function.
    std::wstring of(HANDLE file, const std::atomic<int32_t>* cancel = nullptr);
    // The same for the file at `path`, opened for reading while others may only read it too.
    std::wstring ofFile(const std::wstring& path);
    const std::wstring& function() const { return function_; }

private:
    class Library;
    std::wstring function_;
    std::unique_ptr<Library> library_;
    std::vector<unsigned char> buffer_;
};

// The digest as shown: CRCs and xxHash are numbers the library stores lowest byte first.
std::wstring digestText(const std::wstring& function, const unsigned char* digest, size_t size);
