// Where the engine library lies, and holding it loaded for one operation.
#include "engine/archive_listing.h"

#include "base/paths.h"
#include "base/program_path.h"
#include "engine/engine_events.h"

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

void ArchiveSession::endInBackground() {
    if (!archive) return end();
    IInArchive* handler = archive;
    HMODULE module = library.module();
    const bool handedOver = RunEngineWorkInBackground([handler, module] {
        handler->Close();
        handler->Release();
        FreeLibrary(module);
    });
    if (!handedOver) {
        // Nobody to hand it to: ended here, as any other.
        archive->Close();
        return end();
    }
    archive = nullptr;
    library.release();
}
