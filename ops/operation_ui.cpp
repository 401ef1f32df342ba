#include "ops/operation_ui.h"

#include <atomic>
#include <mutex>

#include "base/paths.h"

#include "engine/engine_events.h"
#include "ops/engine_event_handler.h"
#include "ops/worker_thread.h"

namespace {

// Runs the work where it is asked for and answers every question with "no".
class NoOperationUi final : public OperationUi {
public:
    ProgressOutcome RunWithProgress(const wchar_t*, const wchar_t*, ProgressCounters&,
                                    std::function<void()> work) override {
        work();
        return ProgressOutcome::Completed;
    }
    std::optional<std::string> AskPassword(const PasswordQuestion&) override { return std::nullopt; }
    bool ConfirmReplace() override { return false; }
    ReplaceAnswer AskReplace(const ReplaceQuestion&) override { return ReplaceAnswer::No; }
    HWND OwnerWindow() override { return nullptr; }
};

NoOperationUi g_noUi;
std::atomic<OperationUi*> g_ui{nullptr};

std::mutex g_questionLock;
PasswordQuestion g_question;

}  // namespace

void SetPasswordQuestion(PasswordQuestion question) {
    std::lock_guard<std::mutex> lock(g_questionLock);
    g_question = std::move(question);
}

PasswordQuestion CurrentPasswordQuestion() {
    std::lock_guard<std::mutex> lock(g_questionLock);
    return g_question;
}

PasswordQuestionFor::PasswordQuestionFor(const std::wstring& archivePath)
    : before_(CurrentPasswordQuestion()), archiveName_(FileNameOf(archivePath)) {
    SetPasswordQuestion({archiveName_, false});
}

PasswordQuestionFor::~PasswordQuestionFor() { SetPasswordQuestion(std::move(before_)); }

void PasswordQuestionFor::Again() { SetPasswordQuestion({archiveName_, true}); }

void InstallOperationUi(OperationUi* ui) {
    g_ui = ui;
    SetEngineEventHandler(HandleEngineEvent);
    SetEngineBackgroundRunner(StartBackgroundWork);
}

OperationUi& CurrentOperationUi() {
    OperationUi* ui = g_ui.load();
    return ui ? *ui : g_noUi;
}

namespace {
thread_local ProgressCounters t_nobodys;
}  // namespace

ProgressCounters& WorkProgress() {
    ProgressCounters* bound = ThisThreadProgress();
    return bound ? *bound : t_nobodys;
}

bool OperationCancelled() { return WorkProgress().cancel.load() != 0; }

ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                std::function<void()> work) {
    return CurrentOperationUi().RunWithProgress(title, operationText, progress,
                                                [&progress, work = std::move(work)] {
                                                    ProgressOnThisThread bound(progress);
                                                    work();
                                                });
}
