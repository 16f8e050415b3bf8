#include "editor/SystemColors.h"

#include <cstdint>

namespace {

// System colour indices of the window system, mapped onto palette roles.
QPalette::ColorRole RoleOfSystemColour(int index) {
    switch (index) {
        case 1:  // desktop
        case 4:  // menu
            return QPalette::Window;
        case 5:  // window background
            return QPalette::Base;
        case 6:   // window frame
        case 16:  // button shadow
            return QPalette::Dark;
        case 7:  // menu text
        case 8:  // window text
            return QPalette::WindowText;
        case 13:
            return QPalette::Highlight;
        case 14:
            return QPalette::HighlightedText;
        case 15:  // button face
            return QPalette::Button;
        case 17:
            return QPalette::PlaceholderText;
        case 18:
            return QPalette::ButtonText;
        case 20:  // button highlight
            return QPalette::Light;
        case 21:  // dark shadow
            return QPalette::Shadow;
        case 22:  // light
            return QPalette::Midlight;
        case 23:
            return QPalette::ToolTipText;
        case 24:
            return QPalette::ToolTipBase;
        default:
            return QPalette::Window;
    }
}

}  // namespace

QColor ResolveColor(glyph::TColor colour, const QPalette& palette) {
    const auto value = static_cast<std::uint32_t>(colour);
    if ((value >> 24) == 0xFF)
        return palette.color(RoleOfSystemColour(static_cast<int>(value & 0xFF)));
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}
