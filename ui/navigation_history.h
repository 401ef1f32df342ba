#pragma once
// The places a window has shown, for Back and Forward: a list with a current position, as in a
// web browser. A new place drops the places ahead of the current one.
#include <optional>
#include <string>
#include <vector>

class NavigationHistory {
public:
    // The window shows `place` (a folder, "Computer", or a path inside an archive). Nothing
    // changes when it is the current place already.
    void Visit(const std::wstring& place);
    bool CanGoBack() const { return current_ > 0; }
    bool CanGoForward() const { return current_ + 1 < places_.size(); }
    // The place `steps` away from the current one (negative: back), or none.
    std::optional<std::wstring> Target(int steps) const;
    // The window went `steps` away and shows `reached` there (which may differ from the place
    // recorded, say a folder of an archive that has gone since).
    void Step(int steps, const std::wstring& reached);

private:
    // Enough for any session; the oldest places go first.
    static constexpr size_t kMostPlaces = 100;
    std::vector<std::wstring> places_;
    size_t current_ = 0;
};
