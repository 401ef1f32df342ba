#pragma once
// What an updated archive must hold, compared with what it held before: the check that a work
// file passes before it takes the archive's place. Each returns why the result is wrong, as a
// clause of a message naming an entry, or empty when it is right. The paths are views into the
// listings, which outlive the check.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/zip_names.h"

// A delete: `after` is `before` without the `deleted` entry paths and everything below them,
// compared exactly (case included); nothing more, nothing less.
std::wstring DeleteResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                 const std::vector<std::wstring>& deleted);

// An add: `after` holds every entry of `before` (one replaced by a name that differs only in
// case counts) and every `added` entry path (compared without regard to case: the archiver
// stores a name as the file system spells it).
std::wstring AddResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                              const std::vector<std::wstring>& added);

// Freshen: `after` holds every entry of `before` and nothing new (without regard to case).
std::wstring FreshenResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                  const std::vector<std::wstring>& added);

// Synchronize: `after` holds every `added` entry path and every entry of `before` that lies
// outside them; entries at or below an added path may have gone with their files.
std::wstring SynchronizeResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                      const std::vector<std::wstring>& added);

// A format of one compressed file: `after` holds exactly one item.
std::wstring SingleFileResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                     const std::vector<std::wstring>& added);

// A rename: `after` is `before` with the entry `from` and everything below it moved to `to`
// (the rest of each path kept), compared exactly; nothing more, nothing less.
std::wstring RenameResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                 const std::wstring& from, const std::wstring& to);

// One entry as the listing gives it, with what tells its content.
struct ListedEntry {
    std::wstring path;
    bool hasSize = false;
    bool hasCrc = false;
    uint64_t size = 0;
    uint32_t crc = 0;
};

// The entries a change does not touch, which must come out of it as they went in.
struct UntouchedEntries {
    std::vector<std::wstring> touched;  // the change's own entries, and all below them (any case)
    std::wstring from, to;              // a rename: what lies at or below `from` goes below `to`
    bool none = false;                  // the change rewrites the whole archive (one compressed file)
};

// Every entry of `before` that the change leaves alone is in `after` at its place with the same
// size and CRC, where the listings give them: the archive the archiver read is the archive that
// is replaced, and nothing of it changed on the way (another program that changed the archive
// meanwhile, an archiver that rewrote an entry). Why not, as a clause naming an entry; empty when so.
std::wstring UntouchedContentProblem(const std::vector<ListedEntry>& before, const std::vector<ListedEntry>& after,
                                     const UntouchedEntries& untouched);

// A zip whose names are in a code page of their own (`codePage`, read as the listing read them):
// every entry that the change leaves alone keeps its stored name byte for byte, flag included, so
// that no other machine reads it differently afterwards. Why not, as a clause; empty when so.
std::wstring UntouchedNameBytesProblem(const std::vector<ZipRawName>& before, const std::vector<ZipRawName>& after,
                                       unsigned codePage, const UntouchedEntries& untouched);
