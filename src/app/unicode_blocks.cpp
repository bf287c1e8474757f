#include "app/unicode_blocks.h"

#include "font/ttf.h"

#include <cstring>

// Not in code order, and some Unicode blocks come in two rows (Greek,
// Hebrew, Arabic, Georgian): the order is that of the OS/2 range bits.
const unicode_block unicode_blocks[BLOCK_COUNT] = {
    {0x0000, 0x007F, "BASIC_LATIN"},
    {0x0080, 0x00FF, "LATIN1_SUPPLEMENT"},
    {0x0100, 0x017F, "LATIN_EXTENDED_A"},
    {0x0180, 0x024F, "LATIN_EXTENDED_B"},
    {0x0250, 0x02AF, "IPA_EXTENSIONS"},
    {0x02B0, 0x02FF, "SPACING_MODIFIER_LETTERS"},
    {0x0300, 0x036F, "COMBINING_DIACRITICAL_MARKS"},
    {0x0370, 0x03CF, "BASIC_GREEK"},
    {0x03D0, 0x03FF, "GREEK_SYMBOLS_AND_COPTIC"},
    {0x0400, 0x04FF, "CYRILLIC"},
    {0x0530, 0x058F, "ARMENIAN"},
    {0x0590, 0x05CF, "BASIC_HEBREW"},
    {0x05D0, 0x05FF, "HEBREW_EXTENDED"},
    {0x0600, 0x0670, "BASIC_ARABIC"},
    {0x0671, 0x06FF, "ARABIC_EXTENDED"},
    {0x0900, 0x097F, "DEVANAGARI"},
    {0x0980, 0x09FF, "BENGALI"},
    {0x0A00, 0x0A7F, "GURMUKHI"},
    {0x0A80, 0x0AFF, "GUJARATI"},
    {0x0B00, 0x0B7F, "ORIYA"},
    {0x0B80, 0x0BFF, "TAMIL"},
    {0x0C00, 0x0C7F, "TELUGU"},
    {0x0C80, 0x0CFF, "KANNADA"},
    {0x0D00, 0x0D7F, "MALAYALAM"},
    {0x0E00, 0x0E7F, "THAI"},
    {0x0E80, 0x0EFF, "LAO"},
    {0x10A0, 0x10CF, "BASIC_GEORGIAN"},
    {0x10D0, 0x10FF, "GEORGIAN_EXTENDED"},
    {0x1100, 0x11FF, "HANGUL_JAMO"},
    {0x1E00, 0x1EFF, "LATIN_EXTENDED_ADDITIONAL"},
    {0x1F00, 0x1FFF, "GREEK_EXTENDED"},
    {0x2000, 0x206F, "GENERAL_PUNCTUATION"},
    {0x2070, 0x209F, "SUPERSCRIPTS_AND_SUBSCRIPTS"},
    {0x20A0, 0x20CF, "CURRENCY_SYMBOLS"},
    {0x20D0, 0x20FF, "COMBINING_MARKS_FOR_SYMBOLS"},
    {0x2100, 0x214F, "LETTERLIKE_SYMBOLS"},
    {0x2150, 0x218F, "NUMBER_FORMS"},
    {0x2190, 0x21FF, "ARROWS"},
    {0x2200, 0x22FF, "MATHEMATICAL_OPERATORS"},
    {0x2300, 0x23FF, "MISCELLANEOUS_TECHNICAL"},
    {0x2400, 0x243F, "CONTROL_PICTURES"},
    {0x2440, 0x245F, "OPTICAL_CHARACTER_RECOGNITION"},
    {0x2460, 0x24FF, "ENCLOSED_ALPHANUMERICS"},
    {0x2500, 0x257F, "BOX_DRAWING"},
    {0x2580, 0x259F, "BLOCK_ELEMENTS"},
    {0x25A0, 0x25FF, "GEOMETRIC_SHAPES"},
    {0x2600, 0x26FF, "MISCELLANEOUS_SYMBOLS"},
    {0x2700, 0x27BF, "DINGBATS"},
    {0x3000, 0x303F, "CJK_SYMBOLS_AND_PUNCTUATION"},
    {0x3040, 0x309F, "HIRAGANA"},
    {0x30A0, 0x30FF, "KATAKANA"},
    {0x3100, 0x312F, "BOPOMOFO"},
    {0x3130, 0x318F, "HANGUL_COMPATIBILITY_JAMO"},
    {0x3190, 0x319F, "CJK_MISCELLANEOUS"},
    {0x3200, 0x32FF, "ENCLOSED_CJK_LETTERS_AND_MONTHS"},
    {0x3300, 0x33FF, "CJK_COMPATIBILITY"},
    {0xAC00, 0xD7AF, "HANGUL"},
    {0xD800, 0xDBFF, "HIGH_SURROGATES"},
    {0xDC00, 0xDFFF, "LOW_SURROGATES"},
    {0x4E00, 0x9FFF, "CJK_UNIFIED_IDEOGRAPHS"},
    {0xE000, 0xF8FF, "PRIVATE_USE_AREA"},
    {0xF900, 0xFAFF, "CJK_COMPATIBILITY_IDEOGRAPHS"},
    {0xFB00, 0xFB4F, "ALPHABETIC_PRESENTATION_FORMS"},
    {0xFB50, 0xFDFF, "ARABIC_PRESENTATION_FORMS_A"},
    {0xFE20, 0xFE2F, "COMBINING_HALF_MARKS"},
    {0xFE30, 0xFE4F, "CJK_COMPATIBILITY_FORMS"},
    {0xFE50, 0xFE6F, "SMALL_FORM_VARIANTS"},
    {0xFE70, 0xFEFE, "ARABIC_PRESENTATION_FORMS_B"},
    {0xFF00, 0xFFEF, "HALFWIDTH_AND_FULLWIDTH_FORMS"},
    {0xFFF0, 0xFFFF, "SPECIALS"},
    {0x0F00, 0x0FBF, "TIBETAN"},
};

namespace {

const int SPECIALS = 69;

} // namespace

void setchrs(setupinfo* setup, const bool ticked[BLOCK_COUNT]) {
    if (!setup)
        return;
    std::memset(setup->blocks, 0, sizeof setup->blocks);
    std::memset(setup->chars, 0, sizeof setup->chars);
    setup->chars[0] = 1;
    for (int i = 0; i < BLOCK_COUNT; i++) {
        if (!ticked[i])
            continue;
        setup->blocks[i] = 1;
        std::memset(setup->chars + unicode_blocks[i].first, 1,
                    (size_t)unicode_blocks[i].last - unicode_blocks[i].first + 1);
        // The byte order mark sits at the end of the Arabic forms, which
        // stop one short of it.
        if (i == SPECIALS)
            setup->chars[0xFEFF] = 1;
    }
    int32_t count = 0;
    for (size_t c = 0; c < sizeof setup->chars; c++)
        count += setup->chars[c];
    setup->chrcount = count;
    setup->glyphcount = count;
}
