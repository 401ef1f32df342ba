#include "engine/archive_health.h"

#include <windows.h>

#include <string>

#include "engine/engine_property.h"

namespace {

uint32_t FlagsProperty(IInArchive* archive, PROPID id) {
    EngineProperty value;
    if (archive->GetArchiveProperty(id, value.put()) != S_OK || value.type() != VT_UI4) return 0;
    return value.get().ulVal;
}

std::wstring TextProperty(IInArchive* archive, PROPID id) {
    EngineProperty value;
    if (archive->GetArchiveProperty(id, value.put()) != S_OK || value.type() != VT_BSTR || !value.get().bstrVal)
        return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

bool SizeProperty(IInArchive* archive, PROPID id, uint64_t& size) {
    EngineProperty value;
    if (archive->GetArchiveProperty(id, value.put()) != S_OK) return false;
    if (value.type() == VT_UI8) size = value.get().uhVal.QuadPart;
    else if (value.type() == VT_UI4) size = value.get().ulVal;
    else return false;
    return true;
}

}  // namespace

ArchiveDamage archiveDamage(IInArchive* archive, uint64_t streamSize) {
    const uint32_t flags = FlagsProperty(archive, kpidErrorFlags) | FlagsProperty(archive, kpidWarningFlags);
    ArchiveDamage damage;
    damage.flags = flags & ~static_cast<uint32_t>(kArcDataAfterEnd);
    for (PROPID id : {kpidError, kpidWarning}) {
        std::wstring words = TextProperty(archive, id);
        if (!words.empty()) damage.engineWords.push_back(std::move(words));
    }
    damage.dataAfterEnd = (flags & kArcDataAfterEnd) != 0;
    uint64_t archiveSize = 0;
    if (!(flags & (kArcUnexpectedEnd | kArcDataAfterEnd)) && SizeProperty(archive, kpidPhySize, archiveSize)) {
        const uint64_t fileSize = streamSize;
        uint64_t offset = 0;
        if (SizeProperty(archive, kpidOffset, offset)) archiveSize += offset;
        if (archiveSize < fileSize) damage.dataAfterEnd = true;
        if (archiveSize > fileSize) damage.fileShort = true;
    }
    return damage;
}
