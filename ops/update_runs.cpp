#include "ops/update_runs.h"

#include <windows.h>

#include <algorithm>

#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_listing.h"
#include "engine/archive_name_encoding.h"
#include "engine/zip_names.h"
#include "engine/archive_probe.h"
#include "engine/integrity_check.h"
#include "ops/fault_texts.h"
#include "ops/operation_support.h"
#include "ops/temp_workspace.h"
#include "ops/tool_runner.h"
#include "ops/update_listing.h"

namespace {

constexpr wchar_t kToolName[] = L"7z.exe";

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Why an archive did not read back intact.
std::wstring IntegrityProblem(const IntegrityResult& checked) {
    if (checked.failure.open.kind != OpenFailure::Kind::None)
        return L"it does not open as an archive: " + OpenFailureCause(checked.failure.open);
    if (checked.failure.any()) return ReadFailureText(checked.failure);
    if (checked.itemResult != 0) return EngineResultText(checked.itemResult);
    return ArchiveDamageText(checked.damage);
}

}  // namespace

UpdateRuns::UpdateRuns(ItemCatalog& catalog, const ArchiveGuard& guard, std::wstring command, std::wstring format,
                       const AddChoices* choices)
    : catalog_(catalog),
      guard_(guard),
      command_(std::move(command)),
      format_(std::move(format)),
      choices_(choices),
      password_(WideToUtf8Lossy(catalog.password)) {
    // A listing left by an earlier change shows nothing of this one.
    catalog.updatedListing.reset();
    const ArchiveNameEncoding& names = catalog.format.names;
    if (format_ == L"zip" && names.codePage != 0 && (names.guess.legacy || names.chosen)) {
        nameCodePage_ = names.codePage;
        // The work file is read back with the names' code page of the archive it replaces.
        chooseNameCodePage(guard_.workPath(), nameCodePage_);
    }
}

UpdateRuns::~UpdateRuns() {
    if (nameCodePage_) chooseNameCodePage(guard_.workPath(), 0);
}

ToolCommandLine UpdateRuns::NextCommand() const {
    const bool first = !guard_.workWritten();
    ToolCommandLine command(ToolPath(kToolName), command_, first ? catalog_.archivePath : guard_.workPath());
    command.setArchiveKind(archiveKindOf(catalog_.archivePath));
    if (!format_.empty()) command.setFormat(format_);
    if (choices_) {
        command.addSwitches(choices_->switches);
        command.setUpdateActions(choices_->updateActions);
    }
    if (first) command.writeTo(guard_.workPath());
    // Without its code page the archiver matches no legacy name (a delete then deletes nothing);
    // "-mcu" writes names it adds in UTF-8, which every machine reads alike. The names of the
    // other entries it copies as they are stored.
    if (nameCodePage_) command.addSwitches({L"-mcp=" + std::to_wstring(nameCodePage_), L"-mcu"});
    command.matchCase(matchCase_);
    return command;
}

bool UpdateRuns::Run(const ToolCommandLine& command) {
    ToolRunResult run = RunTool(command, ToolRunSettingsFor(catalog_, password_));
    // A password typed for this update answers the prompts of its later runs too.
    if (run.typedPassword) password_ = *run.typedPassword;
    // A first run is run again only when it left no work file behind, which the next would meet.
    const bool leftNothing = command.archivePath() == guard_.workPath() || !guard_.workWritten();
    if (!run.succeeded() && !run.stopped && !OperationCancelled() && !matchCase_ && leftNothing &&
        RefusesNamesDifferingInCase(run.report)) {
        // The archive holds names that differ only in case, which the archiver keeps apart only
        // when it matches names with regard to case: this run again, and every later one so.
        matchCase_ = true;
        ToolCommandLine again = command;
        again.matchCase(true);
        run = RunTool(again, ToolRunSettingsFor(catalog_, password_));
        if (run.typedPassword) password_ = *run.typedPassword;
    }
    if (run.stopped || OperationCancelled()) {
        stopped = true;
        return false;
    }
    if (run.succeeded()) return true;
    failure = run.started ? FailureInToolOutput(run.report, CauseNamingSystemTexts()) : UpdateFailure::NotStarted;
    if (failure == UpdateFailure::Unknown) {
        // No cause of its own: the archiver's own words, or, when it said neither that it had
        // finished nor what went wrong, it was ended from outside.
        archiverWords = ArchiverErrorWords(run.report);
        if (archiverWords.empty() && !run.reportedSuccess) failure = UpdateFailure::ArchiverEnded;
    }
    return false;
}

bool UpdateRuns::going() const {
    return !stopped && failure == UpdateFailure::None && refusal.empty() && !OperationCancelled();
}

