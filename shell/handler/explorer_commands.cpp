// The submenu of the Windows 11 menu: one command per item the menu can show. Explorer asks
// each for its title and state with the selection, so a command that does not apply to it
// (an archive item on a folder, an item the user took out of the menu) hides itself.
#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "shell/handler/handler_actions.h"
#include "shell/handler/menu_handler.h"

namespace {

constexpr MenuItemBit kSubCommandOrder[] = {kMenuOpen,      kMenuExtractFiles, kMenuExtractHere, kMenuExtractToFolder,
                                            kMenuExtractSmart, kMenuTest,     kMenuAddDialog,   kMenuAdd7z,
                                            kMenuAddZip,    kMenuChecksums};

class SubCommand final : public SingleInterfaceObject<IExplorerCommand> {
public:
    explicit SubCommand(MenuItemBit item) : SingleInterfaceObject(IID_IExplorerCommand), item_(item) {}


    STDMETHODIMP GetTitle(IShellItemArray* items, LPWSTR* name) override {
        const std::optional<MenuEntry> entry = EntryFor(items);
        return entry ? ShellString(entry->text, name) : E_FAIL;
    }
    STDMETHODIMP GetIcon(IShellItemArray*, LPWSTR* icon) override {
        if (icon) *icon = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetToolTip(IShellItemArray*, LPWSTR* tip) override {
        if (tip) *tip = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetCanonicalName(GUID* name) override {
        if (!name) return E_POINTER;
        *name = GUID_NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetState(IShellItemArray* items, BOOL, EXPCMDSTATE* state) override {
        if (!state) return E_POINTER;
        *state = EntryFor(items) ? ECS_ENABLED : ECS_HIDDEN;
        return S_OK;
    }
    STDMETHODIMP Invoke(IShellItemArray* items, IBindCtx*) override {
        const std::vector<SelectedItem> selection = SelectionFromItemArray(items);
        const std::optional<MenuEntry> entry = EntryIn(selection);
        return entry ? StartProgramFor(*entry, selection, nullptr, false) : E_FAIL;
    }
    STDMETHODIMP GetFlags(EXPCMDFLAGS* flags) override {
        if (!flags) return E_POINTER;
        *flags = ECF_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override {
        if (commands) *commands = nullptr;
        return E_NOTIMPL;
    }

private:
    std::optional<MenuEntry> EntryIn(const std::vector<SelectedItem>& selection) const {
        for (const MenuEntry& entry : EntriesFor(selection, false))
            if (entry.item == item_) return entry;
        return std::nullopt;
    }
    std::optional<MenuEntry> EntryFor(IShellItemArray* items) const { return EntryIn(SelectionFromItemArray(items)); }

    MenuItemBit item_;
};

class SubCommandEnumerator final : public SingleInterfaceObject<IEnumExplorerCommand> {
public:
    explicit SubCommandEnumerator(size_t next = 0) : SingleInterfaceObject(IID_IEnumExplorerCommand), next_(next) {}


    STDMETHODIMP Next(ULONG wanted, IExplorerCommand** commands, ULONG* fetched) override {
        if (!commands) return E_POINTER;
        ULONG given = 0;
        while (given < wanted && next_ < std::size(kSubCommandOrder)) {
            commands[given] = new (std::nothrow) SubCommand(kSubCommandOrder[next_]);
            if (!commands[given]) break;
            ++given;
            ++next_;
        }
        if (fetched) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        next_ = std::min<size_t>(std::size(kSubCommandOrder), next_ + count);
        return next_ < std::size(kSubCommandOrder) ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumExplorerCommand** copy) override {
        if (!copy) return E_POINTER;
        *copy = new (std::nothrow) SubCommandEnumerator(next_);
        return *copy ? S_OK : E_OUTOFMEMORY;
    }

private:
    size_t next_;
};

}  // namespace

HRESULT MakeSubCommandEnumerator(IEnumExplorerCommand** commands) {
    if (!commands) return E_POINTER;
    *commands = new (std::nothrow) SubCommandEnumerator();
    return *commands ? S_OK : E_OUTOFMEMORY;
}
