#pragma once
// A top-level frame window with a toolbar inside a rebar, a status bar and a client window
// that fills the rest, kept laid out as the frame and its bars change size.
#include <windows.h>
#include <commctrl.h>

#include "ui/framework/message_loop.h"
#include "ui/framework/window_impl.h"

namespace ui {

class FrameWindow : public WindowImplBase {
public:
    HWND m_hWndToolBar = nullptr;    // the rebar that holds the toolbar
    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndClient = nullptr;
    HACCEL m_hAccel = nullptr;
    HMENU m_hMenu = nullptr;

    ~FrameWindow() override;

    // Registers the frame class (icon `resourceId`) and creates the frame with the system's
    // default position and size, menu and accelerators `resourceId`, title string `resourceId`.
    HWND CreateFrame(const wchar_t* className, UINT resourceId, const RECT* rect = nullptr);

    // Toolbar from a toolbar resource and the bitmap of the same id (32 x 32 cells).
    HWND CreateSimpleToolBarCtrl(HWND parent, UINT resourceId, DWORD style, UINT id);
    // Gives the toolbar other images (of another size); the frame owns them from now on.
    void ReplaceToolbarImages(HWND toolbar, HIMAGELIST images);
    // Gives a toolbar button a text label shown beside its image.
    static void AddToolbarButtonText(HWND toolbar, UINT command, const wchar_t* text);
    bool CreateSimpleReBar(DWORD style, UINT id);
    bool AddSimpleReBarBand(HWND child);
    // Fits the band that holds `child` to the child's buttons again (after they changed size).
    void FitReBarBand(HWND child);
    bool CreateSimpleStatusBar(UINT textId, DWORD style, UINT id);

    void UpdateLayout(bool resizeBars = true);

    // Applies the frame's accelerators; true when the message became a command.
    BOOL TranslateFrameAccelerator(MSG* message);

    BEGIN_MSG_MAP(FrameWindow)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
        NOTIFY_CODE_HANDLER(TTN_GETDISPINFOW, OnToolTipText)
        NOTIFY_CODE_HANDLER(RBN_AUTOSIZE, OnReBarAutoSize)
        NOTIFY_CODE_HANDLER(RBN_CHEVRONPUSHED, OnChevronPushed)
    END_MSG_MAP()

protected:
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnToolTipText(int, LPNMHDR header, BOOL& handled);
    LRESULT OnReBarAutoSize(int, LPNMHDR, BOOL& handled);
    LRESULT OnChevronPushed(int, LPNMHDR header, BOOL& handled);

private:
    HIMAGELIST toolbarImages_ = nullptr;
};

// The text after the newline of string `id` (the tooltip part), at most `capacity` - 1 units.
void LoadToolTipText(UINT id, wchar_t* buffer, int capacity);

}  // namespace ui
