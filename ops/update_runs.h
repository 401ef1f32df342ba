#pragma once
// What every change of an archive through the archiver shares: its runs against the work file
// of an ArchiveGuard, the format it writes, the check of the work file against the archive, and
// the end of the operation with the message of a failure.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "ops/archive_guard.h"
#include "ops/archive_operations.h"
#include "ops/creation_options.h"
#include "ops/progress.h"
#include "ops/tool_command_line.h"
#include "ops/update_check.h"
#include "ops/update_failure.h"

class ItemCatalog;

// What an add asks of the archiver beyond the names: the choices of the "Add To Archive" dialog.
struct AddChoices {
    std::vector<std::wstring> switches;  // compression, split parts, encryption
    std::wstring updateActions;          // empty: add and replace
    UpdateMode mode = UpdateMode::AddAndReplace;
    bool split = false;
    bool singleFile = false;             // gzip, bzip2, xz: one compressed file
    bool deleteAfter = false;
};

// The archiver's runs of one change: the first reads the archive and writes the work file,
// later ones update the work file in place.
class UpdateRuns {
public:
    // `command` is the archiver's command ("a", "d", "rn"); `format` the format it writes (by
    // the engine's name; empty: the archive's kind tells); `choices` (may be null) those of an add.
    UpdateRuns(ItemCatalog& catalog, const ArchiveGuard& guard, std::wstring command, std::wstring format,
               const AddChoices* choices = nullptr);

    ~UpdateRuns();
    ToolCommandLine NextCommand() const;
    // A zip whose names are in a code page of their own: that code page (the archiver reads the
    // names with it and writes new ones in UTF-8); else 0.
    unsigned nameCodePage() const { return nameCodePage_; }
    const std::wstring& format() const { return format_; }
    // False once the update cannot go on: a failure, Cancel, or a declined prompt.
    bool Run(const ToolCommandLine& command);
    bool going() const;
    const std::string& password() const { return password_; }

    UpdateFailure failure = UpdateFailure::None;
    bool stopped = false;
    std::wstring refusal;  // why the change cannot be done as asked, found before the archiver ran
    std::wstring archiverWords;  // a failure of no known cause: what the archiver said, as a clause

private:
    ItemCatalog& catalog_;
    const ArchiveGuard& guard_;
    std::wstring command_;
    std::wstring format_;
    const AddChoices* choices_;
    std::string password_;
    bool matchCase_ = false;  // the archive holds names that differ only in case
    unsigned nameCodePage_ = 0;
};

// The format the archiver is to write: the one the archive was listed as, the one its bytes
// bear, or (for a new archive) the chosen one in `options` (may be null), else the one its
// extension names.
std::wstring ToolFormat(const ItemCatalog& catalog, const CreationOptions* options);

// The archiver can change the archive: a format it updates, in one file of its own; a new
// archive of a format it writes.
bool CanChange(const ItemCatalog& catalog, const std::wstring& format);

// The entries of an archive as the engine lists them, with their sizes and CRCs; nothing when it
// does not open.
std::optional<std::vector<ListedEntry>> ListEntries(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password);
// Their paths alone.
std::optional<std::vector<std::wstring>> EntryPaths(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password);

// Why the work file does not hold what it should (`before` and `after` the change); empty when
// it does.
using ResultCheck = std::function<std::wstring(const std::vector<std::wstring_view>& before,
                                               const std::vector<std::wstring_view>& after)>;

// After the runs: checks the work file against the archive (the entries by `check`, the content of
// those the change leaves alone as `untouched` says) and puts it in the archive's place. With
// `verifyWhole`, every item of the work file is decoded first. Returns the message for the user;
// empty when the archive was updated or the user stopped.
std::wstring Conclude(ItemCatalog& catalog, ArchiveGuard& guard, const UpdateRuns& runs, const ResultCheck& check,
                      const UntouchedEntries& untouched, bool verifyWhole = false);

// What a worker that changes the archive found.
struct ModifyResult {
    bool stopped = false;  // ended early by Cancel or a declined prompt
    std::wstring message;  // why the archive was not changed, for the user; empty when it was
    std::wstring note;     // what else the user should know of an update that was done
};

// Ends a change: the message of a failure, unless the user ended it.
OperationOutcome Concluded(const ItemCatalog& catalog, const OperationProgress& progress, ProgressOutcome shown,
                           const ModifyResult& result);
