#pragma once
// Check marks for commands shown in popup menus, kept by command id and applied when a popup
// opens; the toolbars registered here are refreshed from the same table when idle.
#include <windows.h>

#include <vector>

#include "ui/framework/message_map.h"

namespace ui {

class UpdateUI : public MessageMap {
public:
    enum : WORD { kMenuPopup = 0x0001, kToolBar = 0x0002 };
    enum : WORD { kDisabled = 0x0001, kChecked = 0x0002 };

    void UIAddEntry(UINT id, WORD kind) { entries_.push_back({id, kind, 0}); }
    void UIAddToolBar(HWND toolbar) { toolbars_.push_back(toolbar); }
    void UISetCheck(UINT id, bool checked);
    bool UIGetCheck(UINT id) const;
    // Pushes the state of toolbar entries to the registered toolbars.
    void UIUpdateToolBar();

    BEGIN_MSG_MAP(UpdateUI)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

private:
    struct Entry {
        UINT id;
        WORD kind;
        WORD state;
    };
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    std::vector<Entry> entries_;
    std::vector<HWND> toolbars_;
};

}  // namespace ui
