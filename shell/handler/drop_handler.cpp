#include "shell/handler/drop_handler.h"

#include "shell/handler/handler_actions.h"

STDMETHODIMP DropHandler::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IShellExtInit)
        *object = static_cast<IShellExtInit*>(this);
    else if (iid == IID_IContextMenu)
        *object = static_cast<IContextMenu*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DropHandler::Release() {
    const ULONG left = count_.release();
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP DropHandler::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY) {
    selection_.clear();
    entries_.clear();
    // A target that is no folder on a disk (a printer, a phone) gets nothing.
    wchar_t path[MAX_PATH] = {};
    if (!folder || !SHGetPathFromIDListW(folder, path) || !path[0]) return E_INVALIDARG;
    selection_ = SelectionFromDataObject(data);
    entries_ = DropEntriesFor(selection_, path);
    return entries_.empty() ? E_INVALIDARG : S_OK;
}

STDMETHODIMP DropHandler::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) || entries_.empty() || lastId < firstId || lastId - firstId + 1 < entries_.size())
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    UINT added = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        MENUITEMINFOW item{sizeof(item)};
        item.fMask = MIIM_ID | MIIM_STRING;
        item.wID = firstId + static_cast<UINT>(i);
        item.dwTypeData = const_cast<wchar_t*>(entries_[i].text.c_str());
        if (InsertMenuItemW(menu, index + added, TRUE, &item)) ++added;
    }
    // The offsets count up to the highest one used, inserted or not.
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, static_cast<USHORT>(entries_.size()));
}

STDMETHODIMP DropHandler::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info) return E_INVALIDARG;
    const MenuEntry* entry = nullptr;
    if (IS_INTRESOURCE(info->lpVerb)) {
        const size_t offset = LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb));
        if (offset < entries_.size()) entry = &entries_[offset];
    } else {
        for (const MenuEntry& candidate : entries_) {
            std::string verb(candidate.verb.begin(), candidate.verb.end());  // plain ASCII
            if (lstrcmpiA(verb.c_str(), info->lpVerb) == 0) entry = &candidate;
        }
    }
    if (!entry) return E_FAIL;
    return StartProgramFor(*entry, selection_, info->hwnd, (info->fMask & CMIC_MASK_FLAG_NO_UI) != 0);
}

STDMETHODIMP DropHandler::GetCommandString(UINT_PTR id, UINT type, UINT*, CHAR* name, UINT size) {
    if (id >= entries_.size()) return E_INVALIDARG;
    if (type == GCS_VALIDATEW || type == GCS_VALIDATEA) return S_OK;
    if (!name || size == 0) return E_INVALIDARG;
    const MenuEntry& entry = entries_[id];
    if (type == GCS_VERBW || type == GCS_HELPTEXTW) {
        lstrcpynW(reinterpret_cast<wchar_t*>(name), (type == GCS_VERBW ? entry.verb : entry.text).c_str(),
                  static_cast<int>(size));
        return S_OK;
    }
    if (type == GCS_VERBA) {
        UINT i = 0;
        for (; i + 1 < size && i < entry.verb.size(); ++i) name[i] = static_cast<char>(entry.verb[i]);
        name[i] = 0;
        return S_OK;
    }
    return E_NOTIMPL;
}
