#pragma once
// What the program's Explorer menu shows for a selection and the command line each item starts.
// Pure: the handler (shell/handler/) reads the selection, the stored choices and the static
// verbs Explorer already shows, and hands them here.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/integration_choices.h"

struct SelectedItem {
    std::wstring path;
    bool isFolder = false;
};

struct MenuEntry {
    MenuItemBit item;
    std::wstring text;    // as the menu shows it
    std::wstring option;  // "/f", ...; empty for Open (the program with the archive alone)
    std::wstring verb;    // the canonical verb name ("TolvaneExtractToFolder")
};

// True when the program opens the file by its name's extension (".zip", ".tar.gz", ".7z.001", ...).
bool IsArchiveFileName(const std::wstring& path);

// The items for the selection, in menu order: the archive items when every item is an archive
// file, then the items for any file and folder. `shown` holds the items the user keeps in the
// menu; `givenByStaticVerbs` those a static verb already shows for every selected item.
// `driveLabel` names an archive of a drive's root items.
std::vector<MenuEntry> MenuEntriesFor(const std::vector<SelectedItem>& selection, uint32_t shown,
                                      uint32_t givenByStaticVerbs, const std::wstring& driveLabel = L"");

// The items a right-drag of `selection` onto the folder `destination` offers: "Extract here"
// (`/d "destination"`) and "Extract to <name>\" (`/g "destination"`), only when every item is an
// archive file; nothing otherwise.
std::vector<MenuEntry> DropEntriesFor(const std::vector<SelectedItem>& selection, const std::wstring& destination);

// The program's arguments for the entry and the selection: the option and every path in
// quotes, one space apart (`/e "a.zip" "b.7z"`); the quoted path alone for Open.
std::wstring ArgumentsFor(const std::wstring& option, const std::vector<std::wstring>& paths);
// The arguments that name a list file instead: `/e @"C:\...\tolvane-list-1.txt"`.
std::wstring ListFileArguments(const std::wstring& option, const std::wstring& listFile);
// The list file's bytes: UTF-16LE with a byte-order mark, one path a line, each line ended by CR LF.
std::string ListFileBytes(const std::vector<std::wstring>& paths);
// Above this many characters the whole command line would not be safe to start: the paths go
// into a list file.
inline constexpr size_t kLongestCommandLine = 30000;
