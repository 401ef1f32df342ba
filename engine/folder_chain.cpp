// Making the folders an extracted item needs, and clearing the way for its file.
#include "engine/extraction.h"

#include <windows.h>

namespace {

bool IsFolderAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool createFolderChain(const std::wstring& requested, std::vector<std::wstring>* made) {
    std::wstring path = requested;
    if (path.size() > 1 && path.back() == L'\\') {
        if (path.size() == 3 && path[1] == L':') return true;  // a drive root
        path.pop_back();
    }
    if (path.empty()) return false;

    // Walk up until a level can be made or already stands.
    std::wstring existing = path;
    for (;;) {
        if (CreateDirectoryW(existing.c_str(), nullptr)) {
            if (made) made->push_back(existing);
            break;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) {
            const DWORD attributes = GetFileAttributesW(existing.c_str());
            // Something that is not a folder blocks the chain. Roots of shares and drives may
            // not report attributes at all; they are taken as standing.
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
            break;
        }
        const size_t slash = existing.find_last_of(L'\\');
        if (slash == std::wstring::npos || slash == 0 || existing[slash - 1] == L':') return false;
        existing.resize(slash);
    }

    // Then make each deeper level in turn, the requested folder last.
    size_t reached = existing.size();
    while (reached < path.size()) {
        size_t slash = path.find(L'\\', reached + 1);
        if (slash == std::wstring::npos) slash = path.size();
        existing.assign(path, 0, slash);
        if (CreateDirectoryW(existing.c_str(), nullptr)) {
            if (made) made->push_back(existing);
        } else if (!(GetLastError() == ERROR_ALREADY_EXISTS && IsFolderAt(existing))) {
            return false;
        }
        reached = slash;
    }
    return true;
}

bool deleteFileForced(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // A folder is never taken for a file to replace (nor are its attributes touched).
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (!SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;
    return DeleteFileW(path.c_str()) != FALSE;
}
