// raw_launch <program> <arguments...>
// Starts <program> with the arguments joined by single spaces and nothing quoted or escaped,
// so that a shell-verb command line such as  /e "C:\in\x.zip"  reaches the program exactly
// as Explorer would pass it. Waits for the program and returns its exit code.
#include <windows.h>
#include <shellapi.h>

#include <string>

int wmain() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    std::wstring commandLine = L"\"";
    commandLine += argv[1];
    commandLine += L"\"";
    for (int i = 2; i < argc; ++i) {
        commandLine += L' ';
        commandLine += argv[i];
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 2;
    LocalFree(argv);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
