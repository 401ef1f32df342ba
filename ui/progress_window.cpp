// The modal progress window and its close protocol.
#include "ui/progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include <mutex>
#include <string>

#include "base/text.h"
#include "ops/worker_thread.h"
#include "res/resource.h"
#include "ui/app_globals.h"
#include "ui/password_dialog.h"

namespace {

constexpr UINT_PTR kTimerId = 100;
constexpr UINT kTimerPeriodMs = 100;
// The window appears only when the work lasts: a quick open does not flash a window.
constexpr UINT_PTR kShowTimerId = 101;
constexpr UINT kShowAfterMs = 400;
// The worker's close command; wParam carries the operation's number.
constexpr UINT kCloseProgressMessage = WM_APP + 0x206;
// A prompt of the worker, sent to the progress window; lParam points to a PromptRequest.
constexpr UINT kPromptMessage = WM_APP + 0x207;

struct PromptRequest {
    const std::function<INT_PTR(HWND)>* prompt;
    INT_PTR result = 0;
    bool answered = false;
};

// Prompts open over the progress window (UI thread only).
int g_openPrompts = 0;

wchar_t g_title[256];
wchar_t g_operationText[256];

// Shared by the UI thread (the window) and the worker (its close command).
std::mutex g_closeLock;
HWND g_closeTarget = nullptr;
WPARAM g_operationNumber = 0;
bool g_closeRequested = false;

// How the running window ended: 0 while it runs, else IDOK or IDCANCEL.
INT_PTR g_progressResult = 0;

void EndProgress(HWND, INT_PTR result) {
    if (g_progressResult == 0) g_progressResult = result;
}

void UpdateFromCounters(HWND dialog) {
    const uint64_t total = g_progress.total.load();
    if (total == 0) return;
    const uint64_t completed = g_progress.completed.load();
    const uint64_t percent = completed * 100 / total;
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent > 100 ? 100 : percent), 0);
    // Above 100 % the figure is shown as it is.
    std::wstring label = g_operationText;
    label += L' ';
    label += std::to_wstring(percent);
    label += L'%';
    SetDlgItemTextW(dialog, IDC_PROGRESS_LABEL, label.c_str());
    if (completed == total) EndProgress(dialog, IDOK);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        InitDialogCaption(dialog);
        SetWindowTextW(dialog, g_title);
        {
            std::lock_guard<std::mutex> lock(g_closeLock);
            g_closeTarget = dialog;
            SetWindowLongPtrW(dialog, DWLP_USER, static_cast<LONG_PTR>(g_operationNumber));
            // The worker may have finished before the window appeared.
            if (g_closeRequested) PostMessageW(dialog, kCloseProgressMessage, g_operationNumber, 0);
        }
        SetTimer(dialog, kTimerId, kTimerPeriodMs, nullptr);
        SetTimer(dialog, kShowTimerId, kShowAfterMs, nullptr);
        if (GetDlgItem(dialog, IDC_PROGRESS_BAR)) {
            SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 1, 0);
        }
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == kTimerId) UpdateFromCounters(dialog);
        if (wParam == kShowTimerId) {
            KillTimer(dialog, kShowTimerId);
            // Beneath an open prompt the window appears without taking the focus from it.
            ShowWindow(dialog, g_openPrompts > 0 ? SW_SHOWNA : SW_SHOW);
        }
        return TRUE;
    case kPromptMessage: {
        auto* request = reinterpret_cast<PromptRequest*>(lParam);
        ++g_openPrompts;
        request->result = (*request->prompt)(dialog);
        --g_openPrompts;
        request->answered = true;
        return TRUE;
    }
    case kCloseProgressMessage:
        if (wParam == static_cast<WPARAM>(GetWindowLongPtrW(dialog, DWLP_USER))) EndProgress(dialog, IDOK);
        return TRUE;
    case WM_COMMAND:
        // Cancel is the window's one button: Enter and Esc press it as a click does. The work's
        // own end closes the window by the close command or the timer, never by a key.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            g_progress.cancel = 1;  // the worker sees it at once
            EndProgress(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    case WM_DESTROY: {
        KillTimer(dialog, kTimerId);
        KillTimer(dialog, kShowTimerId);
        std::lock_guard<std::mutex> lock(g_closeLock);
        if (g_closeTarget == dialog) g_closeTarget = nullptr;
        return FALSE;
    }
    }
    return FALSE;
}

