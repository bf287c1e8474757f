// The OS/2 table's view: a read-only field list in three columns: the
// 16-bit metrics, the ten panose bytes below them, and the ranges, vendor
// and vertical metrics to the right. Only the version 1 fields (86 bytes)
// are shown; a longer table keeps its extra bytes unseen.
#include "font/os2.h"

namespace {

const field_row METRICS[] = {{"version", 0, 2},
                             {"xAvgCharWidth", 2, 2},
                             {"usWeightClass", 4, 2},
                             {"usWidthClass", 6, 2},
                             {"fsType", 8, 2},
                             {"ySubscriptXSize", 10, 2},
                             {"ySubscriptYSize", 12, 2},
                             {"ySubscriptXOffset", 14, 2},
                             {"ySubscriptYOffset", 16, 2},
                             {"ySuperscriptXSize", 18, 2},
                             {"ySuperscriptYSize", 20, 2},
                             {"ySuperscriptXOffset", 22, 2},
                             {"ySuperscriptYOffset", 24, 2},
                             {"yStrikeoutSize", 26, 2},
                             {"yStrikeoutPosition", 28, 2},
                             {"sFamilyClass", 30, 2}};

const field_row PANOSE[] = {{"panose(FamilyKind)", 32, 1}, {"panose(SerifStyle)", 33, 1},
                            {"panose(Weight)", 34, 1},     {"panose(Proportion)", 35, 1},
                            {"panose(Contrast)", 36, 1},   {"panose(StrokeVariation)", 37, 1},
                            {"panose(ArmStyle)", 38, 1},   {"panose(Letterform)", 39, 1},
                            {"panose(Midline)", 40, 1},    {"panose(X-height)", 41, 1}};

// The vendor's four bytes also show as characters.
const field_row RANGES[] = {{"ulUnicodeRange1", 42, 4},
                            {"ulUnicodeRange2", 46, 4},
                            {"ulUnicodeRange3", 50, 4},
                            {"ulUnicodeRange4", 54, 4},
                            {"achVendID", 58, 4, field_note::chars},
                            {"fsSelection", 62, 2},
                            {"usFirstCharIndex", 64, 2},
                            {"usLastCharIndex", 66, 2},
                            {"sTypoAscender", 68, 2},
                            {"sTypoDescender", 70, 2},
                            {"sTypoLineGap", 72, 2},
                            {"usWinAscent", 74, 2},
                            {"usWinDescent", 76, 2},
                            {"ulCodePageRange1", 78, 4},
                            {"ulCodePageRange2", 82, 4}};

const field_column COLUMNS[] = {
    {METRICS, sizeof METRICS / sizeof METRICS[0], FIELD_LABEL_X, FIELD_VALUE_X, 20},
    {PANOSE, sizeof PANOSE / sizeof PANOSE[0], FIELD_LABEL_X, FIELD_VALUE_X, 270},
    {RANGES, sizeof RANGES / sizeof RANGES[0], 300, 450, 20}};
const field_layout LAYOUT = {COLUMNS, 3, 11, nullptr, 0};

} // namespace

const field_layout& ttf_os2::fields() const {
    return LAYOUT;
}
