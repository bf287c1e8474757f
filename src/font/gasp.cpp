#include "font/gasp.h"

ttf_gasp::ttf_gasp(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("gasp"), data, length)
{
}
