#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include "app/command_line.h"
#include "app/command_line_extraction.h"
#include "base/text.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "shell/more_registration.h"
#include "shell/shell_registration.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/app_globals.h"
#include "ui/checksum_dialog.h"
#include "ui/content_model.h"
#include "ui/main_window.h"
#include "ui/operation_prompts.h"
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

int RunInteractive(const wchar_t* commandLine, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};  // 0x404
    InitCommonControlsEx(&controls);
    if (const std::optional<std::wstring> startPath = StartPathFromCommandLine(commandLine))
        CopyToBuffer(g_app.settings.lastPath, MAX_PATH, *startPath);
    // An archive to start on is listed while the window is made.
    const std::wstring place = ContentModel::StartPath(g_app.settings.lastPath);
    if (ContentModel::StartsWithArchive(place)) BeginEarlyOpen(place);
    const int result = RunMainWindow(showCommand);
    DropEarlyOpen();
    return result;
}

}  // namespace

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
    ProcessServices services;
    ResetAppGlobals();
    LoadSettings(g_app.settings);
    g_app.instance = instance;
    // The archive operations show their progress and ask their questions through the windows.
    InstallOperationPrompts();

    const CommandLineRequest request = ParseCommandLine(commandLine ? commandLine : L"");

    // Runs that end on an option save no settings.
    if (request.unregister) {
        UnregisterAssociations();
        UnregisterVerbs();
        UnregisterMoreAssociations();
        return 0;
    }
    // Every start keeps the shell registration current.
    RegisterAssociations(instance);
    RegisterVerbs(instance);
    RegisterMoreAssociations(instance);
    if (request.registerOnly) return 0;

    if (request.verb == ShellVerbOption::ExtractHere) return RunExtractHere(request);
    if (request.verb == ShellVerbOption::ExtractTo) return RunExtractTo(request);
    if (request.verb == ShellVerbOption::Checksums) {
        if (!request.archivePath.empty()) ShowChecksums(nullptr, {request.archivePath}, ID_CHECKSUM_ALL);
        return 0;
    }
    if (request.verb == ShellVerbOption::ExtractToFolder) return RunExtractToFolder(request);
    if (request.verb == ShellVerbOption::Test) return RunTest(request);
    if (request.verb == ShellVerbOption::Add) {
        AddFromCommandLine(request.addText);
        return 0;
    }

    const int result = RunInteractive(commandLine ? commandLine : L"", showCommand);
    waitForEndingSessions();
    services.shutDownCom();
    SaveSettings(g_app.settings);
    return result;
}
