#pragma once
// What the handler reads from Explorer and what it starts: the selection, the static verbs
// already shown for it, the menu's entries, and the program started for one of them.
#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "shell/context_menu_model.h"

std::vector<SelectedItem> SelectionFromDataObject(IDataObject* data);
std::vector<SelectedItem> SelectionFromItemArray(IShellItemArray* items);

// The items a static verb of the program already shows for every selected item.
uint32_t StaticVerbItems(const std::vector<SelectedItem>& selection);

// The entries for the selection, by the user's stored choices; without the static verbs'
// items when `besideStaticVerbs` (the classic menu shows both, the Windows 11 menu does not).
std::vector<MenuEntry> EntriesFor(const std::vector<SelectedItem>& selection, bool besideStaticVerbs);

// The program beside the DLL.
std::wstring ProgramBesideHandler();

// Starts the program for the entry and the whole selection and returns at once; when it
// cannot, tells the user (unless `owner` is null and `quiet`) and returns the failure.
HRESULT StartProgramFor(const MenuEntry& entry, const std::vector<SelectedItem>& selection, HWND owner, bool quiet);

// The program's icon as a 32-bit bitmap for a menu item; null when it cannot be made.
HBITMAP MakeMenuBitmap();
