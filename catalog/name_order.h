#pragma once
// The order of names as lstrcmpiW gives it (the locale's order, case ignored), made once for a
// whole listing: each name gets the locale's sort key, and the keys are sorted as bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// The rank of each of `count` names in that order: equal names share a rank, and a lower rank
// comes first. May throw std::bad_alloc.
std::vector<uint32_t> RankNames(size_t count, const std::function<std::wstring_view(size_t)>& nameAt);
