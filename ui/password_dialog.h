#pragma once
// The password prompt (template 205) and the initialisation every dialog of the program shares.
#include <windows.h>

#include <string>

// Sets the caption to "Tolvane Extractor" and the small icon to the program's icon.
void InitDialogCaption(HWND dialog);

// Shows the password prompt where prompts belong (on the UI thread above the progress window
// that waits for it, else owned by `OwnerWindow` on the calling thread). On OK returns true
// with the typed password as UTF-8; on Cancel (or when the dialog cannot open) returns false
// and leaves `passwordUtf8` empty.
bool AskPassword(std::string& passwordUtf8);
