#pragma once
// The rules for a name the user gives an item: a new folder, or a new name for an entry or a
// file. Pure text work.
#include <string>
#include <string_view>
#include <vector>

#include "base/archive_file_names.h"  // ExtractFolderName

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
