#include "ops/leftovers.h"

#include <vector>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "ops/temp_workspace.h"

namespace {

// Prefixes of what the temporary base holds that can be made again: copies staged for an add,
// an empty folder to add, entries extracted for a drag, the archiver's name lists.
constexpr const wchar_t* kRemakeable[] = {kStagingPrefix, kNewFolderPrefix, kDragPrefix, kNameListPrefix};

bool StartsWithCaseBlind(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

void Remove(const std::wstring& path, const WIN32_FIND_DATAW& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(path);
        return;
    }
    const std::wstring extended = ExtendedPath(path);
    SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(extended.c_str());
}

// Every item of `folder` whose name begins with `prefix` (no links).
std::vector<std::pair<std::wstring, WIN32_FIND_DATAW>> ItemsNamed(const std::wstring& folder,
                                                                  const std::wstring& prefix) {
    std::vector<std::pair<std::wstring, WIN32_FIND_DATAW>> items;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW(JoinPath(ExtendedPath(folder), prefix + L"*").c_str(), &data));
    if (!find) return items;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) items.emplace_back(data.cFileName, data);
    } while (FindNextFileW(find.get(), &data));
    return items;
}

}  // namespace

std::wstring ProcessMark() { return std::to_wstring(GetCurrentProcessId()) + L"-"; }

std::optional<DWORD> MarkedProcess(std::wstring_view name, std::wstring_view prefix) {
    if (!StartsWithCaseBlind(name, prefix)) return std::nullopt;
    uint64_t id = 0;
    size_t at = prefix.size();
    for (; at < name.size() && name[at] >= L'0' && name[at] <= L'9' && at - prefix.size() < 10; ++at)
        id = id * 10 + (name[at] - L'0');
    if (at == prefix.size() || at >= name.size() || name[at] != L'-' || id > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<DWORD>(id);
}

bool MarkedProcessEnded(DWORD processId, const FILETIME& written) {
    if (processId == GetCurrentProcessId()) return false;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no process has the id
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE) return true;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return false;
    return CompareFileTime(&created, &written) > 0;
}

std::wstring WorkFilePrefix(const std::wstring& archivePath) { return FileNameOf(archivePath) + L".tlv"; }

void RemoveEndedWorkFiles(const std::wstring& archivePath) {
    const std::wstring folder = FolderOf(archivePath), prefix = WorkFilePrefix(archivePath);
    const bool partsInPlace =
        GetFileAttributesW(ExtendedPath(archivePath + L".001").c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const auto& [name, data] : ItemsNamed(folder, prefix)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::optional<DWORD> owner = MarkedProcess(name, prefix);
        if (!owner || !MarkedProcessEnded(*owner, data.ftLastWriteTime)) continue;
        const size_t dot = name.find_last_of(L'.');
        const bool part = dot != std::wstring::npos && name.size() - dot == 4 && name.compare(dot, 4, L".tmp") != 0;
        if (part && partsInPlace) continue;
        Remove(JoinPath(folder, name), data);
    }
}

void RemoveEndedTempItems() {
    const std::wstring base = TempBase();
    for (const wchar_t* prefix : kRemakeable)
        for (const auto& [name, data] : ItemsNamed(base, prefix)) {
            const std::optional<DWORD> owner = MarkedProcess(name, prefix);
            if (owner && MarkedProcessEnded(*owner, data.ftLastWriteTime)) Remove(JoinPath(base, name), data);
        }
}
