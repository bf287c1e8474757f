// The maxp table's view: a field list.
#include "font/maxp.h"

#include "font/field_list.h"

namespace {

const field_row ROWS[] = {{"tableVersionNumber", 0, 4},
                          {"numGlyphs", 4, 2},
                          {"maxPoints", 6, 2},
                          {"maxContours", 8, 2},
                          {"maxCompositePoints", 10, 2},
                          {"maxCompositeContours", 12, 2},
                          {"maxZones", 14, 2},
                          {"maxTwilightPoints", 16, 2},
                          {"maxStorage", 18, 2},
                          {"maxFunctionDefs", 20, 2},
                          {"maxInstructionDefs", 22, 2},
                          {"maxStackElements", 24, 2},
                          {"maxSizeOfInstructions", 26, 2},
                          {"maxComponentElements", 28, 2},
                          {"maxComponentDepth", 30, 2}};

} // namespace

void ttf_maxp::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_maxp::redraw() {
    draw_field_rows(this, bytes(), ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X,
                    20);
}
