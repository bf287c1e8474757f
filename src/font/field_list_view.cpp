#include "font/field_list_view.h"

#include "font/field_editor.h"
#include "font/table_alert.h"

#include <Message.h>

#include <cstdio>
#include <cstring>

namespace {

// A byte as a character; bytes that are not printable show as '.'.
char printable(unsigned char c) {
    return c >= 0x20 && c < 0x7F ? (char)c : '.';
}

void format_row(byte_span b, const field_row& row, time_t epoch, char* text, size_t size) {
    format_field(b, row, text, size);
    if (row.note == field_note::none || strcmp(text, FIELD_MISSING) == 0)
        return;
    if (row.note == field_note::date) {
        append_date(b.u64(row.offset), epoch, text, size);
        return;
    }
    size_t used = strlen(text);
    unsigned o = row.offset;
    snprintf(text + used, size - used, " (%c%c%c%c)", printable(b.u8(o)), printable(b.u8(o + 1)),
             printable(b.u8(o + 2)), printable(b.u8(o + 3)));
}

} // namespace

void ttf_field_list::AttachedToWindow() {
    const field_edit* edit = fields().edit;
    if (edit && !control)
        control = add_field_editor(this, edit->name, edit->label);
}

void ttf_field_list::MessageReceived(BMessage* message) {
    const field_edit* edit = fields().edit;
    if (!edit || message->what != EDITOR_TEXT) {
        ttf_table::MessageReceived(message);
        return;
    }
    if (!bytes().has(edit->offset, edit->width)) {
        table_alert(edit->missing);
        Draw(Bounds());
        return;
    }
    uint32_t value;
    if (control && commit_field_editor(control, 2 * edit->width, &value)) {
        checkpoint(edit->label);
        if (edit->width == 2)
            writer().put16(edit->offset, (uint16_t)value);
        else
            writer().put32(edit->offset, value);
    }
    Draw(Bounds());
}

void ttf_field_list::Draw(BRect update) {
    field_list_begin(this, update);
    SetFontSize(fields().font_size);
    redraw();
}

void ttf_field_list::redraw() {
    const field_layout& layout = fields();
    BPoint origin = Bounds().LeftTop();
    byte_span b = bytes();
    char text[96];
    for (int c = 0; c < layout.count; c++) {
        const field_column& column = layout.columns[c];
        int records = column.stride ? record_count() : 1;
        for (int r = 0; r < records; r++) {
            unsigned base = column.first + column.stride * (unsigned)r;
            float x = origin.x + column.xstep * r;
            for (int k = 0; k < column.count; k++) {
                field_row row = column.rows[k];
                row.offset += base;
                float y = origin.y + column.top + FIELD_ROW_STEP * k;
                if (column.labelx >= 0)
                    DrawString(row.label, BPoint(x + column.labelx, y));
                if (column.valuex >= 0) {
                    format_row(b, row, layout.epoch, text, sizeof text);
                    DrawString(text, BPoint(x + column.valuex, y));
                }
            }
        }
    }
}
