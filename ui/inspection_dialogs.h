#pragma once
// Dialogs that show what was found in an archive: the test's report and the properties, and
// the prompt for a name (rename, new folder).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ops/properties_report.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

// "Test Archive": the report in a read-only text field.
class CTestReportDlg : public ui::DialogImpl<CTestReportDlg> {
public:
    enum { IDD = IDD_TEST_REPORT };
    explicit CTestReportDlg(std::wstring report) : report_(std::move(report)) {}

    BEGIN_MSG_MAP(CTestReportDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&) {
        EndDialog(id);
        return 0;
    }
    std::wstring report_;
};

// "<name> Properties": one row per property, its name and its value.
class CPropertiesDlg : public ui::DialogImpl<CPropertiesDlg> {
public:
    enum { IDD = IDD_PROPERTIES };
    CPropertiesDlg(std::wstring caption, std::vector<PropertyLine> lines)
        : caption_(std::move(caption)), lines_(std::move(lines)) {}

    BEGIN_MSG_MAP(CPropertiesDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&) {
        EndDialog(id);
        return 0;
    }
    std::wstring caption_;
    std::vector<PropertyLine> lines_;
};

// Why a typed name cannot be taken (a sentence for the user); empty when it can.
using NameCheck = std::function<std::wstring(const std::wstring&)>;

// The name prompt: a caption, a label and a field with `initial` selected (up to its extension
// for a file). OK with a name that `check` refuses tells why and keeps the prompt open.
class CNamePromptDlg : public ui::DialogImpl<CNamePromptDlg> {
public:
    enum { IDD = IDD_NAME_PROMPT };
    CNamePromptDlg(std::wstring caption, std::wstring label, std::wstring initial, bool selectStem, NameCheck check)
        : caption_(std::move(caption)), label_(std::move(label)), name_(std::move(initial)), selectStem_(selectStem),
          check_(std::move(check)) {}
    const std::wstring& name() const { return name_; }

    BEGIN_MSG_MAP(CNamePromptDlg)
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
    std::wstring caption_, label_, name_;
    bool selectStem_;
    NameCheck check_;
};

// Runs the name prompt owned by `owner`; the name on OK, nothing on Cancel.
std::optional<std::wstring> AskName(HWND owner, const std::wstring& caption, const std::wstring& label,
                                    const std::wstring& initial, bool selectStem, NameCheck check);
