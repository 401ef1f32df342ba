#pragma once
// Where the time of a change of an archive in the window goes, measured from outside the
// program: the press that starts it (Yes, Enter, the drop), the archiver processes the program
// starts (their creation and end, from the system's records), the moment the archive file is
// replaced (the rename of the work file onto it, seen in its folder), and the rows drawn again.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

struct UpdateStages {
    bool complete = false;     // every instant below was seen
    int archiverRuns = 0;      // archiver processes the program started
    bool replacedSeen = false;  // the archive was replaced while watched
    bool replacedByNotice = false;  // seen first by the folder's change notice (else by its identity)
    double toArchiver = 0;     // press -> the first archiver process created
    double archiver = 0;       // the first archiver's creation -> the last one's end
    double toReplaced = 0;     // the last archiver's end -> the archive replaced
    double toDrawn = 0;        // the archive replaced -> the rows drawn again
    double total = 0;          // press -> rows drawn
};

// Watches one program's change of one archive. Make it before the press; it watches until
// drawn() (or its end).
class UpdateWatch {
public:
    UpdateWatch(DWORD programPid, const std::wstring& archive);
    ~UpdateWatch();
    UpdateWatch(const UpdateWatch&) = delete;
    UpdateWatch& operator=(const UpdateWatch&) = delete;

    void pressed();  // now is the press
    void drawn();    // now are the rows drawn; the watch ends
    UpdateStages stages() const;

private:
    struct Identity {
        FILETIME written{};
        FILETIME created{};
        uint64_t size = 0;
        bool present = false;
        bool operator==(const Identity& other) const;
    };
    static Identity IdentityOf(const std::wstring& path);
    void watchChildren(DWORD programPid);
    void watchFolder();
    void replacedAt(const FILETIME& when, bool byNotice);
    void stop();

    std::wstring folder_;
    std::wstring name_;
    std::wstring archive_;
    Identity before_;
    HANDLE directory_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = nullptr;
    OVERLAPPED overlapped_{};
    alignas(DWORD) char notices_[16384];
    bool listening_ = false;

    mutable std::mutex mutex_;
    FILETIME pressed_{}, replaced_{}, drawn_{};
    bool replacedSeen_ = false, replacedByNotice_ = false, drawnSeen_ = false;
    std::vector<HANDLE> archivers_;
    std::vector<DWORD> archiverIds_;

    std::atomic<bool> stop_{false};
    std::thread children_;
    std::thread folderWatch_;
};

}  // namespace bench
