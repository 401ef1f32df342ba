#include "app/command_line_add.h"

#include <windows.h>

#include "app/command_line_paths.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "ops/archive_operations.h"
#include "ops/creation_options.h"
#include "ops/entry_names.h"
#include "ui/app_globals.h"
#include "ui/archive_naming.h"
#include "ui/creation_memory.h"
#include "ui/user_messages.h"

namespace {

bool IsFolderPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring DriveLabel(const std::wstring& path) {
    wchar_t volume[MAX_PATH + 1] = {};
    const std::wstring root = path.substr(0, 2) + L"\\";
    return GetVolumeInformationW(root.c_str(), volume, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) ? volume
                                                                                                          : L"";
}

// The choices of the add: the format asked for, at the level last chosen in the dialog; the
// method and solid mode too when the dialog last made an archive of this format.
CreationOptions QuickChoices(const std::wstring& format) {
    const CreationOptions remembered = LoadCreationChoices();
    CreationOptions options;
    options.format = format;
    options.level = remembered.level;
    if (remembered.format == format) {
        options.method = remembered.method;
        options.solid = remembered.solid;
    }
    return options;
}

// Two of the items whose names are one: the archive's top would hold both under that name, the
// later replacing the earlier. Empty when every name is its own.
std::vector<std::wstring> ItemsOfOneName(const std::vector<std::wstring>& paths) {
    for (size_t first = 0; first < paths.size(); ++first)
        for (size_t second = first + 1; second < paths.size(); ++second)
            if (SameName(FileNameOf(WithoutTrailingSeparator(paths[first])),
                         FileNameOf(WithoutTrailingSeparator(paths[second]))))
                return {paths[first], paths[second]};
    return {};
}

std::wstring OneNameMessage(const std::wstring& archive, const std::vector<std::wstring>& items) {
    return L"Could not add to " + FileNameOf(archive) + L"\n" + items[0] + L" and " + items[1] +
           L" would take one name in the archive. Nothing was added.";
}

// "Could not add <text>" when the command line names no item.
std::wstring NothingNamedMessage(const std::wstring& text) {
    return L"Could not add " + text + L"\nNo file or folder was named.";
}

}  // namespace

int RunQuickAdd(const CommandLineRequest& request) {
    HWND owner = g_app.OwnerWindow.load();
    if (!owner) owner = GetActiveWindow();
    if (request.paths.empty()) {
        TellUser({NothingNamedMessage(request.pathText), MessageKind::Error}, owner);
        return 1;
    }
    std::vector<std::wstring> paths;
    for (const std::wstring& path : request.paths) paths.push_back(FullPathOf(path));
    const std::wstring format = request.verb == ShellVerbOption::AddTo7z ? L"7z" : L"zip";
    const std::wstring archive = QuickArchiveName(paths, format, IsFolderPath, DriveLabel(paths.front()));
    // Without a dialog nobody would see that one of them is left out: nothing is added.
    if (const std::vector<std::wstring> clash = ItemsOfOneName(paths); !clash.empty()) {
        TellUser({OneNameMessage(archive, clash), MessageKind::Error}, owner);
        return 1;
    }
    ItemCatalog catalog;
    const OperationOutcome outcome = AddFilesToArchive(catalog, archive, paths, L"", QuickChoices(format));
    for (const std::wstring& message : outcome.messages)
        TellUser({message, outcome.done() ? MessageKind::Information : MessageKind::Error}, owner);
    return outcome.result == OperationResult::Failed || outcome.result == OperationResult::Unsupported ? 1 : 0;
}
