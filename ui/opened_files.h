#pragma once
// Files of archives opened in their programs, kept and watched while the window lives: when a
// file's program ends, the window hears of it; a file saved since it was last seen can go back
// into its archive. Their temporary folders go when the watch ends.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/content_model.h"

class OpenedFiles {
public:
    OpenedFiles();
    ~OpenedFiles();
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;

    // Keeps the file; when its program ends, `window` gets `message` (from another thread).
    void Watch(ContentModel::OpenedFile opened, HWND window, UINT message);
    // The files saved since they were last seen, which can go back into their archives; each is
    // marked seen, so that one save is offered once.
    std::vector<OpenedEntry> TakeChanged();
    bool empty() const { return files_.empty(); }

private:
    struct Watched;
    std::vector<std::unique_ptr<Watched>> files_;
};
