#include "shell/shell_registration.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <optional>

#include "base/handles.h"
#include "base/program_identity.h"
#include "shell/registry_values.h"

namespace {

// The application-association object and its interface.
constexpr CLSID kApplicationAssociationRegistrationClass = {
    0x591209c7, 0x767b, 0x42b2, {0x9f, 0xba, 0x44, 0xee, 0x46, 0x15, 0xf2, 0xc7}};
constexpr IID kApplicationAssociationRegistrationInterface = {
    0x4e530b0a, 0xe611, 0x4c77, {0xa3, 0xac, 0x90, 0x31, 0xd0, 0x22, 0x28, 0x1b}};

void NotifyAssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

struct ProgramPaths {
    std::wstring longPath;
    std::wstring shortPath;  // 8.3 form; the quoted long path when the system has no short form
};

// The program file's paths, or nothing when its full path does not fit 260 units: a cut
// path would register commands that start nothing.
std::optional<ProgramPaths> ReadProgramPaths(HINSTANCE instance) {
    wchar_t longPath[MAX_PATH] = {};
    const DWORD longLength = GetModuleFileNameW(instance, longPath, MAX_PATH);
    if (longLength == 0 || longLength >= MAX_PATH) return std::nullopt;
    ProgramPaths paths;
    paths.longPath.assign(longPath, longLength);
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD shortLength = GetShortPathNameW(longPath, shortPath, MAX_PATH);
    if (shortLength > 0 && shortLength < MAX_PATH)
        paths.shortPath.assign(shortPath, shortLength);
    else if (paths.longPath.find(L' ') != std::wstring::npos)
        paths.shortPath = L"\"" + paths.longPath + L"\"";
    else
        paths.shortPath = paths.longPath;
    return paths;
}

unsigned MajorWindowsVersion() {
    // GetVersion is deprecated but is what tells the version this process is shown.
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    return LOBYTE(LOWORD(GetVersion()));
}

}  // namespace

std::wstring VerbArguments(const wchar_t* option) { return std::wstring(L" ") + option + L" \"%1\""; }

std::wstring VerbCommand(const std::wstring& longPath, const std::wstring& arguments) {
    return L"\"" + longPath + L"\" " + arguments;
}

std::wstring OpenCommand(const std::wstring& shortPath) { return shortPath + L" %1"; }

std::wstring IconLocation(const std::wstring& shortPath) { return shortPath + L",0"; }

std::wstring UserChoiceKeyPath(const wchar_t* extension) {
    return std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") + extension +
           L"\\UserChoice";
}

std::wstring VendorKeyPath() { return std::wstring(L"SOFTWARE\\") + kDisplayName; }
std::wstring CapabilitiesKeyPath() { return VendorKeyPath() + L"\\Capabilities"; }
std::wstring CapabilitiesFileAssociationsKeyPath() { return CapabilitiesKeyPath() + L"\\FileAssociations"; }

DefaultHandlerStep DefaultHandlerStepFor(unsigned majorVersion, bool elevated) {
    if (majorVersion < 6) return DefaultHandlerStep::UserChoice;
    return elevated ? DefaultHandlerStep::SystemDefault : DefaultHandlerStep::None;
}

namespace {

// True when the system already opens the extension with this program.
bool IsDefaultForExtension(const wchar_t* extension, const wchar_t* progId) {
    ComPtr<IApplicationAssociationRegistration> registration;
    if (FAILED(CoCreateInstance(kApplicationAssociationRegistrationClass, nullptr, CLSCTX_INPROC_SERVER,
                                kApplicationAssociationRegistrationInterface, registration.putVoid())))
        return false;
    LPWSTR current = nullptr;
    if (FAILED(registration->QueryCurrentDefault(extension, AT_FILEEXTENSION, AL_EFFECTIVE, &current))) return false;
    const bool ours = current && lstrcmpiW(current, progId) == 0;
    CoTaskMemFree(current);
    return ours;
}

}  // namespace

