#pragma once
// View > Language: English and the language modules beside the program, the one in use checked.
#include <windows.h>

#include <string>

// True for the submenu's commands.
bool IsLanguageCommand(UINT id);
// The language a command of the submenu stands for: "en" for the first, else a module's code;
// empty for an id beyond the modules found.
std::wstring LanguageOfCommand(UINT id);
// Fills the submenu: "English", then each module by the name it gives itself.
void FillLanguageMenu(HMENU menu);
// Uses the language at once and keeps the choice for the next starts; false when its module
// cannot be loaded (English is used then).
bool ChooseLanguage(const std::wstring& code);
