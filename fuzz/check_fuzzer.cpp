// Feeds arbitrary bytes to the font checker: as a whole file, then as the
// tables of an open font, with a glyph stored and a table edited from the
// input's own bytes, so that the re-checks after edits meet hostile data
// too. Every finding is listed and counted.
#include "check/checker.h"

#include <cstdint>
#include <vector>

namespace {

void walk(const font_checker& c) {
    size_t length = 0;
    for (const finding& f : c.findings())
        length += f.message.size() + tag_text(f.table).size();
    (void)length;
    (void)c.counts();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const byte_vector file(data, data + size);
    font_checker whole;
    whole.check_file(file);
    walk(whole);

    // The same bytes as the tables a save would write.
    const byte_span f(data, size);
    if (!f.has(0, 12))
        return 0;
    std::vector<table_copy> tables;
    for (unsigned i = 0; i < f.u16(4) && f.has(12 + 16 * (size_t)i, 16); i++) {
        const size_t e = 12 + 16 * (size_t)i;
        const byte_span t = f.slice(f.u32(e + 8), f.u32(e + 12));
        tables.push_back({f.u32(e), byte_vector(t.data(), t.data() + t.size())});
    }
    font_checker saved(check_options{true});
    saved.check_tables(byte_vector(data, data + 12), tables);
    walk(saved);
    if (tables.empty())
        return 0;
    // A glyph stored with the file's last bytes as its record, then a table
    // replaced by its first ones.
    const size_t cut = f.u8(size - 1) * 4;
    const byte_span tail = f.from(size > cut ? size - cut : 0);
    if (saved.numglyphs() > 0) {
        saved.replace_glyph(f.u16(2) % saved.numglyphs(),
                            byte_vector(tail.data(), tail.data() + tail.size()));
        walk(saved);
    }
    const table_copy& pick = tables[f.u8(3) % tables.size()];
    saved.replace_table(pick.tag, byte_vector(data, data + std::min<size_t>(size, cut)));
    walk(saved);
    return 0;
}
