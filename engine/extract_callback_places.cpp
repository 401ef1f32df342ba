// The extract callback's part around the place a file goes: an existing file renamed out of the
// way of its item, and the archive's mark of the web given to what was written.
#include "engine/extract_callback.h"

bool CArchiveExtractCallback::moveExistingAside() {
    // Renamed, never deleted: the user's file keeps its bytes under the free name.
    const std::wstring freeName = claimFreeName(itemName_);
    const std::wstring freePath = diskPathOf(freeName);
    if (MoveFileExW(diskPath_.c_str(), freePath.c_str(), 0)) {
        ++outcome_.movedAside;
        return true;
    }
    // Both stay: the item takes the free name instead, and the user is told.
    diskPath_ = freePath;
    ++outcome_.notMovedAside;
    if (outcome_.besides.size() < ExtractionOutcome::kNotesKept) outcome_.besides.push_back({itemPath_, freeName});
    return false;
}

void CArchiveExtractCallback::markWrittenFile() {
    if (zoneIdentifier_.empty() || !ZoneMarkWanted(zoneMarking_, diskPath_)) return;
    if (!WriteZoneIdentifier(diskPath_, zoneIdentifier_)) ++outcome_.unmarked;
}
