// Texts of the rows: numbers, dates and times as the user's locale writes them.
#include <windows.h>

#include <string>

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

// The user's way of writing numbers: separators and grouping, read once.
struct NumberWriting {
    wchar_t decimal[8] = L".";
    wchar_t thousand[8] = L",";
    UINT grouping = 3;
    UINT negativeOrder = 1;
};

const NumberWriting& UserNumberWriting() {
    static const NumberWriting writing = [] {
        NumberWriting read;
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, read.decimal, 8);
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, read.thousand, 8);
        // "3;0" (threes, repeated) is 3 here, "3;2;0" is 32, "3" (one group only) is 30.
        wchar_t groups[16] = {};
        if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, groups, 16) > 0) {
            std::wstring digits;
            for (const wchar_t* c = groups; *c; ++c)
                if (*c >= L'0' && *c <= L'9') digits.push_back(*c);
            if (!digits.empty() && digits.back() == L'0') digits.pop_back();
            else digits.push_back(L'0');
            if (!digits.empty() && digits.size() < 9) read.grouping = static_cast<UINT>(std::stoul(digits));
        }
        DWORD order = 1;
        if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_INEGNUMBER | LOCALE_RETURN_NUMBER,
                            reinterpret_cast<wchar_t*>(&order), sizeof(order) / sizeof(wchar_t)) > 0)
            read.negativeOrder = order;
        return read;
    }();
    return writing;
}

}  // namespace

std::wstring LocaleNumberText(const std::wstring& number, unsigned fractionDigits) {
    const NumberWriting& writing = UserNumberWriting();
    NUMBERFMTW format{fractionDigits, 1, writing.grouping, const_cast<wchar_t*>(writing.decimal),
                      const_cast<wchar_t*>(writing.thousand), writing.negativeOrder};
    wchar_t text[96] = {};
    if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, number.c_str(), &format, text, 96) > 0) return text;
    return number;
}

std::wstring FormatGroupedNumber(uint64_t value) { return LocaleNumberText(std::to_wstring(value), 0); }

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
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, dateText, 256, nullptr)) return {};
    if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, timeFlags, &when, nullptr, timeText, 256)) return {};
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
