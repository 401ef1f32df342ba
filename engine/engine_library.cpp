// Where the engine library lies, and holding it loaded for one operation.
#include "engine/archive_listing.h"

#include "base/paths.h"
#include "base/program_path.h"

namespace {

std::wstring ComputeEngineLibraryPath() {
    return JoinPath(ProgramFolder(), L"core\\7z.dll");
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
