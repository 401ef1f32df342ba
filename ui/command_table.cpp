#include "ui/command_table.h"

#include <algorithm>

#include "base/archive_file_names.h"
#include "res/resource.h"
#include "ui/language_menu.h"
#include "ui/main_frame.h"
#include "ui/name_encoding_menu.h"
#include "ui/options_hook.h"
#include "ui/resource_module.h"

namespace {

// --- when a command can run ---

bool ArchiveChoices(const SelectionFacts& f) {
    return f.place == ListPlace::Archive || (f.place == ListPlace::Folder && f.archiveFiles > 0);
}
bool Changeable(const SelectionFacts& f) {
    return f.place == ListPlace::Folder || (f.place == ListPlace::Archive && f.archiveWritable);
}
bool OneSelected(const SelectionFacts& f) { return f.selectedRows == 1; }
bool Extractable(const SelectionFacts& f) {
    return f.place == ListPlace::Archive ? f.targets > 0 : f.singleArchiveFile;
}
// In an archive, Add asks for files to put into the folder shown.
bool Addable(const SelectionFacts& f) {
    return f.place == ListPlace::Archive ? f.archiveWritable : f.place == ListPlace::Folder && f.targets > 0;
}
bool AddableInto(const SelectionFacts& f) { return f.place == ListPlace::Archive && f.archiveWritable; }
bool Deletable(const SelectionFacts& f) { return f.targets > 0 && Changeable(f); }
bool Renamable(const SelectionFacts& f) { return f.targets == 1 && Changeable(f); }
bool PathCopyable(const SelectionFacts& f) { return f.place != ListPlace::Drives || f.selectedRows > 0; }
bool WithProperties(const SelectionFacts& f) { return f.targets > 0 || f.place == ListPlace::Archive; }
bool UpPossible(const SelectionFacts& f) { return f.canGoUp; }
bool BackPossible(const SelectionFacts& f) { return f.canGoBack; }
bool ForwardPossible(const SelectionFacts& f) { return f.canGoForward; }
bool WithRows(const SelectionFacts& f) { return f.rows > 0; }
bool InArchive(const SelectionFacts& f) { return f.place == ListPlace::Archive; }
bool Hashable(const SelectionFacts& f) { return f.targets > 0 && f.place != ListPlace::Drives; }
bool OpenableInside(const SelectionFacts& f) {
    return f.place == ListPlace::Folder && f.targets == 1 && !f.singleFolder;
}

// --- what carries a command out ---

template <void (CTolvaneView::*step)()>
void ViewStep(CMainFrame& frame, UINT) {
    (frame.view().*step)();
}
// The column each sort command sorts by, by its title.
void SortBy(CMainFrame& frame, UINT id) {
    static constexpr const wchar_t* kTitles[] = {L"Name", L"Size", L"Packed", L"Type", L"Modified"};
    frame.view().SortByColumnTitle(kTitles[id - ID_SORT_BY_NAME]);
}
void Checksum(CMainFrame& frame, UINT id) { frame.view().ChecksumSelection(static_cast<int>(id)); }

bool ZipNames(const SelectionFacts& f) { return f.zipNames; }
void ChooseNameEncoding(CMainFrame& frame, UINT id) { frame.view().ChooseNameEncoding(CodePageOfCommand(id)); }

// View > Language: the language is used at once, the menu bar shown again in it.
void ChooseLanguageCommand(CMainFrame& frame, UINT id) {
    ChooseLanguage(LanguageOfCommand(id));
    frame.ShowMenuBarInLanguage();
}

// The table, with one command per entry of View > Name encoding and of View > Language.
std::vector<Command> WithNameEncodings(std::vector<Command> commands) {
    for (UINT id = ID_LANGUAGE_FIRST; id <= ID_LANGUAGE_LAST; ++id) commands.push_back({id, ChooseLanguageCommand});
    commands.push_back({ID_NAME_ENCODING_AUTO, ChooseNameEncoding, ZipNames});
    for (size_t i = 0; i < EncodingMenuCodePages().size(); ++i)
        commands.push_back({ID_NAME_ENCODING_FIRST + static_cast<UINT>(i), ChooseNameEncoding, ZipNames});
    return commands;
}

const std::vector<Command> kCommands = WithNameEncodings({
    {ID_OPEN_ITEM, ViewStep<&CTolvaneView::OpenSelectedRow>, OneSelected, IDS_MENU_OPEN},
    {ID_OPEN_ARCHIVE_FILE, ViewStep<&CTolvaneView::OpenArchiveFromPicker>},
    {ID_FILE_OPEN, ViewStep<&CTolvaneView::OpenArchiveFromPicker>},
    {ID_OPEN_AS_ARCHIVE, ViewStep<&CTolvaneView::OpenSelectionAsArchive>, OpenableInside},
    {ID_ADD_FILES, ViewStep<&CTolvaneView::AddSelection>, Addable, IDS_MENU_ADD},
    {ID_ADD_FILES_INTO, [](CMainFrame& frame, UINT) { frame.view().AddIntoArchive(false); }, AddableInto},
    {ID_ADD_FOLDER_INTO, [](CMainFrame& frame, UINT) { frame.view().AddIntoArchive(true); }, AddableInto},
    {ID_EXTRACT_FILES, ViewStep<&CTolvaneView::ExtractSelection>, Extractable, IDS_MENU_EXTRACT},
    {ID_EXTRACT_HERE,
     [](CMainFrame& frame, UINT) { frame.view().ExtractBeside(ContentCommands::ExtractPlace::Here); },
     ArchiveChoices, IDS_MENU_EXTRACT_HERE},
    {ID_EXTRACT_TO_FOLDER,
     [](CMainFrame& frame, UINT) { frame.view().ExtractBeside(ContentCommands::ExtractPlace::OwnFolder); },
     ArchiveChoices, IDS_MENU_EXTRACT_TO_FOLDER},
    {ID_EXTRACT_SMART,
     [](CMainFrame& frame, UINT) { frame.view().ExtractBeside(ContentCommands::ExtractPlace::Smart); },
     ArchiveChoices, IDS_MENU_EXTRACT_SMART},
    {ID_TOOLS_OPTIONS, [](CMainFrame& frame, UINT) { RunOptions(frame.m_hWnd); }},
    {ID_DELETE_FILES, ViewStep<&CTolvaneView::DeleteSelection>, Deletable, IDS_MENU_DELETE},
    {ID_RENAME_ITEM, ViewStep<&CTolvaneView::RenameSelection>, Renamable, IDS_MENU_RENAME},
    {ID_NEW_FOLDER, ViewStep<&CTolvaneView::NewFolder>, Changeable, IDS_MENU_NEW_FOLDER},
    {ID_PROPERTIES, ViewStep<&CTolvaneView::ShowProperties>, WithProperties, IDS_MENU_PROPERTIES},
    {ID_APP_EXIT, [](CMainFrame& frame, UINT) { frame.Close(); }},
    {ID_SELECT_ALL, ViewStep<&CTolvaneView::SelectAllRows>, WithRows},
    {ID_SELECT_BY_PATTERN, [](CMainFrame& frame, UINT) { frame.view().SelectByPattern(true); }, WithRows},
    {ID_DESELECT_BY_PATTERN, [](CMainFrame& frame, UINT) { frame.view().SelectByPattern(false); }, WithRows},
    {ID_INVERT_SELECTION, ViewStep<&CTolvaneView::InvertSelection>, WithRows},
    {ID_FIND_IN_ARCHIVE, ViewStep<&CTolvaneView::FindInArchive>, InArchive},
    {ID_CHOOSE_COLUMNS, ViewStep<&CTolvaneView::ChooseColumns>},
    {ID_COPY_PATH, ViewStep<&CTolvaneView::CopyPaths>, PathCopyable, IDS_MENU_COPY_PATH},
    {ID_VIEW_TOOLBAR, [](CMainFrame& frame, UINT) { frame.ToggleToolBar(); }},
    {ID_VIEW_STATUS_BAR, [](CMainFrame& frame, UINT) { frame.ToggleStatusBar(); }},
    {ID_GO_BACK, [](CMainFrame& frame, UINT) { frame.view().GoThroughHistory(-1); }, BackPossible},
    {ID_GO_FORWARD, [](CMainFrame& frame, UINT) { frame.view().GoThroughHistory(1); }, ForwardPossible},
    {ID_GO_UP, ViewStep<&CTolvaneView::GoUp>, UpPossible},
    {ID_FOCUS_PATH, ViewStep<&CTolvaneView::FocusPathField>},
    {ID_NEXT_PANE, [](CMainFrame& frame, UINT) { frame.view().MoveFocus(false); }},
    {ID_PREV_PANE, [](CMainFrame& frame, UINT) { frame.view().MoveFocus(true); }},
    {ID_VIEW_REFRESH, ViewStep<&CTolvaneView::Refresh>, nullptr, IDS_MENU_REFRESH},
    {ID_TEST_ARCHIVE, ViewStep<&CTolvaneView::TestSelection>, ArchiveChoices, IDS_MENU_TEST},
    {ID_EXTRACT_OPTIONS, ViewStep<&CTolvaneView::ChooseExtractOptions>},
    {ID_CHECKSUM_CRC32, Checksum, Hashable},
    {ID_CHECKSUM_CRC64, Checksum, Hashable},
    {ID_CHECKSUM_SHA1, Checksum, Hashable},
    {ID_CHECKSUM_SHA256, Checksum, Hashable},
    {ID_CHECKSUM_ALL, Checksum, Hashable},
    {ID_APP_ABOUT, [](CMainFrame& frame, UINT) { frame.ShowAbout(); }},
    {ID_SORT_BY_NAME, SortBy},
    {ID_SORT_BY_SIZE, SortBy},
    {ID_SORT_BY_PACKED, SortBy, InArchive},
    {ID_SORT_BY_TYPE, SortBy},
    {ID_SORT_BY_MODIFIED, SortBy},
});

void (*g_observer)(const Command&, UINT) = nullptr;

}  // namespace

