#include "ui/main_window.h"

#include "ui/framework/message_loop.h"
#include "ui/main_frame.h"

int RunMainWindow(int showCommand) {
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
