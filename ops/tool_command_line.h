#pragma once
// The command line of one run of the archiver 7z.exe. The archiver is started directly (no
// batch file, no command interpreter), so nothing in a name is expanded or re-read, and no
// password ever appears here: `-p` without a value makes the archiver ask on its input.
#include <string>
#include <string_view>
#include <vector>

class ToolCommandLine {
public:
    // `command` is the archiver's command letter: L"a" (add) or L"d" (delete).
    ToolCommandLine(std::wstring toolPath, std::wstring command, std::wstring archivePath);

    // A name to add or delete, taken literally (no wildcards, no list files, no switches).
    void addName(std::wstring name);
    // The archiver asks for the password on its input ("-p" without a value).
    void askForPassword(bool ask) { askForPassword_ = ask; }
    // The child's current folder; names are relative to it. Empty = the caller's.
    void setWorkingFolder(std::wstring folder) { workingFolder_ = std::move(folder); }
    // Adds everything in the working folder (the name "*", matched as a wildcard) except the
    // item named `excluded` (when not empty). File-system names cannot hold wildcards, so
    // this adds exactly the folder's items, in one pass instead of one name at a time.
    void addWholeWorkingFolder(std::wstring excluded);

    const std::wstring& toolPath() const { return toolPath_; }
    const std::wstring& archivePath() const { return archivePath_; }
    const std::wstring& workingFolder() const { return workingFolder_; }
    const std::vector<std::wstring>& names() const { return names_; }

    // The whole command line, program first, each argument quoted as the C runtime splits it.
    std::wstring text() const;

private:
    std::wstring toolPath_;
    std::wstring command_;
    std::wstring archivePath_;
    std::wstring workingFolder_;
    std::vector<std::wstring> names_;
    std::wstring excluded_;
    bool wholeFolder_ = false;
    bool askForPassword_ = false;
};

// Quotes one argument so that the C runtime's command-line splitting gives it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);

// The longest command line the archiver is started with (the system's limit is 32,767 units).
inline constexpr size_t kToolCommandLineLimit = 32000;

// Splits `names` into groups, in order, so that each group fits one run of `command` (the run
// without names) within `limit` units: as few runs as possible instead of one per name. With
// `distinctLeafNames`, a group never holds two paths whose last components are equal without
// regard to case: the archiver refuses such a pair in one run, while separate runs let the later
// one replace the earlier. A name too long for any run gets a run of its own.
std::vector<std::vector<std::wstring>> GroupNamesForRuns(const ToolCommandLine& command,
                                                         const std::vector<std::wstring>& names,
                                                         bool distinctLeafNames,
                                                         size_t limit = kToolCommandLineLimit);

// The folder that holds every one of `paths` (compared without regard to case), when they all
// lie in one folder and each has a name of its own; empty otherwise. Runs started there name
// the files by their short names, so that more of them fit one command line.
std::wstring SharedParentFolder(const std::vector<std::wstring>& paths);

// True when `leafNames` (names inside one folder) are exactly the items `folderItems` of that
// folder, apart from `archiveName` (the archive being written there), without regard to case.
bool NamesCoverFolder(const std::vector<std::wstring>& leafNames, const std::vector<std::wstring>& folderItems,
                      const std::wstring& archiveName);
