#pragma once
// View > Name encoding: the code pages the names of a zip can be read with, the submenu that
// offers them for the open archive, and the words for each (the one place of those words).
#include <windows.h>

#include <string>
#include <vector>

#include "engine/archive_name_encoding.h"

// The code pages the submenu can offer; the command of the one at index i is ID_NAME_ENCODING_FIRST + i.
const std::vector<unsigned>& EncodingMenuCodePages();
// The code page a command of the submenu stands for; 0 for "Automatic" and for other ids.
unsigned CodePageOfCommand(UINT id);
// True for the submenu's commands, "Automatic" included.
bool IsNameEncodingCommand(UINT id);
// The short name users know a code page by: "Shift-JIS", "GBK", "CP866"; "Code page N" otherwise.
std::wstring CodePageShortName(unsigned codePage);
// The submenu's text for a code page: "Japanese (Shift-JIS)".
std::wstring CodePageMenuText(unsigned codePage);
// "Names: Shift-JIS" for a zip whose names are in a code page of their own; empty otherwise.
std::wstring NamesStatusText(const ArchiveNameEncoding& names);
// Fills the submenu for the open archive's names (null: none open): "Automatic (<detected>)", the
// code pages that read every name (best first), then the common others; the one in use checked.
void FillNameEncodingMenu(HMENU menu, const ArchiveNameEncoding* names);
