#include "engine/integrity_check.h"

#include <new>

#include "engine/archive_health.h"
#include "engine/archive_listing.h"
#include "engine/item_decoding.h"

namespace {

// Drops the data and keeps the first bad result.
class CheckingSink final : public ItemSink {
public:
    bool begin(UINT32) override { return true; }
    bool write(const void*, UINT32) override { return true; }
    void end(UINT32, INT32 result) override {
        if (result != kOK && firstFailure == kOK) firstFailure = result;
        ++items;
    }
    INT32 firstFailure = kOK;
    UINT32 items = 0;
};

}  // namespace

IntegrityResult checkArchiveIntegrity(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password) {
    IntegrityResult result;
    ArchiveSession session;
    OpenFailure failure;
    OpenedFormat format;
    std::wstring known = password;
    if (openArchive(&known, session.library, session.archive, archivePath, kind, &failure, &format) != 0) {
        result.stopped = failure.stopped;
        result.failure.open = failure;
        return result;
    }
    CheckingSink sink;
    const DecodingResult decoded = decodeItems(session.archive, {}, sink, known);
    if (decoded.stopped) {
        result.stopped = true;
        return result;
    }
    if (decoded.engineResult != S_OK) result.failure.engineError = decoded.engineResult;
    else if (sink.firstFailure != kOK) result.itemResult = sink.firstFailure;
    else result.damage = archiveDamage(session.archive, format.streamSize);
    session.archive->Close();
    result.intact = !result.failure.any() && result.itemResult == kOK && result.damage.none();
    if (result.intact) password = known;
    return result;
}
