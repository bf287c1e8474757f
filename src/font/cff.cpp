#include "font/cff.h"

#include "font/field_list.h"

#include <cstdio>

const char* const CFF_NOTICE =
    "outlines in CFF are kept as they are: editing them is not supported";

ttf_cff::ttf_cff(ttf* owner, unsigned long tag, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag, data, length) {}

void ttf_cff::Draw(BRect update) {
    field_list_begin(this, update);
    DrawString(CFF_NOTICE, BPoint(FIELD_LABEL_X, 20));
    char text[64];
    snprintf(text, sizeof text, "%lu bytes, kept as they are", length);
    DrawString(text, BPoint(FIELD_LABEL_X, 20 + FIELD_ROW_STEP));
}
