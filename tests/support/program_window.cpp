#include "support/program_window.h"

#include <commctrl.h>

#include <vector>

#include "support/remote_list.h"
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

namespace {
// The title names the archive shown, so a main frame is known by its window class.
struct FrameSearch {
    DWORD pid = 0;
    std::vector<HWND> frames;
};
BOOL CALLBACK CollectFrame(HWND window, LPARAM search) {
    auto* state = reinterpret_cast<FrameSearch*>(search);
    wchar_t className[64] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (IsWindowVisible(window) && GetClassNameW(window, className, 64) && std::wstring(className) == L"TolvaneMainFrame" &&
        (state->pid == 0 || state->pid == pid))
        state->frames.push_back(window);
    return TRUE;
}
std::vector<HWND> FramesOf(DWORD pid) {
    FrameSearch search{pid, {}};
    EnumWindows(CollectFrame, reinterpret_cast<LPARAM>(&search));
    return search.frames;
}
}  // namespace

HWND RunningProgram::WaitForFrame() {
    if (!process_) return nullptr;
    frame_ = nullptr;
    WaitUntil([&] {
        const std::vector<HWND> frames = FramesOf(pid_);
        if (!frames.empty()) frame_ = frames.front();
        return frame_ != nullptr;
    });
    return frame_;
}

HWND RunningProgram::view() const { return frame_ ? FindWindowExW(frame_, nullptr, L"#32770", nullptr) : nullptr; }
HWND RunningProgram::list() const { return GetDlgItem(view(), 1002); }
HWND RunningProgram::locationBox() const { return GetDlgItem(view(), 1001); }
HWND RunningProgram::pathField() const { return GetDlgItem(locationBox(), 1003); }

HWND PathFieldOf(HWND frame) {
    return GetDlgItem(GetDlgItem(FindWindowExW(frame, nullptr, L"#32770", nullptr), 1001), 1003);
}

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) { return WaitForExitCode(process_, timeoutMs); }

DWORD RunningProgram::Close() {
    if (frame_) PostMessageW(frame_, WM_CLOSE, 0, 0);
    return WaitForExit();
}

ProgramInFolder::ProgramInFolder(std::initializer_list<std::pair<std::wstring, std::string>> files,
                                 const std::function<void(const TempDir&)>& prepare) {
    for (const auto& [name, content] : files) {
        if (name.back() == L'\\') CreateDirectoryW((dir / name).c_str(), nullptr);
        else WriteFileBytes(dir / name, content);
    }
    if (prepare) prepare(dir);
    StartIn(dir.path());
    program = std::make_unique<RunningProgram>(L"");
    if (program->WaitForFrame()) list = program->list();
    WaitUntil([&] { return RemoteListCount(list) > static_cast<int>(files.size()); });
}

void StartIn(const std::wstring& folder) {
    constexpr wchar_t kSettingsKey[] = L"Software\\Tolvane Extractor";
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, L"last_path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

int RowOf(HWND list, const std::wstring& name) {
    const int count = RemoteListCount(list);
    for (int i = 0; i < count; ++i)
        if (RemoteListItemText(list, i, 0) == name) return i;
    return -1;
}

bool WaitForRows(HWND list, int count, DWORD timeoutMs) {
    return WaitUntil([&] { return RemoteListCount(list) == count; }, timeoutMs);
}

bool WaitForPath(const RunningProgram& program, const std::wstring& path) {
    return WaitUntil([&] { return WindowText(program.pathField()) == path; });
}

void Command(const RunningProgram& program, int id) { PostMessageW(program.frame(), WM_COMMAND, id, 0); }

bool AnswerNamePrompt(const RunningProgram& program, const std::wstring& caption, const std::wstring& name) {
    HWND prompt = WaitForTopWindow(caption, program.pid());
    if (!prompt) return false;
    SetControlText(prompt, 1160, name);  // the prompt's field
    PressButton(prompt, IDOK);
    return WaitForNoTopWindow(caption, program.pid());
}

std::wstring AnswerMessage(const RunningProgram& program, const std::function<void()>& action) {
    action();
    HWND box = WaitForTopWindow(L"Tolvane Extractor", program.pid());
    if (!box) return L"(no message)";
    std::wstring text;
    WaitUntil([&] { return !(text = MessageBoxText(box)).empty(); });
    PressButton(box, IDOK);
    WaitForNoTopWindow(L"Tolvane Extractor", program.pid());
    return text;
}

void PressKeys(std::initializer_list<WORD> down, std::initializer_list<WORD> up) {
    std::vector<INPUT> inputs;
    for (const auto& [keys, flags] : {std::pair{down, DWORD{0}}, std::pair{up, DWORD{KEYEVENTF_KEYUP}}})
        for (WORD key : keys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

int ColumnCount(HWND list) {
    return static_cast<int>(SendMessageW(FindWindowExW(list, nullptr, L"SysHeader32", nullptr), HDM_GETITEMCOUNT, 0, 0));
}

std::vector<std::wstring> RowCells(HWND list, int row) {
    std::vector<std::wstring> cells;
    for (int column = 0; column < ColumnCount(list); ++column) cells.push_back(RemoteListItemText(list, row, column));
    return cells;
}

bool ClickToFocus(HWND control, POINT at) {
    SetForegroundWindow(GetAncestor(control, GA_ROOT));
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return WaitUntil([&] { return FocusOfThread(control) == control; });
}

std::vector<HWND> MainFrames() { return FramesOf(0); }

void ChooseLocation(const RunningProgram& program, int index) {
    PostMessageW(program.locationBox(), CB_SETCURSEL, index, 0);
    PostMessageW(program.view(), WM_COMMAND, MAKEWPARAM(1001, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(program.locationBox()));
}

void EnterPath(const RunningProgram& program, const std::wstring& text) {
    ClickToFocus(program.pathField());
    SetControlText(program.locationBox(), 1003, text);
    PostMessageW(program.pathField(), WM_KEYDOWN, VK_RETURN, 1);
}

HWND WaitForExtractDialog(DWORD pid) { return WaitForTopWindow(L"Extract", pid); }

HWND BrowseFromExtractDialog(DWORD pid, HWND& dialog) {
    dialog = WaitForExtractDialog(pid);
    if (!dialog) return nullptr;
    // Full paths, as the window's Extract writes by default.
    SendDlgItemMessageW(dialog, 1352, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(dialog, 1353, CB_SETCURSEL, 0, 0);
    PressButton(dialog, 1351);
    return WaitForFolderBrowserWindow(pid);
}

void ConfirmExtractDialog(HWND dialog, HWND browser, DWORD pid) {
    WaitForNoTopWindow(WindowText(browser), pid);
    PressButton(dialog, IDOK);
}

}  // namespace testsupport
