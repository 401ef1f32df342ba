// The view's commands on the rows: the user is asked what is needed (which rows, a folder, a
// name, files to add, whether to delete), ContentCommands does the work, and the view shows the
// outcome and the rows as they are now.
#include <windows.h>
#include <shellapi.h>

#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ui/accessible_names.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/app_globals.h"
#include "ui/checksum_dialog.h"
#include "ui/clipboard.h"
#include "ui/drag_out.h"
#include "ui/extract_dialog.h"
#include "ui/extraction_dialogs.h"
#include "ui/file_picker.h"
#include "ui/folder_browser.h"
#include "ui/inspection_dialogs.h"
#include "ui/tolvane_view.h"
#include "res/resource.h"
#include "ui/resource_module.h"
#include "ui/user_messages.h"
#include "ui/wait_cursor.h"

namespace {

std::wstring NotSupported() { return ResourceString(IDS_NOT_SUPPORTED); }
std::wstring NoArchive() { return ResourceString(IDS_OPEN_ARCHIVE_FIRST); }

}  // namespace

void CTolvaneView::WarnNothingSelected() {
    TellUser({ResourceString(IDS_NO_FILES_SELECTED), MessageKind::Warning}, m_hWnd);
}

void CTolvaneView::AddSelection() {
    // In an archive, Add asks for files to put into the folder shown.
    if (model_.InArchive()) return AddIntoArchive(false);
    const Selection before = RememberSelection();
    const std::vector<int> selection = CollectSelection();
    if (selection.empty()) {
        WarnNothingSelected();
    } else {
        AddFromSelection(commands_.PathsOf(selection));
        model_.BrowseFolder(model_.currentFolder);  // a new archive shows up in the listing
        ReportModel();
    }
    RefreshAll(&before);
}

