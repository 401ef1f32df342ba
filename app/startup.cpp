#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <optional>

#include "app/command_line.h"
#include "app/command_line_add.h"
#include "app/command_line_extraction.h"
#include "app/command_line_paths.h"
#include "app/options_dialog.h"
#include "base/text.h"
#include "ops/archive_operations.h"
#include "ops/worker_thread.h"
#include "shell/startup_registration.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/app_globals.h"
#include "ui/resource_module.h"
#include "ui/checksum_dialog.h"
#include "ui/content_model.h"
#include "ui/main_window.h"
#include "ui/operation_prompts.h"
#include "ui/options_hook.h"
#include "ui/name_encoding_memory.h"
#include "ui/settings.h"

namespace {

// COM and GDI+ for the whole run, shut down again on every way out.
class ProcessServices {
public:
    ProcessServices() {
        comReady_ = SUCCEEDED(CoInitialize(nullptr));
        Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
        gdiplusReady_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) == Gdiplus::Ok;
    }
    ~ProcessServices() {
        shutDownCom();
        if (gdiplusReady_) Gdiplus::GdiplusShutdown(gdiplusToken_);
    }
    ProcessServices(const ProcessServices&) = delete;
    ProcessServices& operator=(const ProcessServices&) = delete;

    void shutDownCom() {
        if (comReady_) CoUninitialize();
        comReady_ = false;
    }

private:
    bool comReady_ = false;
    bool gdiplusReady_ = false;
    ULONG_PTR gdiplusToken_ = 0;
};

void KeepRegistrationCurrent(HINSTANCE instance, bool registerCommand = false) {
    RefreshShellRegistration(instance, registerCommand);
}

// Keeps the registration current on a worker of its own, joined before the process ends.
class BackgroundRegistration {
public:
    explicit BackgroundRegistration(HINSTANCE instance) {
        // No thread to spare: before the work, as ever.
        if (!worker_.Start([instance] { KeepRegistrationCurrent(instance); })) KeepRegistrationCurrent(instance);
    }

private:
    WorkerThread worker_;
};

bool IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "/t" with several archives: each tested and reported in turn; the worst exit code, and a
// Cancel ends the run.
int RunTests(const CommandLineRequest& request) {
    if (request.paths.size() < 2) return RunTest(request);
    int worst = 0;
    for (const std::wstring& path : request.paths) {
        CommandLineRequest one = request;
        one.archivePath = path;
        one.paths = {path};
        const int result = RunTest(one);
        worst = std::max(worst, result);
        if (result == 2) break;
    }
    return worst;
}

// The verb options; nothing when the command line holds none.
std::optional<int> RunVerb(CommandLineRequest request) {
    if (request.verb == ShellVerbOption::None) return std::nullopt;
    if (!TakeListFile(request)) return 1;
    const bool several = request.paths.size() > 1;
    switch (request.verb) {
        case ShellVerbOption::ExtractHere: return several ? RunExtractArchives(request) : RunExtractHere(request);
        case ShellVerbOption::ExtractTo: return several ? RunExtractArchives(request) : RunExtractTo(request);
        case ShellVerbOption::ExtractToFolder:
            return several ? RunExtractArchives(request) : RunExtractToFolder(request);
        case ShellVerbOption::ExtractSmart:
        case ShellVerbOption::ExtractInto:
        case ShellVerbOption::ExtractToFoldersIn: return RunExtractArchives(request);
        case ShellVerbOption::Test: return RunTests(request);
        case ShellVerbOption::AddTo7z:
        case ShellVerbOption::AddToZip: return RunQuickAdd(request);
        case ShellVerbOption::Checksums:
            if (several) ShowChecksums(nullptr, request.paths, ID_CHECKSUM_ALL);
            else if (!request.archivePath.empty()) ShowChecksums(nullptr, {request.archivePath}, ID_CHECKSUM_ALL);
            return 0;
        case ShellVerbOption::Add:
            if (several) AddFromSelection(request.paths);
            else AddFromCommandLine(request.addText);
            return 0;
        case ShellVerbOption::None: break;
    }
    return std::nullopt;
}

int RunInteractive(const wchar_t* commandLine, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};  // 0x404
    InitCommonControlsEx(&controls);
    // What an earlier start's registration could only write for this user is told once.
    TellIfRegisteredPerUserOnly(nullptr);
    if (const std::optional<std::wstring> startPath = StartPathFromCommandLine(commandLine))
        CopyToBuffer(g_app.settings.lastPath, MAX_PATH, *startPath);
    else if (const std::optional<std::wstring> folder = StartFolderFromCommandLine(commandLine, IsExistingFolder))
        CopyToBuffer(g_app.settings.lastPath, MAX_PATH, *folder);
    // An archive to start on is listed while the window is made.
    const std::wstring place = ContentModel::StartPath(g_app.settings.lastPath);
    std::optional<EarlyOpen> early;
    if (ContentModel::StartsWithArchive(place)) early.emplace(place);
    return RunMainWindow(showCommand);
}

}  // namespace

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
    ProcessServices services;
    ResetAppGlobals();
    LoadSettings(g_app.settings);
    RestoreNameEncodingChoices();
    g_app.instance = instance;
    // The menus, dialogs and strings in the chosen language, else in the user's.
    UseStartLanguage();
    // The archive operations show their progress and ask their questions through the windows.
    InstallOperationPrompts();
    InstallOptionsRunner(ShowOptionsDialog);

    const CommandLineRequest request = ParseCommandLine(commandLine ? commandLine : L"");

    // Runs that end on an option save no settings.
    if (request.unregister) {
        RemoveShellRegistration();
        return 0;
    }
    // Every start keeps the shell registration current; only /Register waits for it, the other
    // runs do their work beside it and wait for it before they end.
    if (request.registerOnly) {
        KeepRegistrationCurrent(instance, true);
        TellIfRegisteredPerUserOnly(nullptr);
        return 0;
    }
    BackgroundRegistration registration(instance);
    // The work handed to the background (the end of a large listing's engine session, in an add
    // too) ends before the run does, on every way out.
    struct BackgroundJoin {
        ~BackgroundJoin() { JoinBackgroundWork(); }
    } backgroundJoin;

    if (const std::optional<int> result = RunVerb(request)) return *result;

    const int result = RunInteractive(commandLine ? commandLine : L"", showCommand);
    JoinBackgroundWork();  // before COM goes
    services.shutDownCom();
    SaveSettings(g_app.settings);
    return result;
}
