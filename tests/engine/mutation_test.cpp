// Hundreds of damaged variants of small zip, 7z and RAR 4 archives, extracted in-process and by
// the real 7z.exe: nothing crashes or hangs, and the extraction succeeds only where the archiver
// finds the archive sound, with the same files; everywhere else it fails and says why.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "damaged_archives.h"
#include "engine/extraction.h"
#include "ops/extraction_report.h"

using namespace enginetest;

namespace {

constexpr int kMutantsPerSeed = 100;

std::string Mutate(std::string bytes, std::mt19937& random) {
    const size_t at = random() % bytes.size();
    switch (random() % 4) {
    case 0: return bytes.substr(0, at);
    case 1: return FlipBits(bytes, random(), 1 + static_cast<int>(random() % 3));
    case 2: {
        static constexpr uint32_t kValues[] = {0, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000u};
        PutLe32(bytes, at, kValues[random() % 5]);
        return bytes;
    }
    default:
        for (size_t i = at; i < bytes.size() && i < at + 1 + random() % 16; ++i) bytes[i] = 0;
        return bytes;
    }
}

// Each archive's verdict from one "7z x" run over many: clean when its part of the output has
// "Everything is Ok" and no error or warning.
std::map<std::wstring, bool> ArchiverVerdicts(const std::string& output) {
    std::map<std::wstring, bool> verdicts;
    const std::string marker = "Extracting archive: ";
    for (size_t at = output.find(marker); at != std::string::npos;) {
        const size_t nameEnd = output.find_first_of("\r\n", at);
        const std::string name = output.substr(at + marker.size(), nameEnd - at - marker.size());
        const size_t next = std::min(output.find(marker, nameEnd), output.find("\nArchives: ", nameEnd));
        const std::string part = output.substr(nameEnd, next == std::string::npos ? std::string::npos : next - nameEnd);
        verdicts[Widen(name)] = part.find("Everything is Ok") != std::string::npos &&
                                part.find("ERROR") == std::string::npos && part.find("WARNING") == std::string::npos;
        at = output.find(marker, nameEnd);
    }
    return verdicts;
}

std::multiset<std::string> ContentsBelow(const std::wstring& folder) {
    std::multiset<std::string> contents;
    for (const std::wstring& file : ListFilesRecursive(folder)) contents.insert(ReadFileBytes(folder + L"\\" + file));
    return contents;
}

TEST(Mutants, MatchTheArchiversVerdictOrFailWithAMessage) {
    TempDir dir(L"mutants");
    MakeTree(dir / L"src", {{L"a.txt", std::string(300, 'a') + "tail"},
                            {L"dir\\b.txt", "bravo bravo bravo"},
                            {L"dir\\c.bin", std::string(1500, '\x5A')}});
    const struct {
        const wchar_t* type;
        const wchar_t* extension;
    } kinds[] = {{L"zip", L"zip"}, {L"7z", L"7z"}, {L"rar", L"rar"}};
    std::mt19937 random(20261207);
    int succeeded = 0;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(Narrow(kind.type));
        const std::wstring folder = dir / kind.type;
        std::string seed;
        if (std::wstring(kind.type) == L"rar") {
            seed = MakeRar4({{"dir", "", true}, {"a.txt", std::string(300, 'a') + "tail"}, {"dir/b.txt", "bravo"}});
        } else {
            Pack(dir / (L"seed." + std::wstring(kind.extension)), dir / L"src", std::wstring(L"-t") + kind.type);
            seed = ReadFileBytes(dir / (L"seed." + std::wstring(kind.extension)));
        }
        for (int i = 0; i < kMutantsPerSeed; ++i)
            WriteFileBytes(folder + L"\\m" + std::to_wstring(i) + L"." + kind.extension, Mutate(seed, random));
        const ProcessResult judged = Run7z(L"x -y -bse1 -pnone -t" + std::wstring(kind.type) + L" " +
                                           Quote(L"-o" + dir / L"7z" + L"\\" + kind.type + L"\\*") + L" -- *." +
                                           kind.extension, folder);
        const std::map<std::wstring, bool> verdicts = ArchiverVerdicts(judged.output);
        ASSERT_EQ(verdicts.size(), static_cast<size_t>(kMutantsPerSeed)) << judged.output;

        for (int i = 0; i < kMutantsPerSeed; ++i) {
            const std::wstring name = L"m" + std::to_wstring(i);
            const std::wstring archive = folder + L"\\" + name + L"." + kind.extension;
            const std::wstring ours = dir / L"ours\\" + kind.type + L"\\" + name;
            ASSERT_TRUE(createFolderChain(ours));
            // A password is given, so that an item made to look encrypted asks nobody.
            std::wstring password = L"none";
            ExtractionOutcome outcome;
            int code = -1;
            WithinTimeLimit(archive, 30000, [&] {
                code = extractArchive(archive, archiveKindOf(archive), ours, password, nullptr, &outcome);
            });
            if (code == 0) {
                ++succeeded;
                EXPECT_TRUE(verdicts.at(name + L"." + kind.extension)) << Narrow(name) << " passed where 7z.exe did not";
                const std::multiset<std::string> theirs = ContentsBelow(dir / L"7z\\" + kind.type + L"\\" + name);
                const std::multiset<std::string> mine = ContentsBelow(ours);
                EXPECT_EQ(mine.size(), theirs.size() + outcome.renamed) << Narrow(name);
                EXPECT_TRUE(std::includes(mine.begin(), mine.end(), theirs.begin(), theirs.end())) << Narrow(name);
            } else {
                EXPECT_EQ(code, 1) << Narrow(name);
                EXPECT_EQ(ExtractionMessage(outcome, name).rfind(L"Could not extract " + name + L"\n", 0), 0u)
                    << Narrow(name);
            }
        }
    }
    EXPECT_GT(succeeded, 0) << "some mutants leave the archive sound (a byte in unused space)";
}

}  // namespace
