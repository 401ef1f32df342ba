#pragma once
// The progress protocol between a worker and the modal progress window: two counters that
// the worker fills and the window's timer polls, and the window's close command.
#include <windows.h>

#include <atomic>
#include <cstdint>

struct ProgressCounters {
    std::atomic<uint64_t> total{0};
    std::atomic<uint64_t> completed{0};
    // Set when the user cancels the running operation (the catalogue's cancel flag refers
    // to it); the engine hook then answers "stop" to the engine's progress reports.
    std::atomic<int32_t> cancel{0};
    void reset() {
        total = 0;
        completed = 0;
    }
};

extern ProgressCounters g_progress;

// Runs the progress window (template 206) modally, owned by `OwnerWindow`, until the worker's
// close command, the timer seeing the work complete, or Cancel. True when it ended with OK.
bool ShowProgress(const wchar_t* title, const wchar_t* operationText);

// Asks the progress window that opened last to close (posted; safe from any thread).
void PostCloseProgress();
