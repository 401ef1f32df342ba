#include "shell/context_menu_model.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "base/archive_file_names.h"
#include "base/paths.h"
#include "shell/archive_types_registration.h"

namespace {

bool EndsWithIgnoringCase(const std::wstring& text, const wchar_t* tail) {
    const size_t length = wcslen(tail);
    return text.size() > length && _wcsicmp(text.c_str() + text.size() - length, tail) == 0;
}

}  // namespace

bool IsArchiveFileName(const std::wstring& path) {
    const std::wstring name = FileNameOf(path);
    for (const AssociationRow& row : kAssociationRows)
        if (EndsWithIgnoringCase(name, row.extension)) return true;
    if (EndsWithIgnoringCase(name, kSevenZipAssociation.extension)) return true;
    for (const wchar_t* extension : kOpenWithExtensions)
        if (EndsWithIgnoringCase(name, extension)) return true;
    // The later parts of a split archive: ".002", ".r00", ...
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0 || name.size() - dot != 4) return false;
    return name.find_first_not_of(L"0123456789", dot + 1) == std::wstring::npos ||
           ((name[dot + 1] == L'r' || name[dot + 1] == L'R') &&
            name.find_first_not_of(L"0123456789", dot + 2) == std::wstring::npos);
}

namespace {

bool AllArchives(const std::vector<SelectedItem>& selection) {
    return !selection.empty() && std::all_of(selection.begin(), selection.end(), [](const SelectedItem& item) {
        return !item.isFolder && IsArchiveFileName(item.path);
    });
}

}  // namespace

std::vector<MenuEntry> DropEntriesFor(const std::vector<SelectedItem>& selection, const std::wstring& destination) {
    // A folder name cannot hold a quote: such a destination would not survive the command line.
    if (destination.empty() || destination.find(L'"') != std::wstring::npos || !AllArchives(selection)) return {};
    const std::wstring quoted = L" \"" + destination + L"\"";
    const std::wstring name = selection.size() == 1 ? ExtractFolderName(selection[0].path) : L"*";
    return {{kMenuExtractHere, L"Extract here", L"/d" + quoted, L"TolvaneDropExtractHere"},
            {kMenuExtractToFolder, L"Extract to " + name + L"\\", L"/g" + quoted, L"TolvaneDropExtractTo"}};
}

std::vector<MenuEntry> MenuEntriesFor(const std::vector<SelectedItem>& selection, uint32_t shown,
                                      uint32_t givenByStaticVerbs, const std::wstring& driveLabel) {
    std::vector<MenuEntry> entries;
    if (selection.empty()) return entries;
    const uint32_t wanted = shown & ~givenByStaticVerbs;
    const auto add = [&](MenuItemBit item, std::wstring text, const wchar_t* option, const wchar_t* verb) {
        if (wanted & item) entries.push_back({item, std::move(text), option, verb});
    };
    if (AllArchives(selection)) {
        if (selection.size() == 1) add(kMenuOpen, L"Open", L"", L"TolvaneOpen");
        add(kMenuExtractFiles, L"Extract files...", L"/x", L"TolvaneExtractFiles");
        add(kMenuExtractHere, L"Extract Here", L"/e", L"TolvaneExtractHere");
        // Several archives each go into a folder of their own name.
        const std::wstring folder = selection.size() == 1 ? ExtractFolderName(selection[0].path) : L"*";
        add(kMenuExtractToFolder, L"Extract to \"" + folder + L"\\\"", L"/f", L"TolvaneExtractToFolder");
        add(kMenuExtractSmart, L"Extract Here (Smart)", L"/s", L"TolvaneExtractSmart");
        add(kMenuTest, L"Test archive", L"/t", L"TolvaneTest");
    }
    std::vector<std::wstring> paths;
    for (const SelectedItem& item : selection) paths.push_back(item.path);
    const std::wstring stem = SelectionArchiveStem(paths, selection[0].isFolder, driveLabel);
    add(kMenuAddDialog, L"Add to archive...", L"/a", L"TolvaneAdd");
    add(kMenuAdd7z, L"Add to \"" + stem + L".7z\"", L"/7", L"TolvaneAdd7z");
    add(kMenuAddZip, L"Add to \"" + stem + L".zip\"", L"/z", L"TolvaneAddZip");
    const bool anyFile = std::any_of(selection.begin(), selection.end(),
                                     [](const SelectedItem& item) { return !item.isFolder; });
    if (anyFile) add(kMenuChecksums, L"Checksums", L"/h", L"TolvaneChecksums");
    return entries;
}

std::wstring ArgumentsFor(const std::wstring& option, const std::vector<std::wstring>& paths) {
    std::wstring arguments = option;
    for (const std::wstring& path : paths) {
        if (!arguments.empty()) arguments += L' ';
        arguments += L"\"" + path + L"\"";
    }
    return arguments;
}

std::wstring ListFileArguments(const std::wstring& option, const std::wstring& listFile) {
    return option + L" @\"" + listFile + L"\"";
}

std::string ListFileBytes(const std::vector<std::wstring>& paths) {
    std::wstring text(1, wchar_t(0xFEFF));
    for (const std::wstring& path : paths) text += path + L"\r\n";
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}
