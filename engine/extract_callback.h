#pragma once
// The callback through which the engine hands over each item of an extraction: it decides
// whether and where the item is written, supplies the output file, and restores the item's
// time and attributes afterwards.
#include "app/handles.h"
#include "engine/console_text.h"
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"
#include "engine/out_file_stream.h"

#include <string>
#include <vector>

class CArchiveExtractCallback final : public IArchiveExtractCallback,
                                      public ICryptoGetTextPassword,
                                      public CMyUnknownImp {
public:
    CArchiveExtractCallback() = default;
    virtual ~CArchiveExtractCallback();
    CArchiveExtractCallback(const CArchiveExtractCallback&) = delete;
    CArchiveExtractCallback& operator=(const CArchiveExtractCallback&) = delete;

    // `selection` (may be null) belongs to the caller and must outlive the extraction.
    void init(IInArchive* archive, const std::wstring& destination, const std::vector<std::wstring>* selection);
    // Starts with a password already known (not asked for again).
    void setPassword(const std::wstring& password);
    bool passwordKnown() const { return passwordKnown_; }
    const std::wstring& password() const { return password_; }

    // Items meant to be written that ended with a result other than kOK.
    UINT64 errorCount() const { return errorCount_; }
    // Items not written because their path would have led outside the destination.
    UINT64 unsafeCount() const { return unsafeCount_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completeValue) override;
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** outStream, INT32 askExtractMode) override;
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askExtractMode) override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 operationResult) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;

private:
    HRESULT readItemProperties(UINT32 index);
    // The destination plus the item's safe path; the "\\?\" form when it is too long otherwise.
    std::wstring diskPathOf(const std::wstring& relative);
    void ensureFolder(const std::wstring& folder);
    HRESULT openOutputFile();

    IInArchive* archive_ = nullptr;  // a reference of our own
    std::wstring destination_;
    std::wstring itemPath_;
    std::wstring diskPath_;
    bool extractMode_ = false;
    const std::vector<std::wstring>* selection_ = nullptr;
    FILETIME modified_{};
    UINT32 attributes_ = 0;
    bool isFolder_ = false;
    bool attributesKnown_ = false;
    bool modifiedKnown_ = false;
    COutFileStream* outFile_ = nullptr;
    ComPtr<COutFileStream> outReference_;
    UINT64 errorCount_ = 0;
    bool passwordKnown_ = false;
    std::wstring password_;

    UINT64 unsafeCount_ = 0;
    bool itemWanted_ = false;      // the current item passed the selection
    bool itemWritten_ = false;     // ... and is being written (a file or a folder)
    DWORD createdAttributes_ = 0;  // what the current item's file was made with
    std::wstring lastFolder_;      // the folder made for the previous item, made again only on change
    std::wstring fullDestination_; // absolute form of the destination, made when first needed
    ConsoleText console_;
};
