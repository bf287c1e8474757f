#include "font/field_list.h"

#include <View.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

const char* const FIELD_MISSING = "-";

void field_list_begin(BView* view, BRect update) {
    view->SetHighColor(255, 255, 255);
    view->SetLowColor(0, 0, 0);
    view->SetViewColor(0, 0, 0);
    // One point smaller than the plain font, so the longest labels stay
    // clear of the value column.
    view->SetFontSize(11);
    view->FillRect(update, B_SOLID_LOW);
}

void format_field(byte_span bytes, const field_row& row, char* text, size_t size) {
    if (row.width == 0 || (size_t)row.offset > bytes.size() ||
        (size_t)row.width > bytes.size() - row.offset) {
        snprintf(text, size, "%s", FIELD_MISSING);
        return;
    }
    switch (row.width) {
    case 1:
        snprintf(text, size, "%02x", bytes.u8(row.offset));
        break;
    case 2:
        snprintf(text, size, "%04x", bytes.u16(row.offset));
        break;
    case 4:
        snprintf(text, size, "%08x", bytes.u32(row.offset));
        break;
    default:
        snprintf(text, size, "%016" PRIx64, bytes.u64(row.offset));
        break;
    }
}

void draw_field_rows(BView* view, byte_span bytes, const field_row* rows, int count, float labelx,
                     float valuex, float firstbaseline) {
    char text[64];
    for (int k = 0; k < count; k++) {
        float y = firstbaseline + FIELD_ROW_STEP * k;
        view->DrawString(rows[k].label, BPoint(labelx, y));
        format_field(bytes, rows[k], text, sizeof text);
        view->DrawString(text, BPoint(valuex, y));
    }
}

void draw_field_labels(BView* view, const char* const* labels, int count, float x,
                       float firstbaseline) {
    for (int k = 0; k < count; k++)
        view->DrawString(labels[k], BPoint(x, firstbaseline + FIELD_ROW_STEP * k));
}

void append_date(uint64_t seconds, time_t epoch, char* text, size_t size) {
    if (seconds > (uint64_t)INT64_MAX / 2)
        return;
    time_t t = (time_t)((int64_t)seconds + (int64_t)epoch);
    struct tm parts;
    if (!gmtime_r(&t, &parts))
        return;
    size_t used = strlen(text);
    if (used >= size)
        return;
    snprintf(text + used, size - used, " (%04d/%02d/%02d %02d:%02d:%02d)", parts.tm_year + 1900,
             parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
}
