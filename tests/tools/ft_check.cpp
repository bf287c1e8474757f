// FreeType's view of a font, for tests: opens it, loads every glyph
// (outlines unscaled, unhinted) and prints "glyphs N"; with a character
// code (hexadecimal) and a size, also renders that character and prints
// its glyph index and the rendered rows, '#' for ink and '.' for none.
// With "report" instead, prints what FreeType reads of the edited tables:
//   CODE (hexadecimal)  "U+CODE index I advance A" (font units)
//   names               "name ID: text" for every Windows Unicode record
//   gasp=P,P,...        "gasp P: FLAGS" for each ppem P
// With "instances CODE PPEM", for each named instance of a variable font
// (set with FT_Set_Named_Instance): loads every glyph, renders the
// character and prints "instance K:" with the points of its outline in
// font units ("x,y" each, unhinted), "advance A" (its advance at that
// instance, font units) and "ink N" (pixels with ink).
// Exits 1 with FreeType's error when anything fails.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_MULTIPLE_MASTERS_H
#include FT_GASP_H
#include FT_SFNT_NAMES_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A UTF-16BE name string as UTF-8; unpaired surrogates become U+FFFD.
std::string utf8_of_utf16be(const FT_Byte* bytes, FT_UInt length) {
    std::string out;
    auto put = [&out](unsigned long c) {
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xc0 | c >> 6);
            out += (char)(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            out += (char)(0xe0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3f));
            out += (char)(0x80 | (c & 0x3f));
        } else {
            out += (char)(0xf0 | c >> 18);
            out += (char)(0x80 | (c >> 12 & 0x3f));
            out += (char)(0x80 | (c >> 6 & 0x3f));
            out += (char)(0x80 | (c & 0x3f));
        }
    };
    for (FT_UInt i = 0; i + 1 < length; i += 2) {
        unsigned long c = (unsigned long)bytes[i] << 8 | bytes[i + 1];
        if (c >= 0xd800 && c < 0xdc00 && i + 3 < length) {
            unsigned long low = (unsigned long)bytes[i + 2] << 8 | bytes[i + 3];
            if (low >= 0xdc00 && low < 0xe000) {
                put(0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00));
                i += 2;
                continue;
            }
        }
        put(c >= 0xd800 && c < 0xe000 ? 0xfffd : c);
    }
    return out;
}

int report(FT_Face face, int argc, char** argv) {
    for (int a = 3; a < argc; a++) {
        if (strcmp(argv[a], "names") == 0) {
            FT_UInt count = FT_Get_Sfnt_Name_Count(face);
            for (FT_UInt i = 0; i < count; i++) {
                FT_SfntName name;
                if (FT_Get_Sfnt_Name(face, i, &name) == 0 && name.platform_id == 3 &&
                    (name.encoding_id == 1 || name.encoding_id == 10))
                    printf("name %u: %s\n", name.name_id,
                           utf8_of_utf16be(name.string, name.string_len).c_str());
            }
        } else if (strncmp(argv[a], "gasp=", 5) == 0) {
            for (char* p = argv[a] + 5; *p;) {
                char* end = nullptr;
                unsigned long ppem = strtoul(p, &end, 10);
                if (end == p)
                    break;
                printf("gasp %lu: %d\n", ppem, FT_Get_Gasp(face, (FT_UInt)ppem));
                p = *end == ',' ? end + 1 : end;
            }
        } else {
            unsigned long code = strtoul(argv[a], nullptr, 16);
            FT_UInt index = FT_Get_Char_Index(face, code);
            FT_Fixed advance = 0;
            if (FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance)) {
                printf("FreeType has no advance for glyph %u\n", index);
                return 1;
            }
            printf("U+%04lX index %u advance %ld\n", code, index, (long)advance);
        }
    }
    return 0;
}

// Every glyph loads at every named instance, and the character renders.
int instances(FT_Face face, unsigned long code, FT_UInt ppem) {
    const FT_Long count = face->style_flags >> 16;
    if (count == 0) {
        printf("FreeType sees no named instances\n");
        return 1;
    }
    FT_UInt index = FT_Get_Char_Index(face, code);
    for (FT_Long k = 1; k <= count; k++) {
        if (FT_Error e = FT_Set_Named_Instance(face, (FT_UInt)k)) {
            printf("instance %ld: FreeType error %d\n", (long)k, e);
            return 1;
        }
        for (FT_Long g = 0; g < face->num_glyphs; g++) {
            if (FT_Error e =
                    FT_Load_Glyph(face, (FT_UInt)g, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING)) {
                printf("instance %ld glyph %ld: FreeType error %d\n", (long)k, (long)g, e);
                return 1;
            }
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
            return 1;
        printf("instance %ld:", (long)k);
        const FT_Outline& o = face->glyph->outline;
        for (short p = 0; p < o.n_points; p++)
            printf(" %ld,%ld", (long)o.points[p].x, (long)o.points[p].y);
        printf("\nadvance %ld\n", (long)face->glyph->metrics.horiAdvance);
        if (FT_Set_Pixel_Sizes(face, 0, ppem) ||
            FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP)) {
            printf("FreeType cannot render U+%04lX at instance %ld\n", code, (long)k);
            return 1;
        }
        const FT_Bitmap& b = face->glyph->bitmap;
        long ink = 0;
        for (unsigned row = 0; row < b.rows; row++)
            for (unsigned col = 0; col < b.width; col++)
                ink += b.buffer[row * b.pitch + col] > 127;
        printf("ink %ld\n", ink);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool reporting = argc >= 3 && strcmp(argv[2], "report") == 0;
    bool variable = argc == 5 && strcmp(argv[2], "instances") == 0;
    if (argc != 2 && argc != 4 && !reporting && !variable) {
        fprintf(stderr,
                "usage: ft_check FONT [CODE PPEM | report ITEM... | instances CODE PPEM]\n");
        return 2;
    }
    std::string path = argv[1];
    FT_Long index = 0;
    size_t hash = path.rfind('#');
    if (hash != std::string::npos && hash + 1 < path.size() &&
        path.find_first_not_of("0123456789", hash + 1) == std::string::npos) {
        index = strtol(path.c_str() + hash + 1, nullptr, 10);
        path.resize(hash);
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, path.c_str(), index, &face)) {
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
    if (reporting || variable) {
        int status = variable
                         ? instances(face, strtoul(argv[3], nullptr, 16), (FT_UInt)atoi(argv[4]))
                         : report(face, argc, argv);
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return status;
    }
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
