// Extraction that asks about files in its way and writes relative to an archive folder; the
// test of every item; the properties of an archive and of its entries.
#include "engine/archive_properties.h"
#include "engine/engine_events.h"
#include "engine/extraction.h"
#include "engine_test_util.h"
#include "ops/fault_texts.h"
#include "ops/properties_report.h"
#include "support/zip_writer.h"

using namespace enginetest;

namespace {

// Answers the replace questions in order, and records the files asked about.
std::vector<ReplaceAnswer> g_answers;
std::vector<std::wstring> g_asked;

int AnswerQuestions(ProgressCounters*, int32_t kind, void* data, uint32_t) {
    if (kind != kEngineReplaceQuestion) return 0;
    auto& question = *static_cast<ReplaceQuestion*>(data);
    g_asked.push_back(question.item);
    question.answer = g_answers.empty() ? ReplaceAnswer::Cancel : g_answers.front();
    if (!g_answers.empty()) g_answers.erase(g_answers.begin());
    return 0;
}

struct Answers {
    explicit Answers(std::vector<ReplaceAnswer> answers) {
        g_answers = std::move(answers);
        g_asked.clear();
        previous_ = SetEngineEventHandler(AnswerQuestions);
    }
    ~Answers() { SetEngineEventHandler(previous_); }

private:
    EngineEventHandler previous_ = nullptr;
};

int Extract(const std::wstring& archive, const std::wstring& destination, const std::wstring& base,
            ExtractionOutcome& outcome) {
    ExtractionOptions options;
    options.existingFiles = ExistingFilePolicy::Ask;
    options.baseFolder = base;
    std::wstring password;
    const std::vector<std::wstring> selection{L"docs"};
    return extractArchive(archive, archiveKindOf(archive), destination, password, &selection, options, &outcome);
}

}  // namespace

TEST(ExtractionChoices, ExistingFilesAreAskedAboutAndTheSelectionIsWrittenBelowTheFolderShown) {
    TempDir work(L"choice");
    MakeTree(work / L"src", {{L"docs\\a.txt", "new a"}, {L"docs\\b.txt", "new b"}, {L"docs\\sub\\c.txt", "new c"},
                             {L"docs\\sub\\d.txt", "new d"}, {L"other.txt", "other"}});
    Pack(work / L"x.7z", work / L"src");
    const std::wstring out = work / L"out";
    MakeTree(out, {{L"a.txt", "old a"}, {L"b.txt", "old b"}, {L"sub\\c.txt", "old c"}, {L"sub\\d.txt", "old d"}});
    {
        // Relative to "docs": no docs folder is made. Rename keeps both, No keeps the old file,
        // Yes to all settles the rest.
        Answers answers({ReplaceAnswer::Rename, ReplaceAnswer::No, ReplaceAnswer::YesToAll});
        ExtractionOutcome outcome;
        EXPECT_EQ(Extract(work / L"x.7z", out, L"docs", outcome), 0);
        EXPECT_EQ(g_asked, (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\b.txt", L"docs\\sub\\c.txt"}));
        EXPECT_EQ(outcome.kept, 1u);
    }
    EXPECT_EQ(ListFilesRecursive(out),
              (std::vector<std::wstring>{L"a (2).txt", L"a.txt", L"b.txt", L"sub\\c.txt", L"sub\\d.txt"}));
    EXPECT_EQ(ReadFileBytes(out + L"\\a.txt"), "old a");
    EXPECT_EQ(ReadFileBytes(out + L"\\a (2).txt"), "new a");
    EXPECT_EQ(ReadFileBytes(out + L"\\b.txt"), "old b");
    EXPECT_EQ(ReadFileBytes(out + L"\\sub\\c.txt"), "new c");
    EXPECT_EQ(ReadFileBytes(out + L"\\sub\\d.txt"), "new d");
    {
        // No to all keeps everything; Cancel stops at once and is told as the user's own stop.
        Answers answers({ReplaceAnswer::NoToAll});
        ExtractionOutcome outcome;
        Extract(work / L"x.7z", out, L"docs", outcome);
        EXPECT_EQ(g_asked.size(), 1u);
        EXPECT_EQ(ReadFileBytes(out + L"\\b.txt"), "old b");
        Answers cancel({ReplaceAnswer::Cancel});
        ExtractionOutcome stopped;
        EXPECT_NE(Extract(work / L"x.7z", out, L"docs", stopped), 0);
        EXPECT_TRUE(stopped.declined);
    }
    // The shell's Extract Here replaces without a question.
    ExtractionOutcome silent;
    EXPECT_EQ(extractAll(work / L"x.7z", out, &silent), 0);
    EXPECT_EQ(ReadFileBytes(out + L"\\docs\\a.txt"), "new a");
}

TEST(TestArchive, EachFailedItemIsNamedWithItsCause) {
    TempDir work(L"test");
    std::string zip = MakeZip({{"good.txt", "intact data"}, {"dir/bad.txt", "DAMAGED-DATA-HERE"}});
    zip[zip.find("DAMAGED")] = 'X';  // stored data that no longer matches its CRC
    WriteFileBytes(work / L"x.zip", zip);
    std::wstring password;
    ExtractionOutcome outcome = testArchive(work / L"x.zip", Zip, password);
    EXPECT_TRUE(outcome.opened);
    EXPECT_EQ(outcome.tested, 1u);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].item, L"dir\\bad.txt");
    EXPECT_EQ(ItemFaultText(outcome.failures[0].fault), L"damaged data (CRC error)");
    EXPECT_EQ(ListFilesRecursive(work.path()), std::vector<std::wstring>{L"x.zip"}) << "a test writes nothing";

    // An encrypted item tested with the wrong password.
    MakeTree(work / L"src", {{L"secret.txt", std::string(3000, 's')}});
    Pack(work / L"enc.7z", work / L"src", L"-pright");
    PasswordAnswer wrong(L"wrong");
    password.clear();
    outcome = testArchive(work / L"enc.7z", SevenZip, password);
    EXPECT_EQ(outcome.tested, 0u);
    EXPECT_TRUE(outcome.wrongPassword);
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].item, L"secret.txt");

    // An archive cut short: the items past the end fail or are never read.
    const std::string intact = ReadFileBytes(work / L"x.zip");
    WriteFileBytes(work / L"cut.zip", intact.substr(0, intact.size() / 2));
    password.clear();
    outcome = testArchive(work / L"cut.zip", Zip, password);
    EXPECT_FALSE(outcome.succeeded());
}

