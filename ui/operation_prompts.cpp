#include "ui/operation_prompts.h"

#include "ops/operation_ui.h"
#include "ui/app_globals.h"
#include "ui/extraction_dialogs.h"
#include "ui/password_dialog.h"
#include "res/resource.h"
#include "ui/progress_window.h"
#include "ui/resource_module.h"
#include "ui/user_messages.h"

namespace {

class DialogOperationUi final : public OperationUi {
public:
    ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                    std::function<void()> work) override {
        return RunProgressWindow(title, operationText, progress, std::move(work));
    }

    std::optional<std::string> AskPassword(const PasswordQuestion& question) override {
        std::string typed;
        if (!::AskPassword(typed, question.archiveName, question.again)) return std::nullopt;
        return typed;
    }

    bool ConfirmReplace() override {
        return RunPrompt([](HWND owner) -> INT_PTR {
                   return AskUser({ResourceString(IDS_REPLACE_QUESTION)}, owner) ? IDYES : IDNO;
               }) == IDYES;
    }

    ReplaceAnswer AskReplace(const ReplaceQuestion& question) override { return AskReplaceQuestion(question); }

    HWND OwnerWindow() override { return g_app.OwnerWindow.load(); }
};

DialogOperationUi g_dialogs;

}  // namespace

void InstallOperationPrompts() { InstallOperationUi(&g_dialogs); }
