// ttf_gasp: the grid-fitting and scan-conversion procedure table.
#ifndef TAVREL_FONT_GASP_H
#define TAVREL_FONT_GASP_H

#include "font/ttf_table.h"

class ttf_gasp : public ttf_table {
public:
    ttf_gasp(ttf* owner, unsigned char* data, unsigned long length);
};

#endif
