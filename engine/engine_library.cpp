// Where the engine library lies, and holding it loaded for one operation.
#include "engine/archive_listing.h"

#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "base/paths.h"
#include "base/program_path.h"

namespace {

// The threads ending sessions in the background; the last ones are waited for when the
// program ends.
struct EndingSessions {
    std::mutex lock;
    std::vector<std::thread> threads;
    void waitForAll() {
        std::vector<std::thread> ending;
        {
            std::lock_guard<std::mutex> guard(lock);
            ending.swap(threads);
        }
        for (std::thread& thread : ending) thread.join();
    }
    ~EndingSessions() { waitForAll(); }
};

EndingSessions& Ending() {
    static EndingSessions ending;
    return ending;
}

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
    try {
        std::lock_guard<std::mutex> guard(Ending().lock);
        Ending().threads.emplace_back([handler, module] {
            handler->Close();
            handler->Release();
            FreeLibrary(module);
        });
    } catch (const std::exception&) {
        // No thread to spare: ended here, as any other.
        archive->Close();
        return end();
    }
    archive = nullptr;
    library.release();
}

void waitForEndingSessions() { Ending().waitForAll(); }
