#include "shell/archive_types_registration.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwctype>

#include "base/handles.h"
#include "base/program_identity.h"
#include "shell/registry_values.h"

namespace {

std::wstring ProgramPath(HINSTANCE instance) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

// The ProgID's name, icon and open command, and its three verbs: true when anything changed.
bool WriteProgId(const ClassesRoot& classes, const std::wstring& progId, const std::wstring& typeName,
                 const std::wstring& program) {
    const std::wstring key = classes.prefix + progId;
    bool changed = SetDefaultValue(classes.root, key, typeName);
    changed |= SetDefaultValue(classes.root, key + L"\\DefaultIcon", program + L",0");
    changed |= SetDefaultValue(classes.root, key + L"\\shell\\open\\command", L"\"" + program + L"\" \"%1\"");
    return changed;
}

bool WriteVerb(const ClassesRoot& classes, const std::wstring& key, const VerbRow& verb, const std::wstring& program) {
    bool changed = SetDefaultValue(classes.root, classes.prefix + key, verb.text);
    changed |= SetNamedValue(classes.root, classes.prefix + key, L"Icon", program);
    changed |= SetDefaultValue(classes.root, classes.prefix + key + L"\\command",
                               VerbCommand(program, VerbArguments(verb.option)));
    return changed;
}

std::wstring CapabilitiesAssociations(RegistrationScope scope) {
    return scope == RegistrationScope::User
               ? std::wstring(L"Software\\") + kDisplayName + L"\\Capabilities\\FileAssociations"
               : CapabilitiesFileAssociationsKeyPath();
}

}  // namespace

std::wstring OpenWithKeyPath(const wchar_t* extension) { return std::wstring(extension) + L"\\OpenWithProgids"; }

std::wstring ChosenTypeProgId(const wchar_t* extension) {
    return std::wstring(L"Tolvane.") + (*extension == L'.' ? extension + 1 : extension);
}

std::wstring ChosenTypeName(const wchar_t* extension) {
    std::wstring name = *extension == L'.' ? extension + 1 : extension;
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name + L" Archive";
}

void RegisterArchiveTypes(HINSTANCE instance) {
    RegisterArchiveTypes(instance, RegistrationScope::Machine, {L"zip", L"rar", L"7z"});
}

void RegisterArchiveTypes(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types) {
    const std::wstring program = ProgramPath(instance);
    if (program.empty()) return;
    const std::wstring openCommand = L"\"" + program + L"\" \"%1\"";
    const std::wstring icon = program + L",0";
    const std::vector<ClassesRoot> roots = ClassesRootsFor(scope);
    const ClassesRoot& verbRoot = roots.front();
    const DefaultHandlerStep step = CurrentDefaultHandlerStep();

    // .7z: a type of the program's own, as .zip and .rar are, when the user chose it.
    bool changed = false;
    const AssociationRow& row = kSevenZipAssociation;
    if (TypeChosen(types, row.extension)) {
        for (const ClassesRoot& classes : roots) {
            changed |= WriteProgId(classes, row.progId, row.typeName, program);
            changed |= SetDefaultValue(classes.root, classes.prefix + row.extension, row.progId);
        }
        changed |= SetNamedValue(ProgramKeysRoot(scope), CapabilitiesAssociations(scope), row.extension, row.progId);
        changed |= ClaimDefaultHandler(step, row.extension, row.progId, changed);
        for (const VerbRow& verb : kSevenZipVerbRows) changed |= WriteVerb(verbRoot, verb.key, verb, program);
    } else {
        changed |= ReleaseType(row.extension, row.progId);
    }
    changed |= WriteVerb(verbRoot, kChecksumVerbRow.key, kChecksumVerbRow, program);

    // Every other readable type: its own ProgID "Tolvane.<ext>" when the user chose it, else an
    // "Open with" entry that leaves the type's own handler alone.
    for (const ClassesRoot& classes : roots) {
        const std::wstring progId = classes.prefix + kOpenWithProgId;
        changed |= SetDefaultValue(classes.root, progId, L"Archive");
        changed |= SetDefaultValue(classes.root, progId + L"\\DefaultIcon", icon);
        changed |= SetDefaultValue(classes.root, progId + L"\\shell\\open\\command", openCommand);
        for (const wchar_t* extension : kOpenWithExtensions)
            changed |= SetEmptyValue(classes.root, classes.prefix + OpenWithKeyPath(extension), kOpenWithProgId);
    }
    for (const wchar_t* extension : kOpenWithExtensions) {
        const std::wstring progId = ChosenTypeProgId(extension);
        if (!TypeChosen(types, extension)) {
            changed |= ReleaseType(extension, progId);
            continue;
        }
        for (const ClassesRoot& classes : roots) {
            changed |= WriteProgId(classes, progId, ChosenTypeName(extension), program);
            changed |= SetDefaultValue(classes.root, classes.prefix + extension, progId);
        }
        for (size_t i = 0; i < std::size(kSevenZipVerbRows); ++i) {
            const std::wstring key = std::wstring(kSevenZipVerbRows[i].key);
            changed |= WriteVerb(verbRoot, progId + key.substr(key.find(L'\\')), kSevenZipVerbRows[i], program);
        }
        changed |= SetNamedValue(ProgramKeysRoot(scope), CapabilitiesAssociations(scope), extension, progId);
        changed |= ClaimDefaultHandler(step, extension, progId.c_str(), changed);
    }
    // The shell is told only when something changed: its notice makes every window that shows
    // files look at them again.
    if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void UnregisterArchiveTypes() {
    ReleaseType(kSevenZipAssociation.extension, kSevenZipAssociation.progId);
    for (const ClassesRoot& classes : AllClassesRoots()) {
        for (const VerbRow& verb : kSevenZipVerbRows) DeleteKeyTree(classes.root, classes.prefix + verb.key);
        DeleteKeyTree(classes.root, classes.prefix + kChecksumVerbRow.key);
        DeleteKeyTree(classes.root, classes.prefix + kOpenWithProgId);
        for (const wchar_t* extension : kOpenWithExtensions) {
            const std::wstring openWith = classes.prefix + OpenWithKeyPath(extension);
            DeleteNamedValue(classes.root, openWith, kOpenWithProgId);
            DeleteKeyIfEmpty(classes.root, openWith);
            DeleteKeyIfEmpty(classes.root, classes.prefix + extension);
        }
    }
    for (const wchar_t* extension : kOpenWithExtensions) ReleaseType(extension, ChosenTypeProgId(extension));
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
