#pragma once
// Makes the shell open ".zip" and ".rar" files with the program, offers its three
// context-menu verbs, and lists it among the system's default programs. Every start refreshes
// the whole layout for the types the user chose; "/UnRegister" removes it. Machine-wide only for
// an all-users copy (shell/registration_scope.h); per user, everything goes under
// HKEY_CURRENT_USER. Write and delete failures are silent.
#include <windows.h>

#include <string>
#include <vector>

#include "shell/registration_scope.h"

struct AssociationRow {
    const wchar_t* extension;
    const wchar_t* progId;
    const wchar_t* typeName;
};

inline constexpr AssociationRow kAssociationRows[] = {
    {L".zip", L"Tolvane.zip", L"ZIP Archive"},
    {L".rar", L"Tolvane.rar", L"RAR Archive"},
};

struct VerbRow {
    const wchar_t* key;  // below HKEY_CLASSES_ROOT
    const wchar_t* text;
    const wchar_t* option;
};

inline constexpr VerbRow kVerbRows[] = {
    {L"*\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Folder\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.zip\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.zip\\shell\\Tolvane1", L"Extract Here", L"/e"},
    {L"Tolvane.zip\\shell\\Tolvane2", L"Extract files...", L"/x"},
    {L"Tolvane.rar\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.rar\\shell\\Tolvane1", L"Extract Here", L"/e"},
    {L"Tolvane.rar\\shell\\Tolvane2", L"Extract files...", L"/x"},
};

// Beside those: "Extract to Folder" (option /f) extracts an archive into a folder named after it,
// next to it. A static verb cannot show the archive's own name, so it is written only where the
// menu handler (which shows Extract to "<name>\\") is not registered, and removed where it is.
// .7z files get it through the system's per-extension keys, which hold whatever program claims
// the extension.
inline constexpr VerbRow kExtractToFolderVerbRows[] = {
    {L"Tolvane.zip\\shell\\Tolvane3", L"Extract to Folder", L"/f"},
    {L"Tolvane.rar\\shell\\Tolvane3", L"Extract to Folder", L"/f"},
    {L"SystemFileAssociations\\.7z\\shell\\Tolvane3", L"Extract to Folder", L"/f"},
};

inline constexpr wchar_t kUserClassesPrefix[] = L"Software\\Classes\\";
inline constexpr wchar_t kRegisteredApplicationsKey[] = L"SOFTWARE\\RegisteredApplications";

// The texts the layout is made of.
std::wstring VerbArguments(const wchar_t* option);                                  // L" /e \"%1\""
std::wstring VerbCommand(const std::wstring& longPath, const std::wstring& arguments);  // "long"  /e "%1"
std::wstring OpenCommand(const std::wstring& shortPath);                              // short %1
std::wstring IconLocation(const std::wstring& shortPath);                             // short,0
std::wstring UserChoiceKeyPath(const wchar_t* extension);
std::wstring VendorKeyPath();                        // SOFTWARE\Tolvane Extractor
std::wstring CapabilitiesKeyPath();                  // SOFTWARE\Tolvane Extractor\Capabilities
std::wstring CapabilitiesFileAssociationsKeyPath();  // ...\Capabilities\FileAssociations

// What a registration does beyond the class keys for one extension, by Windows version.
enum class DefaultHandlerStep { None, UserChoice, SystemDefault };
DefaultHandlerStep DefaultHandlerStepFor(unsigned majorVersion, bool elevated);
// The step for this system and this process.
DefaultHandlerStep CurrentDefaultHandlerStep();
// Makes the extension open with the ProgID as `step` says. The system's default is asked for
// again only when the class keys just changed or it names another program. True when
// anything was written or asked for.
bool ClaimDefaultHandler(DefaultHandlerStep step, const wchar_t* extension, const wchar_t* progId,
                         bool classKeysChanged);

// `types` are the extensions without their dot ("zip", "rar") the user made the program the
// default for: a row of another type loses the program's claim. The forms without them write
// both rows machine-wide.
void RegisterAssociations(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types);
// `extractToFolderVerb`: false when the menu handler is registered (the verb is then removed).
void RegisterVerbs(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types,
                   bool extractToFolderVerb = true);
void RegisterAssociations(HINSTANCE instance);
void RegisterVerbs(HINSTANCE instance);
void UnregisterAssociations();
void UnregisterVerbs();
void RegisterCapabilities(RegistrationScope scope = RegistrationScope::Machine);
void UnregisterCapabilities();

// True when `types` holds the extension (".zip" or "zip", any case).
bool TypeChosen(const std::vector<std::wstring>& types, const wchar_t* extension);
// Takes the program's claim off a type it no longer opens: its ProgID goes, the extension's
// default value only where it names that ProgID. True when anything was there.
bool ReleaseType(const wchar_t* extension, const std::wstring& progId);

// True when the process token says it runs elevated.
bool IsProcessElevated();

// Asks the system's application-association object to make the program the default for the
// extension. True when the call succeeded.
bool SetDefaultForExtension(const wchar_t* extension);
