#pragma once
// Runs the main window and its message loop on the calling thread until the window is
// closed; returns the loop's exit code (1 after a normal close, 0 when the window could
// not be created).
int RunMainWindow(int showCommand);
