#include "ops/archive_guard.h"

#include <windows.h>

#include <vector>

#include "base/handles.h"
#include "engine/volume_stream.h"
#include "ops/leftovers.h"
#include "base/paths.h"
#include "ops/temp_workspace.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::wstring& path) {
    const std::wstring extended = ExtendedPath(path);
    SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(extended.c_str());
}

}  // namespace

ArchiveGuard::ArchiveGuard(std::wstring archivePath) : archivePath_(std::move(archivePath)) {
    existedBefore_ = Exists(archivePath_);
    // What killed runs left beside the archive, and in the temporary base, goes first.
    RemoveEndedWorkFiles(archivePath_);
    RemoveEndedTempItems();
    // "<archive>.tlv<process>-<number>.tmp", taken by nothing; the archiver's own work file for it
    // is that name + ".tmp".
    const std::wstring base =
        JoinPath(FolderOf(archivePath_), WorkFilePrefix(archivePath_)) + ProcessMark() + std::to_wstring(GetTickCount() % 1000000);
    for (int attempt = 0;; ++attempt) {
        workPath_ = base + (attempt ? L"-" + std::to_wstring(attempt) : L"") + L".tmp";
        if (!Exists(workPath_) && !Exists(workPath_ + L".tmp")) break;
    }
}

ArchiveGuard::~ArchiveGuard() {
    if (committed_) return;
    Remove(workPath_);
    Remove(workPath_ + L".tmp");
    for (unsigned number = 1; split_; ++number) {
        const std::wstring part = *numberedVolumePath(workPath_ + L".001", number);
        if (!Exists(part)) break;
        Remove(part);
    }
}

std::wstring ArchiveGuard::workReadPath() const { return split_ ? workPath_ + L".001" : workPath_; }

UpdateFailure ArchiveGuard::CheckReplaceable() {
    if (!existedBefore_) return UpdateFailure::None;
    const std::wstring archive = ExtendedPath(archivePath_);
    const DWORD attributes = GetFileAttributesW(archive.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return UpdateFailure::ReadOnly;
    // The rename at the end needs the right to delete the archive: a program that holds it
    // without sharing that is found now, before the work is done.
    UniqueHandle probe(CreateFileW(archive.c_str(), GENERIC_READ | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (probe) {
        probe.reset();
        // Readers (the archiver) share it; a program that would write, delete or replace it is
        // refused until the hold ends. One that has it open for writing already keeps the hold
        // from being taken: the update then goes on without it.
        hold_.reset(CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return UpdateFailure::None;
    }
    const UpdateFailure failure = FailureOfSystemError(GetLastError());
    return failure == UpdateFailure::Unknown ? UpdateFailure::None : failure;
}

bool ArchiveGuard::workWritten() const { return Exists(workReadPath()); }

UpdateFailure ArchiveGuard::CommitParts() {
    // Each part takes its final name; the archive has no part of that name yet (the dialog saw
    // to it), so nothing is replaced and a failure leaves no stray part behind.
    std::vector<std::wstring> moved;
    for (unsigned number = 1;; ++number) {
        const std::wstring from = *numberedVolumePath(workPath_ + L".001", number);
        if (!Exists(from)) break;
        const std::wstring to = *numberedVolumePath(archivePath_ + L".001", number);
        if (!MoveFileExW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
            const UpdateFailure failure = FailureOfSystemError(GetLastError());
            for (const std::wstring& part : moved) Remove(part);
            return failure == UpdateFailure::None ? UpdateFailure::Unknown : failure;
        }
        moved.push_back(to);
    }
    committed_ = true;
    return UpdateFailure::None;
}

UpdateFailure ArchiveGuard::Commit() {
    // The archive must be free to be replaced.
    hold_.reset();
    if (split_) return CommitParts();
    const std::wstring work = ExtendedPath(workPath_);
    const std::wstring archive = ExtendedPath(archivePath_);
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (existedBefore_) {
        const DWORD attributes = GetFileAttributesW(archive.c_str());
        const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kept))
            SetFileAttributesW(work.c_str(), (attributes & kept) | FILE_ATTRIBUTE_ARCHIVE);
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    // One rename: the archive is either the old one or the new one, never neither.
    if (!MoveFileExW(work.c_str(), archive.c_str(), flags)) {
        const UpdateFailure failure = FailureOfSystemError(GetLastError());
        // A file held open by another program refuses to be replaced with "access denied".
        UniqueHandle alone(CreateFileW(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        return !alone && GetLastError() == ERROR_SHARING_VIOLATION ? UpdateFailure::InUse : failure;
    }
    committed_ = true;
    return UpdateFailure::None;
}
