#pragma once
// Remembers the state of an archive before one run of the archiver, so that a run that was
// ended early leaves the archive as it was: a file the run created is removed, and so is the
// archiver's work file beside the archive ("<archive>.tmp..."). The archiver replaces the
// archive only after it has written the whole new one, so an existing archive stays intact.
#include <set>
#include <string>

class ArchiveGuard {
public:
    explicit ArchiveGuard(std::wstring archivePath);

    // After a run that was ended early: removes what the run left behind.
    void RestoreAfterStop() const;
    // After a failed run: removes only the archiver's leftover work files.
    void RemoveLeftovers() const;

    bool existedBefore() const { return existedBefore_; }

private:
    std::wstring archivePath_;
    bool existedBefore_ = false;
    std::set<std::wstring> workFilesBefore_;
};
