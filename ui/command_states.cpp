#include "ui/command_states.h"

#include <algorithm>

#include "res/resource.h"

namespace {

// The commands with handlers: every command of the menu bar and the right-click menu.
constexpr UINT kHandled[] = {
    ID_OPEN_ITEM,       ID_EXTRACT_FILES,     ID_ADD_FILES,       ID_DELETE_FILES,      ID_COPY_PATH,
    ID_GO_UP,           ID_GO_BACK,           ID_GO_FORWARD,      ID_VIEW_REFRESH,      ID_SELECT_ALL,
    ID_FOCUS_PATH,      ID_OPEN_ARCHIVE_FILE, ID_APP_ABOUT,       ID_APP_EXIT,          ID_VIEW_TOOLBAR,
    ID_VIEW_STATUS_BAR, ID_CHECKSUM_CRC32,    ID_CHECKSUM_CRC64,  ID_CHECKSUM_SHA1,     ID_CHECKSUM_SHA256,
    ID_CHECKSUM_ALL,    ID_OPEN_AS_ARCHIVE,   ID_EXTRACT_HERE,    ID_EXTRACT_TO_FOLDER, ID_TEST_ARCHIVE,
    ID_RENAME_ITEM,     ID_NEW_FOLDER,        ID_PROPERTIES,      ID_EXTRACT_OPTIONS,   ID_ADD_FILES_INTO,
    ID_ADD_FOLDER_INTO,
};

bool ArchiveChoices(const SelectionFacts& facts) {
    return facts.place == ListPlace::Archive || (facts.place == ListPlace::Folder && facts.singleArchiveFile);
}

bool Changeable(const SelectionFacts& facts) {
    return facts.place == ListPlace::Folder || (facts.place == ListPlace::Archive && facts.archiveWritable);
}

bool Enabled(UINT id, const SelectionFacts& f) {
    switch (id) {
    case ID_OPEN_ITEM: return f.selectedRows == 1;
    case ID_EXTRACT_FILES: return f.place == ListPlace::Archive ? f.targets > 0 : f.singleArchiveFile;
    case ID_EXTRACT_HERE:
    case ID_EXTRACT_TO_FOLDER:
    case ID_TEST_ARCHIVE: return ArchiveChoices(f);
    // In an archive, Add asks for files to put into the folder shown.
    case ID_ADD_FILES:
        return f.place == ListPlace::Archive ? f.archiveWritable : f.place == ListPlace::Folder && f.targets > 0;
    case ID_ADD_FILES_INTO:
    case ID_ADD_FOLDER_INTO: return f.place == ListPlace::Archive && f.archiveWritable;
    case ID_DELETE_FILES: return f.targets > 0 && Changeable(f);
    case ID_RENAME_ITEM: return f.targets == 1 && Changeable(f);
    case ID_NEW_FOLDER: return Changeable(f);
    case ID_COPY_PATH: return f.place != ListPlace::Drives || f.selectedRows > 0;
    case ID_PROPERTIES: return f.targets > 0 || f.place == ListPlace::Archive;
    case ID_GO_UP: return f.canGoUp;
    case ID_GO_BACK: return f.canGoBack;
    case ID_GO_FORWARD: return f.canGoForward;
    case ID_SELECT_ALL: return f.rows > 0;
    case ID_CHECKSUM_CRC32:
    case ID_CHECKSUM_CRC64:
    case ID_CHECKSUM_SHA1:
    case ID_CHECKSUM_SHA256:
    case ID_CHECKSUM_ALL: return f.targets > 0 && f.place != ListPlace::Drives;
    case ID_OPEN_AS_ARCHIVE: return f.place == ListPlace::Folder && f.targets == 1 && !f.singleFolder;
    default: return true;
    }
}

}  // namespace

bool HasCommandHandler(UINT id) { return std::find(std::begin(kHandled), std::end(kHandled), id) != std::end(kHandled); }

bool CommandEnabled(UINT id, const SelectionFacts& facts) { return HasCommandHandler(id) && Enabled(id, facts); }

std::wstring ExtractToFolderText(const std::wstring& archiveName) {
    std::wstring folder = archiveName;
    const size_t dot = folder.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) folder.resize(dot);
    if (folder.empty()) return L"Extract to folder";
    // A single "&" would underline the next letter instead of showing itself.
    std::wstring shown;
    for (wchar_t c : folder) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return L"Extract to \"" + shown + L"\\\"";
}

std::vector<MenuEntry> ContextMenuEntries(const SelectionFacts& f) {
    std::vector<MenuEntry> entries;
    auto add = [&](UINT id, std::wstring text) {
        MenuEntry entry{id, std::move(text), CommandEnabled(id, f), id == ID_OPEN_ITEM};
        entries.push_back(std::move(entry));
    };
    auto separate = [&] {
        if (!entries.empty() && entries.back().id != 0) entries.push_back({});
    };
    const bool selection = f.selectedRows > 0;
    const bool archive = f.place == ListPlace::Archive;
    if (selection) add(ID_OPEN_ITEM, L"&Open\tEnter");
    separate();
    if (ArchiveChoices(f) && (archive || selection)) {
        add(ID_EXTRACT_HERE, L"Extract &here");
        add(ID_EXTRACT_TO_FOLDER, ExtractToFolderText(f.archiveName));
        if (f.targets > 0) add(ID_EXTRACT_FILES, L"E&xtract to...\tAlt+E");
        add(ID_TEST_ARCHIVE, L"&Test archive");
    }
    separate();
    if (f.place != ListPlace::Drives) {
        if (archive || f.targets > 0) add(ID_ADD_FILES, L"&Add...\tAlt+A");
        if (f.targets > 0) {
            add(ID_DELETE_FILES, L"&Delete\tDel");
            add(ID_RENAME_ITEM, L"Re&name\tF2");
        }
        add(ID_NEW_FOLDER, L"New &folder");
    }
    separate();
    if (Enabled(ID_COPY_PATH, f)) add(ID_COPY_PATH, L"Copy &path");
    if (f.targets > 0 || archive) add(ID_PROPERTIES, L"P&roperties\tAlt+Enter");
    if (!selection) {
        separate();
        add(ID_VIEW_REFRESH, L"R&efresh\tF5");
    }
    if (!entries.empty() && entries.back().id == 0) entries.pop_back();
    return entries;
}
