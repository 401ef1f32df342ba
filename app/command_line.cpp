#include "app/command_line.h"

#include <windows.h>

#include "engine/archive_kind.h"
#include "engine/archive_probe.h"

namespace {

constexpr std::wstring_view kUnregisterOption = L"/UnRegister";
constexpr std::wstring_view kRegisterOption = L"/Register";

ShellVerbOption VerbOf(std::wstring_view commandLine) {
    if (commandLine.size() < 2) return ShellVerbOption::None;
    const std::wstring_view head = commandLine.substr(0, 2);
    if (head == L"/e") return ShellVerbOption::ExtractHere;
    if (head == L"/x") return ShellVerbOption::ExtractTo;
    if (head == L"/a") return ShellVerbOption::Add;
    if (head == L"/h") return ShellVerbOption::Checksums;
    if (head == L"/f") return ShellVerbOption::ExtractToFolder;
    if (head == L"/t") return ShellVerbOption::Test;
    return ShellVerbOption::None;
}

// The path of  /e "path"  (or  /e path ): empty when the text does not have that shape.
std::wstring ArchivePathOf(std::wstring_view afterOption) {
    if (afterOption.size() >= 2 && afterOption.front() == L'"' && afterOption.back() == L'"') {
        const std::wstring_view inner = afterOption.substr(1, afterOption.size() - 2);
        if (inner.find(L'"') != std::wstring_view::npos) return {};
        return std::wstring(inner);
    }
    if (afterOption.find(L'"') != std::wstring_view::npos) return {};
    return std::wstring(afterOption);
}

}  // namespace

CommandLineRequest ParseCommandLine(std::wstring_view commandLine) {
    CommandLineRequest request;
    request.unregister = commandLine.find(kUnregisterOption) != std::wstring_view::npos;
    request.registerOnly = commandLine.find(kRegisterOption) != std::wstring_view::npos;
    request.verb = VerbOf(commandLine);

    switch (request.verb) {
        case ShellVerbOption::ExtractHere:
        case ShellVerbOption::ExtractTo:
        case ShellVerbOption::Checksums:
        case ShellVerbOption::ExtractToFolder:
        case ShellVerbOption::Test:
            // The option, exactly one space, then the path.
            if (commandLine.size() >= 3 && commandLine[2] == L' ') {
                request.pathText = std::wstring(commandLine.substr(3));
                request.archivePath = ArchivePathOf(commandLine.substr(3));
            } else {
                request.pathText = std::wstring(commandLine.substr(2));
            }
            break;
        case ShellVerbOption::Add:
            if (commandLine.size() <= 3) break;
            request.addText = std::wstring(commandLine.substr(3));
            // A path as the other options take it, quoted or not, is handed on in quotes.
            if (commandLine[2] == L' ') {
                const std::wstring path = ArchivePathOf(commandLine.substr(3));
                if (!path.empty()) request.addText = L"\"" + path + L"\"";
            }
            break;
        case ShellVerbOption::None:
            break;
    }
    return request;
}

std::optional<std::wstring> StartPathFromCommandLine(std::wstring_view commandLine) {
    // "Open with" and a file dropped on the program's icon pass the path in quotes.
    if (commandLine.size() >= 2 && commandLine.front() == L'"' && commandLine.back() == L'"' &&
        commandLine.substr(1, commandLine.size() - 2).find(L'"') == std::wstring_view::npos)
        commandLine = commandLine.substr(1, commandLine.size() - 2);
    if (commandLine.empty()) return std::nullopt;
    if (commandLine.size() > MAX_PATH - 1) return std::nullopt;
    // Any archive the engine reads, by its extension or its content ("Open with" on a .tar.gz).
    if (archiveKindOf(commandLine) == None &&
        guessArchiveFile(std::wstring(commandLine)) == ArchiveGuess::NotArchive)
        return std::nullopt;
    return std::wstring(commandLine);
}
