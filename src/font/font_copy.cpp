#include "font/font_copy.h"

#include "font/bytes.h"
#include "font/ttf.h"
#include "font/ttf_table.h"

#include <cstring>
#include <new>

namespace {
const size_t HEADER = 12, ENTRY = 16;

size_t padded(size_t n) {
    return (n + 3) & ~(size_t)3;
}
} // namespace

void font_copy::clear() {
    fDir.clear();
    fTables.clear();
    fLast.reset();
    fCopied = 0;
    fTaken = false;
}

bool font_copy::take(ttf& font) {
    fCopied = 0;
    fTaken = false;
    if (!font.dir) {
        clear();
        return false;
    }
    const int n = byte_span(font.dir, HEADER).u16(4);
    const byte_span dir(font.dir, HEADER + ENTRY * n);
    std::vector<table> tables;
    try {
        tables.reserve((size_t)n);
        size_t k = 0;
        for (int i = 0; i < n; i++) {
            table e;
            e.tag = dir.u32(HEADER + ENTRY * i);
            const ttf_table* t = font.table_for(e.tag, &k);
            if (!t || !t->data) {
                clear();
                return false;
            }
            e.stamp = t->stamp();
            e.length = (uint32_t)t->length;
            // The same table at the same place as last time, else the first
            // of its tag.
            table* was =
                (size_t)i < fTables.size() && fTables[i].tag == e.tag ? &fTables[i] : nullptr;
            for (size_t j = 0; !was && j < fTables.size(); j++)
                if (fTables[j].tag == e.tag)
                    was = &fTables[j];
            if (was && was->stamp == e.stamp && was->length == e.length && (fLast || was->copied)) {
                e.offset = was->offset;
                e.copied = was->copied;
                e.bytes = std::move(was->bytes);
                // Taken over: no later entry of the same tag takes it too.
                was->stamp = 0;
            } else {
                // A table's buffer holds its padding (zeros) as well.
                const byte_span b(t->data, padded(t->length));
                e.bytes.assign(b.data(), b.data() + b.size());
                e.copied = true;
                fCopied += b.size();
            }
            tables.push_back(std::move(e));
        }
        fDir.assign(dir.data(), dir.data() + dir.size());
    } catch (const std::bad_alloc&) {
        clear();
        return false;
    }
    fTables = std::move(tables);
    fTaken = true;
    return true;
}

std::shared_ptr<font_image> font_copy::image() {
    if (!fTaken)
        return nullptr;
    size_t total = fDir.size();
    for (const table& t : fTables)
        total += padded(t.length);
    if (total > 0xFFFFFFFFu)
        return nullptr;
    std::shared_ptr<font_image> out(new (std::nothrow) font_image);
    if (!out)
        return nullptr;
    out->bytes.reset(new (std::nothrow) unsigned char[total]);
    if (!out->bytes)
        return nullptr;
    out->size = total;
    byte_writer w(out->bytes.get(), total);
    const byte_span last = fLast ? byte_span(fLast->bytes.get(), fLast->size) : byte_span();
    std::memcpy(w.data(), fDir.data(), fDir.size());
    size_t pos = fDir.size();
    for (size_t i = 0; i < fTables.size(); i++) {
        table& t = fTables[i];
        const size_t e = HEADER + ENTRY * i;
        w.put32(e + 4, 0);
        w.put32(e + 8, (uint32_t)pos);
        w.put32(e + 12, t.length);
        const size_t n = padded(t.length);
        const byte_span from = t.copied ? byte_span(t.bytes.data(), t.bytes.size()).slice(0, n)
                                        : last.slice(t.offset, n);
        if (from.size() != n)
            return nullptr;
        if (n)
            std::memcpy(w.data() + pos, from.data(), n);
        t.offset = pos;
        pos += n;
    }
    out->finish();
    // The tables now stand in the new image; their copies are let go.
    for (table& t : fTables) {
        t.copied = false;
        std::vector<unsigned char>().swap(t.bytes);
    }
    fLast = out;
    return out;
}
