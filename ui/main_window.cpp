#include "ui/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/framework/message_loop.h"
#include "ui/main_frame.h"

int RunMainWindow(int showCommand) {
    // The view's list and the progress window's bar, beside the bars start-up prepared.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    ui::MessageLoop loop;
    ui::g_module.AddMessageLoop(&loop);
    int result = 0;
    {
        CMainFrame frame;
        if (frame.CreateEx()) {
            ShowWindow(frame.m_hWnd, showCommand);
            result = loop.Run();
        }
    }
    ui::g_module.RemoveMessageLoop();
    return result;
}
