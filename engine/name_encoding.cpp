#include "engine/name_encoding.h"

#include <windows.h>

#include <algorithm>

namespace {

// A reading scored below this is no better than the system's OEM code page, the default.
constexpr double kPlausible = 0.3;

enum class Script { Latin, Cyrillic, Greek, Hebrew, Arabic, Thai, Japanese, ChineseSimplified, ChineseTraditional, Korean };

Script ScriptOf(unsigned codePage) {
    switch (codePage) {
    case 866: case 855: case 1251: return Script::Cyrillic;
    case 737: case 869: case 1253: return Script::Greek;
    case 862: case 1255: return Script::Hebrew;
    case 720: case 1256: return Script::Arabic;
    case 874: return Script::Thai;
    case 932: return Script::Japanese;
    case 936: return Script::ChineseSimplified;
    case 950: return Script::ChineseTraditional;
    case 949: return Script::Korean;
    default: return Script::Latin;
    }
}

bool In(wchar_t c, unsigned from, unsigned to) { return c >= from && c <= to; }

// Characters no file name of any script is made of: what a wrong code page turns bytes into.
bool Implausible(wchar_t c) {
    return c < 0x20 || In(c, 0x7F, 0x9F) || In(c, 0xE000, 0xF8FF) || c == 0xFFFD;
}

bool IsCjkPunctuation(wchar_t c) { return In(c, 0x3000, 0x303F) || In(c, 0xFF01, 0xFF5E) || In(c, 0xFE30, 0xFE4F); }
bool IsIdeograph(wchar_t c) { return In(c, 0x4E00, 0x9FFF) || In(c, 0x3400, 0x4DBF) || In(c, 0xF900, 0xFAFF); }

bool IsLatinLetter(wchar_t c) { return (In(c, 0xC0, 0x24F) && c != 0xD7 && c != 0xF7); }
bool IsBasicCyrillic(wchar_t c) { return In(c, 0x410, 0x44F) || c == 0x401 || c == 0x451; }
bool IsUkrainianOrBelarusian(wchar_t c) {
    return c == 0x404 || c == 0x406 || c == 0x407 || c == 0x40E || c == 0x454 || c == 0x456 || c == 0x457 ||
           c == 0x45E || c == 0x490 || c == 0x491;
}

struct Context {
    unsigned run = 0;               // non-ASCII characters right before this one
    bool afterLower = false;        // the character before was a lower-case letter
    bool afterAsciiLetter = false;  // ... a letter of plain ASCII
};

// The weight of one decoded character of `bytes` (one or two of them) in a code page serving
// `script`: positive for the script's own letters, negative for what only a wrong reading gives.
double ScriptWeight(Script script, wchar_t c, std::string_view bytes, const Context& context) {
    if (Implausible(c)) return -3;
    if (In(c, 0x2500, 0x259F)) return -2;  // box drawing and blocks
    const unsigned lead = static_cast<uint8_t>(bytes[0]);
    const unsigned trail = bytes.size() > 1 ? static_cast<uint8_t>(bytes[1]) : 0;
    // An upper-case letter right after a lower-case one, inside a word, is rare in any script.
    const bool caseJump = context.afterLower && IsCharUpperW(c);
    switch (script) {
    case Script::Latin:
        if (!IsLatinLetter(c)) return -0.5;
        if (caseJump) return -0.5;
        // Accented letters stand among plain ones; long runs of them come from other scripts.
        return context.run >= 3 ? 0.1 : 1.0;
    case Script::Cyrillic:
        if (caseJump) return -0.5;
        if (IsBasicCyrillic(c)) return 1.0;
        if (IsUkrainianOrBelarusian(c)) return 0.8;
        return In(c, 0x400, 0x4FF) ? 0.0 : -0.5;
    case Script::Greek:
        if (caseJump) return -0.5;
        return In(c, 0x386, 0x3CE) ? 1.0 : -0.5;
    case Script::Hebrew:
        return In(c, 0x5D0, 0x5EA) ? 1.0 : In(c, 0x5B0, 0x5C7) ? 0.3 : -0.5;
    case Script::Arabic:
        return In(c, 0x621, 0x64A) || In(c, 0x660, 0x669) || In(c, 0x67E, 0x6CC) ? 1.0 : -0.5;
    case Script::Thai:
        return In(c, 0xE01, 0xE5B) ? 1.0 : -0.5;
    case Script::Japanese:
        if (In(c, 0x3040, 0x30FF)) return 2.0;                      // hiragana, katakana
        if (IsIdeograph(c)) return In(lead, 0x88, 0x98) ? 2.0 : 1.0; // JIS level 1, level 2
        if (IsCjkPunctuation(c)) return 1.0;
        return -0.5;                                                 // half-width kana, symbols
    case Script::ChineseSimplified:
        if (IsIdeograph(c)) {
            if (trail < 0xA1) return 0.2;  // the GBK extension: rare characters
            return In(lead, 0xB0, 0xD7) ? 2.0 : In(lead, 0xD8, 0xF7) ? 1.2 : 0.2;
        }
        return IsCjkPunctuation(c) ? 1.0 : -0.5;
    case Script::ChineseTraditional:
        if (IsIdeograph(c)) return In(lead, 0xA4, 0xC6) ? 2.0 : In(lead, 0xC9, 0xF9) ? 1.2 : 0.2;
        return IsCjkPunctuation(c) ? 1.0 : -0.5;
    case Script::Korean:
        if (In(c, 0xAC00, 0xD7A3)) return In(lead, 0xB0, 0xC8) && trail >= 0xA1 ? 2.0 : 0.2;
        if (IsIdeograph(c)) return 0.6;
        return IsCjkPunctuation(c) ? 1.0 : -0.5;
    }
    return 0;
}

// Words seldom begin in Latin letters and go on in another script: a reading that makes them so
// is suspect (an alphabet not at all, ideographs a little).
double Weight(Script script, wchar_t c, std::string_view bytes, const Context& context) {
    const double weight = ScriptWeight(script, c, bytes, context);
    if (!context.afterAsciiLetter || script == Script::Latin || weight <= 0) return weight;
    const bool ideographic = script == Script::Japanese || script == Script::ChineseSimplified ||
                             script == Script::ChineseTraditional || script == Script::Korean;
    return ideographic ? weight / 4 : -0.5;
}

bool IsDoubleByte(unsigned codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        uint32_t value = 0;
        if (b >= 0xC2 && b <= 0xDF) length = 2, value = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF) length = 3, value = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4) length = 4, value = b & 0x07;
        else return false;
        if (bytes.size() - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
            (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

const std::vector<unsigned>& nameCodePages() {
    static const std::vector<unsigned> pages = {932, 936, 950, 949, 866, 1251, 437, 850, 1252, 852, 1250,
                                                737, 1253, 857, 1254, 862, 1255, 720, 1256, 874, 775, 1257};
    return pages;
}

bool scoreNames(const std::vector<std::string_view>& names, unsigned codePage, double& score) {
    const Script script = ScriptOf(codePage);
    const bool doubleByte = IsDoubleByte(codePage);
    double sum = 0;
    size_t nonAscii = 0;
    for (std::string_view name : names) {
        Context context;
        size_t i = 0;
        while (i < name.size()) {
            const unsigned char b = static_cast<unsigned char>(name[i]);
            const size_t length = doubleByte && IsDBCSLeadByteEx(codePage, b) ? 2 : 1;
            if (name.size() - i < length) return false;
            const std::string_view bytes = name.substr(i, length);
            i += length;
            wchar_t decoded[2] = {};
            if (length == 1 && b < 0x80) {
                decoded[0] = b;
                context.run = 0;
                context.afterLower = IsCharAlphaW(decoded[0]) && IsCharLowerW(decoded[0]);
                context.afterAsciiLetter = IsCharAlphaW(decoded[0]) != FALSE;
                continue;
            }
            if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(length), decoded,
                                    2) != 1)
                return false;
            sum += Weight(script, decoded[0], bytes, context);
            nonAscii += length;
            ++context.run;
            context.afterLower = IsCharAlphaW(decoded[0]) && IsCharLowerW(decoded[0]);
            context.afterAsciiLetter = false;
        }
    }
    score = nonAscii ? sum / static_cast<double>(nonAscii) : 0;
    return true;
}

