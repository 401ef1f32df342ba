#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include <system_error>
#include <thread>

#include "app/command_line.h"
#include "app/command_line_extraction.h"
#include "base/text.h"
#include "engine/archive_listing.h"
#include "ops/archive_operations.h"
#include "shell/archive_types_registration.h"
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

void KeepRegistrationCurrent(HINSTANCE instance) {
    RegisterAssociations(instance);
    RegisterVerbs(instance);
    RegisterArchiveTypes(instance);
}

// The registration on a thread of its own, ended before the process is.
class BackgroundRegistration {
public:
    explicit BackgroundRegistration(HINSTANCE instance) {
        try {
            thread_ = std::thread([instance] {
                // The shell's change notice may want COM on this thread.
                const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
                KeepRegistrationCurrent(instance);
                if (SUCCEEDED(com)) CoUninitialize();
            });
        } catch (const std::system_error&) {
            KeepRegistrationCurrent(instance);  // no thread to spare: before the work, as ever
        }
    }
    ~BackgroundRegistration() {
        if (thread_.joinable()) thread_.join();
    }
    BackgroundRegistration(const BackgroundRegistration&) = delete;
    BackgroundRegistration& operator=(const BackgroundRegistration&) = delete;

private:
    std::thread thread_;
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
        UnregisterArchiveTypes();
        return 0;
    }
    // Every start keeps the shell registration current; only /Register waits for it, the other
    // runs do their work beside it and wait for it before they end.
    if (request.registerOnly) {
        KeepRegistrationCurrent(instance);
        return 0;
    }
    BackgroundRegistration registration(instance);

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
