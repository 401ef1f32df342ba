#pragma once
// How far a long piece of work is, and whether the user wants it to stop: filled by the code
// that does the work (on a worker thread), read by the window that shows it (on the UI thread).
#include <atomic>
#include <cstdint>

struct ProgressCounters {
    std::atomic<uint64_t> total{0};
    std::atomic<uint64_t> completed{0};
    // Set when the user cancels the running operation; the work stops at its next check.
    std::atomic<int32_t> cancel{0};
    // Set when the user cancelled a password prompt of the engine: the operation was not
    // failed but refused, and is not reported as a failure.
    std::atomic<int32_t> passwordRefused{0};
    // For work that began before its window (GetTickCount then; 0: it begins with its window):
    // the window waits only the rest of its usual delay before it shows.
    std::atomic<uint32_t> startedTick{0};
    void reset() {
        total = 0;
        completed = 0;
        startedTick = 0;
    }
};
