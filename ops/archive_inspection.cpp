#include "ops/archive_inspection.h"

#include "engine/archive_kind.h"
#include "engine/extraction.h"
#include "ops/extraction_report.h"
#include "ops/fault_texts.h"
#include "ops/operation_support.h"
#include "ops/operation_ui.h"
#include "ops/progress.h"

namespace {

std::wstring Count(uint64_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// Runs `work` behind the progress window (on this thread when no window can be had).
template <typename Work>
bool RunInspection(const wchar_t* title, const wchar_t* text, Work work) {
    OperationProgress progress;
    const ProgressOutcome shown = RunWithProgress(title, text, progress, work);
    if (shown == ProgressOutcome::NoThread) work();
    return !progress.endedByUser(shown == ProgressOutcome::Cancelled);
}

}  // namespace

ArchiveTest TestArchive(const std::wstring& archivePath, std::wstring& password) {
    ArchiveTest test;
    std::wstring used = password;
    const bool finished = RunInspection(L"Test Archive", L"Testing ", [&] {
        RetryingWrongPasswords(archivePath, test.outcome, [&](bool again) {
            if (again) used.clear();
            test.outcome = testArchive(archivePath, archiveKindOf(archivePath), used);
        });
    });
    if (!finished || test.outcome.cancelled) {
        test.result = OperationResult::Cancelled;
        return test;
    }
    if (test.outcome.succeeded()) {
        password = used;
        test.result = OperationResult::Done;
    }
    return test;
}

std::wstring TestReportText(const ArchiveTest& test, const std::wstring& archiveName) {
    const ExtractionOutcome& outcome = test.outcome;
    if (!outcome.opened) {
        std::wstring text = archiveName + L" could not be tested: it does not open as an archive";
        if (const std::wstring problem = OpenProblemText(outcome); !problem.empty()) text += L" (" + problem + L")";
        return text + L".";
    }
    const std::wstring contents = Count(outcome.tested, L"file", L"files") + L" and " +
                                  Count(outcome.testedFolders, L"folder", L"folders");
    const std::wstring amiss = ArchiveWarningText(outcome);
    const std::wstring warning = amiss.empty() ? std::wstring() : L"\nWarning: there is " + amiss + L".";
    if (test.result == OperationResult::Done) return archiveName + L": no errors found in " + contents + L"." + warning;
    std::wstring text = archiveName + L": errors found.";
    if (const std::wstring damage = ArchiveProblemText(outcome); !damage.empty())
        text += L"\nThe archive is damaged: " + damage + L".";
    if (const std::wstring stopped = EngineProblemText(outcome); !stopped.empty())
        text += L"\nThe test stopped: " + stopped + L".";
    if (outcome.wrongPassword) text += L"\nThe password is wrong, or the encrypted data is damaged.";
    if (outcome.failed != 0) {
        text += L"\n" + Count(outcome.failed, L"item", L"items") + L" failed:";
        for (const auto& failure : outcome.failures)
            text += L"\n    " + FailedItemName(failure) + L"  -  " + ItemFaultText(failure.fault);
        if (outcome.failed > outcome.failures.size())
            text += L"\n    ... and " + std::to_wstring(outcome.failed - outcome.failures.size()) + L" more";
    }
    if (outcome.missing != 0)
        text += L"\n" + Count(outcome.missing, L"item was", L"items were") +
                L" never read: the archive ends before their data.";
    text += warning + L"\n" + contents + L" passed the test.";
    return text;
}

PropertiesReport ArchivePropertiesOf(const std::wstring& archivePath, std::wstring& password) {
    PasswordQuestionFor question(archivePath);
    PropertiesReport report;
    std::wstring used = password;
    if (!RunInspection(L"Properties", L"Reading ", [&] {
            const ArchiveKind kind = archiveKindOf(archivePath);
            report = ArchivePropertiesReport(readArchiveFacts(archivePath, kind, used), kind);
        }))
        report.cancelled = true;
    if (report.opened) password = used;
    return report;
}

PropertiesReport EntryPropertiesOf(const std::wstring& archivePath, std::wstring& password,
                                   const std::wstring& entryPath) {
    PasswordQuestionFor question(archivePath);
    PropertiesReport report;
    std::wstring used = password;
    if (!RunInspection(L"Properties", L"Reading ", [&] {
            report = EntryPropertiesReport(readEntryFacts(archivePath, archiveKindOf(archivePath), used, entryPath),
                                           entryPath);
        }))
        report.cancelled = true;
    if (report.opened) password = used;
    return report;
}
