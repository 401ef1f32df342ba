#include "ui/name_encoding_menu.h"

#include <algorithm>

#include "res/resource.h"

namespace {

struct CodePageWords {
    unsigned codePage;
    const wchar_t* shortName;
    const wchar_t* language;
};

const CodePageWords kWords[] = {
    {65001, L"UTF-8", L"Unicode"},
    {932, L"Shift-JIS", L"Japanese"},
    {936, L"GBK", L"Chinese Simplified"},
    {950, L"Big5", L"Chinese Traditional"},
    {949, L"EUC-KR", L"Korean"},
    {866, L"CP866", L"Cyrillic DOS"},
    {1251, L"Windows-1251", L"Cyrillic"},
    {437, L"CP437", L"DOS United States"},
    {850, L"CP850", L"DOS Western European"},
    {1252, L"Windows-1252", L"Western European"},
    {852, L"CP852", L"DOS Central European"},
    {1250, L"Windows-1250", L"Central European"},
    {737, L"CP737", L"Greek DOS"},
    {1253, L"Windows-1253", L"Greek"},
    {857, L"CP857", L"Turkish DOS"},
    {1254, L"Windows-1254", L"Turkish"},
    {862, L"CP862", L"Hebrew DOS"},
    {1255, L"Windows-1255", L"Hebrew"},
    {720, L"CP720", L"Arabic DOS"},
    {1256, L"Windows-1256", L"Arabic"},
    {874, L"Windows-874", L"Thai"},
    {775, L"CP775", L"Baltic DOS"},
    {1257, L"Windows-1257", L"Baltic"},
};

const CodePageWords* WordsOf(unsigned codePage) {
    for (const CodePageWords& words : kWords)
        if (words.codePage == codePage) return &words;
    return nullptr;
}

// Code pages offered even when they do not read every name: the most common ones.
constexpr size_t kCandidatesShown = 6;
constexpr double kNearlyAsPlausible = 0.75;
constexpr unsigned kCommon[] = {65001, 932, 936, 950, 949, 866, 1251, 437, 850, 1252};

}  // namespace

const std::vector<unsigned>& EncodingMenuCodePages() {
    static const std::vector<unsigned> pages = [] {
        std::vector<unsigned> all;
        for (const CodePageWords& words : kWords) all.push_back(words.codePage);
        return all;
    }();
    return pages;
}

unsigned CodePageOfCommand(UINT id) {
    const std::vector<unsigned>& pages = EncodingMenuCodePages();
    if (id < ID_NAME_ENCODING_FIRST || id - ID_NAME_ENCODING_FIRST >= pages.size()) return 0;
    return pages[id - ID_NAME_ENCODING_FIRST];
}

bool IsNameEncodingCommand(UINT id) { return id == ID_NAME_ENCODING_AUTO || CodePageOfCommand(id) != 0; }

std::wstring CodePageShortName(unsigned codePage) {
    const CodePageWords* words = WordsOf(codePage);
    return words ? words->shortName : L"Code page " + std::to_wstring(codePage);
}

std::wstring CodePageMenuText(unsigned codePage) {
    const CodePageWords* words = WordsOf(codePage);
    if (!words) return CodePageShortName(codePage);
    return std::wstring(words->language) + L" (" + words->shortName + L")";
}

std::wstring NamesStatusText(const ArchiveNameEncoding& names) {
    if (names.codePage == 0 || (!names.guess.legacy && !names.chosen)) return {};
    return L"Names: " + CodePageShortName(names.codePage);
}

void FillNameEncodingMenu(HMENU menu, const ArchiveNameEncoding* names) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    const bool automatic = !names || !names->chosen;
    std::wstring autoText = L"&Automatic";
    if (names && names->guess.legacy) autoText += L" (" + CodePageShortName(names->guess.codePage) + L")";
    AppendMenuW(menu, MF_STRING | (automatic ? MF_CHECKED : 0), ID_NAME_ENCODING_AUTO, autoText.c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    std::vector<unsigned> listed;
    const auto add = [&](unsigned codePage) {
        const std::vector<unsigned>& pages = EncodingMenuCodePages();
        const auto at = std::find(pages.begin(), pages.end(), codePage);
        if (at == pages.end() || std::find(listed.begin(), listed.end(), codePage) != listed.end()) return;
        listed.push_back(codePage);
        const bool checked = names && names->chosen && names->codePage == codePage;
        AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : 0),
                    ID_NAME_ENCODING_FIRST + static_cast<UINT>(at - pages.begin()), CodePageMenuText(codePage).c_str());
    };
    if (names) {
        if (names->guess.legacy) add(names->guess.codePage);
        // The readings nearly as plausible as the best one.
        const std::vector<EncodingCandidate>& candidates = names->guess.candidates;
        for (const EncodingCandidate& candidate : candidates)
            if (candidate.score > 0 && candidate.score >= kNearlyAsPlausible * candidates.front().score &&
                listed.size() < kCandidatesShown)
                add(candidate.codePage);
        if (names->chosen) add(names->codePage);
    }
    if (!listed.empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    const size_t before = listed.size();
    for (unsigned codePage : kCommon) add(codePage);
    if (listed.size() == before && before > 0) DeleteMenu(menu, GetMenuItemCount(menu) - 1, MF_BYPOSITION);
}
