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
