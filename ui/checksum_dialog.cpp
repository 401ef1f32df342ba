#include "ui/checksum_dialog.h"

#include <cstring>

#include "ops/checksum_operation.h"
#include "res/resource.h"
#include "ui/resource_module.h"
#include "ui/user_messages.h"

LRESULT CChecksumDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, ResourceString(IDS_CHECKSUMS_CAPTION).c_str());
    HWND text = ::GetDlgItem(m_hWnd, IDC_CHECKSUM_TEXT);
    font_ = static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowTextW(text, report_.c_str());
    SetFocus(::GetDlgItem(m_hWnd, IDC_CHECKSUM_COPY));
    return FALSE;
}

LRESULT CChecksumDlg::OnCopy(WORD, WORD, HWND, BOOL&) {
    if (!CopyTextToClipboard(m_hWnd, report_)) TellUser({ResourceString(IDS_CHECKSUMS_CLIPBOARD_FAILED)}, m_hWnd);
    return 0;
}

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            // The clipboard owns the memory once it took it.
            placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed) GlobalFree(memory);
    }
    CloseClipboard();
    return placed;
}

std::vector<std::wstring> ChecksumFunctionsFor(int commandId) {
    switch (commandId) {
        case ID_CHECKSUM_CRC32: return {L"CRC32"};
        case ID_CHECKSUM_CRC64: return {L"CRC64"};
        case ID_CHECKSUM_SHA1: return {L"SHA1"};
        case ID_CHECKSUM_SHA256: return {L"SHA256"};
        default: return {};
    }
}

void ShowChecksums(HWND owner, const std::vector<std::wstring>& namesOrPaths, int commandId, ItemCatalog* catalog) {
    std::vector<ChecksumResult> results;
    const std::vector<std::wstring> functions = ChecksumFunctionsFor(commandId);
    const OperationOutcome outcome = catalog ? ComputeEntryChecksums(*catalog, namesOrPaths, functions, results)
                                             : ComputeFileChecksums(namesOrPaths, functions, results);
    for (const std::wstring& message : outcome.messages) TellUser({message}, owner);
    if (!outcome.done()) return;
    CChecksumDlg dialog(ChecksumReport(results));
    dialog.DoModal(owner);
}
