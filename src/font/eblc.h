// ttf_eblc: where each embedded bitmap glyph of each strike lies.
#ifndef TAVREL_FONT_EBLC_H
#define TAVREL_FONT_EBLC_H

#include "font/ttf_table.h"

class ttf_eblc : public ttf_table {
public:
    ttf_eblc(ttf* owner, unsigned char* data, unsigned long length);
};

#endif
