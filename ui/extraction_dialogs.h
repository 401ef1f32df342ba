#pragma once
// The extraction's own dialogs: its options, and the question about a file that is already
// where an item is to be written.
#include <windows.h>

#include <string>

#include "engine/engine_events.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

// "Extraction Options": whether an extraction opens its destination afterwards, and whether
// Extract Here and Extract to a folder keep the folders above the selection. Reads and writes
// the settings.
class CExtractOptionsDlg : public ui::DialogImpl<CExtractOptionsDlg> {
public:
    enum { IDD = IDD_EXTRACT_OPTIONS };

    BEGIN_MSG_MAP(CExtractOptionsDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&) {
        EndDialog(IDCANCEL);
        return 0;
    }
};

// "Confirm File Replace": the existing file and the archive's item, with Yes, Yes to All, No,
// No to All, Rename and Cancel.
class CReplaceDlg : public ui::DialogImpl<CReplaceDlg> {
public:
    enum { IDD = IDD_REPLACE_QUESTION };
    explicit CReplaceDlg(const ReplaceQuestion& question) : question_(question) {}
    ReplaceAnswer answer() const { return answer_; }

    BEGIN_MSG_MAP(CReplaceDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled);

    const ReplaceQuestion& question_;
    ReplaceAnswer answer_ = ReplaceAnswer::Cancel;
};

// Asks the question where prompts belong (above the progress window of the extraction).
ReplaceAnswer AskReplaceQuestion(const ReplaceQuestion& question);

// "12,345 bytes, modified 2026-12-07 15:35:15", leaving out what is not known.
std::wstring FileDescription(bool sizeKnown, uint64_t size, bool modifiedKnown, const FILETIME& modified);
