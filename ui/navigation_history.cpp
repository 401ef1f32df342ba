#include "ui/navigation_history.h"

#include <windows.h>

namespace {

bool SamePlace(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

}  // namespace

void NavigationHistory::Visit(const std::wstring& place) {
    if (place.empty()) return;
    if (!places_.empty()) {
        if (SamePlace(places_[current_], place)) {
            places_[current_] = place;
            return;
        }
        places_.resize(current_ + 1);
    }
    places_.push_back(place);
    if (places_.size() > kMostPlaces) places_.erase(places_.begin());
    current_ = places_.size() - 1;
}

std::optional<std::wstring> NavigationHistory::Target(int steps) const {
    const long long target = static_cast<long long>(current_) + steps;
    if (places_.empty() || steps == 0 || target < 0 || target >= static_cast<long long>(places_.size()))
        return std::nullopt;
    return places_[static_cast<size_t>(target)];
}

void NavigationHistory::Step(int steps, const std::wstring& reached) {
    if (!Target(steps)) return;
    current_ = static_cast<size_t>(static_cast<long long>(current_) + steps);
    if (!reached.empty()) places_[current_] = reached;
}
