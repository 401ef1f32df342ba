// Texts of the rows: grouped sizes and the locale's date and time.
#include <windows.h>

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

std::wstring FormatGroupedNumber(uint64_t value) {
    wchar_t digits[32];
    wchar_t* end = digits + 32;
    wchar_t* p = end;
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            *--p = L',';
            inGroup = 0;
        }
        *--p = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
        ++inGroup;
    } while (value != 0);
    return std::wstring(p, end);
}

namespace {

std::wstring DateAndTime(uint64_t fileTime, DWORD timeFlags) {
    const FILETIME time{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME when{};
    // The engine's time is shown as it is (UTC), without conversion to local time.
    if (!FileTimeToSystemTime(&time, &when)) return {};
    when.wMilliseconds = 0;
    when.wDayOfWeek = 0;
    wchar_t dateText[256] = {};
    wchar_t timeText[256] = {};
    if (!GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &when, nullptr, dateText, 256)) return {};
    if (!GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, timeFlags, &when, nullptr, timeText, 256)) return {};
    std::wstring out = dateText;
    out += L' ';
    out += timeText;
    return out;
}

}  // namespace

std::wstring FormatModified(uint64_t fileTime) { return DateAndTime(fileTime, TIME_NOSECONDS); }

std::wstring FormatModifiedWithSeconds(uint64_t fileTime) { return DateAndTime(fileTime, 0); }

std::wstring CrcText(uint32_t crc) {
    wchar_t text[9];
    for (int i = 7; i >= 0; --i, crc >>= 4) text[i] = L"0123456789ABCDEF"[crc & 15];
    text[8] = 0;
    return text;
}
