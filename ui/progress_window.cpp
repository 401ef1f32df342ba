// The modal progress window and its close protocol.
#include "ui/progress_window.h"

#include <commctrl.h>

#include <atomic>
#include <string>

#include "base/text.h"
#include "ops/worker_thread.h"
#include "ui/app_globals.h"

namespace {

constexpr UINT_PTR kTimerId = 100;
constexpr UINT kTimerPeriodMs = 100;
// The window appears only when the work lasts: a quick open does not flash a window.
constexpr UINT_PTR kShowTimerId = 101;
constexpr UINT kShowAfterMs = 300;
constexpr UINT kLeastShowDelayMs = 100;

struct PromptRequest {
    const std::function<INT_PTR(HWND)>* prompt;
    INT_PTR result = 0;
    bool answered = false;
};

std::atomic<WPARAM> g_nextSerial{1};

// The progress window that waits for the running work: where its prompts go. Windows inside
// windows stand on each other, the innermost here.
std::mutex g_runningLock;
HWND g_runningWindow = nullptr;

}  // namespace

CProgressDlg::CProgressDlg(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress)
    : progress_(progress), serial_(g_nextSerial++) {
    CopyToBuffer(title_, kTextCapacity, title ? title : L"");
    CopyToBuffer(operationText_, kTextCapacity, operationText ? operationText : L"");
}

LRESULT CProgressDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, title_);
    {
        std::lock_guard<std::mutex> lock(g_runningLock);
        outerWindow_ = g_runningWindow;
        g_runningWindow = m_hWnd;
    }
    {
        std::lock_guard<std::mutex> lock(closeLock_);
        closeTarget_ = m_hWnd;
        // The work may have finished before the window was made.
        if (closeRequested_) PostMessageW(m_hWnd, kCloseMessage, serial_, 0);
    }
    SetTimer(m_hWnd, kTimerId, kTimerPeriodMs, nullptr);
    // Work that began before the window counts its delay from its own start; what is left is
    // never so short that work already done could not close the window first.
    const uint32_t started = progress_.startedTick.load();
    const DWORD elapsed = started != 0 ? GetTickCount() - started : 0;
    SetTimer(m_hWnd, kShowTimerId, elapsed + kLeastShowDelayMs < kShowAfterMs ? kShowAfterMs - elapsed : kLeastShowDelayMs,
             nullptr);
    if (GetDlgItem(IDC_PROGRESS_BAR)) {
        SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, 1, 0);
    }
    return TRUE;
}

void CProgressDlg::End(INT_PTR result) {
    if (result_ == 0) result_ = result;
}

void CProgressDlg::UpdateFromCounters() {
    const uint64_t total = progress_.total.load();
    if (total == 0) return;
    const uint64_t completed = progress_.completed.load();
    const uint64_t percent = completed * 100 / total;
    // Drawn again only when the figure changes: the work shares the machine with the window.
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent > 100 ? 100 : percent),
                            0);
        // Above 100 % the figure is shown as it is.
        std::wstring label = operationText_;
        label += L' ';
        label += std::to_wstring(percent);
        label += L'%';
        SetDlgItemTextW(m_hWnd, IDC_PROGRESS_LABEL, label.c_str());
    }
    if (completed == total) End(IDOK);
}

LRESULT CProgressDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == kTimerId) UpdateFromCounters();
    if (wParam == kShowTimerId) {
        KillTimer(m_hWnd, kShowTimerId);
        // Beneath an open prompt the window appears without taking the focus from it.
        ShowWindow(m_hWnd, openPrompts_ > 0 ? SW_SHOWNA : SW_SHOW);
    }
    return TRUE;
}

LRESULT CProgressDlg::OnPrompt(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* request = reinterpret_cast<PromptRequest*>(lParam);
    ++openPrompts_;
    request->result = (*request->prompt)(m_hWnd);
    --openPrompts_;
    request->answered = true;
    return TRUE;
}

LRESULT CProgressDlg::OnCloseRequest(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam == serial_) End(IDOK);
    return TRUE;
}

LRESULT CProgressDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
    // Cancel is the window's one button: Enter and Esc press it as a click does. The work's own
    // end closes the window by the close request or the timer, never by a key.
    progress_.cancel = 1;  // the worker sees it at once
    End(IDCANCEL);
    return TRUE;
}

LRESULT CProgressDlg::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    SendMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

LRESULT CProgressDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    KillTimer(m_hWnd, kTimerId);
    KillTimer(m_hWnd, kShowTimerId);
    {
        std::lock_guard<std::mutex> lock(closeLock_);
        closeTarget_ = nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(g_runningLock);
        if (g_runningWindow == m_hWnd) g_runningWindow = outerWindow_;
    }
    handled = FALSE;
    return 0;
}

void CProgressDlg::RequestClose() {
    std::lock_guard<std::mutex> lock(closeLock_);
    closeRequested_ = true;
    if (closeTarget_) PostMessageW(closeTarget_, kCloseMessage, serial_, 0);
}

INT_PTR CProgressDlg::Run(const std::function<bool()>& startWork) {
    // The bar's class, also for runs that show no other window (the shell's "Extract Here").
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    result_ = 0;
    HWND owner = g_app.OwnerWindow.load();
    if (!Create(owner) || (startWork && !startWork())) {
        if (m_hWnd) DestroyWindow();
        return -1;
    }
    HWND dialog = m_hWnd;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    bool quit = false;
    WPARAM quitCode = 0;
    MSG message;
    while (result_ == 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            quitCode = message.wParam;
            result_ = IDCANCEL;
            progress_.cancel = 1;
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // The owner is enabled before the window goes, so that it gets the activation back.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    DestroyWindow();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result_;
}

bool ShowProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress) {
    CProgressDlg window(title, operationText, progress);
    return window.Run() == IDOK;
}

INT_PTR RunPrompt(const std::function<INT_PTR(HWND owner)>& prompt) {
    HWND waiting = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_runningLock);
        waiting = g_runningWindow;
    }
    if (waiting) {
        // Sent, also from the UI thread itself: the window counts the prompts that stand on it.
        PromptRequest request{&prompt};
        SendMessageW(waiting, CProgressDlg::kPromptMessage, 0, reinterpret_cast<LPARAM>(&request));
        if (request.answered) return request.result;
        // The window went before it could ask.
    }
    return prompt(g_app.OwnerWindow.load());
}

ProgressOutcome RunProgressWindow(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                  std::function<void()> work) {
    CProgressDlg window(title, operationText, progress);
    WorkerThread worker;
    bool started = false;
    const INT_PTR result = window.Run([&] {
        started = worker.Start([&window, work = std::move(work)] {
            struct CloseWhenDone {
                CProgressDlg& window;
                ~CloseWhenDone() { window.RequestClose(); }
            } closer{window};
            work();
        });
        return started;
    });
    if (!started) return ProgressOutcome::NoThread;
    if (result == IDCANCEL) progress.cancel = 1;
    // The window may have closed at 100 % or by Cancel while the worker is still at work:
    // nothing goes on until it has ended, and the window object outlives its close request.
    worker.Join();
    return result == IDCANCEL ? ProgressOutcome::Cancelled : ProgressOutcome::Completed;
}
