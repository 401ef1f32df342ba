#include "base/program_path.h"

#include <windows.h>

#include "base/paths.h"

std::wstring ProgramFilePath() {
    // The program may live below a folder deeper than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    return FolderOf(ProgramFilePath());
}
