#include "shell/handler_registration.h"

#include "base/handles.h"
#include "base/paths.h"
#include "shell/registry_values.h"

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

#if defined(_WIN64)
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif

bool WriteClass(HKEY root, const std::wstring& classKey, const wchar_t* name, const std::wstring& dllPath) {
    bool changed = SetDefaultValue(root, classKey, name);
    changed |= SetDefaultValue(root, classKey + L"\\InprocServer32", dllPath);
    changed |= SetNamedValue(root, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return changed;
}

// A string value of a key in the given registry view (the key made when missing). The view is
// named in every call: a 32-bit process's opens below a key of the 64-bit view would go back to
// its own view. True when it changed.
bool SetViewValue(HKEY root, REGSAM view, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    UniqueRegKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE | view,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    std::wstring stored(text.size() + 2, L'\0');
    DWORD size = static_cast<DWORD>(stored.size() * sizeof(wchar_t));
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(stored.data()), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ && size == bytes && stored.compare(0, text.size(), text) == 0)
        return false;
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool WriteViewClass(HKEY root, REGSAM view, const std::wstring& classKey, const wchar_t* name,
                    const std::wstring& dllPath) {
    bool changed = SetViewValue(root, view, classKey, nullptr, name);
    changed |= SetViewValue(root, view, classKey + L"\\InprocServer32", nullptr, dllPath);
    changed |= SetViewValue(root, view, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return changed;
}

// The class key and its one sub-key, in the given view.
void DeleteViewClass(HKEY root, REGSAM view, const std::wstring& classKey) {
    RegDeleteKeyExW(root, (classKey + L"\\InprocServer32").c_str(), view, 0);
    RegDeleteKeyExW(root, classKey.c_str(), view, 0);
}

}  // namespace

const wchar_t* OtherViewHandlerFileName() {
#if defined(_WIN64)
    return kHandler32FileName;
#else
    return kHandler64FileName;
#endif
}

bool SystemHasOtherView() {
#if defined(_WIN64)
    return true;
#else
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::wstring HandlerClassKey() { return std::wstring(L"CLSID\\") + kHandlerClassText; }
std::wstring DropHandlerClassKey() { return std::wstring(L"CLSID\\") + kDropHandlerClassText; }

bool HandlerDllPresent(const std::wstring& dllPath) {
    return !dllPath.empty() && GetFileAttributesW(dllPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RegisterMenuHandler(const std::wstring& dllPath, RegistrationScope scope) {
    if (!HandlerDllPresent(dllPath)) return false;
    const HKEY root = ProgramKeysRoot(scope);
    bool changed = WriteClass(root, kClasses + HandlerClassKey(), kHandlerName, dllPath);
    changed |= WriteClass(root, kClasses + DropHandlerClassKey(), kDropHandlerName, dllPath);
    for (const wchar_t* entry : kHandlerEntryKeys) changed |= SetDefaultValue(root, kClasses + std::wstring(entry), kHandlerClassText);
    for (const wchar_t* entry : kDropHandlerEntryKeys)
        changed |= SetDefaultValue(root, kClasses + std::wstring(entry), kDropHandlerClassText);
    // A 32-bit system has one view: the other DLL must not take this one's place there.
    const std::wstring other = JoinPath(FolderOf(dllPath), OtherViewHandlerFileName());
    if (SystemHasOtherView() && HandlerDllPresent(other)) {
        changed |= WriteViewClass(root, kOtherView, kClasses + HandlerClassKey(), kHandlerName, other);
        changed |= WriteViewClass(root, kOtherView, kClasses + DropHandlerClassKey(), kDropHandlerName, other);
    }
    return changed;
}

void UnregisterMenuHandler() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const wchar_t* entry : kHandlerEntryKeys) DeleteKeyTree(root, kClasses + std::wstring(entry));
        for (const wchar_t* entry : kDropHandlerEntryKeys) DeleteKeyTree(root, kClasses + std::wstring(entry));
        DeleteKeyTree(root, kClasses + HandlerClassKey());
        DeleteKeyTree(root, kClasses + DropHandlerClassKey());
        for (REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
            DeleteViewClass(root, view, kClasses + HandlerClassKey());
            DeleteViewClass(root, view, kClasses + DropHandlerClassKey());
        }
    }
}
