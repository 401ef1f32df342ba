// Texts of the rows: grouped sizes and the locale's date and time.
#include <windows.h>

#include <array>

#include "catalog/item_catalog.h"

std::wstring GroupThousands(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 3);
    const size_t length = text.size();
    for (size_t i = 0; i < length; ++i) {
        // A separator goes in front of each full group of three counted from the right,
        // as long as something stands in front of that group.
        if (i > 0 && (length - i) % 3 == 0) out.push_back(L',');
        out.push_back(text[i]);
    }
    return out;
}

namespace {

// Splits at `separator` into exactly three pieces; false for any other count.
bool SplitThree(std::string_view text, char separator, std::array<std::string_view, 3>& pieces) {
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t cut = text.find(separator, start);
        const std::string_view piece = text.substr(start, cut == std::string_view::npos ? text.npos : cut - start);
        if (count == 3) return false;
        pieces[count++] = piece;
        if (cut == std::string_view::npos) break;
        start = cut + 1;
    }
    return count == 3;
}

// The leading decimal digits of a piece; none gives 0. Values beyond a WORD are clamped so
// that they fail the date check instead of wrapping into a valid date.
WORD LeadingNumber(std::string_view piece) {
    unsigned value = 0;
    for (char c : piece) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 0xFFFF) return 0xFFFF;
    }
    return static_cast<WORD>(value);
}

}  // namespace

std::wstring FormatModified(std::string_view date, std::string_view time) {
    std::array<std::string_view, 3> datePieces, timePieces;
    if (!SplitThree(date, '-', datePieces) || !SplitThree(time, ':', timePieces)) return {};
    SYSTEMTIME when{};
    when.wYear = LeadingNumber(datePieces[0]);
    when.wMonth = LeadingNumber(datePieces[1]);
    when.wDay = LeadingNumber(datePieces[2]);
    when.wHour = LeadingNumber(timePieces[0]);
    when.wMinute = LeadingNumber(timePieces[1]);
    when.wSecond = LeadingNumber(timePieces[2]);
    // The engine's time is shown as it is (UTC), without conversion to local time.
    wchar_t dateText[256] = {};
    wchar_t timeText[256] = {};
    if (!GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &when, nullptr, dateText, 256)) return {};
    if (!GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_NOSECONDS, &when, nullptr, timeText, 256)) return {};
    std::wstring out = dateText;
    out += L' ';
    out += timeText;
    return out;
}
