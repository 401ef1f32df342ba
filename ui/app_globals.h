#pragma once
// The process-wide record: module instance, the owner of message boxes and modal
// dialogs, and the per-user settings.
#include <windows.h>

#include <atomic>

#include "base/program_identity.h"
#include "ui/settings.h"

struct AppGlobals {
    HINSTANCE instance;
    // Owns message boxes and modal dialogs everywhere. Written on the UI thread
    // only, read by worker threads too, hence atomic.
    std::atomic<HWND> OwnerWindow;
    AppSettings settings;
};

extern AppGlobals g_app;

// Returns every field of the record to zero (start-up does this before anything reads it).
void ResetAppGlobals();
