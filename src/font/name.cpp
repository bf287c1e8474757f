#include "font/name.h"

ttf_name::ttf_name(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("name"), data, length)
{
}
