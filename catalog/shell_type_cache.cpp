#include "catalog/shell_type_cache.h"

#include <shellapi.h>

namespace {

// The extension of a file name, lower-cased: the shell decides icon and type by it alone
// (the query below does not touch the disk), so equal extensions give equal answers.
std::wstring_view ExtensionOf(std::wstring_view fileName) {
    const size_t dot = fileName.find_last_of(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : fileName.substr(dot);
}

std::wstring ExtensionKey(std::wstring_view extension) {
    std::wstring key(extension);
    if (!key.empty()) CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

}  // namespace

ShellTypeCache::~ShellTypeCache() { clear(); }

const ShellTypeCache::Entry& ShellTypeCache::folder() {
    if (!haveFolder_) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(L"..", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                           SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON))
            folder_.icon = info.hIcon;
        folder_.typeName = L"Folder";
        haveFolder_ = true;
    }
    return folder_;
}

const ShellTypeCache::Entry& ShellTypeCache::forFileName(std::wstring_view fileName) {
    const std::wstring_view extension = ExtensionOf(fileName);
    if (lastEntry_ && extension == lastExtension_) return *lastEntry_;
    lastExtension_.assign(extension);
    lastEntry_ = &entryFor(ExtensionKey(extension));
    return *lastEntry_;
}

const ShellTypeCache::Entry& ShellTypeCache::entryFor(std::wstring key) {
    auto found = byExtension_.find(key);
    if (found != byExtension_.end()) return found->second;

    // The shell is asked about a name of this extension only, never about the entry's own name.
    const std::wstring probe = L"file" + key;
    SHFILEINFOW info{};
    Entry entry;
    if (SHGetFileInfoW(probe.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON | SHGFI_ICON | SHGFI_TYPENAME)) {
        entry.icon = info.hIcon;
        info.szTypeName[(sizeof(info.szTypeName) / sizeof(info.szTypeName[0])) - 1] = L'\0';
        entry.typeName = info.szTypeName;
    }
    return byExtension_.emplace(std::move(key), std::move(entry)).first->second;
}

void ShellTypeCache::clear() {
    for (auto& [key, entry] : byExtension_)
        if (entry.icon) DestroyIcon(entry.icon);
    byExtension_.clear();
    lastEntry_ = nullptr;
    lastExtension_.clear();
    if (folder_.icon) DestroyIcon(folder_.icon);
    folder_ = Entry{};
    haveFolder_ = false;
}
