// Reading every item of an opened archive, for a sink or into the listing records.
#include "engine/archive_listing.h"

#include <new>
#include <stdexcept>

#include "engine/archive_health.h"
#include "engine/engine_events.h"
#include "engine/engine_property.h"
#include "engine/item_kinds.h"
#include "engine/property_text.h"

namespace {

// A number of an integer property: unsigned ones, and signed ones that are not negative.
bool PropertyNumber(const PROPVARIANT& value, uint64_t& number) {
    if (propertyIsUnsigned(value)) {
        number = propertyToUInt64(value);
        return true;
    }
    int64_t signedValue = 0;
    switch (value.vt) {
    case VT_I1: signedValue = value.cVal; break;
    case VT_I2: signedValue = value.iVal; break;
    case VT_I4: signedValue = value.lVal; break;
    case VT_INT: signedValue = value.intVal; break;
    case VT_I8: signedValue = value.hVal.QuadPart; break;
    default: return false;
    }
    if (signedValue < 0) return false;
    number = static_cast<uint64_t>(signedValue);
    return true;
}

// Reads one item. Every property is read once; a failing read counts as no value. The path
// views the engine's own text where it can (`pathValue`), else `pathText`.
void ReadItem(IInArchive* archive, UINT32 index, EngineProperty& pathValue, EngineProperty& value,
              std::wstring& pathText, const std::wstring& defaultName, bool crc, ListedItem& item) {
    archive->GetProperty(index, kpidPath, pathValue.put());
    if (pathValue.type() == VT_BSTR) {
        const BSTR text = pathValue.get().bstrVal;
        item.path = text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
    } else {
        pathText = propertyToText(pathValue.get());
        item.path = pathText;
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
    item.hasSize = PropertyNumber(value.get(), item.size);
    archive->GetProperty(index, kpidPackSize, value.put());
    item.hasPackedSize = PropertyNumber(value.get(), item.packedSize);

    if (crc) {
        archive->GetProperty(index, kpidCRC, value.put());
        item.hasCrc = propertyIsUnsigned(value.get());
        item.crc = item.hasCrc ? static_cast<uint32_t>(propertyToUInt64(value.get())) : 0;
    }

    archive->GetProperty(index, kpidMTime, value.put());
    // No time, or a value of another type: the item lists without date and time.
    item.hasModified = value.type() == VT_FILETIME;
    item.modified = item.hasModified ? (static_cast<uint64_t>(value.get().filetime.dwHighDateTime) << 32) |
                                           value.get().filetime.dwLowDateTime
                                     : 0;
}

struct ListingCancelled {};

// Keeps every item as a listing record with its texts.
class RecordSink final : public ListingSink {
public:
    explicit RecordSink(std::vector<ArchiveItem>& items) : items_(items) {}
    void begin(uint32_t count) override { items_.reserve(items_.size() + count); }
    void add(const ListedItem& listed) override {
        ArchiveItem& item = items_.emplace_back();
        item.path.assign(listed.path.data(), listed.path.size());
        item.attributes = listed.attributes;
        if (listed.hasSize) item.size = decimalText(listed.size);
        if (listed.hasPackedSize) item.packedSize = decimalText(listed.packedSize);
        item.modified = listed.modified;
        if (listed.hasModified) {
            FILETIME time{static_cast<DWORD>(listed.modified), static_cast<DWORD>(listed.modified >> 32)};
            fileTimeParts(time, item.modifiedDate, item.modifiedTime);
        }
    }

private:
    std::vector<ArchiveItem>& items_;
};

}  // namespace

int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingRun& run, ListingSink& sink) {
    ArchiveSession session;
    std::wstring password = run.password;
    OpenFailure failure;
    OpenedFormat format;
    if (openArchive(&password, session.library, session.archive, archivePath, kind, &failure, &format) != 0) {
        run.outOfMemory = failure.outOfMemory;
        run.failure = std::move(failure);
        return 1;
    }

    UINT32 count = 0;
    if (session.archive->GetNumberOfItems(&count) != S_OK) count = 0;
    // The engine frees a long list slowly: nothing waits for that, on any way out.
    constexpr UINT32 kEndInBackgroundFrom = 65536;
    const auto finish = [&] {
        if (count >= kEndInBackgroundFrom) return session.endInBackground();
        session.archive->Close();
        session.end();
    };

    try {
        sink.begin(count);
        EngineProperty pathValue, value;
        std::wstring pathText;
        ListedItem item;
        // A cancelled operation ends a long listing early; it then fails as a whole.
        ProgressCounters* const progress = ThisThreadProgress();
        const auto stopIfCancelled = [progress](UINT32 index) {
            if ((index & 0xFFF) == 0xFFF && OnEngineEvent(progress, kEngineCompleted, nullptr, 0) != 0)
                throw ListingCancelled();
        };
        // The deletion markers of a differential archive are no entries of it: they are not listed.
        const ItemKinds kinds(session.archive);
        const auto listed = [&](UINT32 index) { return !kinds.hasAntiItems() || !kinds.isAnti(index); };
        const bool crc = sink.wantsCrc();
        // How it is packed is gathered on the same pass: the engine's records of an item are
        // visited once.
        ArchiveSummaryReader summary(session.archive);
        for (UINT32 index = 0; index < count; ++index) {
            stopIfCancelled(index);
            if (!listed(index)) continue;
            ReadItem(session.archive, index, pathValue, value, pathText, format.defaultItemName, crc, item);
            summary.addItem(index, item);
            sink.add(item);
        }
        run.summary = summary.take();
    } catch (const ListingCancelled&) {
        finish();
        return 1;
    } catch (const std::bad_alloc&) {
        // More items than memory holds: the listing fails as a whole, and says why.
        run.outOfMemory = true;
        finish();
        return 1;
    } catch (const std::exception&) {
        finish();
        return 1;
    }

    run.damage = archiveDamage(session.archive, format.streamSize);
    finish();
    run.password = std::move(password);
    run.format = std::move(format);
    return 0;
}

int listArchive(const std::wstring& archivePath, ArchiveKind kind, ListingResult& result) {
    ListingRun run;
    run.password = result.password;
    const size_t firstNew = result.items.size();
    RecordSink sink(result.items);
    if (listArchive(archivePath, kind, run, sink) != 0) {
        // The result stays as it was.
        result.items.erase(result.items.begin() + static_cast<std::ptrdiff_t>(firstNew), result.items.end());
        return 1;
    }
    result.password = std::move(run.password);
    result.damage = std::move(run.damage);
    result.format = std::move(run.format);
    result.summary = std::move(run.summary);
    return 0;
}
