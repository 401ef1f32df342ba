#include "base/folder_tree.h"

#include <windows.h>

#include "base/handles.h"

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring ExtendedPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0) return path;
    // The extended form takes "." and ".." as names: such a path keeps the usual form.
    const std::wstring padded = path + L"\\";
    if (path.find(L'/') != std::wstring::npos || padded.find(L"\\.\\") != std::wstring::npos ||
        padded.find(L"\\..\\") != std::wstring::npos)
        return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

bool RemoveFolderTree(const std::wstring& given) {
    if (given.empty()) return true;
    const std::wstring folder = ExtendedPath(given);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
        if (find) {
            do {
                if (IsDotEntry(data.cFileName)) continue;
                const std::wstring child = folder + L"\\" + data.cFileName;
                const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const bool isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                if (isFolder && !isLink) {
                    RemoveFolderTree(child);
                } else {
                    SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    if (isFolder)
                        RemoveDirectoryW(child.c_str());  // a link to a folder: the link only
                    else
                        DeleteFileW(child.c_str());
                }
            } while (FindNextFileW(find.get(), &data));
        }
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(folder.c_str());
    else
        DeleteFileW(folder.c_str());
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}
