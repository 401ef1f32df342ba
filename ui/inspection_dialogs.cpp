#include "ui/inspection_dialogs.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/about_dialog.h"
#include "ui/resource_module.h"
#include "ui/user_messages.h"

namespace {

// Multi-line edit fields break lines at "\r\n" only.
std::wstring WithWindowsLineBreaks(const std::wstring& text) {
    std::wstring converted;
    for (wchar_t c : text) {
        if (c == L'\n') converted += L'\r';
        converted += c;
    }
    return converted;
}

std::wstring TextOf(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

LRESULT CTestReportDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    SetDlgItemTextW(m_hWnd, IDC_REPORT_TEXT, WithWindowsLineBreaks(report_).c_str());
    ::SetFocus(GetDlgItem(IDOK));
    return FALSE;  // the focus is set: the report's text is not selected
}

LRESULT CPropertiesDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    SetWindowTextW(m_hWnd, caption_.c_str());
    HWND list = GetDlgItem(IDC_PROPERTY_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT area{};
    GetClientRect(list, &area);
    const int nameWidth = (area.right - area.left) * 2 / 5;
    const std::wstring titles[] = {ResourceString(IDS_COLUMN_PROPERTY), ResourceString(IDS_COLUMN_VALUE)};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i].c_str());
        column.cx = i == 0 ? nameWidth : (area.right - area.left) - nameWidth - GetSystemMetrics(SM_CXVSCROLL);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(lines_[i].name.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(lines_[i].value.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    }
    return TRUE;
}

LRESULT CNamePromptDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    SetWindowTextW(m_hWnd, caption_.c_str());
    SetDlgItemTextW(m_hWnd, IDC_NAME_LABEL, label_.c_str());
    HWND field = GetDlgItem(IDC_NAME_EDIT);
    SendMessageW(field, EM_LIMITTEXT, 1024, 0);
    SetWindowTextW(field, name_.c_str());
    // A file's name is selected up to its extension, so that typing keeps the type.
    size_t end = name_.size();
    if (selectStem_) {
        const size_t dot = name_.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) end = dot;
    }
    ::SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, static_cast<LPARAM>(end));
    return FALSE;
}

LRESULT CNamePromptDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    HWND field = GetDlgItem(IDC_NAME_EDIT);
    const std::wstring typed = TextOf(field);
    const std::wstring problem = check_ ? check_(typed) : std::wstring();
    if (!problem.empty()) {
        TellUser({problem, MessageKind::Warning}, m_hWnd);
        ::SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        return 0;
    }
    name_ = typed;
    EndDialog(IDOK);
    return 0;
}

std::optional<std::wstring> AskName(HWND owner, const std::wstring& caption, const std::wstring& label,
                                    const std::wstring& initial, bool selectStem, NameCheck check) {
    CNamePromptDlg dialog(caption, label, initial, selectStem, std::move(check));
    if (dialog.DoModal(owner) != IDOK) return std::nullopt;
    return dialog.name();
}
