#include "ops/operation_support.h"

#include <windows.h>

#include "app/app_globals.h"
#include "base/program_path.h"
#include "catalog/item_catalog.h"
#include "ops/progress.h"
#include "ui/password_dialog.h"

namespace {
std::wstring g_selfProgramOverride;
}

void ShowOperationMessage(const std::wstring& text) {
    RunPrompt([&](HWND owner) { return static_cast<INT_PTR>(MessageBoxW(owner, text.c_str(), kDisplayName, MB_OK)); });
}

ToolRunSettings ToolRunSettingsFor(ItemCatalog& catalog, const std::string& knownPassword) {
    ToolRunSettings settings;
    settings.state = catalog.state.load();
    settings.knownPassword = knownPassword;
    settings.yesToAll = &catalog.yesToAll;
    settings.cancel = &catalog.cancel;
    settings.askPassword = []() -> std::optional<std::string> {
        std::string typed;
        if (!AskPassword(typed)) return std::nullopt;
        return typed;
    };
    settings.confirmReplace = [] {
        return RunPrompt([](HWND owner) {
                   return static_cast<INT_PTR>(MessageBoxW(owner, L"File already exists.\nDo you want to replace it?",
                                                           kDisplayName, MB_YESNO));
               }) == IDYES;
    };
    if (settings.state == OperationState::Adding) settings.countProgress = [] { ++g_progress.completed; };
    // A delete counts in percent. Its window stays up at 100 %: the result is checked after.
    if (settings.state == OperationState::Deleting)
        settings.reportPercent = [](int percent) { g_progress.completed = percent < 99 ? percent : 99; };
    return settings;
}

std::wstring SelfProgramPath() {
    if (!g_selfProgramOverride.empty()) return g_selfProgramOverride;
    return ProgramFilePath();
}

void SetSelfProgramPathForTesting(std::wstring path) { g_selfProgramOverride = std::move(path); }
