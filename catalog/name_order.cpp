#include "catalog/name_order.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

std::vector<uint32_t> RankNames(size_t count, const std::function<std::wstring_view(size_t)>& nameAt) {
    // lstrcmpiW compares in the thread's locale, up to the first terminator.
    const LCID locale = GetThreadLocale();
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::vector<uint8_t> keys;
    std::vector<uint32_t> starts(count + 1, 0);
    keys.reserve(count * 40);
    std::vector<uint8_t> scratch(512);
    for (size_t i = 0; i < count; ++i) {
        std::wstring_view name = nameAt(i);
        name = name.substr(0, name.find(L'\0'));
        int length = 0;
        if (!name.empty() && name.size() < 0x7FFFFFF) {
            const int units = static_cast<int>(name.size());
            length = LCMapStringW(locale, kFlags, name.data(), units, reinterpret_cast<LPWSTR>(scratch.data()),
                                  static_cast<int>(scratch.size()));
            if (length == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
                const int needed = LCMapStringW(locale, kFlags, name.data(), units, nullptr, 0);
                if (needed > 0) {
                    scratch.resize(static_cast<size_t>(needed));
                    length = LCMapStringW(locale, kFlags, name.data(), units, reinterpret_cast<LPWSTR>(scratch.data()),
                                          needed);
                }
            }
        }
        if (keys.size() + static_cast<size_t>(length) > 0xFFFFFFFFu) throw std::bad_alloc();
        keys.insert(keys.end(), scratch.data(), scratch.data() + length);
        starts[i + 1] = static_cast<uint32_t>(keys.size());
    }

    const uint8_t* pool = keys.data();
    auto less = [&](uint32_t a, uint32_t b) {
        const uint32_t lengthA = starts[a + 1] - starts[a], lengthB = starts[b + 1] - starts[b];
        const int order = std::memcmp(pool + starts[a], pool + starts[b], std::min(lengthA, lengthB));
        return order != 0 ? order < 0 : lengthA < lengthB;
    };
    std::vector<uint32_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = static_cast<uint32_t>(i);
    // Archives often list their names in order already: then no sort is needed.
    bool sorted = true;
    for (size_t i = 1; i < count && sorted; ++i) sorted = !less(order[i], order[i - 1]);
    if (!sorted) std::sort(order.begin(), order.end(), less);

    std::vector<uint32_t> ranks(count, 0);
    uint32_t rank = 0;
    for (size_t k = 0; k < count; ++k) {
        if (k > 0 && less(order[k - 1], order[k])) ++rank;
        ranks[order[k]] = rank;
    }
    return ranks;
}
