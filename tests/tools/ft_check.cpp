// FreeType's view of a font, for tests: opens it, loads every glyph
// (outlines unscaled, unhinted) and prints "glyphs N"; with a character
// code (hexadecimal) and a size, also renders that character and prints
// its glyph index and the rendered rows, '#' for ink and '.' for none.
// Exits 1 with FreeType's error when anything fails.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: ft_check FONT [CODE PPEM]\n");
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
        printf("FreeType cannot open %s\n", argv[1]);
        return 1;
    }
    for (FT_Long g = 0; g < face->num_glyphs; g++) {
        if (FT_Error e = FT_Load_Glyph(face, (FT_UInt)g, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING)) {
            printf("glyph %ld: FreeType error %d\n", (long)g, e);
            return 1;
        }
    }
    printf("glyphs %ld\n", (long)face->num_glyphs);
    if (argc == 4) {
        unsigned long code = strtoul(argv[2], nullptr, 16);
        FT_UInt index = FT_Get_Char_Index(face, code);
        printf("index %u\n", index);
        if (FT_Set_Pixel_Sizes(face, 0, (FT_UInt)atoi(argv[3])) ||
            FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP)) {
            printf("FreeType cannot render U+%04lX\n", code);
            return 1;
        }
        const FT_Bitmap& b = face->glyph->bitmap;
        for (unsigned row = 0; row < b.rows; row++) {
            for (unsigned col = 0; col < b.width; col++)
                putchar(b.buffer[row * b.pitch + col] > 127 ? '#' : '.');
            putchar('\n');
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
