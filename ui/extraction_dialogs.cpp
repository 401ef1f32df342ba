#include "ui/extraction_dialogs.h"

#include "ops/property_texts.h"
#include "ui/about_dialog.h"
#include "ui/app_globals.h"
#include "ui/extract_choices_store.h"
#include "ui/extract_dialog.h"
#include "ui/progress_window.h"
#include "ui/resource_module.h"

std::wstring FileDescription(bool sizeKnown, uint64_t size, bool modifiedKnown, const FILETIME& modified) {
    std::wstring text;
    if (sizeKnown) text = size == 1 ? ResourceString(IDS_ONE_BYTE) : ResourceString(IDS_BYTES, {GroupedNumber(size)});
    const std::wstring time = modifiedKnown ? LocalTimeText(modified) : std::wstring();
    if (!time.empty()) text += (text.empty() ? L"" : L", ") + ResourceString(IDS_MODIFIED, {time});
    return text;
}

LRESULT CExtractOptionsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    CheckDlgButton(m_hWnd, IDC_OPEN_DESTINATION, g_app.settings.openDestination ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_KEEP_FOLDERS, g_app.settings.keepFolders ? BST_CHECKED : BST_UNCHECKED);
    FillZoneMarkingChoice(m_hWnd, IDC_EXTRACT_ZONE_MARKING, StoredZoneMarking());
    return TRUE;
}

LRESULT CExtractOptionsDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    g_app.settings.openDestination = IsDlgButtonChecked(m_hWnd, IDC_OPEN_DESTINATION) == BST_CHECKED ? 1 : 0;
    g_app.settings.keepFolders = IsDlgButtonChecked(m_hWnd, IDC_KEEP_FOLDERS) == BST_CHECKED ? 1 : 0;
    // The Extract dialog's stored choices hold the same "open the destination" and the marking.
    StoredExtractChoices stored = LoadExtractChoices();
    stored.choices.openDestination = g_app.settings.openDestination != 0;
    stored.choices.zoneMarking = ReadZoneMarkingChoice(m_hWnd, IDC_EXTRACT_ZONE_MARKING);
    SaveExtractChoices(stored);
    EndDialog(IDOK);
    return 0;
}

LRESULT CReplaceDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    SetDlgItemTextW(m_hWnd, IDC_REPLACE_PATH, question_.path.c_str());
    const std::wstring existing = FileDescription(true, question_.existingSize, true, question_.existingModified);
    SetDlgItemTextW(m_hWnd, IDC_REPLACE_EXISTING, existing.c_str());
    const std::wstring item = question_.item + L"\n" +
                              FileDescription(question_.itemSizeKnown, question_.itemSize,
                                              question_.itemModifiedKnown, question_.itemModified);
    SetDlgItemTextW(m_hWnd, IDC_REPLACE_ITEM, item.c_str());
    return TRUE;
}

LRESULT CReplaceDlg::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    switch (LOWORD(wParam)) {
    case IDYES: answer_ = ReplaceAnswer::Yes; break;
    case IDC_YES_TO_ALL: answer_ = ReplaceAnswer::YesToAll; break;
    case IDNO: answer_ = ReplaceAnswer::No; break;
    case IDC_NO_TO_ALL: answer_ = ReplaceAnswer::NoToAll; break;
    case IDC_RENAME: answer_ = ReplaceAnswer::Rename; break;
    case IDCANCEL: answer_ = ReplaceAnswer::Cancel; break;
    default: handled = FALSE; return 0;
    }
    EndDialog(LOWORD(wParam));
    return 0;
}

ReplaceAnswer AskReplaceQuestion(const ReplaceQuestion& question) {
    CReplaceDlg dialog(question);
    if (RunPrompt([&](HWND owner) { return dialog.DoModal(owner); }) <= 0) return ReplaceAnswer::Cancel;
    return dialog.answer();
}
