#pragma once
// Looking into the tree view of another process's window (the shell's folder browser).
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace testsupport {

// The first descendant window of this class, or null.
HWND FindDescendantByClass(HWND parent, const wchar_t* className);

// Text of a tree item of another process (read through that process's memory).
std::wstring TreeItemText(HWND tree, HTREEITEM item);
// The selected item, its children, its state.
HTREEITEM TreeSelection(HWND tree);
HTREEITEM TreeChildNamed(HWND tree, HTREEITEM parent, const std::wstring& name);
bool TreeItemExpanded(HWND tree, HTREEITEM item);
bool SelectTreeItem(HWND tree, HTREEITEM item);

}  // namespace testsupport
