#pragma once
// The progress protocol between a worker and the progress window. Each operation owns the
// counters that its work fills and its window polls; the threads that do its work have them
// bound, so that what runs there (the engine's events, the archiver's runs) reaches them.
#include <functional>

#include "base/progress_counters.h"
#include "engine/engine_events.h"

enum class ProgressOutcome {
    Completed,  // the window closed by the worker's command or at 100 %
    Cancelled,  // the user pressed Cancel (the cancel flag is set)
    NoThread,   // no worker (or no window for it) could be started; nothing ran
};

// The counters bound to the calling thread (ProgressOnThisThread): those of the operation whose
// work runs here. Where none are, counters of nobody's (never cancelled, read by no window).
ProgressCounters& WorkProgress();
// The operation whose work runs on this thread was cancelled.
bool OperationCancelled();

// The progress of one operation: its counters, bound to the thread that runs the operation (for
// work done there when no worker can be had) and, through RunWithProgress, to its worker.
class OperationProgress : public ProgressCounters {
public:
    OperationProgress() : here_(*this) {}
    bool cancelled() const { return cancel.load() != 0; }
    // The user ended the operation: `cancelledByUser`, Cancel, or a refused password prompt.
    bool endedByUser(bool cancelledByUser) const {
        return cancelledByUser || cancel.load() != 0 || passwordRefused.load() != 0;
    }

private:
    ProgressOnThisThread here_;
};

// Starts `work` on a worker thread with `progress` bound to it, shows the progress window over
// `progress` until it closes, and returns once the worker has ended, whatever closed the window
// (through the installed OperationUi). On Cancel the cancel flag is set while the worker still runs.
ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                std::function<void()> work);
