#include "shell/handler_registration.h"

#include "shell/registry_values.h"

namespace {

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

}  // namespace

std::wstring HandlerClassKey() { return std::wstring(L"CLSID\\") + kHandlerClassText; }

bool RegisterMenuHandler(const std::wstring& dllPath, RegistrationScope scope) {
    if (dllPath.empty() || GetFileAttributesW(dllPath.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    const HKEY root = ProgramKeysRoot(scope);
    const std::wstring classKey = kClasses + HandlerClassKey();
    bool changed = SetDefaultValue(root, classKey, kHandlerName);
    changed |= SetDefaultValue(root, classKey + L"\\InprocServer32", dllPath);
    changed |= SetNamedValue(root, classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    for (const wchar_t* entry : kHandlerEntryKeys) changed |= SetDefaultValue(root, kClasses + std::wstring(entry), kHandlerClassText);
    return changed;
}

void UnregisterMenuHandler() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const wchar_t* entry : kHandlerEntryKeys) DeleteKeyTree(root, kClasses + std::wstring(entry));
        DeleteKeyTree(root, kClasses + HandlerClassKey());
    }
}
