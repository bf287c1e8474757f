#include "font/font_image.h"

#include "font/bytes.h"
#include "font/collection.h"
#include "font/ttf.h"
#include "font/ttf_table.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
const size_t HEADER = 12, ENTRY = 16;

size_t padded(size_t n) {
    return (n + 3) & ~(size_t)3;
}
} // namespace

int ttf::copy_image(font_image* image) {
    if (!image || !dir)
        return 1;
    const int n = byte_span(dir, HEADER).u16(4);
    const size_t dirlen = HEADER + ENTRY * n;
    // The layout first, then one buffer for the whole file.
    size_t total = dirlen;
    size_t k = 0;
    for (int i = 0; i < n; i++) {
        ttf_table* t = table_for(byte_span(dir, dirlen).u32(HEADER + ENTRY * i), &k);
        if (!t || !t->data)
            return 1;
        total += padded(t->length);
    }
    if (total > 0xFFFFFFFFu)
        return 1;
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[total]);
    if (!bytes)
        return 1;
    std::memcpy(bytes.get(), dir, dirlen);
    byte_writer out(bytes.get(), total);
    size_t pos = dirlen;
    k = 0;
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        ttf_table* t = table_for(out.span().u32(e), &k);
        out.put32(e + 4, 0);
        out.put32(e + 8, (uint32_t)pos);
        out.put32(e + 12, (uint32_t)t->length);
        // A table's buffer holds its padding (zeros) as well.
        std::memcpy(bytes.get() + pos, t->data, padded(t->length));
        pos += padded(t->length);
    }
    image->bytes = std::move(bytes);
    image->size = total;
    return 0;
}

int ttf::save_face(const collection_face& loaded, face_tables* out) {
    if (!out || !dir || !head || !maxp)
        return 1;
    prepare_save();
    const int n = byte_span(dir, HEADER).u16(4);
    const size_t dirlen = HEADER + ENTRY * n;
    byte_span d(dir, dirlen);
    // A table the file holds as it stands is not copied: a save of a large
    // face that changed one glyph copies glyf and a few small tables.
    auto as_loaded = [&](const ttf_table* t) {
        const collection_table* was = loaded.find((uint32_t)t->tag);
        return !t->changed_since_load() && was && was->length == t->length;
    };
    std::vector<ttf_table*> tables;
    size_t copied = 0, k = 0;
    for (int i = 0; i < n; i++) {
        ttf_table* t = table_for(d.u32(HEADER + ENTRY * i), &k);
        if (!t || !t->data || t->length > 0xFFFFFFFFu)
            return 1;
        tables.push_back(t);
        if (!as_loaded(t))
            copied += padded(t->length);
    }
    std::unique_ptr<unsigned char[]> store(new (std::nothrow) unsigned char[copied]);
    if (!store)
        return 1;
    out->version = d.u32(0);
    out->tables.clear();
    size_t pos = 0;
    for (ttf_table* t : tables) {
        face_tables::table entry;
        entry.tag = (uint32_t)t->tag;
        entry.length = (uint32_t)t->length;
        if (!as_loaded(t)) {
            std::memcpy(store.get() + pos, t->data, t->length);
            entry.data = store.get() + pos;
            pos += padded(t->length);
        }
        out->tables.push_back(entry);
    }
    out->store = std::move(store);
    return 0;
}

void font_image::finish() {
    byte_writer out(bytes.get(), size);
    byte_span in = out.span();
    const int n = in.u16(4);
    const size_t dirlen = HEADER + ENTRY * n;
    if (!in.has(0, dirlen))
        return;
    size_t head = 0;
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        if (in.u32(e) == tag_of("head") && in.u32(e + 12) >= 12)
            head = in.u32(e + 8);
    }
    // head's own checksum is taken with the adjustment at 0.
    if (head)
        out.put32(head + 8, 0);
    uint32_t sum = 0;
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        uint32_t c = in.slice(in.u32(e + 8), padded(in.u32(e + 12))).sum32();
        out.put32(e + 4, c);
        sum += c;
    }
    sum += in.slice(0, dirlen).sum32();
    if (head)
        out.put32(head + 8, 0xB1B0AFBAu - sum);
}
