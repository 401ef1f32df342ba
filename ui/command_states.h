#pragma once
// Which commands the content view offers for what is shown and selected: the entries of the
// list's right-click menu, and whether a command of the menu bar can run now. Plain values in,
// plain values out: the view gathers the facts, the menus are built from the answers.
#include <windows.h>

#include <string>
#include <vector>

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
};

// One entry of a menu; id 0 is a separator.
struct MenuEntry {
    UINT id = 0;
    std::wstring text;
    bool enabled = true;
    bool isDefault = false;  // drawn bold: what Enter and a double-click do
};

// True for the commands this program carries out; the others are shown, but disabled.
bool HasCommandHandler(UINT id);
// True when the command can run on these facts now.
bool CommandEnabled(UINT id, const SelectionFacts& facts);
// The right-click menu of the list: the commands that fit the place and the selection (right-
// clicking empty space selects nothing), with their shortcuts; separators only between groups.
std::vector<MenuEntry> ContextMenuEntries(const SelectionFacts& facts);
// Extract to "name\": the folder named after the archive, its extension dropped.
std::wstring ExtractToFolderText(const std::wstring& archiveName);
