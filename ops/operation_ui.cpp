#include "ops/operation_ui.h"

#include <atomic>

#include "engine/engine_events.h"
#include "ops/engine_event_handler.h"

namespace {

// Runs the work where it is asked for and answers every question with "no".
class NoOperationUi final : public OperationUi {
public:
    ProgressOutcome RunWithProgress(const wchar_t*, const wchar_t*, std::function<void()> work) override {
        work();
        return ProgressOutcome::Completed;
    }
    std::optional<std::string> AskPassword() override { return std::nullopt; }
    bool ConfirmReplace() override { return false; }
    ReplaceAnswer AskReplace(const ReplaceQuestion&) override { return ReplaceAnswer::No; }
    HWND OwnerWindow() override { return nullptr; }
};

NoOperationUi g_noUi;
std::atomic<OperationUi*> g_ui{nullptr};

}  // namespace

void InstallOperationUi(OperationUi* ui) {
    g_ui = ui;
    SetEngineEventHandler(HandleEngineEvent);
}

OperationUi& CurrentOperationUi() {
    OperationUi* ui = g_ui.load();
    return ui ? *ui : g_noUi;
}

ProgressCounters g_progress;

ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, std::function<void()> work) {
    return CurrentOperationUi().RunWithProgress(title, operationText, std::move(work));
}
