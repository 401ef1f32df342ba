// The Explorer menu handler as Explorer uses it: registered by the real program, made through
// COM by its class, given a data object of real files, its menu read back and its commands run.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/handles.h"
#include "base/paths.h"
#include "shell/handler_registration.h"
#include "shell/integration_choices.h"
#include "support/registration_layout.h"
#include "support/test_support.h"

using namespace testsupport;

namespace {

struct IdList {
    PIDLIST_ABSOLUTE pidl = nullptr;
    ~IdList() { CoTaskMemFree(pidl); }
};

// A data object of `paths`, all in one folder, as Explorer asks the folder for it.
ComPtr<IDataObject> DataObjectOf(const std::vector<std::wstring>& paths) {
    std::vector<IdList> items(paths.size());
    std::vector<PCUITEMID_CHILD> children;
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_HRESULT_SUCCEEDED(SHParseDisplayName(paths[i].c_str(), nullptr, &items[i].pidl, 0, nullptr));
        children.push_back(ILFindLastID(items[i].pidl));
    }
    ComPtr<IShellFolder> folder;
    ComPtr<IDataObject> data;
    if (FAILED(SHBindToParent(items[0].pidl, IID_IShellFolder, folder.putVoid(), nullptr))) return data;
    EXPECT_HRESULT_SUCCEEDED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                                   IID_IDataObject, nullptr, data.putVoid()));
    return data;
}

// The handler for the selection and the texts of its submenu, in order.
struct Menu {
    ComPtr<IContextMenu> handler;
    std::vector<std::wstring> texts;
    int IndexOf(const std::wstring& text) const {
        const auto found = std::find(texts.begin(), texts.end(), text);
        return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
    }
};

Menu MenuFor(const std::vector<std::wstring>& paths) {
    Menu menu;
    ComPtr<IShellExtInit> init;
    EXPECT_HRESULT_SUCCEEDED(
        CoCreateInstance(kHandlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.putVoid()));
    if (!init) return menu;
    EXPECT_HRESULT_SUCCEEDED(init->Initialize(nullptr, DataObjectOf(paths).get(), nullptr));
    EXPECT_HRESULT_SUCCEEDED(init->QueryInterface(IID_IContextMenu, menu.handler.putVoid()));
    HMENU popup = CreatePopupMenu();
    const HRESULT added = menu.handler->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
    EXPECT_EQ(GetMenuItemCount(popup), 1) << "one cascaded submenu";
    wchar_t title[64] = {};
    GetMenuStringW(popup, 0, title, 64, MF_BYPOSITION);
    EXPECT_STREQ(title, L"Tolvane Extractor");
    const HMENU sub = GetSubMenu(popup, 0);
    for (int i = 0; sub && i < GetMenuItemCount(sub); ++i) {
        wchar_t text[MAX_PATH] = {};
        GetMenuStringW(sub, i, text, MAX_PATH, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(sub, i), static_cast<UINT>(1 + i));
        menu.texts.push_back(text);
    }
    EXPECT_EQ(HRESULT_CODE(added), static_cast<int>(menu.texts.size()));
    DestroyMenu(popup);
    return menu;
}

void Invoke(const Menu& menu, const std::wstring& text) {
    const int index = menu.IndexOf(text);
    ASSERT_GE(index, 0) << Narrow(text);
    CMINVOKECOMMANDINFO info{sizeof(info)};
    info.fMask = CMIC_MASK_FLAG_NO_UI;
    info.lpVerb = MAKEINTRESOURCEA(index);
    info.nShow = SW_SHOWNORMAL;
    ASSERT_HRESULT_SUCCEEDED(menu.handler->InvokeCommand(&info));
}

class MenuHandler : public testing::Test {
protected:
    void SetUp() override {
        RemoveRegistration();
        const ProcessResult registered = RunProcess(Quote(ProgramExe()) + L" /Register");
        ASSERT_EQ(registered.exitCode, 0u);
    }
    void TearDown() override {
        RunProcess(Quote(ProgramExe()) + L" /UnRegister");
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Integration");
    }
    TempDir work_{L"menu"};
};

