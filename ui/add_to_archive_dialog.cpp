#include "ui/add_to_archive_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "base/handles.h"
#include "base/path_tests.h"
#include "base/paths.h"
#include "base/text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_kind.h"
#include "engine/archive_probe.h"
#include "engine/format_table.h"
#include "ops/archive_operations.h"
#include "ops/update_failure.h"
#include "ui/accessible_names.h"
#include "ui/app_globals.h"
#include "ui/archive_naming.h"
#include "ui/creation_memory.h"
#include "ui/password_dialog.h"
#include "ui/resource_module.h"
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

constexpr const wchar_t* kVolumePresets[] = {L"", L"10M", L"100M", L"650M - CD", L"700M - CD", L"4092M - FAT",
                                             L"4480M - DVD"};
// The update modes' strings, in the order of their values.
constexpr UINT kModeNames[] = {IDS_MODE_ADD, IDS_MODE_UPDATE, IDS_MODE_FRESHEN, IDS_MODE_SYNCHRONIZE};

int AddComboItem(HWND combo, const std::wstring& text) {
    return static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

std::wstring ComboSelection(HWND combo) {
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void SelectComboText(HWND combo, const std::wstring& text) {
    const LRESULT found = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The shown name of the encryption method and the archiver's.
const wchar_t* EncryptionName(const std::wstring& method) { return method == L"ZipCrypto" ? L"ZipCrypto" : L"AES-256"; }

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The volume size as typed; nothing when the field is empty, 0 when it is not understood.
std::optional<uint64_t> TypedVolumeSize(HWND dialog) {
    const std::wstring text = ControlText(dialog, IDC_VOLUME_SIZE);
    if (text.find_first_not_of(L" ") == std::wstring::npos) return std::nullopt;
    return ParseVolumeSize(text).value_or(0);
}

INT_PTR RunAddDialog(std::vector<std::wstring> paths, std::wstring proposedArchive, std::wstring startFolder) {
    CAddToArchiveDlg dialog(std::move(paths), std::move(proposedArchive), std::move(startFolder));
    return dialog.DoModal(g_app.OwnerWindow.load());
}

}  // namespace

std::wstring PasswordsDifferText() { return ResourceString(IDS_PASSWORDS_DIFFER); }

std::wstring AddDialogCaption() { return std::wstring(kDisplayName) + L" - Add"; }

CAddToArchiveDlg::CAddToArchiveDlg(std::vector<std::wstring> paths, std::wstring proposedArchive,
                                   std::wstring startFolder)
    : pendingFiles_(std::move(paths)),
      proposedArchive_(std::move(proposedArchive)),
      startFolder_(std::move(startFolder)) {}

LRESULT CAddToArchiveDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, AddDialogCaption().c_str());
    filling_ = true;
    CreationOptions choices = LoadCreationChoices();
    const std::vector<std::wstring> offered = OfferedFormats(SingleFile().empty() ? pendingFiles_.size() : 1,
                                                             !SingleFile().empty());
    if (std::find(offered.begin(), offered.end(), choices.format) == offered.end()) choices.format = L"zip";
    // The proposal is made for zip; another remembered format gets its own extension, and a name
    // that is taken gets that extension once more, as the zip proposal does.
    std::wstring proposal = proposedArchive_;
    if (choices.format != L"zip") {
        proposal = ArchiveNameForFormat(proposal, choices.format, SingleFile());
        while (FileIsReadable(proposal)) proposal += L"." + FormatExtension(choices.format);
    }
    shownFormat_ = choices.format;
    SetDlgItemTextW(m_hWnd, IDC_ARCHIVE_NAME, proposal.c_str());
    FillFormats(choices);
    FillFormatChoices(choices);
    HWND volume = ::GetDlgItem(m_hWnd, IDC_VOLUME_SIZE);
    for (const wchar_t* preset : kVolumePresets) AddComboItem(volume, preset);
    HWND mode = ::GetDlgItem(m_hWnd, IDC_UPDATE_MODE);
    for (UINT name : kModeNames) AddComboItem(mode, ResourceString(name));
    SendMessageW(mode, CB_SETCURSEL, static_cast<WPARAM>(choices.mode), 0);
    CheckDlgButton(m_hWnd, IDC_DELETE_AFTER, choices.deleteAfter ? BST_CHECKED : BST_UNCHECKED);
    filling_ = false;
    ShowChoiceStates();
    ui::SetAccessibleName(::GetDlgItem(m_hWnd, IDC_BROWSE), L"Browse");
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

std::wstring CAddToArchiveDlg::SingleFile() const {
    return pendingFiles_.size() == 1 && !IsDirectory(pendingFiles_.front()) ? pendingFiles_.front() : std::wstring();
}

void CAddToArchiveDlg::FillFormats(const CreationOptions& choices) {
    HWND formats = ::GetDlgItem(m_hWnd, IDC_ARCHIVE_FORMAT);
    SendMessageW(formats, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& format : OfferedFormats(pendingFiles_.size(), !SingleFile().empty()))
        AddComboItem(formats, format);
    SelectComboText(formats, choices.format);
}

void CAddToArchiveDlg::FillFormatChoices(const CreationOptions& choices) {
    const bool wasFilling = filling_;
    filling_ = true;
    const std::wstring& format = choices.format;
    HWND level = ::GetDlgItem(m_hWnd, IDC_COMPRESSION_LEVEL);
    SendMessageW(level, CB_RESETCONTENT, 0, 0);
    for (const LevelChoice& choice : CompressionLevels()) {
        const int at = AddComboItem(level, choice.name);
        SendMessageW(level, CB_SETITEMDATA, at, choice.level);
        if (choice.level == choices.level) SendMessageW(level, CB_SETCURSEL, at, 0);
    }
    HWND method = ::GetDlgItem(m_hWnd, IDC_COMPRESSION_METHOD);
    SendMessageW(method, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : MethodsFor(format, engineEncoders())) AddComboItem(method, name);
    SelectComboText(method, choices.method);
    HWND encryption = ::GetDlgItem(m_hWnd, IDC_ENCRYPTION_METHOD);
    SendMessageW(encryption, CB_RESETCONTENT, 0, 0);
    if (EncryptionApplies(format)) AddComboItem(encryption, L"AES-256");
    if (format == L"zip") AddComboItem(encryption, L"ZipCrypto");
    SelectComboText(encryption, EncryptionName(choices.encryption));
    // A format without a solid mode shows the box empty; the user's choice comes back with one.
    solidChoice_ = choices.solid;
    CheckDlgButton(m_hWnd, IDC_SOLID_ARCHIVE, choices.solid && SolidApplies(format) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_ENCRYPT_NAMES, choices.encryptNames ? BST_CHECKED : BST_UNCHECKED);
    filling_ = wasFilling;
}

CreationOptions CAddToArchiveDlg::ReadChoices() const {
    CreationOptions choices;
    choices.format = ComboSelection(::GetDlgItem(m_hWnd, IDC_ARCHIVE_FORMAT));
    HWND level = ::GetDlgItem(m_hWnd, IDC_COMPRESSION_LEVEL);
    const LRESULT levelAt = SendMessageW(level, CB_GETCURSEL, 0, 0);
    if (levelAt != CB_ERR) choices.level = static_cast<int>(SendMessageW(level, CB_GETITEMDATA, levelAt, 0));
    choices.method = ComboSelection(::GetDlgItem(m_hWnd, IDC_COMPRESSION_METHOD));
    // The box shows the choice only for a format with a solid mode; the choice itself is kept.
    choices.solid = solidChoice_;
    choices.volumeSize = TypedVolumeSize(m_hWnd).value_or(0);
    choices.encryption = ComboSelection(::GetDlgItem(m_hWnd, IDC_ENCRYPTION_METHOD)) == L"ZipCrypto" ? L"ZipCrypto"
                                                                                                  : L"AES256";
    // Without a password there are no names to encrypt: the box waits for one.
    choices.encryptNames = Checked(m_hWnd, IDC_ENCRYPT_NAMES) && EncryptNamesApplies(choices.format) &&
                           !ControlText(m_hWnd, IDC_ADD_PASSWORD).empty();
    choices.deleteAfter = Checked(m_hWnd, IDC_DELETE_AFTER);
    const LRESULT mode = SendMessageW(::GetDlgItem(m_hWnd, IDC_UPDATE_MODE), CB_GETCURSEL, 0, 0);
    if (mode != CB_ERR) choices.mode = static_cast<UpdateMode>(mode);
    return choices;
}

CreationContext CAddToArchiveDlg::Context() const {
    CreationContext context;
    context.itemCount = pendingFiles_.size();
    context.onlyOneFile = !SingleFile().empty();
    const std::wstring archive = ControlText(m_hWnd, IDC_ARCHIVE_NAME);
    context.archiveExists = IsExistingFile(archive);
    if (context.archiveExists) {
        context.existingFormat = formatBySignature(archive);
        context.existingWritable = formatIsUpdatable(context.existingFormat);
    }
    context.splitPartsExist = IsExistingFile(archive + L".001");
    context.hasPassword = !ControlText(m_hWnd, IDC_ADD_PASSWORD).empty();
    return context;
}

void CAddToArchiveDlg::ShowChoiceStates() {
    if (filling_) return;
    const CreationOptions choices = ReadChoices();
    const std::wstring& format = choices.format;
    const bool levels = LevelApplies(format);
    EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPRESSION_LEVEL), levels);
    EnableWindow(::GetDlgItem(m_hWnd, IDC_COMPRESSION_METHOD),
                 levels && choices.level != 0 &&
                     SendMessageW(::GetDlgItem(m_hWnd, IDC_COMPRESSION_METHOD), CB_GETCOUNT, 0, 0) > 1);
    EnableWindow(::GetDlgItem(m_hWnd, IDC_SOLID_ARCHIVE), SolidApplies(format));
    EnableWindow(::GetDlgItem(m_hWnd, IDC_ENCRYPTION_METHOD), format == L"zip");
    EnableWindow(::GetDlgItem(m_hWnd, IDC_ENCRYPT_NAMES), EncryptNamesApplies(format));
    EnableWindow(::GetDlgItem(m_hWnd, IDC_ADD_PASSWORD), EncryptionApplies(format));
    EnableWindow(::GetDlgItem(m_hWnd, IDC_ADD_PASSWORD_AGAIN), EncryptionApplies(format));
    // What cannot be carried out comes first; else why some choices are greyed out.
    std::wstring note = TypedVolumeSize(m_hWnd) == uint64_t{0} ? ResourceString(IDS_VOLUME_NOT_UNDERSTOOD)
                                                               : CreationProblem(choices, Context());
    if (note.empty()) note = UnavailableChoicesNote(choices);
    SetDlgItemTextW(m_hWnd, IDC_CHOICE_NOTE, note.c_str());
}

