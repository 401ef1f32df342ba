#include "ops/archive_guard.h"

#include <windows.h>

#include "app/handles.h"

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// The archiver's work files for this archive: its name followed by ".tmp" and anything.
std::set<std::wstring> WorkFiles(const std::wstring& archivePath) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((archivePath + L".tmp*").c_str(), &data));
    if (!find) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return names;
}

}  // namespace

ArchiveGuard::ArchiveGuard(std::wstring archivePath) : archivePath_(std::move(archivePath)) {
    existedBefore_ = GetFileAttributesW(archivePath_.c_str()) != INVALID_FILE_ATTRIBUTES;
    workFilesBefore_ = WorkFiles(archivePath_);
}

void ArchiveGuard::RemoveLeftovers() const {
    const std::wstring folder = FolderOf(archivePath_);
    for (const std::wstring& name : WorkFiles(archivePath_)) {
        if (workFilesBefore_.count(name)) continue;
        const std::wstring path = folder + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

void ArchiveGuard::RestoreAfterStop() const {
    RemoveLeftovers();
    // An archive that the stopped run was creating is half written: it goes.
    if (!existedBefore_) {
        const DWORD attributes = GetFileAttributesW(archivePath_.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            SetFileAttributesW(archivePath_.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(archivePath_.c_str());
        }
    }
}
