#include "editor/SystemColors.h"

#include <array>
#include <cstdint>

namespace {

// The window system's colour indices 0 to 24, mapped onto palette roles.
constexpr std::array<QPalette::ColorRole, 25> SystemColourRoles = {
    QPalette::Window,           // 0 scroll bar
    QPalette::Window,           // 1 desktop
    QPalette::Highlight,        // 2 active caption
    QPalette::Window,           // 3 inactive caption
    QPalette::Window,           // 4 menu
    QPalette::Base,             // 5 window background
    QPalette::Dark,             // 6 window frame
    QPalette::WindowText,       // 7 menu text
    QPalette::WindowText,       // 8 window text
    QPalette::HighlightedText,  // 9 caption text
    QPalette::Window,           // 10 active border
    QPalette::Window,           // 11 inactive border
    QPalette::Dark,             // 12 application workspace
    QPalette::Highlight,        // 13 highlight
    QPalette::HighlightedText,  // 14 highlighted text
    QPalette::Button,           // 15 button face
    QPalette::Dark,             // 16 button shadow
    QPalette::PlaceholderText,  // 17 grey text
    QPalette::ButtonText,       // 18 button text
    QPalette::WindowText,       // 19 inactive caption text
    QPalette::Light,            // 20 button highlight
    QPalette::Shadow,           // 21 dark shadow
    QPalette::Midlight,         // 22 light
    QPalette::ToolTipText,      // 23 tooltip text
    QPalette::ToolTipBase,      // 24 tooltip background
};

}  // namespace

QColor ResolveColor(glyph::TColor colour, const QPalette& palette) {
    const auto value = static_cast<std::uint32_t>(colour);
    if ((value >> 24) == 0xFF) {
        const std::uint32_t index = value & 0xFF;
        return palette.color(index < SystemColourRoles.size() ? SystemColourRoles[index]
                                                              : QPalette::Window);
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}
