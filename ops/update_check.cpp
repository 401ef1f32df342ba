#include "ops/update_check.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

namespace {

bool IsAtOrBelow(std::wstring_view path, std::wstring_view entry) {
    return path.size() >= entry.size() && path.compare(0, entry.size(), entry) == 0 &&
           (path.size() == entry.size() || path[entry.size()] == L'\\');
}

// The same, without regard to case.
bool IsAtOrBelowIgnoringCase(std::wstring_view path, std::wstring_view entry) {
    return path.size() >= entry.size() &&
           CompareStringOrdinal(path.data(), static_cast<int>(entry.size()), entry.data(),
                                static_cast<int>(entry.size()), TRUE) == CSTR_EQUAL &&
           (path.size() == entry.size() || path[entry.size()] == L'\\');
}

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    if (!folded.empty()) CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

std::wstring Quoted(std::wstring_view entry) { return L"\"" + std::wstring(entry) + L"\""; }

}  // namespace

std::wstring DeleteResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                 const std::vector<std::wstring>& deleted) {
    std::vector<std::wstring_view> expected, got(after.begin(), after.end());
    expected.reserve(before.size());
    for (const std::wstring_view path : before) {
        const bool goes = std::any_of(deleted.begin(), deleted.end(),
                                      [&](const std::wstring& entry) { return IsAtOrBelow(path, entry); });
        if (!goes) expected.push_back(path);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    if (got == expected) return {};
    for (const std::wstring& entry : deleted)
        for (const std::wstring_view path : got)
            if (IsAtOrBelow(path, entry)) return L"the archiver would have kept " + Quoted(path);
    for (const std::wstring_view path : expected)
        if (!std::binary_search(got.begin(), got.end(), path))
            return L"the archiver would also have removed " + Quoted(path);
    return L"the archiver's result did not hold the expected entries";
}

std::wstring AddResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                              const std::vector<std::wstring>& added) {
    std::vector<std::wstring_view> exact(after.begin(), after.end());
    std::sort(exact.begin(), exact.end());
    // The paths without regard to case, made only when a path is not found as it is.
    std::vector<std::wstring> folded;
    const auto held = [&](std::wstring_view path) {
        if (std::binary_search(exact.begin(), exact.end(), path)) return true;
        if (folded.empty() && !after.empty()) {
            folded.reserve(after.size());
            for (const std::wstring_view entry : after) folded.push_back(Folded(entry));
            std::sort(folded.begin(), folded.end());
        }
        return std::binary_search(folded.begin(), folded.end(), Folded(path));
    };
    for (const std::wstring_view path : before)
        if (!held(path)) return L"the archiver would have lost " + Quoted(path);
    for (const std::wstring& path : added)
        if (!held(path)) return L"the archiver's result lacked " + Quoted(path);
    return {};
}

std::wstring FreshenResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                  const std::vector<std::wstring>&) {
    const std::wstring kept = AddResultProblem(before, after, {});
    if (!kept.empty()) return kept;
    std::set<std::wstring> known;
    for (const std::wstring_view path : before) known.insert(Folded(path));
    for (const std::wstring_view path : after)
        if (!known.count(Folded(path))) return L"the archiver would have added " + Quoted(path);
    return {};
}

std::wstring SynchronizeResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                      const std::vector<std::wstring>& added) {
    std::vector<std::wstring_view> outside;
    std::vector<std::wstring> foldedAdded;
    for (const std::wstring& entry : added) foldedAdded.push_back(Folded(entry));
    for (const std::wstring_view path : before) {
        const std::wstring folded = Folded(path);
        const bool below = std::any_of(foldedAdded.begin(), foldedAdded.end(),
                                       [&](const std::wstring& entry) { return IsAtOrBelow(folded, entry); });
        if (!below) outside.push_back(path);
    }
    return AddResultProblem(outside, after, added);
}

std::wstring SingleFileResultProblem(const std::vector<std::wstring_view>&, const std::vector<std::wstring_view>& after,
                                     const std::vector<std::wstring>&) {
    return after.size() == 1 ? std::wstring() : L"the archiver's result did not hold the one file";
}

