// Extracting an archive: the engine decodes every item, the callback writes the wanted ones.
#include "engine/extraction.h"

#include <new>
#include <optional>

#include "engine/archive_health.h"
#include "engine/archive_listing.h"
#include "engine/archive_probe.h"
#include "engine/console_text.h"
#include "engine/engine_property.h"
#include "engine/extract_callback.h"
#include "engine/extract_path.h"
#include "engine/item_kinds.h"

namespace {

// The index of the last file item whose path is exactly `itemPath` (a deletion marker is none).
std::optional<UINT32> FindFileItem(IInArchive* archive, const ItemKinds& kinds, const std::wstring& itemPath,
                                   const std::wstring& unnamed) {
    UINT32 count = 0;
    if (archive->GetNumberOfItems(&count) != S_OK) return std::nullopt;
    std::optional<UINT32> found;
    EngineProperty value;
    for (UINT32 index = 0; index < count; ++index) {
        if (archive->GetProperty(index, kpidPath, value.put()) != S_OK) continue;
        if (value.type() == VT_BSTR && value.get().bstrVal && SysStringLen(value.get().bstrVal) != 0) {
            const BSTR path = value.get().bstrVal;
            if (itemPath.size() != SysStringLen(path) ||
                itemPath.compare(0, itemPath.size(), path, itemPath.size()) != 0)
                continue;
        } else if (unnamed.empty() || itemPath != unnamed) {
            continue;
        }
        if (archive->GetProperty(index, kpidIsDir, value.put()) == S_OK && value.type() == VT_BOOL &&
            value.get().boolVal != VARIANT_FALSE)
            continue;
        if (!kinds.isAnti(index)) found = index;
    }
    return found;
}

// Wanted items that the engine neither handed over to be written nor reported as failed: an
// archive whose data ends early can make a handler stop without an error.
uint64_t CountMissing(IInArchive* archive, const CArchiveExtractCallback& callback,
                      const std::vector<std::wstring>* selection, const std::vector<UINT32>& indices,
                      const std::wstring& unnamed) {
    UINT32 count = 0;
    if (indices.empty() && archive->GetNumberOfItems(&count) != S_OK) return 0;
    uint64_t missing = 0;
    const size_t total = indices.empty() ? count : indices.size();
    for (size_t i = 0; i < total; ++i) {
        const UINT32 index = indices.empty() ? static_cast<UINT32>(i) : indices[i];
        if (!callback.accountedFor(index) &&
            selectionTakes(selection, itemPathOf(archive, index, unnamed.empty() ? L"[Content]" : unnamed)))
            ++missing;
    }
    return missing;
}

ExtractionOutcome ExtractItems(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                               std::wstring& password, const std::vector<std::wstring>* selection,
                               const std::wstring* exactFile, const ExtractionOptions& options) {
    ExtractionOutcome outcome;
    try {
        ArchiveSession session;
        std::wstring knownPassword = password;
        OpenFailure failure;
        OpenedFormat format;
        if (openArchive(&knownPassword, session.library, session.archive, archivePath, kind, &failure, &format) != 0) {
            outcome.openFailure = failure;
            outcome.cancelled = failure.stopped;
            outcome.wrongPassword = failure.kind == OpenFailure::Kind::WrongPassword;
            return outcome;
        }
        outcome.opened = true;
        // A password that opened an encrypted item list is right: keep it for the caller.
        if (!knownPassword.empty()) password = knownPassword;

        outcome.destination = destination;
        const ItemKinds kinds(session.archive);
        HardLinkMap links;
        links.read(session.archive, kinds);
        std::vector<UINT32> indices;  // empty: all items
        if (exactFile) {
            const std::optional<UINT32> index = FindFileItem(session.archive, kinds, *exactFile, format.defaultItemName);
            if (!index) {
                outcome.noteFailure(*exactFile, {ItemFault::Kind::NotInArchive});
                return outcome;
            }
            // A hard link needs the item that holds its data, which comes first.
            const HardLinkMap::Link* link = links.find(*index);
            if (link && link->source != HardLinkMap::kNoItem && link->source < *index) indices.push_back(link->source);
            indices.push_back(*index);
        }

        auto callback = ComPtr<CArchiveExtractCallback>::share(NewEngineObject<CArchiveExtractCallback>());
        callback->init(session.archive, destination, selection);
        if (!format.defaultItemName.empty()) callback->setUnnamedItemName(format.defaultItemName);
        callback->setOptions(options);
        if (options.zoneMarking != ZoneMarking::Off && !options.testOnly)
            callback->setZoneIdentifier(ReadZoneIdentifier(archivePath));
        callback->setItemKinds(&kinds, &links);
        if (!knownPassword.empty()) callback->setPassword(knownPassword);
        const HRESULT extracted =
            session.archive->Extract(indices.empty() ? nullptr : indices.data(),
                                     indices.empty() ? 0xFFFFFFFF : static_cast<UINT32>(indices.size()),
                                     options.testOnly ? 1 : 0, static_cast<IArchiveExtractCallback*>(callback.get()));
        callback->finish();
        outcome = std::move(callback->outcome());
        if (callback->stopped())
            outcome.cancelled = true;
        else if (extracted != S_OK)
            outcome.engineError = extracted;
        else
            outcome.missing = CountMissing(session.archive, *callback.get(), selection, indices, format.defaultItemName);
        // Reading the items' data can show damage that opening did not. Data after the end of
        // the archive is no damage to items that came out whole.
        outcome.damage = archiveDamage(session.archive, format.streamSize);
        // A password typed during the extraction is handed back only when it proved right.
        if (outcome.succeeded() && callback->passwordKnown()) password = callback->password();
        callback.reset();
        session.end();
    } catch (const CNewException&) {
        outcome.engineError = E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        outcome.engineError = E_OUTOFMEMORY;
    }
    if (outcome.opened && !outcome.succeeded()) writeDiagnostic("Extract Error");
    return outcome;
}

}  // namespace

