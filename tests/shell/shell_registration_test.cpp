// The shell registration written into and removed from the real registry of the test prefix.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "shell/shell_registration.h"
#include "support/registration_layout.h"
#include "support/registry_reader.h"
#include "support/test_support.h"
#include "ui/app_globals.h"

using namespace testsupport;

namespace {

std::wstring ThisProgram() {
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

unsigned MajorVersion() { return LOBYTE(LOWORD(GetVersion())); }

class ShellRegistration : public testing::Test {
protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }
};

TEST(ShellRegistrationTexts, VerbCommandsQuoteTheLongPathAndOpenCommandsUseTheShortOne) {
    EXPECT_EQ(VerbArguments(L"/e"), L" /e \"%1\"");
    EXPECT_EQ(VerbArguments(L"/a").size(), 8u);
    EXPECT_EQ(VerbCommand(L"C:\\Program Files\\Tolvane\\tolvane.exe", VerbArguments(L"/e")),
              L"\"C:\\Program Files\\Tolvane\\tolvane.exe\"  /e \"%1\"");
    EXPECT_EQ(OpenCommand(L"C:\\PROGRA~1\\Tolvane\\tolvane.exe"), L"C:\\PROGRA~1\\Tolvane\\tolvane.exe %1");
    EXPECT_EQ(IconLocation(L"C:\\PROGRA~1\\T\\t.exe"), L"C:\\PROGRA~1\\T\\t.exe,0");
    EXPECT_EQ(UserChoiceKeyPath(L".rar"),
              L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.rar\\UserChoice");
    EXPECT_EQ(CapabilitiesFileAssociationsKeyPath(), L"SOFTWARE\\Tolvane Extractor\\Capabilities\\FileAssociations");
}

TEST(ShellRegistrationTexts, TheDefaultHandlerIsClaimedByVersionAndElevation) {
    EXPECT_EQ(DefaultHandlerStepFor(5, false), DefaultHandlerStep::UserChoice);
    EXPECT_EQ(DefaultHandlerStepFor(5, true), DefaultHandlerStep::UserChoice);
    EXPECT_EQ(DefaultHandlerStepFor(6, false), DefaultHandlerStep::None);
    EXPECT_EQ(DefaultHandlerStepFor(10, true), DefaultHandlerStep::SystemDefault);
}

TEST_F(ShellRegistration, RegisteringWritesEveryKeyAndValueForThisProgram) {
    RegisterAssociations(g_app.instance);
    RegisterVerbs(g_app.instance);
    ExpectRegistrationLayout(ThisProgram());
    if (MajorVersion() >= 6) {
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, UserChoiceKeyPath(L".zip")))
            << "no per-user choice is written from version 6 on";
    }

    // A second start writes the same again over what is there.
    WriteRegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\.zip", nullptr, L"Other.zip");
    RegisterAssociations(g_app.instance);
    RegisterVerbs(g_app.instance);
    ExpectRegistrationLayout(ThisProgram());
}

TEST_F(ShellRegistration, UnregisteringRemovesTheProgramsKeysAndKeepsEveryoneElses) {
    // Things that belong to the system or to other programs.
    WriteRegistryText(HKEY_CLASSES_ROOT, L"*\\shell\\OtherVerb", nullptr, L"Other verb");
    WriteRegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Other App", L"SOFTWARE\\Other");
    WriteRegistryText(HKEY_CLASSES_ROOT, L".zip", L"Content Type", L"application/x-zip-compressed");
    WriteRegistryText(HKEY_CLASSES_ROOT, L".zip\\ShellNew", L"Data", L"PK");
    WriteRegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\.rar\\OpenWithProgids", L"Other.rar", L"");

    RegisterAssociations(g_app.instance);
    RegisterVerbs(g_app.instance);
    ASSERT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".zip"), std::optional<std::wstring>(L"Tolvane.zip"));

    UnregisterAssociations();
    UnregisterVerbs();
    ExpectNoRegistration();
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L".rar")) << "a key that held only our claim goes";
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\.zip"));

    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"*\\shell\\OtherVerb"), std::optional<std::wstring>(L"Other verb"));
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Other App"),
              std::optional<std::wstring>(L"SOFTWARE\\Other"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".zip", L"Content Type"),
              std::optional<std::wstring>(L"application/x-zip-compressed"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".zip\\ShellNew", L"Data"), std::optional<std::wstring>(L"PK"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\.rar\\OpenWithProgids"));

    SHDeleteKeyW(HKEY_CLASSES_ROOT, L"*\\shell\\OtherVerb");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", 0, KEY_SET_VALUE, &key) == 0) {
        RegDeleteValueW(key, L"Other App");
        RegCloseKey(key);
    }
}

TEST_F(ShellRegistration, AnExtensionClaimedByAnotherProgramIsLeftToIt) {
    RegisterAssociations(g_app.instance);
    WriteRegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\.zip", nullptr, L"Other.zip");
    WriteRegistryText(HKEY_CLASSES_ROOT, L".rar", nullptr, L"Other.rar");
    UnregisterAssociations();
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\.zip"), std::optional<std::wstring>(L"Other.zip"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L".rar"), std::optional<std::wstring>(L"Other.rar"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Tolvane.zip"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tolvane Extractor"));
}

TEST_F(ShellRegistration, UnregisteringWhatIsNotThereIsSilent) {
    UnregisterAssociations();
    UnregisterVerbs();
    ExpectNoRegistration();
}

}  // namespace
