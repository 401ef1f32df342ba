#include "support/registration_layout.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "support/registry_reader.h"
#include "support/test_support.h"

namespace testsupport {

namespace {

struct ExpectedAssociation {
    const wchar_t* extension;
    const wchar_t* progId;
    const wchar_t* typeName;
};
constexpr ExpectedAssociation kAssociations[] = {
    {L".zip", L"Tolvane.zip", L"ZIP Archive"},
    {L".rar", L"Tolvane.rar", L"RAR Archive"},
};

struct ExpectedVerb {
    const wchar_t* key;
    const wchar_t* text;
    const wchar_t* option;
};
constexpr ExpectedVerb kVerbs[] = {
    {L"*\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Folder\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.zip\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.zip\\shell\\Tolvane1", L"Extract Here", L"/e"},
    {L"Tolvane.zip\\shell\\Tolvane2", L"Extract files...", L"/x"},
    {L"Tolvane.rar\\shell\\Tolvane", L"Add to archive...", L"/a"},
    {L"Tolvane.rar\\shell\\Tolvane1", L"Extract Here", L"/e"},
    {L"Tolvane.rar\\shell\\Tolvane2", L"Extract files...", L"/x"},
};
// "Extract to Folder", written only where the menu handler is not registered; never left behind.
constexpr const wchar_t* kExtractToFolderVerbs[] = {L"Tolvane.zip\\shell\\Tolvane3", L"Tolvane.rar\\shell\\Tolvane3",
                                                    L"SystemFileAssociations\\.7z\\shell\\Tolvane3"};

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

void ExpectText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& expected) {
    const auto value = RegistryText(root, path, name);
    ASSERT_TRUE(value.has_value()) << "missing: " << Narrow(path) << " [" << (name ? Narrow(name) : "") << "]";
    EXPECT_EQ(*value, expected) << Narrow(path) << " [" << (name ? Narrow(name) : "") << "]";
}

}  // namespace

std::vector<std::wstring> ExtractToFolderVerbKeys() {
    return {std::begin(kExtractToFolderVerbs), std::end(kExtractToFolderVerbs)};
}

void ExpectRegistrationLayout(const std::wstring& longPath) {
    const std::wstring shortPath = ShortPathOf(longPath);
    ASSERT_FALSE(shortPath.empty());
    const std::wstring classes = L"Software\\Classes\\";
    for (const auto& row : kAssociations) {
        const std::wstring progId = row.progId;
        for (const auto& [root, prefix] : {std::pair{HKEY_CLASSES_ROOT, std::wstring()}, std::pair{HKEY_CURRENT_USER, classes}}) {
            ExpectText(root, prefix + progId, nullptr, row.typeName);
            ExpectText(root, prefix + progId + L"\\DefaultIcon", nullptr, shortPath + L",0");
            ExpectText(root, prefix + progId + L"\\shell\\open\\command", nullptr, shortPath + L" %1");
            ExpectText(root, prefix + row.extension, nullptr, progId);
        }
        ExpectText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor\\Capabilities\\FileAssociations", row.extension,
                   progId);
    }
    ExpectText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor\\Capabilities", L"ApplicationName",
               L"Tolvane Extractor");
    ExpectText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Tolvane Extractor",
               L"SOFTWARE\\Tolvane Extractor\\Capabilities");
    for (const auto& verb : kVerbs) {
        ExpectText(HKEY_CLASSES_ROOT, verb.key, nullptr, verb.text);
        ExpectText(HKEY_CLASSES_ROOT, verb.key, L"Icon", longPath);
        ExpectText(HKEY_CLASSES_ROOT, std::wstring(verb.key) + L"\\command", nullptr,
                   L"\"" + longPath + L"\"  " + verb.option + L" \"%1\"");
    }
}

void ExpectNoRegistration() {
    const std::wstring classes = L"Software\\Classes\\";
    for (const auto& row : kAssociations) {
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, row.progId)) << Narrow(row.progId);
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + row.progId)) << Narrow(row.progId);
        EXPECT_FALSE(RegistryText(HKEY_CLASSES_ROOT, row.extension).has_value()) << Narrow(row.extension);
        EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, classes + row.extension).has_value()) << Narrow(row.extension);
    }
    for (const auto& verb : kVerbs) EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, verb.key)) << Narrow(verb.key);
    for (const wchar_t* verb : kExtractToFolderVerbs) EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, verb)) << Narrow(verb);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor"));
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Tolvane Extractor"));
}

void RemoveRegistration() {
    const std::wstring classes = L"Software\\Classes\\";
    for (const auto& row : kAssociations) {
        SHDeleteKeyW(HKEY_CLASSES_ROOT, row.progId);
        SHDeleteKeyW(HKEY_CURRENT_USER, (classes + row.progId).c_str());
        SHDeleteKeyW(HKEY_CLASSES_ROOT, row.extension);
        SHDeleteKeyW(HKEY_CURRENT_USER, (classes + row.extension).c_str());
        SHDeleteKeyW(HKEY_CURRENT_USER,
                     (std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") +
                      row.extension)
                         .c_str());
    }
    for (const auto& verb : kVerbs) SHDeleteKeyW(HKEY_CLASSES_ROOT, verb.key);
    for (const wchar_t* verb : kExtractToFolderVerbs) SHDeleteKeyW(HKEY_CLASSES_ROOT, verb);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(key, L"Tolvane Extractor");
        RegCloseKey(key);
    }
}

}  // namespace testsupport
