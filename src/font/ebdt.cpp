#include "font/ebdt.h"

#include "font/bitmap.h"
#include "font/table_views.h"

namespace {

bool supported(unsigned short format) {
    return format == 1 || format == 2 || format == 5 || format == 6 || format == 7;
}

size_t metrics_size(unsigned short format) {
    if (format == 1 || format == 2)
        return 5;
    if (format == 6 || format == 7)
        return 8;
    return 0;
}

bool byte_aligned(unsigned short format) {
    return format == 1 || format == 6;
}

size_t image_bytes(unsigned short format, size_t width, size_t height) {
    if (byte_aligned(format))
        return (width + 7) / 8 * height;
    return (width * height + 7) / 8;
}

// The image's bytes when they lie inside both its slot and the table.
bool image_span(byte_span t, unsigned long offset, unsigned long slot, size_t needed,
                byte_span* out) {
    if (needed > slot)
        return false;
    *out = t.slice(offset, needed);
    return out->size() == needed || needed == 0;
}

} // namespace

void ttf_ebdt::refresh() {
    if (registered_table_views().ebdt_refreshed)
        registered_table_views().ebdt_refreshed(this);
    ttf_table::refresh();
}

ttf_ebdt::ttf_ebdt(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("EBDT"), data, length) {
    // The palette's entries choose what the canvas shows; the canvas
    // itself holds this editor's pending edits.
    typed_text_edits = false;
    if (registered_table_views().ebdt_created)
        registered_table_views().ebdt_created(this);
}

int ttf_ebdt::decode(unsigned long offset, unsigned short imageFormat, bitmap* b,
                     unsigned long size) {
    if (!supported(imageFormat))
        return 1;
    byte_span t = bytes();
    size_t m = metrics_size(imageFormat);
    unsigned char height = b->height, width = b->width, advance = b->advance;
    signed char bearingx = b->bearingx, bearingy = b->bearingy;
    if (m) {
        byte_span metrics;
        if (!image_span(t, offset, size, m, &metrics))
            return 3;
        height = metrics.u8(0);
        width = metrics.u8(1);
        bearingx = metrics.s8(2);
        bearingy = metrics.s8(3);
        advance = metrics.u8(4);
    }
    size_t n = (size_t)width * height;
    byte_span image;
    if (!image_span(t, offset, size, m + image_bytes(imageFormat, width, height), &image))
        return 3;
    image = image.from(m);

    b->height = height;
    b->width = width;
    b->bearingx = bearingx;
    b->bearingy = bearingy;
    b->advance = advance;
    delete[] b->pixels;
    b->pixels = nullptr;
    if (n == 0)
        return 2;
    b->pixels = new unsigned char[n];

    size_t p = 0;
    unsigned char mask = 0x80;
    for (size_t row = 0; row < height; row++) {
        if (byte_aligned(imageFormat) && mask != 0x80) {
            p++;
            mask = 0x80;
        }
        for (size_t col = 0; col < width; col++) {
            b->pixels[row * width + col] = (image.u8(p) & mask) ? 1 : 0;
            if (mask == 1) {
                p++;
                mask = 0x80;
            } else {
                mask >>= 1;
            }
        }
    }
    return 0;
}

int ttf_ebdt::check(const bitmap* b, unsigned long offset, unsigned short imageFormat,
                    unsigned long size) {
    if (!supported(imageFormat))
        return 1;
    size_t m = metrics_size(imageFormat);
    size_t bytes_needed = image_bytes(imageFormat, b->width, b->height);
    if (bytes_needed == 0 || !b->pixels)
        return 2;
    byte_span slot;
    if (!image_span(bytes(), offset, size, m + bytes_needed, &slot))
        return 3;
    // An image of another size than the one stored would spill into its
    // neighbours or leave stale bits behind.
    if (m && (slot.u8(0) != b->height || slot.u8(1) != b->width))
        return 3;
    return 0;
}

int ttf_ebdt::encode(const bitmap* b, unsigned long offset, unsigned short imageFormat,
                     unsigned long size) {
    if (int refused = check(b, offset, imageFormat, size))
        return refused;
    size_t m = metrics_size(imageFormat);

    // The image's bytes are rewritten whole, so bits after the last pixel
    // end up cleared.
    byte_writer w = writer();
    size_t p = offset + m;
    unsigned char mask = 0x80;
    unsigned char current = 0;
    for (size_t row = 0; row < b->height; row++) {
        if (byte_aligned(imageFormat) && mask != 0x80) {
            w.put8(p++, current);
            current = 0;
            mask = 0x80;
        }
        for (size_t col = 0; col < b->width; col++) {
            if (b->pixels[row * b->width + col])
                current |= mask;
            if (mask == 1) {
                w.put8(p++, current);
                current = 0;
                mask = 0x80;
            } else {
                mask >>= 1;
            }
        }
    }
    if (mask != 0x80)
        w.put8(p, current);
    return 0;
}
