#include "engine/volume_stream.h"

#include <windows.h>

#include "base/folder_tree.h"
#include "engine/in_file_stream.h"

namespace {

// Where the volume number begins, or npos.
size_t NumberStart(std::wstring_view path) {
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) return std::wstring_view::npos;
    const std::wstring_view digits = path.substr(dot + 1);
    if (digits.size() < 3 || digits.find_first_not_of(L"0123456789") != std::wstring_view::npos)
        return std::wstring_view::npos;
    const size_t slash = path.find_last_of(L"\\/:");
    if (slash != std::wstring_view::npos && slash > dot) return std::wstring_view::npos;
    return dot + 1;
}

}  // namespace

bool isNumberedVolume(std::wstring_view path) { return NumberStart(path) != std::wstring_view::npos; }

std::optional<std::wstring> numberedVolumePath(std::wstring_view path, unsigned number) {
    const size_t start = NumberStart(path);
    if (start == std::wstring_view::npos) return std::nullopt;
    std::wstring digits = std::to_wstring(number);
    const size_t width = path.size() - start;
    if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
    return std::wstring(path.substr(0, start)) + digits;
}

std::wstring withoutVolumeNumber(std::wstring_view path) {
    const size_t start = NumberStart(path);
    return std::wstring(start == std::wstring_view::npos ? path : path.substr(0, start - 1));
}

CMultiVolumeStream::~CMultiVolumeStream() {
    for (Volume& volume : volumes_) CloseHandle(volume.file);
}

bool CMultiVolumeStream::open(const std::wstring& firstVolume) {
    for (unsigned number = 1;; ++number) {
        const std::optional<std::wstring> path = number == 1 ? firstVolume : numberedVolumePath(firstVolume, number);
        if (!path) break;
        HANDLE file = CreateFileW(ExtendedPath(*path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (number == 1) return false;
            break;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file, &size)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            if (number == 1) {
                SetLastError(error);
                return false;
            }
            break;
        }
        volumes_.push_back({file, total_, static_cast<UINT64>(size.QuadPart)});
        total_ += static_cast<UINT64>(size.QuadPart);
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CMultiVolumeStream::QueryInterface(REFIID iid, void** object) {
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

HRESULT STDMETHODCALLTYPE CMultiVolumeStream::Read(void* data, UINT32 size, UINT32* processedSize) {
    if (processedSize) *processedSize = 0;
    if (size == 0 || position_ >= total_) return S_OK;
    // The part that holds the position; a read ends at the end of its part.
    size_t index = 0;
    while (index + 1 < volumes_.size() && volumes_[index + 1].start <= position_) ++index;
    const Volume& volume = volumes_[index];
    const UINT64 inside = position_ - volume.start;
    UINT64 block = volume.size - inside;
    if (block > size) block = size;
    if (block > kMaxFileBlock) block = kMaxFileBlock;
    LARGE_INTEGER offset;
    offset.QuadPart = static_cast<LONGLONG>(inside);
    DWORD read = 0;
    if (!SetFilePointerEx(volume.file, offset, nullptr, FILE_BEGIN) ||
        !ReadFile(volume.file, data, static_cast<DWORD>(block), &read, nullptr))
        return HResultFromLastError();
    position_ += read;
    if (processedSize) *processedSize = read;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMultiVolumeStream::Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) {
    INT64 base = 0;
    switch (seekOrigin) {
    case kSeekSet: base = 0; break;
    case kSeekCurrent: base = static_cast<INT64>(position_); break;
    case kSeekEnd: base = static_cast<INT64>(total_); break;
    default:
        if (newPosition) *newPosition = position_;
        return STG_E_INVALIDFUNCTION;
    }
    if (base + offset < 0) {
        if (newPosition) *newPosition = position_;
        return HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK);
    }
    position_ = static_cast<UINT64>(base + offset);
    if (newPosition) *newPosition = position_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMultiVolumeStream::GetSize(UINT64* size) {
    if (size) *size = total_;
    return S_OK;
}
