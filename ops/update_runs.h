#pragma once
// What every change of an archive through the archiver shares: its runs against the work file
// of an ArchiveGuard, the check of the work file against the archive, and the end of the
// operation with the message of a failure.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "ops/archive_guard.h"
#include "ops/archive_operations.h"
#include "ops/progress.h"
#include "ops/tool_command_line.h"
#include "ops/update_failure.h"

class ItemCatalog;

// The archiver's runs of one change: the first reads the archive and writes the work file,
// later ones update the work file in place.
class UpdateRuns {
public:
    UpdateRuns(ItemCatalog& catalog, const ArchiveGuard& guard, std::wstring command);

    ToolCommandLine NextCommand() const;
    // False once the update cannot go on: a failure, Cancel, or a declined prompt.
    bool Run(const ToolCommandLine& command);
    bool going() const;
    const std::string& password() const { return password_; }

    UpdateFailure failure = UpdateFailure::None;
    bool stopped = false;

private:
    ItemCatalog& catalog_;
    const ArchiveGuard& guard_;
    std::wstring command_;
    std::string password_;
};

// The entry paths of an archive as the engine lists them; nothing when it does not open.
std::optional<std::vector<std::wstring>> EntryPaths(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password);

// Why the work file does not hold what it should (`before` and `after` the change, the entry
// paths the change named); empty when it does.
using ResultCheck = std::function<std::wstring(const std::vector<std::wstring>& before,
                                               const std::vector<std::wstring>& after)>;

// After the runs: checks the work file against the archive and puts it in the archive's place.
// Returns the message for the user; empty when the archive was updated or the user stopped.
std::wstring Conclude(ItemCatalog& catalog, ArchiveGuard& guard, const UpdateRuns& runs, const ResultCheck& check);

// What a worker that changes the archive found.
struct ModifyResult {
    bool stopped = false;  // ended early by Cancel or a declined prompt
    std::wstring message;  // why the archive was not changed, for the user; empty when it was
};

// Ends a change: the message of a failure, unless the user ended it.
OperationOutcome Concluded(const ItemCatalog& catalog, ProgressOutcome shown, const ModifyResult& result);
