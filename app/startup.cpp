#include "app/startup.h"

int RunApplication(HINSTANCE, const wchar_t*, int) { return 0; }
