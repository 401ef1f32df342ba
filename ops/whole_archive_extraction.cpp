#include "ops/whole_archive_extraction.h"

#include "base/system_error.h"
#include "engine/extraction.h"
#include "base/paths.h"
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "ops/extract_destination.h"
#include "ops/extraction_report.h"
#include "ops/operation_support.h"
#include "ops/progress.h"

WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination,
                                           ExistingFilePolicy existingFiles, ZoneMarking zoneMarking) {
    ExtractionOptions options;
    options.existingFiles = existingFiles;
    options.zoneMarking = zoneMarking;
    return ExtractWholeArchive(archivePath, destination, options, std::wstring());
}

WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination,
                                           const ExtractionOptions& options, const std::wstring& password) {
    WholeArchiveExtraction extraction;
    OperationProgress progress;
    int result = 1;  // extractAll's: 0 extracted, -1 no archive type, else failed
    const auto extract = [&] {
        // A wrong password is asked again: the given one is tried first, then the user is asked.
        std::wstring used = password;
        RetryingWrongPasswords(archivePath, extraction.outcome, [&](bool again) {
            if (again) used.clear();
            result = extractAll(archivePath, destination, used, options, &extraction.outcome);
        });
    };
    const ProgressOutcome outcome = RunWithProgress(L"Extract Files", L"Extracting Files ... ", progress, extract);
    if (outcome == ProgressOutcome::NoThread) extract();
    // Cancel in the progress window, in a replace question, or at the password prompt.
    extraction.cancelled =
        outcome == ProgressOutcome::Cancelled || extraction.outcome.declined || extraction.outcome.cancelled;
    extraction.result = result == 0    ? WholeArchiveResult::Extracted
                        : result == -1 ? WholeArchiveResult::NotAnArchive
                                       : WholeArchiveResult::Failed;
    return extraction;
}

WholeArchiveExtraction NotAnArchiveFile() {
    WholeArchiveExtraction extraction;
    extraction.result = WholeArchiveResult::NotAnArchive;
    return extraction;
}

WholeArchiveExtraction FolderNotMade(const std::wstring& folder, DWORD error) {
    WholeArchiveExtraction extraction;
    extraction.result = WholeArchiveResult::NoFolder;
    extraction.folder = folder;
    extraction.folderError = error;
    return extraction;
}

OperationOutcome WholeArchiveOutcome(const WholeArchiveExtraction& extraction, const std::wstring& archiveName) {
    if (extraction.cancelled) return Outcome(OperationResult::Cancelled);
    if (extraction.result == WholeArchiveResult::NotAnArchive)
        return Outcome(OperationResult::Failed, archiveName + L" is not valid archive file.");
    if (extraction.result == WholeArchiveResult::NoFolder)
        return Outcome(OperationResult::Failed, L"Could not extract " + archiveName + L"\nThe folder " +
                                                    extraction.folder + L" could not be made: " +
                                                    SystemErrorText(extraction.folderError) + L".");
    const std::wstring message = ExtractionMessage(extraction.outcome, archiveName);
    if (extraction.result == WholeArchiveResult::Extracted) return Outcome(OperationResult::Done, message);
    // A password refused: the user knows why.
    return Outcome(OperationResult::Failed, message.empty() ? L"Could not extract " + archiveName : message);
}

WholeArchiveExtraction ExtractWholeArchiveAsChosen(const std::wstring& archivePath, const ExtractChoices& choices,
                                                   std::wstring& destinationUsed) {
    destinationUsed.clear();
    if (archiveKindOf(archivePath) == None && !isReadableArchive(archivePath)) return NotAnArchiveFile();
    std::wstring password = choices.password;
    size_t landing = 0;
    if (choices.newFolder) {
        // The archive's list is read to count what lands at the top: a large one takes a while,
        // behind the progress window and its Cancel.
        OperationProgress progress;
        bool refused = false;
        const auto work = [&] {
            landing = ArchiveLandingTopCount(archivePath, choices.paths, password);
            refused = WorkProgress().passwordRefused.load() != 0;
        };
        const ProgressOutcome shown = RunWithProgress(L"Extract Files", L"Reading the archive ... ", progress, work);
        if (shown == ProgressOutcome::NoThread) work();
        if (shown == ProgressOutcome::Cancelled || refused) {
            WholeArchiveExtraction cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
    }
    const bool ownFolder = landing >= 2;
    const std::wstring destination =
        ownFolder ? FreeFolderFor(choices.destination, FileNameOf(archivePath)) : choices.destination;
    ExtractDestination made;
    SetLastError(0);
    if (!made.Make(destination)) return FolderNotMade(destination, GetLastError());
    ExtractionOptions options;
    options.existingFiles = choices.existingFiles;
    options.noPaths = choices.paths == PathMode::None;
    options.zoneMarking = choices.zoneMarking;
    WholeArchiveExtraction extraction = ExtractWholeArchive(archivePath, destination, options, password);
    if (extraction.result == WholeArchiveResult::Extracted) destinationUsed = destination;
    else made.RemoveUnused();
    return extraction;
}
