#include "program_timing.h"

#include <commctrl.h>
#include <psapi.h>

#include "bench_clock.h"
#include "support/test_support.h"

namespace bench {

namespace {

constexpr int kListId = 1002;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 60000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

struct FrameSearch {
    HWND frame = nullptr;
};

BOOL CALLBACK FindFrame(HWND window, LPARAM data) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (lstrcmpW(className, L"TolvaneMainFrame") != 0) return TRUE;
    reinterpret_cast<FrameSearch*>(data)->frame = window;
    return FALSE;
}

bool Painted(HWND window) { return !GetUpdateRect(window, nullptr, FALSE); }

}  // namespace

bool NothingToPaint(HWND window) { return Painted(window); }

HWND ProgramUnderTest::view() const { return frame_ ? FindWindowExW(frame_, nullptr, L"#32770", nullptr) : nullptr; }

HWND ProgramUnderTest::pathField() const { return GetDlgItem(GetDlgItem(view(), 1001), 1003); }

LARGE_INTEGER CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double SecondsBetween(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double SecondsBetween(const FILETIME& from, const FILETIME& to) {
    const auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (ticks(to) - ticks(from)) / 1e7;
}

double ProcessLife(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user) || exited.dwHighDateTime == 0) return 0;
    return SecondsBetween(created, exited);
}

ToolRun RunToFile(const std::wstring& commandLine, const std::wstring& outputFile, const std::wstring& workingFolder) {
    ToolRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    // The previous run's process may hold the file for a moment after it has ended.
    HANDLE output = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && output == INVALID_HANDLE_VALUE; ++attempt) {
        if (attempt > 0) Sleep(10);
        output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (output == INVALID_HANDLE_VALUE) return run;
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    const LARGE_INTEGER start = CounterNow();
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        run.seconds = SecondsBetween(start, CounterNow());
        run.life = ProcessLife(process.hProcess);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    return run;
}

ToolRun RunArchiver(const std::wstring& arguments, const std::wstring& workingFolder) {
    return RunToFile(testsupport::Quote(testsupport::SevenZipExe()) + L" " + arguments,
                     BenchFolder() + L"\\archiver-output.txt", workingFolder);
}

void ProcessMemory(HANDLE process, uint64_t& workingSet, uint64_t& peakWorkingSet) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    workingSet = peakWorkingSet = 0;
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return;
    workingSet = counters.WorkingSetSize;
    peakWorkingSet = counters.PeakWorkingSetSize;
}

ProgramUnderTest::ProgramUnderTest(const std::wstring& program, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    std::wstring line = testsupport::Quote(program) + (arguments.empty() ? L"" : L" " + arguments);
    started_ = CounterNow();
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        threadId_ = info.dwThreadId;
    }
}

ProgramUnderTest::~ProgramUnderTest() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
}

ProgramRun ProgramUnderTest::WaitForRowsDrawn(DWORD timeoutMs) {
    ProgramRun run;
    if (!process_) return run;
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return run;
        if (!frame_) {
            FrameSearch search;
            EnumThreadWindows(threadId_, FindFrame, reinterpret_cast<LPARAM>(&search));
            frame_ = search.frame;
        }
        if (frame_ && !list_) {
            HWND view = FindWindowExW(frame_, nullptr, L"#32770", nullptr);
            if (view) list_ = GetDlgItem(view, kListId);
        }
        // Shown, with rows, and nothing of the frame or its list left to paint.
        if (list_ && IsWindowVisible(frame_) && Painted(frame_) && Painted(list_)) {
            const int rows = static_cast<int>(Ask(list_, LVM_GETITEMCOUNT));
            if (rows > 0 && Painted(list_)) {
                run.seconds = SecondsBetween(started_, CounterNow());
                run.rows = rows;
                run.drawn = true;
                ProcessMemory(process_, run.workingSet, run.peakWorkingSet);
                return run;
            }
        }
        Sleep(1);
    }
    return run;
}

double ProgramUnderTest::ClickColumn(int column, DWORD timeoutMs) {
    if (!list_) return -1;
    const HWND header = reinterpret_cast<HWND>(Ask(list_, LVM_GETHEADER));
    if (!header) return -1;
    int x = 0;
    for (int i = 0; i < column; ++i) x += static_cast<int>(Ask(list_, LVM_GETCOLUMNWIDTH, i));
    x += static_cast<int>(Ask(list_, LVM_GETCOLUMNWIDTH, column)) / 2;
    const LPARAM at = MAKELPARAM(x, 5);
    // A marker posted behind the click: once the list has taken it, the click has been handled.
    static int marker = 1000;
    marker = marker == 1000 ? 1001 : 1000;
    const LARGE_INTEGER start = CounterNow();
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    PostMessageW(list_, LVM_SETHOTITEM, static_cast<WPARAM>(marker), 0);
    const DWORD begin = GetTickCount();
    while (GetTickCount() - begin < timeoutMs) {
        if (Ask(list_, LVM_GETHOTITEM) == marker && Painted(list_)) return SecondsBetween(start, CounterNow());
        Sleep(1);
    }
    return -1;
}

void ProgramUnderTest::Close() {
    if (!process_) return;
    if (frame_) PostMessageW(frame_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 30000) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
}

}  // namespace bench
