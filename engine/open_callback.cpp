#include "engine/open_callback.h"

#include "engine/engine_events.h"
#include "engine/password_request.h"

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICryptoGetTextPassword)
        *object = static_cast<ICryptoGetTextPassword*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// Opening reports no progress.
HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::SetTotal(const UINT64*, const UINT64*) { return S_OK; }
// Opening reports no progress, but a cancelled operation stops the engine here.
HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::SetCompleted(const UINT64*, const UINT64*) {
    if (OnEngineEvent(kEngineCompleted, nullptr, 0) == 0) return S_OK;
    stopped_ = true;
    return E_ABORT;
}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::CryptoGetTextPassword(BSTR* password) {
    passwordAsked_ = true;
    const HRESULT answer = answerPasswordRequest(passwordKnown_, password_, password);
    if (answer == E_ABORT) stopped_ = true;
    return answer;
}
