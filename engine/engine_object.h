#pragma once
// What every object the program hands to the engine shares: a plain reference count (each
// object is used by one thread at a time), allocation that reports failure by throwing
// CNewException, and the conversion of system errors to HRESULT codes.
#include <windows.h>

#include <new>
#include <utility>

// Thrown when memory for an engine-facing object or text cannot be had. Caught at the edge of
// the engine client (the operation then fails), never allowed into the engine's own code.
class CNewException {};

class CMyUnknownImp {
protected:
    ULONG referenceCount_ = 0;
};

// Allocates an engine-facing object; throws CNewException when memory runs out.
template <typename T, typename... Args>
T* NewEngineObject(Args&&... args) {
    T* object = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!object) throw CNewException();
    return object;
}

// The calling thread's last system error as an HRESULT: the code's low 16 bits with
// 0x80070000; codes of zero or below as they are, E_FAIL when the system reports none.
inline HRESULT HResultFromLastError() {
    const DWORD code = GetLastError();
    if (code == 0) return E_FAIL;
    if (static_cast<LONG>(code) <= 0) return static_cast<HRESULT>(code);
    return static_cast<HRESULT>((code & 0xFFFF) | 0x80070000u);
}

// AddRef and Release for a class derived from CMyUnknownImp: the object frees itself when the
// last reference goes.
#define ENGINE_OBJECT_REFCOUNT                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override { return ++referenceCount_; }   \
    ULONG STDMETHODCALLTYPE Release() override {                              \
        if (--referenceCount_ != 0) return referenceCount_;                   \
        delete this;                                                          \
        return 0;                                                             \
    }
