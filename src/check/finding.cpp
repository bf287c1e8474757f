#include "check/finding.h"

#include <tuple>

const char* severity_name(severity s) {
    switch (s) {
    case severity::error:
        return "error";
    case severity::warning:
        return "warning";
    case severity::note:
        return "note";
    }
    return "error";
}

std::string tag_text(uint32_t tag) {
    return tag == DIRECTORY_TAG ? "directory" : tag_chars(tag);
}

std::string tag_chars(uint32_t tag) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = (char)(tag >> shift);
        // A damaged directory may hold any bytes: they are shown, never
        // printed raw.
        s += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return s;
}

bool finding_before(const finding& a, const finding& b) {
    return std::tie(a.level, a.table, a.glyph, a.point, a.message) <
           std::tie(b.level, b.table, b.glyph, b.point, b.message);
}
