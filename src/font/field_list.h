// The field-list display that the head, hhea, maxp, post, OS/2 and EBLC
// views share: white labels and values on black, one row every 15 pixels,
// each value read big-endian from the table's bytes at its offset.
#ifndef TAVREL_FONT_FIELD_LIST_H
#define TAVREL_FONT_FIELD_LIST_H

#include "font/bytes.h"

#include <Rect.h>

#include <cstddef>
#include <ctime>

class BView;

// What a row shows after its hexadecimal digits: nothing, the value as a
// date (seconds since the list's epoch), or its bytes as characters.
enum class field_note { none, date, chars };

// One row of a list: its label, where the value lies and how wide it is
// (1, 2, 4 or 8 bytes), shown as "%02x", "%04x", "%08x" or "%016llx".
struct field_row {
    const char* label;
    unsigned offset;
    unsigned width;
    field_note note = field_note::none;
};

const float FIELD_ROW_STEP = 15;
const float FIELD_LABEL_X = 20;
const float FIELD_VALUE_X = 170;

// Text shown for a field the table is too short to hold.
extern const char* const FIELD_MISSING;

// White on black, the update rectangle cleared to black.
void field_list_begin(BView* view, BRect update);

// The value of one field as hexadecimal digits of its width; FIELD_MISSING
// when the field does not lie wholly inside the table.
void format_field(byte_span bytes, const field_row& row, char* text, size_t size);

// Appends " (YYYY/MM/DD hh:mm:ss)", the UTC date and time `seconds` after
// `epoch`, to `text`, so that a font shows the same dates in every zone. All 64 bits count, so
// dates after 2040 show as they are; a date the calendar cannot show leaves the text as it was.
void append_date(uint64_t seconds, time_t epoch, char* text, size_t size);

// Rows k = 0 .. count - 1: labels at labelx and values at valuex, on the
// baseline firstbaseline + 15 k.
void draw_field_rows(BView* view, byte_span bytes, const field_row* rows, int count, float labelx,
                     float valuex, float firstbaseline);

// Labels alone, for columns whose values are drawn elsewhere.
void draw_field_labels(BView* view, const char* const* labels, int count, float x,
                       float firstbaseline);

#endif
