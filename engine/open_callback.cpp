#include "engine/open_callback.h"

#include "base/handles.h"
#include "base/paths.h"
#include "engine/engine_events.h"
#include "engine/in_file_stream.h"
#include "engine/password_request.h"

CArchiveOpenCallback::CArchiveOpenCallback(const std::wstring& archivePath)
    : folder_(WithTrailingSeparator(FolderOf(archivePath))), name_(FileNameOf(archivePath)) {}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICryptoGetTextPassword)
        *object = static_cast<ICryptoGetTextPassword*>(this);
    else if (iid == IID_IArchiveOpenVolumeCallback)
        *object = static_cast<IArchiveOpenVolumeCallback*>(this);
    else if (iid == IID_IArchiveOpenSetSubArchiveName)
        *object = static_cast<IArchiveOpenSetSubArchiveName*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// Opening reports no progress.
HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::SetTotal(const UINT64*, const UINT64*) { return S_OK; }
// Opening reports no progress, but a cancelled operation stops the engine here.
HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::SetCompleted(const UINT64*, const UINT64*) {
    if (OnEngineEvent(progress_, kEngineCompleted, nullptr, 0) == 0) return S_OK;
    stopped_ = true;
    return E_ABORT;
}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::CryptoGetTextPassword(BSTR* password) {
    passwordAsked_ = true;
    const HRESULT answer = answerPasswordRequest(progress_, passwordKnown_, password_, password);
    if (answer == E_ABORT) stopped_ = true;
    return answer;
}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::GetProperty(PROPID propId, PROPVARIANT* value) {
    if (!value) return E_POINTER;
    PropVariantInit(value);
    if (propId != kpidName || name_.empty()) return S_OK;
    value->bstrVal = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::GetStream(const wchar_t* name, IInStream** inStream) {
    if (!inStream) return E_POINTER;
    *inStream = nullptr;
    if (!name || subArchive_ || folder_.empty()) return S_FALSE;
    // A volume is a file beside the first one, never anywhere else.
    const std::wstring fileName(name);
    if (fileName.empty() || fileName.find_first_of(L"\\/:") != std::wstring::npos) return S_FALSE;
    try {
        auto stream = ComPtr<CInFileStream>::share(NewEngineObject<CInFileStream>());
        if (!stream->open(folder_ + fileName)) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? S_FALSE : HResultFromLastError();
        }
        ++volumesOpened_;
        *inStream = static_cast<IInStream*>(stream.get());
        (*inStream)->AddRef();
        return S_OK;
    } catch (const CNewException&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE CArchiveOpenCallback::SetSubArchiveName(const wchar_t* name) {
    subArchive_ = true;
    name_ = name ? name : L"";
    return S_OK;
}
