// The EBLC table's view: version and strike count, then one column per
// strike with its colour reference, line metrics, glyph range, sizes, bit
// depth and flags. Only strikes that lie wholly inside the table are shown.
#include "font/eblc.h"

namespace {

const field_row HEADER[] = {{"version", 0, 4}, {"numSizes", 4, 4}};

// A strike's record, offsets from its start; its first three fields (the
// index array's place and size, the number of subtables) are not shown.
const field_row STRIKE[] = {{"colorRef", 12, 4},
                            {"hori-ascender", 16, 1},
                            {"hori-descender", 17, 1},
                            {"hori-widthMax", 18, 1},
                            {"hori-caretSlopeNumerator", 19, 1},
                            {"hori-caretSlopeDenominator", 20, 1},
                            {"hori-caretOffset", 21, 1},
                            {"hori-minOriginSB", 22, 1},
                            {"hori-minAdvanceSB", 23, 1},
                            {"hori-maxBeforeBL", 24, 1},
                            {"hori-minAfterBL", 25, 1},
                            {"hori-pad1", 26, 1},
                            {"hori-pad2", 27, 1},
                            {"vert-ascender", 28, 1},
                            {"vert-descender", 29, 1},
                            {"vert-widthMax", 30, 1},
                            {"vert-caretSlopeNumerator", 31, 1},
                            {"vert-caretSlopeDenominator", 32, 1},
                            {"vert-caretOffset", 33, 1},
                            {"vert-minOriginSB", 34, 1},
                            {"vert-minAdvanceSB", 35, 1},
                            {"vert-maxBeforeBL", 36, 1},
                            {"vert-minAfterBL", 37, 1},
                            {"vert-pad1", 38, 1},
                            {"vert-pad2", 39, 1},
                            {"startGlyphIndex", 40, 2},
                            {"endGlyphIndex", 42, 2},
                            {"ppemX", 44, 1},
                            {"ppemY", 45, 1},
                            {"bitDepth", 46, 1},
                            {"flags", 47, 1}};
const int STRIKE_ROWS = sizeof STRIKE / sizeof STRIKE[0];

const unsigned RECORDS = 8, RECORD_SIZE = 48;

// The strike labels once, then each strike's values 70 pixels apart.
const field_column COLUMNS[] = {
    {HEADER, 2, FIELD_LABEL_X, FIELD_VALUE_X, 20},
    {STRIKE, STRIKE_ROWS, FIELD_LABEL_X, -1, 50},
    {STRIKE, STRIKE_ROWS, -1, FIELD_VALUE_X, 50, RECORDS, RECORD_SIZE, 70}};
// The caret-slope labels are the longest of any list.
const field_layout LAYOUT = {COLUMNS, 3, 10, nullptr, 0};

} // namespace

const field_layout& ttf_eblc::fields() const {
    return LAYOUT;
}

int ttf_eblc::record_count() {
    return strike_count();
}
