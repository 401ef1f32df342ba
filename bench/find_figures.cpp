// Finding entries by name in an archive of 1,000,000 entries: the search over the catalogue's tree
// (this build's code, in this process, on the tree the program builds), beside `7z.exe l` of the
// archive with the same wildcard (which lists only what matches).
#include <windows.h>

#include <string>
#include <vector>

#include "bench_clock.h"
#include "big_zip.h"
#include "catalog/item_catalog.h"
#include "catalog/name_pattern.h"
#include "figures.h"
#include "support/test_support.h"

namespace bench {

void FindFigures(const Options& options, const std::wstring& folder) {
    // 1,000 folders of 10 subfolders of 100 files: the names to look for lie three levels down.
    const std::wstring archive = folder + L"\\find-1000x10x100.zip";
    BenchZipLayout layout;
    layout.folders = 1000;
    layout.subfolders = 10;
    layout.filesPerFolder = 100;
    const uint64_t entries = MakeBenchZip(archive, layout);
    ItemCatalog catalog;
    ListingRun run;
    if (listArchive(archive, ArchiveKind::Zip, run, catalog.TreeBuilder()) != 0) {
        Note("find: the archive did not open");
        return;
    }
    std::vector<ArchiveTree::NodeId> found;
    for (const wchar_t* pattern : {L"*42.*", L"FOLDER99?", L"e042"}) {
        std::vector<double> archiver, program;
        for (int r = 0; r < options.repetitions; ++r) {
            const Stopwatch search;
            found = FindInTree(catalog.tree, NamePattern(pattern));
            program.push_back(search.seconds());
            archiver.push_back(
                RunArchiver(L"l " + testsupport::Quote(archive) + L" -r " + testsupport::Quote(pattern)).seconds);
        }
        const std::string figure = "Find in 1,000,000 entries: " + testsupport::Narrow(pattern);
        Row(figure.c_str(), Median(archiver), Median(program), "<= 0.5", "this");
        Note("%s: %zu of %llu entries found", testsupport::Narrow(pattern).c_str(), found.size(),
             static_cast<unsigned long long>(entries));
    }
}

}  // namespace bench