NameEncodingGuess guessNameEncoding(const std::vector<ZipRawName>& names, unsigned oemCodePage, unsigned ansiCodePage) {
    NameEncodingGuess guess;
    std::vector<std::string_view> legacy;
    bool allUtf8 = true;
    for (const ZipRawName& name : names) {
        if (name.utf8) continue;
        if (std::all_of(name.bytes.begin(), name.bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            continue;
        legacy.push_back(name.bytes);
        allUtf8 = allUtf8 && isValidUtf8(name.bytes);
    }
    if (legacy.empty()) return guess;
    guess.legacy = true;
    if (allUtf8) return guess;

    // The system's own code pages first: of equal scores, the earlier wins.
    std::vector<unsigned> order = {oemCodePage, ansiCodePage};
    for (unsigned page : nameCodePages())
        if (std::find(order.begin(), order.end(), page) == order.end()) order.push_back(page);
    for (unsigned page : order) {
        double score = 0;
        if (page != kUtf8CodePage && IsValidCodePage(page) && scoreNames(legacy, page, score))
            guess.candidates.push_back(EncodingCandidate{page, score});
    }
    std::stable_sort(guess.candidates.begin(), guess.candidates.end(),
                     [](const EncodingCandidate& a, const EncodingCandidate& b) { return a.score > b.score; });
    guess.codePage = !guess.candidates.empty() && guess.candidates.front().score >= kPlausible
                         ? guess.candidates.front().codePage
                         : oemCodePage;
    return guess;
}
