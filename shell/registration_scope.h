#pragma once
// Where the program's registration goes. An all-users installation writes the machine-wide
// classes (and the per-user copies the system has always had); a per-user installation writes
// everything under HKEY_CURRENT_USER\Software\Classes and nothing under HKEY_LOCAL_MACHINE; a copy
// run from the portable zip registers nothing until the user asks.
//
// How the program knows what it is: the installer writes the uninstall entry's "InstallLocation"
// under HKEY_LOCAL_MACHINE for all users and under HKEY_CURRENT_USER for one user, and the
// portable zip carries "portable.txt" beside the program. A copy that none of them names (a
// build, a folder copied by hand) is taken as an all-users copy when it lies under Program Files
// and is registered as before otherwise: machine-wide where the process may write, per user where
// it may not.
#include <windows.h>

#include <string>
#include <vector>

enum class RegistrationScope { Machine, User };
enum class InstallationKind { Portable, PerUser, AllUsers, Unknown };

// The file that marks a portable copy, beside the program.
inline constexpr wchar_t kPortableMarkerName[] = L"portable.txt";
inline constexpr wchar_t kUninstallKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane Extractor";

struct ClassesRoot {
    HKEY root;
    std::wstring prefix;  // "" below HKEY_CLASSES_ROOT, "Software\Classes\" below the others
};

// Where the classes of a scope are written: through HKEY_CLASSES_ROOT and into the user's copy
// for Machine, into the user's classes alone for User.
std::vector<ClassesRoot> ClassesRootsFor(RegistrationScope scope);
// Both, for removal: whatever either scope wrote.
std::vector<ClassesRoot> AllClassesRoots();
// The hive of the program's own keys (capabilities, handler class): HKLM for Machine, HKCU for User.
HKEY ProgramKeysRoot(RegistrationScope scope);

InstallationKind InstallationKindOf(const std::wstring& programFolder);
// The scope for an installation kind; Portable and PerUser register per user.
RegistrationScope ScopeFor(InstallationKind kind);
// True when this process may write the machine-wide classes.
bool CanWriteMachineClasses();

// A machine-wide registration that had to be written per user is told to the user once: the
// registration records it, the program asks MustTellRegisteredPerUserOnly and, once it told,
// calls RememberToldPerUserOnly.
void RecordRegisteredPerUserOnly(bool perUserOnly);
bool MustTellRegisteredPerUserOnly();
void RememberToldPerUserOnly();
// The text the program shows when MustTellRegisteredPerUserOnly.
std::wstring RegisteredPerUserOnlyMessage();
