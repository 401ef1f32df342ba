// Where the engine library lies, and holding it loaded for one operation.
#include "engine/archive_listing.h"

#include "app/program_path.h"

namespace {

std::wstring ComputeEngineLibraryPath() {
    const std::wstring folder = ProgramFolder();
    return folder.empty() ? L"core\\7z.dll" : folder + L"\\core\\7z.dll";
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
