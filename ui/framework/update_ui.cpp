#include "ui/framework/update_ui.h"

namespace ui {

void UpdateUI::UISetCheck(UINT id, bool checked) {
    for (Entry& e : entries_)
        if (e.id == id) e.checked = checked;
}

bool UpdateUI::UIGetCheck(UINT id) const {
    for (const Entry& e : entries_)
        if (e.id == id) return e.checked;
    return false;
}

LRESULT UpdateUI::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = FALSE;
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    for (const Entry& e : entries_)
        CheckMenuItem(menu, e.id, MF_BYCOMMAND | (e.checked ? MF_CHECKED : MF_UNCHECKED));
    return 0;
}

}  // namespace ui
