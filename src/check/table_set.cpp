#include "check/table_set.h"

#include <algorithm>

namespace {
const size_t HEADER = 12, ENTRY = 16;
} // namespace

void table_set::load_file(byte_vector file) {
    fFile = std::make_shared<const byte_vector>(std::move(file));
    fOwned.clear();
    fEntries.clear();
    fGlyphRecords.clear();
    byte_span f = this->file();
    fHeader.assign(f.data(), f.data() + std::min<size_t>(f.size(), HEADER));
    fDeclared = f.has(0, HEADER) ? f.u16(4) : 0;
    for (unsigned i = 0; i < fDeclared && f.has(HEADER + ENTRY * i, ENTRY); i++) {
        size_t e = HEADER + ENTRY * i;
        table_entry t;
        t.tag = f.u32(e);
        t.checksum = f.u32(e + 4);
        t.offset = f.u32(e + 8);
        t.length = f.u32(e + 12);
        t.bytes = f.slice(t.offset, t.length);
        fEntries.push_back(t);
    }
}

void table_set::load_tables(byte_vector header, std::vector<table_copy> tables) {
    fFile.reset();
    fOwned.clear();
    fEntries.clear();
    fGlyphRecords.clear();
    fHeader = std::move(header);
    fDeclared = (unsigned)tables.size();
    for (table_copy& t : tables) {
        auto owned = std::make_shared<const byte_vector>(std::move(t.bytes));
        table_entry e;
        e.tag = t.tag;
        e.length = (uint32_t)owned->size();
        e.bytes = byte_span(owned->data(), owned->size());
        fOwned.push_back(std::move(owned));
        fEntries.push_back(e);
    }
}

void table_set::replace(uint32_t tag, byte_vector bytes) {
    fOwned.resize(fEntries.size());
    for (size_t i = 0; i < fEntries.size(); i++) {
        table_entry& e = fEntries[i];
        if (e.tag != tag)
            continue;
        // The old bytes go with their holder; a table from the file stays
        // in the file's buffer, which the other tables still use.
        fOwned[i] = std::make_shared<const byte_vector>(std::move(bytes));
        e.bytes = byte_span(fOwned[i]->data(), fOwned[i]->size());
        e.length = (uint32_t)fOwned[i]->size();
        if (tag == tag_of("glyf") || tag == tag_of("loca"))
            fGlyphRecords.clear();
        return;
    }
}

const table_entry* table_set::entry(uint32_t tag) const {
    for (const table_entry& e : fEntries)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

byte_span table_set::find(uint32_t tag) const {
    const table_entry* e = entry(tag);
    return e ? e->bytes : byte_span();
}

const byte_vector* table_set::glyph_record(unsigned gno) const {
    auto it = fGlyphRecords.find(gno);
    return it == fGlyphRecords.end() ? nullptr : &it->second;
}

void table_set::set_glyph_record(unsigned gno, byte_vector record) {
    fGlyphRecords[gno] = std::move(record);
}
