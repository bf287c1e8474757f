// The fvar table's view: a read-only list of the header, then one row per
// axis (tag and name; minimum, default and maximum) and one per named
// instance (its name; the coordinates on each axis), as decimal numbers.
#include "font/fvar.h"

#include "font/field_list.h"
#include "font/name.h"
#include "font/ttf.h"

#include <cstdio>
#include <string>

namespace {

const field_row ROWS[] = {{"majorVersion", 0, 2}, {"minorVersion", 2, 2}, {"axesArrayOffset", 4, 2},
                          {"axisCount", 8, 2},    {"axisSize", 10, 2},    {"instanceCount", 12, 2},
                          {"instanceSize", 14, 2}};
const int COUNT = sizeof ROWS / sizeof ROWS[0];
// Rows that fit the view's 512 pixels.
const int MAX_ROWS = 32;

// A Fixed value as the shortest decimal that shows it (to 1/1000).
std::string number(double v) {
    char text[32];
    snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string tag_text(uint32_t tag) {
    char text[5] = {(char)(tag >> 24), (char)(tag >> 16), (char)(tag >> 8), (char)tag, 0};
    return text;
}

// Name `id` of the font's name table: the Windows Unicode record (US
// English first), else any other; empty when there is none.
std::string name_of(ttf* font, uint16_t id) {
    if (!font || !font->name)
        return "";
    std::string found;
    int rank = 0;
    for (int i = 0, n = font->name->count(); i < n; i++) {
        unsigned short platform, encoding, language, nameid;
        char text[256];
        long length = sizeof text;
        if (font->name->get_field(i, &platform, &encoding, &language, &nameid, &length, text) !=
                0 ||
            nameid != id || length == 0)
            continue;
        int r = platform == 3 && language == 0x409 ? 3 : platform == 3 ? 2 : 1;
        if (r > rank) {
            rank = r;
            found = text;
        }
    }
    return found;
}

} // namespace

void ttf_fvar::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_fvar::redraw() {
    draw_field_rows(this, bytes(), ROWS, COUNT, FIELD_LABEL_X, FIELD_VALUE_X, 20);
    std::vector<std::string> labels, values;
    const int axes = axis_count(), instances = instance_count();
    std::vector<uint32_t> tags;
    for (int i = 0; i < axes; i++) {
        fvar_axis a;
        axis(i, &a);
        tags.push_back(a.tag);
        std::string name = name_of(owner, a.nameid);
        labels.push_back("axis " + tag_text(a.tag) + (name.empty() ? "" : " " + name));
        values.push_back("min " + number(a.min) + "  default " + number(a.def) + "  max " +
                         number(a.max));
    }
    for (int i = 0; i < instances; i++) {
        fvar_instance in;
        instance(i, &in);
        std::string name = name_of(owner, in.nameid);
        labels.push_back("instance " + (name.empty() ? std::to_string(i) : name));
        std::string v;
        for (size_t a = 0; a < in.coordinates.size() && a < tags.size(); a++)
            v += (a ? "  " : "") + tag_text(tags[a]) + " " + number(in.coordinates[a]);
        values.push_back(v);
    }
    const int room = MAX_ROWS - COUNT - 1;
    const int shown = (int)labels.size() <= room ? (int)labels.size() : room - 1;
    float y = 20 + FIELD_ROW_STEP * (COUNT + 1);
    for (int k = 0; k < shown; k++, y += FIELD_ROW_STEP) {
        DrawString(labels[k].c_str(), BPoint(FIELD_LABEL_X, y));
        DrawString(values[k].c_str(), BPoint(FIELD_VALUE_X, y));
    }
    if (shown < (int)labels.size()) {
        std::string more = "... and " + std::to_string(labels.size() - shown) + " more";
        DrawString(more.c_str(), BPoint(FIELD_LABEL_X, y));
    }
}