LRESULT CAddToArchiveDlg::OnShowPassword(WORD, WORD, HWND, BOOL&) {
    for (int field : {IDC_ADD_PASSWORD, IDC_ADD_PASSWORD_AGAIN})
        ShowTypedPassword(::GetDlgItem(m_hWnd, field), Checked(m_hWnd, IDC_SHOW_PASSWORD));
    return 0;
}

LRESULT CAddToArchiveDlg::OnFormatChanged(WORD, WORD, HWND, BOOL&) {
    if (filling_) return 0;
    CreationOptions choices = ReadChoices();
    choices.method.clear();  // the new format's default method
    FillFormatChoices(choices);
    filling_ = true;
    const std::wstring archive = ControlText(m_hWnd, IDC_ARCHIVE_NAME);
    if (!archive.empty() && choices.format != shownFormat_)
        SetDlgItemTextW(m_hWnd, IDC_ARCHIVE_NAME, ArchiveNameForFormat(archive, choices.format, SingleFile()).c_str());
    shownFormat_ = choices.format;
    filling_ = false;
    ShowChoiceStates();
    return 0;
}

LRESULT CAddToArchiveDlg::OnSolidClicked(WORD, WORD, HWND, BOOL&) {
    solidChoice_ = Checked(m_hWnd, IDC_SOLID_ARCHIVE);
    ShowChoiceStates();
    return 0;
}

