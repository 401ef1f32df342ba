#include "ops/smart_extraction.h"

#include <optional>

#include "base/paths.h"
#include "engine/extract_path.h"
#include "ops/entry_names.h"

void TopLevelNames::add(std::wstring_view itemPath) {
    if (names_.size() >= 2) return;
    const std::optional<std::wstring> written = safeRelativePath(itemPath);
    if (!written) return;
    if (written->empty()) {
        // The item is the destination itself (a folder entry "\"): nothing of its own.
        if (itemPath.empty()) unnamed_ = true;
        return;
    }
    const std::wstring top = written->substr(0, written->find(L'\\'));
    if (!NameTaken(top, names_)) names_.push_back(top);
}

void TopLevelNames::addUnnamed(const std::wstring& name) {
    if (!unnamed_ || name.empty()) return;
    unnamed_ = false;
    add(name);
}

SmartPlace SmartDestination(const std::vector<std::wstring>& topNames, const std::wstring& archivePath,
                            const std::function<bool(const std::wstring&)>& exists) {
    const std::wstring beside = FolderOf(archivePath);
    if (topNames.empty() || (topNames.size() == 1 && !exists(JoinPath(beside, topNames.front()))))
        return {beside, false};
    const std::wstring name = ExtractFolderName(FileNameOf(archivePath));
    std::wstring folder = JoinPath(beside, name);
    for (unsigned number = 2; exists(folder); ++number)
        folder = JoinPath(beside, name + L" (" + std::to_wstring(number) + L")");
    return {folder, true};
}
