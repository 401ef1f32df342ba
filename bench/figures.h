#pragma once
// What the figures of speed_bench share: the options of a run, the programs timed, the rows of
// the table and the notes under them, and the order of each pair.
#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "program_timing.h"

namespace bench {

struct Program {
    std::wstring path;
    std::string label;
};

struct Options {
    int repetitions = 5;
    bool repetitionsGiven = false;  // --repetitions was given: every figure takes that many pairs
    std::set<std::wstring> only;
    std::vector<Program> programs;
    bool capacity = false;
    bool wants(const wchar_t* name) const { return only.empty() || only.count(name) != 0; }
    // The pairs of a figure whose one pair takes `secondsPerPair` or so: all of them, unless a pair
    // is long and no count was asked for; then fewer (at least one), so that the figure ends in
    // about `budget` seconds.
    int pairsFor(double secondsPerPair, double budget = 150) const;
};

// The command line of speed_bench.
Options ParseOptions();

// "before" for ...\before\tolvane.exe.
std::string LabelOf(const std::wstring& program);

// One row of the table: the archiver's time, the program's, their ratio and the goal.
void Row(const char* figure, double archiver, double program, const char* goal, const std::string& label);
// A row with a figure of the program alone (a size, a share, a time without a counterpart).
void RowOfProgram(const char* figure, const std::string& label, const std::string& value, const std::string& ratio,
                  const char* goal);
// A line under the table's rows.
void Note(const char* format, ...);
// When a figure took fewer pairs than the others, says so.
void NoteFewerPairs(const Options& options, int pairs, const char* why);

// Pair `r` runs the archiver first when even, the program first when odd: neither side always
// runs just after the other (caches, the Wine server's state, the other's leftovers).
inline bool ArchiverFirst(int pair) { return pair % 2 == 0; }

// Everything in `folder` but `keep` goes.
void EmptyFolderBut(const std::wstring& folder, const std::wstring& keep);
// A fresh copy of `archive` at `copy` (any file there goes first); false when it could not be made.
bool FreshCopy(const std::wstring& archive, const std::wstring& copy);

// The instant now on the system's clock, as the system records the creation and end of processes.
FILETIME SystemNow();

// Opens `archive` with each program `repetitions` times (process start -> rows drawn), beside
// `7z.exe l` of it to a file, the archiver first and last in turn. `afterLast`, when given, runs
// on the last run of each program while its window is still open (with the median so far).
struct OpenFigures {
    std::vector<double> archiver;
    std::vector<std::vector<double>> program;  // per program
    std::vector<ProgramRun> last;              // per program, the last run
};
OpenFigures TimeOpen(const Options& options, const std::wstring& archive,
                     const std::function<void(size_t, ProgramUnderTest&, double)>& afterLast = {});

// The figures, each file its own kind (the names are those of --only).
void StartFigures(const Options& options, const std::wstring& folder);         // start
void OpenWideFigures(const Options& options, const std::wstring& folder);      // open, sort
void OpenBigFigures(const Options& options, const std::wstring& folder);       // big (and its memory), tree
void CancelFigures(const Options& options, const std::wstring& folder);        // cancel
void CapacityRun(const Options& options, const std::wstring& folder);          // --capacity
void WindowChangeFigures(const Options& options, const std::wstring& folder);  // delete, rename, addone, solid
void ExtractFigures(const Options& options, const std::wstring& folder);       // extract
void AddManyFigure(const Options& options, const std::wstring& folder);        // add
void FindFigures(const Options& options, const std::wstring& folder);          // find

}  // namespace bench
