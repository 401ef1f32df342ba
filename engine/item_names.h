#pragma once
// Names of the items one extraction writes. Windows takes two names for the same file when they
// differ only in case, so items such as "Dup.txt" and "DUP.TXT" (or "x.txt." and "x.txt ",
// which both map to "x.txt_") would land on one file, and the later would destroy the earlier.
// Every file of an extraction gets a name that no other item of it uses; folders of the same
// name are the same folder and are shared.
#include <string>
#include <unordered_set>

class ItemNames {
public:
    // The relative path a file item is written to: `relative` itself when no item of this
    // extraction uses that name yet, else the first free "name (2).ext", "name (3).ext", ...
    // in the same folder. The folders above it are taken as folders.
    std::wstring claimFile(const std::wstring& relative);
    // Takes the path and the folders above it as folders.
    void claimFolder(const std::wstring& relative);
    // Takes `relative` as a file when no item of this extraction uses it yet; false otherwise.
    bool tryClaimFile(const std::wstring& relative);

private:
    bool isFree(const std::wstring& relative) const;
    void claimParents(const std::wstring& relative);
    std::unordered_set<std::wstring> used_;  // files and folders, in Windows' case-blind form
};

// "name (n).ext" for the last component of `relative`; a name whose only dot is its first
// character (".profile") has no extension.
std::wstring numberedName(const std::wstring& relative, unsigned number);

// The form in which Windows compares names: every character in upper case.
std::wstring caseBlindKey(const std::wstring& text);

// True when every component of `relative` below `folder` (which ends in a backslash) is the
// disk's own name of what stands there, compared as Windows compares names. False when the path
// reaches an existing file or folder through another one's 8.3 alias ("LONGFI~1.TXT" for
// "longfilename.txt"), or when the disk does not tell.
bool diskNamesMatch(const std::wstring& folder, const std::wstring& relative);
