// FreeType peer: open a face and load every glyph in font units without
// hinting, the way a font editor would want the raw outlines. Prints the
// totals so that the comparison can check both readers did the same work.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: freetype_glyphs FONT\n");
        return 2;
    }
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) {
        fprintf(stderr, "freetype_glyphs: cannot start FreeType\n");
        return 1;
    }
    FT_Face face;
    if (FT_New_Face(lib, argv[1], 0, &face) != 0) {
        fprintf(stderr, "freetype_glyphs: cannot open %s\n", argv[1]);
        FT_Done_FreeType(lib);
        return 1;
    }
    long failed = 0, contours = 0, points = 0;
    for (FT_Long gno = 0; gno < face->num_glyphs; gno++) {
        if (FT_Load_Glyph(face, (FT_UInt)gno, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) {
            failed++;
            continue;
        }
        contours += face->glyph->outline.n_contours;
        points += face->glyph->outline.n_points;
    }
    printf("glyphs=%ld failed=%ld contours=%ld points=%ld\n", (long)face->num_glyphs, failed,
           contours, points);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return failed == 0 ? 0 : 1;
}
