// The view's commands beyond Add, Extract and Delete: the user is asked what is needed (a
// name, files to add), the model does the work, and the view shows the outcome.
#include <windows.h>
#include <shellapi.h>

#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ops/edited_entries.h"
#include "ui/app_globals.h"
#include "ui/drag_out.h"
#include "ui/extraction_dialogs.h"
#include "ui/file_picker.h"
#include "ui/folder_browser.h"
#include "ui/inspection_dialogs.h"
#include "ui/tolvane_view.h"
#include "ui/user_messages.h"
#include "ui/wait_cursor.h"

namespace {

constexpr wchar_t kNotSupported[] = L"Operation is not supported.";
constexpr wchar_t kNoArchive[] = L"Please open an archive file first.";

}  // namespace

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
        TellUser({kNotSupported});
        return;
    }
    const std::wstring current = model_.ItemNameOf(selection.front());
    const std::optional<ItemRow> row = model_.RowCopy(selection.front());
    const bool isFile = row && !(row->attributes & FILE_ATTRIBUTE_DIRECTORY);
    const auto name = AskName(g_app.OwnerWindow.load(), L"Rename", L"New name for \"" + current + L"\":", current,
                              isFile, [&](const std::wstring& typed) { return commands_.NewNameProblem(typed, current); });
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
        TellUser({kNotSupported});
        return;
    }
    const auto name = AskName(g_app.OwnerWindow.load(), L"New Folder", L"Name of the new folder:",
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
        TellUser({kNoArchive, MessageKind::Warning});
        return;
    }
    if (!commands_.CanChangeItems()) {
        TellUser({kNotSupported});
        return;
    }
    const std::wstring start = FolderOf(model_.catalog()->archivePath);
    std::vector<std::wstring> paths;
    if (folder) {
        if (auto chosen = BrowseForFolder(GetActiveWindow(), start, L"Please select a folder to add to the archive..."))
            paths.push_back(*chosen);
    } else {
        paths = PickFilesToAdd(GetActiveWindow(), L"Add Files to " + FileNameOf(model_.catalog()->archivePath), start);
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

void CTolvaneView::OfferChangedFilesSoon() {
    if (!openedFiles_.empty()) PostMessageW(m_hWnd, kOpenedFileEnded, 0, 0);
}

void CTolvaneView::WatchOpenedFiles() {
    for (ContentModel::OpenedFile& opened : model_.TakeOpenedFiles())
        openedFiles_.Watch(std::move(opened), m_hWnd, kOpenedFileEnded);
}

void CTolvaneView::OfferChangedFiles(bool closing) {
    // A question of its own makes the window active again when it closes: asked once.
    if (offering_) return;
    offering_ = true;
    openedFiles_.OfferChanged(m_hWnd, closing, [&](const std::wstring& archive) {
        const Selection before = RememberSelection();
        if (model_.ReloadIfShowing(archive)) {
            ReportModel();
            RefreshAll(&before);
        }
    });
    offering_ = false;
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