std::wstring ToolFormat(const ItemCatalog& catalog, const CreationOptions* options) {
    if (!catalog.format.name.empty()) return catalog.format.name;
    if (GetFileAttributesW(catalog.archivePath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::wstring found = formatBySignature(catalog.archivePath);
        if (!found.empty()) return found;
    } else if (options) {
        return options->format;
    }
    switch (archiveKindOf(catalog.archivePath)) {
    case SevenZip: return L"7z";
    case Zip: return L"zip";
    default: return FormatOfExtension(catalog.archivePath);
    }
}

bool CanChange(const ItemCatalog& catalog, const std::wstring& format) {
    if (!catalog.format.name.empty()) return catalog.format.writable();
    if (format.empty()) return false;
    if (GetFileAttributesW(catalog.archivePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::vector<std::wstring> formats = CreatableFormats();
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    }
    return formatIsUpdatable(format);
}

bool ArchiveCanChange(const ItemCatalog& catalog) { return CanChange(catalog, ToolFormat(catalog, nullptr)); }

namespace {

// Keeps each entry's path, size and CRC.
class EntrySink final : public ListingSink {
public:
    void begin(uint32_t count) override { entries.reserve(count); }
    void add(const ListedItem& item) override {
        entries.push_back({std::wstring(item.path), item.hasSize, item.hasCrc, item.size, item.crc});
    }
    bool wantsCrc() const override { return true; }
    std::vector<ListedEntry> entries;
};

std::vector<std::wstring_view> PathsOf(const std::vector<ListedEntry>& entries) {
    std::vector<std::wstring_view> paths;
    paths.reserve(entries.size());
    for (const ListedEntry& entry : entries) paths.push_back(entry.path);
    return paths;
}

}  // namespace

std::optional<std::vector<ListedEntry>> ListEntries(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password) {
    ListingRun run;
    run.password = Utf8ToWideLossy(password);
    EntrySink sink;
    if (listArchive(archive, kind, run, sink) != 0) return std::nullopt;
    return std::move(sink.entries);
}

std::optional<std::vector<std::wstring>> EntryPaths(const std::wstring& archive, ArchiveKind kind,
                                                    const std::string& password) {
    const std::optional<std::vector<ListedEntry>> entries = ListEntries(archive, kind, password);
    if (!entries) return std::nullopt;
    std::vector<std::wstring> paths;
    paths.reserve(entries->size());
    for (const ListedEntry& entry : *entries) paths.push_back(entry.path);
    return paths;
}

std::wstring Conclude(ItemCatalog& catalog, ArchiveGuard& guard, const UpdateRuns& runs, const ResultCheck& check,
                      const UntouchedEntries& untouched, bool verifyWhole) {
    const std::wstring name = FileNameOf(catalog.archivePath);
    const auto fail = [&](const std::wstring& cause) {
        return UpdateFailureMessage(name, cause, guard.existedBefore());
    };
    if (runs.stopped || OperationCancelled()) return {};
    if (!runs.refusal.empty()) return fail(runs.refusal);
    if (runs.failure != UpdateFailure::None)
        return fail(runs.archiverWords.empty() ? UpdateFailureCause(runs.failure) : runs.archiverWords);
    const ArchiveKind kind = archiveKindOf(catalog.archivePath);
    // The work file is listed once: for the check, and as the catalogue's next listing.
    std::optional<UpdatedListing> after;
    if (guard.workWritten()) after = ListUpdated(guard.workReadPath(), catalog.archivePath, kind, runs.password());
    if (OperationCancelled()) return {};
    if (!after) return fail(UpdateFailureCause(UpdateFailure::Unverified));
    const auto problemAgainst = [&](const std::vector<ListedEntry>& before) {
        std::wstring problem = check(PathsOf(before), PathsOf(after->entries));
        return problem.empty() ? UntouchedContentProblem(before, after->entries, untouched) : problem;
    };
    std::wstring problem;
    if (!guard.existedBefore()) {
        problem = problemAgainst({});
    } else {
        // Nobody could write the archive since before the archiver read it: the catalogue's record
        // of it stands for a listing of it, unless the archive changed before that.
        std::optional<std::vector<ListedEntry>> catalogued;
        if (guard.heldAgainstWriters()) catalogued = CataloguedEntries(catalog);
        if (catalogued) problem = problemAgainst(*catalogued);
        if (!catalogued || !problem.empty()) {
            // The archive as it is on disk now.
            const auto before = ListEntries(catalog.archivePath, kind, runs.password());
            if (OperationCancelled()) return {};
            if (!before) return fail(UpdateFailureCause(UpdateFailure::Unverified));
            problem = problemAgainst(*before);
        }
    }
    if (!problem.empty()) return fail(problem);
    if (runs.nameCodePage() && guard.existedBefore()) {
        // Names are the user's data too: the other entries' names must be stored as they were.
        ZipNamesRead storedBefore, storedAfter;
        if (!readZipNames(catalog.archivePath, UINT64_MAX, storedBefore) || !storedBefore.complete ||
            !readZipNames(guard.workReadPath(), UINT64_MAX, storedAfter) || !storedAfter.complete)
            return fail(UpdateFailureCause(UpdateFailure::Unverified));
        problem = UntouchedNameBytesProblem(storedBefore.names, storedAfter.names, runs.nameCodePage(), untouched);
        if (!problem.empty()) return fail(problem);
    }
    if (verifyWhole) {
        // The files are about to go: the archive must give every one of them back intact.
        std::wstring password = Utf8ToWideLossy(runs.password());
        const IntegrityResult checked = checkArchiveIntegrity(guard.workReadPath(), kind, password);
        if (checked.stopped || OperationCancelled()) return {};
        if (!checked.intact)
            return fail(L"the archiver's result did not read back intact (" + IntegrityProblem(checked) + L")");
    }
    const UpdateFailure committed = guard.Commit();
    if (committed != UpdateFailure::None) return fail(UpdateFailureCause(committed));
    // The password that served the archiver opens the archive for the reload too.
    if (!runs.password().empty()) catalog.password = Utf8ToWideLossy(runs.password());
    catalog.updatedListing = std::move(after->catalog);
    return {};
}

OperationOutcome Concluded(const ItemCatalog& catalog, const OperationProgress& progress, ProgressOutcome shown,
                           const ModifyResult& result) {
    std::wstring message = result.message;
    if (shown == ProgressOutcome::NoThread)
        message = UpdateFailureMessage(FileNameOf(catalog.archivePath), L"", FileExists(catalog.archivePath));
    const bool stopped = shown == ProgressOutcome::Cancelled || result.stopped || progress.cancelled();
    if (stopped) return Outcome(OperationResult::Cancelled);
    return message.empty() ? Outcome(OperationResult::Done, result.note) : Outcome(OperationResult::Failed, message);
}
