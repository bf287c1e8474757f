#include "font/ebdt.h"

ttf_ebdt::ttf_ebdt(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("EBDT"), data, length)
{
}
