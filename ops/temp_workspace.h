#pragma once
// Places on disk for the archive operations: the archiver's path beside the program, fresh
// names under the user's temporary base, and the staging of files for an add inside a folder.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/folder_tree.h"
#include "base/handles.h"

// The program's folder + "\core\" + fileName.
std::wstring ToolPath(std::wstring_view fileName);

// The temporary base: the local application data folder + "\Temp" (the system's temporary
// folder when that cannot be determined). Created when missing.
std::wstring TempBase();

// What the temporary base holds, by the prefix of its name: copies of entries opened in their
// programs (which the user may be editing), copies staged for an add, an empty folder to add,
// entries extracted for a drag, the archiver's lists of names.
inline constexpr wchar_t kViewingPrefix[] = L"Tolvar";
inline constexpr wchar_t kStagingPrefix[] = L"Tolvas";
inline constexpr wchar_t kNewFolderPrefix[] = L"Tolvan";
inline constexpr wchar_t kDragPrefix[] = L"Tolvad";
inline constexpr wchar_t kNameListPrefix[] = L"tlv";

// base + "\" + prefix + the process's mark (see leftovers.h) + the tick count. Creates the base,
// nothing else.
std::wstring NewTempName(std::wstring_view prefix);

// A newly made file in the temporary base, named like NewTempName with ".tmp", open for writing;
// its path in `path`. Empty on failure.
UniqueHandle CreateFreshTempFile(std::wstring_view prefix, std::wstring& path);

// A newly created, empty folder named like NewTempName (a suffix is added when that name is
// taken), so that whatever lies in it afterwards was put there by the caller. Empty on failure.
std::wstring CreateFreshTempFolder(std::wstring_view prefix);

// The folder directly in the temporary base, named with `prefix`, that holds `path`; empty when
// the path lies elsewhere.
std::wstring TempFolderHolding(const std::wstring& path, std::wstring_view prefix);

struct StageResult {
    int copied = 0;  // files copied
    int failed = 0;  // files that could not be copied
    std::wstring unmadeFolder;  // a folder of the archive path that no folder on disk can mirror
};

// Mirrors `archiveFolder` (backslash-separated, may be empty) inside `tempFolder` and copies
// the paths (files or folders) into it. Names are kept exactly, trailing dots and spaces too;
// a later path replaces the files of an earlier one of the same name, as adds at the root do.
StageResult StageFiles(const std::wstring& tempFolder, std::wstring_view archiveFolder,
                       const std::vector<std::wstring>& paths);

// Copies a folder tree into the destination (merged with what is there, files of the same name
// replaced); returns the number of files copied and adds copy failures to `failed` when given.
int CopyFolder(const std::wstring& source, const std::wstring& destination, int* failed = nullptr);

// The files in a folder (below it too when `recurse`) and the bytes they hold. Counting ends
// early, with what it has, once `stop` is set.
struct FileTally {
    uint64_t files = 0;
    uint64_t bytes = 0;
    FileTally& operator+=(const FileTally& other) {
        files += other.files;
        bytes += other.bytes;
        return *this;
    }
};
FileTally TallyFiles(const std::wstring& folder, bool recurse, const std::atomic<int32_t>* stop = nullptr);
inline int CountFiles(const std::wstring& folder, bool recurse, const std::atomic<int32_t>* stop = nullptr) {
    return static_cast<int>(TallyFiles(folder, recurse, stop).files);
}
