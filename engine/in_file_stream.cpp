#include "engine/in_file_stream.h"

#include <cstring>

#include "base/folder_tree.h"

CInFileStream::~CInFileStream() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool CInFileStream::open(const std::wstring& path) {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

void CInFileStream::adopt(HANDLE file) {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = file;
    LARGE_INTEGER zero{};
    SetFilePointerEx(file_, zero, nullptr, FILE_BEGIN);
}

HRESULT STDMETHODCALLTYPE CInFileStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IInStream || iid == IID_ISequentialInStream)
        *object = static_cast<IInStream*>(this);
    else if (iid == IID_IStreamGetSize)
        *object = static_cast<IStreamGetSize*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CInFileStream::Read(void* data, UINT32 size, UINT32* processedSize) {
    if (processedSize) *processedSize = 0;
    DWORD read = 0;
    const DWORD block = size < kMaxFileBlock ? size : kMaxFileBlock;
    const BOOL ok = ReadFile(file_, data, block, &read, nullptr);
    if (processedSize) *processedSize = read;
    return ok ? S_OK : HResultFromLastError();
}

HRESULT SeekFile(HANDLE file, INT64 offset, UINT32 seekOrigin, UINT64* newPosition) {
    if (seekOrigin > kSeekEnd) {
        if (newPosition) *newPosition = 0;
        return STG_E_INVALIDFUNCTION;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER reached;
    reached.QuadPart = 0;
    const BOOL ok = SetFilePointerEx(file, distance, &reached, seekOrigin);
    if (newPosition) *newPosition = static_cast<UINT64>(reached.QuadPart);
    return ok ? S_OK : HResultFromLastError();
}

HRESULT STDMETHODCALLTYPE CInFileStream::Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) {
    return SeekFile(file_, offset, seekOrigin, newPosition);
}

HRESULT STDMETHODCALLTYPE CInFileStream::GetSize(UINT64* size) {
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file_, &length)) return HResultFromLastError();
    if (size) *size = static_cast<UINT64>(length.QuadPart);
    return S_OK;
}
