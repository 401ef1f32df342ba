#pragma once
// Entries of archives opened in their programs, kept and watched while the window lives: when a
// file's program ends, or the window is activated again, the window hears of it; a copy saved
// since it was last seen is offered to its archive, or, where the archive cannot take it, to a
// place the user picks. Their temporary folders go when the watch ends, once every copy that
// differs from its entry has been offered.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "ops/edited_entries.h"

// An entry opened in its program: its copy, and the program's process when the shell gave one.
struct OpenedFile {
    OpenedEntry entry;
    UniqueHandle process;
};

class OpenedFiles {
public:
    // Posted to the window when a watched file's program has ended (from another thread), or a
    // moment after the window was activated again: the window then calls OfferChanged.
    static constexpr UINT kLookAgainMessage = WM_APP + 0x140;

    OpenedFiles();
    ~OpenedFiles();
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;

    // The window that hears kLookAgainMessage and owns the questions (null: the owner window);
    // `updated` hears of every archive a copy went into.
    void Attach(HWND window, std::function<void(const std::wstring& archive)> updated);
    // Keeps the file (the watch owns its temporary folder from now on) and watches its program.
    void Watch(OpenedFile opened);
    // Asks the user about each copy that holds bytes its entry does not and that was not offered
    // as it is now, and does what the user chose. Copies whose size and time are as last seen are
    // read again only when `closing` (the last look before they go). Asked while a question of
    // its own is up (it makes the window active again when it closes), it does nothing.
    void OfferChanged(bool closing);
    // The same, a moment later: the window was activated again, and a question asked now would
    // come between the click and the window it activates.
    void OfferChangedSoon() const;
    bool empty() const { return files_.empty(); }

private:
    struct Watched;
    std::vector<std::unique_ptr<Watched>> files_;
    HWND window_ = nullptr;
    std::function<void(const std::wstring& archive)> updated_;
    bool offering_ = false;  // a question about opened files is up
};
