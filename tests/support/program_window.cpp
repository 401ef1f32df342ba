#include "support/program_window.h"

#include "support/test_support.h"
#include "support/window_probe.h"

namespace testsupport {

std::wstring MainFrameTitle() { return L"Tolvane Extractor - Ver 1.0"; }

RunningProgram::RunningProgram(const std::wstring& arguments, int showCommand) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = Quote(ProgramExe()) + (arguments.empty() ? L"" : L" " + arguments);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        pid_ = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
}

HWND RunningProgram::WaitForFrame(DWORD timeoutMs) {
    if (!process_) return nullptr;
    frame_ = WaitForTopWindow(MainFrameTitle(), timeoutMs, pid_);
    return frame_;
}

HWND RunningProgram::view() const { return frame_ ? FindWindowExW(frame_, nullptr, L"#32770", nullptr) : nullptr; }
HWND RunningProgram::list() const { return GetDlgItem(view(), 1002); }
HWND RunningProgram::locationBox() const { return GetDlgItem(view(), 1001); }
HWND RunningProgram::pathField() const { return GetDlgItem(locationBox(), 1003); }

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return ~0u;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

DWORD RunningProgram::Close(DWORD timeoutMs) {
    if (frame_) PostMessageW(frame_, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

}  // namespace testsupport
