// The OS/2 table's view: a read-only field list in three columns: the
// 16-bit metrics, the ten panose bytes below them, and the ranges, vendor
// and vertical metrics to the right. Only the version 1 fields (86 bytes)
// are shown; a longer table keeps its extra bytes unseen.
#include "font/os2.h"

#include "font/field_list.h"

#include <cstdio>
#include <cstring>

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

const field_row RANGES[] = {
    {"ulUnicodeRange1", 42, 4},  {"ulUnicodeRange2", 46, 4},  {"ulUnicodeRange3", 50, 4},
    {"ulUnicodeRange4", 54, 4},  {"achVendID", 58, 4},        {"fsSelection", 62, 2},
    {"usFirstCharIndex", 64, 2}, {"usLastCharIndex", 66, 2},  {"sTypoAscender", 68, 2},
    {"sTypoDescender", 70, 2},   {"sTypoLineGap", 72, 2},     {"usWinAscent", 74, 2},
    {"usWinDescent", 76, 2},     {"ulCodePageRange1", 78, 4}, {"ulCodePageRange2", 82, 4}};
const int VENDOR = 4;

// A vendor byte as a character; bytes that are not printable show as '.'.
char printable(unsigned char c) {
    return c >= 0x20 && c < 0x7F ? (char)c : '.';
}

} // namespace

void ttf_os2::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_os2::redraw() {
    byte_span b = bytes();
    draw_field_rows(this, b, METRICS, sizeof METRICS / sizeof METRICS[0], FIELD_LABEL_X,
                    FIELD_VALUE_X, 20);
    draw_field_rows(this, b, PANOSE, sizeof PANOSE / sizeof PANOSE[0], FIELD_LABEL_X, FIELD_VALUE_X,
                    270);
    char text[64];
    const int count = sizeof RANGES / sizeof RANGES[0];
    for (int k = 0; k < count; k++) {
        float y = 20 + FIELD_ROW_STEP * k;
        DrawString(RANGES[k].label, BPoint(300, y));
        format_field(b, RANGES[k], text, sizeof text);
        if (k == VENDOR && strcmp(text, FIELD_MISSING) != 0) {
            size_t used = strlen(text);
            unsigned o = RANGES[k].offset;
            snprintf(text + used, sizeof text - used, " (%c%c%c%c)", printable(b.u8(o)),
                     printable(b.u8(o + 1)), printable(b.u8(o + 2)), printable(b.u8(o + 3)));
        }
        DrawString(text, BPoint(450, y));
    }
}
