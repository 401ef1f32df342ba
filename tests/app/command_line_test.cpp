// Reading the command line: options, their shapes, and the start path.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>

#include "app/command_line.h"
#include "app/command_line_extraction.h"
#include "app/options_dialog.h"
#include "engine/format_table.h"

namespace {

struct VerbCase {
    const wchar_t* commandLine;
    ShellVerbOption verb;
    const wchar_t* archivePath;
};

TEST(CommandLine, TheFirstTwoCharactersDecideTheVerb) {
    const VerbCase cases[] = {
        {L"/e \"C:\\in\\x.rar\"", ShellVerbOption::ExtractHere, L"C:\\in\\x.rar"},
        {L"/x \"C:\\in\\my files\\x.zip\"", ShellVerbOption::ExtractTo, L"C:\\in\\my files\\x.zip"},
        {L"/a \"C:\\in\\doc.txt\"", ShellVerbOption::Add, L""},
        {L"/f \"C:\\in\\x.7z\"", ShellVerbOption::ExtractToFolder, L"C:\\in\\x.7z"},
        {L"/t \"C:\\in\\x.zip\"", ShellVerbOption::Test, L"C:\\in\\x.zip"},
        // Capitals are no options.
        {L"/E \"C:\\in\\x.zip\"", ShellVerbOption::None, L""},
        {L"/X \"C:\\in\\x.zip\"", ShellVerbOption::None, L""},
        {L"/A \"C:\\in\\x.zip\"", ShellVerbOption::None, L""},
        // Only the start counts, and the rest is not examined for further options.
        {L"/extract \"C:\\in\\x.zip\"", ShellVerbOption::ExtractHere, L""},
        {L"/ex", ShellVerbOption::ExtractHere, L""},
        {L"/e \"C:\\in\\x.zip\" /x", ShellVerbOption::ExtractHere, L""},
        {L"C:\\in\\x.zip /e", ShellVerbOption::None, L""},
        {L" /e \"C:\\x.zip\"", ShellVerbOption::None, L""},
        {L"", ShellVerbOption::None, L""},
        {L"/", ShellVerbOption::None, L""},
        // Short or unquoted forms never read past the text.
        {L"/e", ShellVerbOption::ExtractHere, L""},
        {L"/e ", ShellVerbOption::ExtractHere, L""},
        {L"/e \"", ShellVerbOption::ExtractHere, L""},
        {L"/e \"\"", ShellVerbOption::ExtractHere, L""},
        {L"/e \"C:\\x.zip", ShellVerbOption::ExtractHere, L""},
        {L"/e C:\\x.zip\"", ShellVerbOption::ExtractHere, L""},
        {L"/e \"a\" \"b.zip\"", ShellVerbOption::ExtractHere, L""},
        {L"/e \"x\"", ShellVerbOption::ExtractHere, L"x"},
        {L"/x C:\\in\\x.7z", ShellVerbOption::ExtractTo, L"C:\\in\\x.7z"},
    };
    for (const VerbCase& c : cases) {
        const CommandLineRequest request = ParseCommandLine(c.commandLine);
        EXPECT_EQ(request.verb, c.verb) << testing::PrintToString(std::wstring(c.commandLine));
        EXPECT_EQ(request.archivePath, c.archivePath) << testing::PrintToString(std::wstring(c.commandLine));
        EXPECT_FALSE(request.unregister);
        EXPECT_FALSE(request.registerOnly);
    }
}

TEST(CommandLine, ReadsOnlyTheGivenTextEvenWithoutATerminator) {
    // "/e" followed by text that is not part of the command line: nothing of it may be taken.
    const wchar_t memory[] = L"/e \"C:\\secret.zip\"";
    for (size_t length = 0; length <= 4; ++length) {
        const CommandLineRequest request = ParseCommandLine(std::wstring_view(memory, length));
        EXPECT_TRUE(request.archivePath.empty()) << length;
        EXPECT_LE(request.pathText.size(), length) << length;
    }
    EXPECT_EQ(ParseCommandLine(std::wstring_view(memory, 8)).archivePath, L"");  // /e "C:\s
    EXPECT_EQ(ParseCommandLine(std::wstring_view(memory, std::size(memory) - 1)).archivePath, L"C:\\secret.zip");
}

TEST(CommandLine, RegistrationOptionsAreFoundAnywhereAndOnlyAsWritten) {
    EXPECT_TRUE(ParseCommandLine(L"/UnRegister").unregister);
    EXPECT_TRUE(ParseCommandLine(L"C:\\tools/UnRegister\\x.zip").unregister);
    EXPECT_TRUE(ParseCommandLine(L"/e \"C:\\a/UnRegister.zip\"").unregister);
    EXPECT_FALSE(ParseCommandLine(L"/unregister").unregister);
    EXPECT_FALSE(ParseCommandLine(L"/UnRegister").registerOnly);
    EXPECT_TRUE(ParseCommandLine(L"/Register").registerOnly);
    EXPECT_TRUE(ParseCommandLine(L"x /Register y").registerOnly);
    EXPECT_FALSE(ParseCommandLine(L"/register").registerOnly);
    EXPECT_FALSE(ParseCommandLine(L"/Regist").registerOnly);
}

TEST(CommandLine, AddTakesTheTextFromTheFourthCharacterQuotesIncluded) {
    EXPECT_EQ(ParseCommandLine(L"/a \"C:\\in\\doc.txt\"").addText, L"\"C:\\in\\doc.txt\"");
    EXPECT_EQ(ParseCommandLine(L"/a").addText, L"");
    EXPECT_EQ(ParseCommandLine(L"/a ").addText, L"");
    // Unquoted, as every other option takes it: handed on in quotes.
    EXPECT_EQ(ParseCommandLine(L"/a C:\\dir\\file name.txt").addText, L"\"C:\\dir\\file name.txt\"");
}

TEST(CommandLine, AnUnquotedArchivePathBecomesTheStartPath) {
    EXPECT_EQ(StartPathFromCommandLine(L"C:\\in\\x.7z"), std::optional<std::wstring>(L"C:\\in\\x.7z"));
    EXPECT_EQ(StartPathFromCommandLine(L"C:\\in\\X.ZIP"), std::optional<std::wstring>(L"C:\\in\\X.ZIP"));
    EXPECT_EQ(StartPathFromCommandLine(L"C:\\missing\\x.rar"), std::optional<std::wstring>(L"C:\\missing\\x.rar"));
    // As "Open with" and a drop on the program's icon pass it.
    EXPECT_EQ(StartPathFromCommandLine(L"\"C:\\in\\my x.7z\""), std::optional<std::wstring>(L"C:\\in\\my x.7z"));
    EXPECT_FALSE(StartPathFromCommandLine(L"C:\\in\\x.txt"));
    // "Open with" on any other archive the engine reads.
    EXPECT_EQ(StartPathFromCommandLine(L"\"C:\\in\\x.tar.gz\""), std::optional<std::wstring>(L"C:\\in\\x.tar.gz"));
    EXPECT_FALSE(StartPathFromCommandLine(L"C:\\in"));
    EXPECT_FALSE(StartPathFromCommandLine(L""));
    EXPECT_FALSE(StartPathFromCommandLine(L"/E \"C:\\in\\x.zip\""));
    EXPECT_EQ(StartPathFromCommandLine(L"/E C:\\in\\x.zip"), std::optional<std::wstring>(L"/E C:\\in\\x.zip"));
}

TEST(CommandLine, AStartPathLongerThanTheStoredFieldIsRefusedNotCut) {
    const std::wstring folder = L"C:\\" + std::wstring(200, L'f') + L"\\";
    const std::wstring fits = folder + std::wstring(MAX_PATH - 1 - folder.size() - 4, L'n') + L".zip";
    ASSERT_EQ(fits.size(), size_t{MAX_PATH - 1});
    EXPECT_EQ(StartPathFromCommandLine(fits), std::optional<std::wstring>(fits));
    const std::wstring tooLong = folder + std::wstring(MAX_PATH - folder.size() - 4, L'n') + L".zip";
    ASSERT_EQ(tooLong.size(), size_t{MAX_PATH});
    EXPECT_FALSE(StartPathFromCommandLine(tooLong));
    EXPECT_FALSE(StartPathFromCommandLine(std::wstring(5000, L'a') + L".7z"));
}

TEST(CommandLine, TheFailureMessageNamesTheArchiveFile) {
    EXPECT_EQ(ExtractFailureMessage(ParseCommandLine(L"/e \"C:\\in\\broken.zip\"")), L"Could not extract broken.zip");
    EXPECT_EQ(ExtractFailureMessage(ParseCommandLine(L"/x \"x.7z\"")), L"Could not extract x.7z");
    EXPECT_EQ(ExtractFailureMessage(ParseCommandLine(L"/e \"C:\\x.zip")), L"Could not extract \"C:\\x.zip");
}

TEST(CommandLine, SeveralQuotedPathsAListFileAndTheNewOptions) {
    using Paths = std::vector<std::wstring>;
    EXPECT_EQ(ParseCommandLine(L"/e \"C:\\a.zip\" \"D:\\my b.7z\"").paths, (Paths{L"C:\\a.zip", L"D:\\my b.7z"}));
    EXPECT_EQ(ParseCommandLine(L"/s \"C:\\a.zip\"").paths, (Paths{L"C:\\a.zip"}));
    EXPECT_EQ(ParseCommandLine(L"/s \"C:\\a.zip\"").verb, ShellVerbOption::ExtractSmart);
    EXPECT_EQ(ParseCommandLine(L"/7 \"a\" \"b\"").verb, ShellVerbOption::AddTo7z);
    EXPECT_EQ(ParseCommandLine(L"/z C:\\x y.txt").paths, (Paths{L"C:\\x y.txt"}));
    EXPECT_EQ(ParseCommandLine(L"/a \"a\" \"b\"").paths, (Paths{L"a", L"b"}));
    // Anything but one space between the paths, an empty path: no paths at all.
    for (const wchar_t* odd : {L"/e \"a\"  \"b\"", L"/e \"a\"\"b\"", L"/e \"a\" \"\"", L"/e \"a\" b", L"/e \"a\" \"b"})
        EXPECT_TRUE(ParseCommandLine(odd).paths.empty()) << testing::PrintToString(std::wstring(odd));
    const CommandLineRequest listed = ParseCommandLine(L"/x @\"C:\\Temp\\tolvane-list-1.txt\"");
    EXPECT_EQ(listed.listFile, L"C:\\Temp\\tolvane-list-1.txt");
    EXPECT_TRUE(listed.paths.empty());
    EXPECT_EQ(ListFilePaths(std::string("\xFF\xFE" "a\0\r\0\n\0\r\0\n\0b\0c\0", 16)), std::optional<Paths>(Paths{L"a", L"bc"}));
    EXPECT_FALSE(ListFilePaths("a\r\nb"));                     // no byte-order mark: not the list's text
    EXPECT_FALSE(ListFilePaths(std::string("\xFF\xFEx", 3)));  // half a unit
    // The right-drag's options: the destination first; a drive's root keeps its backslash.
    const CommandLineRequest into = ParseCommandLine(L"/d \"C:\\\" \"D:\\a.zip\" \"b.7z\"");
    EXPECT_EQ(into.verb, ShellVerbOption::ExtractInto);
    EXPECT_EQ(into.destination, L"C:\\");
    EXPECT_EQ(into.paths, (Paths{L"D:\\a.zip", L"b.7z"}));
    EXPECT_EQ(ParseCommandLine(L"/g \"C:\\to\" @\"C:\\list.txt\"").listFile, L"C:\\list.txt");
    for (const wchar_t* odd : {L"/d C:\\to \"a.zip\"", L"/d \"C:\\to\"", L"/d \"\" \"a.zip\"", L"/g \"C:\\to\"\"a.zip\""})
        EXPECT_TRUE(ParseCommandLine(odd).paths.empty()) << testing::PrintToString(std::wstring(odd));
}

TEST(CommandLine, OnlyTheProgramsOwnListInTheTempFolderIsDisposable) {
    const wchar_t* temp = L"C:\\Users\\u\\Temp\\";
    EXPECT_TRUE(IsDisposableListFile(L"C:\\Users\\u\\Temp\\tolvane-list-7.txt", temp));
    EXPECT_TRUE(IsDisposableListFile(L"c:\\users\\U\\temp\\TOLVANE-LIST-x.TXT", L"C:\\Users\\u\\Temp"));
    for (const wchar_t* kept : {L"C:\\Users\\u\\Temp\\sub\\tolvane-list-7.txt", L"C:\\Users\\u\\tolvane-list-7.txt",
                                L"C:\\Users\\u\\Temp\\list-7.txt", L"C:\\Users\\u\\Temp\\tolvane-list-7.txt:s.txt",
                                L"C:\\Users\\u\\Temp\\tolvane-list-7.doc", L"C:\\Users\\u\\Temp\\..\\tolvane-list-7.txt"})
        EXPECT_FALSE(IsDisposableListFile(kept, temp)) << testing::PrintToString(std::wstring(kept));
    EXPECT_FALSE(IsDisposableListFile(L"\\tolvane-list-7.txt", L""));
}

TEST(CommandLine, AnExistingFolderQuotedOrNotIsWhereTheWindowStarts) {
    const auto isFolder = [](const std::wstring& path) { return path == L"C:\\some folder"; };
    EXPECT_EQ(StartFolderFromCommandLine(L"\"C:\\some folder\"", isFolder), std::optional<std::wstring>(L"C:\\some folder"));
    EXPECT_EQ(StartFolderFromCommandLine(L"C:\\some folder", isFolder), std::optional<std::wstring>(L"C:\\some folder"));
    EXPECT_FALSE(StartFolderFromCommandLine(L"C:\\other", isFolder));
    EXPECT_FALSE(StartFolderFromCommandLine(L"", isFolder));
}

TEST(OptionsTypes, ZipRarAnd7zFirstEachOnceAndNoProgramDocumentOrChecksumType) {
    std::vector<EngineFormat> formats(4);
    formats[0].name = L"PE", formats[0].extensions = {L"exe", L"dll", L"sys"};
    formats[1].name = L"zip", formats[1].extensions = {L"zip", L"Z01", L"jar", L"docx"};
    formats[2].name = L"Hash", formats[2].extensions = {L"sha256"};
    formats[3].name = L"Iso", formats[3].extensions = {L"iso", L"img", L"7z"};
    EXPECT_EQ(OfferedDefaultTypes(formats), (std::vector<std::wstring>{L"zip", L"rar", L"7z", L"z01", L"iso", L"img"}));
}

}  // namespace
