#pragma once
// "Extract Here (Smart)": where an archive goes is decided from its listing, before anything is
// written. One item at the top (a file, or a folder with all that lies below it) goes beside the
// archive; several go into a new folder named after the archive. Pure decisions here; the run
// is in batch_extraction.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Collects the distinct names that items take at the archive's top as they are written to disk
// (compared as Windows compares names); an item that is never written (a ".." in its path)
// counts for nothing. Keeps at most two names: more make no difference to the decision.
class TopLevelNames {
public:
    void add(std::wstring_view itemPath);
    const std::vector<std::wstring>& names() const { return names_; }
    // An item without a path (a .gz holds one) is written under `name`.
    void addUnnamed(const std::wstring& name);

private:
    std::vector<std::wstring> names_;
    bool unnamed_ = false;
};

struct SmartPlace {
    std::wstring folder;     // where the items are written
    bool newFolder = false;  // a folder made for them, named after the archive
};

// Where the archive at `archivePath` (a full path) goes: beside it when its top holds one item
// whose name is free there (or nothing at all); else into the folder ExtractFolderName names,
// with " (2)", " (3)", ... while that name is taken. `exists` tells whether a file or folder of
// that path is there.
SmartPlace SmartDestination(const std::vector<std::wstring>& topNames, const std::wstring& archivePath,
                            const std::function<bool(const std::wstring&)>& exists);
