#include "engine/item_names.h"

#include <windows.h>

#include "base/handles.h"

std::wstring caseBlindKey(const std::wstring& text) {
    std::wstring key = text;
    if (!key.empty()) CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

std::wstring numberedName(const std::wstring& relative, unsigned number) {
    const size_t nameStart = relative.find_last_of(L'\\') + 1;  // npos + 1 == 0
    size_t dot = relative.find_last_of(L'.');
    if (dot == std::wstring::npos || dot <= nameStart) dot = relative.size();
    return relative.substr(0, dot) + L" (" + std::to_wstring(number) + L")" + relative.substr(dot);
}

bool ItemNames::isFree(const std::wstring& relative) const { return used_.find(caseBlindKey(relative)) == used_.end(); }

void ItemNames::claimParents(const std::wstring& relative) {
    for (size_t slash = relative.find(L'\\'); slash != std::wstring::npos; slash = relative.find(L'\\', slash + 1))
        used_.insert(caseBlindKey(relative.substr(0, slash)));
}

std::wstring ItemNames::claimFile(const std::wstring& relative) {
    claimParents(relative);
    std::wstring name = relative;
    for (unsigned number = 2; !isFree(name); ++number) name = numberedName(relative, number);
    used_.insert(caseBlindKey(name));
    return name;
}

void ItemNames::claimFolder(const std::wstring& relative) {
    claimParents(relative);
    used_.insert(caseBlindKey(relative));
}

bool ItemNames::tryClaimFile(const std::wstring& relative) {
    if (!isFree(relative)) return false;
    claimParents(relative);
    used_.insert(caseBlindKey(relative));
    return true;
}

bool diskNamesMatch(const std::wstring& folder, const std::wstring& relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos) end = relative.size();
        WIN32_FIND_DATAW found{};
        UniqueFindHandle search(FindFirstFileW((folder + relative.substr(0, end)).c_str(), &found));
        if (!search || caseBlindKey(found.cFileName) != caseBlindKey(relative.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}
