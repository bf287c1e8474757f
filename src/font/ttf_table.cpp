#include "font/ttf_table.h"

#include "font/history.h"
#include "font/ttf.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include <new>

namespace {

// Stamps are taken from one count for every table of every font, so that
// no two states of any table's bytes share one.
uint64_t next_stamp() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

} // namespace

unsigned char* malloc32_unfilled(long n) {
    if (n < 0)
        return nullptr;
    size_t rounded = ((size_t)n + 3) & ~(size_t)3;
    // Zero-sized tables still get a buffer so data is never null after it.
    size_t size = rounded ? rounded : 4;
    unsigned char* buf = new (std::nothrow) unsigned char[size];
    if (buf)
        std::fill(buf + n, buf + size, 0);
    return buf;
}

unsigned char* malloc32(long n) {
    unsigned char* buf = malloc32_unfilled(n);
    if (buf)
        std::fill(buf, buf + n, 0);
    return buf;
}

ttf_table::ttf_table(ttf* owner, unsigned long tag, unsigned char* data, unsigned long length)
    : BView(BRect(0, 0, 561, 511), "table", B_FOLLOW_ALL, B_WILL_DRAW), owner(owner), tag(tag),
      data(data), length(data ? length : 0), fStamp(next_stamp()) {}

ttf_table::~ttf_table() {
    delete[] data;
}

unsigned long ttf_table::sumB32() {
    if (!data)
        return 0;
    // The buffer is padded to a multiple of 4 with zeros, so the last,
    // partial word reads its padding.
    return byte_span(data, (length + 3) & ~3UL).sum32();
}

void ttf_table::show(bool visible) {
    if (visible) {
        while (IsHidden())
            Show();
    } else {
        while (!IsHidden())
            Hide();
    }
}

font_history* ttf_table::recorder() const {
    font_history* h = owner ? owner->history() : nullptr;
    return h && h->recording() ? h : nullptr;
}

void ttf_table::changed() {
    fChanged = true;
    fChanges++;
    fStamp = next_stamp();
    if (owner)
        owner->note_change();
}

void ttf_table::before_write(size_t off, size_t n) {
    changed();
    if (font_history* h = recorder())
        h->note_write(this, off, n);
}

void ttf_table::replace_data(unsigned char* newdata, unsigned long newlength) {
    if (font_history* h = recorder()) {
        try {
            h->note_buffer(this, data, length, fRoom);
        } catch (...) {
            delete[] newdata; // the table keeps its buffer
            throw;
        }
        data = nullptr;
    }
    set_buffer(newdata, newlength);
}

void ttf_table::set_buffer(unsigned char* newdata, unsigned long newlength) {
    changed();
    delete[] data;
    data = newdata;
    length = newdata ? newlength : 0;
    fRoom = 0;
}

void ttf_table::kit_swap_buffer(unsigned char** buffer, unsigned long* buflength, size_t* room) {
    changed();
    std::swap(data, *buffer);
    unsigned long l = length;
    length = data ? *buflength : 0;
    *buflength = l;
    std::swap(fRoom, *room);
}

bool ttf_table::shift_entries(size_t offset, size_t count, int width, int64_t delta) {
    if ((width != 2 && width != 4) || count > length / (size_t)width ||
        !bytes().has(offset, count * (size_t)width))
        return false;
    if (delta == 0 || count == 0)
        return true;
    changed();
    if (font_history* h = recorder())
        h->note_shift(this, offset, count, width, delta);
    byte_writer w(data, length);
    byte_span b = bytes();
    for (size_t i = 0; i < count; i++) {
        size_t pos = offset + i * (size_t)width;
        if (width == 4)
            w.put32(pos, (uint32_t)(b.u32(pos) + (uint32_t)delta));
        else
            w.put16(pos, (uint16_t)(b.u16(pos) + (uint16_t)delta));
    }
    return true;
}

void ttf_table::checkpoint(const std::string& name) {
    if (font_history* h = owner ? owner->history() : nullptr)
        h->checkpoint(name);
}

void ttf_table::refresh() {
    if (Window())
        Invalidate();
}

void ttf_table::set_room(size_t room) {
    fRoom = data && room >= ((length + 3) & ~3UL) ? room : 0;
}

size_t ttf_table::growth_room(size_t n) {
    return (n / 16 + 3) & ~(size_t)3;
}

bool ttf_table::splice(size_t offset, size_t oldlen, const unsigned char* record, size_t newlen) {
    if (!data || !bytes().has(offset, oldlen))
        return false;
    font_history* h = recorder();
    const size_t tail = length - offset - oldlen;
    const size_t total = length - oldlen + newlen;
    const size_t padded = std::max<size_t>(4, (total + 3) & ~(size_t)3);
    if (padded <= fRoom) {
        changed();
        if (h)
            h->note_splice(this, offset, oldlen, newlen);
        std::memmove(data + offset + newlen, data + offset + oldlen, tail);
        std::copy(record, record + newlen, data + offset);
        std::fill(data + total, data + padded, 0);
        length = total;
        return true;
    }
    const size_t room = padded + growth_room(padded);
    unsigned char* buf = new (std::nothrow) unsigned char[room];
    if (!buf)
        return false;
    changed();
    if (h)
        h->note_splice(this, offset, oldlen, newlen);
    std::copy(data, data + offset, buf);
    std::copy(record, record + newlen, buf + offset);
    std::copy(data + offset + oldlen, data + length, buf + offset + newlen);
    std::fill(buf + total, buf + padded, 0);
    set_buffer(buf, total);
    fRoom = room;
    return true;
}
