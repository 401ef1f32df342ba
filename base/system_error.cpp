#include "base/system_error.h"

std::wstring SystemOwnText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length != 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

std::wstring SystemErrorText(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return L"the file was not found";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return L"the disk is full";
    case ERROR_ACCESS_DENIED: return L"access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return L"the file is in use";
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return L"the name is too long";
    case ERROR_INVALID_NAME: return L"the name is not valid here";
    case ERROR_WRITE_PROTECT: return L"the disk is write-protected";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return L"the folder was not found";
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return L"a folder or file of that name is in the way";
    default: break;
    }
    std::wstring cause = SystemOwnText(error);
    while (!cause.empty() && (cause.back() == L' ' || cause.back() == L'.')) cause.pop_back();
    return cause.empty() ? L"system error " + std::to_wstring(error) : cause;
}
