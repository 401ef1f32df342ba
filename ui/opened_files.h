#pragma once
// Files of archives opened in their programs, kept and watched while the window lives: when a
// file's program ends, the window hears of it; a copy saved since it was last seen is offered to
// its archive, or, where the archive cannot take it, to a place the user picks. Their temporary
// folders go when the watch ends, once every copy that differs from its entry has been offered.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
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
    // Asks the user about each copy that holds bytes its entry does not and that was not offered
    // as it is now, and does what the user chose. Copies whose size and time are as last seen are
    // read again only when `closing` (the last look before they go). `updated` hears of every
    // archive a copy went into.
    void OfferChanged(HWND owner, bool closing, const std::function<void(const std::wstring& archive)>& updated);
    bool empty() const { return files_.empty(); }

private:
    struct Watched;
    std::vector<std::unique_ptr<Watched>> files_;
};
