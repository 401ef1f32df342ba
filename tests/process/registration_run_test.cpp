// "/Register" and "/UnRegister" on the real program, read back from the registry.
#include <gtest/gtest.h>

#include "base/paths.h"
#include "program_run.h"
#include "shell/handler_registration.h"
#include "support/registration_layout.h"
#include "support/registry_reader.h"
#include "support/test_support.h"

using namespace testsupport;

namespace {

class RegistrationRun : public testing::Test {
protected:
    void SetUp() override {
        RemoveRegistration();
        StoreSampleSettings();
        before_ = ReadStoredSettings();
        ASSERT_TRUE(before_.lastPath.has_value());
    }
    void TearDown() override {
        RemoveRegistration();
        EXPECT_EQ(ReadStoredSettings(), before_) << "registration runs save no settings";
    }
    StoredSettings before_;
};

TEST_F(RegistrationRun, RegisterWritesTheWholeLayoutAndUnRegisterRemovesIt) {
    const ProcessResult registered = RunProgram(L"/Register");
    ASSERT_TRUE(registered.started);
    EXPECT_FALSE(registered.timedOut);
    EXPECT_EQ(registered.exitCode, 0u);
    ExpectRegistrationLayout(ProgramExe());
    // The handler DLL beside the program: its right-drag entries, and no "Extract to Folder" verb.
    for (const wchar_t* entry : kDropHandlerEntryKeys)
        EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, entry).value_or(L""), kDropHandlerClassText) << Narrow(entry);
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, DropHandlerClassKey() + L"\\InprocServer32").value_or(L""),
              JoinPath(FolderOf(ProgramExe()), kHandlerFileName));
    for (const std::wstring& verb : ExtractToFolderVerbKeys())
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, verb)) << Narrow(verb);

    const ProcessResult unregistered = RunProgram(L"/UnRegister");
    EXPECT_FALSE(unregistered.timedOut);
    EXPECT_EQ(unregistered.exitCode, 0u);
    ExpectNoRegistration();
    for (const wchar_t* entry : kDropHandlerEntryKeys) EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, entry));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, DropHandlerClassKey()));
}

TEST_F(RegistrationRun, ARunThatEndsAtOnceLeavesTheWholeLayoutWrittenBesideIt) {
    // "/t" on a file that is no archive is done at once; the registration beside it is waited for.
    TempDir work(L"quick");
    WriteFileBytes(work / L"notes.txt", "not an archive");
    const ProcessResult run = RunProgram(L"/t " + Quote(work / L"notes.txt"));
    EXPECT_FALSE(run.timedOut);
    ExpectRegistrationLayout(ProgramExe());
}

TEST_F(RegistrationRun, UnRegisterAnywhereInTheLineWinsOverEveryOtherOption) {
    ASSERT_EQ(RunProgram(L"/Register").exitCode, 0u);
    TempDir work(L"unreg");
    WriteFileBytes(work / L"x.zip", "not extracted");
    // Inside a path, after "/e": still an unregistration, and nothing is extracted.
    const ProcessResult run = RunProgram(L"/e \"" + work.path() + L"\\a/UnRegister\\..\\x.zip\"");
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u);
    ExpectNoRegistration();
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"x.zip"});
}

TEST_F(RegistrationRun, AProgramInAFolderWithSpacesRegistersItsShortAndQuotedLongPaths) {
    TempDir install(L"install");
    const std::wstring folder = install / L"Program Files";
    const std::wstring programFolder = folder + L"\\Tolvane Extractor";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(programFolder.c_str(), nullptr));
    const std::wstring program = programFolder + L"\\tolvane.exe";
    ASSERT_TRUE(CopyFileW(ProgramExe().c_str(), program.c_str(), FALSE));

    const ProcessResult run = RunProcess(L"\"" + program + L"\" /Register");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    ExpectRegistrationLayout(program);
    // No handler DLL beside this copy: "Extract to Folder" stays a verb of its own.
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"Tolvane.zip\\shell\\Tolvane3").value_or(L""), L"Extract to Folder");
    const auto open = RegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\Tolvane.zip\\shell\\open\\command");
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(open->find(L' '), open->size() - 3) << "the short path has no spaces: " << Narrow(*open);
    const auto extractHere = RegistryText(HKEY_CLASSES_ROOT, L"Tolvane.rar\\shell\\Tolvane1\\command");
    ASSERT_TRUE(extractHere.has_value());
    EXPECT_EQ(*extractHere, L"\"" + program + L"\"  /e \"%1\"");
}

// The DLL of the other bitness beside the program goes into the other registry view, where the
// system has one; a 32-bit system's one view keeps the program's own DLL.
TEST_F(RegistrationRun, TheOtherBitnesssDllIsRegisteredInTheOtherViewOnlyWhereThereIsOne) {
    TempDir install(L"views");
    const std::wstring built = JoinPath(FolderOf(ProgramExe()), kHandlerFileName);
    ASSERT_TRUE(CopyFileW(ProgramExe().c_str(), (install / L"tolvane.exe").c_str(), FALSE));
    for (const wchar_t* name : {kHandlerFileName, OtherViewHandlerFileName()})  // only their presence counts
        ASSERT_TRUE(CopyFileW(built.c_str(), (install / name).c_str(), FALSE));
    const auto server = [](REGSAM view) {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof(text);
        HKEY key = nullptr;
        if (!RegOpenKeyExW(HKEY_CLASSES_ROOT, (HandlerClassKey() + L"\\InprocServer32").c_str(), 0, KEY_READ | view, &key))
            RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, text, &size), RegCloseKey(key);
        return std::wstring(text);
    };
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    BOOL wow64 = FALSE;
    const bool twoViews = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
    ASSERT_EQ(RunProcess(Quote(install / L"tolvane.exe") + L" /Register").exitCode, 0u);
    EXPECT_EQ(server(0), install / kHandlerFileName);
    EXPECT_EQ(server(otherView), install / (twoViews ? OtherViewHandlerFileName() : kHandlerFileName));
    ASSERT_EQ(RunProcess(Quote(install / L"tolvane.exe") + L" /UnRegister").exitCode, 0u);
    EXPECT_EQ(server(0) + server(otherView), L"");
}

}  // namespace
