#include "shell/registration_scope.h"

#include <shlobj.h>

#include "base/handles.h"
#include "base/paths.h"
#include "base/program_identity.h"
#include "shell/integration_choices.h"

namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes\\";
constexpr wchar_t kPerUserOnlyValue[] = L"RegisteredPerUserOnly";

std::wstring IntegrationKeyPath() { return std::wstring(L"Software\\") + kDisplayName + L"\\Integration"; }

bool InstallLocationIs(HKEY root, const std::wstring& programFolder) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, kUninstallKeyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
    wchar_t location[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = sizeof(location) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), L"InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(location), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    return SameFolder(location, programFolder);
}

bool UnderKnownFolder(const KNOWNFOLDERID& id, const std::wstring& programFolder) {
    PWSTR folder = nullptr;
    const bool inside = SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &folder)) && folder &&
                        IsSameOrInside(programFolder, folder);
    CoTaskMemFree(folder);
    return inside;
}

}  // namespace

std::vector<ClassesRoot> ClassesRootsFor(RegistrationScope scope) {
    if (scope == RegistrationScope::User) return {{HKEY_CURRENT_USER, kUserClasses}};
    return {{HKEY_CLASSES_ROOT, L""}, {HKEY_CURRENT_USER, kUserClasses}};
}

std::vector<ClassesRoot> AllClassesRoots() {
    // The user's copy first: through HKEY_CLASSES_ROOT the machine-wide key is reached only once
    // the user's is gone.
    return {{HKEY_CURRENT_USER, kUserClasses}, {HKEY_LOCAL_MACHINE, kUserClasses}, {HKEY_CLASSES_ROOT, L""}};
}

HKEY ProgramKeysRoot(RegistrationScope scope) {
    return scope == RegistrationScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

InstallationKind InstallationKindOf(const std::wstring& programFolder) {
    if (programFolder.empty()) return InstallationKind::Unknown;
    if (GetFileAttributesW(JoinPath(programFolder, kPortableMarkerName).c_str()) != INVALID_FILE_ATTRIBUTES)
        return InstallationKind::Portable;
    if (InstallLocationIs(HKEY_CURRENT_USER, programFolder)) return InstallationKind::PerUser;
    if (InstallLocationIs(HKEY_LOCAL_MACHINE, programFolder)) return InstallationKind::AllUsers;
    if (UnderKnownFolder(FOLDERID_ProgramFiles, programFolder) ||
        UnderKnownFolder(FOLDERID_ProgramFilesX86, programFolder))
        return InstallationKind::AllUsers;
    return InstallationKind::Unknown;
}

RegistrationScope ScopeFor(InstallationKind kind) {
    return kind == InstallationKind::AllUsers || kind == InstallationKind::Unknown ? RegistrationScope::Machine
                                                                                  : RegistrationScope::User;
}

bool CanWriteMachineClasses() {
    UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE,
                         key.put()) == ERROR_SUCCESS;
}

namespace {

bool StoredPerUserOnly() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, IntegrationKeyPath().c_str(), kPerUserOnlyValue, RRF_RT_REG_DWORD, nullptr,
                        &value, &size) == ERROR_SUCCESS &&
           value != 0;
}

}  // namespace

void RecordRegisteredPerUserOnly(bool perUserOnly) {
    if (StoredPerUserOnly() == perUserOnly) return;  // every start: no write of what is there
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, IntegrationKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    const DWORD value = perUserOnly ? 1 : 0;
    RegSetValueExW(key.get(), kPerUserOnlyValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

bool MustTellRegisteredPerUserOnly() { return StoredPerUserOnly() && !LoadIntegrationChoices().toldPerUserOnly; }

void RememberToldPerUserOnly() {
    IntegrationChoices choices = LoadIntegrationChoices();
    choices.toldPerUserOnly = true;
    SaveIntegrationChoices(choices);
}

std::wstring RegisteredPerUserOnlyMessage() {
    return std::wstring(kDisplayName) +
           L" could not write the file types and context menu for all users of this computer (that needs "
           L"administrator rights). They were registered for your user account only.";
}
