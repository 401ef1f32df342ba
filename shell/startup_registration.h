#pragma once
// What every start of the program registers: the types the user chose (Tools > Options), the
// verbs and the menu handler, in the scope this copy is installed for; nothing for a portable
// copy until the user asked. "/Register" asks (and is remembered); "/UnRegister" removes all of it.
#include <windows.h>

// `registerCommand`: the command line holds "/Register".
void RefreshShellRegistration(HINSTANCE instance, bool registerCommand);
void RemoveShellRegistration();