LRESULT CAddToArchiveDlg::OnChoiceChanged(WORD, WORD, HWND, BOOL&) {
    ShowChoiceStates();
    return 0;
}

LRESULT CAddToArchiveDlg::OnNameChanged(WORD, WORD, HWND, BOOL&) {
    if (filling_) return 0;
    // The format follows the name: an existing archive is added to in its own format, and a new
    // one is of the format its extension names (x.7z is a 7z archive), when the dialog writes it.
    const std::wstring archive = ControlText(m_hWnd, IDC_ARCHIVE_NAME);
    const std::wstring named = IsExistingFile(archive) ? formatBySignature(archive) : FormatOfExtension(archive);
    HWND formats = ::GetDlgItem(m_hWnd, IDC_ARCHIVE_FORMAT);
    if (!named.empty() && named != shownFormat_ &&
        SendMessageW(formats, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(named.c_str())) !=
            CB_ERR) {
        CreationOptions choices = ReadChoices();
        choices.format = named;
        choices.method.clear();
        SelectComboText(formats, named);
        FillFormatChoices(choices);
        shownFormat_ = named;
    }
    ShowChoiceStates();
    return 0;
}

LRESULT CAddToArchiveDlg::OnVolumePicked(WORD, WORD, HWND, BOOL&) {
    // The edit part shows the picked size only after this notification: put it there now.
    const std::wstring picked = ComboSelection(::GetDlgItem(m_hWnd, IDC_VOLUME_SIZE));
    SetDlgItemTextW(m_hWnd, IDC_VOLUME_SIZE, picked.c_str());
    ShowChoiceStates();
    return 0;
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
    const std::wstring filter = ResourceString(IDS_ALL_FILES) + std::wstring(L"\0*.*\0", 5);
    open.lpstrFilter = filter.c_str();
    open.nFilterIndex = 1;
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    const std::wstring title = ResourceString(IDS_BROWSE_CAPTION);
    open.lpstrTitle = title.c_str();
    open.lpstrInitialDir = startFolder_.empty() ? nullptr : startFolder_.c_str();
    open.Flags = OFN_EXPLORER | OFN_NOTESTFILECREATE;
    if (GetOpenFileNameW(&open)) {
        // The chosen file gets the extension of the format shown, unless it has it.
        const std::wstring format = ComboSelection(::GetDlgItem(m_hWnd, IDC_ARCHIVE_FORMAT));
        // An existing archive of a format the dialog writes keeps its name: it is added to.
        const std::wstring existing = IsExistingFile(file) ? formatBySignature(file) : std::wstring();
        const bool writable = !existing.empty() && SendMessageW(::GetDlgItem(m_hWnd, IDC_ARCHIVE_FORMAT),
                                                                CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                reinterpret_cast<LPARAM>(existing.c_str())) != CB_ERR;
        const std::wstring chosen =
            writable ? std::wstring(file) : ApplyExtension(file, FormatExtension(format.empty() ? L"zip" : format), false);
        SetDlgItemTextW(m_hWnd, IDC_ARCHIVE_NAME, chosen.c_str());
    }
    return 0;
}

