#pragma once
// The application's single top-level window: toolbar in a rebar, status bar, the content
// view as client; carries out every command through the command table.
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles.h"
#include "res/resource.h"
#include "ui/framework/frame_window.h"
#include "ui/framework/message_loop.h"
#include "ui/framework/update_ui.h"
#include "ui/tolvane_view.h"

class CMainFrame : public ui::FrameWindow, public ui::UpdateUI, public ui::MessageFilter {
public:
    CMainFrame();

    // Creates the frame with default position, size and styles; null on failure.
    HWND CreateEx();

    BOOL PreTranslateMessage(MSG* message) override;

    CTolvaneView& view() { return view_; }
    int dpi() const { return dpi_; }

    // The frame's own commands.
    void ToggleToolBar();
    void ToggleStatusBar();
    void ShowAbout();
    // The menu bar made again from the resources of the language in use.
    void ShowMenuBarInLanguage();
    // Closes the window as its close box does (the changed copies of opened entries are offered first).
    void Close();

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_APPCOMMAND, OnAppCommand)
        MESSAGE_HANDLER(WM_VIEW_CHANGED, OnViewChanged)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_DPICHANGED, OnDpiChanged)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
        MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
        MESSAGE_HANDLER(WM_MENUCHAR, OnMenuChar)
        MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
        MESSAGE_HANDLER(WM_NCACTIVATE, OnNcPaint)
        NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
        CHAIN_MSG_MAP(ui::UpdateUI)
        CHAIN_MSG_MAP(ui::FrameWindow)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnAppCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnViewChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
    // The colour scheme: Windows' app mode switched, and the parts drawn in the scheme.
    LRESULT OnSettingChange(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnMenuChar(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCustomDraw(int, LPNMHDR header, BOOL& handled);
    LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    // Every part of the window drawn in the scheme in use.
    void ApplyScheme();

    // The toolbar's images and buttons at the frame's DPI.
    void SizeToolbar();
    // The width of the longest of the toolbar's labels in its font, in pixels.
    int WidestToolbarLabel() const;
    // Names the toolbar, its band and the status bar for screen readers.
    void NameBars();
    // The title and the status bar tell what the view shows.
    void ShowViewState();

    CTolvaneView view_;
    HWND toolbar_ = nullptr;
    int dpi_ = 96;
    bool altShortcutTaken_ = false;  // an Alt shortcut ran while Alt is held
    UniqueGdiObject barFont_;  // the bars' font after a change of DPI
    bool toolbarVisible_ = true;  // shown or hidden with the View menu's Toolbar command
    std::wstring shownTitle_;                // the title as last set
    std::vector<std::wstring> shownStatus_;  // the status bar's parts as last set, at this DPI
    int shownStatusDpi_ = 0;
};
