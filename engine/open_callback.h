#pragma once
// The callback handed to the engine while it opens an archive: no progress, passwords on demand,
// and the other files of an archive that spans several (RAR volumes, a zip with .z01 parts),
// which the handler asks for by name.
#include "engine/engine_events.h"
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"

#include <string>

class CArchiveOpenCallback final : public IArchiveOpenCallback,
                                   public ICryptoGetTextPassword,
                                   public IArchiveOpenVolumeCallback,
                                   public IArchiveOpenSetSubArchiveName,
                                   public CMyUnknownImp {
public:
    CArchiveOpenCallback() = default;
    // The file being opened: its name is told to the handler, its folder holds the other volumes.
    explicit CArchiveOpenCallback(const std::wstring& archivePath);
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
    HRESULT STDMETHODCALLTYPE GetProperty(PROPID propId, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetStream(const wchar_t* name, IInStream** inStream) override;
    // The stream is not a file of its own (a tar decoded from a gzip, parts joined): it has no
    // other volumes, and the handler is told this name.
    HRESULT STDMETHODCALLTYPE SetSubArchiveName(const wchar_t* name) override;
    // Files other than the archive itself that the handler opened (further volumes).
    unsigned volumesOpened() const { return volumesOpened_; }

private:
    std::wstring folder_;  // with its trailing backslash; empty when unknown
    std::wstring name_;
    bool subArchive_ = false;
    unsigned volumesOpened_ = 0;
    bool passwordKnown_ = false;
    std::wstring password_;
    bool passwordAsked_ = false;
    bool stopped_ = false;
    ProgressCounters* const progress_ = ThisThreadProgress();  // of the work that made it
};
