#include "shell/more_registration.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "base/handles.h"

namespace {

void SetDefaultValue(HKEY root, const std::wstring& keyPath, const std::wstring& text) {
    RegSetValueW(root, keyPath.c_str(), REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

void SetValue(HKEY root, const std::wstring& keyPath, const wchar_t* name, DWORD type, const std::wstring& text) {
    UniqueRegKey key;
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    const DWORD bytes = type == REG_NONE ? 0 : static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

void DeleteValue(HKEY root, const std::wstring& keyPath, const wchar_t* name) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name);
}

// Removes a key that the program made only when nothing else lives in it.
void DeleteKeyIfEmpty(HKEY root, const std::wstring& keyPath) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    DWORD subKeys = 0, values = 0;
    const bool read = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                       nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    key.reset();
    if (read && subKeys == 0 && values == 0) RegDeleteKeyW(root, keyPath.c_str());
}

// Only the program's own claim on an extension key goes: its default value when it names the
// ProgID, then the key when nothing else is left.
void RemoveClaim(HKEY root, const std::wstring& keyPath, const wchar_t* progId) {
    {
        UniqueRegKey key;
        if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
        wchar_t value[MAX_PATH] = {};
        DWORD type = 0, size = sizeof(value) - sizeof(wchar_t);
        if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ && lstrcmpiW(value, progId) == 0)
            RegDeleteValueW(key.get(), nullptr);
    }
    DeleteKeyIfEmpty(root, keyPath);
}

struct Roots {
    HKEY root;
    std::wstring prefix;
};

// The machine-wide classes (written when the process may) and the user's own copy.
const Roots kClassRoots[] = {{HKEY_CLASSES_ROOT, L""}, {HKEY_CURRENT_USER, kUserClassesPrefix}};

std::wstring ProgramPath(HINSTANCE instance) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

}  // namespace

std::wstring OpenWithKeyPath(const wchar_t* extension) { return std::wstring(extension) + L"\\OpenWithProgids"; }

void RegisterMoreAssociations(HINSTANCE instance) {
    const std::wstring program = ProgramPath(instance);
    if (program.empty()) return;
    const std::wstring openCommand = L"\"" + program + L"\" \"%1\"";
    const std::wstring icon = program + L",0";
    const AssociationRow& row = kSevenZipAssociation;

    // .7z: a type of the program's own, as .zip and .rar are.
    for (const Roots& classes : kClassRoots) {
        const std::wstring progId = classes.prefix + row.progId;
        SetDefaultValue(classes.root, progId, row.typeName);
        SetDefaultValue(classes.root, progId + L"\\DefaultIcon", icon);
        SetDefaultValue(classes.root, progId + L"\\shell\\open\\command", openCommand);
        SetDefaultValue(classes.root, classes.prefix + row.extension, row.progId);
    }
    SetValue(HKEY_LOCAL_MACHINE, CapabilitiesFileAssociationsKeyPath(), row.extension, REG_SZ, row.progId);
    // The default handler is claimed as for .zip and .rar.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    const unsigned majorVersion = LOBYTE(LOWORD(GetVersion()));
    switch (DefaultHandlerStepFor(majorVersion, majorVersion >= 6 && IsProcessElevated())) {
        case DefaultHandlerStep::UserChoice:
            SetValue(HKEY_CURRENT_USER, UserChoiceKeyPath(row.extension), L"Progid", REG_SZ, row.progId);
            break;
        case DefaultHandlerStep::SystemDefault:
            SetDefaultForExtension(row.extension);
            break;
        case DefaultHandlerStep::None:
            break;
    }
    for (const VerbRow& verb : {kSevenZipVerbRows[0], kSevenZipVerbRows[1], kSevenZipVerbRows[2], kChecksumVerbRow}) {
        SetDefaultValue(HKEY_CLASSES_ROOT, verb.key, verb.text);
        SetValue(HKEY_CLASSES_ROOT, verb.key, L"Icon", REG_SZ, program);
        SetDefaultValue(HKEY_CLASSES_ROOT, std::wstring(verb.key) + L"\\command",
                        VerbCommand(program, VerbArguments(verb.option)));
    }

    // The other types: listed under "Open with", their default handler untouched.
    for (const Roots& classes : kClassRoots) {
        const std::wstring progId = classes.prefix + kOpenWithProgId;
        SetDefaultValue(classes.root, progId, L"Archive");
        SetDefaultValue(classes.root, progId + L"\\DefaultIcon", icon);
        SetDefaultValue(classes.root, progId + L"\\shell\\open\\command", openCommand);
        for (const wchar_t* extension : kOpenWithExtensions)
            SetValue(classes.root, classes.prefix + OpenWithKeyPath(extension), kOpenWithProgId, REG_NONE, L"");
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void UnregisterMoreAssociations() {
    const AssociationRow& row = kSevenZipAssociation;
    for (const VerbRow& verb : kSevenZipVerbRows) SHDeleteKeyW(HKEY_CLASSES_ROOT, verb.key);
    SHDeleteKeyW(HKEY_CLASSES_ROOT, kChecksumVerbRow.key);
    for (const Roots& classes : kClassRoots) {
        SHDeleteKeyW(classes.root, (classes.prefix + row.progId).c_str());
        RemoveClaim(classes.root, classes.prefix + row.extension, row.progId);
        SHDeleteKeyW(classes.root, (classes.prefix + kOpenWithProgId).c_str());
        for (const wchar_t* extension : kOpenWithExtensions) {
            const std::wstring openWith = classes.prefix + OpenWithKeyPath(extension);
            DeleteValue(classes.root, openWith, kOpenWithProgId);
            DeleteKeyIfEmpty(classes.root, openWith);
            DeleteKeyIfEmpty(classes.root, classes.prefix + extension);
        }
    }
    DeleteValue(HKEY_LOCAL_MACHINE, CapabilitiesFileAssociationsKeyPath(), row.extension);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
