#pragma once
// Opening an archive through the engine library and listing its items.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/archive_summary.h"
#include "engine/engine_interfaces.h"

struct ArchiveItem {
    std::wstring path;          // backslash-separated path inside the archive
    uint32_t attributes = 0;    // bit 16 marks a folder
    std::wstring size;          // decimal digits, empty when the engine gives none
    std::wstring packedSize;    // decimal digits
    std::wstring modifiedDate;  // YYYY-MM-DD (UTC)
    std::wstring modifiedTime;  // hh:mm:ss (UTC)
    uint64_t modified = 0;      // FILETIME ticks, UTC
};

// What an archive turned out to be when it opened.
struct OpenedFormat {
    std::wstring name;             // the engine's name of the format: "7z", "zip", "tar", "gzip", ...
    std::wstring outerName;        // for a tar inside a stream format ("x.tar.gz"): that format; else empty
    std::wstring defaultItemName;  // what an item without a path of its own is called
    unsigned volumes = 1;          // files the archive spans
    bool embedded = false;         // found inside a program (a self-extracting archive)
    uint64_t streamSize = 0;       // bytes of what the handler read (all parts; the decoded tar)
    // The archiver can change it: a format it writes, in one file of its own.
    bool writable() const;
};

struct ListingResult {
    std::wstring password;  // in: the password known so far; out: the one that opened the archive
    std::vector<ArchiveItem> items;
    std::wstring damage;    // out: what the engine found wrong with the archive; empty when sound
    OpenedFormat format;    // out: what it is
    ArchiveSummary summary; // out: how the archive is packed
};

// Why an archive could not be opened.
struct OpenFailure {
    bool stopped = false;  // the user cancelled, or refused to give the password
    std::wstring cause;    // in words, for the user
};

// The engine library's full path: the program's folder + "\core\7z.dll". Computed once.
const std::wstring& engineLibraryPath();

class EngineLibrary {
public:
    EngineLibrary() = default;
    ~EngineLibrary() { free(); }
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;

    // Loads the module (freeing one held before); true when it was loaded.
    bool load(const std::wstring& path);
    // Frees the module; true when nothing is held afterwards.
    bool free();
    HMODULE module() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

// The library plus one opened archive handler, held by one listing or extraction.
// The archive reference is released before the library is freed.
struct ArchiveSession {
    EngineLibrary library;
    IInArchive* archive = nullptr;

    ArchiveSession() = default;
    ~ArchiveSession() { end(); }
    ArchiveSession(const ArchiveSession&) = delete;
    ArchiveSession& operator=(const ArchiveSession&) = delete;
    void end();
};

// Opens `archivePath` with the engine's handler for what its content is: the formats whose
// signature it bears are tried, the one `kind` names first, then those its extension names. A
// numbered volume ("x.7z.001") opens with the parts after it; a tar inside a stream format
// ("x.tar.gz") opens as that tar; a program is searched for an archive inside it. `password`
// (may be null) is in/out: a password asked while opening is copied back. Returns 0 when open,
// 1 otherwise, and then tells why in `failure` when given; `opened` tells what it is.
// On failure `archive` may still be set; the caller releases it and frees the library.
int openArchive(std::wstring* password, EngineLibrary& library, IInArchive*& archive,
                const std::wstring& archivePath, ArchiveKind kind, OpenFailure* failure = nullptr,
                OpenedFormat* opened = nullptr);

// Appends the archive's items to `result.items`, sets `result.password` to the password
// that opened it and `result.damage` to what the engine found wrong with the archive (its list
// may then lack items). Returns 0 on success, 1 when the archive cannot be opened (result
// unchanged).
int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingResult& result);

// Text of an engine property value: decimal numbers, the text itself, "+"/"-" for booleans,
// "YYYY-MM-DD hh:mm:ss" (UTC) for file times; empty for no value and for other types.
std::wstring propertyToText(const PROPVARIANT& value);
// The value of an unsigned integer property; 0 for every other type (empty included).
uint64_t propertyToUInt64(const PROPVARIANT& value);
// True when the value is of an unsigned integer type.
bool propertyIsUnsigned(const PROPVARIANT& value);
