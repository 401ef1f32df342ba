// The content view's commands beyond add, extract and delete: extracting beside the archive,
// testing, properties, renaming and new folders. The view asks the user first; these do the work.
#include <windows.h>

#include "base/folder_tree.h"
#include "base/path_tests.h"
#include "base/paths.h"
#include "base/system_error.h"
#include "catalog/item_catalog.h"
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "engine/extraction.h"
#include "ops/archive_inspection.h"
#include "ops/archive_operations.h"
#include "ops/entry_names.h"
#include "ops/extract_destination.h"
#include "ops/whole_archive_extraction.h"
#include "ui/content_model.h"

bool IsArchiveFile(const std::wstring& path) { return archiveKindOf(path) != None || isReadableArchive(path); }

ViewChange ContentModel::ExtractBeside(const std::vector<int>& positions, ExtractPlace place, bool keepFolders,
                                       std::vector<std::wstring>& written) {
    // The folders made for a run are taken away again when it wrote nothing into them.
    ExtractDestination made;
    const auto destinationFor = [&](const std::wstring& archive, const std::wstring& folder) -> std::wstring {
        const std::wstring destination =
            place == ExtractPlace::Here ? folder : JoinPath(folder, ExtractFolderName(FileNameOf(archive)));
        made = ExtractDestination();
        SetLastError(0);
        if (made.Make(destination)) return destination;
        const DWORD error = GetLastError();
        Tell(WholeArchiveOutcome(FolderNotMade(destination, error), FileNameOf(archive)));
        return {};
    };
    if (catalog_) {
        const std::wstring destination = destinationFor(catalog_->archivePath, FolderOf(catalog_->archivePath));
        if (destination.empty()) return ViewChange::None;
        ExtractRequest request;
        for (int position : positions)
            if (const std::optional<ItemRow> row = RowCopy(position)) request.names.push_back(row->name);
        request.destination = destination;
        request.keepFolders = keepFolders;
        const OperationOutcome outcome = ExtractEntries(*catalog_, request);
        Tell(outcome);
        if (outcome.done()) written.push_back(destination);
        else made.RemoveUnused();
        return ViewChange::None;
    }
    for (int position : positions) {
        const std::optional<ItemRow> row = RowCopy(position);
        if (!row) continue;
        const std::wstring archive = row->fullPath, name = row->name;
        if (!IsArchiveFile(archive)) {
            Tell(WholeArchiveOutcome(NotAnArchiveFile(), name));
            continue;
        }
        const std::wstring destination = destinationFor(archive, currentFolder);
        if (destination.empty()) continue;
        const WholeArchiveExtraction extracted = ExtractWholeArchive(archive, destination, ExistingFilePolicy::Ask);
        if (extracted.result == WholeArchiveResult::Extracted) written.push_back(destination);
        else made.RemoveUnused();
        Tell(WholeArchiveOutcome(extracted, name));
        if (extracted.cancelled) break;
    }
    // What was written into the folder shown is listed at once.
    BrowseFolder(currentFolder);
    return ViewChange::Changed;
}

bool ContentModel::ExtractNamesInto(const std::vector<std::wstring>& names, const std::wstring& folder) {
    if (!catalog_ || names.empty()) return false;
    ExtractRequest request;
    request.names = names;
    request.destination = folder;
    request.keepFolders = false;
    request.existingFiles = ExistingFilePolicy::Replace;  // a fresh folder of the program's own
    const OperationOutcome outcome = ExtractEntries(*catalog_, request);
    Tell(outcome);
    return outcome.done();
}

std::wstring ContentModel::TestRows(const std::vector<int>& positions) {
    std::wstring report;
    const auto add = [&](const std::wstring& archive, std::wstring& password) {
        const ArchiveTest test = TestArchive(archive, password);
        if (test.result == OperationResult::Cancelled) return false;
        report += (report.empty() ? L"" : L"\n\n") + TestReportText(test, FileNameOf(archive));
        return true;
    };
    if (catalog_) {
        add(catalog_->archivePath, catalog_->password);
        return report;
    }
    for (int position : positions) {
        const std::optional<ItemRow> row = RowCopy(position);
        if (!row) continue;
        if (!IsArchiveFile(row->fullPath)) {
            Tell(row->name + L" is not valid archive file.");
            continue;
        }
        std::wstring password;
        if (!add(row->fullPath, password)) break;
    }
    return report;
}

bool ContentModel::ShowsShellProperties(const std::vector<int>& positions) const {
    if (catalog_ || positions.size() != 1) return false;
    const std::optional<ItemRow> row = RowCopy(positions.front());
    return row && !row->fullPath.empty() && (!IsArchiveFile(row->fullPath) || IsDirectory(row->fullPath));
}

