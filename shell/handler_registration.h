#pragma once
// The keys that make Explorer load the program's menu handler (tolvane_shell.dll beside the
// program): its class under CLSID, and its entries under the context-menu handlers of every file
// ("*") and of folders ("Directory"); the right-drag handler's class in the same DLL, and its
// entries under the drag-and-drop handlers of folders and drives.
#include <string>

#include "shell/registration_scope.h"

// {77EAE455-4EF2-4558-8853-B5FE3C7BE7B8}
inline constexpr wchar_t kHandlerClassText[] = L"{77EAE455-4EF2-4558-8853-B5FE3C7BE7B8}";
inline constexpr GUID kHandlerClass = {0x77eae455, 0x4ef2, 0x4558, {0x88, 0x53, 0xb5, 0xfe, 0x3c, 0x7b, 0xe7, 0xb8}};
inline constexpr wchar_t kHandlerFileName[] = L"tolvane_shell.dll";  // the program's own bitness
// On a 64-bit system, the DLL of the other bitness beside it, for the other registry view: a
// 64-bit program's folder may hold the 32-bit DLL (for 32-bit programs' file dialogs), a 32-bit
// program's the 64-bit DLL (for Explorer).
inline constexpr wchar_t kHandler32FileName[] = L"tolvane_shell32.dll";
inline constexpr wchar_t kHandler64FileName[] = L"tolvane_shell64.dll";
inline constexpr wchar_t kHandlerName[] = L"Tolvane Extractor";

// The right-drag handler in the same DLL: archives dropped with the right mouse button on a
// folder or a drive offer to extract there.
// {20B2C446-7214-4185-91DE-BC1856A0883B}
inline constexpr wchar_t kDropHandlerClassText[] = L"{20B2C446-7214-4185-91DE-BC1856A0883B}";
inline constexpr GUID kDropHandlerClass = {0x20b2c446, 0x7214, 0x4185, {0x91, 0xde, 0xbc, 0x18, 0x56, 0xa0, 0x88, 0x3b}};
inline constexpr wchar_t kDropHandlerName[] = L"Tolvane Extractor drop handler";

// "CLSID\{...}" and the handler entries, relative to a classes root.
std::wstring HandlerClassKey();
std::wstring DropHandlerClassKey();
inline constexpr const wchar_t* kHandlerEntryKeys[] = {
    L"*\\shellex\\ContextMenuHandlers\\TolvaneExtractor",
    L"Directory\\shellex\\ContextMenuHandlers\\TolvaneExtractor",
};
inline constexpr const wchar_t* kDropHandlerEntryKeys[] = {
    L"Directory\\shellex\\DragDropHandlers\\TolvaneExtractor",
    L"Drive\\shellex\\DragDropHandlers\\TolvaneExtractor",
    L"Folder\\shellex\\DragDropHandlers\\TolvaneExtractor",
};

// True when the handler DLL is there to be registered.
bool HandlerDllPresent(const std::wstring& dllPath);

// The name of the other bitness's DLL ("tolvane_shell32.dll" in a 64-bit process), and whether
// this system has that other registry view (a 64-bit system).
const wchar_t* OtherViewHandlerFileName();
bool SystemHasOtherView();

// Writes both classes (InprocServer32 = `dllPath`, ThreadingModel Apartment) and their entries into
// the scope's classes (the machine's "Software\Classes" or the user's), in the registry view of
// this process's bitness; on a 64-bit system, when the other bitness's DLL lies beside `dllPath`,
// the classes also in the other view, naming that DLL (the entries are shared by both views).
// True when anything changed.
bool RegisterMenuHandler(const std::wstring& dllPath, RegistrationScope scope);
// Removes them from both scopes and both views.
void UnregisterMenuHandler();
