#pragma once
// The rules for a name the user gives an item: a new folder, or a new name for an entry or a
// file. Pure text work.
#include <string>
#include <string_view>
#include <vector>

// Why `name` cannot be the name of an item, as a sentence for the user; empty when it can.
// Refused: an empty name, "." and "..", the characters \ / : * ? " < > | and control
// characters, a dot or a space at the end (Windows drops them), more than 255 units.
std::wstring NameProblem(std::wstring_view name);

// True when the two names are one without regard to case (the way Windows compares names).
bool SameName(std::wstring_view a, std::wstring_view b);
// True when one of `names` is the same name as `name`.
bool NameTaken(std::wstring_view name, const std::vector<std::wstring>& names);

// "New folder", or "New folder (2)", "New folder (3)", ...: the first that none of `names` takes.
std::wstring FreeNewFolderName(const std::vector<std::wstring>& names);

// The folder "Extract to <name>\" writes into, named after the archive file: its name without
// the archive's extensions ("x" of "x.zip", "x.tar.gz", "x.tgz", "x.7z.001", "x.part1.rar"),
// trailing dots and spaces dropped, a device name marked as an extracted item's is ("_con" of
// "con.zip"); "Extracted" when nothing is left.
std::wstring ExtractFolderName(const std::wstring& archiveFileName);
