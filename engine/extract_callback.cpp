#include "engine/extract_callback.h"

#include <new>
#include <vector>

#include "engine/engine_events.h"
#include "engine/engine_property.h"
#include "engine/extract_path.h"
#include "engine/extraction.h"
#include "engine/password_request.h"

namespace {

// Paths from this length on go through the "\\?\" form; CreateDirectoryW takes 12 fewer
// units than MAX_PATH, so the smaller limit serves folders and files alike.
constexpr size_t kLongPathFrom = MAX_PATH - 12;

const char* OperationResultText(INT32 result) {
    switch (result) {
    case kUnsupportedMethod: return "Unsupported Method";
    case kDataError: return "Data Error";
    case kCRCError: return "CRC Failed";
    default: return "Unknown Error";
    }
}

std::wstring AbsolutePath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

}  // namespace

CArchiveExtractCallback::~CArchiveExtractCallback() {
    outReference_.reset();
    if (archive_) archive_->Release();
}

void CArchiveExtractCallback::init(IInArchive* archive, const std::wstring& destination,
                                   const std::vector<std::wstring>* selection) {
    errorCount_ = 0;
    unsafeCount_ = 0;
    if (archive) archive->AddRef();
    if (archive_) archive_->Release();
    archive_ = archive;
    destination_ = ensureTrailingSeparator(destination);
    selection_ = selection;
}

void CArchiveExtractCallback::setPassword(const std::wstring& password) {
    password_ = password;
    passwordKnown_ = true;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICryptoGetTextPassword)
        *object = static_cast<ICryptoGetTextPassword*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// A cancelled operation answers "stop" here, and the engine then ends the extraction.
HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetTotal(UINT64 total) {
    return OnEngineEvent(kEngineTotal, &total, 0) != 0 ? E_ABORT : S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetCompleted(const UINT64* completeValue) {
    return OnEngineEvent(kEngineCompleted, const_cast<UINT64*>(completeValue), 0) != 0 ? E_ABORT : S_OK;
}

HRESULT CArchiveExtractCallback::readItemProperties(UINT32 index) {
    EngineProperty value;
    HRESULT hr = archive_->GetProperty(index, kpidAttrib, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_EMPTY) {
        attributesKnown_ = false;
    } else if (value.type() == VT_UI4) {
        attributes_ = value.get().ulVal;
        attributesKnown_ = true;
    } else {
        return E_FAIL;
    }

    hr = archive_->GetProperty(index, kpidIsDir, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_BOOL)
        isFolder_ = value.get().boolVal != VARIANT_FALSE;
    else if (value.type() == VT_EMPTY)
        isFolder_ = false;
    else
        return E_FAIL;

    hr = archive_->GetProperty(index, kpidMTime, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_EMPTY) {
        modifiedKnown_ = false;
    } else if (value.type() == VT_FILETIME) {
        modified_ = value.get().filetime;
        modifiedKnown_ = true;
    } else {
        return E_FAIL;
    }
    // The item's size is not needed: the engine writes what the item holds.
    return S_OK;
}

std::wstring CArchiveExtractCallback::diskPathOf(const std::wstring& relative) {
    if (destination_.size() + relative.size() < kLongPathFrom) return destination_ + relative;
    if (fullDestination_.empty()) fullDestination_ = ensureTrailingSeparator(extendedLengthPath(AbsolutePath(destination_)));
    return fullDestination_ + relative;
}

void CArchiveExtractCallback::ensureFolder(const std::wstring& folder) {
    if (folder == lastFolder_) return;
    // The result is not examined: when the folder cannot be made, creating the item fails.
    if (createFolderChain(folder))
        lastFolder_ = folder;
    else
        lastFolder_.clear();
}

HRESULT CArchiveExtractCallback::openOutputFile() {
    auto stream = ComPtr<COutFileStream>::share(NewEngineObject<COutFileStream>());
    // The file is made with its final attributes but read-only, which comes after the data;
    // most files then need no second call for their attributes.
    createdAttributes_ =
        attributesKnown_ ? plainFileAttributes(attributes_, false) & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY) : 0;
    // Most items land where nothing stands yet: try that first, and replace an existing
    // file only when there is one.
    if (!stream->create(diskPath_, false, createdAttributes_)) {
        const DWORD existing = GetFileAttributesW(diskPath_.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            if (!deleteFileForced(diskPath_)) {
                writeDiagnostic("ERROR: Can not delete output file ", diskPath_);
                return E_ABORT;
            }
            if (!stream->create(diskPath_, false, createdAttributes_)) {
                writeDiagnostic("can not open output file ", diskPath_);
                return E_ABORT;
            }
        } else {
            writeDiagnostic("can not open output file ", diskPath_);
            return E_ABORT;
        }
    }
    outFile_ = stream.get();
    outReference_ = std::move(stream);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::GetStream(UINT32 index, ISequentialOutStream** outStream,
                                                            INT32 askExtractMode) {
    if (!outStream) return E_POINTER;
    *outStream = nullptr;
    outReference_.reset();
    outFile_ = nullptr;
    itemWritten_ = false;
    itemWanted_ = false;
    try {
        EngineProperty value;
        const HRESULT hr = archive_->GetProperty(index, kpidPath, value.put());
        if (hr != S_OK) return hr;
        if (value.type() == VT_EMPTY)
            itemPath_ = L"[Content]";
        else if (value.type() == VT_BSTR && value.get().bstrVal)
            itemPath_.assign(value.get().bstrVal, SysStringLen(value.get().bstrVal));
        else if (value.type() == VT_BSTR)
            itemPath_ = L"[Content]";
        else
            return E_FAIL;

        if (!selectionTakes(selection_, itemPath_)) return S_OK;
        // A wanted item counts as failed when it ends badly, even when the engine only tests
        // it (as it does with the rest of a block it could not decode).
        itemWanted_ = true;
        if (askExtractMode != kExtract) return S_OK;

        const HRESULT read = readItemProperties(index);
        if (read != S_OK) return read;

        const std::optional<std::wstring> relative = safeRelativePath(itemPath_);
        if (relative && relative->empty() && isFolder_) {
            itemWanted_ = false;  // the destination itself: nothing to make
            return S_OK;
        }
        if (!relative || relative->empty()) {
            // Nothing of it is written; the extraction reports the failure at its end.
            ++unsafeCount_;
            itemWanted_ = false;
            if (console_.enabled()) {
                console_.append("Unsafe path, skipped: ");
                console_.appendOem(itemPath_);
                console_.append("\n");
            }
            return S_OK;
        }
        diskPath_ = diskPathOf(*relative);
        itemWritten_ = true;

        const size_t slash = diskPath_.find_last_of(L'\\');
        if (relative->find(L'\\') != std::wstring::npos && slash != std::wstring::npos)
            ensureFolder(diskPath_.substr(0, slash));

        if (isFolder_) {
            ensureFolder(diskPath_);
            return S_OK;
        }

        const HRESULT opened = openOutputFile();
        if (opened != S_OK) {
            itemWritten_ = false;
            return opened;
        }
        outReference_->AddRef();
        *outStream = static_cast<ISequentialOutStream*>(outReference_.get());
        return S_OK;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    return E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::PrepareOperation(INT32 askExtractMode) {
    extractMode_ = askExtractMode == kExtract;
    if (console_.enabled()) {
        switch (askExtractMode) {
        case kExtract: console_.append("Extracting  "); break;
        case kTest: console_.append("Testing     "); break;
        case kSkip: console_.append("Skipping    "); break;
        default: break;
        }
        console_.appendOem(itemPath_);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetOperationResult(INT32 operationResult) {
    if (operationResult != kOK) {
        if (itemWanted_) ++errorCount_;
        if (console_.enabled()) {
            console_.append("     ");
            console_.append(OperationResultText(operationResult));
        }
    }
    if (outFile_ && outFile_->isOpen()) {
        if (modifiedKnown_) SetFileTime(outFile_->handle(), nullptr, nullptr, &modified_);
        const HRESULT closed = outFile_->close();
        if (closed != S_OK) return closed;
    }
    outReference_.reset();
    outFile_ = nullptr;
    if (extractMode_ && attributesKnown_ && itemWritten_) {
        const DWORD plain = plainFileAttributes(attributes_, isFolder_);
        // A new file carries the archive bit besides what it was made with.
        const bool alreadySet = !isFolder_ && plain == (createdAttributes_ | FILE_ATTRIBUTE_ARCHIVE);
        if (!alreadySet) SetFileAttributesW(diskPath_.c_str(), plain != 0 ? plain : FILE_ATTRIBUTE_NORMAL);
    }
    itemWritten_ = false;
    itemWanted_ = false;
    console_.append("\n");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::CryptoGetTextPassword(BSTR* password) {
    return answerPasswordRequest(passwordKnown_, password_, password);
}
