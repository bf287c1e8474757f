// ttf_name: the naming table, read and rebuilt in place.
#ifndef TAVREL_FONT_NAME_H
#define TAVREL_FONT_NAME_H

#include "font/ttf_table.h"

class ttf_name : public ttf_table {
public:
    ttf_name(ttf* owner, unsigned char* data, unsigned long length);
};

#endif
