#include "ops/tool_command_line.h"

#include <windows.h>

#include <cwctype>
#include <set>

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            // Backslashes in front of a quote are doubled, and the quote itself escaped.
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    // Backslashes before the closing quote are doubled so that it stays a closing quote.
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

ToolCommandLine::ToolCommandLine(std::wstring toolPath, std::wstring command, std::wstring archivePath)
    : toolPath_(std::move(toolPath)), command_(std::move(command)), archivePath_(std::move(archivePath)) {}

void ToolCommandLine::addName(std::wstring name) { names_.push_back(std::move(name)); }

void ToolCommandLine::addWholeWorkingFolder(std::wstring excluded) {
    wholeFolder_ = true;
    excluded_ = std::move(excluded);
}

std::wstring ToolCommandLine::text() const {
    std::wstring line = QuoteArgument(toolPath_);
    line += L' ';
    line += command_;
    // UTF-8 on the console streams, so that names and a typed password keep every character;
    // no wildcard matching; one "+ name" line per file added.
    line += wholeFolder_ ? L" -sccUTF-8 -bb1" : L" -sccUTF-8 -spd -bb1";
    if (wholeFolder_ && !excluded_.empty()) line += L" " + QuoteArgument(L"-x!" + excluded_);
    if (askForPassword_) line += L" -p";
    // Everything after "--" is a name, even when it begins with "-" or "@".
    line += L" --";
    line += L' ';
    line += QuoteArgument(archivePath_);
    for (const std::wstring& name : names_) {
        line += L' ';
        line += QuoteArgument(name);
    }
    if (wholeFolder_) line += L" *";
    return line;
}

namespace {

std::wstring LeafKey(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    std::wstring leaf = slash == std::wstring::npos ? path : path.substr(slash + 1);
    for (wchar_t& c : leaf) c = static_cast<wchar_t>(towlower(c));
    return leaf;
}

}  // namespace

std::vector<std::vector<std::wstring>> GroupNamesForRuns(const ToolCommandLine& command,
                                                         const std::vector<std::wstring>& names,
                                                         bool distinctLeafNames, size_t limit) {
    std::vector<std::vector<std::wstring>> groups;
    const size_t base = command.text().size();
    size_t length = base;
    std::set<std::wstring> leaves;
    for (const std::wstring& name : names) {
        const size_t added = 1 + QuoteArgument(name).size();
        const std::wstring leaf = distinctLeafNames ? LeafKey(name) : std::wstring();
        const bool full = length + added > limit;
        const bool clash = distinctLeafNames && leaves.count(leaf) > 0;
        if (groups.empty() || ((full || clash) && !groups.back().empty())) {
            groups.emplace_back();
            length = base;
            leaves.clear();
        }
        groups.back().push_back(name);
        length += added;
        if (distinctLeafNames) leaves.insert(leaf);
    }
    return groups;
}

std::wstring SharedParentFolder(const std::vector<std::wstring>& paths) {
    std::wstring shared;
    for (const std::wstring& path : paths) {
        const size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos || slash == 0 || slash + 1 >= path.size()) return {};
        const std::wstring folder = path.substr(0, slash);
        if (shared.empty()) shared = folder;
        else if (lstrcmpiW(shared.c_str(), folder.c_str()) != 0) return {};
    }
    // A drive's root keeps its backslash, so that it names the root rather than the drive's current folder.
    if (shared.size() == 2 && shared[1] == L':') shared += L'\\';
    return shared;
}

bool NamesCoverFolder(const std::vector<std::wstring>& leafNames, const std::vector<std::wstring>& folderItems,
                      const std::wstring& archiveName) {
    std::set<std::wstring> wanted, present;
    for (const std::wstring& name : leafNames) wanted.insert(LeafKey(name));
    for (const std::wstring& item : folderItems) {
        const std::wstring key = LeafKey(item);
        if (key != L"." && key != L".." && key != LeafKey(archiveName)) present.insert(key);
    }
    return !wanted.empty() && wanted.size() == leafNames.size() && wanted == present;
}
