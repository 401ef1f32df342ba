#include "ops/edited_entries.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "base/folder_tree.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "engine/checksums.h"
#include "engine/extraction_outcome.h"
#include "engine/item_names.h"
#include "ops/fault_texts.h"
#include "ops/operation_support.h"
#include "ops/progress.h"
#include "ops/temp_workspace.h"
#include "ops/update_failure.h"
#include "ops/update_runs.h"

namespace {

constexpr wchar_t kDigestFunction[] = L"SHA256";

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A catalogue of its own for the entry's archive: the window may show another archive, or
// another folder of this one.
void PrepareCatalog(ItemCatalog& catalog, const OpenedEntry& entry, const std::wstring& entryPath) {
    catalog.archivePath = entry.archivePath;
    catalog.currentFolder = FolderOf(entryPath);
    catalog.password = entry.password;
}

// The first "name (n).ext" beside the entry that no entry of the archive has.
std::wstring FreeNameBeside(const std::wstring& entryPath, const std::vector<std::wstring>& entries) {
    std::unordered_set<std::wstring> taken;
    for (const std::wstring& path : entries) taken.insert(caseBlindKey(path));
    for (unsigned number = 2;; ++number) {
        std::wstring candidate = numberedName(entryPath, number);
        if (taken.count(caseBlindKey(candidate)) == 0) return candidate;
    }
}

WriteBackCheck ReadBack(const OpenedEntry& entry) {
    WriteBackCheck check;
    if (GetFileAttributesW(ExtendedPath(entry.archivePath).c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (Missing(error)) check.state = WriteBack::ArchiveGone;
        else check.cause = SystemErrorText(error);
        return check;
    }
    ItemCatalog catalog;
    PrepareCatalog(catalog, entry, entry.entryPath);
    if (entry.entryPath.empty()) {
        check.state = WriteBack::NotUpdatable;
        check.cause = L"the entry has no name of its own there";
        return check;
    }
    if (!ArchiveCanChange(catalog)) {
        check.state = WriteBack::NotUpdatable;
        check.cause = L"this program cannot update an archive of its kind";
        return check;
    }
    const ArchiveKind kind = archiveKindOf(entry.archivePath);
    std::wstring password = entry.password;
    ReadFailure failure;
    const std::vector<ChecksumResult> read =
        checksumArchiveEntries(entry.archivePath, kind, password, {entry.entryPath}, {kDigestFunction}, &failure);
    if (failure.any()) {
        check.cause = ReadFailureText(failure);
        return check;
    }
    // The window shows the last of several entries of one path; that is the one that was opened.
    const auto found = std::find_if(read.rbegin(), read.rend(),
                                    [&](const ChecksumResult& item) { return item.name == entry.entryPath; });
    if (found == read.rend()) {
        check.state = WriteBack::EntryGone;
        return check;
    }
    if (found->fault.any()) {
        check.cause =
            FileNameOf(entry.entryPath) + L" does not read back intact (" + ItemFaultText(found->fault) + L")";
        return check;
    }
    if (!entry.openedDigest.empty() && !found->checksums.empty() &&
        found->checksums.front().value == entry.openedDigest) {
        check.state = WriteBack::Replace;
        return check;
    }
    const std::optional<std::vector<std::wstring>> entries =
        EntryPaths(entry.archivePath, kind, WideToUtf8Lossy(password));
    if (!entries) {
        check.cause = L"its list of entries could not be read";
        return check;
    }
    check.state = WriteBack::EntryChanged;
    check.besideName = FreeNameBeside(entry.entryPath, *entries);
    return check;
}

}  // namespace

bool ReadFileStamp(const std::wstring& file, uint64_t& size, FILETIME& written) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    written = data.ftLastWriteTime;
    return true;
}

bool OpenedEntryChanged(const OpenedEntry& entry) {
    uint64_t size = 0;
    FILETIME written{};
    if (!ReadFileStamp(entry.file, size, written)) return false;
    return size != entry.size || CompareFileTime(&written, &entry.written) != 0;
}

