#include "ui/opened_files.h"

#include "base/folder_tree.h"

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

std::vector<OpenedEntry> OpenedFiles::TakeChanged() {
    std::vector<OpenedEntry> changed;
    for (const auto& watched : files_) {
        OpenedEntry& entry = watched->entry;
        if (!OpenedEntryChanged(entry)) continue;
        ReadFileStamp(entry.file, entry.size, entry.written);
        if (OpenedEntryCanGoBack(entry)) changed.push_back(entry);
    }
    return changed;
}