LRESULT CAddToArchiveDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    if (closing_) return 0;
    const std::wstring password = ControlText(m_hWnd, IDC_ADD_PASSWORD).substr(0, 255);
    const std::wstring repeat = ControlText(m_hWnd, IDC_ADD_PASSWORD_AGAIN).substr(0, 255);
    if (!password.empty() && password != repeat) {
        TellUser({PasswordsDifferText()}, m_hWnd);
        return 0;
    }
    const std::wstring archive = ControlText(m_hWnd, IDC_ARCHIVE_NAME);
    const CreationOptions choices = ReadChoices();
    // Choices that cannot be carried out are refused here, with the reason, and the dialog stays.
    std::wstring problem = TypedVolumeSize(m_hWnd) == uint64_t{0} ? ResourceString(IDS_VOLUME_NOT_UNDERSTOOD)
                                                                  : CreationProblem(choices, Context());
    if (problem.empty()) {
        // A password the archive's format cannot take is refused before anything runs.
        const std::wstring refused = PasswordProblem(choices.format == L"zip" ? Zip : None, password);
        if (!refused.empty())
            problem = ResourceString(IDS_PASSWORD_REFUSED, {refused});
    }
    if (!problem.empty()) {
        SetDlgItemTextW(m_hWnd, IDC_CHOICE_NOTE, problem.c_str());
        TellUser({problem}, m_hWnd);
        return 0;
    }
    SaveCreationChoices(choices);

    const HWND previousOwner = g_app.OwnerWindow.exchange(m_hWnd);
    ItemCatalog* catalog = GetCatalog();
    size_t handedOver = 0;
    // Paths handed over while an add runs are added by another add right after it.
    while (handedOver < pendingFiles_.size()) {
        const std::vector<std::wstring> batch(pendingFiles_.begin() + static_cast<std::ptrdiff_t>(handedOver),
                                              pendingFiles_.end());
        handedOver = pendingFiles_.size();
        const OperationOutcome outcome = AddFilesToArchive(*catalog, archive, batch, password, choices);
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
