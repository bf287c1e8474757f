// The post table's view: the 32-byte header as a field list with one
// editable field, isFixedPitch.
#include "font/post.h"

namespace {

const field_row ROWS[] = {
    {"FormatType", 0, 4},          {"italicAngle", 4, 4},   {"underlinePosition", 8, 2},
    {"underlineThickness", 10, 2}, {"isFixedPitch", 12, 4}, {"minMemType42", 16, 4},
    {"maxMemType42", 20, 4},       {"minMemType1", 24, 4},  {"maxMemType1", 28, 4}};

const field_column COLUMNS[] = {
    {ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X, 20}};
const field_edit EDIT = {"isFixedPitch", "isFixedPitch", 12, 4,
                         "This post table is too short to hold isFixedPitch: nothing was "
                         "changed."};
const field_layout LAYOUT = {COLUMNS, 1, 11, &EDIT, 0};

} // namespace

const field_layout& ttf_post::fields() const {
    return LAYOUT;
}
