#pragma once
// Every command of the menu bar, the right-click menu, the keys and the toolbar, in one table:
// its id, what carries it out, when it can run, and its entry in the right-click menu. The menu
// bar's graying, the right-click menu, the frame's dispatch and the tests all read the table.
// The rules (when a command can run, which entries a right-click menu holds) are plain values in,
// plain values out: the view gathers the facts.
#include <windows.h>

#include <string>
#include <vector>

class CMainFrame;

enum class ListPlace { Folder, Drives, Archive };

struct SelectionFacts {
    ListPlace place = ListPlace::Folder;
    bool archiveWritable = false;    // the open archive can be changed (.zip, .7z)
    int rows = 0;                    // rows shown
    int selectedRows = 0;            // rows selected, the way up and drives included
    int targets = 0;                 // selected rows that may take part in a command
    bool singleFolder = false;       // the one target is a folder
    bool singleArchiveFile = false;  // outside an archive: the one target is an archive file
    std::wstring archiveName;        // the open archive's file name, or that of the one archive file selected
    bool canGoBack = false;
    bool canGoForward = false;
    bool canGoUp = false;
    bool zipNames = false;           // the open archive is a zip: its names' code page can be chosen
    // Outside an archive: how many targets there are when every one is an archive file (0 when
    // one is not, or when more were selected than are looked at).
    int archiveFiles = 0;
};

// The most selected files that are looked at (each one's head is read) to offer extraction.
inline constexpr int kArchiveFilesLookedAt = 16;

// One command of the table.
struct Command {
    UINT id = 0;
    // What carries it out, given the frame and the id (one handler serves the checksum ids).
    void (*run)(CMainFrame& frame, UINT id) = nullptr;
    // When it can run on the facts; null: always.
    bool (*enabled)(const SelectionFacts& facts) = nullptr;
    // The string of its text in the right-click menu, with its shortcut; 0 when it is never there.
    UINT menuText = 0;
};

// The command of this id; null for an id the program does not carry out.
const Command* FindCommand(UINT id);
// Every command, in the table's order.
const std::vector<Command>& Commands();

// Carries out the command through its handler; false for an id the table does not hold. The
// dispatch of the frame and of the shortcuts comes here.
bool RunCommand(CMainFrame& frame, UINT id);
// For tests: while set, the dispatch hands each command it finds to `observer` instead.
void SetCommandObserverForTesting(void (*observer)(const Command& command, UINT id));

// One entry of a menu; id 0 is a separator.
struct MenuEntry {
    UINT id = 0;
    std::wstring text;
    bool enabled = true;
    bool isDefault = false;  // drawn bold: what Enter and a double-click do
};

// True when the command can run on these facts now (false for an id the table does not hold).
bool CommandEnabled(UINT id, const SelectionFacts& facts);
// The right-click menu of the list: the commands that fit the place and the selection (right-
// clicking empty space selects nothing), with their shortcuts; separators only between groups.
std::vector<MenuEntry> ContextMenuEntries(const SelectionFacts& facts);
// Extract to "name\": the folder the extraction writes into, named after the archive (its archive
// extensions dropped: "x" of "x.tar.gz"); "*\" for several archives, each into its own.
std::wstring ExtractToFolderText(const std::wstring& archiveName, int archiveFiles = 1);
