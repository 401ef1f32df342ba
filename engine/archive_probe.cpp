#include "engine/archive_probe.h"

#include <windows.h>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "engine/engine_interfaces.h"
#include "engine/volume_stream.h"

std::string readFileHead(const std::wstring& path) {
    UniqueHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string head(kSignatureHeadSize, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &got, nullptr)) return {};
    head.resize(got);
    return head;
}

bool isReadableArchive(const std::wstring& path) {
    if (isNumberedVolume(path)) return true;
    return !candidateFormats(engineFormats(), FileNameOf(path), readFileHead(path)).empty();
}

ArchiveGuess guessArchiveFile(const std::wstring& path) {
    return guessArchive(engineFormats(), FileNameOf(path), readFileHead(path));
}

std::wstring formatBySignature(const std::wstring& path) {
    if (isNumberedVolume(path)) return {};
    const std::string head = readFileHead(path);
    const std::vector<EngineFormat>& formats = engineFormats();
    for (const FormatCandidate& candidate : candidateFormats(formats, FileNameOf(path), head))
        if (!candidate.embedded && signatureMatches(formats[candidate.format], head))
            return formats[candidate.format].name;
    return {};
}

bool formatIsUpdatable(std::wstring_view format) {
    const EngineFormat* found = findEngineFormat(format);
    return found && found->writable && !(found->flags & kFormatKeepName);
}
