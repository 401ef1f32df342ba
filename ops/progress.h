#pragma once
// The progress protocol between a worker and the modal progress window: two counters that
// the worker fills and the window's timer polls, and the window's close command.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

struct ProgressCounters {
    std::atomic<uint64_t> total{0};
    std::atomic<uint64_t> completed{0};
    // Set when the user cancels the running operation (the catalogue's cancel flag refers
    // to it); the engine hook then answers "stop" to the engine's progress reports.
    std::atomic<int32_t> cancel{0};
    // Set when the user cancelled a password prompt of the engine: the operation was not
    // failed but refused, and is not reported as a failure.
    std::atomic<int32_t> passwordRefused{0};
    void reset() {
        total = 0;
        completed = 0;
    }
};

extern ProgressCounters g_progress;

// Runs the progress window (template 206) modally, owned by `OwnerWindow`, until the worker's
// close command, the timer seeing the work complete, or Cancel. True when it ended with OK.
bool ShowProgress(const wchar_t* title, const wchar_t* operationText);

// Asks the progress window of the running operation to close (posted; safe from any thread).
// A command that arrives before the window has appeared closes it as soon as it appears; a
// command of an earlier operation never closes a later window.
void PostCloseProgress();

// Runs a prompt (a password dialog, a question, a message) where prompts belong: on the UI
// thread, owned by the progress window that waits for the work, so that it stays on top of it
// and keeps the focus while the windows behind it keep painting. Called on a worker it blocks
// until the UI thread has answered. Without a progress window the prompt runs on the calling
// thread, owned by `OwnerWindow`. Returns what `prompt` returned.
INT_PTR RunPrompt(const std::function<INT_PTR(HWND owner)>& prompt);

enum class ProgressOutcome {
    Completed,  // the window closed by the worker's command or at 100 %
    Cancelled,  // the user pressed Cancel (the cancel flag is set)
    NoThread,   // no worker (or no window for it) could be started; nothing ran
};

// Starts `work` on a worker thread, shows the progress window until it closes, and returns
// once the worker has ended, whatever closed the window. The worker's close command is
// posted when `work` returns. On Cancel the cancel flag is set while the worker still runs.
ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, std::function<void()> work);
