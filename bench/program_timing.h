#pragma once
// Timing whole processes the way a user or a script meets them: the archiver with its output
// going to a file, and the program from the moment it is started until its rows are drawn.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace bench {

struct ToolRun {
    double seconds = 0;
    double life = 0;  // from the process's creation to its exit, as the system records them
    DWORD exitCode = ~0u;
};

// Seconds from a process's creation to its exit (0 while it runs), from the system's own records.
double ProcessLife(HANDLE process);
// Seconds between two instants of the system's records.
double SecondsBetween(const FILETIME& from, const FILETIME& to);

// Runs a command line with standard output and standard error going to `outputFile` (as
// `command > out.txt 2>&1` does) and returns the time from its start to its end.
ToolRun RunToFile(const std::wstring& commandLine, const std::wstring& outputFile,
                  const std::wstring& workingFolder = L"");

// `7z.exe <arguments>` with its output going to a file in the bench folder.
ToolRun RunArchiver(const std::wstring& arguments, const std::wstring& workingFolder = L"");

struct ProgramRun {
    bool drawn = false;          // the rows appeared and were painted before the timeout
    double seconds = 0;          // process start -> main window shown with its rows painted
    int rows = 0;                // rows of the list
    uint64_t workingSet = 0;     // resident bytes with the rows shown
    uint64_t peakWorkingSet = 0;  // the process's peak so far
};

// A started program and its main window; ends it on destruction.
class ProgramUnderTest {
public:
    // Starts `program` (a full path to tolvane.exe) with `arguments` after its name.
    ProgramUnderTest(const std::wstring& program, const std::wstring& arguments);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Waits until the main window shows rows, all painted. Times from the process's start.
    ProgramRun WaitForRowsDrawn(DWORD timeoutMs = 300000);
    // Clicks a column header as the mouse does and returns the seconds until the list has
    // re-sorted and is painted again; negative on timeout.
    double ClickColumn(int column, DWORD timeoutMs = 60000);
    // Closes the main window and waits for the process to end.
    void Close();

    HANDLE process() const { return process_; }
    DWORD threadId() const { return threadId_; }
    HWND frame() const { return frame_; }
    HWND list() const { return list_; }
    HWND view() const;       // the frame's client window
    HWND pathField() const;  // the path field above the list

private:
    HANDLE process_ = nullptr;
    DWORD threadId_ = 0;
    HWND frame_ = nullptr;
    HWND list_ = nullptr;
    LARGE_INTEGER started_{};
};

// Nothing of the window is left to paint (it may belong to another process).
bool NothingToPaint(HWND window);

// Resident and peak bytes of another process.
void ProcessMemory(HANDLE process, uint64_t& workingSet, uint64_t& peakWorkingSet);

// Seconds between two performance-counter readings.
double SecondsBetween(LARGE_INTEGER from, LARGE_INTEGER to);
LARGE_INTEGER CounterNow();

}  // namespace bench
