#pragma once
// The registration of the archive types beside ".zip" and ".rar": ".7z" joins them (its own
// ProgID, the Extract verbs, a default-programs entry), every other archive type the program
// reads gets an "Open with" entry that leaves the type's own handler alone, and every file gets
// the "Checksums..." verb.
#include <windows.h>

#include <string>
#include <vector>

#include "shell/shell_registration.h"

inline constexpr AssociationRow kSevenZipAssociation = {L".7z", L"Tolvane.7z", L"7z Archive"};

inline constexpr VerbRow kSevenZipVerbRows[] = {
    {L"Tolvane.7z\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.7z\\shell\\Tolvane1", L"Extract Here", L"/e"},
    {L"Tolvane.7z\\shell\\Tolvane2", L"Extract files...", L"/x"},
};

// "Checksums..." on every file: the program shows the file's checksums.
inline constexpr VerbRow kChecksumVerbRow = {L"*\\shell\\TolvaneChecksum", L"Checksums...", L"/h"};

// The ProgID that the "Open with" entries name, and the extensions that get one.
inline constexpr wchar_t kOpenWithProgId[] = L"Tolvane.archive";
inline constexpr const wchar_t* kOpenWithExtensions[] = {
    L".tar", L".tgz", L".gz",   L".tbz",  L".tbz2", L".bz2",  L".txz",  L".xz",  L".zst",  L".tzst",
    L".lzma", L".z",  L".taz",  L".cab",  L".iso",  L".udf",  L".wim",  L".swm", L".esd",  L".arj",
    L".lzh", L".lha", L".cpio", L".rpm",  L".deb",  L".dmg",  L".vhd",  L".vhdx", L".vmdk", L".qcow2",
    L".msi", L".chm", L".squashfs", L".xar", L".pkg", L".apm", L".ar",  L".a",   L".lib",  L".001"};

// "HKCU\Software\Classes\<ext>\OpenWithProgids" and its HKEY_CLASSES_ROOT twin.
std::wstring OpenWithKeyPath(const wchar_t* extension);

// The ProgID and type name a chosen type gets: "Tolvane.tar", "TAR Archive".
std::wstring ChosenTypeProgId(const wchar_t* extension);
std::wstring ChosenTypeName(const wchar_t* extension);

// Written after RegisterAssociations and RegisterVerbs; removed after their removal. Of the
// types, only those in `types` (extensions without their dot) are claimed, and a type left out
// loses the program's claim. The form without them claims .7z machine-wide.
void RegisterArchiveTypes(HINSTANCE instance, RegistrationScope scope, const std::vector<std::wstring>& types);
void RegisterArchiveTypes(HINSTANCE instance);
void UnregisterArchiveTypes();
