#include "overview/post_names.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The standard Macintosh glyph names, in their order.
// clang-format off
const char* const mac_names[258] = {
    ".notdef", ".null", "nonmarkingreturn", "space", "exclam", "quotedbl", "numbersign", "dollar",
    "percent", "ampersand", "quotesingle", "parenleft", "parenright", "asterisk", "plus", "comma",
    "hyphen", "period", "slash", "zero", "one", "two", "three", "four", "five", "six", "seven",
    "eight", "nine", "colon", "semicolon", "less", "equal", "greater", "question", "at", "A", "B",
    "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U",
    "V", "W", "X", "Y", "Z", "bracketleft", "backslash", "bracketright", "asciicircum",
    "underscore", "grave", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n",
    "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", "braceleft", "bar", "braceright",
    "asciitilde", "Adieresis", "Aring", "Ccedilla", "Eacute", "Ntilde", "Odieresis", "Udieresis",
    "aacute", "agrave", "acircumflex", "adieresis", "atilde", "aring", "ccedilla", "eacute",
    "egrave", "ecircumflex", "edieresis", "iacute", "igrave", "icircumflex", "idieresis", "ntilde",
    "oacute", "ograve", "ocircumflex", "odieresis", "otilde", "uacute", "ugrave", "ucircumflex",
    "udieresis", "dagger", "degree", "cent", "sterling", "section", "bullet", "paragraph",
    "germandbls", "registered", "copyright", "trademark", "acute", "dieresis", "notequal", "AE",
    "Oslash", "infinity", "plusminus", "lessequal", "greaterequal", "yen", "mu", "partialdiff",
    "summation", "product", "pi", "integral", "ordfeminine", "ordmasculine", "Omega", "ae",
    "oslash", "questiondown", "exclamdown", "logicalnot", "radical", "florin", "approxequal",
    "Delta", "guillemotleft", "guillemotright", "ellipsis", "nonbreakingspace", "Agrave", "Atilde",
    "Otilde", "OE", "oe", "endash", "emdash", "quotedblleft", "quotedblright", "quoteleft",
    "quoteright", "divide", "lozenge", "ydieresis", "Ydieresis", "fraction", "currency",
    "guilsinglleft", "guilsinglright", "fi", "fl", "daggerdbl", "periodcentered", "quotesinglbase",
    "quotedblbase", "perthousand", "Acircumflex", "Ecircumflex", "Aacute", "Edieresis", "Egrave",
    "Iacute", "Icircumflex", "Idieresis", "Igrave", "Oacute", "Ocircumflex", "apple", "Ograve",
    "Uacute", "Ucircumflex", "Ugrave", "dotlessi", "circumflex", "tilde", "macron", "breve",
    "dotaccent", "ring", "cedilla", "hungarumlaut", "ogonek", "caron", "Lslash", "lslash",
    "Scaron", "scaron", "Zcaron", "zcaron", "brokenbar", "Eth", "eth", "Yacute", "yacute", "Thorn",
    "thorn", "minus", "multiply", "onesuperior", "twosuperior", "threesuperior", "onehalf",
    "onequarter", "threequarters", "franc", "Gbreve", "gbreve", "Idotaccent", "Scedilla",
    "scedilla", "Cacute", "cacute", "Ccaron", "ccaron", "dcroat",
};
// clang-format on

const size_t header = 32;

// Calls `visit(gno, name, length)` for every glyph below `glyphs` that has
// a name, until it returns true; returns whether it did.
template <typename F> bool each_name(const byte_span& post, unsigned glyphs, F visit) {
    const uint32_t format = post.u32(0);
    if (!post.has(0, header))
        return false;
    if (format == 0x00010000) {
        for (unsigned g = 0; g < glyphs && g < 258; g++)
            if (visit(g, mac_names[g], std::strlen(mac_names[g])))
                return true;
        return false;
    }
    const unsigned n = std::min<unsigned>(post.u16(header), glyphs);
    if (format == 0x00025000) {
        for (unsigned g = 0; g < n && post.has(header + 2 + g, 1); g++) {
            int k = (int)g + post.s8(header + 2 + g);
            if (k >= 0 && k < 258 && visit(g, mac_names[k], std::strlen(mac_names[k])))
                return true;
        }
        return false;
    }
    if (format != 0x00020000)
        return false;
    const unsigned all = post.u16(header);
    if (!post.has(header + 2, 2 * (size_t)all))
        return false;
    // Where each custom name starts: the strings follow one another.
    std::vector<size_t> starts;
    size_t at = header + 2 + 2 * (size_t)all;
    while (post.has(at, 1) && post.has(at + 1, post.u8(at))) {
        starts.push_back(at);
        at += 1 + (size_t)post.u8(at);
    }
    for (unsigned g = 0; g < n; g++) {
        unsigned k = post.u16(header + 2 + 2 * (size_t)g);
        if (k < 258) {
            if (visit(g, mac_names[k], std::strlen(mac_names[k])))
                return true;
        } else if (k - 258 < starts.size()) {
            size_t s = starts[k - 258];
            if (visit(g, (const char*)post.data() + s + 1, (size_t)post.u8(s)))
                return true;
        }
    }
    return false;
}

} // namespace

int post_glyph_named(const byte_span& post, const std::string& name, unsigned glyphs) {
    int found = -1;
    each_name(post, glyphs, [&](unsigned g, const char* text, size_t length) {
        if (length != name.size() || std::memcmp(text, name.data(), length) != 0)
            return false;
        found = (int)g;
        return true;
    });
    return found;
}

std::string post_glyph_name(const byte_span& post, unsigned gno) {
    std::string name;
    each_name(post, gno + 1, [&](unsigned g, const char* text, size_t length) {
        if (g != gno)
            return false;
        name.assign(text, length);
        return true;
    });
    return name;
}
