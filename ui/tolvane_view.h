#pragma once
// The window that fills the main frame: the location box with the path field laid over it,
// and the owner-drawn list of the rows of the content model.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "res/resource.h"
#include "ui/content_model.h"
#include "ui/opened_files.h"
#include "ui/framework/dialog_impl.h"

class CTolvaneView : public ui::DialogImpl<CTolvaneView> {
public:
    enum { IDD = IDD_TOLVANE_VIEW };

    ~CTolvaneView() override;

    BOOL PreTranslateMessage(MSG* message);
    // True for keys typed into the path field: they edit its text and are no commands.
    bool OwnsKey(const MSG& message) const;

    // The frame's three commands.
    void AddSelection();
    void ExtractSelection();
    void DeleteSelection();

    // The commands beyond them.
    void ExtractBeside(ContentModel::ExtractPlace place);
    void TestSelection();
    void RenameSelection();
    void NewFolder();
    void ShowProperties();
    void AddIntoArchive(bool folder);
    void ChooseExtractOptions();
    // Offers to put files opened from archives back when they were saved since (the frame calls
    // it before it closes).
    void OfferChangedFiles();
    // The same, a moment later: the window was activated again, and a question asked now would
    // come between the click and the window it activates.
    void OfferChangedFilesSoon();
    // Carries out one of the commands above by its id; false for an id it does not know.
    bool RunMoreCommand(UINT id);

    // What the list showed selected and focused, by item, before the model changed.
    struct Selection {
        std::wstring place;
        std::vector<std::wstring> selected;
        std::wstring focused;
        int focusedPosition = -1;
    };
    Selection RememberSelection() const;

    // Refills the location box and the list. With `before`, the same items are selected again
    // (by name, wherever sorting or reloading put them); in another place, the row on the way
    // back to where the user was (the folder just left) is selected.
    void RefreshAll(const Selection* before = nullptr);
    void RefreshList(const Selection* before = nullptr);
    // Row positions selected in the list, ascending, of the rows that may take part in a command.
    std::vector<int> CollectSelection() const;

    ContentModel& model() { return model_; }

    BEGIN_MSG_MAP(CTolvaneView)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_COLUMNCLICK, OnColumnClick)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_GETDISPINFOW, OnGetDisplayInfo)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_ODFINDITEMW, OnFindItem)
        NOTIFY_HANDLER(IDC_CONTENT_LIST, LVN_BEGINDRAG, OnBeginDrag)
        NOTIFY_CODE_HANDLER(NM_DBLCLK, OnIgnoredNotify)
        NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnIgnoredNotify)
        NOTIFY_CODE_HANDLER(LVN_BEGINDRAG, OnIgnoredNotify)
        MESSAGE_HANDLER(WM_DROPFILES, OnDropFiles)
        MESSAGE_HANDLER(kOpenedFileEnded, OnOpenedFileEnded)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
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
    LRESULT OnOpenedFileEnded(UINT, WPARAM, LPARAM, BOOL&) {
        OfferChangedFiles();
        return 0;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    void DrawLocationEntry(const DRAWITEMSTRUCT& item);
    void DrawListRow(const DRAWITEMSTRUCT& item);
    void FillLocationBox();
    void SaveColumnWidths();
    std::vector<int> SelectedPositions() const;
    void RestoreSelection(const Selection* before);
    void OnLocationChanged();
    void OnPathEntered();
    void ActivateRow(int position);
    void MoveFocus(bool backwards);
    // Shows what the model has to tell the user.
    void ReportModel();
    void WarnNothingSelected();
    int TextHeight(HWND window) const;
    // Watches the files the model opened in their programs.
    void WatchOpenedFiles();
    // Opens the folders an extraction wrote into, when the user wants that.
    void OpenDestinations(const std::vector<std::wstring>& folders);

    // A file's program ended: its file may have been saved.
    static constexpr UINT kOpenedFileEnded = WM_APP + 0x140;

    ContentModel model_;
    OpenedFiles openedFiles_;
    bool offering_ = false;      // a question about opened files is up
    bool draggingOut_ = false;   // a drag from the list is under way
    HWND list_ = nullptr;
    HWND locationBox_ = nullptr;
    HWND pathField_ = nullptr;
    int itemHeight_ = 18;
    std::vector<std::wstring> shownTitles_;  // the columns the list has now
};
