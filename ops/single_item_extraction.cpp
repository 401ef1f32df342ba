#include "ops/single_item_extraction.h"

#include <windows.h>

#include "engine/extraction.h"

namespace {

bool IsRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

}  // namespace

bool ExtractSingleItem(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                       std::wstring& password, const std::wstring& itemPath, std::wstring& writtenFile,
                       ExtractionOutcome* outcome, ZoneMarking zoneMarking) {
    writtenFile.clear();
    ExtractionOutcome result = extractFileItem(archivePath, kind, destination, password, itemPath, zoneMarking);
    const bool written = result.succeeded() && result.written == 1 && IsRegularFile(result.lastFile);
    if (written) writtenFile = result.lastFile;
    if (outcome) *outcome = std::move(result);
    return written;
}
