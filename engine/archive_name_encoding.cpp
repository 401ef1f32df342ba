#include "engine/archive_name_encoding.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace {

// Enough of a directory to tell its names' code page by: a few hundred thousand names.
constexpr uint64_t kDetectionBytes = 16u << 20;
constexpr size_t kRemembered = 64;

struct Detected {
    uint64_t size = 0;
    FILETIME written = {};
    NameEncodingGuess guess;
};

std::mutex g_lock;
std::map<std::wstring, unsigned> g_chosen;
std::map<std::wstring, Detected> g_detected;

// Paths compare without regard to case, as the file system does.
std::wstring Key(const std::wstring& path) {
    std::wstring key = path;
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool SameFile(const Detected& detected, const WIN32_FILE_ATTRIBUTE_DATA& data) {
    const uint64_t size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return detected.size == size && CompareFileTime(&detected.written, &data.ftLastWriteTime) == 0;
}

}  // namespace

ArchiveNameEncoding nameEncodingFor(const std::wstring& path) {
    ArchiveNameEncoding result;
    const std::wstring key = Key(path);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return result;
    bool known = false;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        const auto detected = g_detected.find(key);
        if (detected != g_detected.end() && SameFile(detected->second, data)) {
            result.guess = detected->second.guess;
            known = true;
        }
    }
    if (!known) {
        ZipNamesRead read;
        if (!readZipNames(path, kDetectionBytes, read)) return result;
        result.guess = guessNameEncoding(read.names, GetOEMCP(), GetACP());
        Detected detected;
        detected.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        detected.written = data.ftLastWriteTime;
        detected.guess = result.guess;
        std::lock_guard<std::mutex> guard(g_lock);
        if (g_detected.size() >= kRemembered) g_detected.clear();
        g_detected[key] = std::move(detected);
    }
    result.codePage = result.guess.codePage;
    std::lock_guard<std::mutex> guard(g_lock);
    const auto chosen = g_chosen.find(key);
    if (chosen != g_chosen.end()) {
        result.codePage = chosen->second;
        result.chosen = true;
    }
    return result;
}

void chooseNameCodePage(const std::wstring& path, unsigned codePage) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (codePage == 0) g_chosen.erase(Key(path));
    else g_chosen[Key(path)] = codePage;
}