const std::vector<Command>& Commands() { return kCommands; }

const Command* FindCommand(UINT id) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(), [id](const Command& c) { return c.id == id; });
    return found == kCommands.end() ? nullptr : &*found;
}

bool RunCommand(CMainFrame& frame, UINT id) {
    const Command* command = FindCommand(id);
    if (!command) return false;
    if (g_observer) g_observer(*command, id);
    else command->run(frame, id);
    return true;
}

void SetCommandObserverForTesting(void (*observer)(const Command& command, UINT id)) { g_observer = observer; }

bool CommandEnabled(UINT id, const SelectionFacts& facts) {
    const Command* command = FindCommand(id);
    return command && (!command->enabled || command->enabled(facts));
}

std::wstring ExtractToFolderText(const std::wstring& archiveName, int archiveFiles) {
    if (archiveFiles > 1) return ResourceString(IDS_EXTRACT_TO_NAMED_FOLDER, {L"*"});
    if (archiveName.empty()) return ResourceString(IDS_EXTRACT_TO_FOLDER);
    const std::wstring folder = ExtractFolderName(archiveName);
    // A single "&" would underline the next letter instead of showing itself.
    std::wstring shown;
    for (wchar_t c : folder) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return ResourceString(IDS_EXTRACT_TO_NAMED_FOLDER, {shown});
}

