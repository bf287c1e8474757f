#include "InterfaceDefs.h"

#include <algorithm>
#include <cmath>

rgb_color ui_color(color_which which) {
    switch (which) {
    case B_PANEL_BACKGROUND_COLOR:
    case B_MENU_BACKGROUND_COLOR:
    case B_CONTROL_BACKGROUND_COLOR:
        return rgb_color{216, 216, 216, 255};
    case B_WINDOW_TAB_COLOR:
        return rgb_color{255, 203, 0, 255};
    case B_KEYBOARD_NAVIGATION_COLOR:
    case B_CONTROL_HIGHLIGHT_COLOR:
        return rgb_color{0, 0, 229, 255};
    case B_DESKTOP_COLOR:
        return rgb_color{51, 102, 152, 255};
    case B_MENU_SELECTION_BACKGROUND_COLOR:
        return rgb_color{115, 120, 184, 255};
    case B_MENU_SELECTED_ITEM_TEXT_COLOR:
    case B_DOCUMENT_BACKGROUND_COLOR:
    case B_SHINE_COLOR:
        return rgb_color{255, 255, 255, 255};
    case B_MENU_SELECTED_BORDER_COLOR:
    case B_CONTROL_BORDER_COLOR:
        return rgb_color{96, 96, 96, 255};
    case B_MENU_ITEM_TEXT_COLOR:
    case B_PANEL_TEXT_COLOR:
    case B_DOCUMENT_TEXT_COLOR:
    case B_CONTROL_TEXT_COLOR:
    case B_SHADOW_COLOR:
        return rgb_color{0, 0, 0, 255};
    }
    return rgb_color{216, 216, 216, 255};
}

rgb_color tint_color(rgb_color color, float tint) {
    if (!std::isfinite(tint))
        return color;
    auto channel = [tint](uint8 v) {
        double out;
        if (tint < 1.0f)
            out = 255 - (255 - v) * tint; // towards white
        else
            out = v * (2.0 - tint); // towards black
        return (uint8)std::clamp((int)std::lround(out), 0, 255);
    };
    return rgb_color{channel(color.red), channel(color.green), channel(color.blue), color.alpha};
}
