#pragma once
// The file an extracted item is written to, as the engine writes it.
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"

#include <string>

class COutFileStream final : public IOutStream, public CMyUnknownImp {
public:
    COutFileStream() = default;
    virtual ~COutFileStream();
    COutFileStream(const COutFileStream&) = delete;
    COutFileStream& operator=(const COutFileStream&) = delete;

    // Creates the file for writing (others may read it meanwhile) with the given attributes.
    // With `replace` an existing file is truncated; without, an existing file makes this fail.
    // False with the system's error as the last error.
    bool create(const std::wstring& path, bool replace, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    // Closes the file; 0 or the system error as an HRESULT.
    HRESULT close();
    HANDLE handle() const { return file_; }
    UINT64 bytesWritten() const { return bytesWritten_; }
    // The system error of the first write that failed; 0 when every write succeeded.
    DWORD writeError() const { return writeError_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    // A failed write is kept in writeError() and the rest of the item's data is taken and
    // dropped: an error returned to the engine would end the whole extraction, and the items
    // after this one may still fit (a full disk) or be writable.
    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processedSize) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    UINT64 bytesWritten_ = 0;
    DWORD writeError_ = 0;
};
