#include "engine/out_file_stream.h"

#include "engine/in_file_stream.h"

COutFileStream::~COutFileStream() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool COutFileStream::create(const std::wstring& path, bool replace, DWORD attributes) {
    if (file_ != INVALID_HANDLE_VALUE) close();
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                        attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    bytesWritten_ = 0;
    writeError_ = 0;
    return file_ != INVALID_HANDLE_VALUE;
}

HRESULT COutFileStream::close() {
    if (file_ == INVALID_HANDLE_VALUE) return S_OK;
    const BOOL closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return closed ? S_OK : HResultFromLastError();
}

HRESULT STDMETHODCALLTYPE COutFileStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOutStream || iid == IID_ISequentialOutStream)
        *object = static_cast<IOutStream*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COutFileStream::Write(const void* data, UINT32 size, UINT32* processedSize) {
    if (processedSize) *processedSize = size;
    if (writeError_ != 0) return S_OK;
    if (file_ == INVALID_HANDLE_VALUE) {
        writeError_ = ERROR_INVALID_HANDLE;  // closed because the item was given up
        return S_OK;
    }
    DWORD written = 0;
    const DWORD block = size < kMaxFileBlock ? size : kMaxFileBlock;
    if (!WriteFile(file_, data, block, &written, nullptr) || (written == 0 && block != 0)) {
        writeError_ = GetLastError();
        if (writeError_ == 0) writeError_ = ERROR_WRITE_FAULT;
        return S_OK;
    }
    bytesWritten_ += written;
    if (processedSize) *processedSize = written;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COutFileStream::Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) {
    return SeekFile(file_, offset, seekOrigin, newPosition);
}

HRESULT STDMETHODCALLTYPE COutFileStream::SetSize(UINT64 newSize) {
    LARGE_INTEGER zero{}, current{}, target{}, reached{};
    if (!SetFilePointerEx(file_, zero, &current, FILE_CURRENT)) return E_FAIL;
    target.QuadPart = static_cast<LONGLONG>(newSize);
    if (!SetFilePointerEx(file_, target, &reached, FILE_BEGIN)) return E_FAIL;
    const bool ended = reached.QuadPart != target.QuadPart || SetEndOfFile(file_);
    if (!SetFilePointerEx(file_, current, nullptr, FILE_BEGIN) || !ended) return E_FAIL;
    return S_OK;
}