TEST_F(MenuHandler, ItNamesTheArchivesFolderLeavesOutWhatStaticVerbsShowAndExtractsThere) {
    WriteFileBytes(work_ / L"src\\photo.txt", "a photo's notes\r\n");
    ASSERT_EQ(Run7z(L"a -ttar photos.tar src", work_.path()).exitCode, 0u);
    ASSERT_EQ(Run7z(L"a -tgzip photos.tar.gz photos.tar", work_.path()).exitCode, 0u);
    ASSERT_TRUE(DeleteFileW((work_ / L"photos.tar").c_str()));
    ASSERT_EQ(Run7z(L"a -tzip set.zip src", work_.path()).exitCode, 0u);

    const Menu archive = MenuFor({work_ / L"photos.tar.gz"});
    EXPECT_EQ(archive.texts, (std::vector<std::wstring>{L"Open", L"Extract files...", L"Extract Here",
                                                         L"Extract to \"photos\\\"", L"Extract Here (Smart)",
                                                         L"Test archive", L"Add to \"photos.tar.7z\"",
                                                         L"Add to \"photos.tar.zip\""}))
        << "\"Add to archive...\" and \"Checksums...\" are static verbs of every file";
    // The program opens .zip by default: its static verbs give Extract Here and Extract files...;
    // the handler, registered, names the folder for .zip too (no "Extract to Folder" verb).
    const Menu zip = MenuFor({work_ / L"set.zip"});
    EXPECT_EQ(zip.IndexOf(L"Extract Here"), -1);
    EXPECT_GE(zip.IndexOf(L"Extract to \"set\\\""), 0);
    EXPECT_GE(zip.IndexOf(L"Extract Here (Smart)"), 0);
    const Menu both = MenuFor({work_ / L"src", work_ / L"set.zip"});
    // A folder and a file: named after the folder that holds them, checksums of the file.
    const std::wstring holder = FileNameOf(work_.path());
    EXPECT_EQ(both.texts, (std::vector<std::wstring>{L"Add to \"" + holder + L".7z\"", L"Add to \"" + holder + L".zip\"",
                                                      L"Checksums"}));

    Invoke(archive, L"Extract to \"photos\\\"");
    // The tree the archive was made of, through both layers (.gz, .tar).
    const std::vector<std::wstring> made{L"src\\photo.txt"};
    ASSERT_TRUE(WaitUntil([&] { return ListFilesRecursive(work_ / L"photos") == made; }, kLongPatienceMs))
        << "the program extracts into photos\\";
    EXPECT_EQ(ReadFileBytes(work_ / L"photos\\src\\photo.txt"), "a photo's notes\r\n");
}

TEST_F(MenuHandler, AFlatMenuShowsOnlyTheItemsTheUserKeeps) {
    WriteFileBytes(work_ / L"notes.txt", "notes");
    IntegrationChoices choices;
    choices.cascaded = false;
    choices.menuItems = kMenuAdd7z | kMenuExtractHere;
    ASSERT_TRUE(SaveIntegrationChoices(choices));
    ComPtr<IShellExtInit> init;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(kHandlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.putVoid()));
    ASSERT_HRESULT_SUCCEEDED(init->Initialize(nullptr, DataObjectOf({work_ / L"notes.txt"}).get(), nullptr));
    ComPtr<IContextMenu> menu;
    ASSERT_HRESULT_SUCCEEDED(init->QueryInterface(IID_IContextMenu, menu.putVoid()));
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 0x7000, L"Open");
    EXPECT_EQ(HRESULT_CODE(menu->QueryContextMenu(popup, 1, 1, 0x6FFF, CMF_NORMAL)), 1);
    wchar_t text[64] = {};
    GetMenuStringW(popup, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Add to \"notes.7z\"");
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    DestroyMenu(popup);
}

// Windows 11's menu asks the same object for a command with a submenu; there the static verbs
// are not beside it, so every item shows.
TEST_F(MenuHandler, TheExplorerCommandOffersTheSameItemsForItsSelection) {
    WriteFileBytes(work_ / L"notes.txt", "notes");
    ComPtr<IExplorerCommand> command;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(kHandlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IExplorerCommand, command.putVoid()));
    EXPCMDFLAGS flags = 0;
    EXPECT_HRESULT_SUCCEEDED(command->GetFlags(&flags));
    EXPECT_EQ(flags, static_cast<EXPCMDFLAGS>(ECF_HASSUBCOMMANDS));
    IdList item;
    ASSERT_HRESULT_SUCCEEDED(SHParseDisplayName((work_ / L"notes.txt").c_str(), nullptr, &item.pidl, 0, nullptr));
    PCIDLIST_ABSOLUTE items[] = {item.pidl};
    ComPtr<IShellItemArray> selection;
    ASSERT_HRESULT_SUCCEEDED(SHCreateShellItemArrayFromIDLists(1, items, selection.put()));
    ComPtr<IEnumExplorerCommand> subCommands;
    ASSERT_HRESULT_SUCCEEDED(command->EnumSubCommands(subCommands.put()));
    std::vector<std::wstring> shown;
    for (ComPtr<IExplorerCommand> sub; subCommands->Next(1, sub.put(), nullptr) == S_OK;) {
        EXPCMDSTATE state = ECS_HIDDEN;
        LPWSTR title = nullptr;
        if (SUCCEEDED(sub->GetState(selection.get(), TRUE, &state)) && state == ECS_ENABLED &&
            SUCCEEDED(sub->GetTitle(selection.get(), &title)))
            shown.push_back(title);
        CoTaskMemFree(title);
    }
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Add to archive...", L"Add to \"notes.7z\"", L"Add to \"notes.zip\"",
                                                 L"Checksums"}));
}

