#pragma once
// Shell icons and type names shared by all rows of the same file type, so that a folder
// of 100,000 files costs one icon per type rather than one per row.
#include <windows.h>

#include <string>
#include <string_view>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/format_table.h"

// Archives whose type the shell cannot tell because it looks at the last extension only: a tar
// inside a stream format ("x.tar.gz") and the numbered parts of a split archive ("x.7z.001").
struct CompoundArchiveType {
    std::wstring key;       // shared by every name of the type: ".tar.gz", ".7z.part"
    std::wstring typeName;  // "TAR.GZ Archive", "7Z Archive (part)"
};
// The type of such a name when `formats` read it; nothing for any other name.
std::optional<CompoundArchiveType> compoundArchiveType(std::wstring_view fileName,
                                                       const std::vector<EngineFormat>& formats);

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
    // The program's own icon, for the archive types the shell does not know.
    HICON programIcon();

    // The extension asked for last, as written, and its entry: rows of one folder mostly share it.
    // Names with a second extension before it ("x.tar.gz") are looked up by their full key.
    std::wstring lastExtension_;
    const Entry* lastEntry_ = nullptr;
    HICON programIcon_ = nullptr;
    bool programIconAsked_ = false;
};
