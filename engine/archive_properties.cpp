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
#include "engine/property_names.h"

namespace {

const wchar_t* FormatName(ArchiveKind kind) {
    switch (kind) {
    case SevenZip: return L"7z";
    case Rar: return L"RAR";
    case Zip: return L"ZIP";
    default: return L"";
    }
}

void AddLine(PropertiesReport& report, const std::wstring& name, const std::wstring& value) {
    if (!value.empty()) report.lines.push_back({name, value});
}

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

std::wstring ArchiveText(IInArchive* archive, PROPID id) {
    EngineProperty value;
    if (archive->GetArchiveProperty(id, value.put()) != S_OK) return {};
    return propertyValueText(id, value.get());
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

// Figures over a set of items: files, folders (named or implied), sizes, methods, encryption.
struct Figures {
    uint64_t files = 0;
    uint64_t size = 0;
    uint64_t packed = 0;
    bool packedKnown = false;
    bool encrypted = false;
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
        ++files;
        size += NumberProperty(archive, index, kpidSize);
        EngineProperty value;
        if (archive->GetProperty(index, kpidPackSize, value.put()) == S_OK && propertyIsUnsigned(value.get())) {
            packed += propertyToUInt64(value.get());
            packedKnown = true;
        }
        if (BoolProperty(archive, index, kpidEncrypted)) encrypted = true;
        const std::wstring method = TextProperty(archive, index, kpidMethod);
        if (!method.empty() && methods.size() < 8) methods.insert(method);
    }

    std::wstring methodText() const {
        std::wstring text;
        for (const std::wstring& method : methods) text += (text.empty() ? L"" : L", ") + method;
        return text;
    }
};

uint64_t FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Open(PropertiesReport& report, ArchiveSession& session, const std::wstring& archivePath, ArchiveKind kind,
          std::wstring& password, OpenedFormat* opened = nullptr, bool* listEncrypted = nullptr) {
    OpenFailure failure;
    std::wstring known = password;
    if (openArchive(&known, session.library, session.archive, archivePath, kind, &failure, opened, listEncrypted) != 0) {
        report.problem = failure.cause;
        report.cancelled = failure.stopped;
        return false;
    }
    report.opened = true;
    password = known;
    return true;
}

}  // namespace

std::wstring compressionRatio(uint64_t packed, uint64_t size) {
    if (size == 0) return {};
    const uint64_t percent = packed > UINT64_MAX / 100 ? packed / (size / 100 + 1) : (packed * 100 + size / 2) / size;
    return std::to_wstring(percent) + L"%";
}

PropertiesReport readArchiveProperties(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password) {
    PropertiesReport report;
    try {
        ArchiveSession session;
        bool namesEncrypted = false;
        OpenedFormat opened;
        if (!Open(report, session, archivePath, kind, password, &opened, &namesEncrypted)) return report;
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
        const uint64_t fileSize = FileSizeOf(archivePath);
        const uint64_t packed = figures.packedKnown ? figures.packed : fileSize;

        std::wstring format = ArchiveText(archive, kpidType);
        if (format.empty()) format = opened.name.empty() ? FormatName(kind) : opened.name;
        AddLine(report, L"Format", format);
        std::wstring method = ArchiveText(archive, kpidMethod);
        AddLine(report, L"Method", method.empty() ? figures.methodText() : method);
        const std::wstring solid = ArchiveText(archive, kpidSolid);
        AddLine(report, L"Solid", solid.empty() ? std::wstring(L"No") : solid);
        AddLine(report, L"Blocks", ArchiveText(archive, kpidNumBlocks));
        AddLine(report, L"Size", groupedNumber(figures.size));
        AddLine(report, L"Packed Size", groupedNumber(packed));
        AddLine(report, L"Archive Size", groupedNumber(fileSize));
        AddLine(report, L"Ratio", compressionRatio(packed, figures.size));
        AddLine(report, L"Files", groupedNumber(figures.files));
        AddLine(report, L"Folders", groupedNumber(figures.folders.size()));
        AddLine(report, L"Encrypted", namesEncrypted       ? L"Yes, names included"
                                      : figures.encrypted ? L"Yes"
                                                          : L"No");
        AddLine(report, L"Comment", ArchiveText(archive, kpidComment));
        const std::wstring damage = archiveDamage(archive, opened.streamSize);
        AddLine(report, L"Damage", damage.empty() ? std::wstring(L"None found") : damage);

        // Whatever else the handler tells of the archive.
        static const std::set<PROPID> shown = {kpidType,   kpidMethod,     kpidSolid,        kpidNumBlocks,
                                               kpidComment, kpidErrorFlags, kpidWarningFlags, kpidError,
                                               kpidWarning};
        for (PROPID id : DescribedProperties(archive, true)) {
            if (shown.count(id)) continue;
            AddLine(report, propertyName(id), ArchiveText(archive, id));
        }
        session.end();
    } catch (const std::bad_alloc&) {
        report.problem = L"out of memory";
    } catch (const CNewException&) {
        report.problem = L"out of memory";
    }
    return report;
}

PropertiesReport readEntryProperties(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password,
                                     const std::wstring& entryPath) {
    PropertiesReport report;
    try {
        ArchiveSession session;
        if (!Open(report, session, archivePath, kind, password)) return report;
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
        const bool folder = found < 0 || BoolProperty(archive, static_cast<UINT32>(found), kpidIsDir);
        if (found < 0 && below.files == 0 && below.folders.empty()) {
            report.opened = false;
            report.problem = L"the archive holds no entry \"" + entryPath + L"\"";
            return report;
        }
        if (found >= 0) {
            const UINT32 index = static_cast<UINT32>(found);
            AddLine(report, propertyName(kpidPath), itemPathOf(archive, index));
            EngineProperty value;
            for (PROPID id : DescribedProperties(archive, false)) {
                if (id == kpidPath || archive->GetProperty(index, id, value.put()) != S_OK) continue;
                AddLine(report, propertyName(id), propertyValueText(id, value.get()));
            }
        } else {
            AddLine(report, propertyName(kpidPath), entryPath);
            AddLine(report, propertyName(kpidIsDir), L"Yes");
        }
        if (folder) {
            AddLine(report, L"Files Inside", groupedNumber(below.files));
            AddLine(report, L"Folders Inside", groupedNumber(below.folders.size()));
            AddLine(report, L"Size of Files Inside", groupedNumber(below.size));
            if (below.packedKnown) AddLine(report, L"Packed Size of Files Inside", groupedNumber(below.packed));
        }
        session.end();
    } catch (const std::bad_alloc&) {
        report.problem = L"out of memory";
    } catch (const CNewException&) {
        report.problem = L"out of memory";
    }
    return report;
}
