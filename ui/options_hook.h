#pragma once
// Tools > Options belongs to the application layer, which knows the shell's choices and the
// registration that the windows do not: it installs the function that shows the dialog here at
// start-up, and the menu's command calls it.
#include <windows.h>

using OptionsRunner = void (*)(HWND owner);
void InstallOptionsRunner(OptionsRunner runner);
// Shows Tools > Options over `owner`; nothing when no runner is installed.
void RunOptions(HWND owner);
