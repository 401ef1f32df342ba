#include "catalog/shell_type_cache.h"

#include <shellapi.h>

#include "base/program_path.h"
#include "engine/format_detection.h"
#include "engine/volume_stream.h"

namespace {

// The extension of a file name, lower-cased: the shell decides icon and type by it alone
// (the query below does not touch the disk), so equal extensions give equal answers.
std::wstring_view ExtensionOf(std::wstring_view fileName) {
    const size_t dot = fileName.find_last_of(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : fileName.substr(dot);
}

std::wstring ExtensionKey(std::wstring_view extension) {
    std::wstring key(extension);
    if (!key.empty()) CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool ListsExtension(const EngineFormat& format, std::wstring_view extension) {
    for (const std::wstring& listed : format.extensions)
        if (equalsIgnoringCase(listed, extension)) return true;
    return false;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The extension before the last one ("tar" of "x.tar.gz"), without its dot; empty when none.
std::wstring_view InnerExtension(std::wstring_view fileName) {
    const size_t last = fileName.find_last_of(L'.');
    if (last == std::wstring_view::npos || last == 0) return {};
    const size_t inner = fileName.find_last_of(L'.', last - 1);
    if (inner == std::wstring_view::npos || inner == 0) return {};
    return fileName.substr(inner + 1, last - inner - 1);
}

}  // namespace

std::optional<CompoundArchiveType> compoundArchiveType(std::wstring_view fileName,
                                                       const std::vector<EngineFormat>& formats) {
    const std::wstring_view inner = InnerExtension(fileName);
    if (inner.empty()) return std::nullopt;
    const std::wstring last = extensionOf(fileName);
    if (isNumberedVolume(fileName)) {
        // Any part of a split archive of a format the engine reads.
        for (const EngineFormat& format : formats)
            if (ListsExtension(format, inner)) {
                const std::wstring key = ExtensionKey(L"." + std::wstring(inner));
                return CompoundArchiveType{key + L".part", Upper(std::wstring(inner)) + L" Archive (part)"};
            }
        return std::nullopt;
    }
    if (!equalsIgnoringCase(inner, L"tar")) return std::nullopt;
    for (const EngineFormat& format : formats)
        if (isStreamFormat(format) && ListsExtension(format, last))
            return CompoundArchiveType{L".tar." + last, L"TAR." + Upper(last) + L" Archive"};
    return std::nullopt;
}

ShellTypeCache::~ShellTypeCache() { clear(); }

HICON ShellTypeCache::programIcon() {
    if (!programIconAsked_) {
        programIconAsked_ = true;
        const std::wstring program = ProgramFilePath();
        if (!program.empty()) ExtractIconExW(program.c_str(), 0, nullptr, &programIcon_, 1);
    }
    return programIcon_;
}

const ShellTypeCache::Entry& ShellTypeCache::folder() {
    if (!haveFolder_) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(L"..", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                           SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON))
            folder_.icon = info.hIcon;
        folder_.typeName = L"Folder";
        haveFolder_ = true;
    }
    return folder_;
}

const ShellTypeCache::Entry& ShellTypeCache::forFileName(std::wstring_view fileName) {
    const std::wstring_view extension = ExtensionOf(fileName);
    // A name with two extensions may be an archive the shell does not know by its last one.
    if (!InnerExtension(fileName).empty()) {
        if (const auto compound = compoundArchiveType(fileName, engineFormats())) {
            auto found = byExtension_.find(compound->key);
            if (found == byExtension_.end()) {
                Entry entry;
                entry.typeName = compound->typeName;
                if (HICON own = programIcon()) entry.icon = CopyIcon(own);
                found = byExtension_.emplace(compound->key, std::move(entry)).first;
            }
            return found->second;
        }
    }
    if (lastEntry_ && extension == lastExtension_) return *lastEntry_;
    lastExtension_.assign(extension);
    lastEntry_ = &entryFor(ExtensionKey(extension));
    return *lastEntry_;
}

const ShellTypeCache::Entry& ShellTypeCache::entryFor(std::wstring key) {
    auto found = byExtension_.find(key);
    if (found != byExtension_.end()) return found->second;

    // The shell is asked about a name of this extension only, never about the entry's own name.
    const std::wstring probe = L"file" + key;
    SHFILEINFOW info{};
    Entry entry;
    if (SHGetFileInfoW(probe.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON | SHGFI_ICON | SHGFI_TYPENAME)) {
        entry.icon = info.hIcon;
        info.szTypeName[(sizeof(info.szTypeName) / sizeof(info.szTypeName[0])) - 1] = L'\0';
        entry.typeName = info.szTypeName;
    }
    return byExtension_.emplace(std::move(key), std::move(entry)).first->second;
}

void ShellTypeCache::clear() {
    for (auto& [key, entry] : byExtension_)
        if (entry.icon) DestroyIcon(entry.icon);
    byExtension_.clear();
    lastEntry_ = nullptr;
    lastExtension_.clear();
    if (folder_.icon) DestroyIcon(folder_.icon);
    if (programIcon_) DestroyIcon(programIcon_);
    programIcon_ = nullptr;
    programIconAsked_ = false;
    folder_ = Entry{};
    haveFolder_ = false;
}
