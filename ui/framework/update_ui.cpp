#include "ui/framework/update_ui.h"

#include <commctrl.h>

namespace ui {

void UpdateUI::UISetCheck(UINT id, bool checked) {
    for (Entry& e : entries_)
        if (e.id == id) e.state = checked ? (e.state | kChecked) : (e.state & ~kChecked);
}

bool UpdateUI::UIGetCheck(UINT id) const {
    for (const Entry& e : entries_)
        if (e.id == id) return (e.state & kChecked) != 0;
    return false;
}

void UpdateUI::UIUpdateToolBar() {
    for (HWND toolbar : toolbars_)
        for (const Entry& e : entries_) {
            if (!(e.kind & kToolBar)) continue;
            SendMessageW(toolbar, TB_ENABLEBUTTON, e.id, !(e.state & kDisabled));
            SendMessageW(toolbar, TB_CHECKBUTTON, e.id, (e.state & kChecked) != 0);
        }
}

LRESULT UpdateUI::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = FALSE;
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    for (const Entry& e : entries_) {
        if (!(e.kind & kMenuPopup)) continue;
        CheckMenuItem(menu, e.id, MF_BYCOMMAND | ((e.state & kChecked) ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(menu, e.id, MF_BYCOMMAND | ((e.state & kDisabled) ? MF_GRAYED : MF_ENABLED));
    }
    return 0;
}

LRESULT UpdateUI::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = FALSE;
    // An accelerator for a disabled command is swallowed.
    if (HIWORD(wParam) == 1)
        for (const Entry& e : entries_)
            if (e.id == LOWORD(wParam) && (e.state & kDisabled)) handled = TRUE;
    return 0;
}

}  // namespace ui
