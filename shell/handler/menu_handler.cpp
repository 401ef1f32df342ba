#include "shell/handler/menu_handler.h"

#include <cstring>
#include <new>

#include "shell/handler/handler_actions.h"
#include "shell/handler_registration.h"

HRESULT ShellString(const std::wstring& text, LPWSTR* out) {
    if (!out) return E_POINTER;
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*out) return E_OUTOFMEMORY;
    std::memcpy(*out, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return S_OK;
}

STDMETHODIMP MenuHandler::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IShellExtInit)
        *object = static_cast<IShellExtInit*>(this);
    else if (iid == IID_IContextMenu)
        *object = static_cast<IContextMenu*>(this);
    else if (iid == IID_IExplorerCommand)
        *object = static_cast<IExplorerCommand*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) MenuHandler::Release() {
    const ULONG left = count_.release();
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP MenuHandler::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY) {
    selection_ = SelectionFromDataObject(data);
    entries_.clear();
    if (dropTarget_) {
        // A drop target that is no folder on a disk (a printer, a phone) gets nothing.
        wchar_t path[MAX_PATH] = {};
        if (folder && SHGetPathFromIDListW(folder, path)) entries_ = DropEntriesFor(selection_, path);
        return entries_.empty() ? E_INVALIDARG : S_OK;
    }
    return selection_.empty() ? E_INVALIDARG : S_OK;
}

STDMETHODIMP MenuHandler::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    if (flags & CMF_DEFAULTONLY) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    if (!dropTarget_) entries_ = EntriesFor(selection_, true);
    if (entries_.empty() || lastId < firstId || lastId - firstId + 1 < entries_.size())
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    const bool cascaded = !dropTarget_ && LoadIntegrationChoices().cascaded;
    HMENU target = cascaded ? CreatePopupMenu() : menu;
    if (!target) return E_OUTOFMEMORY;
    UINT position = cascaded ? 0 : index;
    for (size_t i = 0; i < entries_.size(); ++i) {
        MENUITEMINFOW item{sizeof(item)};
        item.fMask = MIIM_ID | MIIM_STRING;
        item.wID = firstId + static_cast<UINT>(i);
        item.dwTypeData = const_cast<wchar_t*>(entries_[i].text.c_str());
        InsertMenuItemW(target, position++, TRUE, &item);
    }
    if (cascaded) {
        if (!bitmap_) bitmap_.reset(MakeMenuBitmap());
        MENUITEMINFOW item{sizeof(item)};
        item.fMask = MIIM_SUBMENU | MIIM_STRING | (bitmap_ ? MIIM_BITMAP : 0);
        item.hSubMenu = target;
        item.dwTypeData = const_cast<wchar_t*>(kHandlerName);
        item.hbmpItem = static_cast<HBITMAP>(bitmap_.get());
        if (!InsertMenuItemW(menu, index, TRUE, &item)) {
            DestroyMenu(target);
            return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
        }
    }
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, static_cast<USHORT>(entries_.size()));
}

const MenuEntry* MenuHandler::EntryOf(CMINVOKECOMMANDINFO* info) {
    if (IS_INTRESOURCE(info->lpVerb)) {
        const size_t offset = LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb));
        return offset < entries_.size() ? &entries_[offset] : nullptr;
    }
    std::wstring verb;
    const auto* extended = reinterpret_cast<CMINVOKECOMMANDINFOEX*>(info);
    if (info->cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info->fMask & CMIC_MASK_UNICODE) && extended->lpVerbW) {
        verb = extended->lpVerbW;
    } else {
        for (const char* c = info->lpVerb; *c; ++c) verb += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    // A verb by name may come without QueryContextMenu before it.
    if (entries_.empty() && !dropTarget_) entries_ = EntriesFor(selection_, false);
    for (const MenuEntry& entry : entries_)
        if (lstrcmpiW(entry.verb.c_str(), verb.c_str()) == 0) return &entry;
    return nullptr;
}

STDMETHODIMP MenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info) return E_INVALIDARG;
    const MenuEntry* entry = EntryOf(info);
    if (!entry) return E_FAIL;
    return StartProgramFor(*entry, selection_, info->hwnd, (info->fMask & CMIC_MASK_FLAG_NO_UI) != 0);
}

STDMETHODIMP MenuHandler::GetCommandString(UINT_PTR id, UINT type, UINT*, CHAR* name, UINT size) {
    if (id >= entries_.size()) return E_INVALIDARG;
    const MenuEntry& entry = entries_[id];
    switch (type) {
        case GCS_VALIDATEW:
        case GCS_VALIDATEA:
            return S_OK;
        case GCS_VERBW:
        case GCS_HELPTEXTW: {
            const std::wstring& text = type == GCS_VERBW ? entry.verb : entry.text;
            if (!name || size == 0) return E_INVALIDARG;
            lstrcpynW(reinterpret_cast<wchar_t*>(name), text.c_str(), static_cast<int>(size));
            return S_OK;
        }
        case GCS_VERBA: {
            if (!name || size == 0) return E_INVALIDARG;
            const std::wstring& verb = entry.verb;  // plain ASCII
            UINT i = 0;
            for (; i + 1 < size && i < verb.size(); ++i) name[i] = static_cast<char>(verb[i]);
            name[i] = 0;
            return S_OK;
        }
        default:
            return E_NOTIMPL;
    }
}

STDMETHODIMP MenuHandler::GetTitle(IShellItemArray*, LPWSTR* name) { return ShellString(kHandlerName, name); }

STDMETHODIMP MenuHandler::GetIcon(IShellItemArray*, LPWSTR* icon) {
    return ShellString(ProgramBesideHandler() + L",0", icon);
}

STDMETHODIMP MenuHandler::GetToolTip(IShellItemArray*, LPWSTR* tip) {
    if (tip) *tip = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MenuHandler::GetCanonicalName(GUID* name) {
    if (!name) return E_POINTER;
    *name = kHandlerClass;
    return S_OK;
}

STDMETHODIMP MenuHandler::GetState(IShellItemArray* items, BOOL, EXPCMDSTATE* state) {
    if (!state) return E_POINTER;
    *state = EntriesFor(SelectionFromItemArray(items), false).empty() ? ECS_HIDDEN : ECS_ENABLED;
    return S_OK;
}

STDMETHODIMP MenuHandler::Invoke(IShellItemArray*, IBindCtx*) { return E_NOTIMPL; }

STDMETHODIMP MenuHandler::GetFlags(EXPCMDFLAGS* flags) {
    if (!flags) return E_POINTER;
    *flags = ECF_HASSUBCOMMANDS;
    return S_OK;
}

STDMETHODIMP MenuHandler::EnumSubCommands(IEnumExplorerCommand** commands) { return MakeSubCommandEnumerator(commands); }
