#pragma once
// The Extract dialog of the window's "Extract to..." and of the shell's "Extract files..." (/x):
// the destination (typed, one of the last ten, or chosen with the folder browser), a new folder
// named after the archive, how paths are written, what happens to existing files, a password,
// and whether the destination opens afterwards. The choices but the password are remembered.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ops/extract_choices.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CExtractDlg : public ui::DialogImpl<CExtractDlg> {
public:
    enum { IDD = IDD_EXTRACT };
    // `choices` fill the controls (their destination the field), `destinations` the field's list.
    CExtractDlg(ExtractChoices choices, std::vector<std::wstring> destinations, std::wstring browseStart)
        : choices_(std::move(choices)), destinations_(std::move(destinations)), browseStart_(std::move(browseStart)) {}
    const ExtractChoices& choices() const { return choices_; }

    BEGIN_MSG_MAP(CExtractDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_EXTRACT_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_EXTRACT_SHOW_PASSWORD, OnShowPassword)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&);
    LRESULT OnShowPassword(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&) {
        EndDialog(IDCANCEL);
        return 0;
    }

    ExtractChoices choices_;
    std::vector<std::wstring> destinations_;
    std::wstring browseStart_;
};

// Fills the marking choice of a dialog (the Extraction Options) and reads it back.
void FillZoneMarkingChoice(HWND dialog, int controlId, ZoneMarking marking);
ZoneMarking ReadZoneMarkingChoice(HWND dialog, int controlId);

// Shows the dialog owned by `owner`, the field filled with `startFolder` (the folder that holds
// the archive) and the stored choices. On OK the choices are stored, the destination first in the
// remembered list, and returned with the destination and the password; nothing on Cancel.
std::optional<ExtractChoices> AskExtractChoices(HWND owner, const std::wstring& startFolder);
