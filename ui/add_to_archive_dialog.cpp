#include "ui/add_to_archive_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include "base/handles.h"
#include "base/path_tests.h"
#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_kind.h"
#include "ops/archive_operations.h"
#include "ops/update_failure.h"
#include "ui/app_globals.h"
#include "ui/archive_naming.h"
#include "ui/password_dialog.h"
#include "ui/user_messages.h"

namespace {

constexpr wchar_t kHandOverMutex[] = L"TolvaneEvent";
// How long a later "Add to archive..." run waits for the first run's dialog to appear.
constexpr DWORD kHandOverWaitMs = 10000;

std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

// True when a new file can be made in the folder (tried with a file that goes again at once).
bool CanWriteInto(const std::wstring& folder) {
    const std::wstring probe = folder + L"tolvane-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

std::wstring DocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    return SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path) == S_OK ? std::wstring(path) : std::wstring();
}

INT_PTR RunAddDialog(std::vector<std::wstring> paths, std::wstring proposedArchive, std::wstring startFolder) {
    CAddToArchiveDlg dialog(std::move(paths), std::move(proposedArchive), std::move(startFolder));
    return dialog.DoModal(g_app.OwnerWindow.load());
}

}  // namespace

std::wstring AddDialogCaption() { return std::wstring(kDisplayName) + L" - Add"; }

CAddToArchiveDlg::CAddToArchiveDlg(std::vector<std::wstring> paths, std::wstring proposedArchive,
                                   std::wstring startFolder)
    : pendingFiles_(std::move(paths)),
      proposedArchive_(std::move(proposedArchive)),
      startFolder_(std::move(startFolder)) {}

LRESULT CAddToArchiveDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, AddDialogCaption().c_str());
    SetDlgItemTextW(m_hWnd, IDC_ARCHIVE_NAME, proposedArchive_.c_str());
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

LRESULT CAddToArchiveDlg::OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    // Once the dialog is closing its list has been handed to the add: refuse, so that the
    // sender does not lose its path but tries again.
    if (closing_ || !block) return FALSE;
    const auto path = ParseHandOverBlock(block->lpData, block->cbData);
    if (!path) return FALSE;
    pendingFiles_.push_back(*path);
    return TRUE;
}

LRESULT CAddToArchiveDlg::OnBrowse(WORD, WORD, HWND, BOOL&) {
    wchar_t file[MAX_PATH] = {};
    CopyToBuffer(file, MAX_PATH, proposedArchive_);
    OPENFILENAMEW open{};
    open.lStructSize = sizeof(open);
    // Owned by this dialog, which it disables while it is open: OK cannot be pressed behind it.
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = L"All Files\0*.*\0\0";
    open.nFilterIndex = 1;
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.lpstrTitle = L"Browse";
    open.lpstrInitialDir = startFolder_.empty() ? nullptr : startFolder_.c_str();
    open.Flags = OFN_EXPLORER | OFN_NOTESTFILECREATE;
    if (GetOpenFileNameW(&open)) {
        const std::wstring chosen = ApplyExtension(file, L"zip", false);
        SetDlgItemTextW(m_hWnd, IDC_ARCHIVE_NAME, chosen.c_str());
    }
    return 0;
}

