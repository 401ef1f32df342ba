#pragma once
// Prepares a benchmark process as the program prepares itself: COM, the process-wide
// record with the module instance (for resources and dialogs), and the common controls.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "ui/app_globals.h"
#include "ui/operation_prompts.h"

namespace bench {

inline void PrepareProcess() {
    CoInitialize(nullptr);
    ResetAppGlobals();
    g_app.instance = GetModuleHandleW(nullptr);
    InstallOperationPrompts();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace bench
