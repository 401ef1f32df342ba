#pragma once
// Keeps the archive whole through an update. The archiver never writes the archive itself: it
// reads the archive and writes the updated one to a work file beside it (in the same folder, so
// on the same volume), and only a work file that has passed its check takes the archive's place,
// in one rename. Until then the archive stays byte for byte as it was, whatever becomes of the
// archiver (cancelled, killed, out of disk space); the work files go again with the guard.
#include <string>

#include "base/handles.h"
#include "ops/update_failure.h"

class ArchiveGuard {
public:
    explicit ArchiveGuard(std::wstring archivePath);
    ~ArchiveGuard();
    ArchiveGuard(const ArchiveGuard&) = delete;
    ArchiveGuard& operator=(const ArchiveGuard&) = delete;

    // What keeps the archive from being replaced (read-only, held by another program), found
    // before anything runs; `None` when nothing does. The archive is then held open so that no
    // other program can write it until the work file takes its place (where nobody writes it
    // now): what the archiver reads is what is replaced.
    UpdateFailure CheckReplaceable();
    // No other program could write, delete or replace the archive since CheckReplaceable.
    bool heldAgainstWriters() const { return static_cast<bool>(hold_); }
    bool existedBefore() const { return existedBefore_; }
    // The work file: written by the archiver's first run, updated in place by later runs. It
    // does not exist before.
    const std::wstring& workPath() const { return workPath_; }
    // A split archive: the archiver writes the work file in numbered parts ("<work>.001", ...),
    // which become "<archive>.001", ... (the archive itself is never written then).
    void setSplit(bool split) { split_ = split; }
    // The file to read the work back from: the work file, or its first part.
    std::wstring workReadPath() const;
    bool workWritten() const;
    // Puts the work file in the archive's place, with the archive's attributes; `None` when done.
    UpdateFailure Commit();

private:
    UpdateFailure CommitParts();

    std::wstring archivePath_;
    std::wstring workPath_;
    UniqueHandle hold_;  // the archive, open for reading, shared with readers alone
    bool existedBefore_ = false;
    bool committed_ = false;
    bool split_ = false;
};