// A new operation: close commands of earlier ones no longer count.
void BeginOperation() {
    std::lock_guard<std::mutex> lock(g_closeLock);
    ++g_operationNumber;
    g_closeRequested = false;
}

// Runs the window modally as a dialog box would (its owner disabled meanwhile), but shows it
// only once the work has lasted a moment. `startWork`, when given, is called once the window
// exists, so that a prompt of the work always finds the window to stand on. Returns IDOK,
// IDCANCEL, or -1 when the window could not open or the work could not start.
INT_PTR RunProgressDialog(const wchar_t* title, const wchar_t* operationText,
                          const std::function<bool()>& startWork = {}) {
    // The bar's class, also for runs that show no other window (the shell's "Extract Here").
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    CopyToBuffer(g_title, 256, title ? title : L"");
    CopyToBuffer(g_operationText, 256, operationText ? operationText : L"");
    const INT_PTR outerResult = g_progressResult;  // a window inside a window keeps its own
    g_progressResult = 0;
    HWND owner = g_app.OwnerWindow.load();
    HWND dialog = CreateDialogParamW(g_app.instance, MAKEINTRESOURCEW(IDD_PROGRESS), owner, ProgressDialogProc, 0);
    if (!dialog || (startWork && !startWork())) {
        if (dialog) DestroyWindow(dialog);
        g_progressResult = outerResult;
        return -1;
    }
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (g_progressResult == 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            quitCode = message.wParam;
            g_progressResult = IDCANCEL;
            g_progress.cancel = 1;
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const INT_PTR result = g_progressResult;
    // The owner is enabled before the window goes, so that it gets the activation back.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    DestroyWindow(dialog);
    g_progressResult = outerResult;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

}  // namespace

bool ShowProgress(const wchar_t* title, const wchar_t* operationText) {
    return RunProgressDialog(title, operationText) == IDOK;
}

INT_PTR RunPrompt(const std::function<INT_PTR(HWND owner)>& prompt) {
    HWND waiting = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_closeLock);
        waiting = g_closeTarget;
    }
    if (waiting && GetWindowThreadProcessId(waiting, nullptr) != GetCurrentThreadId()) {
        PromptRequest request{&prompt};
        SendMessageW(waiting, kPromptMessage, 0, reinterpret_cast<LPARAM>(&request));
        if (request.answered) return request.result;
        waiting = nullptr;  // the window went before it could ask
    }
    if (waiting) {
        ++g_openPrompts;
        const INT_PTR result = prompt(waiting);
        --g_openPrompts;
        return result;
    }
    return prompt(g_app.OwnerWindow.load());
}

void PostCloseProgress() {
    std::lock_guard<std::mutex> lock(g_closeLock);
    g_closeRequested = true;
    if (g_closeTarget) PostMessageW(g_closeTarget, kCloseProgressMessage, g_operationNumber, 0);
}

ProgressOutcome RunProgressWindow(const wchar_t* title, const wchar_t* operationText, std::function<void()> work) {
    BeginOperation();
    WorkerThread worker;
    bool started = false;
    const INT_PTR result = RunProgressDialog(title, operationText, [&] {
        started = worker.Start([work = std::move(work)] {
            struct CloseWhenDone {
                ~CloseWhenDone() { PostCloseProgress(); }
            } closer;
            work();
        });
        return started;
    });
    if (!started) return ProgressOutcome::NoThread;
    if (result == IDCANCEL) g_progress.cancel = 1;
    // The window may have closed at 100 % or by Cancel while the worker is still at work:
    // nothing goes on until it has ended.
    worker.Join();
    // The operation is over; its close command, should it have come late, is void.
    BeginOperation();
    return result == IDCANCEL ? ProgressOutcome::Cancelled : ProgressOutcome::Completed;
}
