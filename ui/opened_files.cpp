#include "ui/opened_files.h"

#include <shlobj.h>

#include "base/folder_tree.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "base/system_error.h"
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

    ~Watched() {
        // Waits for a notice that is being sent, so that none arrives after this is gone.
        if (wait) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
        process.reset();
        RemoveFolderTree(entry.folder);
    }

    static void CALLBACK Ended(void* context, BOOLEAN) {
        const auto* watched = static_cast<const Watched*>(context);
        PostMessageW(watched->window, kLookAgainMessage, 0, 0);
    }
};

OpenedFiles::OpenedFiles() = default;
OpenedFiles::~OpenedFiles() = default;

void OpenedFiles::Attach(HWND window, std::function<void(const std::wstring& archive)> updated) {
    window_ = window;
    updated_ = std::move(updated);
}

void OpenedFiles::Watch(OpenedFile opened) {
    auto watched = std::make_unique<Watched>();
    watched->entry = std::move(opened.entry);
    watched->process = std::move(opened.process);
    watched->window = window_;
    if (watched->process &&
        !RegisterWaitForSingleObject(&watched->wait, watched->process.get(), Watched::Ended, watched.get(), INFINITE,
                                     WT_EXECUTEONLYONCE))
        watched->wait = nullptr;
    files_.push_back(std::move(watched));
}

void OpenedFiles::OfferChangedSoon() const {
    if (!files_.empty() && window_) PostMessageW(window_, kLookAgainMessage, 0, 0);
}

void OpenedFiles::OfferChanged(bool closing) {
    // A question of its own makes the window active again when it closes: asked once.
    if (offering_) return;
    offering_ = true;
    const HWND owner = window_;
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
            if (updated_) updated_(entry.archivePath);
        } else if (outcome.result == OperationResult::Cancelled) {
            entry.offeredDigest.clear();  // asked about again next time
        } else if (outcome.result == OperationResult::Failed &&
                   AskUser({L"Do you want to save your copy of " + FileNameOf(entry.entryPath) + L" elsewhere?",
                            MessageKind::Warning},
                           owner)) {
            SaveCopyElsewhere(entry, owner);
        }
    }
    offering_ = false;
}
