#pragma once
// The keys that make Explorer load the program's menu handler (tolvane_shell.dll beside the
// program): its class under CLSID, and its entries under the context-menu handlers of every file
// ("*") and of folders ("Directory").
#include <string>

#include "shell/registration_scope.h"

// {77EAE455-4EF2-4558-8853-B5FE3C7BE7B8}
inline constexpr wchar_t kHandlerClassText[] = L"{77EAE455-4EF2-4558-8853-B5FE3C7BE7B8}";
inline constexpr GUID kHandlerClass = {0x77eae455, 0x4ef2, 0x4558, {0x88, 0x53, 0xb5, 0xfe, 0x3c, 0x7b, 0xe7, 0xb8}};
inline constexpr wchar_t kHandlerFileName[] = L"tolvane_shell.dll";
inline constexpr wchar_t kHandlerName[] = L"Tolvane Extractor";

// "CLSID\{...}" and the handler entries, relative to a classes root.
std::wstring HandlerClassKey();
inline constexpr const wchar_t* kHandlerEntryKeys[] = {
    L"*\\shellex\\ContextMenuHandlers\\TolvaneExtractor",
    L"Directory\\shellex\\ContextMenuHandlers\\TolvaneExtractor",
};

// Writes the class (InprocServer32 = `dllPath`, ThreadingModel Apartment) and the entries into
// the scope's classes (the machine's "Software\Classes" or the user's), in the registry view of
// this process's bitness. True when anything changed.
bool RegisterMenuHandler(const std::wstring& dllPath, RegistrationScope scope);
// Removes them from both scopes.
void UnregisterMenuHandler();