TEST_F(MenuHandler, AddToSevenZipMakesOneArchiveOfTheSelection) {
    WriteFileBytes(work_ / L"docs\\a.txt", "first");
    WriteFileBytes(work_ / L"docs\\b.txt", "second");
    const Menu menu = MenuFor({work_ / L"docs\\a.txt", work_ / L"docs\\b.txt"});
    Invoke(menu, L"Add to \"docs.7z\"");
    const std::wstring archive = work_ / L"docs\\docs.7z";
    std::string listing;
    ASSERT_TRUE(WaitUntil([&] {
        listing = Run7z(L"l -slt " + Quote(archive)).output;
        return listing.find("Path = b.txt") != std::string::npos;
    }, kLongPatienceMs));
    EXPECT_NE(listing.find("Path = a.txt"), std::string::npos);
}

// Archives dragged with the right mouse button onto a folder: the drop handler's class, given the
// target folder and the dragged items as Explorer gives them.
TEST_F(MenuHandler, ARightDragOfArchivesOntoAFolderExtractsThereOrIntoFoldersNamedAfterThem) {
    WriteFileBytes(work_ / L"src\\one.txt", "first archive's");
    WriteFileBytes(work_ / L"src\\two.txt", "second archive's");
    ASSERT_EQ(Run7z(L"a a.zip one.txt", work_ / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a b.7z two.txt", work_ / L"src").exitCode, 0u);
    const std::wstring target = work_ / L"target";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    IdList folder;
    ASSERT_HRESULT_SUCCEEDED(SHParseDisplayName(target.c_str(), nullptr, &folder.pidl, 0, nullptr));
    const auto dropMenu = [&](const std::vector<std::wstring>& dragged, Menu& menu) {
        ComPtr<IShellExtInit> init;
        CoCreateInstance(kDropHandlerClass, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.putVoid());
        if (!init || FAILED(init->Initialize(folder.pidl, DataObjectOf(dragged).get(), nullptr))) return;
        init->QueryInterface(IID_IContextMenu, menu.handler.putVoid());
        HMENU popup = CreatePopupMenu();
        menu.handler->QueryContextMenu(popup, 0, 0, 0x7FFF, CMF_NORMAL);
        for (wchar_t text[MAX_PATH]; GetMenuStringW(popup, static_cast<UINT>(menu.texts.size()), text, MAX_PATH, MF_BYPOSITION);)
            menu.texts.push_back(text);
        DestroyMenu(popup);
    };
    Menu one, mixed, both;
    dropMenu({work_ / L"src\\a.zip"}, one);
    EXPECT_EQ(one.texts, (std::vector<std::wstring>{L"Extract here", L"Extract to a\\"}));
    dropMenu({work_ / L"src\\a.zip", work_ / L"src\\one.txt"}, mixed);
    EXPECT_FALSE(mixed.handler) << "not every item is an archive";
    dropMenu({work_ / L"src\\a.zip", work_ / L"src\\b.7z"}, both);
    ASSERT_EQ(both.texts, (std::vector<std::wstring>{L"Extract here", L"Extract to *\\"}));
    Invoke(both, L"Extract here");
    ASSERT_TRUE(WaitUntil([&] { return ListFilesRecursive(target).size() == 2; }, kLongPatienceMs));
    Invoke(both, L"Extract to *\\");
    const std::vector<std::wstring> made{L"a\\one.txt", L"b\\two.txt", L"one.txt", L"two.txt"};
    ASSERT_TRUE(WaitUntil([&] { return ListFilesRecursive(target) == made; }, kLongPatienceMs));
    EXPECT_EQ(ReadFileBytes(target + L"\\one.txt"), "first archive's");
    EXPECT_EQ(ReadFileBytes(target + L"\\a\\one.txt"), "first archive's");
    EXPECT_EQ(ReadFileBytes(target + L"\\b\\two.txt"), "second archive's");
}

}  // namespace
