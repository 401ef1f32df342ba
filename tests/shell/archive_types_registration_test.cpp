// .7z beside .zip and .rar, "Open with" entries that take nothing over, and the checksum verb,
// written into and removed from the real registry of the test prefix.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "shell/archive_types_registration.h"
#include "support/registry_reader.h"
#include "support/test_support.h"
#include "ui/app_globals.h"

using namespace testsupport;

namespace {

// The value exists, of whatever type ("Open with" entries are empty REG_NONE values).
bool HasValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    return SHGetValueW(root, path.c_str(), name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// When the key was last written, or 0.
uint64_t LastWritten(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    FILETIME written{};
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &written);
    RegCloseKey(key);
    return (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
}

}  // namespace

TEST(ArchiveTypesRegistration, SevenZipJoinsTheArchivesAndOtherTypesAreOfferedWithoutBeingTakenOver) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring classes = L"Software\\Classes\\";
    // Another program's .tar, which must stay its own.
    WriteRegistryText(HKEY_CURRENT_USER, classes + L".tar", nullptr, L"Other.tar");

    RegisterArchiveTypes(g_app.instance);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L".7z"), std::optional<std::wstring>(L"Tolvane.7z"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"Tolvane.7z\\shell\\open\\command"),
              std::optional<std::wstring>(L"\"" + std::wstring(program) + L"\" \"%1\""));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"Tolvane.7z\\shell\\Tolvane1\\command"),
              std::optional<std::wstring>(L"\"" + std::wstring(program) + L"\"  /e \"%1\""));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"Tolvane.7z\\shell\\Tolvane2"), std::optional<std::wstring>(L"Extract files..."));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"*\\shell\\TolvaneChecksum\\command"),
              std::optional<std::wstring>(L"\"" + std::wstring(program) + L"\"  /h \"%1\""));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor\\Capabilities\\FileAssociations", L".7z"),
              std::optional<std::wstring>(L"Tolvane.7z"));
    for (const wchar_t* extension : {L".tar", L".gz", L".iso", L".cab"})
        EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, classes + OpenWithKeyPath(extension), kOpenWithProgId))
            << Narrow(extension);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L".tar"), std::optional<std::wstring>(L"Other.tar"));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, classes + L".gz").has_value()) << "no default handler is claimed";

    // Every start registers again: what is already in place is not written again, and what
    // another program changed is put back.
    const std::wstring command = classes + L"Tolvane.7z\\shell\\open\\command";
    const std::wstring openWith = classes + OpenWithKeyPath(L".iso");
    const uint64_t commandWritten = LastWritten(HKEY_CURRENT_USER, command);
    const uint64_t openWithWritten = LastWritten(HKEY_CURRENT_USER, openWith);
    WriteRegistryText(HKEY_CURRENT_USER, classes + L"Tolvane.7z\\DefaultIcon", nullptr, L"other.dll,3");
    Sleep(50);
    RegisterArchiveTypes(g_app.instance);
    EXPECT_NE(commandWritten, 0u);
    EXPECT_EQ(LastWritten(HKEY_CURRENT_USER, command), commandWritten);
    EXPECT_EQ(LastWritten(HKEY_CURRENT_USER, openWith), openWithWritten);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"Tolvane.7z\\DefaultIcon"),
              std::optional<std::wstring>(std::wstring(program) + L",0"));

    UnregisterArchiveTypes();
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + L"Tolvane.7z"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + L".7z"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"*\\shell\\TolvaneChecksum"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + kOpenWithProgId));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + L".gz"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, classes + OpenWithKeyPath(L".tar")));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L".tar"), std::optional<std::wstring>(L"Other.tar"));
    SHDeleteKeyW(HKEY_CURRENT_USER, (classes + L".tar").c_str());
}
