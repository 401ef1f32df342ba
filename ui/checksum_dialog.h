#pragma once
// The "Checksums" dialog: the checksums of the chosen files or entries as text the user can
// select, with a button that copies all of it.
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CChecksumDlg : public ui::DialogImpl<CChecksumDlg> {
public:
    enum { IDD = IDD_CHECKSUMS };

    explicit CChecksumDlg(std::wstring report) : report_(std::move(report)) {}

    BEGIN_MSG_MAP(CChecksumDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_CHECKSUM_COPY, OnCopy)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&) {
        EndDialog(id);
        return 0;
    }

    std::wstring report_;
    HFONT font_ = nullptr;  // the system's fixed-pitch font: not ours to delete
};

// The functions a checksum command asks for: one by its command id, or all for ID_CHECKSUM_ALL.
std::vector<std::wstring> ChecksumFunctionsFor(int commandId);

// Computes the checksums of files (or, with `catalog`, of entries of its current folder) and
// shows them; failures are told. Runs on the UI thread behind the progress window.
class ItemCatalog;
void ShowChecksums(HWND owner, const std::vector<std::wstring>& namesOrPaths, int commandId,
                   ItemCatalog* catalog = nullptr);

// Puts the text on the clipboard. True when it is there.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);