void CTolvaneView::ExtractSelection() {
    const std::vector<int> selection = CollectSelection();
    // Outside an archive one archive file at a time is extracted, as a whole.
    if (selection.empty() || (!model_.InArchive() && selection.size() != 1)) {
        WarnNothingSelected();
        return;
    }
    const Selection before = RememberSelection();
    const auto choices = AskExtractChoices(GetActiveWindow(), commands_.ExtractStartFolder(selection));
    if (!choices) return;
    std::wstring written;
    const ViewChange change = commands_.ExtractRows(selection, *choices, written);
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
    if (!written.empty() && choices->openDestination)
        ShellExecuteW(g_app.OwnerWindow.load(), L"open", written.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CTolvaneView::DeleteSelection() {
    const std::vector<int> selection = CollectSelection();
    if (selection.empty()) {
        WarnNothingSelected();
        return;
    }
    if (model_.InArchive()) {
        const std::wstring question =
            ResourceString(selection.size() == 1 ? IDS_DELETE_ONE_QUESTION : IDS_DELETE_MANY_QUESTION);
        if (!AskUser({question, MessageKind::Warning})) return;
    }
    const Selection before = RememberSelection();
    const ViewChange change = commands_.DeleteRows(selection);
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

void CTolvaneView::OpenSelectionAsArchive() {
    const std::vector<int> selection = CollectSelection();
    if (selection.size() != 1) {
        WarnNothingSelected();
        return;
    }
    WaitCursor wait;
    const Selection before = RememberSelection();
    const ViewChange change = model_.OpenRowAsArchive(selection.front());
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

void CTolvaneView::ChecksumSelection(int commandId) {
    const std::vector<int> selection = CollectSelection();
    if (selection.empty()) {
        WarnNothingSelected();
        return;
    }
    std::vector<std::wstring> items;
    for (int position : selection) {
        const ItemRow& row = model_.RowAt(position);
        items.push_back(model_.InArchive() ? row.name : row.fullPath);
    }
    ShowChecksums(m_hWnd, items, commandId, model_.catalog());
}

void CTolvaneView::OpenDestinations(const std::vector<std::wstring>& folders) {
    if (!g_app.settings.openDestination) return;
    for (const std::wstring& folder : folders)
        ShellExecuteW(g_app.OwnerWindow.load(), L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CTolvaneView::ExtractBeside(ContentCommands::ExtractPlace place) {
    const std::vector<int> selection = CollectSelection();
    // In the archive nothing selected means all of it; in a folder the archive files are needed.
    if (!model_.InArchive() && selection.empty()) {
        WarnNothingSelected();
        return;
    }
    const Selection before = RememberSelection();
    std::vector<std::wstring> written;
    const ViewChange change = commands_.ExtractBeside(selection, place, g_app.settings.keepFolders != 0, written);
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
    OpenDestinations(written);
}

void CTolvaneView::TestSelection() {
    const std::vector<int> selection = CollectSelection();
    if (!model_.InArchive() && selection.empty()) {
        WarnNothingSelected();
        return;
    }
    const std::wstring report = commands_.TestRows(selection);
    ReportModel();
    if (report.empty()) return;
    CTestReportDlg dialog(report);
    dialog.DoModal(g_app.OwnerWindow.load());
}

void CTolvaneView::ShowProperties() {
    const std::vector<int> selection = CollectSelection();
    if (commands_.ShowsShellProperties(selection)) {
        const std::wstring path = commands_.PathsOf(selection).front();
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_INVOKEIDLIST;
        info.hwnd = g_app.OwnerWindow.load();
        info.lpVerb = L"properties";
        info.lpFile = path.c_str();
        info.nShow = SW_SHOW;
        ShellExecuteExW(&info);
        return;
    }
    if (!model_.InArchive() && selection.size() != 1) {
        WarnNothingSelected();
        return;
    }
    const std::optional<ContentCommands::Properties> properties = commands_.PropertiesOf(selection);
    ReportModel();
    if (!properties) return;
    CPropertiesDlg dialog(properties->caption, properties->lines);
    dialog.DoModal(g_app.OwnerWindow.load());
}

void CTolvaneView::RenameSelection() {
    const std::vector<int> selection = CollectSelection();
    if (selection.size() != 1) {
        WarnNothingSelected();
        return;
    }
    if (!commands_.CanChangeItems()) {
        TellUser({NotSupported()});
        return;
    }
    const std::wstring current = model_.ItemNameOf(selection.front());
    const std::optional<ItemRow> row = model_.RowCopy(selection.front());
    const bool isFile = row && !(row->attributes & FILE_ATTRIBUTE_DIRECTORY);
    const auto name = AskName(g_app.OwnerWindow.load(), ResourceString(IDS_RENAME_CAPTION),
                              ResourceString(IDS_RENAME_LABEL, {ui::LiteralLabelText(current)}), current, isFile, [&](const std::wstring& typed) { return commands_.NewNameProblem(typed, current); });
    if (!name || *name == current) return;
    Selection before = RememberSelection();
    const ViewChange change = commands_.RenameRow(selection.front(), *name);
    ReportModel();
    // The renamed item stays selected under its new name.
    before.selected = {model_.RowKeyOfName(*name)};
    before.focused = before.selected.front();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

void CTolvaneView::NewFolder() {
    if (!commands_.CanChangeItems()) {
        TellUser({NotSupported()});
        return;
    }
    const auto name = AskName(g_app.OwnerWindow.load(), ResourceString(IDS_NEW_FOLDER_CAPTION),
                              ResourceString(IDS_NEW_FOLDER_LABEL),
                              commands_.ProposedFolderName(), false,
                              [&](const std::wstring& typed) { return commands_.NewNameProblem(typed, L""); });
    if (!name) return;
    Selection before = RememberSelection();
    const ViewChange change = commands_.MakeFolder(*name);
    ReportModel();
    before.selected = {model_.RowKeyOfName(*name)};
    before.focused = before.selected.front();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

void CTolvaneView::AddIntoArchive(bool folder) {
    if (!model_.InArchive()) {
        TellUser({NoArchive(), MessageKind::Warning});
        return;
    }
    if (!commands_.CanChangeItems()) {
        TellUser({NotSupported()});
        return;
    }
    const std::wstring start = FolderOf(model_.catalog()->archivePath);
    std::vector<std::wstring> paths;
    if (folder) {
        if (auto chosen = BrowseForFolder(GetActiveWindow(), start, ResourceString(IDS_PICK_FOLDER_TO_ADD).c_str()))
            paths.push_back(*chosen);
    } else {
        paths = PickFilesToAdd(GetActiveWindow(), ResourceString(IDS_ADD_FILES_TO, {FileNameOf(model_.catalog()->archivePath)}),
                               start);
    }
    if (paths.empty()) return;
    const Selection before = RememberSelection();
    commands_.AddFiles(paths);
    ReportModel();
    RefreshAll(&before);
}

void CTolvaneView::ChooseExtractOptions() {
    CExtractOptionsDlg dialog;
    dialog.DoModal(g_app.OwnerWindow.load());
}

void CTolvaneView::CopyPaths() {
    std::vector<std::wstring> paths = model_.LocationsOf(list_.SelectedPositions());
    // Nothing selected: the place shown.
    if (paths.empty() && !model_.ShowsDrives()) paths.push_back(model_.PlacePath());
    std::wstring text;
    for (const std::wstring& path : paths) text += (text.empty() ? L"" : L"\r\n") + path;
    if (!text.empty() && !PutTextOnClipboard(m_hWnd, text))
        TellUser({ResourceString(IDS_CLIPBOARD_FAILED), MessageKind::Warning}, m_hWnd);
}

LRESULT CTolvaneView::OnDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    if (draggingOut_) {
        // The list's own rows dropped back on the window: nothing to add.
        DragFinish(drop);
        return 0;
    }
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        paths.push_back(path);
    }
    DragFinish(drop);
    const Selection before = RememberSelection();
    commands_.AddFiles(paths);
    ReportModel();
    RefreshAll(&before);
    return 0;
}

LRESULT CTolvaneView::OnBeginDrag(int, LPNMHDR, BOOL&) {
    // Only entries of an archive are dragged out; files of a folder stay where they are.
    if (!model_.InArchive()) return 0;
    std::vector<std::wstring> names;
    for (int position : CollectSelection())
        if (const std::optional<ItemRow> row = model_.RowCopy(position)) names.push_back(row->name);
    if (names.empty()) return 0;
    draggingOut_ = true;
    DragEntriesOut(names, [&](const std::wstring& folder) {
        const bool extracted = commands_.ExtractNamesInto(names, folder);
        ReportModel();
        return extracted;
    });
    draggingOut_ = false;
    return 0;
}
