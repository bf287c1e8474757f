// A small command-line driver over the font model, for timing whole
// processes against other programs:
//   tavrel_fontcli idle                the same process doing nothing (baseline)
//   tavrel_fontcli load FONT           load only
//   tavrel_fontcli roundtrip IN OUT    load, then save a new file
//   tavrel_fontcli glyphs FONT         load, then decode every glyph
//   tavrel_fontcli face IN N OUT       face N of collection IN loaded, then the
//                                      collection written again with that face
//                                      (with "moved", the first point of the first
//                                      glyph with an outline moved first, so that
//                                      its glyf is copied on write)
// The model prints its diagnostic lines on standard output; the driver's
// own results follow as key=value pairs; idle and load end with the
// process's peak resident memory (peak_rss_kb), which a parent cannot learn
// reliably: the high-water mark it gets from wait4 also counts the memory of
// the process before its exec.
#include <File.h>

#include "font/collection.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

int fail(const char* what, const char* path) {
    fprintf(stderr, "tavrel_fontcli: %s %s\n", what, path);
    return 1;
}

int load(ttf& font, const char* path) {
    BFile file(path, B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return fail("cannot open", path);
    if (font.load(file) != 0) {
        fprintf(stderr, "tavrel_fontcli: cannot load %s: %s\n", path,
                font.load_error() ? font.load_error() : "not a TrueType font");
        return 1;
    }
    return 0;
}

int roundtrip(const char* in, const char* out) {
    ttf font;
    if (load(font, in) != 0)
        return 1;
    BFile file(out, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    if (file.InitCheck() != B_OK)
        return fail("cannot create", out);
    if (font.save(file) != 0)
        return fail("cannot save", out);
    return 0;
}

int glyphs(const char* path) {
    ttf font;
    if (load(font, path) != 0)
        return 1;
    long n = font.maxp->numglyphs(), failed = 0, contours = 0, points = 0;
    for (long gno = 0; gno < n; gno++) {
        glyph g((unsigned short)gno);
        if (font.get_glyph((int)gno, &g) != 0) {
            failed++;
            continue;
        }
        contours += g.count;
        for (int i = 0; i < g.count; i++)
            points += g.contours[i]->count;
    }
    printf("glyphs=%ld failed=%ld contours=%ld points=%ld\n", n, failed, contours, points);
    return failed == 0 ? 0 : 1;
}

int face_roundtrip(const char* in, long face, const char* out, bool moved) {
    BFile file(in, B_READ_ONLY);
    font_collection collection;
    if (file.InitCheck() != B_OK || collection.read(file) != 0)
        return fail("cannot read the collection", in);
    if (face < 0 || (size_t)face >= collection.faces().size())
        return fail("no such face in", in);
    ttf font;
    if (font.load(file, collection.faces()[face].diroffset) != 0)
        return fail("cannot load the face of", in);
    if (moved) {
        // The first glyph with an outline gets its first point moved.
        const long n = font.maxp->numglyphs();
        std::unique_ptr<glyph> g;
        long gno = 0;
        for (; gno < n; gno++) {
            g.reset(new glyph((unsigned short)gno));
            if (font.get_glyph((int)gno, g.get()) == 0 && g->count > 0 && g->contours[0]->count > 0)
                break;
        }
        if (gno == n)
            return fail("no glyph has an outline in", in);
        g->contours[0]->points[0] += BPoint(0, 1);
        if (font.set_glyph((int)gno, g.get()) != 0)
            return fail("cannot store a glyph of", in);
        printf("moved=%ld\n", gno);
    }
    face_tables tables;
    BFile target(out, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    std::string why;
    if (font.save_face(collection.faces()[face], &tables) != 0 ||
        write_collection(file, collection, (size_t)face, &tables, target, nullptr, &why) != 0)
        return fail("cannot save", out);
    return 0;
}

// The VmHWM line of /proc/self/status, in KiB; -1 when it cannot be read.
long peak_rss_kb() {
    FILE* f = fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, f)) {
        if (sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    }
    fclose(f);
    return kb;
}

int run(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "idle") == 0)
        return 0;
    if (argc == 3 && strcmp(argv[1], "load") == 0) {
        ttf font;
        return load(font, argv[2]);
    }
    if (argc == 4 && strcmp(argv[1], "roundtrip") == 0)
        return roundtrip(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "glyphs") == 0)
        return glyphs(argv[2]);
    if ((argc == 5 || argc == 6) && strcmp(argv[1], "face") == 0)
        return face_roundtrip(argv[2], strtol(argv[3], nullptr, 10), argv[4],
                              argc == 6 && strcmp(argv[5], "moved") == 0);
    fprintf(stderr, "usage: tavrel_fontcli idle | load FONT | roundtrip IN OUT | glyphs FONT | "
                    "face IN N OUT [moved]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int result = run(argc, argv);
    // Only the memory figures read it, and reading /proc would add to the
    // time of the timed modes.
    const bool measures_memory =
        argc >= 2 && (strcmp(argv[1], "idle") == 0 || strcmp(argv[1], "load") == 0);
    if (result == 0 && measures_memory)
        printf("peak_rss_kb=%ld\n", peak_rss_kb());
    return result;
}
