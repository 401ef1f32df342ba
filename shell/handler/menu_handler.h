#pragma once
// The object Explorer makes of the handler's class: the classic context menu (IShellExtInit,
// IContextMenu) and the Windows 11 menu's command (IExplorerCommand, its submenu made of
// ExplorerSubCommand objects). Made for the right-drag handler's class, it is the menu shown at a
// drop instead: "Extract here" and "Extract to <name>\" into the folder the archives were dropped on.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "base/handles.h"
#include "shell/context_menu_model.h"
#include "shell/handler/handler_module.h"

class MenuHandler final : public IShellExtInit, public IContextMenu, public IExplorerCommand {
public:
    explicit MenuHandler(bool dropTarget = false) : dropTarget_(dropTarget) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return count_.add(); }
    STDMETHODIMP_(ULONG) Release() override;

    // IShellExtInit: `folder` is the drop target for the right-drag handler (null otherwise).
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progIdKey) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* name, UINT size) override;

    // IExplorerCommand: the "Tolvane Extractor" item that holds the submenu.
    STDMETHODIMP GetTitle(IShellItemArray* items, LPWSTR* name) override;
    STDMETHODIMP GetIcon(IShellItemArray* items, LPWSTR* icon) override;
    STDMETHODIMP GetToolTip(IShellItemArray* items, LPWSTR* tip) override;
    STDMETHODIMP GetCanonicalName(GUID* name) override;
    STDMETHODIMP GetState(IShellItemArray* items, BOOL slowOk, EXPCMDSTATE* state) override;
    STDMETHODIMP Invoke(IShellItemArray* items, IBindCtx* context) override;
    STDMETHODIMP GetFlags(EXPCMDFLAGS* flags) override;
    STDMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override;

private:
    ~MenuHandler() = default;
    // The entry of a command offset or a verb name; null when neither names one.
    const MenuEntry* EntryOf(CMINVOKECOMMANDINFO* info);

    ObjectCount count_;
    const bool dropTarget_;
    std::vector<SelectedItem> selection_;
    std::vector<MenuEntry> entries_;  // as QueryContextMenu put them, by command offset
    UniqueGdiObject bitmap_;
};

// A copy of `text` the caller frees with CoTaskMemFree (the shell's strings out).
HRESULT ShellString(const std::wstring& text, LPWSTR* out);
// The Windows 11 menu's sub-commands, one per item the menu can show.
HRESULT MakeSubCommandEnumerator(IEnumExplorerCommand** commands);
