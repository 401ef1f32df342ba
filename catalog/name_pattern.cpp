#include "catalog/name_pattern.h"

#include <windows.h>

#include <memory>

namespace {

// The upper case of every UTF-16 unit, asked of the system once: what the file system's
// comparison without case uses, from one table, so that a million names are folded quickly.
const wchar_t* UpperCaseTable() {
    static const std::unique_ptr<wchar_t[]> table = [] {
        std::unique_ptr<wchar_t[]> units(new wchar_t[0x10000]);
        for (unsigned u = 0; u < 0x10000; ++u) units[u] = static_cast<wchar_t>(u);
        // Units 1..0xFFFF: a zero unit would end the buffer for some mappings; it maps to itself.
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, units.get() + 1, 0xFFFF, units.get() + 1, 0xFFFF);
        return units;
    }();
    return table.get();
}

bool HasWildcards(std::wstring_view text) { return text.find_first_of(L"*?") != std::wstring_view::npos; }

// The unit as Windows compares names without regard to case: its upper case, unit by unit.
wchar_t FoldForNames(wchar_t unit) { return UpperCaseTable()[static_cast<uint16_t>(unit)]; }

}  // namespace

NamePattern::NamePattern(std::wstring_view pattern) {
    if (pattern.empty()) return;
    if (!HasWildcards(pattern)) units_ += L'*';
    for (wchar_t unit : pattern) {
        // Runs of stars are one star.
        if (unit == L'*' && !units_.empty() && units_.back() == L'*') continue;
        units_ += unit == L'*' || unit == L'?' ? unit : FoldForNames(unit);
    }
    if (!HasWildcards(pattern)) units_ += L'*';
}

bool NamePattern::Matches(std::wstring_view name) const {
    if (units_.empty()) return false;
    const wchar_t* upper = UpperCaseTable();
    const size_t p = units_.size(), n = name.size();
    size_t i = 0, j = 0;
    // The last star seen and the name's position it was tried at: on a mismatch the star takes
    // one more unit and matching goes on from there.
    size_t star = std::wstring::npos, starName = 0;
    while (j < n) {
        if (i < p && units_[i] == L'*') {
            star = i++;
            starName = j;
        } else if (i < p && (units_[i] == L'?' || units_[i] == upper[static_cast<uint16_t>(name[j])])) {
            ++i;
            ++j;
        } else if (star != std::wstring::npos) {
            i = star + 1;
            j = ++starName;
        } else {
            return false;
        }
    }
    while (i < p && units_[i] == L'*') ++i;
    return i == p;
}

std::vector<ArchiveTree::NodeId> FindInTree(const ArchiveTree& tree, const NamePattern& pattern) {
    std::vector<ArchiveTree::NodeId> found;
    const size_t count = tree.NodeCount();
    for (size_t id = 1; id < count; ++id) {
        if (pattern.Matches(tree[static_cast<ArchiveTree::NodeId>(id)].nameView()))
            found.push_back(static_cast<ArchiveTree::NodeId>(id));
    }
    return found;
}

std::wstring FolderPathOf(const ArchiveTree& tree, ArchiveTree::NodeId node) {
    std::vector<std::wstring_view> steps;
    for (ArchiveTree::NodeId at = tree[node].parent; at != ArchiveTree::kRoot && at != ArchiveTree::kNoNode;
         at = tree[at].parent)
        steps.push_back(tree[at].nameView());
    std::wstring path;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (!path.empty()) path += L'\\';
        path += *step;
    }
    return path;
}
