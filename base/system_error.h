#pragma once
// Why a system call failed, in the words every message of the program uses.
#include <windows.h>

#include <string>

// The cause as a clause of a message, lower case and without a final period ("the disk is
// full", "access denied"): the program's own words for the usual causes, else the system's
// text, else "system error <code>".
std::wstring SystemErrorText(DWORD error);

// The system's own text for the error (no line end), as other programs print it; empty when the
// system has none. For recognising it in their output, not for the user.
std::wstring SystemOwnText(DWORD error);
