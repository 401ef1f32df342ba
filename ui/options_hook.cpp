#include "ui/options_hook.h"

#include <atomic>

namespace {
std::atomic<OptionsRunner> g_optionsRunner{nullptr};
}

void InstallOptionsRunner(OptionsRunner runner) { g_optionsRunner = runner; }

void RunOptions(HWND owner) {
    if (const OptionsRunner runner = g_optionsRunner.load()) runner(owner);
}
