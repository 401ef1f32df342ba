#pragma once
// The modal progress window (template 206) and its close protocol with the worker, and the
// place where prompts of a running operation are shown.
#include <windows.h>

#include <functional>

#include "ops/progress.h"

// Runs the progress window modally, owned by `OwnerWindow`, until the worker's close command,
// the timer seeing the work complete, or Cancel. True when it ended with OK.
bool ShowProgress(const wchar_t* title, const wchar_t* operationText);

// Asks the progress window of the running operation to close (posted; safe from any thread).
// A command that arrives before the window has appeared closes it as soon as it appears; a
// command of an earlier operation never closes a later window.
void PostCloseProgress();

// Starts `work` on a worker thread, shows the progress window until it closes, and returns
// once the worker has ended, whatever closed the window. The worker's close command is posted
// when `work` returns. On Cancel the cancel flag is set while the worker still runs.
ProgressOutcome RunProgressWindow(const wchar_t* title, const wchar_t* operationText, std::function<void()> work);

// Runs a prompt (a password dialog, a question, a message) where prompts belong: on the UI
// thread, owned by the progress window that waits for the work, so that it stays on top of it
// and keeps the focus while the windows behind it keep painting. Called on a worker it blocks
// until the UI thread has answered. Without a progress window the prompt runs on the calling
// thread, owned by `OwnerWindow`. Returns what `prompt` returned.
INT_PTR RunPrompt(const std::function<INT_PTR(HWND owner)>& prompt);
