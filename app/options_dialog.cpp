#include "app/options_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <iterator>

#include "engine/format_table.h"
#include "res/resource.h"
#include "ui/resource_module.h"
#include "shell/integration_choices.h"
#include "shell/registration_scope.h"
#include "shell/startup_registration.h"
#include "ui/app_globals.h"
#include "ui/user_messages.h"

namespace {

// Readable as archives, but programs and documents first: never offered as a default.
constexpr const wchar_t* kNeverOffered[] = {
    L"exe",  L"dll",  L"sys", L"scr",  L"cpl", L"ocx", L"efi",  L"com", L"msi",  L"msp", L"msm", L"msu",
    L"doc",  L"xls",  L"ppt", L"docx", L"xlsx", L"pptx", L"odt", L"ods", L"odp",  L"epub", L"jar", L"chm",
    L"lnk",  L"obj",  L"lib", L"a",    L"elf", L"macho", L"mub", L"te",  L"flv",  L"swf", L"appx", L"xpi",
    L"ppkg", L"ihex"};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// --- the Integration page ---

std::wstring ChoicesNotStoredMessage() {
    return L"Could not store the choices of Tools > Options: the registry key "
           L"HKEY_CURRENT_USER\\Software\\Tolvane Extractor\\Integration could not be written.";
}

std::vector<std::wstring>& ShownTypes() {
    static std::vector<std::wstring> types;  // the list's rows, in order (the dialog is modal, on one thread)
    return types;
}

void FillIntegrationPage(HWND page) {
    const IntegrationChoices choices = LoadIntegrationChoices();
    HWND list = GetDlgItem(page, IDC_OPTIONS_TYPES);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
    ShownTypes() = OfferedDefaultTypes(engineFormats());
    int row = 0;
    for (const std::wstring& type : ShownTypes()) {
        std::wstring text = L"." + type;
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text.data();
        ListView_InsertItem(list, &item);
        const bool chosen = std::find(choices.defaultTypes.begin(), choices.defaultTypes.end(), type) !=
                            choices.defaultTypes.end();
        ListView_SetCheckState(list, row, chosen);
        ++row;
    }
    CheckDlgButton(page, IDC_OPTIONS_CASCADED, choices.cascaded ? BST_CHECKED : BST_UNCHECKED);
    for (int bit = 0; bit <= IDC_OPTIONS_MENU_LAST - IDC_OPTIONS_MENU_FIRST; ++bit)
        CheckDlgButton(page, IDC_OPTIONS_MENU_FIRST + bit,
                       (choices.menuItems & (1u << bit)) != 0 ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void TellIfRegisteredPerUserOnly(HWND owner) {
    if (!MustTellRegisteredPerUserOnly()) return;
    TellUser({RegisteredPerUserOnlyMessage(), MessageKind::Information}, owner);
    RememberToldPerUserOnly();
}

namespace {

// Stores the page's choices and registers as they say.
void ApplyIntegrationPage(HWND page) {
    IntegrationChoices choices = LoadIntegrationChoices();
    HWND list = GetDlgItem(page, IDC_OPTIONS_TYPES);
    choices.defaultTypes.clear();
    for (size_t row = 0; row < ShownTypes().size(); ++row)
        if (ListView_GetCheckState(list, static_cast<int>(row))) choices.defaultTypes.push_back(ShownTypes()[row]);
    choices.cascaded = IsDlgButtonChecked(page, IDC_OPTIONS_CASCADED) == BST_CHECKED;
    choices.menuItems = 0;
    for (int bit = 0; bit <= IDC_OPTIONS_MENU_LAST - IDC_OPTIONS_MENU_FIRST; ++bit)
        if (IsDlgButtonChecked(page, IDC_OPTIONS_MENU_FIRST + bit) == BST_CHECKED) choices.menuItems |= 1u << bit;
    choices.registrationAsked = true;
    if (!SaveIntegrationChoices(choices)) {
        TellUser({ChoicesNotStoredMessage(), MessageKind::Error}, page);
        return;
    }
    RefreshShellRegistration(g_app.instance, false);
    TellIfRegisteredPerUserOnly(page);
}

INT_PTR CALLBACK IntegrationPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: FillIntegrationPage(page); return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
                ApplyIntegrationPage(page);
                SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            break;
        default: break;
    }
    return FALSE;
}

// The pages, in order: a new page is one more row.
struct OptionsPage {
    int dialogId;
    DLGPROC procedure;
};
constexpr OptionsPage kOptionsPages[] = {
    {IDD_OPTIONS_INTEGRATION, IntegrationPageProc},
};

}  // namespace

std::vector<std::wstring> OfferedDefaultTypes(const std::vector<EngineFormat>& formats) {
    std::vector<std::wstring> types{L"zip", L"rar", L"7z"};
    for (const EngineFormat& format : formats) {
        if (equalsIgnoringCase(format.name, L"Hash")) continue;  // checksum files, no archives
        for (const std::wstring& extension : format.extensions) {
            const std::wstring type = Lower(extension);
            if (type.empty() || type.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz0123456789") != std::wstring::npos)
                continue;
            if (std::find(std::begin(kNeverOffered), std::end(kNeverOffered), type) != std::end(kNeverOffered))
                continue;
            if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
        }
    }
    return types;
}

void ShowOptionsDialog(HWND owner) {
    std::vector<PROPSHEETPAGEW> pages;
    for (const OptionsPage& row : kOptionsPages) {
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof(page);
        // The page's template in the language in use; its controls belong to the program.
        page.dwFlags = PSP_DLGINDIRECT;
        page.hInstance = g_app.instance;
        page.pResource = DialogTemplate(row.dialogId);
        page.pfnDlgProc = row.procedure;
        pages.push_back(page);
    }
    PROPSHEETHEADERW sheet{};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
    sheet.hwndParent = owner;
    sheet.hInstance = g_app.instance;
    const std::wstring caption = ResourceString(IDS_OPTIONS_CAPTION);
    sheet.pszCaption = caption.c_str();
    sheet.nPages = static_cast<UINT>(pages.size());
    sheet.ppsp = pages.data();
    PropertySheetW(&sheet);
}
