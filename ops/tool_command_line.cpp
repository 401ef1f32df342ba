#include "ops/tool_command_line.h"

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

std::wstring ToolCommandLine::text() const {
    std::wstring line = QuoteArgument(toolPath_);
    line += L' ';
    line += command_;
    // UTF-8 on the console streams, so that names and a typed password keep every character;
    // no wildcard matching; one "+ name" line per file added.
    line += L" -sccUTF-8 -spd -bb1";
    if (askForPassword_) line += L" -p";
    // Everything after "--" is a name, even when it begins with "-" or "@".
    line += L" --";
    line += L' ';
    line += QuoteArgument(archivePath_);
    for (const std::wstring& name : names_) {
        line += L' ';
        line += QuoteArgument(name);
    }
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
