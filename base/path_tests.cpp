#include "base/path_tests.h"

#include <windows.h>

#include "base/handles.h"

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileIsReadable(const std::wstring& path) {
    if (path.empty()) return false;
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // A folder can be opened with backup semantics only; CreateFileW without them fails for it,
    // but check the attributes too so that the answer never depends on that detail.
    return !IsDirectory(path);
}
