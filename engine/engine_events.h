#pragma once
// The hooks through which the engine callbacks report progress and ask for passwords, and the
// engine hands over work that nobody waits for. The operations, which own the progress counters,
// know how to ask the user and own the threads, install them; without them the engine goes on, a
// password is refused, and the engine does such work itself before it returns.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/progress_counters.h"
#include "engine/existing_files.h"

enum EngineEventKind : int32_t {
    kEnginePasswordRequest = 1,  // data: wchar_t buffer of `capacity` units
    kEngineTotal = 2,            // data: const uint64_t*, may be null
    kEngineCompleted = 3,        // data: const uint64_t*, may be null
    kEngineReplaceQuestion = 4,  // data: ReplaceQuestion*; the handler fills in `answer`
};

// A file is where an item of the extraction is to be written: may it be replaced?
struct ReplaceQuestion {
    std::wstring path;             // the existing file
    std::wstring item;             // the item's path inside the archive
    uint64_t existingSize = 0;
    FILETIME existingModified{};
    bool itemSizeKnown = false;
    uint64_t itemSize = 0;
    bool itemModifiedKnown = false;
    FILETIME itemModified{};
    ReplaceAnswer answer = ReplaceAnswer::No;  // what the user chose; "No" when nobody answers
};

// Returns 0 to continue, 1 to stop (password refused, or the operation was cancelled).
// `progress`: the counters of the work the event belongs to (null: nobody's).
using EngineEventHandler = int (*)(ProgressCounters* progress, int32_t kind, void* data, uint32_t capacity);

// The counters of the work that the calling thread does, as the caller bound them (null: none).
// The engine's callbacks take them when they are made, on the thread that calls the engine, and
// pass them with each of their events: the engine raises some on threads of its own.
ProgressCounters* ThisThreadProgress();

// Binds `counters` to the calling thread while it lives; the binding before comes back at its end.
class ProgressOnThisThread {
public:
    explicit ProgressOnThisThread(ProgressCounters& counters);
    ~ProgressOnThisThread();
    ProgressOnThisThread(const ProgressOnThisThread&) = delete;
    ProgressOnThisThread& operator=(const ProgressOnThisThread&) = delete;

private:
    ProgressCounters* before_;
};

// Installs the handler for every later event (null: the default above); returns the one before.
EngineEventHandler SetEngineEventHandler(EngineEventHandler handler);

// Passes one event of the work that `progress` counts to the installed handler.
int OnEngineEvent(ProgressCounters* progress, int32_t kind, void* data, uint32_t capacity);

// Starts work that nobody waits for on a thread of the installer's, which joins it before the
// program ends; false when it cannot (the engine then does the work itself).
using BackgroundRunner = bool (*)(std::function<void()> work);

// Installs the runner for every later piece of such work (null: none); returns the one before.
BackgroundRunner SetEngineBackgroundRunner(BackgroundRunner runner);

// Hands `work` to the installed runner; false when there is none or it could not start it.
bool RunEngineWorkInBackground(std::function<void()> work);
