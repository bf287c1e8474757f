// The maxp table's view: a field list with one editable field,
// maxStackElements (the only maximum that neither the glyphs nor the
// instructions of this editor determine).
#include "font/maxp.h"

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

const field_column COLUMNS[] = {
    {ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X, 20}};
// Version 0.5 (fonts with CFF outlines) is six bytes: numGlyphs alone.
const field_edit EDIT = {"maxstackelements", "maxStackElements", 24, 2,
                         "This maxp table (version 0.5, for CFF outlines) has no "
                         "maxStackElements: nothing was changed."};
const field_layout LAYOUT = {COLUMNS, 1, 11, &EDIT, 0};

} // namespace

const field_layout& ttf_maxp::fields() const {
    return LAYOUT;
}
