#include "engine/password_request.h"

#include "engine/engine_events.h"

namespace {
constexpr uint32_t kPasswordBufferUnits = 256;
}

HRESULT answerPasswordRequest(ProgressCounters* progress, bool& passwordKnown, std::wstring& password, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        if (!passwordKnown) {
            wchar_t buffer[kPasswordBufferUnits] = {};
            if (OnEngineEvent(progress, kEnginePasswordRequest, buffer, kPasswordBufferUnits) != 0) return E_ABORT;
            buffer[kPasswordBufferUnits - 1] = L'\0';
            password = buffer;
            passwordKnown = true;
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (password.size() > 0x3FFFFFFF) return E_OUTOFMEMORY;
    *out = SysAllocStringLen(password.data(), static_cast<UINT>(password.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
