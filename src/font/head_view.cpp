// The head table's view: a read-only field list, the two dates also shown
// as calendar time.
#include "font/head.h"

namespace {

const field_row ROWS[] = {{"tableVersionNumber", 0, 4},
                          {"fontRevision", 4, 4},
                          {"checkSumAdjustment", 8, 4},
                          {"magicNumber", 12, 4},
                          {"flags", 16, 2},
                          {"unitsPerEm", 18, 2},
                          {"created", 20, 8, field_note::date},
                          {"modified", 28, 8, field_note::date},
                          {"xMin", 36, 2},
                          {"yMin", 38, 2},
                          {"xMax", 40, 2},
                          {"yMax", 42, 2},
                          {"macStyle", 44, 2},
                          {"lowestRecPPEM", 46, 2},
                          {"fontDirectionHint", 48, 2},
                          {"indexToLocFormat", 50, 2},
                          {"glyphDataFormat", 52, 2}};

const field_column COLUMNS[] = {
    {ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X, 20}};
const field_layout LAYOUT = {COLUMNS, 1, 11, nullptr, EPOCH_1904_UTC};

} // namespace

const field_layout& ttf_head::fields() const {
    return LAYOUT;
}
