#include "ops/single_item_extraction.h"

#include <windows.h>

#include <new>
#include <optional>
#include <vector>

#include "engine/archive_listing.h"
#include "engine/engine_property.h"
#include "engine/extract_callback.h"
#include "engine/extract_path.h"

namespace {

// The index of the last file item whose path is exactly `itemPath`.
std::optional<UINT32> FindFileItem(IInArchive* archive, const std::wstring& itemPath) {
    UINT32 count = 0;
    if (archive->GetNumberOfItems(&count) != S_OK) return std::nullopt;
    std::optional<UINT32> found;
    EngineProperty value;
    for (UINT32 index = 0; index < count; ++index) {
        if (archive->GetProperty(index, kpidPath, value.put()) != S_OK || value.type() != VT_BSTR ||
            !value.get().bstrVal)
            continue;
        const BSTR path = value.get().bstrVal;
        if (itemPath.size() != SysStringLen(path) || itemPath.compare(0, itemPath.size(), path, itemPath.size()) != 0)
            continue;
        if (archive->GetProperty(index, kpidIsDir, value.put()) == S_OK && value.type() == VT_BOOL &&
            value.get().boolVal != VARIANT_FALSE)
            continue;
        found = index;
    }
    return found;
}

bool IsRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

}  // namespace

bool ExtractSingleItem(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                       std::wstring& password, const std::wstring& itemPath, std::wstring& writtenFile) {
    writtenFile.clear();
    const std::optional<std::wstring> relative = safeRelativePath(itemPath);
    if (!relative) return false;
    try {
        ArchiveSession session;
        std::wstring knownPassword = password;
        if (openArchive(&knownPassword, session.library, session.archive, archivePath, kind) != 0) return false;
        if (!knownPassword.empty()) password = knownPassword;
        const std::optional<UINT32> index = FindFileItem(session.archive, itemPath);
        if (!index) return false;

        // The selection holds the item's own path, so the callback takes it; the index list
        // makes the engine hand over this one item and no other.
        const std::vector<std::wstring> selection{itemPath};
        auto callback = ComPtr<CArchiveExtractCallback>::share(NewEngineObject<CArchiveExtractCallback>());
        callback->init(session.archive, destination, &selection);
        if (!knownPassword.empty()) callback->setPassword(knownPassword);
        const UINT32 indices[1] = {*index};
        const HRESULT extracted =
            session.archive->Extract(indices, 1, 0, static_cast<IArchiveExtractCallback*>(callback.get()));
        const bool ok = extracted == S_OK && callback->errorCount() == 0 && callback->unsafeCount() == 0;
        if (ok && callback->passwordKnown()) password = callback->password();
        callback.reset();
        session.end();
        if (!ok) return false;
    } catch (const CNewException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::wstring folder = destination;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    const std::wstring file = folder + *relative;
    if (!IsRegularFile(file)) return false;
    writtenFile = file;
    return true;
}
