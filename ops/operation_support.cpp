#include "ops/operation_support.h"

#include "base/paths.h"
#include "base/program_path.h"
#include "catalog/item_catalog.h"
#include "ops/operation_ui.h"
#include "ops/progress.h"

namespace {
std::wstring g_selfProgramOverride;
}

void RetryingWrongPasswords(const std::wstring& archivePath, ExtractionOutcome& outcome,
                            const std::function<void(bool again)>& attempt) {
    PasswordQuestionFor question(archivePath);
    for (bool again = false;; again = true) {
        if (again) {
            question.Again();
            outcome = ExtractionOutcome();
        }
        attempt(again);
        const bool stopped = outcome.cancelled || OperationCancelled();
        if (!outcome.wrongPassword || outcome.written != 0 || stopped) return;
    }
}

OperationOutcome Outcome(OperationResult result, const std::wstring& message) {
    OperationOutcome outcome;
    outcome.result = result;
    if (!message.empty()) outcome.messages.push_back(message);
    return outcome;
}

ToolRunSettings ToolRunSettingsFor(ItemCatalog& catalog, const std::string& knownPassword) {
    ToolRunSettings settings;
    settings.state = catalog.state.load();
    settings.knownPassword = knownPassword;
    settings.yesToAll = &catalog.yesToAll;
    ProgressCounters* const progress = &WorkProgress();
    settings.cancel = &progress->cancel;
    // The archiver's prompts name the archive.
    settings.askPassword = [name = FileNameOf(catalog.archivePath)](bool again) {
        return CurrentOperationUi().AskPassword({name, again});
    };
    settings.confirmReplace = [] { return CurrentOperationUi().ConfirmReplace(); };
    if (settings.state == OperationState::Adding) settings.countProgress = [progress] { ++progress->completed; };
    // A delete or a rename counts in percent. Its window stays up at 100 %: the result is checked after.
    if (settings.state == OperationState::Deleting || settings.state == OperationState::Renaming)
        settings.reportPercent = [progress](int percent) { progress->completed = percent < 99 ? percent : 99; };
    return settings;
}

std::wstring SelfProgramPath() {
    if (!g_selfProgramOverride.empty()) return g_selfProgramOverride;
    return ProgramFilePath();
}

void SetSelfProgramPathForTesting(std::wstring path) { g_selfProgramOverride = std::move(path); }
