#include "font/ttf_table.h"

#include <new>

unsigned char* malloc32(long n)
{
    if (n < 0)
        return nullptr;
    size_t rounded = ((size_t)n + 3) & ~(size_t)3;
    // Zero-sized tables still get a buffer so data is never null after it.
    return new (std::nothrow) unsigned char[rounded ? rounded : 4]();
}

ttf_table::ttf_table(ttf* owner, unsigned long tag, unsigned char* data, unsigned long length)
    : BView(BRect(0, 0, 561, 511), "table", B_FOLLOW_ALL, B_WILL_DRAW),
      owner(owner), tag(tag), data(data), length(data ? length : 0)
{
}

ttf_table::~ttf_table()
{
    delete[] data;
}

unsigned long ttf_table::sumB32()
{
    if (!data)
        return 0;
    // The buffer is padded to a multiple of 4 with zeros, so the last,
    // partial word reads its padding.
    byte_span padded(data, (length + 3) & ~3UL);
    uint32_t sum = 0;
    for (size_t off = 0; off < padded.size(); off += 4)
        sum += padded.u32(off);
    return sum;
}

void ttf_table::show(bool visible)
{
    if (visible) {
        while (IsHidden())
            Show();
    } else {
        while (!IsHidden())
            Hide();
    }
}

void ttf_table::replace_data(unsigned char* newdata, unsigned long newlength)
{
    delete[] data;
    data = newdata;
    length = newdata ? newlength : 0;
}
