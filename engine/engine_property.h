#pragma once
// One property value read from the engine, cleared when it goes out of scope.
#include <windows.h>
#include <oleauto.h>
#include <propidl.h>

class EngineProperty {
public:
    EngineProperty() { PropVariantInit(&value_); }
    ~EngineProperty() { clear(); }
    EngineProperty(const EngineProperty&) = delete;
    EngineProperty& operator=(const EngineProperty&) = delete;

    // The place the engine writes into; cleared first.
    PROPVARIANT* put() {
        clear();
        return &value_;
    }
    const PROPVARIANT& get() const { return value_; }
    VARTYPE type() const { return value_.vt; }

    void clear() {
        switch (value_.vt) {
        case VT_EMPTY:
        case VT_BOOL:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_FILETIME:
            break;  // nothing owned: the common case, kept off the general clearing routine
        case VT_BSTR:
            SysFreeString(value_.bstrVal);
            break;
        default:
            PropVariantClear(&value_);
            break;
        }
        PropVariantInit(&value_);
    }

private:
    PROPVARIANT value_;
};
