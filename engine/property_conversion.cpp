// Turning the engine's property values into the texts and numbers of the listing.
#include "engine/archive_listing.h"
#include "engine/property_text.h"

namespace {

std::wstring SignedText(int64_t value) {
    if (value >= 0) return decimalText(static_cast<uint64_t>(value));
    // Negate in unsigned arithmetic so that the smallest value does not overflow.
    return L"-" + decimalText(0 - static_cast<uint64_t>(value));
}

void PutTwoDigits(wchar_t* out, unsigned value) {
    out[0] = static_cast<wchar_t>(L'0' + value / 10 % 10);
    out[1] = static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

std::wstring decimalText(uint64_t value) {
    wchar_t digits[24];
    wchar_t* end = digits + 24;
    wchar_t* p = end;
    do {
        *--p = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::wstring(p, end);
}


void fileTimeParts(const FILETIME& time, std::wstring& date, std::wstring& clock) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&time, &st)) {
        date.clear();
        clock.clear();
        return;
    }
    date = decimalText(st.wYear);
    if (date.size() < 4) date.insert(0, 4 - date.size(), L'0');
    const size_t yearLength = date.size();
    date.resize(yearLength + 6);
    wchar_t* p = date.data() + yearLength;
    p[0] = L'-';
    PutTwoDigits(p + 1, st.wMonth);
    p[3] = L'-';
    PutTwoDigits(p + 4, st.wDay);

    clock.resize(8);
    p = clock.data();
    PutTwoDigits(p, st.wHour);
    p[2] = L':';
    PutTwoDigits(p + 3, st.wMinute);
    p[5] = L':';
    PutTwoDigits(p + 6, st.wSecond);
}

std::wstring propertyToText(const PROPVARIANT& value) {
    switch (value.vt) {
    case VT_EMPTY: return {};
    case VT_I1: return SignedText(value.cVal);
    case VT_I2: return SignedText(value.iVal);
    case VT_I4: return SignedText(value.lVal);
    case VT_INT: return SignedText(value.intVal);
    case VT_I8: return SignedText(value.hVal.QuadPart);
    case VT_UI1: return decimalText(value.bVal);
    case VT_UI2: return decimalText(value.uiVal);
    case VT_UI4: return decimalText(value.ulVal);
    case VT_UINT: return decimalText(value.uintVal);
    case VT_UI8: return decimalText(value.uhVal.QuadPart);
    case VT_BSTR:
        return value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : std::wstring();
    case VT_BOOL: return value.boolVal != VARIANT_FALSE ? L"+" : L"-";
    case VT_FILETIME: {
        std::wstring date, clock;
        fileTimeParts(value.filetime, date, clock);
        return date.empty() ? date : date + L' ' + clock;
    }
    default:
        // A type the listing has no use for: shown as no value rather than refused.
        return {};
    }
}

uint64_t propertyToUInt64(const PROPVARIANT& value) {
    switch (value.vt) {
    case VT_UI1: return value.bVal;
    case VT_UI2: return value.uiVal;
    case VT_UI4: return value.ulVal;
    case VT_UINT: return value.uintVal;
    case VT_UI8: return value.uhVal.QuadPart;
    default:
        // Empty or of another type: no number. Callers that must tell the two apart check the
        // type themselves (propertyIsUnsigned).
        return 0;
    }
}

bool propertyIsUnsigned(const PROPVARIANT& value) {
    switch (value.vt) {
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
    case VT_UI8: return true;
    default: return false;
    }
}
