#pragma once
// Shell queries for icons, display names and type names of file-system items.
#include <windows.h>

#include <string>

struct ShellItemInfo {
    HICON icon = nullptr;  // owned by the caller
    std::wstring displayName;
    std::wstring typeName;
};

// Small icon, display name and type name of an existing path (or of a name with the given
// attributes when `useAttributes` is set). Icon null and texts empty when the shell fails.
ShellItemInfo QueryShellInfo(const std::wstring& path, DWORD attributes, bool useAttributes, bool wantIcon);

// The same for a shell item identifier list (special folders without a file-system path).
ShellItemInfo QueryShellInfo(const void* itemIdList, bool wantIcon);

// Files whose icon is their own rather than their type's (programs, icons, shortcuts).
bool HasOwnIcon(const std::wstring& fileName);
