// Entry of every test program: the process is prepared as the program prepares itself.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "ui/app_globals.h"
#include "ui/operation_prompts.h"

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    ResetAppGlobals();
    g_app.instance = GetModuleHandleW(nullptr);
    InstallOperationPrompts();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
