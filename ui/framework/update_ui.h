#pragma once
// Check marks for commands shown in popup menus, kept by command id and applied when a popup
// opens.
#include <windows.h>

#include <vector>

#include "ui/framework/message_map.h"

namespace ui {

class UpdateUI : public MessageMap {
public:
    void UIAddEntry(UINT id) { entries_.push_back({id, false}); }
    void UISetCheck(UINT id, bool checked);
    bool UIGetCheck(UINT id) const;

    BEGIN_MSG_MAP(UpdateUI)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    END_MSG_MAP()

private:
    struct Entry {
        UINT id;
        bool checked;
    };
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    std::vector<Entry> entries_;
};

}  // namespace ui
