#include "app/window_title.h"

std::string window_title(const title_parts& parts) {
    if (!parts.font)
        return "tavrel";
    std::string title;
    if (parts.path.empty()) {
        title = "Untitled";
    } else {
        size_t slash = parts.path.rfind('/');
        title = slash == std::string::npos ? parts.path : parts.path.substr(slash + 1);
    }
    if (parts.face >= 0)
        title += " #" + std::to_string(parts.face);
    if (parts.variable)
        title += " (variable)";
    title += " \u2014 tavrel";
    if (parts.changed)
        title += " *";
    return title;
}
