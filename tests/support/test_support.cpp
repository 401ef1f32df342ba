#include "support/test_support.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace testsupport {

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    constexpr DWORD kLongestLookMs = 20;
    const DWORD start = GetTickCount();
    for (DWORD pause = 1; !condition(); pause = pause * 2 > kLongestLookMs ? kLongestLookMs : pause * 2) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(pause);
    }
    return true;
}

DWORD WaitForExitCode(HANDLE process, DWORD timeoutMs) {
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

std::wstring BinDir() {
    wchar_t buffer[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    std::wstring path = buffer;
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring SevenZipExe() { return BinDir() + L"\\core\\7z.exe"; }
std::wstring ProgramExe() { return BinDir() + L"\\tolvane.exe"; }

static std::wstring TempRoot() {
    wchar_t buffer[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buffer);
    std::wstring root = buffer;
    if (!root.empty() && root.back() == L'\\') root.pop_back();
    root += L"\\tolvane-tests";
    CreateDirectoryW(root.c_str(), nullptr);
    return root;
}

TempDir::TempDir(const std::wstring& hint) {
    static std::atomic<unsigned> counter{0};
    const std::wstring root = TempRoot();
    for (;;) {
        path_ = root + L"\\" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount() % 100000);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

void RemoveTree(const std::wstring& path) {
    if (path.empty()) return;
    // Through "\\?\", so that names ending in a dot or a space are removed too.
    if (path.size() > 2 && path[1] == L':') return RemoveTree(L"\\\\?\\" + path);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingFolder,
                         DWORD timeoutMs, const std::string& input) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return result;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return result;
    }
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = outWrite;
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    const BOOL started = CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr,
                                        workingFolder.empty() ? nullptr : workingFolder.c_str(),
                                        &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(inRead);
    if (!started) {
        CloseHandle(outRead);
        CloseHandle(inWrite);
        return result;
    }
    result.started = true;

    std::thread reader([&] {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(outRead, chunk, sizeof(chunk), &got, nullptr) && got > 0)
            result.output.append(chunk, got);
    });
    if (!input.empty()) {
        DWORD written = 0;
        WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    }
    CloseHandle(inWrite);

    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        TerminateProcess(process.hProcess, 999);
        WaitForSingleObject(process.hProcess, 10000);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    reader.join();
    CloseHandle(outRead);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

ProcessResult Run7z(const std::wstring& arguments, const std::wstring& workingFolder, DWORD timeoutMs,
                    const std::string& input) {
    return RunProcess(Quote(SevenZipExe()) + L" " + arguments, workingFolder, timeoutMs, input);
}

HANDLE StartProcess(const std::wstring& commandLine, DWORD* processId) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    if (processId) *processId = process.dwProcessId;
    return process.hProcess;
}

std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') out.append(backslashes * 2 + 1, L'\\');
        else out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

static void CreateParents(const std::wstring& path) {
    for (size_t pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1))
        CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    CreateParents(path);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1 << 20));
        if (!WriteFile(file, bytes.data() + offset, chunk, &written, nullptr) || written == 0) break;
        offset += written;
    }
    CloseHandle(file);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string out;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return out;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) out.append(chunk, got);
    CloseHandle(file);
    return out;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

static void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListInto(root, child, out);
        else out.push_back(child);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::vector<std::wstring> ListFilesRecursive(const std::wstring& folder) {
    std::vector<std::wstring> out;
    ListInto(folder, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace testsupport
