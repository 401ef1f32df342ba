#pragma once
// Tools > Options: a property sheet made from one table of pages. Its first page, Integration,
// chooses the file types the program opens by default, whether its context-menu items sit in
// one submenu, and which items that menu shows; OK stores the choices and registers at once.
#include <windows.h>

#include <string>
#include <vector>

struct EngineFormat;

// Shows the dialog modally over `owner`.
void ShowOptionsDialog(HWND owner);

// The file types offered on the Integration page: "zip", "rar", "7z" first, then every other
// extension of the engine's readable formats in the table's order, each once, lower case. Left
// out: the extensions of programs and documents that only happen to be readable as archives
// (exe, dll, msi, docx, jar, obj, ...) and checksum files: opening those with an archive manager
// by default would keep them from running or opening in their own programs.
std::vector<std::wstring> OfferedDefaultTypes(const std::vector<EngineFormat>& formats);

// When a registration meant for every user could be written for this user only, says so, once.
void TellIfRegisteredPerUserOnly(HWND owner);
