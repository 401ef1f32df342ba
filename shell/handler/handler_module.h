#pragma once
// The DLL's own state: its module handle and the count of live objects and server locks that
// DllCanUnloadNow reads.
#include <windows.h>

#include <atomic>

HMODULE HandlerModule();
void CountObject(int delta);
void CountLock(int delta);

// A COM object's reference count, and the module's count of live objects while it lives.
class ObjectCount {
public:
    ObjectCount() { CountObject(1); }
    ~ObjectCount() { CountObject(-1); }
    ObjectCount(const ObjectCount&) = delete;
    ObjectCount& operator=(const ObjectCount&) = delete;
    ULONG add() { return ++references_; }
    ULONG release() { return --references_; }

private:
    std::atomic<ULONG> references_{1};
};

// A COM object of one interface: its QueryInterface, its reference count and the module's count.
template <typename Interface>
class SingleInterfaceObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != interfaceId_) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return count_.add(); }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = count_.release();
        if (left == 0) delete this;
        return left;
    }

protected:
    explicit SingleInterfaceObject(const IID& interfaceId) : interfaceId_(interfaceId) {}
    virtual ~SingleInterfaceObject() = default;

private:
    ObjectCount count_;
    const IID& interfaceId_;
};
