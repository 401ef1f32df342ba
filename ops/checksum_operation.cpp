#include "ops/checksum_operation.h"

#include <windows.h>

#include <algorithm>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "ops/fault_texts.h"
#include "ops/operation_support.h"
#include "ops/operation_ui.h"
#include "ops/progress.h"

namespace {

// The files a path stands for: itself, or every file below a folder, with their total size.
void CollectFiles(const std::wstring& path, std::vector<std::wstring>& files, uint64_t& bytes) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data)) {
        files.push_back(path);  // reported as unreadable
        return;
    }
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        files.push_back(path);
        bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;  // a link to elsewhere
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW(JoinPath(ExtendedPath(path), L"*").c_str(), &found));
    if (!find) return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    for (const std::wstring& name : names) CollectFiles(JoinPath(path, name), files, bytes);
}

OperationOutcome Concluded(const OperationProgress& progress, ProgressOutcome shown,
                           const std::vector<ChecksumResult>& results, const ReadFailure& failure) {
    if (progress.endedByUser(shown == ProgressOutcome::Cancelled)) return Outcome(OperationResult::Cancelled);
    const std::wstring problem = ReadFailureText(failure);
    if (!problem.empty()) return Outcome(OperationResult::Failed, L"The checksums could not be computed: " + problem);
    if (results.empty()) return Outcome(OperationResult::Failed, L"There is no file to compute checksums of.");
    return Outcome(OperationResult::Done);
}

}  // namespace

OperationOutcome ComputeFileChecksums(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& functions,
                                      std::vector<ChecksumResult>& results) {
    OperationProgress progress;
    results.clear();
    const ProgressOutcome shown = RunWithProgress(L"Checksums", L"Computing checksums ", progress, [&] {
        std::vector<std::wstring> files;
        uint64_t bytes = 0;
        for (const std::wstring& path : paths) CollectFiles(WithoutTrailingSeparator(path), files, bytes);
        progress.total = bytes;
        results = checksumFiles(files, functions, &progress.completed, &progress.cancel);
    });
    return Concluded(progress, shown, results, {});
}

OperationOutcome ComputeEntryChecksums(ItemCatalog& catalog, const std::vector<std::wstring>& names,
                                       const std::vector<std::wstring>& functions, std::vector<ChecksumResult>& results) {
    PasswordQuestionFor question(catalog.archivePath);
    OperationProgress progress;
    results.clear();
    ReadFailure failure;
    const ProgressOutcome shown = RunWithProgress(L"Checksums", L"Computing checksums ", progress, [&] {
        std::vector<std::wstring> selection;
        const std::wstring& folder = catalog.currentFolder;
        for (const std::wstring& name : names) selection.push_back(JoinPath(folder, name));
        std::wstring password = catalog.password;
        results = checksumArchiveEntries(catalog.archivePath, archiveKindOf(catalog.archivePath), password, selection,
                                         functions, &failure);
        if (!password.empty()) catalog.password = password;
    });
    return Concluded(progress, shown, results, failure);
}

std::wstring ChecksumReport(const std::vector<ChecksumResult>& results) {
    size_t width = 0;
    for (const ChecksumResult& result : results)
        for (const Checksum& checksum : result.checksums) width = std::max(width, checksum.function.size());
    std::wstring text;
    for (const ChecksumResult& result : results) {
        if (!text.empty()) text += L"\r\n";
        text += result.name + L"\r\n";
        if (result.fault.any()) text += L"    " + ItemFaultText(result.fault) + L"\r\n";
        for (const Checksum& checksum : result.checksums)
            text += L"    " + checksum.function + std::wstring(width + 2 - checksum.function.size(), L' ') +
                    checksum.value + L"\r\n";
    }
    return text;
}