int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection, ExtractionOutcome* outcome) {
    return extractArchive(archivePath, kind, destination, password, selection, ExtractionOptions(), outcome);
}

int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection,
                   const ExtractionOptions& options, ExtractionOutcome* outcome) {
    ExtractionOutcome result = ExtractItems(archivePath, kind, destination, password, selection, nullptr, options);
    const int code = result.succeeded() ? 0 : 1;
    if (outcome) *outcome = std::move(result);
    return code;
}

ExtractionOutcome testArchive(const std::wstring& archivePath, ArchiveKind kind, std::wstring& password) {
    ExtractionOptions options;
    options.testOnly = true;
    return ExtractItems(archivePath, kind, std::wstring(), password, nullptr, nullptr, options);
}

int extractAll(const std::wstring& archivePath, const std::wstring& destination, ExtractionOutcome* outcome,
               ExistingFilePolicy existingFiles) {
    std::wstring password;
    ExtractionOptions options;
    options.existingFiles = existingFiles;
    return extractAll(archivePath, destination, password, options, outcome);
}

int extractAll(const std::wstring& archivePath, const std::wstring& destination, std::wstring& password,
               const ExtractionOptions& options, ExtractionOutcome* outcome) {
    const ArchiveKind kind = archiveKindOf(archivePath);
    if (kind == None && !isReadableArchive(archivePath)) return -1;
    return extractArchive(archivePath, kind, destination, password, nullptr, options, outcome);
}

ExtractionOutcome extractFileItem(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                                  std::wstring& password, const std::wstring& itemPath, ZoneMarking zoneMarking) {
    // The selection holds the item's own path, so the callback takes it; the index list makes
    // the engine hand over this one item and no other.
    const std::vector<std::wstring> selection{itemPath};
    ExtractionOptions options;
    options.zoneMarking = zoneMarking;
    return ExtractItems(archivePath, kind, destination, password, &selection, &itemPath, options);
}
