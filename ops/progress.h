#pragma once
// The progress protocol between a worker and the progress window: the counters that the
// worker fills and the window polls, and the run of one piece of work behind the window.
#include <functional>

#include "base/progress_counters.h"

// The counters of the running operation (one at a time).
extern ProgressCounters g_progress;

enum class ProgressOutcome {
    Completed,  // the window closed by the worker's command or at 100 %
    Cancelled,  // the user pressed Cancel (the cancel flag is set)
    NoThread,   // no worker (or no window for it) could be started; nothing ran
};

// Starts `work` on a worker thread, shows the progress window until it closes, and returns
// once the worker has ended, whatever closed the window (through the installed OperationUi).
// On Cancel the cancel flag is set while the worker still runs.
ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, std::function<void()> work);
