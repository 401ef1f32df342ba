#include "ops/temp_workspace.h"

#include <windows.h>
#include <shlobj.h>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "base/program_path.h"
#include "ops/leftovers.h"

namespace {

bool IsFolderEntry(const WIN32_FIND_DATAW& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparseEntry(const WIN32_FIND_DATAW& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

std::wstring ToolPath(std::wstring_view fileName) {
    return JoinPath(JoinPath(ProgramFolder(), L"core"), fileName);
}

std::wstring TempBase() {
    wchar_t folder[MAX_PATH] = {};
    std::wstring base;
    if (SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE) && folder[0]) {
        base = folder;
        base += L"\\Temp";
    } else {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        base = WithoutTrailingSeparator(std::wstring(temp, length <= MAX_PATH ? length : 0));
    }
    CreateDirectoryW(base.c_str(), nullptr);
    return base;
}

std::wstring NewTempName(std::wstring_view prefix) {
    std::wstring name(prefix);
    name += ProcessMark() + std::to_wstring(GetTickCount());
    return JoinPath(TempBase(), name);
}

UniqueHandle CreateFreshTempFile(std::wstring_view prefix, std::wstring& path) {
    const std::wstring base = NewTempName(prefix);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        path = base + L"-" + std::to_wstring(attempt) + L".tmp";
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY,
                                      nullptr));
        if (file) return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return {};
}

std::wstring CreateFreshTempFolder(std::wstring_view prefix) {
    const std::wstring base = NewTempName(prefix);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring candidate = attempt == 0 ? base : base + L"-" + std::to_wstring(attempt);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) return candidate;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

std::wstring TempFolderHolding(const std::wstring& path, std::wstring_view prefix) {
    const std::wstring base = WithTrailingSeparator(TempBase());
    if (path.size() <= base.size() ||
        CompareStringOrdinal(path.c_str(), static_cast<int>(base.size()), base.c_str(), static_cast<int>(base.size()),
                             TRUE) != CSTR_EQUAL)
        return {};
    const size_t end = path.find(L'\\', base.size());
    const std::wstring name = path.substr(base.size(), end == std::wstring::npos ? std::wstring::npos : end - base.size());
    if (end == std::wstring::npos || name.size() <= prefix.size() ||
        CompareStringOrdinal(name.c_str(), static_cast<int>(prefix.size()), prefix.data(),
                             static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
        return {};
    return base + name;
}

StageResult StageFiles(const std::wstring& tempFolder, std::wstring_view archiveFolder,
                       const std::vector<std::wstring>& paths) {
    StageResult result;
    std::wstring target = ExtendedPath(tempFolder);
    CreateDirectoryW(target.c_str(), nullptr);
    size_t start = 0;
    while (start < archiveFolder.size()) {
        size_t cut = archiveFolder.find(L'\\', start);
        if (cut == std::wstring_view::npos) cut = archiveFolder.size();
        const std::wstring component(archiveFolder.substr(start, cut - start));
        target += L'\\';
        target += component;
        const bool made = !component.empty() && component != L"." && component != L".." &&
                          (CreateDirectoryW(target.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        if (!made) {
            result.unmadeFolder = component;
            return result;
        }
        start = cut + 1;
    }
    for (const std::wstring& given : paths) {
        const std::wstring path = WithoutTrailingSeparator(given);
        const std::wstring name = FileNameOf(path);
        if (name.empty() || name == L"." || name == L".." || (name.size() == 2 && name[1] == L':')) {
            ++result.failed;  // a drive root or a dot name has no name of its own to store it under
            continue;
        }
        const std::wstring source = ExtendedPath(path);
        const std::wstring destination = target + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(source.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            result.copied += CopyFolder(source, destination, &result.failed);
        } else if (CopyFileW(source.c_str(), destination.c_str(), FALSE)) {
            ++result.copied;
        } else {
            ++result.failed;
        }
    }
    return result;
}

int CopyFolder(const std::wstring& sourceFolder, const std::wstring& destinationFolder, int* failed) {
    const std::wstring source = ExtendedPath(sourceFolder);
    const std::wstring destination = ExtendedPath(destinationFolder);
    CreateDirectoryW(destination.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((source + L"\\*").c_str(), &data));
    if (!find) return 0;
    int copied = 0;
    do {
        if (IsDotEntry(data.cFileName)) continue;
        const std::wstring from = source + L"\\" + data.cFileName;
        const std::wstring to = destination + L"\\" + data.cFileName;
        if (IsFolderEntry(data)) {
            // A link to a folder is not followed: it could lead back up the tree.
            if (!IsReparseEntry(data)) copied += CopyFolder(from, to, failed);
        } else if (CopyFileW(from.c_str(), to.c_str(), FALSE)) {
            ++copied;  // an earlier file of the same name is replaced: the later one wins
        } else if (failed) {
            ++*failed;
        }
    } while (FindNextFileW(find.get(), &data));
    return copied;
}

FileTally TallyFiles(const std::wstring& folder, bool recurse, const std::atomic<int32_t>* stop) {
    const std::wstring base = WithTrailingSeparator(ExtendedPath(folder));
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((base + L"*.*").c_str(), &data));
    FileTally tally;
    if (!find) return tally;
    do {
        if (stop && stop->load() != 0) break;
        if (IsDotEntry(data.cFileName)) continue;
        if (IsFolderEntry(data)) {
            if (recurse && !IsReparseEntry(data)) tally += TallyFiles(base + data.cFileName + L"\\", true, stop);
        } else {
            ++tally.files;
            tally.bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (FindNextFileW(find.get(), &data));
    return tally;
}
