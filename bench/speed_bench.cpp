// The figures a user meets, each beside what the archiver takes for the same work in the same
// run: the archiver `7z.exe` runs as a script runs it, on a fresh copy of the archive where it
// changes one, with its output going to a file; the program runs as a user starts it and drives
// it. Each figure is the median of its pairs (one run of the archiver, one of each program), the
// archiver first in one pair and last in the next.
//
//   ./scripts/bench.sh                      every figure
//   ./scripts/bench.sh speed_bench [--repetitions N] [--also C:\path\to\another\tolvane.exe] [--capacity]
//       [--only start,open,sort,big,tree,delete,rename,addone,solid,extract,add,cancel,find]
//
//   start    process start -> rows drawn on a tiny archive, beside a program that only shows a
//            window (minimal_window.exe), and the parts of the start-up     (start_figures.cpp)
//   open     100,000 files in one folder; sort: re-sort of its rows by each column
//   big      1,000,000 entries as 10,000 folders at the root, and the memory it takes
//   tree     1,000,000 entries as 100 x 100 folders; cancel: a huge open's progress and Cancel
//                                                                             (open_figures.cpp)
//   delete, rename, addone   one entry of a 20,000-entry zip deleted (Yes), renamed (Enter) or a
//            file dropped into it, from the press to the rows drawn again, with the stages
//            between; solid: the delete in a solid 7z of 1,000,000 entries  (update_figures.cpp)
//   extract, add   the shell's "Extract Here" and "Add to archive...", process start -> end
//                                                                         (transfer_figures.cpp)
//   find     entries of 1,000,000 found by name in the catalogue's tree, beside `7z.exe l -r` with
//            the same wildcard                                              (find_figures.cpp)
//
// Medians of 5 pairs (--repetitions N: of N); a figure whose pair takes long takes fewer (down
// to one) unless --repetitions is given, and says so. --also times another build of the program
// beside this one (for before/after tables); it needs its core\ folder beside it. --capacity
// opens ever larger archives to find the largest that opens.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_clock.h"
#include "figures.h"
#include "support/test_support.h"

int main() {
    using namespace bench;
    const Options options = ParseOptions();
    const std::wstring folder = BenchFolder();
    if (options.capacity) {
        CapacityRun(options, folder);
        return 0;
    }
    const Stopwatch run;
    std::printf("speed_bench: medians of %d pairs, the archiver first and last in turn; 7z.exe runs with its "
                "output to a file\n",
                options.repetitions);
    for (const Program& program : options.programs)
        std::printf("  %s = %s\n", program.label.c_str(), testsupport::Narrow(program.path).c_str());
    std::printf("| %-50s | %-9s | %10s | %10s | %5s | %-9s |\n", "figure", "program", "7z.exe", "program", "ratio",
                "goal");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(52, '-').c_str(), std::string(11, '-').c_str(),
                std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(7, '-').c_str(),
                std::string(11, '-').c_str());
    if (options.wants(L"start")) StartFigures(options, folder);
    if (options.wants(L"open") || options.wants(L"sort")) OpenWideFigures(options, folder);
    if (options.wants(L"big") || options.wants(L"tree")) OpenBigFigures(options, folder);
    if (options.wants(L"delete") || options.wants(L"rename") || options.wants(L"addone") || options.wants(L"solid"))
        WindowChangeFigures(options, folder);
    if (options.wants(L"extract")) ExtractFigures(options, folder);
    if (options.wants(L"add")) AddManyFigure(options, folder);
    if (options.wants(L"cancel")) CancelFigures(options, folder);
    if (options.wants(L"find")) FindFigures(options, folder);
    std::printf("speed_bench: %.0f s\n", run.seconds());
    return 0;
}