std::wstring CopyDigest(const std::wstring& file) { return FileDigests(kDigestFunction).ofFile(file); }

WriteBackCheck CheckWriteBack(const OpenedEntry& entry) {
    WriteBackCheck check;
    OperationProgress progress;
    const auto read = [&] { check = ReadBack(entry); };
    const ProgressOutcome shown = RunWithProgress(L"Check Archive", L"Reading ", progress, read);
    if (shown == ProgressOutcome::NoThread) read();
    check.cancelled = progress.endedByUser(shown == ProgressOutcome::Cancelled);
    return check;
}

std::wstring WriteBackQuestion(const OpenedEntry& entry, const WriteBackCheck& check) {
    const std::wstring name = FileNameOf(entry.entryPath), archive = FileNameOf(entry.archivePath);
    std::wstring text = L"The file " + name + L", opened from " + archive + L", was changed.";
    switch (check.state) {
    case WriteBack::Replace: return text + L"\nDo you want to update it in the archive?";
    case WriteBack::EntryChanged:
        return text + L"\nMeanwhile another program changed " + name + L" in " + archive +
               L": replacing it would lose that version.\nDo you want to add your copy beside it as \"" +
               FileNameOf(check.besideName) + L"\"?";
    case WriteBack::EntryGone:
        return text + L"\n" + name + L" is no longer in " + archive + L".\nDo you want to add it to the archive again?";
    case WriteBack::ArchiveGone:
        text += L"\n" + archive + L" is no longer in " + FolderOf(entry.archivePath) + L" (moved or deleted).";
        break;
    case WriteBack::NotUpdatable: text += L"\n" + archive + L" cannot take it back: " + check.cause + L"."; break;
    case WriteBack::Unreadable: text += L"\n" + archive + L" cannot be read now: " + check.cause + L"."; break;
    }
    return text + L"\nDo you want to save your copy elsewhere?";
}

OperationOutcome UpdateOpenedEntry(const OpenedEntry& entry, const WriteBackCheck& agreed, std::wstring* takenPath) {
    if (!WriteBackGoesIntoArchive(agreed.state))
        return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    const WriteBackCheck now = CheckWriteBack(entry);
    if (now.cancelled) return Outcome(OperationResult::Cancelled);
    if (now.state != agreed.state || now.besideName != agreed.besideName)
        return Outcome(OperationResult::Failed,
                       UpdateFailureMessage(FileNameOf(entry.archivePath),
                                            FileNameOf(entry.entryPath) +
                                                L" in the archive changed again while you were asked",
                                            now.state != WriteBack::ArchiveGone));
    const std::wstring target = agreed.state == WriteBack::EntryChanged ? agreed.besideName : entry.entryPath;
    ItemCatalog catalog;
    PrepareCatalog(catalog, entry, target);
    OperationOutcome outcome;
    if (FileNameOf(entry.file) == FileNameOf(target)) {
        outcome = AddFiles(catalog, {entry.file});
    } else {
        // The copy takes the entry's name in a folder of its own, from which it is added.
        const std::wstring folder = CreateFreshTempFolder(kStagingPrefix);
        const std::wstring renamed = JoinPath(folder, FileNameOf(target));
        if (folder.empty() || !CopyFileW(ExtendedPath(entry.file).c_str(), ExtendedPath(renamed).c_str(), TRUE))
            outcome = Outcome(OperationResult::Failed,
                              UpdateFailureMessage(FileNameOf(entry.archivePath),
                                                   L"the copy could not be named " + FileNameOf(target) + L" (" +
                                                       SystemErrorText(GetLastError()) + L")",
                                                   true));
        else
            outcome = AddFiles(catalog, {renamed});
        if (!folder.empty()) RemoveFolderTree(folder);
    }
    if (outcome.done() && takenPath) *takenPath = target;
    return outcome;
}
