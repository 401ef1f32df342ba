#include "support/window_probe.h"

#include "support/test_support.h"

namespace testsupport {

namespace {
struct FindState {
    const std::wstring* caption;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    if (state->pid) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != state->pid) return TRUE;
    }
    if (WindowText(window) == *state->caption) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindTopWindow(const std::wstring& caption, DWORD pid) {
    FindState state{&caption, pid, nullptr};
    EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForTopWindow(const std::wstring& caption, DWORD pid) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(caption, pid)) != nullptr; });
    return found;
}

bool WaitForNoTopWindow(const std::wstring& caption, DWORD pid) {
    return WaitUntil([&] { return FindTopWindow(caption, pid) == nullptr; });
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             2000, &result))
        return {};
    return buffer;
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control ? WindowText(control) : std::wstring();
}

std::wstring MessageBoxText(HWND box) {
    // The message of a message box is the static control with id 0xFFFF.
    std::wstring text = ControlText(box, 0xFFFF);
    if (!text.empty()) return text;
    std::wstring all;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        GetClassNameW(child, cls, 64);
        // What shows: a hidden label only names a control for screen readers.
        if (lstrcmpiW(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) all += WindowText(child);
    }
    return all;
}

void SetControlText(HWND dialog, int controlId, const std::wstring& text) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                        &result);
}

void PressButton(HWND dialog, int controlId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

DialogResponder::DialogResponder(std::wstring caption, std::function<void(HWND)> action, DWORD pid)
    : caption_(std::move(caption)), action_(std::move(action)), pid_(pid), thread_([this] { run(); }) {}

DialogResponder::~DialogResponder() { stop(); }

void DialogResponder::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::vector<std::wstring> DialogResponder::texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
}

void DialogResponder::run() {
    HWND last = nullptr;
    while (!stop_) {
        HWND window = nullptr;
        WaitUntil([&] { return stop_ || ((window = FindTopWindow(caption_, pid_)) && window != last); }, INFINITE);
        if (window && window != last && !stop_) {
            // A dialog shows once it has been initialised; a message box once it holds its text.
            WaitUntil([&] { return !IsWindow(window) || !MessageBoxText(window).empty() || GetWindow(window, GW_CHILD); });
            {
                std::lock_guard<std::mutex> lock(mutex_);
                std::wstring text = MessageBoxText(window);
                texts_.push_back(text.empty() ? WindowText(window) : text);
            }
            action_(window);
            ++count_;
            last = window;
            // Wait for this window to go away before looking for the next one.
            // One that stays (its action did not close it) is looked at again only once it has gone.
            WaitUntil([&] { return stop_ || !IsWindow(window) || !IsWindowVisible(window); }, kPatienceMs / 4);
            if (!IsWindow(window)) last = nullptr;
        }
    }
}

}  // namespace testsupport