DefaultHandlerStep CurrentDefaultHandlerStep() {
    const unsigned majorVersion = MajorWindowsVersion();
    return DefaultHandlerStepFor(majorVersion, majorVersion >= 6 && IsProcessElevated());
}

bool ClaimDefaultHandler(DefaultHandlerStep step, const wchar_t* extension, const wchar_t* progId,
                         bool classKeysChanged) {
    switch (step) {
        case DefaultHandlerStep::UserChoice:
            return SetNamedValue(HKEY_CURRENT_USER, UserChoiceKeyPath(extension), L"Progid", progId);
        case DefaultHandlerStep::SystemDefault:
            if (!classKeysChanged && IsDefaultForExtension(extension, progId)) return false;
            SetDefaultForExtension(extension);
            return true;
        case DefaultHandlerStep::None:
            break;
    }
    return false;
}

namespace {

std::wstring CapabilitiesValueKey(RegistrationScope scope) {
    // Per user, the program's own key holds the settings too: the capabilities are a sub-key.
    return scope == RegistrationScope::User ? std::wstring(L"Software\\") + kDisplayName + L"\\Capabilities"
                                            : CapabilitiesKeyPath();
}

bool OnlyZipAndRar(const VerbRow& row, const std::vector<std::wstring>& types) {
    for (const AssociationRow& association : kAssociationRows) {
        const std::wstring prefix = std::wstring(association.progId) + L"\\";
        if (std::wstring(row.key).compare(0, prefix.size(), prefix) == 0) return TypeChosen(types, association.extension);
    }
    return true;
}

const std::vector<std::wstring>& BothRows() {
    static const std::vector<std::wstring> types{L"zip", L"rar"};
    return types;
}

}  // namespace

bool TypeChosen(const std::vector<std::wstring>& types, const wchar_t* extension) {
    if (*extension == L'.') ++extension;
    for (const std::wstring& type : types)
        if (lstrcmpiW(type.c_str(), extension) == 0) return true;
    return false;
}

bool ReleaseType(const wchar_t* extension, const std::wstring& progId) {
    bool present = false;
    for (const ClassesRoot& classes : AllClassesRoots()) {
        present |= RegistryKeyPresent(classes.root, classes.prefix + progId);
        DeleteKeyTree(classes.root, classes.prefix + progId);
        RemoveExtensionClaim(classes.root, classes.prefix + extension, progId.c_str());
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (RegistrationScope scope : {RegistrationScope::Machine, RegistrationScope::User})
            if (ProgramKeysRoot(scope) == root)
                DeleteNamedValue(root, CapabilitiesValueKey(scope) + L"\\FileAssociations", extension);
    return present;
}

void RegisterCapabilities(RegistrationScope scope) {
    const HKEY root = ProgramKeysRoot(scope);
    const std::wstring capabilities = CapabilitiesValueKey(scope);
    SetNamedValue(root, capabilities, L"ApplicationName", kDisplayName);
    for (const AssociationRow& row : kAssociationRows)
        SetNamedValue(root, capabilities + L"\\FileAssociations", row.extension, row.progId);
    SetNamedValue(root, kRegisteredApplicationsKey, kDisplayName, capabilities);
}

void UnregisterCapabilities() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, VendorKeyPath());
    DeleteNamedValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kDisplayName);
    // The user's key holds the settings: only the capabilities go.
    DeleteKeyTree(HKEY_CURRENT_USER, CapabilitiesValueKey(RegistrationScope::User));
    DeleteNamedValue(HKEY_CURRENT_USER, kRegisteredApplicationsKey, kDisplayName);
}

void RegisterAssociations(HINSTANCE instance) { RegisterAssociations(instance, RegistrationScope::Machine, BothRows()); }

