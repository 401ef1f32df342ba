#pragma once
// What a run of the program leaves on disk while it works (the work file beside an archive, the
// archiver's list of names, folders of copies in the temporary base) carries the id of its
// process in its name. A later run removes such leftovers once that process has ended (killed,
// crashed), and never one whose process may still be at work on it. Folders that may hold a file
// the user edits (an entry opened in its program) are never among them: only what can be made
// again is.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The mark of this process in a name: its id and a dash ("1234-").
std::wstring ProcessMark();

// The id of the process that marked `name` right after `prefix` (compared without regard to
// case): the decimal digits before a dash. Nothing when the name bears no such mark.
std::optional<DWORD> MarkedProcess(std::wstring_view name, std::wstring_view prefix);

// True when the process that marked an item last written at `written` has ended: no process has
// its id now, or the one that has it started after the item was written. Never this process.
bool MarkedProcessEnded(DWORD processId, const FILETIME& written);

// The work file prefix of updates of an archive: "<archive>.tlv".
std::wstring WorkFilePrefix(const std::wstring& archivePath);

// Removes the work files of earlier updates of the archive whose processes have ended, and the
// parts a split archive's work left, unless the archive's own first part exists (its parts were
// being put in place, and the rest are the only copy).
void RemoveEndedWorkFiles(const std::wstring& archivePath);

// Removes the folders of copies and the name lists in the temporary base whose processes have
// ended.
void RemoveEndedTempItems();
