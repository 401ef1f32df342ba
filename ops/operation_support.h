#pragma once
// Small pieces shared by the archive operations.
#include <functional>
#include <string>
#include <string_view>

#include "engine/extraction_outcome.h"

#include "ops/archive_operations.h"
#include "ops/tool_runner.h"

class ItemCatalog;

// Runs `attempt` (an extraction or a test that fills `outcome`), and again as long as it failed
// for a wrong password before it wrote anything: `again` tells the attempt to forget the password
// it used, so that the user is asked once more (the prompt naming `archivePath` and saying that
// the last password was wrong), until the right one or Cancel.
void RetryingWrongPasswords(const std::wstring& archivePath, ExtractionOutcome& outcome,
                            const std::function<void(bool again)>& attempt);

// An outcome with one message (none when `message` is empty).
OperationOutcome Outcome(OperationResult result, const std::wstring& message = {});

// The settings of one archiver run for the catalogue's operation (called on its worker): its
// state, the flags and counters of the operation whose work runs on this thread, the password to
// answer the first prompt with (UTF-8), the password prompt and the replace question.
ToolRunSettings ToolRunSettingsFor(ItemCatalog& catalog, const std::string& knownPassword);
