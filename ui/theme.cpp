#include "ui/theme.h"

#include <commctrl.h>

#include <mutex>
#include <utility>
#include <vector>

#include "base/handles.h"
#include "base/registry_numbers.h"
#include "ui/scheme_painting.h"

namespace {

constexpr wchar_t kPersonalizeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kAppsUseLightTheme[] = L"AppsUseLightTheme";
constexpr DWORD kUseImmersiveDarkMode = 20;  // DWMWA_USE_IMMERSIVE_DARK_MODE

// Missing or unreadable: light, as Windows has it.
bool AppsUseLightTheme() {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalizeKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return true;
    const std::optional<DWORD> value = ReadRegistryNumber(key.get(), kAppsUseLightTheme);
    return !value || *value != 0;
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

struct SchemeState {
    bool read = false;
    ColorScheme scheme = ColorScheme::Light;
    ThemeColors colors{};
};

std::mutex& StateLock() {
    static std::mutex lock;
    return lock;
}

// Under StateLock.
SchemeState& State() {
    static SchemeState state;
    if (!state.read) {
        state.read = true;
        state.scheme = SchemeFor(HighContrastOn(), AppsUseLightTheme());
        state.colors = ColorsOf(state.scheme);
    }
    return state;
}

// A function of a system library that older systems lack (null then).
template <class F>
F SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);  // kept for the run
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return lstrcmpiW(className, name) == 0;
}

// Controls that take colours of their own: the scheme's given to them.
void ColorControl(HWND child) {
    const ThemeColors colors = Colors();
    if (IsClass(child, WC_LISTVIEWW)) {
        SendMessageW(child, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colors.window));
        SendMessageW(child, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colors.window));
        SendMessageW(child, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colors.windowText));
        SchemeListHeader(child);
    } else if (IsClass(child, PROGRESS_CLASSW)) {
        SchemeProgressBar(child);
    }
}

BOOL CALLBACK ThemeChild(HWND child, LPARAM dark) {
    using SetWindowThemeFunc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setTheme = SystemFunction<SetWindowThemeFunc>(L"uxtheme.dll", "SetWindowTheme");
    if (setTheme) {
        const bool box = IsClass(child, WC_EDITW);
        // A rebar and a drop-down box take colours only without a visual style (a box's border
        // and button are drawn in the scheme: SchemeEdges).
        const bool plain = IsClass(child, REBARCLASSNAMEW) || IsClass(child, WC_COMBOBOXW);
        if (!dark)
            setTheme(child, nullptr, nullptr);
        else
            setTheme(child, plain ? L"" : box ? L"DarkMode_CFD" : L"DarkMode_Explorer", plain ? L"" : nullptr);
    }
    ColorControl(child);
    if (IsClass(child, WC_COMBOBOXW) || IsClass(child, WC_EDITW) || IsClass(child, WC_LISTVIEWW)) SchemeEdges(child);
    return TRUE;
}

}  // namespace

ColorScheme CurrentScheme() {
    std::lock_guard<std::mutex> hold(StateLock());
    return State().scheme;
}

ThemeColors Colors() {
    std::lock_guard<std::mutex> hold(StateLock());
    return State().colors;
}

bool RefreshScheme() {
    const bool highContrast = HighContrastOn();
    const bool light = AppsUseLightTheme();
    std::lock_guard<std::mutex> hold(StateLock());
    SchemeState& state = State();
    const ColorScheme before = state.scheme;
    state.scheme = SchemeFor(highContrast, light);
    state.colors = ColorsOf(state.scheme);
    // Outside the dark scheme the system's own colours may have changed too.
    return state.scheme != before || state.scheme != ColorScheme::Dark;
}

bool IsSchemeSettingChange(WPARAM wParam, LPARAM lParam) {
    if (wParam == SPI_SETHIGHCONTRAST) return true;
    const auto* area = reinterpret_cast<const wchar_t*>(lParam);
    return area && lstrcmpiW(area, L"ImmersiveColorSet") == 0;
}

HBRUSH SchemeBrush(COLORREF color) {
    // A handful of colours in a run; their brushes live as long as it.
    static std::mutex lock;
    static std::vector<std::pair<COLORREF, UniqueGdiObject>> brushes;
    std::lock_guard<std::mutex> hold(lock);
    for (const auto& [known, brush] : brushes)
        if (known == color) return static_cast<HBRUSH>(brush.get());
    UniqueGdiObject brush(CreateSolidBrush(color));
    if (!brush) return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    HBRUSH handle = static_cast<HBRUSH>(brush.get());
    brushes.emplace_back(color, std::move(brush));
    return handle;
}

HBRUSH ControlColors(UINT message, HDC dc) {
    if (!DarkScheme()) return nullptr;
    const ThemeColors colors = Colors();
    const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    SetTextColor(dc, field ? colors.windowText : colors.faceText);
    SetBkColor(dc, field ? colors.window : colors.face);
    return SchemeBrush(field ? colors.window : colors.face);
}

void ApplySchemeToWindow(HWND window) {
    if (!window) return;
    const bool dark = DarkScheme();
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
        using DwmSetWindowAttributeFunc = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
        static const auto setAttribute =
            SystemFunction<DwmSetWindowAttributeFunc>(L"dwmapi.dll", "DwmSetWindowAttribute");
        const BOOL value = dark ? TRUE : FALSE;
        if (setAttribute) setAttribute(window, kUseImmersiveDarkMode, &value, sizeof(value));  // a failure leaves it light
    }
    ThemeChild(window, dark);
    EnumChildWindows(window, ThemeChild, dark);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
