#include "font_fallback.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <tuple>

namespace kit {

namespace {

struct fallback_fonts {
    std::mutex lock;
    // The characters of each family's own font.
    std::map<std::pair<std::string, bool>, FcCharSet*> own;
    // The face for a character the own font lacks; null when no font has it.
    std::map<std::tuple<std::string, bool, FcChar32>, cairo_font_face_t*> faces;
    // Every font fontconfig would fall back to for a family, best first,
    // sorted once: finding the font for a character is then a walk over
    // character sets, not a match over every installed font.
    struct sorted_fonts {
        FcPattern* wanted = nullptr; // the family's pattern, substituted
        FcFontSet* fonts = nullptr;
    };
    std::map<std::pair<std::string, bool>, sorted_fonts> sorted;
    // One face per font file, shared by all the characters it serves.
    std::map<std::pair<std::string, int>, cairo_font_face_t*> files;
};

fallback_fonts& fonts() {
    static fallback_fonts* all = new fallback_fonts();
    return *all;
}

FcPattern* pattern_for(const font_spec& font) {
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, (const FcChar8*)font.family.c_str());
    FcPatternAddInteger(p, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    return p;
}

// The font fontconfig matches to `p` (consumed); null when none.
FcPattern* match(FcPattern* p) {
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    return found;
}

FcCharSet* own_chars(fallback_fonts& all, const font_spec& font) {
    auto key = std::make_pair(font.family, font.bold);
    auto known = all.own.find(key);
    if (known != all.own.end())
        return known->second;
    FcCharSet* chars = nullptr;
    if (FcPattern* found = match(pattern_for(font))) {
        FcCharSet* set;
        if (FcPatternGetCharSet(found, FC_CHARSET, 0, &set) == FcResultMatch)
            chars = FcCharSetCopy(set);
        FcPatternDestroy(found);
    }
    all.own[key] = chars;
    return chars;
}

const fallback_fonts::sorted_fonts& sorted_for(fallback_fonts& all, const font_spec& font) {
    auto key = std::make_pair(font.family, font.bold);
    auto known = all.sorted.find(key);
    if (known != all.sorted.end())
        return known->second;
    fallback_fonts::sorted_fonts& made = all.sorted[key];
    made.wanted = pattern_for(font);
    FcConfigSubstitute(nullptr, made.wanted, FcMatchPattern);
    FcDefaultSubstitute(made.wanted);
    FcResult result;
    // Trimmed: a font that adds no character to those before it is left out.
    made.fonts = FcFontSort(nullptr, made.wanted, FcTrue, nullptr, &result);
    return made;
}

cairo_font_face_t* face_for(fallback_fonts& all, const font_spec& font, FcChar32 c) {
    auto key = std::make_tuple(font.family, font.bold, c);
    auto known = all.faces.find(key);
    if (known != all.faces.end())
        return known->second;
    cairo_font_face_t* face = nullptr;
    const fallback_fonts::sorted_fonts& sorted = sorted_for(all, font);
    for (int i = 0; sorted.fonts && i < sorted.fonts->nfont && !face; i++) {
        FcPattern* candidate = sorted.fonts->fonts[i];
        FcCharSet* set;
        FcChar8* file;
        int index = 0;
        if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &set) != FcResultMatch ||
            !FcCharSetHasChar(set, c) ||
            FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
        auto where = std::make_pair(std::string((const char*)file), index);
        auto shared = all.files.find(where);
        if (shared != all.files.end()) {
            face = shared->second;
            break;
        }
        FcPattern* prepared = FcFontRenderPrepare(nullptr, sorted.wanted, candidate);
        if (!prepared)
            continue;
        face = cairo_ft_font_face_create_for_pattern(prepared);
        FcPatternDestroy(prepared);
        if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(face);
            face = nullptr;
        }
        all.files[where] = face;
    }
    all.faces[key] = face;
    return face;
}

// The code point of the UTF-8 sequence at `i` and its length; length 0
// when the bytes there are not UTF-8.
size_t decode(const std::string& s, size_t i, FcChar32* c) {
    int n = FcUtf8ToUcs4((const FcChar8*)s.data() + i, c, (int)(s.size() - i));
    return n > 0 ? (size_t)n : 0;
}

} // namespace

std::vector<text_run> split_by_face(const font_spec& font, const std::string& text) {
    bool plain = true;
    for (unsigned char b : text)
        plain = plain && b < 0x80;
    if (plain)
        return {text_run{text, nullptr}};

    fallback_fonts& all = fonts();
    std::lock_guard<std::mutex> guard(all.lock);
    FcCharSet* own = own_chars(all, font);
    std::vector<text_run> runs;
    for (size_t i = 0; i < text.size();) {
        FcChar32 c;
        size_t n = decode(text, i, &c);
        if (n == 0)
            return {text_run{text, nullptr}};
        cairo_font_face_t* face = nullptr;
        if (own && !FcCharSetHasChar(own, c) && c >= 0x20)
            face = face_for(all, font, c);
        if (runs.empty() || runs.back().face != face)
            runs.push_back(text_run{std::string(), face});
        runs.back().text.append(text, i, n);
        i += n;
    }
    if (runs.empty())
        runs.push_back(text_run{text, nullptr});
    return runs;
}

} // namespace kit
