#include "ui/theme_colors.h"

ColorScheme SchemeFor(bool highContrast, bool appsUseLightTheme) {
    if (highContrast) return ColorScheme::HighContrast;
    return appsUseLightTheme ? ColorScheme::Light : ColorScheme::Dark;
}

ThemeColors ColorsOf(ColorScheme scheme) {
    if (scheme == ColorScheme::Dark) {
        return ThemeColors{
            RGB(32, 32, 32),    RGB(241, 241, 241),  // window
            RGB(43, 43, 43),    RGB(241, 241, 241),  // face
            RGB(0, 84, 153),    RGB(255, 255, 255),  // highlight
            RGB(128, 128, 128),                      // gray text
            RGB(70, 70, 70),                         // lines
            RGB(66, 66, 66),                         // hot
        };
    }
    return ThemeColors{
        GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
        GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNTEXT),
        GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
        GetSysColor(COLOR_GRAYTEXT),  GetSysColor(COLOR_BTNSHADOW),
        GetSysColor(COLOR_HOTLIGHT),
    };
}
