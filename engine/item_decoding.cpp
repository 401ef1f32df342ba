#include "engine/item_decoding.h"

#include <new>

#include "base/handles.h"
#include "engine/engine_events.h"
#include "engine/engine_object.h"
#include "engine/password_request.h"

namespace {

class CSinkOutStream final : public ISequentialOutStream, public CMyUnknownImp {
public:
    CSinkOutStream(ItemSink& sink, bool& failed) : sink_(sink), failed_(failed) {}
    virtual ~CSinkOutStream() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_ISequentialOutStream) return E_NOINTERFACE;
        *object = static_cast<ISequentialOutStream*>(this);
        AddRef();
        return S_OK;
    }
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processedSize) override {
        if (processedSize) *processedSize = 0;
        if (!sink_.write(data, size)) {
            failed_ = true;
            return E_ABORT;
        }
        if (processedSize) *processedSize = size;
        return S_OK;
    }

private:
    ItemSink& sink_;
    bool& failed_;
};

class CSinkExtractCallback final : public IArchiveExtractCallback, public ICryptoGetTextPassword, public CMyUnknownImp {
public:
    CSinkExtractCallback(ItemSink& sink, const std::wstring& password) : sink_(sink), password_(password) {
        passwordKnown_ = !password.empty();
    }
    virtual ~CSinkExtractCallback() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_ICryptoGetTextPassword)
            *object = static_cast<ICryptoGetTextPassword*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override { return Report(kEngineTotal, &total); }
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completed) override {
        return Report(kEngineCompleted, const_cast<UINT64*>(completed));
    }
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** outStream, INT32 askMode) override {
        if (!outStream) return E_POINTER;
        *outStream = nullptr;
        began_ = false;
        if (askMode != kExtract || !sink_.begin(index)) return S_OK;
        began_ = true;
        index_ = index;
        try {
            *outStream = NewEngineObject<CSinkOutStream>(sink_, sinkFailed);
            (*outStream)->AddRef();
        } catch (const CNewException&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) override {
        if (began_) sink_.end(index_, result);
        began_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override {
        const HRESULT answer = answerPasswordRequest(progress_, passwordKnown_, password_, password);
        if (answer == E_ABORT) stopped = true;
        return answer;
    }

    const std::wstring& password() const { return password_; }
    bool passwordKnown() const { return passwordKnown_; }
    bool stopped = false;
    bool sinkFailed = false;

private:
    HRESULT Report(int32_t kind, UINT64* value) {
        if (OnEngineEvent(progress_, kind, value, 0) == 0) return S_OK;
        stopped = true;
        return E_ABORT;
    }

    ItemSink& sink_;
    std::wstring password_;
    bool passwordKnown_ = false;
    bool began_ = false;
    UINT32 index_ = 0;
    ProgressCounters* const progress_ = ThisThreadProgress();  // of the work that made it
};

}  // namespace

DecodingResult decodeItems(IInArchive* archive, const std::vector<UINT32>& indices, ItemSink& sink,
                           std::wstring& password) {
    DecodingResult result;
    try {
        auto callback = ComPtr<CSinkExtractCallback>::share(NewEngineObject<CSinkExtractCallback>(sink, password));
        result.engineResult = archive->Extract(indices.empty() ? nullptr : indices.data(),
                                               indices.empty() ? 0xFFFFFFFF : static_cast<UINT32>(indices.size()), 0,
                                               static_cast<IArchiveExtractCallback*>(callback.get()));
        result.stopped = callback->stopped;
        result.sinkFailed = callback->sinkFailed;
        if (callback->passwordKnown()) password = callback->password();
    } catch (const CNewException&) {
        result.engineResult = E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        result.engineResult = E_OUTOFMEMORY;
    }
    return result;
}
