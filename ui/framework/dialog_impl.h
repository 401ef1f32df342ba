#pragma once
// A dialog built from a template of the program's resources, modal or modeless. One static
// dialog procedure serves every dialog class. The object is attached on the dialog's very first
// message (a thread-local "being created" pointer, as for windows), so that WM_SETFONT and the
// WM_MEASUREITEM of owner-drawn controls, which come before WM_INITDIALOG, reach its map too.
#include <windows.h>

#include <string>

#include "ui/framework/message_map.h"
#include "ui/framework/window.h"

namespace ui {

class DialogImplBase : public Window, public MessageMap {
public:
    // Runs the dialog modally; returns the value given to EndDialog (or -1 on failure).
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modelessly as a child or owned window of `parent`.
    HWND Create(HWND parent);
    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }

protected:
    explicit DialogImplBase(int templateId) : templateId_(templateId) {}
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    int templateId_;
};

// CRTP front end: `T::IDD` names the template.
template <class T>
class DialogImpl : public DialogImplBase {
protected:
    DialogImpl() : DialogImplBase(T::IDD) {}
};

// Sets the caption to "Tolvane Extractor" and the small icon to the program's icon: the start of
// every dialog of the program that shows a caption of its own.
void InitDialogCaption(HWND dialog);

// The whole text of a dialog's control, however long; empty when there is no such control.
std::wstring DialogItemText(HWND dialog, int id);

}  // namespace ui
