// "/Register" and "/UnRegister" on the real program, read back from the registry.
#include <gtest/gtest.h>

#include "program_run.h"
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

    const ProcessResult unregistered = RunProgram(L"/UnRegister");
    EXPECT_FALSE(unregistered.timedOut);
    EXPECT_EQ(unregistered.exitCode, 0u);
    ExpectNoRegistration();
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
    const auto open = RegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\Tolvane.zip\\shell\\open\\command");
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(open->find(L' '), open->size() - 3) << "the short path has no spaces: " << Narrow(*open);
    const auto extractHere = RegistryText(HKEY_CLASSES_ROOT, L"Tolvane.rar\\shell\\Tolvane1\\command");
    ASSERT_TRUE(extractHere.has_value());
    EXPECT_EQ(*extractHere, L"\"" + program + L"\"  /e \"%1\"");
}

}  // namespace
