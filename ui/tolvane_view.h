#pragma once
// The window that fills the main frame: the location box with the path field laid over it,
// and the list of the rows of the content model (ContentList). It takes the user's input and
// runs the commands of the command table: tolvane_view.cpp lays the window out and navigates,
// view_commands.cpp asks the user what a command needs and has ContentCommands do it.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/handles.h"
#include "res/resource.h"
#include "ui/command_table.h"
#include "ui/content_commands.h"
#include "ui/content_list.h"
#include "ui/content_model.h"
#include "ui/opened_files.h"
#include "ui/framework/dialog_impl.h"
#include "ui/navigation_history.h"
#include "ui/status_texts.h"

// Sent to the view's parent when what the status bar or the title tell has changed: the place,
// the rows or the selection.
constexpr UINT WM_VIEW_CHANGED = WM_APP + 0x40;

class CTolvaneView : public ui::DialogImpl<CTolvaneView> {
public:
    enum { IDD = IDD_TOLVANE_VIEW };

    ~CTolvaneView() override;

    BOOL PreTranslateMessage(MSG* message);
    // True for keys that the focused control takes for itself and that are no commands: what is
    // typed into the path field edits its text (F5 excepted), and Delete deletes files only in
    // the list.
    bool OwnsKey(const MSG& message) const;

    // What the commands can act on now.
    SelectionFacts Facts() const;
    // The status bar's parts: the rows shown, the selection; in an archive, how it is packed
    // and what is wrong with it.
    std::vector<std::wstring> StatusParts();
    // Shows the right-click menu at a point of the screen; at the focused row when `atFocus`.
    void ShowContextMenu(POINT screen, bool atFocus);
    // The window's DPI changed: fonts, item heights, icons and columns are sized anew.
    void ApplyDpi(int dpi);
    int dpi() const;
    // The list, its header and the location box drawn in the colour scheme in use.
    void ApplyScheme();

    // The frame's three commands.
    void AddSelection();
    void ExtractSelection();
    void DeleteSelection();
    // Opens the one selected file as an archive, whatever kind of file it is.
    void OpenSelectionAsArchive();
    // Shows the checksums (the command's function, or all) of the selected files or entries.
    void ChecksumSelection(int commandId);

    // The commands beyond them.
    void ExtractBeside(ContentCommands::ExtractPlace place);
    void TestSelection();
    void RenameSelection();
    void NewFolder();
    void ShowProperties();
    void AddIntoArchive(bool folder);
    void ChooseExtractOptions();
    // Navigation and the list.
    void OpenSelectedRow();
    void OpenArchiveFromPicker();
    void GoUp();
    void Refresh();
    // Sorts by the column of that title, as a click on its header does; nothing when none shows.
    void SortByColumnTitle(const std::wstring& title);
    // Reads the open zip's names with `codePage` from now on (0: the one they tell) and lists it again.
    void ChooseNameEncoding(unsigned codePage);
    void GoThroughHistory(int steps);
    void SelectAllRows();
    // Edit > "Select by pattern...", "Deselect by pattern...", "Invert selection"
    // (view_search.cpp).
    void SelectByPattern(bool select);
    void InvertSelection();
    // Edit > "Find...": the entries of the open archive by name; the one chosen is shown
    // selected in its folder.
    void FindInArchive();
    // Shows the folder of the open archive (empty = root) with the entry `name` selected.
    void GoToEntry(const std::wstring& folder, const std::wstring& name);
    // View > "Columns...": picks and orders the columns of this kind of view (view_columns.cpp).
    void ChooseColumns();
    // The menu of a right-click on the list's header: the columns with check marks, and "More...".
    void ShowColumnMenu(POINT screen);
    void CopyPaths();
    void FocusPathField();
    // Moves the focus to the next of the list, the path field and the location box (Tab, F6).
    void MoveFocus(bool backwards);

    using Selection = ContentList::Selection;
    Selection RememberSelection() const { return list_.Remember(); }