TEST(ArchiveProperties, TheArchiveAsAWholeAndEachEntry) {
    TempDir work(L"props");
    MakeTree(work / L"src", {{L"docs\\a.txt", std::string(10000, 'a')}, {L"docs\\b.txt", "bravo"}, {L"c.txt", "c"}});
    Pack(work / L"x.7z", work / L"src", L"-ms=on -mhe=on -psecret");
    PasswordAnswer answer(L"secret");
    std::wstring password;
    const PropertiesReport archive = ArchivePropertiesReport(readArchiveFacts(work / L"x.7z", SevenZip, password), SevenZip);
    ASSERT_TRUE(archive.opened) << Narrow(archive.problem);
    EXPECT_EQ(password, L"secret");
    std::map<std::wstring, std::wstring> lines;
    for (const PropertyLine& line : archive.lines) lines[line.name] = line.value;
    EXPECT_EQ(lines[L"Format"], L"7z");
    EXPECT_EQ(lines[L"Files"], L"3");
    EXPECT_EQ(lines[L"Folders"], L"1");
    EXPECT_EQ(lines[L"Size"], L"10,006");
    EXPECT_EQ(lines[L"Encrypted"], L"Yes, names included");
    EXPECT_NE(lines[L"Method"].find(L"AES"), std::wstring::npos) << Narrow(lines[L"Method"]);
    EXPECT_EQ(lines[L"Damage"], L"None found");

    const PropertiesReport entry =
        EntryPropertiesReport(readEntryFacts(work / L"x.7z", SevenZip, password, L"docs\\b.txt"), L"docs\\b.txt");
    ASSERT_TRUE(entry.opened);
    lines.clear();
    for (const PropertyLine& line : entry.lines) lines[line.name] = line.value;
    wchar_t crc[16];
    swprintf(crc, 16, L"%08X", Crc32("bravo"));
    EXPECT_EQ(lines[L"CRC"], crc);
    EXPECT_EQ(lines[L"Size"], L"5");
    const PropertiesReport missing =
        EntryPropertiesReport(readEntryFacts(work / L"x.7z", SevenZip, password, L"nothing"), L"nothing");
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.problem, L"the archive holds no entry \"nothing\"");
}