std::optional<ContentModel::Properties> ContentModel::PropertiesOf(const std::vector<int>& positions) {
    PropertiesReport report;
    std::wstring name;
    if (catalog_) {
        const std::optional<ItemRow> row = positions.size() == 1 ? RowCopy(positions.front()) : std::nullopt;
        if (row && !row->parentRow) {
            name = row->name;
            report = EntryPropertiesOf(catalog_->archivePath, catalog_->password, row->fullPath);
        } else {
            name = FileNameOf(catalog_->archivePath);
            report = ArchivePropertiesOf(catalog_->archivePath, catalog_->password);
        }
    } else {
        const std::optional<ItemRow> row = positions.size() == 1 ? RowCopy(positions.front()) : std::nullopt;
        if (!row || !IsArchiveFile(row->fullPath)) return std::nullopt;
        name = row->name;
        std::wstring password;
        report = ArchivePropertiesOf(row->fullPath, password);
    }
    if (report.cancelled) return std::nullopt;
    if (!report.opened) {
        Tell(L"Could not read the properties of " + name + (report.problem.empty() ? L"." : L":\n" + report.problem + L"."));
        return std::nullopt;
    }
    return Properties{name + L" Properties", std::move(report.lines)};
}

bool ContentModel::CanChangeItems() const {
    if (catalog_) return ArchiveCanChange(*catalog_);
    return !showsDrives_ && IsDirectory(currentFolder);
}

std::wstring ContentModel::ItemNameOf(int position) const {
    const std::optional<ItemRow> row = RowCopy(position);
    if (!row || row->parentRow) return {};
    // Listings may show the shell's display name; the item's own name is its path's.
    return catalog_ ? row->name : FileNameOf(WithoutTrailingSeparator(row->fullPath));
}

std::wstring ContentModel::NewNameProblem(const std::wstring& name, const std::wstring& currentName) const {
    if (std::wstring problem = NameProblem(name); !problem.empty()) return problem;
    std::vector<std::wstring> others;
    for (int position = 0; position < RowCount(); ++position) {
        const std::wstring other = ItemNameOf(position);
        if (!other.empty() && other != currentName) others.push_back(other);
    }
    if (NameTaken(name, others)) return L"An item named \"" + name + L"\" is already in this folder.";
    return {};
}

std::wstring ContentModel::ProposedFolderName() const {
    std::vector<std::wstring> names;
    for (int position = 0; position < RowCount(); ++position) names.push_back(ItemNameOf(position));
    return FreeNewFolderName(names);
}

ViewChange ContentModel::RenameRow(int position, const std::wstring& newName) {
    const std::optional<ItemRow> row = RowCopy(position);
    if (!row || row->parentRow) return ViewChange::None;
    if (catalog_) {
        const OperationOutcome outcome = RenameEntry(*catalog_, row->name, newName);
        Tell(outcome);
        LoadArchiveRows();
        return outcome.result == OperationResult::Unsupported ? ViewChange::None : ViewChange::Changed;
    }
    const std::wstring from = WithoutTrailingSeparator(row->fullPath);
    const std::wstring to = JoinPath(FolderOf(from), newName);
    if (!MoveFileW(from.c_str(), to.c_str())) {
        Tell(L"Could not rename " + FileNameOf(from) + L"\n" + SystemErrorText(GetLastError()) + L".",
             MessageKind::Warning);
        return ViewChange::None;
    }
    BrowseFolder(currentFolder);
    return ViewChange::Changed;
}

ViewChange ContentModel::MakeFolder(const std::wstring& name) {
    if (catalog_) {
        const OperationOutcome outcome = AddNewFolder(*catalog_, name);
        Tell(outcome);
        if (outcome.result == OperationResult::Unsupported) return ViewChange::None;
        Tell(ReloadArchive(*catalog_));
        LoadArchiveRows();
        return ViewChange::Changed;
    }
    if (!CreateDirectoryW(JoinPath(currentFolder, name).c_str(), nullptr)) {
        Tell(L"Could not make the folder " + name + L"\n" + SystemErrorText(GetLastError()) + L".",
             MessageKind::Warning);
        return ViewChange::None;
    }
    BrowseFolder(currentFolder);
    return ViewChange::Changed;
}

bool ContentModel::ReloadIfShowing(const std::wstring& archivePath) {
    if (!catalog_ || lstrcmpiW(catalog_->archivePath.c_str(), archivePath.c_str()) != 0) return false;
    Tell(ReloadArchive(*catalog_));
    LoadArchiveRows();
    return true;
}
