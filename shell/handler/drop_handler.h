#pragma once
// The object Explorer makes of the right-drag handler's class: archives dragged with the right
// mouse button onto a folder or a drive get "Extract here" and "Extract to <name>\" in the menu
// shown at the drop.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "shell/context_menu_model.h"
#include "shell/handler/handler_module.h"

class DropHandler final : public IShellExtInit, public IContextMenu {
public:
    DropHandler() = default;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return count_.add(); }
    STDMETHODIMP_(ULONG) Release() override;

    // IShellExtInit: `folder` is the drop target, `data` the dragged items.
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progIdKey) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* name, UINT size) override;

private:
    ~DropHandler() = default;

    ObjectCount count_;
    std::vector<SelectedItem> selection_;
    std::vector<MenuEntry> entries_;  // by command offset
};
