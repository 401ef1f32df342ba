#include "app/command_line.h"

#include <windows.h>

#include <utility>

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
    if (head == L"/s") return ShellVerbOption::ExtractSmart;
    if (head == L"/7") return ShellVerbOption::AddTo7z;
    if (head == L"/z") return ShellVerbOption::AddToZip;
    if (head == L"/d") return ShellVerbOption::ExtractInto;
    if (head == L"/g") return ShellVerbOption::ExtractToFoldersIn;
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

// The paths of the text after the option and its space, and the list file of  @"path" .
void ReadPaths(std::wstring_view text, CommandLineRequest& request) {
    if (text.size() > 3 && text.front() == L'@' && text[1] == L'"' && text.back() == L'"') {
        const std::wstring_view inner = text.substr(2, text.size() - 3);
        if (inner.find(L'"') == std::wstring_view::npos) request.listFile = std::wstring(inner);
        return;
    }
    if (std::optional<std::vector<std::wstring>> quoted = QuotedPaths(text)) {
        request.paths = std::move(*quoted);
        return;
    }
    const std::wstring single = ArchivePathOf(text);
    if (!single.empty()) request.paths.push_back(single);
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

std::wstring_view Unquoted(std::wstring_view text) {
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"' &&
        text.substr(1, text.size() - 2).find(L'"') == std::wstring_view::npos)
        return text.substr(1, text.size() - 2);
    return text;
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
        case ShellVerbOption::ExtractSmart:
        case ShellVerbOption::AddTo7z:
        case ShellVerbOption::AddToZip:
            // The option, exactly one space, then the path.
            if (commandLine.size() >= 3 && commandLine[2] == L' ') {
                request.pathText = std::wstring(commandLine.substr(3));
                request.archivePath = ArchivePathOf(commandLine.substr(3));
                ReadPaths(commandLine.substr(3), request);
            } else {
                request.pathText = std::wstring(commandLine.substr(2));
            }
            break;
        case ShellVerbOption::ExtractInto:
        case ShellVerbOption::ExtractToFoldersIn:
            // The option, one space, the destination in quotes, one space, then the paths.
            if (commandLine.size() >= 3 && commandLine[2] == L' ') {
                request.pathText = std::wstring(commandLine.substr(3));
                const std::wstring_view text = commandLine.substr(3);
                const size_t close = text.size() > 1 && text.front() == L'"' ? text.find(L'"', 1) : std::wstring_view::npos;
                if (close == std::wstring_view::npos || close == 1 || close + 2 >= text.size() || text[close + 1] != L' ')
                    break;
                request.destination = std::wstring(text.substr(1, close - 1));
                request.pathText = std::wstring(text.substr(close + 2));
                ReadPaths(text.substr(close + 2), request);
                if (request.paths.size() == 1) request.archivePath = request.paths.front();
            }
            break;
        case ShellVerbOption::Add:
            if (commandLine.size() <= 3) break;
            request.addText = std::wstring(commandLine.substr(3));
            // A path as the other options take it, quoted or not, is handed on in quotes.
            if (commandLine[2] == L' ') {
                const std::wstring path = ArchivePathOf(commandLine.substr(3));
                if (!path.empty()) request.addText = L"\"" + path + L"\"";
                ReadPaths(commandLine.substr(3), request);
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

std::optional<std::vector<std::wstring>> QuotedPaths(std::wstring_view text) {
    std::vector<std::wstring> paths;
    while (true) {
        if (text.size() < 3 || text.front() != L'"') return std::nullopt;
        const size_t close = text.find(L'"', 1);
        if (close == std::wstring_view::npos || close == 1) return std::nullopt;
        paths.emplace_back(text.substr(1, close - 1));
        text = text.substr(close + 1);
        if (text.empty()) return paths;
        if (text.front() != L' ') return std::nullopt;
        text = text.substr(1);
    }
}

std::optional<std::vector<std::wstring>> ListFilePaths(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE)
        return std::nullopt;
    std::vector<std::wstring> paths;
    std::wstring line;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const wchar_t unit = static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                                  (static_cast<unsigned char>(bytes[at + 1]) << 8));
        if (unit == L'\n') {
            if (!line.empty() && line.back() == L'\r') line.pop_back();
            if (!line.empty()) paths.push_back(line);
            line.clear();
        } else if (unit == L'\0') {
            return std::nullopt;
        } else {
            line += unit;
        }
    }
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
    return paths;
}

bool IsDisposableListFile(std::wstring_view path, std::wstring_view tempFolder) {
    while (!tempFolder.empty() && tempFolder.back() == L'\\') tempFolder.remove_suffix(1);
    const size_t slash = path.find_last_of(L"\\/");
    if (tempFolder.empty() || slash == std::wstring_view::npos) return false;
    if (!EqualNoCase(path.substr(0, slash), tempFolder)) return false;
    const std::wstring_view name = path.substr(slash + 1);
    constexpr std::wstring_view kStart = L"tolvane-list-", kEnd = L".txt";
    if (name.size() < kStart.size() + kEnd.size()) return false;
    if (!EqualNoCase(name.substr(0, kStart.size()), kStart) ||
        !EqualNoCase(name.substr(name.size() - kEnd.size()), kEnd))
        return false;
    // No stream (":"), no wildcard, nothing a name cannot hold.
    return name.find_first_of(L":*?<>|\"") == std::wstring_view::npos;
}

std::optional<std::wstring> StartFolderFromCommandLine(std::wstring_view commandLine,
                                                       bool (*isFolder)(const std::wstring& path)) {
    const std::wstring_view path = Unquoted(commandLine);
    if (path.empty() || path.size() > MAX_PATH - 1 || path.find(L'"') != std::wstring_view::npos) return std::nullopt;
    const std::wstring folder(path);
    if (!isFolder(folder)) return std::nullopt;
    return folder;
}
