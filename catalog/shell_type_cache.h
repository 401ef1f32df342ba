#pragma once
// Shell icons and type names shared by all rows of the same file type, so that a folder
// of 100,000 files costs one icon per type rather than one per row.
#include <windows.h>

#include <string>
#include <string_view>
#include <unordered_map>

class ShellTypeCache {
public:
    struct Entry {
        HICON icon = nullptr;
        std::wstring typeName;
    };

    ShellTypeCache() = default;
    ~ShellTypeCache();
    ShellTypeCache(const ShellTypeCache&) = delete;
    ShellTypeCache& operator=(const ShellTypeCache&) = delete;

    // The folder icon (and "Folder" as type).
    const Entry& folder();
    // Icon and type name for a file of this name (keyed by its extension).
    const Entry& forFileName(std::wstring_view fileName);
    // Destroys every icon.
    void clear();
    size_t size() const { return byExtension_.size(); }

private:
    // The entry of a lower-cased extension, asked of the shell the first time.
    const Entry& entryFor(std::wstring key);

    Entry folder_;
    bool haveFolder_ = false;
    std::unordered_map<std::wstring, Entry> byExtension_;
    // The extension asked for last, as written, and its entry: rows of one folder mostly share it.
    std::wstring lastExtension_;
    const Entry* lastEntry_ = nullptr;
};