void RegisterAssociations(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types) {
    RegisterCapabilities(scope);
    const std::optional<ProgramPaths> paths = ReadProgramPaths(instance);
    if (!paths) return;
    const std::wstring openCommand = OpenCommand(paths->shortPath);
    const std::wstring iconLocation = IconLocation(paths->shortPath);
    const DefaultHandlerStep step = CurrentDefaultHandlerStep();

    bool changed = false;
    for (const AssociationRow& row : kAssociationRows) {
        if (!TypeChosen(types, row.extension)) {
            changed |= ReleaseType(row.extension, row.progId);
            continue;
        }
        const std::wstring progId = row.progId;
        for (const ClassesRoot& classes : ClassesRootsFor(scope)) {
            const std::wstring key = classes.prefix + progId;
            changed |= SetDefaultValue(classes.root, key, row.typeName);
            changed |= SetDefaultValue(classes.root, key + L"\\DefaultIcon", iconLocation);
            changed |= SetDefaultValue(classes.root, key + L"\\shell\\open\\command", openCommand);
            changed |= SetDefaultValue(classes.root, classes.prefix + row.extension, progId);
        }
        changed |= ClaimDefaultHandler(step, row.extension, row.progId, changed);
    }
    // The shell is told once, and only when something changed: telling it costs more than the
    // rest of the registration together.
    if (changed && step == DefaultHandlerStep::SystemDefault) NotifyAssociationsChanged();
}

namespace {

void WriteVerb(const ClassesRoot& classes, const VerbRow& row, const ProgramPaths& paths) {
    const std::wstring key = classes.prefix + row.key;
    // The same text is not written again at every start.
    SetDefaultValue(classes.root, key, row.text);
    SetNamedValue(classes.root, key, L"Icon", paths.longPath);
    SetDefaultValue(classes.root, key + L"\\command", VerbCommand(paths.longPath, VerbArguments(row.option)));
}

// The verbs go where the scope's classes go; machine-wide through HKEY_CLASSES_ROOT alone.
ClassesRoot VerbRoot(RegistrationScope scope) { return ClassesRootsFor(scope).front(); }

}  // namespace

void RegisterVerbs(HINSTANCE instance) { RegisterVerbs(instance, RegistrationScope::Machine, BothRows()); }

void RegisterVerbs(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types,
                   bool extractToFolderVerb) {
    const std::optional<ProgramPaths> paths = ReadProgramPaths(instance);
    if (!paths) return;
    for (const VerbRow& row : kVerbRows)
        if (OnlyZipAndRar(row, types)) WriteVerb(VerbRoot(scope), row, *paths);
    for (const VerbRow& row : kExtractToFolderVerbRows) {
        if (!extractToFolderVerb) {
            // The handler's Extract to "<name>\\" replaces it, also where an earlier start wrote it.
            for (const ClassesRoot& classes : AllClassesRoots()) DeleteKeyTree(classes.root, classes.prefix + row.key);
        } else if (OnlyZipAndRar(row, types)) {
            WriteVerb(VerbRoot(scope), row, *paths);
        }
    }
}

void UnregisterAssociations() {
    for (const AssociationRow& row : kAssociationRows) ReleaseType(row.extension, row.progId);
    UnregisterCapabilities();
    NotifyAssociationsChanged();
}

void UnregisterVerbs() {
    for (const ClassesRoot& classes : AllClassesRoots()) {
        for (const VerbRow& row : kVerbRows) DeleteKeyTree(classes.root, classes.prefix + row.key);
        for (const VerbRow& row : kExtractToFolderVerbRows) DeleteKeyTree(classes.root, classes.prefix + row.key);
    }
    NotifyAssociationsChanged();
}

bool IsProcessElevated() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) return false;
    return elevation.TokenIsElevated != 0;
}

bool SetDefaultForExtension(const wchar_t* extension) {
    ComPtr<IApplicationAssociationRegistration> registration;
    if (FAILED(CoCreateInstance(kApplicationAssociationRegistrationClass, nullptr, CLSCTX_INPROC_SERVER,
                                kApplicationAssociationRegistrationInterface, registration.putVoid())))
        return false;
    return SUCCEEDED(registration->SetAppAsDefault(kDisplayName, extension, AT_FILEEXTENSION));
}
