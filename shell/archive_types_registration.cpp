#include "shell/archive_types_registration.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "base/handles.h"
#include "shell/registry_values.h"

namespace {

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

void RegisterArchiveTypes(HINSTANCE instance) {
    const std::wstring program = ProgramPath(instance);
    if (program.empty()) return;
    const std::wstring openCommand = L"\"" + program + L"\" \"%1\"";
    const std::wstring icon = program + L",0";
    const AssociationRow& row = kSevenZipAssociation;

    // .7z: a type of the program's own, as .zip and .rar are.
    bool changed = false;
    for (const Roots& classes : kClassRoots) {
        const std::wstring progId = classes.prefix + row.progId;
        changed |= SetDefaultValue(classes.root, progId, row.typeName);
        changed |= SetDefaultValue(classes.root, progId + L"\\DefaultIcon", icon);
        changed |= SetDefaultValue(classes.root, progId + L"\\shell\\open\\command", openCommand);
        changed |= SetDefaultValue(classes.root, classes.prefix + row.extension, row.progId);
    }
    changed |= SetNamedValue(HKEY_LOCAL_MACHINE, CapabilitiesFileAssociationsKeyPath(), row.extension, row.progId);
    // The default handler is claimed as for .zip and .rar.
    changed |= ClaimDefaultHandler(CurrentDefaultHandlerStep(), row.extension, row.progId, changed);
    for (const VerbRow& verb : {kSevenZipVerbRows[0], kSevenZipVerbRows[1], kSevenZipVerbRows[2], kChecksumVerbRow}) {
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, verb.key, verb.text);
        changed |= SetNamedValue(HKEY_CLASSES_ROOT, verb.key, L"Icon", program);
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, std::wstring(verb.key) + L"\\command",
                                   VerbCommand(program, VerbArguments(verb.option)));
    }

    // The other types: listed under "Open with", their default handler untouched.
    for (const Roots& classes : kClassRoots) {
        const std::wstring progId = classes.prefix + kOpenWithProgId;
        changed |= SetDefaultValue(classes.root, progId, L"Archive");
        changed |= SetDefaultValue(classes.root, progId + L"\\DefaultIcon", icon);
        changed |= SetDefaultValue(classes.root, progId + L"\\shell\\open\\command", openCommand);
        for (const wchar_t* extension : kOpenWithExtensions)
            changed |= SetEmptyValue(classes.root, classes.prefix + OpenWithKeyPath(extension), kOpenWithProgId);
    }
    // The shell is told only when something changed: its notice makes every window that shows
    // files look at them again.
    if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void UnregisterArchiveTypes() {
    const AssociationRow& row = kSevenZipAssociation;
    for (const VerbRow& verb : kSevenZipVerbRows) SHDeleteKeyW(HKEY_CLASSES_ROOT, verb.key);
    SHDeleteKeyW(HKEY_CLASSES_ROOT, kChecksumVerbRow.key);
    for (const Roots& classes : kClassRoots) {
        SHDeleteKeyW(classes.root, (classes.prefix + row.progId).c_str());
        RemoveExtensionClaim(classes.root, classes.prefix + row.extension, row.progId);
        SHDeleteKeyW(classes.root, (classes.prefix + kOpenWithProgId).c_str());
        for (const wchar_t* extension : kOpenWithExtensions) {
            const std::wstring openWith = classes.prefix + OpenWithKeyPath(extension);
            DeleteNamedValue(classes.root, openWith, kOpenWithProgId);
            DeleteKeyIfEmpty(classes.root, openWith);
            DeleteKeyIfEmpty(classes.root, classes.prefix + extension);
        }
    }
    DeleteNamedValue(HKEY_LOCAL_MACHINE, CapabilitiesFileAssociationsKeyPath(), row.extension);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
