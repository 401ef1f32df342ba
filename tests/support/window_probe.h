#pragma once
// Finding and answering windows and dialogs, in this process or in another one, the way a
// user would: by caption, reading their text, typing into their fields, pressing buttons.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// A visible top-level window with exactly this caption (of process `pid` when not 0), or null.
HWND FindTopWindow(const std::wstring& caption, DWORD pid = 0);
// Waits for such a window; null when none appeared in time.
HWND WaitForTopWindow(const std::wstring& caption, DWORD pid = 0);
// Waits until no visible top-level window with this caption exists; false when one stayed.
bool WaitForNoTopWindow(const std::wstring& caption, DWORD pid = 0);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int controlId);
// The message of a message box (its static text control).
std::wstring MessageBoxText(HWND box);
void SetControlText(HWND dialog, int controlId, const std::wstring& text);
// Presses a button by posting its command, as a click would.
void PressButton(HWND dialog, int controlId);

// Answers dialogs that appear with a given caption while it lives: each time such a window
// appears, `action` runs once on it (from a background thread). Records what it saw.
class DialogResponder {
public:
    DialogResponder(std::wstring caption, std::function<void(HWND)> action, DWORD pid = 0);
    ~DialogResponder();
    DialogResponder(const DialogResponder&) = delete;
    DialogResponder& operator=(const DialogResponder&) = delete;
    int count() const { return count_.load(); }
    // Texts of the message boxes (or captions of other windows) answered so far.
    std::vector<std::wstring> texts() const;
    void stop();

private:
    void run();
    std::wstring caption_;
    std::function<void(HWND)> action_;
    DWORD pid_;
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

}  // namespace testsupport
