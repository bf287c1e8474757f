// Feeds arbitrary bytes through the font container: load, the statistics,
// box and outline of every glyph, storing one decoded glyph back, the
// metrics, the character map (decode, an edit, the reverse look-up) and a
// save to a temporary file.
#include "font/ttf.h"

#include "font/cmap.h"
#include "font/glyf.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "outline/glyph.h"

#include <File.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

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
    ttf font;
    if (font.load(in) != 0)
        return 0;

    unsigned n = font.maxp->numglyphs();
    for (unsigned g = 0; g < n; g++) {
        unsigned short depth, components, contours, points, aw;
        short x0, y0, x1, y1, lsb;
        font.glyf->get_info((unsigned short)g, &depth, &components, &contours, &points);
        font.glyf->get_rect((unsigned short)g, &x0, &y0, &x1, &y1);
        font.hmtx->get_mtx((unsigned short)g, &aw, &lsb);
    }
    bool stored = false;
    for (unsigned g = 0; g < n; g++) {
        glyph outline((unsigned short)g);
        if (font.get_glyph((int)g, &outline) != 0 || stored)
            continue;
        if (outline.count > 0 || outline.ncompo > 0) {
            font.set_glyph((int)g, &outline);
            glyph again((unsigned short)g);
            font.get_glyph((int)g, &again);
            stored = true;
        }
    }
    font.hmtx->set_mtx(0, 500, 10);
    font.cmap->get_chr(1);
    font.cmap->set_chr(0x41, 0x5A, 3);
    font.cmap->set_chr(0x20, 0x20, 0xFFFF);
    font.cmap->get_tbl();

    BFile out(output_path.c_str(), B_READ_WRITE | B_ERASE_FILE);
    font.save(out);
    return 0;
}
