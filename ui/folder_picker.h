#pragma once
// The shell's folder browser, opened on an initial folder and expanded there.
#include <windows.h>

#include <optional>
#include <string>

// The folder the user chose, or nothing when the browser was cancelled or gave no path.
std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& initialFolder);