std::wstring RenameResultProblem(const std::vector<std::wstring_view>& before, const std::vector<std::wstring_view>& after,
                                 const std::wstring& from, const std::wstring& to) {
    // The moved paths are made; the others are the listing's own.
    std::vector<std::wstring> moved;
    bool named = false;
    for (const std::wstring_view path : before)
        if (IsAtOrBelow(path, from)) moved.push_back(to + std::wstring(path.substr(from.size())));
    named = !moved.empty();
    std::vector<std::wstring_view> expected(moved.begin(), moved.end());
    for (const std::wstring_view path : before)
        if (!IsAtOrBelow(path, from)) expected.push_back(path);
    if (!named) return L"the archive holds no entry " + Quoted(from);
    std::vector<std::wstring_view> got(after.begin(), after.end());
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    if (got == expected) return {};
    for (const std::wstring_view path : got)
        if (IsAtOrBelow(path, from) && !std::binary_search(expected.begin(), expected.end(), path))
            return L"the archiver would have kept " + Quoted(path);
    for (const std::wstring_view path : expected)
        if (!std::binary_search(got.begin(), got.end(), path))
            return L"the archiver's result lacked " + Quoted(path);
    return L"the archiver's result did not hold the expected entries";
}

std::wstring UntouchedContentProblem(const std::vector<ListedEntry>& before, const std::vector<ListedEntry>& after,
                                     const UntouchedEntries& untouched) {
    if (untouched.none) return {};
    // The entries after, by path (a path may come more than once); each is matched once at most.
    std::vector<const ListedEntry*> found;
    found.reserve(after.size());
    for (const ListedEntry& entry : after) found.push_back(&entry);
    const auto byPath = [](const ListedEntry* a, const ListedEntry* b) { return a->path < b->path; };
    std::sort(found.begin(), found.end(), byPath);
    std::vector<bool> matched(found.size());
    ListedEntry key;
    for (const ListedEntry& entry : before) {
        if (std::any_of(untouched.touched.begin(), untouched.touched.end(),
                        [&](const std::wstring& t) { return IsAtOrBelowIgnoringCase(entry.path, t); }))
            continue;
        const bool moves = !untouched.from.empty() && IsAtOrBelow(entry.path, untouched.from);
        key.path = moves ? untouched.to + entry.path.substr(untouched.from.size()) : entry.path;
        auto at = std::lower_bound(found.begin(), found.end(), &key, byPath);
        bool same = false;
        for (; at != found.end() && (*at)->path == key.path && !same; ++at) {
            const ListedEntry& other = **at;
            const size_t index = static_cast<size_t>(at - found.begin());
            same = !matched[index] && other.hasSize == entry.hasSize && other.size == entry.size &&
                   other.hasCrc == entry.hasCrc && other.crc == entry.crc;
            if (same) matched[index] = true;
        }
        if (!same)
            return Quoted(entry.path) + L" would not have stayed as it is (did another program change the archive?)";
    }
    return {};
}

namespace {

// An entry's path as the listing gives it: decoded, backslashes, no trailing separator.
std::wstring DecodedPath(const ZipRawName& name, unsigned codePage) {
    const int length = static_cast<int>(name.bytes.size());
    const UINT page = name.utf8 ? CP_UTF8 : codePage;
    std::wstring path(static_cast<size_t>(MultiByteToWideChar(page, 0, name.bytes.data(), length, nullptr, 0)), L'\0');
    MultiByteToWideChar(page, 0, name.bytes.data(), length, path.data(), static_cast<int>(path.size()));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

std::wstring UntouchedNameBytesProblem(const std::vector<ZipRawName>& before, const std::vector<ZipRawName>& after,
                                       unsigned codePage, const UntouchedEntries& untouched) {
    if (untouched.none) return {};
    std::multiset<std::pair<std::string, bool>> stored;
    for (const ZipRawName& name : after) stored.insert({name.bytes, name.utf8});
    for (const ZipRawName& name : before) {
        const std::wstring path = DecodedPath(name, codePage);
        if (std::any_of(untouched.touched.begin(), untouched.touched.end(),
                        [&](const std::wstring& t) { return IsAtOrBelowIgnoringCase(path, t); }) ||
            (!untouched.from.empty() && IsAtOrBelow(path, untouched.from)))
            continue;
        const auto at = stored.find({name.bytes, name.utf8});
        if (at == stored.end())
            return L"the archiver would have stored the name of " + Quoted(path) +
                   L" differently, and other programs would read it as another name";
        stored.erase(at);
    }
    return {};
}
