#include "app/command_line_extraction.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/command_line_paths.h"
#include "base/paths.h"
#include "catalog/path_text.h"
#include "engine/extraction.h"
#include "ops/archive_inspection.h"
#include "ops/batch_extraction.h"
#include "ops/entry_names.h"
#include "ops/extract_destination.h"
#include "ops/whole_archive_extraction.h"
#include "ui/app_globals.h"
#include "ui/extract_choices_store.h"
#include "ui/extract_dialog.h"
#include "ui/folder_browser.h"
#include "ui/user_messages.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitExtractFailed = 1;
constexpr int kExitTestFailed = 1;
constexpr int kExitTestCancelled = 2;

void WriteToStandardOutput(const std::wstring& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    const std::string utf8 = WideToUtf8Lossy(text);
    DWORD written = 0;
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// While it lives, nothing reaches the process's standard output.
class StandardOutputHeldBack {
public:
    StandardOutputHeldBack() : output_(GetStdHandle(STD_OUTPUT_HANDLE)) { SetStdHandle(STD_OUTPUT_HANDLE, nullptr); }
    ~StandardOutputHeldBack() { SetStdHandle(STD_OUTPUT_HANDLE, output_); }
    StandardOutputHeldBack(const StandardOutputHeldBack&) = delete;
    StandardOutputHeldBack& operator=(const StandardOutputHeldBack&) = delete;

private:
    HANDLE output_;
};

HWND DialogOwner() {
    HWND owner = g_app.OwnerWindow.load();
    return owner ? owner : GetActiveWindow();
}

int ReportFailure(const CommandLineRequest& request) {
    const std::wstring message = ExtractFailureMessage(request);
    TellUser({message, MessageKind::Error}, DialogOwner());
    return kExitExtractFailed;
}

int TellExtraction(const CommandLineRequest& request, const WholeArchiveExtraction& extracted);

// A failure is told with its causes; a success only when items had to take names of their own.
// A file already there is asked about, never replaced unseen: its bytes are the user's and
// nothing else keeps them.
int ExtractInto(const CommandLineRequest& request, const std::wstring& archivePath, const std::wstring& folder,
                ExistingFilePolicy existingFiles = ExistingFilePolicy::Ask) {
    // Behind the progress window: a large archive shows how far it got and can be cancelled.
    const WholeArchiveExtraction extracted =
        ExtractWholeArchive(archivePath, folder, existingFiles, StoredZoneMarking());
    return TellExtraction(request, extracted);
}

int TellExtraction(const CommandLineRequest& request, const WholeArchiveExtraction& extracted) {
    const OperationOutcome told = WholeArchiveOutcome(extracted, FileNameOf(request.archivePath));
    for (const std::wstring& message : told.messages)
        TellUser({message, told.done() ? MessageKind::Information : MessageKind::Error}, DialogOwner());
    return told.done() ? kExitSuccess : kExitExtractFailed;
}

}  // namespace

std::wstring ExtractFailureMessage(const CommandLineRequest& request) {
    std::wstring name = request.archivePath.empty() ? request.pathText : FileNameOf(request.archivePath);
    return L"Could not extract " + name;
}

int RunExtractHere(const CommandLineRequest& request) {
    if (request.archivePath.empty()) return ReportFailure(request);
    const std::wstring archivePath = FullPathOf(request.archivePath);
    return ExtractInto(request, archivePath, FolderOf(archivePath));
}

