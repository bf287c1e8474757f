// ttf_cff: the outlines of an OpenType font in CFF ("CFF ") or CFF2. The
// editor keeps them byte for byte; in the outline editor's place its view
// says that they cannot be edited.
#ifndef TAVREL_FONT_CFF_H
#define TAVREL_FONT_CFF_H

#include "font/ttf_table.h"

// The notice the view shows.
extern const char* const CFF_NOTICE;

class ttf_cff : public ttf_table {
  public:
    ttf_cff(ttf* owner, unsigned long tag, unsigned char* data, unsigned long length);

    void Draw(BRect update) override;
};

#endif
