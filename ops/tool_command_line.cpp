#include "ops/tool_command_line.h"

#include <windows.h>

#include <cwctype>
#include <set>

#include "base/paths.h"

namespace {

// One argument as the archiver splits its command line: a quote only toggles quoting, so
// quoting the whole argument keeps its blanks, and an argument holding a quote cannot be given.
bool AppendArgument(std::wstring& line, std::wstring_view argument) {
    if (argument.find(L'"') != std::wstring_view::npos) return false;
    line += L' ';
    const bool quote = argument.empty() || argument.find_first_of(L" \t") != std::wstring_view::npos;
    if (quote) line += L'"';
    line += argument;
    if (quote) line += L'"';
    return true;
}

std::wstring LeafKey(const std::wstring& path) {
    std::wstring leaf = FileNameOf(path);
    for (wchar_t& c : leaf) c = static_cast<wchar_t>(towlower(c));
    return leaf;
}

bool IsDeviceName(std::wstring_view stem) {
    std::wstring upper(stem);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    static const std::set<std::wstring> devices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (devices.count(upper)) return true;
    return upper.size() == 4 && (upper.compare(0, 3, L"COM") == 0 || upper.compare(0, 3, L"LPT") == 0) &&
           upper[3] >= L'1' && upper[3] <= L'9';
}

}  // namespace

ToolCommandLine::ToolCommandLine(std::wstring toolPath, std::wstring command, std::wstring archivePath)
    : toolPath_(std::move(toolPath)), command_(std::move(command)), archivePath_(std::move(archivePath)) {}

void ToolCommandLine::addName(std::wstring name) { names_.push_back(std::move(name)); }

void ToolCommandLine::addRename(std::wstring from, std::wstring to) {
    names_.push_back(std::move(from));
    names_.push_back(std::move(to));
}

void ToolCommandLine::addWholeWorkingFolder(std::vector<std::wstring> excluded) {
    wholeFolder_ = true;
    excluded_ = std::move(excluded);
}

std::wstring ToolCommandLine::text(const std::wstring& listFile) const {
    // Without a name the archiver would add the whole current folder: never.
    if (names_.empty() == !wholeFolder_) return {};
    std::wstring line = L"\"" + toolPath_ + L"\" " + command_;
    // UTF-8 on the console streams, so that a typed password keeps every character; one
    // "+ name" line per file added; names compared with regard to case when deleting, so that
    // "Dup.txt" never takes "DUP.TXT" along.
    line += L" -sccUTF-8 -scsUTF-16LE -bb1";
    if (reportPercent_) line += L" -bsp1";
    const bool rename = command_ == L"rn";
    if (command_ == L"d" || rename || matchCase_) line += L" -ssc";
    bool ok = toolPath_.find(L'"') == std::wstring::npos;
    if (!format_.empty()) ok = ok && AppendArgument(line, L"-t" + format_);
    else if (kind_ == SevenZip) line += L" -t7z";
    else if (kind_ == Zip) line += L" -tzip";
    for (const std::wstring& option : switches_) {
        // The format comes from setFormat, and only switches reach this part of the line.
        if (option.size() < 2 || option[0] != L'-' || option.compare(0, 2, L"-t") == 0) continue;
        ok = ok && AppendArgument(line, option);
    }
    if (!outputPath_.empty()) {
        line += L" -u-";
        ok = ok && AppendArgument(line, L"-u" + updateActions_ + L"!" + outputPath_);
    } else if (!updateActions_.empty()) {
        line += L" -u" + updateActions_;
    }
    if (askForPassword_) line += L" -p";
    if (rename) {
        // The rename pairs come from a list file named after the archive ("--" would make it a
        // name); the archive path is one of the program's own full paths, never a switch.
        if (names_.size() % 2 != 0 || archivePath_.empty() || archivePath_[0] == L'-' || archivePath_[0] == L'@')
            return {};
        // No wildcards: an entry named "*" or "?" is that entry alone (the list file stays one).
        line += L" -spd";
        ok = ok && AppendArgument(line, archivePath_) && AppendArgument(line, L"@" + listFile);
        return ok ? line : std::wstring();
    }
    if (wholeFolder_) {
        for (const std::wstring& name : excluded_) ok = ok && AppendArgument(line, L"-x!" + name);
    } else {
        // No wildcards, and the names come from the list file.
        line += L" -spd";
        ok = ok && AppendArgument(line, L"-i@" + listFile);
    }
    // Everything after "--" is a name, even when it begins with "-" or "@".
    line += L" --";
    ok = ok && AppendArgument(line, archivePath_);
    if (wholeFolder_) line += L" *";
    return ok ? line : std::wstring();
}

std::wstring NameListText(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (const std::wstring& name : names) {
        text += L'"';
        text += name;
        text += L"\"\n";
    }
    return text;
}

std::wstring EntryNameProblem(std::wstring_view entryPath) {
    if (entryPath.find_first_of(L"\r\n") != std::wstring_view::npos) return L"it holds a line break";
    if (entryPath.empty() || entryPath.front() == L'\\') return L"it begins at a root";
    size_t start = 0;
    for (bool first = true;; first = false) {
        const size_t cut = entryPath.find(L'\\', start);
        const std::wstring_view part = entryPath.substr(start, cut == std::wstring_view::npos ? cut : cut - start);
        if (part == L"." || part == L"..") return L"it holds a \".\" or \"..\" step";
        if (first) {
            if (part.size() == 2 && part[1] == L':' && iswalpha(part[0])) return L"it begins like a drive";
            if (part.size() > 2 && part.find_first_not_of(L'.') == std::wstring_view::npos)
                return L"it is made of dots only";
            const size_t dot = part.find(L'.');
            if (dot != std::wstring_view::npos && dot + 1 < part.size()) {
                std::wstring_view stem = part.substr(0, dot);
                while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
                if (IsDeviceName(stem)) return L"it names a device";
            }
        }
        if (cut == std::wstring_view::npos) return {};
        start = cut + 1;
    }
}

std::vector<std::vector<std::wstring>> GroupByDistinctLeafNames(const std::vector<std::wstring>& names) {
    std::vector<std::vector<std::wstring>> groups;
    std::set<std::wstring> leaves;
    for (const std::wstring& name : names) {
        const std::wstring leaf = LeafKey(name);
        if (groups.empty() || leaves.count(leaf)) {
            groups.emplace_back();
            leaves.clear();
        }
        groups.back().push_back(name);
        leaves.insert(leaf);
    }
    return groups;
}

std::wstring SharedParentFolder(const std::vector<std::wstring>& paths) {
    std::wstring shared;
    for (const std::wstring& path : paths) {
        const std::wstring folder = FolderOf(path);
        if (folder.empty() || FileNameOf(path).empty()) return {};
        if (shared.empty()) shared = folder;
        else if (!SameFolder(shared, folder)) return {};
    }
    return shared;
}

bool NamesCoverFolder(const std::vector<std::wstring>& leafNames, const std::vector<std::wstring>& folderItems,
                      const std::vector<std::wstring>& skipped) {
    std::set<std::wstring> wanted, present, left;
    for (const std::wstring& name : skipped) left.insert(LeafKey(name));
    for (const std::wstring& name : leafNames) wanted.insert(LeafKey(name));
    for (const std::wstring& item : folderItems) {
        const std::wstring key = LeafKey(item);
        if (key != L"." && key != L".." && !left.count(key)) present.insert(key);
    }
    return !wanted.empty() && wanted.size() == leafNames.size() && wanted == present;
}