int RunExtractTo(const CommandLineRequest& request) {
    if (request.archivePath.empty()) return ReportFailure(request);
    const std::wstring archivePath = FullPathOf(request.archivePath);
    // The Extract dialog; its Browse... is the folder browser that opens on the archive's folder.
    const std::optional<ExtractChoices> choices = AskExtractChoices(DialogOwner(), FolderOf(archivePath));
    if (!choices) return kExitSuccess;
    std::wstring written;
    const int result = TellExtraction(request, ExtractWholeArchiveAsChosen(archivePath, *choices, written));
    if (!written.empty() && choices->openDestination)
        ShellExecuteW(DialogOwner(), L"open", written.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return result;
}

int RunExtractToFolder(const CommandLineRequest& request) {
    if (request.archivePath.empty()) return ReportFailure(request);
    const std::wstring archivePath = FullPathOf(request.archivePath);
    const std::wstring folder = JoinPath(FolderOf(archivePath), ExtractFolderName(FileNameOf(archivePath)));
    ExtractDestination made;
    SetLastError(0);
    if (!made.Make(folder)) {
        const DWORD error = GetLastError();
        for (const std::wstring& message :
             WholeArchiveOutcome(FolderNotMade(folder, error), FileNameOf(request.archivePath)).messages)
            TellUser({message, MessageKind::Error}, DialogOwner());
        return kExitExtractFailed;
    }
    const int result = ExtractInto(request, archivePath, folder);
    // A run that wrote nothing (cancelled at the password prompt, say) leaves no folder behind.
    if (result != kExitSuccess) made.RemoveUnused();
    return result;
}

std::wstring DestinationMissingMessage(const std::wstring& destination) {
    return L"Could not extract into " + destination + L": the folder does not exist.";
}

int RunExtractArchives(const CommandLineRequest& request) {
    if (request.paths.empty()) return ReportFailure(request);
    std::vector<ArchiveToExtract> archives;
    std::optional<std::wstring> chosen;
    const bool intoDestination =
        request.verb == ShellVerbOption::ExtractInto || request.verb == ShellVerbOption::ExtractToFoldersIn;
    if (intoDestination) {
        // The folder the archives were dropped on: it is there, or nothing is extracted.
        const std::wstring destination = request.destination.empty() ? std::wstring() : FullPathOf(request.destination);
        const DWORD attributes = destination.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(destination.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            TellUser({DestinationMissingMessage(request.destination), MessageKind::Error}, DialogOwner());
            return kExitExtractFailed;
        }
        chosen = destination;
    }
    if (request.verb == ShellVerbOption::ExtractTo) {
        chosen = BrowseForExtractFolder(DialogOwner(), FolderOf(FullPathOf(request.paths.front())));
        if (!chosen) return kExitSuccess;
    }
    for (const std::wstring& path : request.paths) {
        ArchiveToExtract archive;
        archive.archive = FullPathOf(path);
        archive.folder = chosen ? *chosen : FolderOf(archive.archive);
        switch (request.verb) {
            case ShellVerbOption::ExtractHere:
            case ShellVerbOption::ExtractInto:
                // Into one folder: a later archive may hold a name an earlier one wrote, or a file
                // that is there already; it is asked about, never replaced unseen.
                archive.place = ArchivePlace::Here;
                break;
            case ShellVerbOption::ExtractSmart: archive.place = ArchivePlace::Smart; break;
            default: archive.place = ArchivePlace::OwnFolder; break;
        }
        archives.push_back(std::move(archive));
    }
    const OperationOutcome told = ArchivesOutcome(ExtractArchives(archives));
    for (const std::wstring& message : told.messages)
        TellUser({message, told.done() ? MessageKind::Information : MessageKind::Error}, DialogOwner());
    return told.result == OperationResult::Failed ? kExitExtractFailed : kExitSuccess;
}

int RunTest(const CommandLineRequest& request) {
    const std::wstring archivePath = request.archivePath.empty() ? std::wstring() : FullPathOf(request.archivePath);
    std::wstring password;
    ArchiveTest test;
    {
        // The engine writes lines of its own to standard output ("Testing ...", "Can not open
        // archive"), for a console that the windowed program never has: here the report alone goes there.
        StandardOutputHeldBack heldBack;
        if (!archivePath.empty()) test = TestArchive(archivePath, password);
    }
    if (test.result == OperationResult::Cancelled) return kExitTestCancelled;
    // The report goes to standard output, for whoever started the run with one.
    const std::wstring name = archivePath.empty() ? request.pathText : FileNameOf(archivePath);
    WriteToStandardOutput(TestReportText(test, name) + L"\r\n");
    return test.result == OperationResult::Done ? kExitSuccess : kExitTestFailed;
}
