#pragma once
// The shell's folder browser, asking where an archive should be extracted.
#include <windows.h>

#include <optional>
#include <string>

inline constexpr wchar_t kExtractFolderPrompt[] = L"Please select a folder to extract to...";

// Shows the browser owned by `owner`, opened on `startFolder` and expanded there. Returns the
// chosen file-system folder, or nothing when the user cancelled or chose no file-system folder.
std::optional<std::wstring> BrowseForExtractFolder(HWND owner, const std::wstring& startFolder);
// The same browser with another title.
std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& startFolder, const wchar_t* title);
