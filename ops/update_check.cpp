#include "ops/update_check.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

bool IsAtOrBelow(const std::wstring& path, const std::wstring& entry) {
    return path.size() >= entry.size() && path.compare(0, entry.size(), entry) == 0 &&
           (path.size() == entry.size() || path[entry.size()] == L'\\');
}

std::wstring Folded(const std::wstring& text) {
    std::wstring folded = text;
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

std::wstring Quoted(const std::wstring& entry) { return L"\"" + entry + L"\""; }

}  // namespace

std::wstring DeleteResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                 const std::vector<std::wstring>& deleted) {
    std::vector<std::wstring> expected;
    for (const std::wstring& path : before) {
        const bool goes = std::any_of(deleted.begin(), deleted.end(),
                                      [&](const std::wstring& entry) { return IsAtOrBelow(path, entry); });
        if (!goes) expected.push_back(path);
    }
    std::vector<std::wstring> got = after;
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    if (got == expected) return {};
    for (const std::wstring& entry : deleted)
        for (const std::wstring& path : got)
            if (IsAtOrBelow(path, entry)) return L"the archiver would have kept " + Quoted(path);
    for (const std::wstring& path : expected)
        if (!std::binary_search(got.begin(), got.end(), path))
            return L"the archiver would also have removed " + Quoted(path);
    return L"the archiver's result did not hold the expected entries";
}

std::wstring AddResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                              const std::vector<std::wstring>& added) {
    std::set<std::wstring> exact(after.begin(), after.end()), folded;
    for (const std::wstring& path : after) folded.insert(Folded(path));
    for (const std::wstring& path : before)
        if (!exact.count(path) && !folded.count(Folded(path))) return L"the archiver would have lost " + Quoted(path);
    for (const std::wstring& path : added)
        if (!folded.count(Folded(path))) return L"the archiver's result lacked " + Quoted(path);
    return {};
}

std::wstring FreshenResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                  const std::vector<std::wstring>&) {
    const std::wstring kept = AddResultProblem(before, after, {});
    if (!kept.empty()) return kept;
    std::set<std::wstring> known;
    for (const std::wstring& path : before) known.insert(Folded(path));
    for (const std::wstring& path : after)
        if (!known.count(Folded(path))) return L"the archiver would have added " + Quoted(path);
    return {};
}

std::wstring SynchronizeResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                      const std::vector<std::wstring>& added) {
    std::vector<std::wstring> outside;
    std::vector<std::wstring> foldedAdded;
    for (const std::wstring& entry : added) foldedAdded.push_back(Folded(entry));
    for (const std::wstring& path : before) {
        const std::wstring folded = Folded(path);
        const bool below = std::any_of(foldedAdded.begin(), foldedAdded.end(),
                                       [&](const std::wstring& entry) { return IsAtOrBelow(folded, entry); });
        if (!below) outside.push_back(path);
    }
    return AddResultProblem(outside, after, added);
}

std::wstring SingleFileResultProblem(const std::vector<std::wstring>&, const std::vector<std::wstring>& after,
                                     const std::vector<std::wstring>&) {
    return after.size() == 1 ? std::wstring() : L"the archiver's result did not hold the one file";
}

std::wstring RenameResultProblem(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after,
                                 const std::wstring& from, const std::wstring& to) {
    std::vector<std::wstring> expected;
    bool named = false;
    for (const std::wstring& path : before) {
        const bool moves = IsAtOrBelow(path, from);
        named = named || moves;
        expected.push_back(moves ? to + path.substr(from.size()) : path);
    }
    if (!named) return L"the archive holds no entry " + Quoted(from);
    std::vector<std::wstring> got = after;
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    if (got == expected) return {};
    for (const std::wstring& path : got)
        if (IsAtOrBelow(path, from) && !std::binary_search(expected.begin(), expected.end(), path))
            return L"the archiver would have kept " + Quoted(path);
    for (const std::wstring& path : expected)
        if (!std::binary_search(got.begin(), got.end(), path))
            return L"the archiver's result lacked " + Quoted(path);
    return L"the archiver's result did not hold the expected entries";
}

std::wstring UntouchedContentProblem(const std::vector<ListedEntry>& before, const std::vector<ListedEntry>& after,
                                     const UntouchedEntries& untouched) {
    if (untouched.none) return {};
    std::vector<std::wstring> touched;
    for (const std::wstring& entry : untouched.touched) touched.push_back(Folded(entry));
    std::multimap<std::wstring, const ListedEntry*> found;
    for (const ListedEntry& entry : after) found.emplace(entry.path, &entry);
    for (const ListedEntry& entry : before) {
        const std::wstring folded = Folded(entry.path);
        if (std::any_of(touched.begin(), touched.end(), [&](const std::wstring& t) { return IsAtOrBelow(folded, t); }))
            continue;
        const bool moves = !untouched.from.empty() && IsAtOrBelow(entry.path, untouched.from);
        const std::wstring place = moves ? untouched.to + entry.path.substr(untouched.from.size()) : entry.path;
        const auto [first, last] = found.equal_range(place);
        const auto same = std::find_if(first, last, [&](const auto& candidate) {
            const ListedEntry& other = *candidate.second;
            return other.hasSize == entry.hasSize && other.size == entry.size && other.hasCrc == entry.hasCrc &&
                   other.crc == entry.crc;
        });
        if (same == last)
            return Quoted(entry.path) + L" would not have stayed as it is (did another program change the archive?)";
        found.erase(same);
    }
    return {};
}