std::vector<MenuEntry> ContextMenuEntries(const SelectionFacts& f) {
    std::vector<MenuEntry> entries;
    auto add = [&](UINT id) {
        const Command* command = FindCommand(id);
        std::wstring text = id == ID_EXTRACT_TO_FOLDER ? ExtractToFolderText(f.archiveName, f.archiveFiles)
                                                       : ResourceString(command->menuText);
        entries.push_back({id, std::move(text), CommandEnabled(id, f), id == ID_OPEN_ITEM});
    };
    auto separate = [&] {
        if (!entries.empty() && entries.back().id != 0) entries.push_back({});
    };
    const bool selection = f.selectedRows > 0;
    const bool archive = f.place == ListPlace::Archive;
    if (selection) add(ID_OPEN_ITEM);
    separate();
    if (ArchiveChoices(f) && (archive || selection)) {
        add(ID_EXTRACT_HERE);
        add(ID_EXTRACT_TO_FOLDER);
        add(ID_EXTRACT_SMART);
        if (f.targets > 0) add(ID_EXTRACT_FILES);
        add(ID_TEST_ARCHIVE);
    }
    separate();
    if (f.place != ListPlace::Drives) {
        if (archive || f.targets > 0) add(ID_ADD_FILES);
        if (f.targets > 0) {
            add(ID_DELETE_FILES);
            add(ID_RENAME_ITEM);
        }
        add(ID_NEW_FOLDER);
    }
    separate();
    if (PathCopyable(f)) add(ID_COPY_PATH);
    if (WithProperties(f)) add(ID_PROPERTIES);
    if (!selection) {
        separate();
        add(ID_VIEW_REFRESH);
    }
    if (!entries.empty() && entries.back().id == 0) entries.pop_back();
    return entries;
}
