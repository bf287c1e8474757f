#include "font/eblc.h"

ttf_eblc::ttf_eblc(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("EBLC"), data, length)
{
}
