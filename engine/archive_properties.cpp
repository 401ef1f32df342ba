#include "engine/archive_properties.h"

#include <windows.h>

#include <new>
#include <set>

#include "engine/archive_health.h"
#include "engine/archive_listing.h"
#include "engine/engine_property.h"
#include "engine/extract_callback.h"
#include "engine/extract_path.h"
#include "engine/item_kinds.h"
#include "engine/property_text.h"

namespace {

bool BoolProperty(IInArchive* archive, UINT32 index, PROPID id) {
    EngineProperty value;
    return archive->GetProperty(index, id, value.put()) == S_OK && value.type() == VT_BOOL &&
           value.get().boolVal != VARIANT_FALSE;
}

uint64_t NumberProperty(IInArchive* archive, UINT32 index, PROPID id) {
    EngineProperty value;
    if (archive->GetProperty(index, id, value.put()) != S_OK) return 0;
    return propertyToUInt64(value.get());
}

std::wstring TextProperty(IInArchive* archive, UINT32 index, PROPID id) {
    EngineProperty value;
    if (archive->GetProperty(index, id, value.put()) != S_OK || value.type() != VT_BSTR || !value.get().bstrVal)
        return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

PropertyValue Stored(PROPID id, const PROPVARIANT& value) {
    PropertyValue stored;
    stored.id = id;
    stored.type = value.vt;
    if (value.vt == VT_BOOL) stored.yes = value.boolVal != VARIANT_FALSE;
    else if (value.vt == VT_FILETIME) stored.time = value.filetime;
    else if ((stored.isNumber = propertyIsUnsigned(value))) stored.number = propertyToUInt64(value);
    else stored.text = propertyToText(value);
    return stored;
}

PropertyValue ArchiveValue(IInArchive* archive, PROPID id) {
    EngineProperty value;
    if (archive->GetArchiveProperty(id, value.put()) != S_OK) return {};
    return Stored(id, value.get());
}

// The ids of the properties a handler describes, for its items or (archive) for the whole.
std::vector<PROPID> DescribedProperties(IInArchive* archive, bool ofArchive) {
    std::vector<PROPID> ids;
    UINT32 count = 0;
    const HRESULT counted =
        ofArchive ? archive->GetNumberOfArchiveProperties(&count) : archive->GetNumberOfProperties(&count);
    if (counted != S_OK) return ids;
    for (UINT32 i = 0; i < count && i < 1000; ++i) {
        BSTR name = nullptr;
        PROPID id = 0;
        VARTYPE type = VT_EMPTY;
        const HRESULT described = ofArchive ? archive->GetArchivePropertyInfo(i, &name, &id, &type)
                                            : archive->GetPropertyInfo(i, &name, &id, &type);
        if (name) SysFreeString(name);
        if (described == S_OK) ids.push_back(id);
    }
    return ids;
}

// Figures over a set of items, the folders by their paths.
struct Figures {
    ItemFigures figures;
    std::set<std::wstring> folders;  // paths of the folders, named by items or implied by them
    std::set<std::wstring> methods;

    void take(IInArchive* archive, UINT32 index, std::wstring_view below) {
        // Every folder above the item, relative to where the figures are taken.
        for (size_t cut = below.find(L'\\'); cut != std::wstring_view::npos; cut = below.find(L'\\', cut + 1))
            folders.insert(std::wstring(below.substr(0, cut)));
        if (BoolProperty(archive, index, kpidIsDir)) {
            if (!below.empty()) folders.insert(std::wstring(below));
            return;
        }
        ++figures.files;
        figures.size += NumberProperty(archive, index, kpidSize);
        EngineProperty value;
        if (archive->GetProperty(index, kpidPackSize, value.put()) == S_OK && propertyIsUnsigned(value.get())) {
            figures.packed += propertyToUInt64(value.get());
            figures.packedKnown = true;
        }
        if (BoolProperty(archive, index, kpidEncrypted)) figures.encrypted = true;
        const std::wstring method = TextProperty(archive, index, kpidMethod);
        if (!method.empty() && methods.size() < 8) methods.insert(method);
    }

    ItemFigures take() {
        figures.folders = folders.size();
        figures.methods.assign(methods.begin(), methods.end());
        return std::move(figures);
    }
};

uint64_t FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

template <typename Facts>
bool Open(Facts& facts, ArchiveSession& session, const std::wstring& archivePath, ArchiveKind kind,
          std::wstring& password, OpenedFormat* opened = nullptr, bool* listEncrypted = nullptr) {
    std::wstring known = password;
    if (openArchive(&known, session.library, session.archive, archivePath, kind, &facts.failure.open, opened,
                    listEncrypted) != 0) {
        facts.cancelled = facts.failure.open.stopped;
        return false;
    }
    facts.opened = true;
    password = known;
    return true;
}

}  // namespace

ArchiveFacts readArchiveFacts(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password) {
    ArchiveFacts facts;
    try {
        ArchiveSession session;
        OpenedFormat opened;
        if (!Open(facts, session, archivePath, kind, password, &opened, &facts.namesEncrypted)) return facts;
        IInArchive* archive = session.archive;

        Figures figures;
        UINT32 count = 0;
        if (archive->GetNumberOfItems(&count) != S_OK) count = 0;
        const ItemKinds kinds(archive);
        for (UINT32 index = 0; index < count; ++index) {
            if (kinds.isAnti(index)) continue;  // a deletion marker is no entry
            const std::wstring path = itemPathOf(archive, index);
            figures.take(archive, index, path);
        }
        facts.figures = figures.take();
        facts.fileSize = FileSizeOf(archivePath);
        facts.formatName = opened.name;
        facts.type = ArchiveValue(archive, kpidType);
        facts.method = ArchiveValue(archive, kpidMethod);
        facts.solid = ArchiveValue(archive, kpidSolid);
        facts.blocks = ArchiveValue(archive, kpidNumBlocks);
        facts.comment = ArchiveValue(archive, kpidComment);
        facts.damage = archiveDamage(archive, opened.streamSize);
        // Whatever else the handler tells of the archive.
        static const std::set<PROPID> shown = {kpidType,   kpidMethod,     kpidSolid,        kpidNumBlocks,
                                               kpidComment, kpidErrorFlags, kpidWarningFlags, kpidError,
                                               kpidWarning};
        for (PROPID id : DescribedProperties(archive, true))
            if (!shown.count(id)) facts.others.push_back(ArchiveValue(archive, id));
        session.end();
    } catch (const std::bad_alloc&) {
        facts.failure.engineError = E_OUTOFMEMORY;
    } catch (const CNewException&) {
        facts.failure.engineError = E_OUTOFMEMORY;
    }
    return facts;
}

EntryFacts readEntryFacts(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password,
                          const std::wstring& entryPath) {
    EntryFacts facts;
    try {
        ArchiveSession session;
        if (!Open(facts, session, archivePath, kind, password)) return facts;
        IInArchive* archive = session.archive;
        UINT32 count = 0;
        if (archive->GetNumberOfItems(&count) != S_OK) count = 0;
        int64_t found = -1;
        Figures below;
        const ItemKinds kinds(archive);
        for (UINT32 index = 0; index < count; ++index) {
            if (kinds.isAnti(index)) continue;
            const std::wstring path = itemPathOf(archive, index);
            if (path == entryPath) found = index;
            if (const auto rest = pathBelow(path, entryPath); rest && !entryPath.empty())
                below.take(archive, index, *rest);
        }
        facts.folder = found < 0 || BoolProperty(archive, static_cast<UINT32>(found), kpidIsDir);
        facts.below = below.take();
        if (found < 0 && facts.below.files == 0 && facts.below.folders == 0) {
            facts.opened = false;
            facts.missing = true;
            return facts;
        }
        if (found >= 0) {
            const UINT32 index = static_cast<UINT32>(found);
            facts.found = true;
            facts.path = itemPathOf(archive, index);
            EngineProperty value;
            for (PROPID id : DescribedProperties(archive, false)) {
                if (id == kpidPath || archive->GetProperty(index, id, value.put()) != S_OK) continue;
                facts.properties.push_back(Stored(id, value.get()));
            }
        }
        session.end();
    } catch (const std::bad_alloc&) {
        facts.failure.engineError = E_OUTOFMEMORY;
    } catch (const CNewException&) {
        facts.failure.engineError = E_OUTOFMEMORY;
    }
    return facts;
}
