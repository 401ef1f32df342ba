#pragma once
// The module the program's texts come from: a language module beside the program
// (lang\<code>.dll, resources only) when one is loaded, else the program itself. A resource the
// language module lacks is read from the program.
#include <windows.h>

#include <string>
#include <vector>

// The language module when one is loaded, else the program.
HINSTANCE ResourceModule();
// The module that holds the resource (the language module first, then the program); null when
// neither does.
HINSTANCE ResourceModuleFor(const wchar_t* type, const wchar_t* name);

// A string of the string table, whole; empty when neither module has it.
std::wstring ResourceString(UINT id);
// The same with %1 to %9 replaced by `values` (a translation may put them in any order).
std::wstring ResourceString(UINT id, const std::vector<std::wstring>& values);
// `text` with %1 to %9 replaced by `values`; "%%" is one "%", a number beyond them stays as it is.
std::wstring FillPlaceholders(const std::wstring& text, const std::vector<std::wstring>& values);
HMENU LoadResourceMenu(UINT id);
// A dialog's template (RT_DIALOG), from the module that holds it; null when none does.
const DLGTEMPLATE* DialogTemplate(UINT id);

// The language module's code for a user interface language: "de" for every German, "ja" for
// Japanese; empty for English and for a language without a module of its own.
std::wstring LanguageCodeOf(LANGID language);
// The codes of the language modules in `folder` (lang\*.dll), sorted.
std::vector<std::wstring> LanguageModulesIn(const std::wstring& folder);
// The folder of the language modules: lang\ beside the program.
std::wstring LanguageFolder();

// Uses lang\<code>.dll as the language module (on the UI thread); "" or "en" goes back to the
// program's own English. False, and English, when the module cannot be loaded.
bool UseLanguage(const std::wstring& code);
// The code of the language module in use; empty for English.
const std::wstring& LanguageInUse();

// The setting that names the chosen language ("en", "de", ...); absent: the user's UI language.
inline constexpr wchar_t kLanguageSetting[] = L"language";
// At start: the chosen language, else the module for the user's UI language when there is one.
void UseStartLanguage();
