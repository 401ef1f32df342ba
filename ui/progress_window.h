#pragma once
// The modal progress window (template 206) and its close protocol with the worker, and the
// place where prompts of a running operation are shown.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>

#include "ops/progress.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CProgressDlg : public ui::DialogImpl<CProgressDlg> {
public:
    enum { IDD = IDD_PROGRESS };
    static constexpr size_t kTextCapacity = 256;

    // The window shows how far `progress` is and sets its cancel flag on Cancel; the counters
    // must outlive the window.
    CProgressDlg(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress);

    // Runs the window modally as a dialog box would (its owner, `OwnerWindow`, disabled
    // meanwhile), but shows it only once the work has lasted a moment. It ends with OK when its
    // counters reach their total or on RequestClose, with Cancel when the user
    // cancels (which sets the cancel flag). `startWork`, when given, is called once the window
    // exists, so that a prompt of the work always finds the window to stand on. Returns IDOK,
    // IDCANCEL, or -1 when the window could not open or the work could not start.
    INT_PTR Run(const std::function<bool()>& startWork = {});

    // Asks the window to close with OK; safe from any thread. A request that comes before the
    // window exists closes it as soon as it does; one that comes after it has gone does nothing.
    void RequestClose();

    BEGIN_MSG_MAP(CProgressDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(kPromptMessage, OnPrompt)
        MESSAGE_HANDLER(kCloseMessage, OnCloseRequest)
        COMMAND_ID_HANDLER(IDOK, OnCancel)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    // A prompt of the worker, sent to the window; lParam points to a PromptRequest.
    static constexpr UINT kPromptMessage = WM_APP + 0x207;

private:
    // The close request; wParam carries the window's serial number.
    static constexpr UINT kCloseMessage = WM_APP + 0x206;

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnPrompt(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnCloseRequest(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    void UpdateFromCounters();
    void End(INT_PTR result);

    ProgressCounters& progress_;
    wchar_t title_[kTextCapacity] = {};
    wchar_t operationText_[kTextCapacity] = {};
    INT_PTR result_ = 0;        // 0 while the window runs, then IDOK or IDCANCEL
    int openPrompts_ = 0;       // prompts standing on the window (UI thread only)
    uint64_t shownPercent_ = ~uint64_t{0};  // the figure the bar and label show now
    const WPARAM serial_;       // tells this window's close requests from those of earlier ones
    HWND outerWindow_ = nullptr;  // the progress window this one stands on, if any

    // Shared with the worker's close request.
    std::mutex closeLock_;
    HWND closeTarget_ = nullptr;
    bool closeRequested_ = false;
};

// Runs the progress window on its own until the counters complete or Cancel. True with OK.
bool ShowProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress);

// Starts `work` on a worker thread, shows the progress window over `progress` until it closes,
// and returns once the worker has ended, whatever closed the window. The window is asked to close
// when `work` returns. On Cancel the cancel flag is set while the worker still runs.
ProgressOutcome RunProgressWindow(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                  std::function<void()> work);

// Runs a prompt (a password dialog, a question, a message) where prompts belong: on the UI
// thread, owned by the progress window that waits for the work, so that it stays on top of it
// and keeps the focus while the windows behind it keep painting. Called on a worker it blocks
// until the UI thread has answered. Without a progress window the prompt runs on the calling
// thread, owned by `OwnerWindow`. Returns what `prompt` returned.
INT_PTR RunPrompt(const std::function<INT_PTR(HWND owner)>& prompt);
