#pragma once
// Small pieces shared by the archive operations.
#include <string>
#include <string_view>

#include "ops/archive_operations.h"
#include "ops/tool_runner.h"

class ItemCatalog;

// Starts an operation: the cancel and refusal flags of an earlier one no longer count.
void BeginOperation();

// Ends an operation: true when the user ended it (`cancelledByUser`, Cancel, a refused password
// prompt). The flags are cleared so that they do not outlive it: extractions outside the
// catalogue (the whole archive from the file view) use the same engine hook.
bool EndOperation(bool cancelledByUser);

// An outcome with one message (none when `message` is empty).
OperationOutcome Outcome(OperationResult result, const std::wstring& message = {});

// The settings of one archiver run for the catalogue's operation: its state, its flags, the
// password to answer the first prompt with (UTF-8), the password prompt and the replace question.
ToolRunSettings ToolRunSettingsFor(ItemCatalog& catalog, const std::string& knownPassword);
