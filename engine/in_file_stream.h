#pragma once
// The archive file as the engine reads it.
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"

#include <string>

class CInFileStream final : public IInStream, public IStreamGetSize, public CMyUnknownImp {
public:
    CInFileStream() = default;
    virtual ~CInFileStream();
    CInFileStream(const CInFileStream&) = delete;
    CInFileStream& operator=(const CInFileStream&) = delete;

    // Opens the file for reading; other processes may read it meanwhile but not write it.
    bool open(const std::wstring& path);
    // Reads a file already open for reading (from its start), and closes it in the end.
    void adopt(HANDLE file);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processedSize) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// The largest block one Read or Write call passes to the system.
inline constexpr UINT32 kMaxFileBlock = 4194304;

// Moves the file pointer of `file` as the engine's Seek asks (origin 0 start, 1 current, 2 end).
HRESULT SeekFile(HANDLE file, INT64 offset, UINT32 seekOrigin, UINT64* newPosition);
