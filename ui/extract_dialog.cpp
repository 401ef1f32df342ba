#include "ui/extract_dialog.h"

#include "base/path_tests.h"
#include "base/paths.h"
#include "res/resource.h"
#include "ui/about_dialog.h"
#include "ui/extract_choices_store.h"
#include "ui/folder_browser.h"
#include "ui/password_dialog.h"
#include "ui/resource_module.h"
#include "ui/user_messages.h"

namespace {

template <typename T>
struct Choice {
    T value;
    UINT text;  // its string
};

// The texts of the choices, in the order the lists show them.
constexpr Choice<PathMode> kPathModes[] = {
    {PathMode::Full, IDS_PATHS_FULL},
    {PathMode::None, IDS_PATHS_NONE},
    {PathMode::Relative, IDS_PATHS_RELATIVE},
};
constexpr Choice<ExistingFilePolicy> kExistingFiles[] = {
    {ExistingFilePolicy::Ask, IDS_EXISTING_ASK},
    {ExistingFilePolicy::Replace, IDS_EXISTING_REPLACE},
    {ExistingFilePolicy::Skip, IDS_EXISTING_SKIP},
    {ExistingFilePolicy::RenameNew, IDS_EXISTING_RENAME_NEW},
    {ExistingFilePolicy::RenameExisting, IDS_EXISTING_RENAME_OLD},
};
constexpr Choice<ZoneMarking> kZoneMarkings[] = {
    {ZoneMarking::All, IDS_MARK_ALL},
    {ZoneMarking::ProgramsAndDocuments, IDS_MARK_SOME},
    {ZoneMarking::Off, IDS_MARK_NONE},
};

template <typename T, size_t N>
void FillChoices(HWND dialog, int id, const Choice<T> (&choices)[N], T selected) {
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < N; ++i) {
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResourceString(choices[i].text).c_str()));
        if (choices[i].value == selected) SendDlgItemMessageW(dialog, id, CB_SETCURSEL, i, 0);
    }
}

template <typename T, size_t N>
T ReadChoice(HWND dialog, int id, const Choice<T> (&choices)[N], T fallback) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<size_t>(index) < N ? choices[index].value : fallback;
}

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    size_t start = 0;
    while (start < text.size() && (text[start] == L' ' || text[start] == L'\t')) ++start;
    return text.substr(start);
}

}  // namespace

void FillZoneMarkingChoice(HWND dialog, int controlId, ZoneMarking marking) {
    FillChoices(dialog, controlId, kZoneMarkings, marking);
}

ZoneMarking ReadZoneMarkingChoice(HWND dialog, int controlId) {
    return ReadChoice(dialog, controlId, kZoneMarkings, ZoneMarking::All);
}

LRESULT CExtractDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterOverOwner(m_hWnd);
    for (const std::wstring& destination : destinations_)
        SendDlgItemMessageW(m_hWnd, IDC_EXTRACT_DESTINATION, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(destination.c_str()));
    SetDlgItemTextW(m_hWnd, IDC_EXTRACT_DESTINATION, choices_.destination.c_str());
    CheckDlgButton(m_hWnd, IDC_EXTRACT_NEW_FOLDER, choices_.newFolder ? BST_CHECKED : BST_UNCHECKED);
    FillChoices(m_hWnd, IDC_EXTRACT_PATH_MODE, kPathModes, choices_.paths);
    FillChoices(m_hWnd, IDC_EXTRACT_EXISTING, kExistingFiles, choices_.existingFiles);
    SendDlgItemMessageW(m_hWnd, IDC_EXTRACT_PASSWORD, EM_LIMITTEXT, 255, 0);
    CheckDlgButton(m_hWnd, IDC_EXTRACT_OPEN_DESTINATION, choices_.openDestination ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

LRESULT CExtractDlg::OnBrowse(WORD, WORD, HWND, BOOL&) {
    const std::wstring typed = Trimmed(ui::DialogItemText(m_hWnd, IDC_EXTRACT_DESTINATION));
    // The browser of the shell's "Extract files...", owned by this dialog.
    if (const auto folder = BrowseForExtractFolder(m_hWnd, IsDirectory(typed) ? typed : browseStart_))
        SetDlgItemTextW(m_hWnd, IDC_EXTRACT_DESTINATION, folder->c_str());
    return 0;
}

LRESULT CExtractDlg::OnShowPassword(WORD, WORD, HWND, BOOL&) {
    ShowTypedPassword(::GetDlgItem(m_hWnd, IDC_EXTRACT_PASSWORD),
                      IsDlgButtonChecked(m_hWnd, IDC_EXTRACT_SHOW_PASSWORD) == BST_CHECKED);
    return 0;
}

LRESULT CExtractDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    const std::wstring destination = Trimmed(ui::DialogItemText(m_hWnd, IDC_EXTRACT_DESTINATION));
    if (destination.empty()) {
        TellUser({ResourceString(IDS_NO_DESTINATION), MessageKind::Warning}, m_hWnd);
        return 0;
    }
    choices_.destination = destination;
    choices_.newFolder = IsDlgButtonChecked(m_hWnd, IDC_EXTRACT_NEW_FOLDER) == BST_CHECKED;
    choices_.paths = ReadChoice(m_hWnd, IDC_EXTRACT_PATH_MODE, kPathModes, PathMode::Full);
    choices_.existingFiles = ReadChoice(m_hWnd, IDC_EXTRACT_EXISTING, kExistingFiles, ExistingFilePolicy::Ask);
    choices_.password = ui::DialogItemText(m_hWnd, IDC_EXTRACT_PASSWORD);
    choices_.openDestination = IsDlgButtonChecked(m_hWnd, IDC_EXTRACT_OPEN_DESTINATION) == BST_CHECKED;
    EndDialog(IDOK);
    return 0;
}

std::optional<ExtractChoices> AskExtractChoices(HWND owner, const std::wstring& startFolder) {
    StoredExtractChoices stored = LoadExtractChoices();
    ExtractChoices initial = stored.choices;
    initial.destination = startFolder;
    CExtractDlg dialog(initial, stored.destinations, startFolder);
    if (dialog.DoModal(owner) != IDOK) return std::nullopt;
    ExtractChoices chosen = dialog.choices();
    // A folder typed without a drive or server is taken below the archive's folder.
    const std::wstring& typed = chosen.destination;
    const bool absolute = (typed.size() >= 3 && typed[1] == L':' && (typed[2] == L'\\' || typed[2] == L'/')) ||
                          typed.rfind(L"\\\\", 0) == 0;
    if (!absolute && !startFolder.empty()) chosen.destination = JoinPath(startFolder, typed);
    stored.choices = chosen;
    stored.choices.destination.clear();
    stored.choices.password.clear();
    stored.destinations = RememberDestination(stored.destinations, chosen.destination);
    SaveExtractChoices(stored);
    return chosen;
}
