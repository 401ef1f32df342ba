// The content view's commands on the rows of its model. The view asks the user first (which
// rows, which folder, whether to delete, a name); these do the work and tell the outcome.
#include "ui/content_commands.h"

#include <windows.h>
#include <shellapi.h>

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
#include "ops/batch_extraction.h"
#include "ops/entry_names.h"
#include "ops/extract_destination.h"
#include "ops/smart_extraction.h"
#include "ops/whole_archive_extraction.h"
#include "ui/app_globals.h"
#include "res/resource.h"
#include "ui/extract_choices_store.h"
#include "ui/resource_module.h"

namespace {

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::vector<std::wstring> ContentCommands::NamesOf(const std::vector<int>& positions) const {
    std::vector<std::wstring> names;
    for (int position : positions)
        if (position >= 0 && position < model_.RowCount()) names.emplace_back(model_.RowName(position));
    return names;
}

std::vector<std::wstring> ContentCommands::PathsOf(const std::vector<int>& positions) const {
    std::vector<std::wstring> paths;
    for (int position : positions)
        if (position >= 0 && position < model_.RowCount()) paths.push_back(model_.RowFullPath(position));
    return paths;
}

std::wstring ContentCommands::ExtractStartFolder(const std::vector<int>& positions) const {
    ItemCatalog* const catalog = model_.catalog();
    if (catalog) return FolderOf(catalog->archivePath);
    return positions.empty() || positions.front() < 0 || positions.front() >= model_.RowCount()
               ? std::wstring()
               : FolderOf(model_.RowFullPath(positions.front()));
}

ViewChange ContentCommands::ExtractRows(const std::vector<int>& positions, const std::wstring& folder, bool* done) {
    ItemCatalog* const catalog = model_.catalog();
    if (catalog) {
        ExtractRequest request;
        request.names = NamesOf(positions);
        request.destination = folder;
        request.zoneMarking = StoredZoneMarking();
        const OperationOutcome outcome =
            request.names.empty() ? OperationOutcome() : ExtractEntries(*catalog, request);
        messages_.Tell(outcome);
        if (done) *done = outcome.done();
        return ViewChange::Changed;
    }
    const ItemRow row = model_.RowAt(positions.front());
    // A file already in the folder is asked about, never replaced unseen.
    const WholeArchiveExtraction extracted =
        ExtractWholeArchive(row.fullPath, folder, ExistingFilePolicy::Ask, StoredZoneMarking());
    if (done) *done = extracted.result == WholeArchiveResult::Extracted;
    messages_.Tell(WholeArchiveOutcome(extracted, row.name));
    // What was written into the folder shown, or below it, is listed at once.
    const std::wstring shown = model_.currentFolder;
    if (IsSameOrInside(folder, shown) && model_.BrowseFolder(shown)) return ViewChange::Changed;
    return extracted.result == WholeArchiveResult::Extracted ? ViewChange::None : ViewChange::Changed;
}

ViewChange ContentCommands::ExtractRows(const std::vector<int>& positions, const ExtractChoices& choices,
                                        std::wstring& written) {
    written.clear();
    ItemCatalog* const catalog = model_.catalog();
    if (!catalog) {
        const ItemRow row = model_.RowAt(positions.front());
        const WholeArchiveExtraction extracted = ExtractWholeArchiveAsChosen(row.fullPath, choices, written);
        messages_.Tell(WholeArchiveOutcome(extracted, row.name));
        const std::wstring shown = model_.currentFolder;
        if (IsSameOrInside(choices.destination, shown) && model_.BrowseFolder(shown)) return ViewChange::Changed;
        return extracted.result == WholeArchiveResult::Extracted ? ViewChange::None : ViewChange::Changed;
    }
    ExtractRequest request;
    std::vector<std::wstring> items;
    std::vector<bool> folders;
    for (int position : positions) {
        const std::optional<ItemRow> row = model_.RowCopy(position);
        if (!row || row->parentRow) continue;
        request.names.push_back(row->name);
        items.push_back(JoinPath(catalog->currentFolder, row->name));
        folders.push_back((row->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    }
    const bool ownFolder =
        choices.newFolder && LandingTopCount(items, folders, choices.paths, catalog->currentFolder) >= 2;
    request.destination =
        ownFolder ? FreeFolderFor(choices.destination, FileNameOf(catalog->archivePath)) : choices.destination;
    ExtractDestination made;
    SetLastError(0);
    if (!made.Make(request.destination)) {
        const DWORD error = GetLastError();
        messages_.Tell(WholeArchiveOutcome(FolderNotMade(request.destination, error), FileNameOf(catalog->archivePath)));
        return ViewChange::None;
    }
    request.keepFolders = choices.paths == PathMode::Full;
    request.noPaths = choices.paths == PathMode::None;
    request.existingFiles = choices.existingFiles;
    request.password = choices.password;
    request.zoneMarking = choices.zoneMarking;
    const OperationOutcome outcome = ExtractEntries(*catalog, request);
    messages_.Tell(outcome);
    if (outcome.done()) written = request.destination;
    else made.RemoveUnused();
    return ViewChange::Changed;
}

ViewChange ContentCommands::DeleteRows(const std::vector<int>& positions) {
    ItemCatalog* const catalog = model_.catalog();
    if (catalog) {
        const OperationOutcome outcome = DeleteEntries(*catalog, NamesOf(positions));
        messages_.Tell(outcome);
        model_.LoadArchiveRows();
        return outcome.result == OperationResult::Unsupported ? ViewChange::None : ViewChange::Changed;
    }
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    // The shell takes a list of paths, each terminated, closed by an extra terminator.
    std::wstring list;
    for (int position : positions) {
        const std::wstring path = model_.RowFullPath(position);
        if (path.empty()) continue;
        list += path;
        list.push_back(L'\0');
    }
    if (list.empty()) return ViewChange::None;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = g_app.OwnerWindow.load();
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_MULTIDESTFILES | (shift ? 0 : FOF_ALLOWUNDO);
    if (SHFileOperationW(&operation) != 0) return ViewChange::None;
    model_.SelectLocation(model_.currentLocation);
    return ViewChange::Changed;
}

void ContentCommands::AddFiles(const std::vector<std::wstring>& paths) {
    ItemCatalog* const catalog = model_.catalog();
    if (!catalog) {
        messages_.Tell(ResourceString(IDS_OPEN_ARCHIVE_FIRST), MessageKind::Warning);
        return;
    }
    messages_.Tell(::AddFiles(*catalog, paths));
    messages_.Tell(ShowChangedArchive(*catalog));
    model_.LoadArchiveRows();
}

bool IsArchiveFile(const std::wstring& path) { return archiveKindOf(path) != None || isReadableArchive(path); }

ViewChange ContentCommands::ExtractBeside(const std::vector<int>& positions, ExtractPlace place, bool keepFolders,
                                          std::vector<std::wstring>& written) {
    ItemCatalog* const catalog = model_.catalog();
    // Archive files of a folder: smart, or several at once, run behind one progress window with one summary.
    if (!catalog && (place == ExtractPlace::Smart || positions.size() > 1)) {
        const ArchivePlace where = place == ExtractPlace::Smart ? ArchivePlace::Smart
                                   : place == ExtractPlace::Here ? ArchivePlace::Here
                                                                 : ArchivePlace::OwnFolder;
        return ExtractArchiveFiles(positions, where, written);
    }
    // The folders made for a run are taken away again when it wrote nothing into them.
    ExtractDestination made;
    const auto destinationFor = [&](const std::wstring& archive, const std::wstring& folder) -> std::wstring {
        std::wstring destination =
            place == ExtractPlace::Here ? folder : JoinPath(folder, ExtractFolderName(FileNameOf(archive)));
        if (place == ExtractPlace::Smart) destination = SmartDestination(SmartTopNames(positions, keepFolders),
                                                                         archive, PathExists).folder;
        made = ExtractDestination();
        SetLastError(0);
        if (made.Make(destination)) return destination;
        const DWORD error = GetLastError();
        messages_.Tell(WholeArchiveOutcome(FolderNotMade(destination, error), FileNameOf(archive)));
        return {};
    };
    if (catalog) {
        const std::wstring destination = destinationFor(catalog->archivePath, FolderOf(catalog->archivePath));
        if (destination.empty()) return ViewChange::None;
        ExtractRequest request;
        for (int position : positions)
            if (const std::optional<ItemRow> row = model_.RowCopy(position)) request.names.push_back(row->name);
        request.destination = destination;
        request.keepFolders = keepFolders;
        request.zoneMarking = StoredZoneMarking();
        const OperationOutcome outcome = ExtractEntries(*catalog, request);
        messages_.Tell(outcome);
        if (outcome.done()) written.push_back(destination);
        else made.RemoveUnused();
        return ViewChange::None;
    }
    for (int position : positions) {
        const std::optional<ItemRow> row = model_.RowCopy(position);
        if (!row) continue;
        const std::wstring archive = row->fullPath, name = row->name;
        if (!IsArchiveFile(archive)) {
            messages_.Tell(WholeArchiveOutcome(NotAnArchiveFile(), name));
            continue;
        }
        const std::wstring destination = destinationFor(archive, model_.currentFolder);
        if (destination.empty()) continue;
        const WholeArchiveExtraction extracted =
            ExtractWholeArchive(archive, destination, ExistingFilePolicy::Ask, StoredZoneMarking());
        if (extracted.result == WholeArchiveResult::Extracted) written.push_back(destination);
        else made.RemoveUnused();
        messages_.Tell(WholeArchiveOutcome(extracted, name));
        if (extracted.cancelled) break;
    }
    // What was written into the folder shown is listed at once.
    model_.BrowseFolder(model_.currentFolder);
    return ViewChange::Changed;
}

std::vector<std::wstring> ContentCommands::SmartTopNames(const std::vector<int>& positions, bool keepFolders) const {
    ItemCatalog* const catalog = model_.catalog();
    TopLevelNames top;
    const std::wstring& folder = catalog->currentFolder;
    if (positions.empty() && !folder.empty()) return {L"", L""};  // the whole archive, its top not shown: several
    if (!positions.empty() && keepFolders && !folder.empty()) top.add(folder);
    else if (positions.empty())
        for (int row = 1; row < catalog->RowCount(); ++row) top.add(catalog->RowName(row));
    else
        for (const std::wstring& name : NamesOf(positions)) top.add(name);
    return top.names();
}

ViewChange ContentCommands::ExtractArchiveFiles(const std::vector<int>& positions, ArchivePlace place,
                                                std::vector<std::wstring>& written) {
    std::vector<ArchiveToExtract> archives;
    for (const std::wstring& path : PathsOf(positions)) {
        if (!IsArchiveFile(path)) {
            messages_.Tell(WholeArchiveOutcome(NotAnArchiveFile(), FileNameOf(path)));
            continue;
        }
        ArchiveToExtract archive;
        archive.archive = path;
        archive.folder = model_.currentFolder;
        archive.place = place;
        archives.push_back(archive);
    }
    if (archives.empty()) return ViewChange::None;
    const std::vector<ExtractedArchive> extracted = ExtractArchives(archives);
    for (const ExtractedArchive& one : extracted)
        if (one.extraction.result == WholeArchiveResult::Extracted) written.push_back(one.destination);
    messages_.Tell(ArchivesOutcome(extracted));
    model_.BrowseFolder(model_.currentFolder);
    return ViewChange::Changed;
}

bool ContentCommands::ExtractNamesInto(const std::vector<std::wstring>& names, const std::wstring& folder) {
    ItemCatalog* const catalog = model_.catalog();
    if (!catalog || names.empty()) return false;
    ExtractRequest request;
    request.names = names;
    request.destination = folder;
    request.keepFolders = false;
    request.existingFiles = ExistingFilePolicy::Replace;  // a fresh folder of the program's own
    request.zoneMarking = StoredZoneMarking();
    const OperationOutcome outcome = ExtractEntries(*catalog, request);
    messages_.Tell(outcome);
    return outcome.done();
}

std::wstring ContentCommands::TestRows(const std::vector<int>& positions) {
    ItemCatalog* const catalog = model_.catalog();
    std::wstring report;
    const auto add = [&](const std::wstring& archive, std::wstring& password) {
        const ArchiveTest test = TestArchive(archive, password);
        if (test.result == OperationResult::Cancelled) return false;
        report += (report.empty() ? L"" : L"\n\n") + TestReportText(test, FileNameOf(archive));
        return true;
    };
    if (catalog) {
        add(catalog->archivePath, catalog->password);
        return report;
    }
    for (int position : positions) {
        const std::optional<ItemRow> row = model_.RowCopy(position);
        if (!row) continue;
        if (!IsArchiveFile(row->fullPath)) {
            messages_.Tell(ResourceString(IDS_NOT_VALID_ARCHIVE, {row->name}));
            continue;
        }
        std::wstring password;
        if (!add(row->fullPath, password)) break;
    }
    return report;
}

bool ContentCommands::ShowsShellProperties(const std::vector<int>& positions) const {
    if (model_.catalog() || positions.size() != 1) return false;
    const std::optional<ItemRow> row = model_.RowCopy(positions.front());
    return row && !row->fullPath.empty() && (!IsArchiveFile(row->fullPath) || IsDirectory(row->fullPath));
}

std::optional<ContentCommands::Properties> ContentCommands::PropertiesOf(const std::vector<int>& positions) {
    ItemCatalog* const catalog = model_.catalog();
    PropertiesReport report;
    std::wstring name;
    if (catalog) {
        const std::optional<ItemRow> row = positions.size() == 1 ? model_.RowCopy(positions.front()) : std::nullopt;
        if (row && !row->parentRow) {
            name = row->name;
            report = EntryPropertiesOf(catalog->archivePath, catalog->password, row->fullPath);
        } else {
            name = FileNameOf(catalog->archivePath);
            report = ArchivePropertiesOf(catalog->archivePath, catalog->password);
        }
    } else {
        const std::optional<ItemRow> row = positions.size() == 1 ? model_.RowCopy(positions.front()) : std::nullopt;
        if (!row || !IsArchiveFile(row->fullPath)) return std::nullopt;
        name = row->name;
        std::wstring password;
        report = ArchivePropertiesOf(row->fullPath, password);
    }
    if (report.cancelled) return std::nullopt;
    if (!report.opened) {
        messages_.Tell(report.problem.empty() ? ResourceString(IDS_PROPERTIES_UNREADABLE, {name})
                                              : ResourceString(IDS_PROPERTIES_UNREADABLE_BECAUSE, {name, report.problem}));
        return std::nullopt;
    }
    return Properties{ResourceString(IDS_PROPERTIES_TITLE, {name}), std::move(report.lines)};
}

bool ContentCommands::CanChangeItems() const {
    ItemCatalog* const catalog = model_.catalog();
    if (catalog) return ArchiveCanChange(*catalog);
    return !model_.ShowsDrives() && IsDirectory(model_.currentFolder);
}

std::wstring ContentCommands::NewNameProblem(const std::wstring& name, const std::wstring& currentName) const {
    if (std::wstring problem = NameProblem(name); !problem.empty()) return problem;
    // An archive's rows are named by their entries' names, read in place: a folder of many
    // entries is gone through without a copy of each row.
    std::wstring owned;
    for (int position = 0; position < model_.RowCount(); ++position) {
        if (model_.IsParentRow(position)) continue;
        std::wstring_view other = model_.RowName(position);
        if (!model_.InArchive()) other = owned = model_.ItemNameOf(position);
        if (!other.empty() && other != currentName && SameName(other, name))
            return ResourceString(IDS_NAME_TAKEN, {name});
    }
    return {};
}

std::wstring ContentCommands::ProposedFolderName() const {
    std::vector<std::wstring> names;
    for (int position = 0; position < model_.RowCount(); ++position) names.push_back(model_.ItemNameOf(position));
    return FreeNewFolderName(names);
}

ViewChange ContentCommands::RenameRow(int position, const std::wstring& newName) {
    ItemCatalog* const catalog = model_.catalog();
    const std::optional<ItemRow> row = model_.RowCopy(position);
    if (!row || row->parentRow) return ViewChange::None;
    if (catalog) {
        const OperationOutcome outcome = RenameEntry(*catalog, row->name, newName);
        messages_.Tell(outcome);
        model_.LoadArchiveRows();
        return outcome.result == OperationResult::Unsupported ? ViewChange::None : ViewChange::Changed;
    }
    const std::wstring from = WithoutTrailingSeparator(row->fullPath);
    const std::wstring to = JoinPath(FolderOf(from), newName);
    if (!MoveFileW(from.c_str(), to.c_str())) {
        messages_.Tell(ResourceString(IDS_RENAME_FAILED, {FileNameOf(from), SystemErrorText(GetLastError())}),
                       MessageKind::Warning);
        return ViewChange::None;
    }
    model_.BrowseFolder(model_.currentFolder);
    return ViewChange::Changed;
}

ViewChange ContentCommands::MakeFolder(const std::wstring& name) {
    ItemCatalog* const catalog = model_.catalog();
    if (catalog) {
        const OperationOutcome outcome = AddNewFolder(*catalog, name);
        messages_.Tell(outcome);
        if (outcome.result == OperationResult::Unsupported) return ViewChange::None;
        messages_.Tell(ShowChangedArchive(*catalog));
        model_.LoadArchiveRows();
        return ViewChange::Changed;
    }
    if (!CreateDirectoryW(JoinPath(model_.currentFolder, name).c_str(), nullptr)) {
        messages_.Tell(ResourceString(IDS_NEW_FOLDER_FAILED, {name, SystemErrorText(GetLastError())}),
                       MessageKind::Warning);
        return ViewChange::None;
    }
    model_.BrowseFolder(model_.currentFolder);
    return ViewChange::Changed;
}
