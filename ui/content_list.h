#pragma once
// The list of the content view: a virtual, owner-drawn list-view control that shows the rows of
// a content model. It makes the columns (their widths kept in the settings at 96 DPI), marks the
// sorted one with an arrow, draws the rows, answers screen readers and typed searches, and
// remembers the selection by item across a change of the rows. The view owns the control's
// messages and hands them here.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/content_model.h"

// Where a row's small icon lies, at 96 DPI: from the row's left, and the room it takes before the
// text. The location box draws its entries alike.
inline constexpr int kRowIconLeft = 3;
inline constexpr int kRowIconGap = 22;

class ContentList {
public:
    explicit ContentList(const ContentModel& model) : model_(model) {}
    ContentList(const ContentList&) = delete;
    ContentList& operator=(const ContentList&) = delete;

    // Takes the control over, at the view's DPI.
    void Attach(HWND list, int dpi);
    HWND window() const { return list_; }
    // Sizes are drawn for this DPI from now on; the columns are made again at the next Refill,
    // at the widths they had, scaled.
    void SetDpi(int dpi);

    // What the list showed selected and focused, by item, before the model changed.
    struct Selection {
        std::wstring place;
        std::vector<std::wstring> selected;
        std::wstring focused;
        int focusedPosition = -1;
    };
    Selection Remember() const;
    // Shows the model's rows and columns. With `before`, the same items are selected again (by
    // name, wherever sorting or reloading put them); in another place, the row on the way back to
    // where the user was (the folder just left) is selected.
    void Refill(const Selection* before);
    // Keeps the columns' widths in the settings, as they would be at 96 DPI.
    void SaveColumnWidths() const;

    // Row positions selected, ascending.
    std::vector<int> SelectedPositions() const;
    // The same, of the rows that may take part in a command.
    std::vector<int> Targets() const;
    // The focused row, or -1.
    int FocusedRow() const;
    // The first selected row, else the focused one; -1 for none.
    int RowToOpen() const;
    // Selects every row but the way up, and takes the keyboard.
    void SelectAll();
    // Selects (or, with `select` unset, deselects) the rows but the way up for which `matches`
    // holds, leaving the others as they are; takes the keyboard.
    void SelectWhere(const std::function<bool(int position)>& matches, bool select);
    // Selects the rows that are not, and deselects those that are (never the way up).
    void InvertSelection();
    // Where a menu asked for by the keyboard opens, on the screen: below the focused row's name
    // when it is in sight, else in the list's corner.
    POINT MenuPointAtFocus() const;

    // The control's requests.
    void DrawRow(const DRAWITEMSTRUCT& item) const;
    void FillDisplayInfo(NMLVDISPINFOW& info) const;
    // The next row from the search's start whose name starts with the typed text; -1 for none.
    int FindRow(const NMLVFINDITEMW& find) const;

private:
    void Restore(const Selection* before);
    void SetSortArrows();

    const ContentModel& model_;
    HWND list_ = nullptr;
    int dpi_ = 96;
    std::vector<std::wstring> shownTitles_;  // the columns the list has now
    std::vector<ColumnId> shownColumns_;     // the same, by column: which stored width each one keeps
    int columnsDpi_ = 96;  // the DPI their widths were made for (the list's may have changed since)
};
