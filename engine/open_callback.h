#pragma once
// The callback handed to the engine while it opens an archive: no progress, passwords on demand.
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"

#include <string>

class CArchiveOpenCallback final : public IArchiveOpenCallback,
                                   public ICryptoGetTextPassword,
                                   public CMyUnknownImp {
public:
    CArchiveOpenCallback() = default;
    virtual ~CArchiveOpenCallback() = default;
    CArchiveOpenCallback(const CArchiveOpenCallback&) = delete;
    CArchiveOpenCallback& operator=(const CArchiveOpenCallback&) = delete;

    // Starts with a password already known (not asked for again).
    void setPassword(const std::wstring& password) {
        password_ = password;
        passwordKnown_ = true;
    }
    bool passwordKnown() const { return passwordKnown_; }
    const std::wstring& password() const { return password_; }
    // The engine asked for the password during this open.
    bool passwordAsked() const { return passwordAsked_; }
    // This callback told the engine to stop (Cancel, or the password refused).
    bool stopped() const { return stopped_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetTotal(const UINT64* files, const UINT64* bytes) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* files, const UINT64* bytes) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;

private:
    bool passwordKnown_ = false;
    std::wstring password_;
    bool passwordAsked_ = false;
    bool stopped_ = false;
};
