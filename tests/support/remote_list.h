#pragma once
// Reading and selecting the rows of a list view that lives in another process, as screen
// readers and test drivers do: the item records travel through memory of that process.
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

int RemoteListCount(HWND list);
std::wstring RemoteListItemText(HWND list, int item, int subItem);
// Selects exactly these rows (the first one focused).
void RemoteListSelect(HWND list, const std::vector<int>& items);
// Positions of the selected rows.
std::vector<int> RemoteListSelection(HWND list);
// Sends BFFM_SETSELECTIONW with `path` to a folder browser of another process.
void RemoteBrowserSelect(HWND browser, const std::wstring& path);
// The shell's folder browser once it is shown (null after the timeout).
HWND WaitForFolderBrowserWindow(DWORD pid = 0);
// Double-clicks a row of a list of another process, as the mouse would.
void RemoteListDoubleClick(HWND list, int item);
// Drops files on a window of another process, as the shell does at the end of a drag.
void RemoteDropFiles(HWND target, const std::vector<std::wstring>& paths);
// The texts of the parts of a status bar of another process.
std::vector<std::wstring> RemoteStatusTexts(HWND statusBar);
// The right edges of its parts (-1: to the end).
std::vector<int> RemoteStatusParts(HWND statusBar);

}  // namespace testsupport
