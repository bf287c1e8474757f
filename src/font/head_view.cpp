// The head table's view: a read-only field list, the two dates also shown
// as local calendar time.
#include "font/head.h"

#include "font/field_list.h"

#include <cstring>

namespace {

const field_row ROWS[] = {{"tableVersionNumber", 0, 4},
                          {"fontRevision", 4, 4},
                          {"checkSumAdjustment", 8, 4},
                          {"magicNumber", 12, 4},
                          {"flags", 16, 2},
                          {"unitsPerEm", 18, 2},
                          {"created", 20, 8},
                          {"modified", 28, 8},
                          {"xMin", 36, 2},
                          {"yMin", 38, 2},
                          {"xMax", 40, 2},
                          {"yMax", 42, 2},
                          {"macStyle", 44, 2},
                          {"lowestRecPPEM", 46, 2},
                          {"fontDirectionHint", 48, 2},
                          {"indexToLocFormat", 50, 2},
                          {"glyphDataFormat", 52, 2}};
const int COUNT = sizeof ROWS / sizeof ROWS[0];
const int CREATED = 6, MODIFIED = 7;

} // namespace

void ttf_head::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_head::redraw() {
    byte_span b = bytes();
    char text[96];
    for (int k = 0; k < COUNT; k++) {
        float y = 20 + FIELD_ROW_STEP * k;
        DrawString(ROWS[k].label, BPoint(FIELD_LABEL_X, y));
        format_field(b, ROWS[k], text, sizeof text);
        if ((k == CREATED || k == MODIFIED) && strcmp(text, FIELD_MISSING) != 0)
            append_date(b.u64(ROWS[k].offset), epoch1904, text, sizeof text);
        DrawString(text, BPoint(FIELD_VALUE_X, y));
    }
}
