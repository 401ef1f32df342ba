#pragma once
#include <windows.h>

// The whole run of the program: prepares the process, answers the command-line options,
// or runs the main window. Returns the process's exit code.
int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand);
