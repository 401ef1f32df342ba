#include "ui/opened_files.h"

#include <shlobj.h>

#include "base/folder_tree.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "engine/extraction_outcome.h"
#include "ops/edited_entries.h"
#include "ui/file_picker.h"
#include "ui/user_messages.h"

namespace {

// True when the copy holds bytes that neither its entry nor the last question had; it is then
// marked as offered.
bool TakeChange(OpenedEntry& entry, bool closing) {
    if (!OpenedEntryChanged(entry) && !closing) return false;
    ReadFileStamp(entry.file, entry.size, entry.written);
    const std::wstring digest = CopyDigest(entry.file);
    if (digest.empty() || digest == entry.openedDigest || digest == entry.offeredDigest) return false;
    entry.offeredDigest = digest;
    return true;
}

std::wstring DocumentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE) ? std::wstring(folder) : std::wstring();
}

void SaveCopyElsewhere(const OpenedEntry& entry, HWND owner) {
    std::wstring start = FolderOf(entry.archivePath);
    if (GetFileAttributesW(start.c_str()) == INVALID_FILE_ATTRIBUTES) start = DocumentsFolder();
    const std::optional<std::wstring> target =
        PickSavePath(owner, L"Save Copy As", start, FileNameOf(entry.entryPath));
    if (!target) return;
    if (!CopyFileW(ExtendedPath(entry.file).c_str(), ExtendedPath(*target).c_str(), FALSE))
        TellUser({L"Could not save " + *target + L"\n" + SystemErrorText(GetLastError()) + L".", MessageKind::Error},
                 owner);
}

}  // namespace

struct OpenedFiles::Watched {
    OpenedEntry entry;
    UniqueHandle process;
    HANDLE wait = nullptr;
    HWND window = nullptr;
    UINT message = 0;

    ~Watched() {
        // Waits for a notice that is being sent, so that none arrives after this is gone.
        if (wait) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
        process.reset();
        RemoveFolderTree(entry.folder);
    }

    static void CALLBACK Ended(void* context, BOOLEAN) {
        const auto* watched = static_cast<const Watched*>(context);
        PostMessageW(watched->window, watched->message, 0, 0);
    }
};

OpenedFiles::OpenedFiles() = default;
OpenedFiles::~OpenedFiles() = default;

void OpenedFiles::Watch(ContentModel::OpenedFile opened, HWND window, UINT message) {
    auto watched = std::make_unique<Watched>();
    watched->entry = std::move(opened.entry);
    watched->process = std::move(opened.process);
    watched->window = window;
    watched->message = message;
    if (watched->process &&
        !RegisterWaitForSingleObject(&watched->wait, watched->process.get(), Watched::Ended, watched.get(), INFINITE,
                                     WT_EXECUTEONLYONCE))
        watched->wait = nullptr;
    files_.push_back(std::move(watched));
}

void OpenedFiles::OfferChanged(HWND owner, bool closing,
                               const std::function<void(const std::wstring& archive)>& updated) {
    for (const auto& watched : files_) {
        OpenedEntry& entry = watched->entry;
        if (!TakeChange(entry, closing)) continue;
        const WriteBackCheck check = CheckWriteBack(entry);
        if (check.cancelled) {
            entry.offeredDigest.clear();  // asked about again next time
            continue;
        }
        if (!AskUser({WriteBackQuestion(entry, check), MessageKind::Warning}, owner)) continue;
        if (!WriteBackGoesIntoArchive(check.state)) {
            SaveCopyElsewhere(entry, owner);
            continue;
        }
        std::wstring taken;
        const OperationOutcome outcome = UpdateOpenedEntry(entry, check, &taken);
        for (const std::wstring& message : outcome.messages)
            TellUser({message, outcome.done() ? MessageKind::Information : MessageKind::Error}, owner);
        if (outcome.done()) {
            // The archive holds the copy now, under the name it took: later saves go there.
            entry.entryPath = taken;
            entry.openedDigest = entry.offeredDigest;
            updated(entry.archivePath);
        } else if (outcome.result == OperationResult::Cancelled) {
            entry.offeredDigest.clear();  // asked about again next time
        } else if (outcome.result == OperationResult::Failed &&
                   AskUser({L"Do you want to save your copy of " + FileNameOf(entry.entryPath) + L" elsewhere?",
                            MessageKind::Warning},
                           owner)) {
            SaveCopyElsewhere(entry, owner);
        }
    }
}
