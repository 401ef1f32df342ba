#include "update_stages.h"

#include <tlhelp32.h>

#include <algorithm>

#include "figures.h"
#include "program_timing.h"

namespace bench {

namespace {

bool Earlier(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) < 0; }

// How often the archive's identity is looked at besides the folder's notices.
constexpr DWORD kLookMs = 5;

}  // namespace

bool UpdateWatch::Identity::operator==(const Identity& other) const {
    return present == other.present && size == other.size && CompareFileTime(&written, &other.written) == 0 &&
           CompareFileTime(&created, &other.created) == 0;
}

UpdateWatch::Identity UpdateWatch::IdentityOf(const std::wstring& path) {
    // Read from the folder's listing: no handle on the archive that could stand in the way of the
    // program's rename onto it.
    Identity identity;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return identity;
    FindClose(find);
    identity.present = true;
    identity.written = data.ftLastWriteTime;
    identity.created = data.ftCreationTime;
    identity.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return identity;
}

UpdateWatch::UpdateWatch(DWORD programPid, const std::wstring& archive) : archive_(archive) {
    const size_t slash = archive.find_last_of(L'\\');
    folder_ = archive.substr(0, slash);
    name_ = archive.substr(slash + 1);
    before_ = IdentityOf(archive);
    directory_ = CreateFileW(folder_.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The first request is made here, before the press, so that no change is missed.
    if (directory_ != INVALID_HANDLE_VALUE && event_) {
        overlapped_.hEvent = event_;
        listening_ = ReadDirectoryChangesW(directory_, notices_, sizeof(notices_), FALSE,
                                           FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                           &overlapped_, nullptr) != FALSE;
    }
    children_ = std::thread([this, programPid] { watchChildren(programPid); });
    folderWatch_ = std::thread([this] { watchFolder(); });
}

UpdateWatch::~UpdateWatch() {
    stop();
    if (directory_ != INVALID_HANDLE_VALUE) {
        if (listening_) {
            CancelIo(directory_);
            DWORD bytes = 0;
            GetOverlappedResult(directory_, &overlapped_, &bytes, TRUE);
        }
        CloseHandle(directory_);
    }
    if (event_) CloseHandle(event_);
    for (HANDLE archiver : archivers_) CloseHandle(archiver);
}

void UpdateWatch::stop() {
    stop_ = true;
    if (children_.joinable()) children_.join();
    if (folderWatch_.joinable()) folderWatch_.join();
}

void UpdateWatch::pressed() {
    std::lock_guard<std::mutex> lock(mutex_);
    pressed_ = SystemNow();
}

void UpdateWatch::drawn() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drawn_ = SystemNow();
        drawnSeen_ = true;
    }
    stop();
    // A replace that neither the notice nor the last look caught before the rows: one more look,
    // which can only tell that it came by the time the rows were drawn.
    if (!replacedSeen_ && !(IdentityOf(archive_) == before_)) replacedAt(drawn_, false);
}

void UpdateWatch::replacedAt(const FILETIME& when, bool byNotice) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (replacedSeen_ && !Earlier(when, replaced_)) return;
    replaced_ = when;
    replacedSeen_ = true;
    replacedByNotice_ = byNotice;
}

// Every archiver process the program starts, held open so that its times can be read after it ended.
void UpdateWatch::watchChildren(DWORD programPid) {
    while (!stop_) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot != INVALID_HANDLE_VALUE) {
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof(entry);
            for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
                if (entry.th32ParentProcessID != programPid || lstrcmpiW(entry.szExeFile, L"7z.exe") != 0) continue;
                std::lock_guard<std::mutex> lock(mutex_);
                if (std::find(archiverIds_.begin(), archiverIds_.end(), entry.th32ProcessID) != archiverIds_.end()) continue;
                if (HANDLE child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                    archivers_.push_back(child);
                    archiverIds_.push_back(entry.th32ProcessID);
                }
            }
            CloseHandle(snapshot);
        }
        // Often until the first one shows (its creation time comes from the system anyway), then
        // seldom: each look is a round trip to the Wine server, which the archiver needs too.
        bool found = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            found = !archivers_.empty();
        }
        Sleep(found ? 50 : 2);
    }
}

// The rename onto the archive: the folder's notice of the new name, or, whichever comes first, a
// changed identity (size and times) of the file of that name.
void UpdateWatch::watchFolder() {
    while (!stop_) {
        if (listening_ && WaitForSingleObject(event_, kLookMs) == WAIT_OBJECT_0) {
            const FILETIME now = SystemNow();
            DWORD bytes = 0;
            bool named = false;
            if (GetOverlappedResult(directory_, &overlapped_, &bytes, FALSE) && bytes > 0) {
                for (DWORD at = 0;;) {
                    const auto* notice = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(notices_ + at);
                    const std::wstring name(notice->FileName, notice->FileNameLength / sizeof(wchar_t));
                    if ((notice->Action == FILE_ACTION_RENAMED_NEW_NAME || notice->Action == FILE_ACTION_ADDED) &&
                        lstrcmpiW(name.c_str(), name_.c_str()) == 0)
                        named = true;
                    if (notice->NextEntryOffset == 0) break;
                    at += notice->NextEntryOffset;
                }
            }
            // A notice names the archive; it counts once the file there is another one.
            if (named && !(IdentityOf(archive_) == before_)) replacedAt(now, true);
            ResetEvent(event_);
            listening_ = ReadDirectoryChangesW(directory_, notices_, sizeof(notices_), FALSE,
                                               FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                               &overlapped_, nullptr) != FALSE;
        } else if (!listening_) {
            Sleep(kLookMs);
        }
        bool seen = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen = replacedSeen_;
        }
        if (!seen) {
            const FILETIME now = SystemNow();
            if (!(IdentityOf(archive_) == before_)) replacedAt(now, false);
        }
    }
}

UpdateStages UpdateWatch::stages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    UpdateStages stages;
    stages.archiverRuns = static_cast<int>(archivers_.size());
    stages.replacedSeen = replacedSeen_;
    stages.replacedByNotice = replacedByNotice_;
    if (drawnSeen_) stages.total = SecondsBetween(pressed_, drawn_);
    FILETIME firstMade{}, lastEnded{};
    bool times = !archivers_.empty();
    for (size_t i = 0; i < archivers_.size() && times; ++i) {
        FILETIME made{}, ended{}, kernel{}, user{};
        times = GetProcessTimes(archivers_[i], &made, &ended, &kernel, &user) && ended.dwHighDateTime != 0;
        if (!times) break;
        if (i == 0 || Earlier(made, firstMade)) firstMade = made;
        if (i == 0 || Earlier(lastEnded, ended)) lastEnded = ended;
    }
    if (times) {
        stages.toArchiver = SecondsBetween(pressed_, firstMade);
        stages.archiver = SecondsBetween(firstMade, lastEnded);
    }
    if (times && replacedSeen_) stages.toReplaced = SecondsBetween(lastEnded, replaced_);
    if (replacedSeen_ && drawnSeen_) stages.toDrawn = SecondsBetween(replaced_, drawn_);
    stages.complete = times && replacedSeen_ && drawnSeen_;
    return stages;
}

}  // namespace bench
