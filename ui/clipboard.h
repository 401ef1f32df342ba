#pragma once
// Text for other programs, through the clipboard.
#include <windows.h>

#include <string>

// Replaces the clipboard's content with `text` (Unicode); false when the clipboard is held by
// another program or memory runs out.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);
