// The hhea table's view: a read-only field list.
#include "font/hhea.h"

namespace {

const field_row ROWS[] = {{"tableVersionNumber", 0, 4},
                          {"Ascender", 4, 2},
                          {"Descender", 6, 2},
                          {"LineGap", 8, 2},
                          {"advanceWidthMax", 10, 2},
                          {"minLeftSideBearing", 12, 2},
                          {"minRightSideBearing", 14, 2},
                          {"xMaxExtent", 16, 2},
                          {"caretSlopeRise", 18, 2},
                          {"caretSlopeRun", 20, 2},
                          {"reserved", 22, 2},
                          {"reserved", 24, 2},
                          {"reserved", 26, 2},
                          {"reserved", 28, 2},
                          {"reserved", 30, 2},
                          {"metricDataFormat", 32, 2},
                          {"numberOfHMetrics", 34, 2}};

const field_column COLUMNS[] = {
    {ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X, 20}};
const field_layout LAYOUT = {COLUMNS, 1, 11, nullptr, 0};

} // namespace

const field_layout& ttf_hhea::fields() const {
    return LAYOUT;
}
