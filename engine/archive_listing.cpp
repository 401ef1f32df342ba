// Reading every item of an opened archive into the listing records.
#include "engine/archive_listing.h"

#include <new>
#include <stdexcept>

#include "engine/archive_health.h"
#include "engine/engine_events.h"
#include "engine/engine_property.h"
#include "engine/property_text.h"

namespace {

// Fills one record. Every property is read once; a failing read counts as no value.
void ReadItem(IInArchive* archive, UINT32 index, EngineProperty& value, const std::wstring& defaultName,
              ArchiveItem& item) {
    archive->GetProperty(index, kpidPath, value.put());
    if (value.type() == VT_BSTR) {
        if (value.get().bstrVal) item.path.assign(value.get().bstrVal, SysStringLen(value.get().bstrVal));
    } else {
        item.path = propertyToText(value.get());
    }
    // The one item of a gzip or xz stream often has no name of its own: it is named after the archive.
    if (item.path.empty()) item.path = defaultName;

    archive->GetProperty(index, kpidAttrib, value.put());
    if (propertyIsUnsigned(value.get())) {
        item.attributes = static_cast<uint32_t>(propertyToUInt64(value.get()));
    } else {
        // Without attributes, the folder bit (the only one the catalogue needs) comes from the
        // item's folder flag.
        archive->GetProperty(index, kpidIsDir, value.put());
        item.attributes = (value.type() == VT_BOOL && value.get().boolVal != VARIANT_FALSE)
                              ? FILE_ATTRIBUTE_DIRECTORY
                              : 0;
    }

    archive->GetProperty(index, kpidSize, value.put());
    item.size = propertyToText(value.get());
    archive->GetProperty(index, kpidPackSize, value.put());
    item.packedSize = propertyToText(value.get());

    archive->GetProperty(index, kpidMTime, value.put());
    if (value.type() == VT_FILETIME) {
        const FILETIME& time = value.get().filetime;
        item.modified = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        fileTimeParts(time, item.modifiedDate, item.modifiedTime);
    } else {
        // No time, or a value of another type: the item lists without date and time.
        item.modified = 0;
        item.modifiedDate.clear();
        item.modifiedTime.clear();
    }
}

struct ListingCancelled {};

}  // namespace

int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingResult& result) {
    ArchiveSession session;
    std::wstring password = result.password;
    OpenedFormat format;
    if (openArchive(&password, session.library, session.archive, archivePath, kind, nullptr, &format) != 0) return 1;

    UINT32 count = 0;
    if (session.archive->GetNumberOfItems(&count) != S_OK) count = 0;

    const size_t firstNew = result.items.size();
    try {
        result.items.reserve(firstNew + count);
        EngineProperty value;
        for (UINT32 index = 0; index < count; ++index) {
            // A cancelled operation ends a long listing early; it then fails as a whole.
            if ((index & 0xFFF) == 0xFFF && OnEngineEvent(kEngineCompleted, nullptr, 0) != 0) throw ListingCancelled();
            ReadItem(session.archive, index, value, format.defaultItemName, result.items.emplace_back());
        }
    } catch (const ListingCancelled&) {
        result.items.erase(result.items.begin() + static_cast<std::ptrdiff_t>(firstNew), result.items.end());
        session.archive->Close();
        return 1;
    } catch (const std::exception&) {
        // Out of memory for the records: the listing fails as a whole and leaves the result as it was.
        result.items.erase(result.items.begin() + static_cast<std::ptrdiff_t>(firstNew), result.items.end());
        session.archive->Close();
        return 1;
    }

    result.damage = archiveDamage(session.archive, format.streamSize);
    result.summary = archiveSummary(session.archive, count);
    session.archive->Close();
    session.end();
    result.password = std::move(password);
    result.format = std::move(format);
    return 0;
}
