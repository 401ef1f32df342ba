#include "app/command_line_paths.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/handles.h"
#include "base/system_error.h"
#include "ui/app_globals.h"
#include "ui/user_messages.h"

namespace {

constexpr DWORD kLargestListFile = 64u << 20;

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

std::wstring LongPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH + 1);
    return length == 0 || length > MAX_PATH ? path : std::wstring(buffer, length);
}

// The file's bytes; empty with `error` set when it cannot be read.
std::string ReadListBytes(const std::wstring& path, DWORD& error) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return {};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        error = GetLastError();
        return {};
    }
    if (size.QuadPart > kLargestListFile) {
        error = ERROR_FILE_TOO_LARGE;
        return {};
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        error = GetLastError();
        return {};
    }
    if (read != bytes.size()) {
        error = ERROR_HANDLE_EOF;  // it shrank while being read
        return {};
    }
    return bytes;
}

void Tell(const std::wstring& message) {
    HWND owner = g_app.OwnerWindow.load();
    TellUser({message, MessageKind::Error}, owner ? owner : GetActiveWindow());
}

// Deletes the list when it is the program's own hand-over file in the temp folder: a plain file
// (no folder, no link to somewhere else) of that name pattern. Anything else stays.
void DeleteWhenDisposable(const std::wstring& path) {
    const std::wstring temp = TempFolder();
    if (!IsDisposableListFile(path, temp) && !IsDisposableListFile(LongPathOf(path), LongPathOf(temp))) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    DeleteFileW(path.c_str());
}

}  // namespace

std::wstring FullPathOf(const std::wstring& path) {
    // A full path stays as it is: the system would take one ending in "con.zip" for the console.
    const bool full = (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.rfind(L"\\\\", 0) == 0;
    if (full) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::wstring(buffer.data(), length);
}

std::wstring ListFileMessage(const std::wstring& path, const std::wstring& cause) {
    return L"Could not read the list of files " + path + L": " + cause + L".";
}

bool TakeListFile(CommandLineRequest& request) {
    if (request.listFile.empty()) return true;
    DWORD error = 0;
    const std::string bytes = ReadListBytes(request.listFile, error);
    if (error != 0) {
        Tell(ListFileMessage(request.listFile, SystemErrorText(error)));
        return false;
    }
    std::optional<std::vector<std::wstring>> paths = ListFilePaths(bytes);
    if (!paths) {
        Tell(ListFileMessage(request.listFile, L"it is not a list of paths in UTF-16 with a byte-order mark"));
        return false;
    }
    DeleteWhenDisposable(request.listFile);
    request.paths = std::move(*paths);
    if (request.paths.size() == 1) {
        request.archivePath = request.paths.front();
        request.addText = L"\"" + request.paths.front() + L"\"";
    }
    return true;
}
