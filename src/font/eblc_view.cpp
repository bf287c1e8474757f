// The EBLC table's view: version and strike count, then one column per
// strike with its colour reference, line metrics, glyph range, sizes, bit
// depth and flags. Only strikes that lie wholly inside the table are shown.
#include "font/eblc.h"

#include "font/field_list.h"

#include <cstdio>

namespace {

const char* const LABELS[] = {"version",
                              "numSizes",
                              "colorRef",
                              "hori-ascender",
                              "hori-descender",
                              "hori-widthMax",
                              "hori-caretSlopeNumerator",
                              "hori-caretSlopeDenominator",
                              "hori-caretOffset",
                              "hori-minOriginSB",
                              "hori-minAdvanceSB",
                              "hori-maxBeforeBL",
                              "hori-minAfterBL",
                              "hori-pad1",
                              "hori-pad2",
                              "vert-ascender",
                              "vert-descender",
                              "vert-widthMax",
                              "vert-caretSlopeNumerator",
                              "vert-caretSlopeDenominator",
                              "vert-caretOffset",
                              "vert-minOriginSB",
                              "vert-minAdvanceSB",
                              "vert-maxBeforeBL",
                              "vert-minAfterBL",
                              "vert-pad1",
                              "vert-pad2",
                              "startGlyphIndex",
                              "endGlyphIndex",
                              "ppemX",
                              "ppemY",
                              "bitDepth",
                              "flags"};
const int LABEL_COUNT = sizeof LABELS / sizeof LABELS[0];

const field_row HEADER[] = {{"version", 0, 4}, {"numSizes", 4, 4}};

const unsigned RECORDS = 8, RECORD_SIZE = 48;
const float COLUMN_STEP = 70;

} // namespace

void ttf_eblc::Draw(BRect update) {
    field_list_begin(this, update);
    // The caret-slope labels are the longest of any list.
    SetFontSize(10);
    redraw();
}

void ttf_eblc::redraw() {
    byte_span b = bytes();
    draw_field_labels(this, LABELS, LABEL_COUNT, FIELD_LABEL_X, 20);
    char text[32];
    for (int k = 0; k < 2; k++) {
        format_field(b, HEADER[k], text, sizeof text);
        DrawString(text, BPoint(FIELD_VALUE_X, 20 + FIELD_ROW_STEP * k));
    }
    int strikes = strike_count();
    for (int c = 0; c < strikes; c++) {
        unsigned base = RECORDS + RECORD_SIZE * c;
        float x = FIELD_VALUE_X + COLUMN_STEP * c;
        float y = 50;
        format_field(b, field_row{"", base + 12, 4}, text, sizeof text);
        DrawString(text, BPoint(x, y));
        for (unsigned i = 0; i < 24; i++) {
            y += FIELD_ROW_STEP;
            format_field(b, field_row{"", base + 16 + i, 1}, text, sizeof text);
            DrawString(text, BPoint(x, y));
        }
        for (unsigned i = 0; i < 2; i++) {
            y += FIELD_ROW_STEP;
            format_field(b, field_row{"", base + 40 + 2 * i, 2}, text, sizeof text);
            DrawString(text, BPoint(x, y));
        }
        for (unsigned i = 0; i < 4; i++) {
            y += FIELD_ROW_STEP;
            format_field(b, field_row{"", base + 44 + i, 1}, text, sizeof text);
            DrawString(text, BPoint(x, y));
        }
    }
}
