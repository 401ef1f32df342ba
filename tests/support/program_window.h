#pragma once
// The real program started as a process, and the windows of its main frame.
#include <windows.h>

#include <functional>
#include <memory>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/test_support.h"

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
    HWND WaitForFrame();
    HWND frame() const { return frame_; }
    HWND view() const;
    HWND list() const;
    HWND locationBox() const;
    HWND pathField() const;

    // Asks the frame to close and waits for the process; returns its exit code (or ~0u).
    DWORD Close();
    // Waits for the process to end on its own; returns its exit code (or ~0u on timeout).
    DWORD WaitForExit(DWORD timeoutMs = kPatienceMs);

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND frame_ = nullptr;
};

// The program started on a fresh folder holding `files` (name -> content; a name ending in "\"
// is a folder) and whatever `prepare` puts there, once it lists them.
struct ProgramInFolder {
    explicit ProgramInFolder(std::initializer_list<std::pair<std::wstring, std::string>> files,
                             const std::function<void(const TempDir&)>& prepare = {});
    TempDir dir{L"in"};
    std::unique_ptr<RunningProgram> program;
    HWND list = nullptr;
};

// The frame's title.
std::wstring MainFrameTitle();

// Empties the program's settings and stores `folder` as the last path: the next start shows it.
void StartIn(const std::wstring& folder);
// The position of the row named `name` in a list of another process, or -1.
int RowOf(HWND list, const std::wstring& name);
// Waits until the list shows `count` rows, or the path field shows `path`.
bool WaitForRows(HWND list, int count, DWORD timeoutMs = kPatienceMs);
bool WaitForPath(const RunningProgram& program, const std::wstring& path);
// Sends a frame command (Add 32775, Extract 32776, Delete 32777) as its toolbar button does.
void Command(const RunningProgram& program, int id);
// Runs `action`, then answers the one message box it shows with OK; returns the box's text.
std::wstring AnswerMessage(const RunningProgram& program, const std::function<void()>& action);
// Types `name` into the program's name prompt of this caption (Rename, New Folder, Select by
// pattern...) and confirms it; true once the prompt has gone.
bool AnswerNamePrompt(const RunningProgram& program, const std::wstring& caption, const std::wstring& name);
// Presses keys on the keyboard: `down` in order, then `up` in order.
void PressKeys(std::initializer_list<WORD> down, std::initializer_list<WORD> up);
// The window that has the keyboard focus in the thread of `window`.
HWND FocusOfThread(HWND window);
// The number of columns the list shows, and the texts of one row's cells.
int ColumnCount(HWND list);
std::vector<std::wstring> RowCells(HWND list, int row);
// Clicks a control of another process at `at` (client coordinates) and waits for it to have the focus.
bool ClickToFocus(HWND control, POINT at = {4, 4});
// The path field of a main frame (of any process), and every main frame shown.
HWND PathFieldOf(HWND frame);
std::vector<HWND> MainFrames();
// Chooses an entry of the location box, as the mouse does.
void ChooseLocation(const RunningProgram& program, int index);
// The window's Extract shows the Extract dialog: waits for it (null when it did not show), and
// with `browse` presses its Browse... and returns the folder browser instead, the dialog in `dialog`.
HWND WaitForExtractDialog(DWORD pid);
HWND BrowseFromExtractDialog(DWORD pid, HWND& dialog);
// After the browser was confirmed: waits for it to close, then confirms the Extract dialog.
void ConfirmExtractDialog(HWND dialog, HWND browser, DWORD pid);
// Types `text` into the path field and presses Enter there.
void EnterPath(const RunningProgram& program, const std::wstring& text);

}  // namespace testsupport
