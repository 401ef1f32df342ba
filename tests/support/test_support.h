#pragma once
// Helpers shared by the tests and benchmarks: folders, files, child processes, the real 7z.exe.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// How long a test waits for what the program does before it gives up: generous for a slow
// machine, and never what a test checks.
inline constexpr DWORD kPatienceMs = 20000;
// The same for work that is slow anyway (the archiver over a hundred megabytes).
inline constexpr DWORD kLongPatienceMs = 120000;

// Waits until `condition` holds, looking again after a few milliseconds (longer the longer it
// takes); false when it still does not hold after `timeoutMs`. Tests wait with it, on something
// they can observe, never for a fixed time.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kPatienceMs);

// Waits for a process to end: its exit code, or ~0u when it still runs after `timeoutMs`.
DWORD WaitForExitCode(HANDLE process, DWORD timeoutMs = kPatienceMs);

// The folder of the running test program (build/bin), where tolvane.exe and core\ lie too.
std::wstring BinDir();
std::wstring SevenZipExe();   // bin\core\7z.exe
std::wstring ProgramExe();    // bin\tolvane.exe

// A fresh, empty folder under the temporary folder, removed with all its content at the end.
class TempDir {
public:
    explicit TempDir(const std::wstring& hint = L"t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring operator/(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// Deletes a folder tree (read-only files included). Missing is fine.
void RemoveTree(const std::wstring& path);

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;  // standard output and standard error, as bytes
};

// Runs a command line (quote it yourself) with its output captured. `input` is written to its
// standard input, which is then closed. A process still running after `timeoutMs` is killed.
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& workingFolder = L"",
                         DWORD timeoutMs = 120000, const std::string& input = "");

// Runs the real 7z.exe with the given arguments (quote them yourself).
ProcessResult Run7z(const std::wstring& arguments, const std::wstring& workingFolder = L"",
                    DWORD timeoutMs = 300000, const std::string& input = "");

// Starts a program and returns at once; the handle must be closed by the caller.
HANDLE StartProcess(const std::wstring& commandLine, DWORD* processId = nullptr);

// Quotes an argument by the rules the C runtime uses to split a command line.
std::wstring Quote(const std::wstring& argument);

// Files.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);  // creates folders on the way
std::string ReadFileBytes(const std::wstring& path);                       // empty when missing
bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// Every file below `folder`, as paths relative to it, sorted, backslash-separated.
std::vector<std::wstring> ListFilesRecursive(const std::wstring& folder);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);  // UTF-8

}  // namespace testsupport
