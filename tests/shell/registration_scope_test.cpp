// Where a start of the real program registers: a per-user installation only under the user's
// keys, a portable copy nowhere until asked, the types the user chose and no others.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "shell/handler_registration.h"
#include "shell/integration_choices.h"
#include "shell/registration_scope.h"
#include "support/registration_layout.h"
#include "support/registry_reader.h"
#include "support/test_support.h"

using namespace testsupport;

namespace {

const std::wstring kUserClasses = L"Software\\Classes\\";

// A copy of the program and its menu handler in a folder of its own.
class ProgramCopy : public testing::Test {
protected:
    void SetUp() override {
        RemoveRegistration();
        UnregisterMenuHandler();  // a start of the program in another suite may have left it
        for (const wchar_t* file : {L"tolvane.exe", kHandlerFileName})
            ASSERT_TRUE(CopyFileW((BinDir() + L"\\" + file).c_str(), (folder_ / file).c_str(), FALSE));
    }
    void TearDown() override {
        Run(L"/UnRegister");
        SHDeleteKeyW(HKEY_CURRENT_USER, kUninstallKeyPath);
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Integration");
    }
    DWORD Run(const std::wstring& arguments) {
        return RunProcess(Quote(folder_ / L"tolvane.exe") + L" " + arguments).exitCode;
    }
    TempDir folder_{L"copy"};
};

TEST_F(ProgramCopy, APerUserInstallationWritesOnlyTheUsersKeysAndKeepsToTheChosenTypes) {
    WriteRegistryText(HKEY_CURRENT_USER, kUninstallKeyPath, L"InstallLocation", folder_.path());
    IntegrationChoices choices;
    choices.defaultTypes = {L"zip", L"tar"};
    ASSERT_TRUE(SaveIntegrationChoices(choices));
    ASSERT_EQ(Run(L"/Register"), 0u);

    const std::wstring server = kUserClasses + HandlerClassKey() + L"\\InprocServer32";
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, server), std::optional<std::wstring>(folder_ / kHandlerFileName));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, server, L"ThreadingModel"), std::optional<std::wstring>(L"Apartment"));
    for (const wchar_t* entry : kHandlerEntryKeys)
        EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserClasses + entry), std::optional<std::wstring>(kHandlerClassText));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + L"*\\shell\\Tolvane\\command"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".zip"), std::optional<std::wstring>(L"Tolvane.zip"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".tar"), std::optional<std::wstring>(L"Tolvane.tar"));
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".rar").has_value()) << "rar was not chosen";
    for (const std::wstring& key : std::vector<std::wstring>{L"Software\\Classes\\Tolvane.zip", L"Software\\Classes\\*\\shell\\Tolvane",
                                   L"Software\\Classes\\" + HandlerClassKey(), std::wstring(L"SOFTWARE\\Tolvane Extractor")})
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key)) << Narrow(key);
    EXPECT_FALSE(RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Tolvane Extractor"));

    // The next start keeps to the new choice: tar loses the claim, rar gets it.
    choices.defaultTypes = {L"zip", L"rar"};
    ASSERT_TRUE(SaveIntegrationChoices(choices));
    ASSERT_EQ(Run(L"/Register"), 0u);
    EXPECT_FALSE(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".tar").has_value());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + L"Tolvane.tar"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".rar"), std::optional<std::wstring>(L"Tolvane.rar"));

    ASSERT_EQ(Run(L"/UnRegister"), 0u);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + HandlerClassKey()));
    for (const wchar_t* entry : kHandlerEntryKeys) EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + entry));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + L"*\\shell\\Tolvane"));
}

TEST_F(ProgramCopy, APortableCopyClaimsNothingUntilTheUserAsks) {
    WriteFileBytes(folder_ / kPortableMarkerName, "portable");
    WriteFileBytes(folder_ / L"notes.txt", "not an archive");
    Run(L"/t " + Quote(folder_ / L"notes.txt"));  // a start that ends at once
    EXPECT_FALSE(RegistryText(HKEY_CLASSES_ROOT, L".zip").has_value());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"*\\shell\\Tolvane"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUserClasses + HandlerClassKey()));
    EXPECT_FALSE(LoadIntegrationChoices().registrationAsked);

    ASSERT_EQ(Run(L"/Register"), 0u);
    EXPECT_TRUE(LoadIntegrationChoices().registrationAsked);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserClasses + L".zip"), std::optional<std::wstring>(L"Tolvane.zip"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Tolvane.zip")) << "per user";
}

}  // namespace
