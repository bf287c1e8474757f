#include "app/window_title.h"

std::string font_label(const std::string& path, int face) {
    std::string label = path.empty() ? std::string("Untitled") : path.substr(path.rfind('/') + 1);
    if (face >= 0)
        label += " #" + std::to_string(face);
    return label;
}

std::string window_title(const title_parts& parts) {
    if (!parts.font)
        return "tavrel";
    std::string title = font_label(parts.path, parts.face);
    if (parts.variable)
        title += " (variable)";
    title += " \u2014 tavrel";
    if (parts.changed)
        title += " *";
    return title;
}
