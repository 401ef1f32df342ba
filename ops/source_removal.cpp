#include "ops/source_removal.h"

#include <windows.h>

#include <unordered_map>

#include "base/handles.h"
#include "base/paths.h"
#include "ops/temp_workspace.h"

namespace {

// Archive times are as fine as two seconds (zip) or one (tar).
constexpr uint64_t kTimeSlack = 2 * 10000000ull + 1;

std::wstring Folded(const std::wstring& text) {
    std::wstring folded = text;
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

class Remover {
public:
    Remover(const std::vector<ArchiveItem>& items, bool singleFile) : singleFile_(singleFile) {
        for (const ArchiveItem& item : items)
            if (!(item.attributes & FILE_ATTRIBUTE_DIRECTORY)) held_[Folded(item.path)] = &item;
        if (singleFile && items.size() == 1) only_ = &items.front();
    }

    void Path(const std::wstring& diskPath, const std::wstring& entry) {
        const std::wstring extended = ExtendedPath(diskPath);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(extended.c_str(), GetFileExInfoStandard, &data)) return;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            ++result.kept;  // a link: what it points to is not ours to delete
            return;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Folder(diskPath, entry);
            return;
        }
        const ArchiveItem* item = only_;
        if (!singleFile_) {
            const auto found = held_.find(Folded(entry));
            item = found == held_.end() ? nullptr : found->second;
        }
        const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const uint64_t written =
            (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        const bool same = item && item->size == std::to_wstring(size) &&
                          (item->modified == 0 || (item->modified > written ? item->modified - written
                                                                            : written - item->modified) < kTimeSlack);
        // Read-only files are the user's to delete.
        if (same && !(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && DeleteFileW(extended.c_str()))
            ++result.removed;
        else
            ++result.kept;
    }

    SourceRemoval result;

private:
    void Folder(const std::wstring& folder, const std::wstring& entry) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW(JoinPath(ExtendedPath(folder), L"*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") names.push_back(name);
            } while (FindNextFileW(find.get(), &data));
        }
        find.reset();
        for (const std::wstring& name : names) Path(JoinPath(folder, name), entry + L"\\" + name);
        RemoveDirectoryW(ExtendedPath(folder).c_str());  // only when empty
    }

    std::unordered_map<std::wstring, const ArchiveItem*> held_;
    const ArchiveItem* only_ = nullptr;
    bool singleFile_;
};

}  // namespace

SourceRemoval RemoveAddedSources(const std::vector<std::wstring>& paths, const std::vector<ArchiveItem>& items,
                                 bool singleFile) {
    Remover remover(items, singleFile);
    for (const std::wstring& path : paths) {
        const std::wstring clean = WithoutTrailingSeparator(path);
        remover.Path(clean, FileNameOf(clean));
    }
    return remover.result;
}
