#include "ops/batch_extraction.h"

#include <windows.h>

#include <optional>

#include "base/paths.h"
#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "engine/archive_probe.h"
#include "engine/extraction.h"
#include "ops/entry_names.h"
#include "ops/extract_destination.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/smart_extraction.h"

namespace {

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class TopNamesSink : public ListingSink {
public:
    void begin(uint32_t) override {}
    void add(const ListedItem& item) override { names.add(item.path); }
    TopLevelNames names;
};

// Where a smart extraction of `archive` goes, from its listing. `password` takes the one that
// opened the listing, so that the extraction does not ask again. Nothing when it could not be listed.
std::optional<SmartPlace> SmartPlaceOf(const std::wstring& archive, std::wstring& password) {
    TopNamesSink sink;
    ListingRun run;
    if (listArchive(archive, archiveKindOf(archive), run, sink) != 0) return std::nullopt;
    password = run.password;
    sink.names.addUnnamed(run.format.defaultItemName);
    return SmartDestination(sink.names.names(), archive, PathExists);
}

void ExtractOne(const ArchiveToExtract& job, ExtractedArchive& done) {
    WholeArchiveExtraction& extraction = done.extraction;
    const ArchiveKind kind = archiveKindOf(job.archive);
    if (kind == None && !isReadableArchive(job.archive)) {
        extraction = NotAnArchiveFile();
        return;
    }
    std::wstring password;
    bool makeFolder = job.place == ArchivePlace::OwnFolder;
    done.destination = job.place == ArchivePlace::OwnFolder
                           ? JoinPath(job.folder, ExtractFolderName(FileNameOf(job.archive)))
                           : job.folder;
    if (job.place == ArchivePlace::Smart) {
        // An archive that cannot be listed goes into a folder of its own: its extraction tells why.
        const std::optional<SmartPlace> place = SmartPlaceOf(job.archive, password);
        // Cancel, or the password prompt of an archive whose list is encrypted refused.
        if (OperationCancelled() || (!place && WorkProgress().passwordRefused.load() != 0)) {
            extraction.cancelled = true;
            return;
        }
        const SmartPlace chosen = place ? *place : SmartDestination({L"", L""}, job.archive, PathExists);
        done.destination = chosen.folder;
        makeFolder = chosen.newFolder;
    }
    ExtractDestination made;
    if (makeFolder) {
        SetLastError(0);
        if (!made.Make(done.destination)) {
            const DWORD error = GetLastError();
            extraction = FolderNotMade(done.destination, error);
            return;
        }
    }
    int result = 1;
    ExtractionOptions options;
    options.existingFiles = job.existingFiles;
    RetryingWrongPasswords(job.archive, extraction.outcome, [&](bool again) {
        if (again) password.clear();
        result = extractArchive(job.archive, kind, done.destination, password, nullptr, options, &extraction.outcome);
    });
    extraction.cancelled = extraction.outcome.declined || extraction.outcome.cancelled || OperationCancelled();
    extraction.result = result == 0 ? WholeArchiveResult::Extracted : WholeArchiveResult::Failed;
    // A run that wrote nothing (a Cancel at the password prompt, say) leaves no folder behind.
    if (result != 0) made.RemoveUnused();
}

// The message for several archives; empty when there is nothing to tell.
std::wstring SeveralArchivesMessage(const std::vector<ExtractedArchive>& extracted) {
    size_t done = 0;
    std::wstring succeeded, failed, leftOut;
    bool notes = false;
    for (const ExtractedArchive& one : extracted) {
        const std::wstring name = FileNameOf(one.archive);
        if (!one.reached || one.extraction.cancelled) {
            leftOut += (leftOut.empty() ? L"" : L", ") + name;
            continue;
        }
        const OperationOutcome told = WholeArchiveOutcome(one.extraction, name);
        if (told.done()) {
            ++done;
            succeeded += L"\n" + name + L": extracted to " + one.destination;
            for (const std::wstring& message : told.messages) {
                succeeded += L"\n" + message;
                notes = true;
            }
        } else {
            for (const std::wstring& message : told.messages) failed += L"\n\n" + message;
        }
    }
    if (failed.empty() && leftOut.empty() && !notes) return {};
    std::wstring message = L"Extracted " + std::to_wstring(done) + L" of " + std::to_wstring(extracted.size()) +
                           L" archives.";
    if (!succeeded.empty()) message += L"\n" + succeeded;
    message += failed;
    if (!leftOut.empty()) message += L"\n\nNot extracted (cancelled): " + leftOut;
    return message;
}

}  // namespace

std::vector<ExtractedArchive> ExtractArchives(const std::vector<ArchiveToExtract>& archives) {
    std::vector<ExtractedArchive> extracted(archives.size());
    for (size_t index = 0; index < archives.size(); ++index) extracted[index].archive = archives[index].archive;
    OperationProgress progress;
    const auto work = [&] {
        for (size_t index = 0; index < archives.size(); ++index) {
            if (OperationCancelled()) break;
            extracted[index].reached = true;
            ExtractOne(archives[index], extracted[index]);
            if (extracted[index].extraction.cancelled) break;
        }
    };
    const ProgressOutcome shown = RunWithProgress(L"Extract Files", L"Extracting Files ... ", progress, work);
    if (shown == ProgressOutcome::NoThread) work();
    return extracted;
}

OperationOutcome ArchivesOutcome(const std::vector<ExtractedArchive>& extracted) {
    if (extracted.size() == 1) return WholeArchiveOutcome(extracted.front().extraction, FileNameOf(extracted.front().archive));
    bool failed = false, cancelled = false;
    for (const ExtractedArchive& one : extracted) {
        if (!one.reached || one.extraction.cancelled) cancelled = true;
        else if (!WholeArchiveOutcome(one.extraction, FileNameOf(one.archive)).done()) failed = true;
    }
    const OperationResult result = failed ? OperationResult::Failed
                                   : cancelled ? OperationResult::Cancelled
                                               : OperationResult::Done;
    return Outcome(result, SeveralArchivesMessage(extracted));
}
