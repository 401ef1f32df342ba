#pragma once
// Opening an archive through the engine library and listing its items.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/archive_name_encoding.h"
#include "engine/archive_summary.h"
#include "engine/engine_faults.h"
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
    ArchiveNameEncoding names;     // a zip: the code page its names were read with, and why
    // The archiver can change it: a format it writes, in one file of its own.
    bool writable() const;
};

struct ListingResult {
    std::wstring password;  // in: the password known so far; out: the one that opened the archive
    std::vector<ArchiveItem> items;
    ArchiveDamage damage;   // out: what the engine found wrong with the archive
    OpenedFormat format;    // out: what it is
    ArchiveSummary summary; // out: how the archive is packed
};

// One item as the engine lists it, as numbers: what the texts of `ArchiveItem` are made from.
// `path` lives only as long as the call that hands it over.
struct ListedItem {
    std::wstring_view path;
    uint32_t attributes = 0;  // bit 16 marks a folder
    bool hasSize = false;
    bool hasPackedSize = false;
    bool hasModified = false;  // the engine gave a file time (which may still be no valid date)
    bool hasCrc = false;       // read only for sinks that want it
    uint32_t crc = 0;
    uint64_t size = 0;
    uint64_t packedSize = 0;
    uint64_t modified = 0;  // FILETIME ticks, UTC
    bool encrypted = false;      // a file the engine reports encrypted
    std::wstring_view method;    // a file's method as the engine names it ("LZMA2:24", "Deflate"); may be empty
};

// Takes the items of a listing one by one, in the engine's order, so that they can be kept in
// whatever form the taker needs without a copy of the whole listing in between.
class ListingSink {
public:
    virtual ~ListingSink() = default;
    // The number of items the engine announces, before the first one.
    virtual void begin(uint32_t count) = 0;
    // May throw std::bad_alloc: the listing then fails as a whole, as out of memory.
    virtual void add(const ListedItem& item) = 0;
    // True when the items' CRCs are wanted too (they cost a little time per item).
    virtual bool wantsCrc() const { return false; }
};

// How a listing into a sink ended, besides its result.
struct ListingRun {
    std::wstring password;      // in: the password known so far; out: the one that opened the archive
    ArchiveDamage damage;       // out: what the engine found wrong with the archive
    bool outOfMemory = false;   // out: the archive has more items than memory holds
    OpenFailure failure;        // out: why it did not open, when it did not
    OpenedFormat format;        // out: what it is
    ArchiveSummary summary;     // out: how the archive is packed
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
    // Gives up the module without freeing it: the caller frees it.
    HMODULE release() {
        HMODULE module = module_;
        module_ = nullptr;
        return module;
    }

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
    // Closes the archive and ends the session as work that the caller does not wait for (handed
    // to the installed background runner; without one, ended at once): the engine takes a good
    // part of a second to free the list of a million items. The session is empty afterwards.
    void endInBackground();
};

// Opens `archivePath` with the engine's handler for what its content is: the formats whose
// signature it bears are tried, the one `kind` names first, then those its extension names. A
// numbered volume ("x.7z.001") opens with the parts after it; a tar inside a stream format
// ("x.tar.gz") opens as that tar; a program is searched for an archive inside it. `password`
// (may be null) is in/out: a password asked while opening is copied back. Returns 0 when open,
// 1 otherwise, and then tells why in `failure` when given; `opened` tells what it is.
// On failure `archive` may still be set; the caller releases it and frees the library.
// `listEncrypted`, when given, tells whether the item list itself needed the password.
int openArchive(std::wstring* password, EngineLibrary& library, IInArchive*& archive,
                const std::wstring& archivePath, ArchiveKind kind, OpenFailure* failure = nullptr,
                OpenedFormat* opened = nullptr, bool* listEncrypted = nullptr);

// Appends the archive's items to `result.items`, sets `result.password` to the password
// that opened it and `result.damage` to what the engine found wrong with the archive (its list
// may then lack items). Returns 0 on success, 1 when the archive cannot be opened (result
// unchanged).
int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingResult& result);
// Hands every item of the archive to `sink`. Returns 0 on success; 1 when the archive cannot be
// opened, the running operation was cancelled or memory ran out (the sink may then hold a part
// of the items, which the caller drops).
int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingRun& run, ListingSink& sink);

// Text of an engine property value: decimal numbers, the text itself, "+"/"-" for booleans,
// "YYYY-MM-DD hh:mm:ss" (UTC) for file times; empty for no value and for other types.
std::wstring propertyToText(const PROPVARIANT& value);
// The value of an unsigned integer property; 0 for every other type (empty included).
uint64_t propertyToUInt64(const PROPVARIANT& value);
// True when the value is of an unsigned integer type.
bool propertyIsUnsigned(const PROPVARIANT& value);
