#pragma once
// Archives split into numbered files ("x.7z.001", "x.7z.002", ...): the names of the parts,
// and one stream that reads them as the single file they were cut from.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"

// True when the last extension is a volume number of at least three digits ("001").
bool isNumberedVolume(std::wstring_view path);
// The path of the `number`-th part of the set that `path` belongs to, the number written with
// at least as many digits as `path` uses ("x.7z.001", 2 -> "x.7z.002"); nothing when `path` is
// no numbered volume.
std::optional<std::wstring> numberedVolumePath(std::wstring_view path, unsigned number);
// The path without its volume number ("x.7z.001" -> "x.7z").
std::wstring withoutVolumeNumber(std::wstring_view path);

class CMultiVolumeStream final : public IInStream, public IStreamGetSize, public CMyUnknownImp {
public:
    CMultiVolumeStream() = default;
    virtual ~CMultiVolumeStream();
    CMultiVolumeStream(const CMultiVolumeStream&) = delete;
    CMultiVolumeStream& operator=(const CMultiVolumeStream&) = delete;

    // Opens the first part and every part that follows it without a gap. False with the
    // system's error as the last error when the first part cannot be opened.
    bool open(const std::wstring& firstVolume);
    size_t volumeCount() const { return volumes_.size(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processedSize) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) override;

private:
    struct Volume {
        HANDLE file = INVALID_HANDLE_VALUE;
        UINT64 start = 0;  // where the part begins in the whole
        UINT64 size = 0;
    };
    std::vector<Volume> volumes_;
    UINT64 total_ = 0;
    UINT64 position_ = 0;
};
