// Feeds arbitrary bytes through the font container: load, the statistics,
// box and outline of every glyph, storing one decoded glyph back (and, in a
// variable font, storing one with its variations dropped), the axes and
// named instances, the
// metrics, the character map (decode, an edit, the reverse look-up), every
// name record, gasp range and embedded bitmap with an edit of each, and a
// save to a temporary file (which, after those edits, works out head's box
// and hhea's extremes from every outline). A collection has its directories
// and face names read, its last face walked as above and the collection
// written again with that face's tables.
#include "font/ttf.h"

#include "font/collection.h"

#include "font/bitmap.h"
#include "font/cmap.h"
#include "font/eblc.h"
#include "font/fvar.h"
#include "font/gasp.h"
#include "font/glyf.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "font/name.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <File.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string input_path, output_path;

std::string temp_file(const char* name) {
    char path[] = "/tmp/tavrel-fuzz-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        abort();
    close(fd);
    (void)name;
    return path;
}

// Every record read back, then one replaced, one added outside the BMP and
// one deleted, and every record read again.
void walk_names(ttf_name* name) {
    char text[256];
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < name->count(); i++) {
            unsigned short p, e, l, id;
            long length = sizeof text;
            name->get_field(i, &p, &e, &l, &id, &length, text);
            length = 2;
            name->get_field(i, &p, &e, &l, &id, &length, text);
        }
        if (pass == 0) {
            name->set_field(3, 10, 0x409, 1, "fuzz \xC3\xA9\xF0\x9F\x98\x80");
            name->set_field(1, 1, 11, 4, "\xE6\x97\xA5");
            name->set_field(1, 0, 0, 3, "caf\xC3\xA9 \xE2\x84\xA2");
            name->set_field(3, 4, 0x404, 3, "a4 a4");
            name->set_field(1, 0, 0, 2, nullptr);
        }
    }
}

void walk_gasp(ttf_gasp* gasp) {
    unsigned short maxppem = 0, behavior = 0;
    for (int i = 0; i < gasp->count(); i++)
        gasp->get_field(i, &maxppem, &behavior);
    gasp->set_field(-1, 12, 3);
    gasp->set_field(0, 20, 1);
    gasp->set_field(-1, maxppem, 0x000F);
    gasp->set_field(gasp->count() - 1, 0, 0);
}

// Every glyph of every strike: decoded, one pixel toggled through the
// editor's point mapping, and stored back.
void walk_bitmaps(ttf& font, unsigned glyphs) {
    int strikes = font.eblc->strike_count();
    for (int s = 0; s < strikes && s < 64; s++) {
        // A store may move EBLC to a new buffer: its bytes are read afresh
        // for every strike, and what the glyphs need is copied out first.
        const byte_span eblc = font.eblc->bytes();
        const size_t at = 8 + 48 * (size_t)s;
        const unsigned first = eblc.u16(at + 40), last = eblc.u16(at + 42);
        const unsigned char ppemx = eblc.u8(at + 44), ppemy = eblc.u8(at + 45);
        for (unsigned g = first; g <= last && g < glyphs; g++) {
            bitmap b((unsigned short)g, ppemx, ppemy, 1);
            if (font.get_bitmap(&b) != 0)
                continue;
            b.setvrect(BRect(0, 0, 255, 255));
            float cw, ch, x0, y0;
            if (b.cell_mapping(&cw, &ch, &x0, &y0))
                b.create(b.ppemx, BPoint(x0 + cw / 2, y0 + ch / 2));
            font.set_bitmap(&b);
        }
    }
    unsigned char pairs[2 * 64];
    int count = 0;
    if (strikes <= 64)
        font.eblc->get_sizes(&count, pairs, 64);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input_path = temp_file("in");
    output_path = temp_file("out");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        BFile in(input_path.c_str(), B_READ_WRITE | B_ERASE_FILE);
        if (in.WriteAt(0, data, size) != (ssize_t)size)
            abort();
    }
    BFile in(input_path.c_str(), B_READ_ONLY);
    font_collection collection;
    const bool several = font_collection::is_collection(in);
    size_t face = 0;
    if (several) {
        if (collection.read(in) != 0)
            return 0;
        std::vector<std::string> names = collection.face_names(in);
        for (size_t f = 0; f < names.size(); f++)
            face_label(f, names[f]);
        face = collection.faces().size() - 1;
    }
    ttf font;
    if (font.load(in, several ? collection.faces()[face].diroffset : 0) != 0)
        return 0;

    unsigned n = font.maxp->numglyphs();
    for (unsigned g = 0; g < n; g++) {
        unsigned short depth, components, contours, points, aw;
        short x0, y0, x1, y1, lsb;
        // Fonts with CFF outlines have no glyf.
        if (font.glyf) {
            font.glyf->get_info((unsigned short)g, &depth, &components, &contours, &points);
            font.glyf->get_rect((unsigned short)g, &x0, &y0, &x1, &y1);
        }
        font.hmtx->get_mtx((unsigned short)g, &aw, &lsb);
    }
    if (font.fvar) {
        fvar_axis axis;
        fvar_instance instance;
        for (int i = 0; i < font.fvar->axis_count(); i++)
            font.fvar->axis(i, &axis);
        for (int i = 0; i < font.fvar->instance_count(); i++)
            font.fvar->instance(i, &instance);
    }
    // A glyph object is only replaced once a decode has filled it, so that
    // fonts claiming thousands of empty glyphs stay cheap to walk.
    bool stored = false;
    std::unique_ptr<glyph> outline(new glyph(0));
    for (unsigned g = 0; g < n; g++) {
        if (outline->count > 0 || outline->ncompo > 0)
            outline.reset(new glyph((unsigned short)g));
        if (font.get_glyph((int)g, outline.get()) != 0 || stored)
            continue;
        if (outline->count > 0 || outline->ncompo > 0) {
            font.set_glyph((int)g, outline.get());
            glyph again((unsigned short)g);
            font.get_glyph((int)g, &again);
            // The same glyph with its first contour reversed, its
            // variations dropped where it has any.
            if (font.glyph_varies((int)g) && again.count > 0 && again.contours[0]) {
                again.contours[0]->select_chk(again.contours[0]->bounds);
                again.contours[0]->reverse();
                font.set_glyph((int)g, &again, true);
            }
            stored = true;
        }
    }
    font.hmtx->set_mtx(0, 500, 10);
    font.cmap->get_chr(1);
    font.cmap->set_chr(0x41, 0x5A, 3);
    font.cmap->set_chr(0x20, 0x20, 0xFFFF);
    // Past U+FFFF (format 12 only), and across it.
    font.cmap->set_chr(0xFFF0, 0x10010, 7);
    font.cmap->glyph_of(0x10005);
    font.cmap->get_tbl();

    if (font.name)
        walk_names(font.name);
    if (font.gasp)
        walk_gasp(font.gasp);
    if (font.eblc && font.ebdt)
        walk_bitmaps(font, n);

    BFile out(output_path.c_str(), B_READ_WRITE | B_ERASE_FILE);
    if (!several) {
        font.save(out);
        return 0;
    }
    std::string why;
    write_collection(in, collection, face, nullptr, out, nullptr, &why);
    face_tables tables;
    if (font.save_face(collection.faces()[face], &tables) == 0)
        write_collection(in, collection, face, &tables, out, nullptr, &why);
    return 0;
}
