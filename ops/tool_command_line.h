#pragma once
// The command line of one run of the archiver 7z.exe, started directly (no batch file, no
// command interpreter). The archiver splits its command line by rules of its own: a double quote
// only switches quoting on and off and is never part of an argument. So no name of a file or an
// entry is ever put on the command line; names go to a list file, each in quotes on a line of
// its own, which the archiver reads back exactly (spaces at either end, quotes inside, any
// character). The command line holds only paths of the program's choosing, which cannot hold
// a double quote, and never a password: `-p` without a value makes the archiver ask on its input.
#include <string>
#include <string_view>
#include <vector>

#include "engine/archive_kind.h"

class ToolCommandLine {
public:
    // `command` is the archiver's command: L"a" (add), L"d" (delete) or L"rn" (rename).
    ToolCommandLine(std::wstring toolPath, std::wstring command, std::wstring archivePath);

    // A name to add (a path) or to delete (an entry path), taken literally: no wildcards,
    // no list files, no switches. Entry paths are compared with regard to case.
    void addName(std::wstring name);
    // For a rename: the entry path `from` (and everything below it) becomes `to`. The pair
    // goes to the list file as two names, compared with regard to case.
    void addRename(std::wstring from, std::wstring to);
    // The format of the archive, so that nothing depends on a file name's extension.
    void setArchiveKind(ArchiveKind kind) { kind_ = kind; }
    // The format by the engine's name ("7z", "tar", ...), in place of the kind.
    void setFormat(std::wstring format) { format_ = std::move(format); }
    // Switches of the program's own making ("-mx=9", "-v10485760b"), after the fixed ones.
    void addSwitches(const std::vector<std::wstring>& switches) {
        switches_.insert(switches_.end(), switches.begin(), switches.end());
    }
    // The state actions of the update ("p1q1r2x1y2z1w2"); empty: the command's own.
    void setUpdateActions(std::wstring actions) { updateActions_ = std::move(actions); }
    // The archiver leaves the archive as it is and writes the updated archive to `path`
    // (which must not exist yet).
    void writeTo(std::wstring path) { outputPath_ = std::move(path); }
    // The archiver asks for the password on its input ("-p" without a value).
    void askForPassword(bool ask) { askForPassword_ = ask; }
    // The archiver prints how far it is, in percent (deletes name no files as they go).
    void reportPercent(bool report) { reportPercent_ = report; }
    // Names are matched with regard to case (always so for deletes and renames). An add needs it
    // only for an archive holding names that differ only in case, which the archiver otherwise
    // refuses to update ("Duplicate filename in archive").
    void matchCase(bool match) { matchCase_ = match; }
    // The child's current folder; names are relative to it. Empty = the caller's.
    void setWorkingFolder(std::wstring folder) { workingFolder_ = std::move(folder); }
    // Adds everything in the working folder (the name "*", matched as a wildcard) except the
    // items named in `excluded`. File-system names cannot hold wildcards, so this adds exactly
    // the folder's items, in one pass instead of one name at a time.
    void addWholeWorkingFolder(std::vector<std::wstring> excluded);

    const std::wstring& toolPath() const { return toolPath_; }
    const std::wstring& archivePath() const { return archivePath_; }
    const std::wstring& workingFolder() const { return workingFolder_; }
    const std::vector<std::wstring>& names() const { return names_; }

    // The whole command line, program first; `listFile` is the file that holds `names()`
    // (NameListText). Empty when one of its paths holds a double quote, which no argument can.
    std::wstring text(const std::wstring& listFile) const;

private:
    std::wstring toolPath_;
    std::wstring command_;
    std::wstring archivePath_;
    std::wstring outputPath_;
    std::wstring workingFolder_;
    std::vector<std::wstring> names_;
    std::vector<std::wstring> excluded_;
    ArchiveKind kind_ = None;
    std::wstring format_;
    std::vector<std::wstring> switches_;
    std::wstring updateActions_;
    bool wholeFolder_ = false;
    bool askForPassword_ = false;
    bool reportPercent_ = false;
    bool matchCase_ = false;
};

// The list file's text (to be written as UTF-16LE): each name in double quotes on a line of
// its own. The archiver trims each line, then takes off one pair of enclosing quotes.
std::wstring NameListText(const std::vector<std::wstring>& names);

// Why the archiver cannot be told this entry path exactly (it would take other entries, or
// none), as a clause of a message; empty when it can. Found by trying the archiver: it reads
// a line break as the end of a name, takes "." and ".." as steps, a leading "\" or "C:" as a
// root, and at the top "nul.txt" as the device "nul" (and so on for the other device names).
std::wstring EntryNameProblem(std::wstring_view entryPath);

// Splits `names` into groups, in order, so that a group never holds two paths whose last
// components are equal without regard to case: the archiver refuses such a pair in one run,
// while separate runs let the later one replace the earlier.
std::vector<std::vector<std::wstring>> GroupByDistinctLeafNames(const std::vector<std::wstring>& names);

// The folder that holds every one of `paths` (compared without regard to case), when they all
// lie in one folder and each has a name of its own; empty otherwise.
std::wstring SharedParentFolder(const std::vector<std::wstring>& paths);

// True when `leafNames` (names inside one folder) are exactly the items `folderItems` of that
// folder, apart from `skipped` (the archive being written there and its work file), without
// regard to case.
bool NamesCoverFolder(const std::vector<std::wstring>& leafNames, const std::vector<std::wstring>& folderItems,
                      const std::vector<std::wstring>& skipped);
