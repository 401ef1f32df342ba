#include "ops/whole_archive_extraction.h"

#include "base/system_error.h"
#include "engine/extraction.h"
#include "ops/extraction_report.h"
#include "ops/operation_support.h"
#include "ops/progress.h"

WholeArchiveExtraction ExtractWholeArchive(const std::wstring& archivePath, const std::wstring& destination,
                                           ExistingFilePolicy existingFiles) {
    WholeArchiveExtraction extraction;
    OperationProgress progress;
    int result = 1;  // extractAll's: 0 extracted, -1 no archive type, else failed
    const auto extract = [&] {
        // A wrong password is asked again (extractAll knows none, so it always asks).
        RetryingWrongPasswords(archivePath, extraction.outcome, [&](bool) {
            result = extractAll(archivePath, destination, &extraction.outcome, existingFiles);
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
