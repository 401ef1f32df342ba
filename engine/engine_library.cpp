// Where the engine library lies, and holding it loaded for one operation.
#include "engine/archive_listing.h"

#include <vector>

namespace {

std::wstring ComputeEngineLibraryPath() {
    // The program may live below a folder deeper than MAX_PATH: grow until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"core\\7z.dll";
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const size_t slash = path.find_last_of(L'\\');
            path.resize(slash == std::wstring::npos ? 0 : slash);
            return path + L"\\core\\7z.dll";
        }
        if (buffer.size() >= 32768) return L"core\\7z.dll";
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

const std::wstring& engineLibraryPath() {
    static const std::wstring path = ComputeEngineLibraryPath();
    return path;
}

bool EngineLibrary::load(const std::wstring& path) {
    free();
    module_ = LoadLibraryW(path.c_str());
    return module_ != nullptr;
}

bool EngineLibrary::free() {
    if (module_ && FreeLibrary(module_)) module_ = nullptr;
    return module_ == nullptr;
}

void ArchiveSession::end() {
    if (archive) {
        archive->Release();
        archive = nullptr;
    }
    library.free();
}
