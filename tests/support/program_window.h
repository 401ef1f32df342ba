#pragma once
// The real program started as a process, and the windows of its main frame.
#include <windows.h>

#include <string>

namespace testsupport {

class RunningProgram {
public:
    // Starts tolvane.exe with `arguments` (as they follow the program's name on its command line).
    explicit RunningProgram(const std::wstring& arguments, int showCommand = SW_SHOWNORMAL);
    ~RunningProgram();  // ends the process if it still runs
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_; }

    // The main frame, once it has appeared (null after the timeout).
    HWND WaitForFrame(DWORD timeoutMs = 20000);
    HWND frame() const { return frame_; }
    HWND view() const;
    HWND list() const;
    HWND locationBox() const;
    HWND pathField() const;

    // Asks the frame to close and waits for the process; returns its exit code (or ~0u).
    DWORD Close(DWORD timeoutMs = 20000);
    // Waits for the process to end on its own; returns its exit code (or ~0u on timeout).
    DWORD WaitForExit(DWORD timeoutMs = 20000);

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND frame_ = nullptr;
};

// The frame's title.
std::wstring MainFrameTitle();

}  // namespace testsupport