    // Refills the location box and the list. With `before`, the same items are selected again
    // (by name, wherever sorting or reloading put them); in another place, the row on the way
    // back to where the user was (the folder just left) is selected.
    void RefreshAll(const Selection* before = nullptr);
    void RefreshList(const Selection* before = nullptr);
    // Row positions selected in the list, ascending, of the rows that may take part in a command.
    std::vector<int> CollectSelection() const { return list_.Targets(); }

    ContentModel& model() { return model_; }
    // The entries opened in their programs: their changed copies are offered back to their archives.
    OpenedFiles& openedFiles() { return openedFiles_; }

    BEGIN_MSG_MAP(CTolvaneView)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(kSelectionSettledMessage, OnSelectionSettled)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_ITEMCHANGED, OnSelectionChanged)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_ODSTATECHANGED, OnSelectionChanged)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_COLUMNCLICK, OnColumnClick)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_GETDISPINFOW, OnGetDisplayInfo)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_ODFINDITEMW, OnFindItem)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_BEGINDRAG, OnBeginDrag)
        NOTIFY_CODE_HANDLER(NM_DBLCLK, OnIgnoredNotify)
        NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnIgnoredNotify)
        NOTIFY_CODE_HANDLER(LVN_BEGINDRAG, OnIgnoredNotify)
        MESSAGE_HANDLER(WM_DROPFILES, OnDropFiles)
        MESSAGE_HANDLER(OpenedFiles::kLookAgainMessage, OnLookAtOpenedFiles)
        MESSAGE_HANDLER(kStartMessage, OnStart)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    // Posted to itself so that a burst of selection changes tells the frame once.
    static constexpr UINT kSelectionSettledMessage = WM_APP + 0x41;
    // Posted to itself when it starts on an archive: the archive opens once the window is shown,
    // so that its progress window stands on it and a Cancel leaves a window that is already up.
    static constexpr UINT kStartMessage = WM_APP + 0x42;

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSelectionChanged(int, LPNMHDR, BOOL&);
    LRESULT OnSelectionSettled(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnDoubleClick(int, LPNMHDR header, BOOL&);
    LRESULT OnColumnClick(int, LPNMHDR header, BOOL&);
    LRESULT OnGetDisplayInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnFindItem(int, LPNMHDR header, BOOL&);
    LRESULT OnIgnoredNotify(int, LPNMHDR, BOOL&) { return 0; }
    LRESULT OnDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnBeginDrag(int, LPNMHDR header, BOOL&);
    LRESULT OnLookAtOpenedFiles(UINT, WPARAM, LPARAM, BOOL&) {
        openedFiles_.OfferChanged(false);
        return 0;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStart(UINT, WPARAM, LPARAM, BOOL&) {
        Start();
        return 0;
    }
    void Start();
    // Gives the controls without a label their names for screen readers.
    void NameControls();

    void DrawLocationEntry(const DRAWITEMSTRUCT& item);
    void FillLocationBox();
    void OnLocationChanged();
    void OnPathEntered();
    void ActivateRow(int position);
    // Runs a navigation of the model, then shows where it went.
    void Navigate(ViewChange (ContentModel::*step)());
    void TellParent() const;
    // Shows what the model has to tell the user.
    void ReportModel();
    void WarnNothingSelected();
    void ShowColumns(std::vector<ColumnId> columns);
    int TextHeight(HWND window) const;
    // Opens the folders an extraction wrote into, when the user wants that.
    void OpenDestinations(const std::vector<std::wstring>& folders);

    // Made before the model, which hands it the entries it opens, and ended after it.
    OpenedFiles openedFiles_;
    ContentModel model_{openedFiles_};
    ContentCommands commands_{model_};
    ContentList list_{model_};
    StatusBarTexts statusTexts_;
    bool draggingOut_ = false;   // a drag from the list is under way
    HWND locationBox_ = nullptr;
    HWND pathField_ = nullptr;
    int itemHeight_ = 18;
    int dpi_ = 0;  // known from WM_INITDIALOG on
    UniqueGdiObject font_;  // the controls' font, made anew when the DPI changes
    NavigationHistory history_;
    bool selectionSettling_ = false;
    std::wstring findPattern_;      // the last pattern of "Find..."
    std::wstring selectPattern_ = L"*";  // the last pattern of "Select by pattern..."
};
