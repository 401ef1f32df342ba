// The DLL's entry points: the class factory of the menu handler and of the right-drag handler,
// the unload test, and the registration that regsvr32 runs (the classes and their entries, as the
// program's own start writes them).
#include <windows.h>

#include <atomic>
#include <new>

#include "base/paths.h"
#include "shell/handler/handler_module.h"
#include "shell/handler/menu_handler.h"
#include "shell/handler_registration.h"

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

// The factory of the menu handler's class, or of the right-drag handler's (`dropTarget`).
class ClassFactory final : public SingleInterfaceObject<IClassFactory> {
public:
    explicit ClassFactory(bool dropTarget) : SingleInterfaceObject(IID_IClassFactory), dropTarget_(dropTarget) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        MenuHandler* handler = new (std::nothrow) MenuHandler(dropTarget_);
        if (!handler) return E_OUTOFMEMORY;
        const HRESULT result = handler->QueryInterface(iid, object);
        handler->Release();  // the creation's own reference
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        CountLock(lock ? 1 : -1);
        return S_OK;
    }

private:
    const bool dropTarget_;
};

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

}  // namespace

HMODULE HandlerModule() { return g_module; }
void CountObject(int delta) { g_objects += delta; }
void CountLock(int delta) { g_locks += delta; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != kHandlerClass && clsid != kDropHandlerClass) return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(clsid == kDropHandlerClass);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllRegisterServer() {
    const std::wstring path = ModulePath();
    RegistrationScope scope = ScopeFor(InstallationKindOf(FolderOf(path)));
    if (scope == RegistrationScope::Machine && !CanWriteMachineClasses()) scope = RegistrationScope::User;
    RegisterMenuHandler(path, scope);
    return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    UnregisterMenuHandler();
    return S_OK;
}
