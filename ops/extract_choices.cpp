#include "ops/extract_choices.h"

#include <windows.h>

#include <set>

#include "base/paths.h"
#include "engine/archive_kind.h"
#include "engine/archive_listing.h"
#include "engine/extract_path.h"
#include "engine/item_names.h"
#include "ops/entry_names.h"

namespace {

std::wstring FirstComponent(std::wstring_view path) {
    while (!path.empty() && (path.front() == L'\\' || path.front() == L'/')) path.remove_prefix(1);
    return std::wstring(path.substr(0, path.find_first_of(L"\\/")));
}

std::wstring PathKey(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return caseBlindKey(path);
}

// Collects, from a listing, what LandingTopCount needs; only the top names are kept.
class TopNamesSink final : public ListingSink {
public:
    explicit TopNamesSink(PathMode paths) : paths_(paths) {}
    void begin(uint32_t) override {}
    void add(const ListedItem& item) override {
        const bool folder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (paths_ == PathMode::None) {
            if (!folder) ++files_;
            return;
        }
        const std::wstring first = FirstComponent(item.path);
        if (!first.empty() && names_.size() < 2) names_.insert(caseBlindKey(first));
    }
    size_t count() const { return paths_ == PathMode::None ? (files_ < 2 ? files_ : 2) : names_.size(); }

private:
    PathMode paths_;
    size_t files_ = 0;
    std::set<std::wstring> names_;
};

}  // namespace

size_t LandingTopCount(const std::vector<std::wstring>& items, const std::vector<bool>& folders, PathMode paths,
                       std::wstring_view base) {
    std::set<std::wstring> names;
    size_t files = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const bool folder = i < folders.size() && folders[i];
        if (paths == PathMode::None) {
            // A folder's files land one by one: it may well hold several.
            files += folder ? 2 : 1;
            continue;
        }
        std::wstring_view path = items[i];
        if (paths == PathMode::Relative)
            if (const auto below = pathBelow(path, base)) path = *below;
        const std::wstring first = FirstComponent(path);
        if (!first.empty()) names.insert(caseBlindKey(first));
    }
    const size_t count = paths == PathMode::None ? files : names.size();
    return count < 2 ? count : 2;
}

std::wstring FreeFolderFor(const std::wstring& destination, const std::wstring& archiveFileName) {
    const std::wstring name = ExtractFolderName(archiveFileName);
    std::wstring candidate = JoinPath(destination, name);
    for (unsigned number = 2; GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES && number < 10000;
         ++number)
        candidate = JoinPath(destination, name + L" (" + std::to_wstring(number) + L")");
    return candidate;
}

std::vector<std::wstring> RememberDestination(const std::vector<std::wstring>& earlier, const std::wstring& used) {
    std::vector<std::wstring> list;
    if (!used.empty()) list.push_back(used);
    const std::wstring usedKey = PathKey(used);
    for (const std::wstring& path : earlier) {
        if (list.size() >= kRememberedDestinations) break;
        if (path.empty() || PathKey(path) == usedKey) continue;
        bool seen = false;
        for (const std::wstring& kept : list) seen = seen || PathKey(kept) == PathKey(path);
        if (!seen) list.push_back(path);
    }
    return list;
}

size_t ArchiveLandingTopCount(const std::wstring& archivePath, PathMode paths, std::wstring& password) {
    TopNamesSink sink(paths);
    ListingRun run;
    run.password = password;
    if (listArchive(archivePath, archiveKindOf(archivePath), run, sink) != 0) return 0;
    password = run.password;
    return sink.count();
}
