// The view's commands that find entries and select rows by their names.
#include "catalog/item_catalog.h"
#include "catalog/name_pattern.h"
#include "ui/app_globals.h"
#include "ui/find_dialog.h"
#include "ui/inspection_dialogs.h"
#include "ui/tolvane_view.h"

namespace {

// The texts of the pattern prompt.
const wchar_t* PatternCaption(bool select) { return select ? L"Select by pattern" : L"Deselect by pattern"; }
const wchar_t* PatternLabel(bool select) {
    return select ? L"Names to select (* and ? as wildcards):"
                  : L"Names to deselect (* and ? as wildcards):";
}

}  // namespace

void CTolvaneView::SelectByPattern(bool select) {
    const auto typed = AskName(g_app.OwnerWindow.load(), PatternCaption(select), PatternLabel(select), selectPattern_,
                               false, [](const std::wstring&) { return std::wstring(); });
    if (!typed) return;
    selectPattern_ = *typed;
    const NamePattern pattern(*typed);
    list_.SelectWhere([&](int position) { return pattern.Matches(model_.ItemNameOf(position)); }, select);
}

void CTolvaneView::InvertSelection() { list_.InvertSelection(); }

void CTolvaneView::FindInArchive() {
    ItemCatalog* catalog = model_.catalog();
    if (!catalog) return;
    CFindDlg dialog(catalog->tree, findPattern_);
    if (dialog.DoModal(g_app.OwnerWindow.load()) != IDOK || !dialog.chosen()) return;
    GoToEntry(dialog.chosen()->folder, dialog.chosen()->name);
}

void CTolvaneView::GoToEntry(const std::wstring& folder, const std::wstring& name) {
    ItemCatalog* catalog = model_.catalog();
    if (!catalog) return;
    model_.NavigateArchive(folder.empty() ? catalog->archivePath : catalog->archivePath + L"\\" + folder);
    ReportModel();
    // The entry is selected and focused as a re-sort would keep it: by its key, wherever it lies.
    Selection target;
    target.place = model_.PlacePath();
    target.focused = model_.RowKeyOfName(name);
    if (!target.focused.empty()) target.selected = {target.focused};
    RefreshAll(&target);
    SetFocus(list_.window());
}
