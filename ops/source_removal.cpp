#include "ops/source_removal.h"

#include <windows.h>

#include <algorithm>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "engine/item_names.h"

namespace {

constexpr size_t kKeptNamed = 8;

const wchar_t* ReasonText(KeptReason reason) {
    switch (reason) {
    case KeptReason::NotHeld: return L"the archive does not hold it as it is now";
    case KeptReason::ReadOnly: return L"it is read-only";
    case KeptReason::Link: return L"it is a link";
    case KeptReason::InUse: return L"another program is using it";
    }
    return L"";
}

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

class Remover {
public:
    Remover(const HeldDigests& digests, FileDigests& hasher) : digests_(digests), hasher_(hasher) {}

    void Path(const std::wstring& diskPath, const std::wstring& entry) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(ExtendedPath(diskPath).c_str(), GetFileExInfoStandard, &data)) return;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Keep(diskPath, KeptReason::Link);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Folder(diskPath, entry);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Keep(diskPath, KeptReason::ReadOnly);
        File(diskPath, entry);
    }

    SourceRemoval result;

private:
    void Keep(const std::wstring& path, KeptReason reason) {
        ++result.keptCount;
        if (result.kept.size() < kKeptNamed) result.kept.push_back({path, reason});
    }

    bool Held(const std::wstring& entry, const std::wstring& digest) const {
        if (digest.empty()) return false;
        const std::vector<std::wstring>* held = &digests_.anyEntry;
        if (held->empty()) {
            const auto found = digests_.byEntry.find(caseBlindKey(entry));
            if (found == digests_.byEntry.end()) return false;
            held = &found->second;
        }
        return std::find(held->begin(), held->end(), digest) != held->end();
    }

    // The file is read and deleted through one handle that lets nobody else write, rename or
    // delete it in between: the bytes compared are the bytes that go.
    void File(const std::wstring& diskPath, const std::wstring& entry) {
        UniqueHandle file(CreateFileW(ExtendedPath(diskPath).c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            if (!Missing(GetLastError())) Keep(diskPath, KeptReason::InUse);
            return;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(file.get(), &info)) return Keep(diskPath, KeptReason::InUse);
        // What was looked at before opening may have been replaced since.
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Keep(diskPath, KeptReason::Link);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Keep(diskPath, KeptReason::ReadOnly);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Keep(diskPath, KeptReason::NotHeld);
        if (!Held(entry, hasher_.of(file.get()))) return Keep(diskPath, KeptReason::NotHeld);
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition)))
            return Keep(diskPath, KeptReason::InUse);
        ++result.removed;
    }

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

    const HeldDigests& digests_;
    FileDigests& hasher_;
};

}  // namespace

HeldDigests HeldDigestsOf(const std::vector<ChecksumResult>& entries, bool singleFile) {
    HeldDigests held;
    for (const ChecksumResult& entry : entries) {
        if (entry.fault.any() || entry.checksums.empty()) continue;
        const std::wstring& digest = entry.checksums.front().value;
        if (singleFile) held.anyEntry.push_back(digest);
        else held.byEntry[caseBlindKey(entry.name)].push_back(digest);
    }
    return held;
}

SourceRemoval RemoveAddedSources(const std::vector<std::wstring>& paths, const HeldDigests& digests,
                                 FileDigests& hasher) {
    Remover remover(digests, hasher);
    for (const std::wstring& path : paths) {
        const std::wstring clean = WithoutTrailingSeparator(path);
        remover.Path(clean, FileNameOf(clean));
    }
    return remover.result;
}

std::wstring KeptSourcesNote(const SourceRemoval& removal) {
    if (removal.keptCount == 0) return {};
    std::wstring text = removal.keptCount == 1
                            ? std::wstring(L"1 file was kept on disk:")
                            : std::to_wstring(removal.keptCount) + L" files were kept on disk:";
    for (const KeptSource& kept : removal.kept) text += L"\n    " + kept.path + L"  -  " + ReasonText(kept.reason);
    if (removal.keptCount > removal.kept.size())
        text += L"\n    ... and " + std::to_wstring(removal.keptCount - removal.kept.size()) + L" more";
    return text;
}
