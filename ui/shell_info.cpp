#include "ui/shell_info.h"

#include <shellapi.h>
#include <shlobj.h>

namespace {

// SHGFI_EXETYPE is left out on purpose: combined with other flags the shell answers the
// program type only and fills neither icon nor names.
constexpr UINT kInfoFlags = SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES;

ShellItemInfo FromFileInfo(const SHFILEINFOW& info, bool ok) {
    ShellItemInfo result;
    if (!ok) return result;
    result.icon = info.hIcon;
    result.displayName.assign(info.szDisplayName, wcsnlen(info.szDisplayName, MAX_PATH));
    result.typeName.assign(info.szTypeName, wcsnlen(info.szTypeName, 80));
    return result;
}

}  // namespace

ShellItemInfo QueryShellInfo(const std::wstring& path, DWORD attributes, bool useAttributes, bool wantIcon) {
    SHFILEINFOW info{};
    UINT flags = kInfoFlags | (useAttributes ? SHGFI_USEFILEATTRIBUTES : 0);
    if (wantIcon) flags |= SHGFI_ICON | SHGFI_SMALLICON;
    const DWORD_PTR ok = SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags);
    return FromFileInfo(info, ok != 0);
}

ShellItemInfo QueryShellInfo(const void* itemIdList, bool wantIcon) {
    SHFILEINFOW info{};
    const DWORD_PTR ok = SHGetFileInfoW(static_cast<LPCWSTR>(itemIdList), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                        kInfoFlags | SHGFI_PIDL | (wantIcon ? SHGFI_ICON | SHGFI_SMALLICON : 0));
    return FromFileInfo(info, ok != 0);
}

bool HasOwnIcon(const std::wstring& fileName) {
    const size_t dot = fileName.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring ext = fileName.substr(dot);
    for (const wchar_t* own : {L".exe", L".ico", L".lnk", L".cur", L".ani", L".url", L".scr"})
        if (lstrcmpiW(ext.c_str(), own) == 0) return true;
    return false;
}
