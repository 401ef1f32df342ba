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

void RegisterCapabilities() {
    SetNamedValue(HKEY_LOCAL_MACHINE, CapabilitiesKeyPath(), L"ApplicationName", kDisplayName);
    for (const AssociationRow& row : kAssociationRows)
        SetNamedValue(HKEY_LOCAL_MACHINE, CapabilitiesFileAssociationsKeyPath(), row.extension, row.progId);
    SetNamedValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kDisplayName, CapabilitiesKeyPath());
}


void UnregisterCapabilities() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, VendorKeyPath());
    DeleteNamedValue(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kDisplayName);
}

void RegisterAssociations(HINSTANCE instance) {
    RegisterCapabilities();
    const std::optional<ProgramPaths> paths = ReadProgramPaths(instance);
    if (!paths) return;
    const std::wstring openCommand = OpenCommand(paths->shortPath);
    const std::wstring iconLocation = IconLocation(paths->shortPath);
    const std::wstring userClasses = kUserClassesPrefix;
    const DefaultHandlerStep step = CurrentDefaultHandlerStep();

    bool changed = false;
    for (const AssociationRow& row : kAssociationRows) {
        const std::wstring progId = row.progId;
        const std::wstring iconKey = progId + L"\\DefaultIcon";
        const std::wstring commandKey = progId + L"\\shell\\open\\command";
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, progId, row.typeName);
        changed |= SetDefaultValue(HKEY_CURRENT_USER, userClasses + progId, row.typeName);
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, iconKey, iconLocation);
        changed |= SetDefaultValue(HKEY_CURRENT_USER, userClasses + iconKey, iconLocation);
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, commandKey, openCommand);
        changed |= SetDefaultValue(HKEY_CURRENT_USER, userClasses + commandKey, openCommand);
        changed |= SetDefaultValue(HKEY_CLASSES_ROOT, row.extension, progId);
        changed |= SetDefaultValue(HKEY_CURRENT_USER, userClasses + row.extension, progId);
        changed |= ClaimDefaultHandler(step, row.extension, row.progId, changed);
    }
    // The shell is told once, and only when something changed: telling it costs more than the
    // rest of the registration together.
    if (changed && step == DefaultHandlerStep::SystemDefault) NotifyAssociationsChanged();
}

namespace {

void WriteVerb(const VerbRow& row, const ProgramPaths& paths) {
    const std::wstring key = row.key;
    // The same text is not written again at every start.
    SetDefaultValue(HKEY_CLASSES_ROOT, key, row.text);
    SetNamedValue(HKEY_CLASSES_ROOT, key, L"Icon", paths.longPath);
    SetDefaultValue(HKEY_CLASSES_ROOT, key + L"\\command", VerbCommand(paths.longPath, VerbArguments(row.option)));
}

void RegisterExtractToFolderVerbs(const ProgramPaths& paths) {
    for (const VerbRow& row : kExtractToFolderVerbRows) WriteVerb(row, paths);
}

void UnregisterExtractToFolderVerbs() {
    for (const VerbRow& row : kExtractToFolderVerbRows) DeleteKeyTree(HKEY_CLASSES_ROOT, row.key);
}

}  // namespace

void RegisterVerbs(HINSTANCE instance) {
    const std::optional<ProgramPaths> paths = ReadProgramPaths(instance);
    if (!paths) return;
    for (const VerbRow& row : kVerbRows) WriteVerb(row, *paths);
    RegisterExtractToFolderVerbs(*paths);
}

void UnregisterAssociations() {
    const std::wstring userClasses = kUserClassesPrefix;
    for (const AssociationRow& row : kAssociationRows) {
        DeleteKeyTree(HKEY_CLASSES_ROOT, row.progId);
        DeleteKeyTree(HKEY_CURRENT_USER, userClasses + row.progId);
        RemoveExtensionClaim(HKEY_CLASSES_ROOT, row.extension, row.progId);
        RemoveExtensionClaim(HKEY_CURRENT_USER, userClasses + row.extension, row.progId);
    }
    UnregisterCapabilities();
    NotifyAssociationsChanged();
}

void UnregisterVerbs() {
    for (const VerbRow& row : kVerbRows) DeleteKeyTree(HKEY_CLASSES_ROOT, row.key);
    UnregisterExtractToFolderVerbs();
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