LRESULT CAddToArchiveDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    if (closing_) return 0;
    const std::wstring password = ControlText(m_hWnd, IDC_ADD_PASSWORD).substr(0, 255);
    const std::wstring repeat = ControlText(m_hWnd, IDC_ADD_PASSWORD_AGAIN).substr(0, 255);
    if (!password.empty() && password != repeat) {
        TellUser({L"Password is invalid. Please input again."}, m_hWnd);
        return 0;
    }
    const std::wstring archive = ControlText(m_hWnd, IDC_ARCHIVE_NAME);
    // A password the archive's format cannot take is refused before anything runs.
    const std::wstring refused = PasswordProblem(archiveKindOf(archive), password);
    if (!refused.empty()) {
        const std::wstring text = L"The password cannot be used: " + refused +
                                  L".\nPlease input another password, or choose a .7z archive.";
        TellUser({text}, m_hWnd);
        return 0;
    }

    const HWND previousOwner = g_app.OwnerWindow.exchange(m_hWnd);
    ItemCatalog* catalog = GetCatalog();
    size_t handedOver = 0;
    // Paths handed over while an add runs are added by another add right after it.
    while (handedOver < pendingFiles_.size()) {
        const std::vector<std::wstring> batch(pendingFiles_.begin() + static_cast<std::ptrdiff_t>(handedOver),
                                              pendingFiles_.end());
        handedOver = pendingFiles_.size();
        const OperationOutcome outcome = AddFilesToArchive(*catalog, archive, batch, password);
        for (const std::wstring& message : outcome.messages) TellUser({message}, m_hWnd);
    }
    closing_ = true;
    DestroyCatalog();
    g_app.OwnerWindow = previousOwner;
    EndDialog(IDOK);
    return 0;
}

LRESULT CAddToArchiveDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
    closing_ = true;
    EndDialog(IDCANCEL);
    return 0;
}

bool AddFromSelection(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return false;
    const std::wstring folder = FolderOf(paths.front());
    std::wstring label;
    std::wstring target = folder;
    if (IsDriveRoot(folder)) {
        // A drive root: the archive is named after the drive and proposed where the user can
        // write, which a root may not be.
        wchar_t volume[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(folder.c_str(), volume, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
            label = volume;
        const std::wstring documents = DocumentsFolder();
        target = CanWriteInto(folder) || documents.empty() ? folder : documents;
    }
    const std::wstring proposal = paths.size() < 2
                                      ? DefaultArchiveName(target, paths.front(), FileIsReadable)
                                      : JoinPath(target, FileNameOf(SelectionArchiveName(folder, label)));
    return RunAddDialog(paths, proposal, folder) == IDOK;
}

namespace {

// Hands `argument` to the dialog of the first run. False when no dialog took it in time.
bool HandOverToRunningDialog(const std::wstring& argument) {
    const std::vector<wchar_t> block = MakeHandOverBlock(argument);
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(block.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(block.data());
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kHandOverWaitMs) {
        if (HWND dialog = FindWindowW(L"#32770", AddDialogCaption().c_str())) {
            SetForegroundWindow(dialog);
            DWORD_PTR accepted = 0;
            if (argument.empty()) return true;
            if (SendMessageTimeoutW(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 5000,
                                    &accepted) &&
                accepted)
                return true;
        }
        // The first run may have ended meanwhile: then this run becomes the first.
        UniqueHandle stillThere(OpenMutexW(SYNCHRONIZE, FALSE, kHandOverMutex));
        if (!stillThere) return false;
        Sleep(100);
    }
    return false;
}

}  // namespace

bool AddFromCommandLine(const std::wstring& argument) {
    for (;;) {
        UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kHandOverMutex));
        const bool anotherRunHasIt = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
        if (anotherRunHasIt) {
            mutex.reset();
            if (HandOverToRunningDialog(argument)) return true;
            // No dialog took the path: if the first run is gone, start over as the first;
            // if it is stuck, show a dialog of this run's own so the path is not lost.
            UniqueHandle stillThere(OpenMutexW(SYNCHRONIZE, FALSE, kHandOverMutex));
            if (!stillThere) continue;
        }
        // The first run (or one on its own): the path is the argument without its quotes.
        if (argument.size() < 3 || argument.front() != L'"' || argument.back() != L'"') return true;
        const std::wstring path = argument.substr(1, argument.size() - 2);
        const std::wstring folder = WithTrailingSeparator(FolderOf(path));
        RunAddDialog({path}, DefaultArchiveName(folder, path, FileIsReadable), folder);
        if (mutex) ReleaseMutex(mutex.get());
        return true;
    }
}
