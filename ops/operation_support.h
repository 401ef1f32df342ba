#pragma once
// Small pieces shared by the archive operations.
#include <string>
#include <string_view>

#include "ops/tool_runner.h"

class ItemCatalog;

// A message box with the program's caption, owned by `OwnerWindow`.
void ShowOperationMessage(const std::wstring& text);

// The settings of one archiver run for the catalogue's operation: its state, its flags, the
// password to answer the first prompt with (UTF-8), the password prompt and the replace question.
ToolRunSettings ToolRunSettingsFor(ItemCatalog& catalog, const std::string& knownPassword);

// The program's own file, started to open an archive found inside an archive.
std::wstring SelfProgramPath();
// Tests start a harmless program in its place.
void SetSelfProgramPathForTesting(std::wstring path);
