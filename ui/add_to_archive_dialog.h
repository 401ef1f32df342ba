#pragma once
// The "Add To Archive" dialog: names an archive (new or existing) and an optional password,
// then adds the pending files and folders to it. Opened by the view's Add command and by the
// shell's "Add to archive..." verb, whose later runs hand their paths to the open dialog.
#include <windows.h>

#include <string>
#include <vector>

#include "ops/creation_options.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CAddToArchiveDlg : public ui::DialogImpl<CAddToArchiveDlg> {
public:
    enum { IDD = IDD_ADD_TO_ARCHIVE };

    // `paths` are added to the archive the user names, proposed as `proposedArchive`; the
    // Browse button opens in `startFolder`.
    CAddToArchiveDlg(std::vector<std::wstring> paths, std::wstring proposedArchive, std::wstring startFolder);

    BEGIN_MSG_MAP(CAddToArchiveDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
        COMMAND_ID_HANDLER(IDC_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_SHOW_PASSWORD, OnShowPassword)
        COMMAND_HANDLER(IDC_ARCHIVE_FORMAT, CBN_SELCHANGE, OnFormatChanged)
        COMMAND_HANDLER(IDC_COMPRESSION_LEVEL, CBN_SELCHANGE, OnChoiceChanged)
        COMMAND_HANDLER(IDC_COMPRESSION_METHOD, CBN_SELCHANGE, OnChoiceChanged)
        COMMAND_HANDLER(IDC_ENCRYPTION_METHOD, CBN_SELCHANGE, OnChoiceChanged)
        COMMAND_HANDLER(IDC_UPDATE_MODE, CBN_SELCHANGE, OnChoiceChanged)
        COMMAND_HANDLER(IDC_VOLUME_SIZE, CBN_EDITCHANGE, OnChoiceChanged)
        COMMAND_HANDLER(IDC_VOLUME_SIZE, CBN_SELCHANGE, OnVolumePicked)
        COMMAND_HANDLER(IDC_ARCHIVE_NAME, EN_CHANGE, OnNameChanged)
        COMMAND_HANDLER(IDC_ADD_PASSWORD, EN_CHANGE, OnChoiceChanged)
        COMMAND_ID_HANDLER(IDC_ENCRYPT_NAMES, OnChoiceChanged)
        COMMAND_ID_HANDLER(IDC_SOLID_ARCHIVE, OnSolidClicked)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnShowPassword(WORD, WORD, HWND, BOOL&);
    LRESULT OnFormatChanged(WORD, WORD, HWND, BOOL&);
    LRESULT OnChoiceChanged(WORD, WORD, HWND, BOOL&);
    LRESULT OnSolidClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnNameChanged(WORD, WORD, HWND, BOOL&);
    LRESULT OnVolumePicked(WORD, WORD, HWND, BOOL&);

    // The choice controls: filled from `choices`, read back, and greyed out with a note where
    // the format has no such choice (or the choices cannot be carried out, and why).
    void FillFormats(const CreationOptions& choices);
    void FillFormatChoices(const CreationOptions& choices);
    CreationOptions ReadChoices() const;
    CreationContext Context() const;
    void ShowChoiceStates();
    // The one file being added when there is exactly one; else empty.
    std::wstring SingleFile() const;

    std::vector<std::wstring> pendingFiles_;  // grows with the paths later runs hand over
    std::wstring proposedArchive_;
    std::wstring startFolder_;
    bool closing_ = false;
    bool filling_ = false;       // the controls are being filled: their notifications are no choices
    std::wstring shownFormat_;   // the format the archive name's extension was made for
    bool solidChoice_ = true;    // the user's choice of a solid archive, kept while a format has none
};

// What the dialog says when the password and its repetition differ.
std::wstring PasswordsDifferText();

// The dialog's caption, by which later "Add to archive..." runs find it.
std::wstring AddDialogCaption();

// Entry of the view's Add command: the full paths of the selected items, in list order.
// Returns after the dialog has closed: true when it ended with OK.
bool AddFromSelection(const std::vector<std::wstring>& paths);

// Entry of the option /a: `argument` is the rest of the command line after "/a " (the quoted
// path). The first run shows the dialog; later runs hand their path to it and end.
bool AddFromCommandLine(const std::wstring& argument);
