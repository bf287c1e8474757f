// ttf_ebdt: the embedded bitmap images.
#ifndef TAVREL_FONT_EBDT_H
#define TAVREL_FONT_EBDT_H

#include "font/ttf_table.h"

class ttf_ebdt : public ttf_table {
public:
    ttf_ebdt(ttf* owner, unsigned char* data, unsigned long length);
};

#endif
