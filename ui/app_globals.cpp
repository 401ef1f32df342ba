#include "ui/app_globals.h"

#include <cstring>

AppGlobals g_app{};

void ResetAppGlobals() {
    g_app.instance = nullptr;
    g_app.OwnerWindow.store(nullptr);
    std::memset(&g_app.settings, 0, sizeof(g_app.settings));
}
