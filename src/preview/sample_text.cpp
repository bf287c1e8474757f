#include "preview/sample_text.h"

#include <cstddef>

namespace {

const char* const PANGRAM = "The quick brown fox jumps over the lazy dog 0123456789";

// A block, and a line of its common characters (empty: the block's first
// characters the font has, in code order).
struct sample_block {
    uint32_t first;
    uint32_t last;
    const char* line;
};

const sample_block BLOCKS[] = {
    {0x0370, 0x03FF, "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία"},
    {0x0400, 0x04FF, "Съешь же ещё этих мягких французских булок да выпей чаю"},
    {0x0530, 0x058F, "Բարեւ աշխարհ"},
    {0x0590, 0x05FF, "דג סקרן שט בים מאוכזב ולפתע מצא חברה"},
    {0x0600, 0x06FF, "نص حكيم له سر قاطع وذو شأن عظيم"},
    {0x0900, 0x097F, "ऋषियों को सताने वाले दुष्ट राक्षसों के राजा रावण का सर्वनाश करने वाले"},
    {0x0980, 0x09FF, ""},
    {0x0A00, 0x0A7F, ""},
    {0x0A80, 0x0AFF, ""},
    {0x0B80, 0x0BFF, ""},
    {0x0E00, 0x0E7F, "เป็นมนุษย์สุดประเสริฐเลิศคุณค่า"},
    {0x10A0, 0x10FF, ""},
    {0x1100, 0x11FF, ""},
    {0x3040, 0x309F, "いろはにほへと ちりぬるを わかよたれそ つねならむ"},
    {0x30A0, 0x30FF, "イロハニホヘト チリヌルヲ ワカヨタレソ ツネナラム"},
    {0x4E00, 0x9FFF, "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年"},
    {0xAC00, 0xD7AF, "다람쥐 헌 쳇바퀴에 타고파 가나다라마바사"},
    {0x2000, 0x206F, ""},
    {0x2190, 0x21FF, ""},
    {0x2200, 0x22FF, ""},
    {0x2500, 0x257F, ""},
    {0x25A0, 0x25FF, ""},
    {0x2600, 0x26FF, ""},
    {0xE000, 0xF8FF, ""},
    {0x0100, 0x024F, ""},
    {0x0250, 0x02AF, ""},
    {0x20000, 0x2A6DF, ""},
};

// The UTF-8 bytes of `code`.
void append_utf8(std::string* s, uint32_t code) {
    if (code < 0x80) {
        s->push_back((char)code);
    } else if (code < 0x800) {
        s->push_back((char)(0xC0 | code >> 6));
        s->push_back((char)(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        s->push_back((char)(0xE0 | code >> 12));
        s->push_back((char)(0x80 | (code >> 6 & 0x3F)));
        s->push_back((char)(0x80 | (code & 0x3F)));
    } else {
        s->push_back((char)(0xF0 | code >> 18));
        s->push_back((char)(0x80 | (code >> 12 & 0x3F)));
        s->push_back((char)(0x80 | (code >> 6 & 0x3F)));
        s->push_back((char)(0x80 | (code & 0x3F)));
    }
}

bool covers_latin(const std::function<bool(uint32_t)>& maps) {
    for (const char* c = PANGRAM; *c; c++)
        if (*c != ' ' && !maps((unsigned char)*c))
            return false;
    return true;
}

// The mapped characters of [first, last].
size_t covered(const std::function<bool(uint32_t)>& maps, uint32_t first, uint32_t last) {
    size_t n = 0;
    for (uint32_t c = first; c <= last; c++)
        n += maps(c) ? 1 : 0;
    return n;
}

} // namespace

std::string sample_text(const std::function<bool(uint32_t)>& maps) {
    if (covers_latin(maps))
        return PANGRAM;
    const sample_block* best = nullptr;
    size_t most = 0;
    for (const sample_block& b : BLOCKS) {
        size_t n = covered(maps, b.first, b.last);
        if (n > most) {
            most = n;
            best = &b;
        }
    }
    std::string line;
    // Basic Latin without a whole pangram (a symbol font, say) still
    // beats an empty line.
    if (!best || covered(maps, 0x21, 0x7E) >= most) {
        for (uint32_t c = 0x21; c <= 0x7E && line.size() < 40; c++)
            if (maps(c))
                line.push_back((char)c);
        return line;
    }
    if (*best->line) {
        // The common characters the font has; the line is kept when it
        // has at least half of them.
        int total = 0, kept = 0;
        for (size_t at = 0; best->line[at];) {
            size_t start = at;
            unsigned char lead = (unsigned char)best->line[at];
            size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            uint32_t code = lead < 0x80   ? lead
                            : lead < 0xE0 ? lead & 0x1Fu
                            : lead < 0xF0 ? lead & 0x0Fu
                                          : lead & 0x07u;
            for (size_t k = 1; k < len; k++)
                code = code << 6 | ((unsigned char)best->line[start + k] & 0x3Fu);
            at += len;
            if (code == ' ') {
                if (!line.empty() && line.back() != ' ')
                    line.push_back(' ');
                continue;
            }
            total++;
            if (maps(code)) {
                kept++;
                line.append(best->line + start, len);
            }
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (2 * kept >= total)
            return line;
        line.clear();
    }
    int n = 0;
    for (uint32_t c = best->first; c <= best->last && n < 40; c++)
        if (maps(c)) {
            append_utf8(&line, c);
            n++;
        }
    return line;
}
