// The naming table: its header and storage, each record's place and text,
// the names Windows needs, and the PostScript name's characters.
//
// Layout: format, count, stringOffset, then count records of platformID,
// encodingID, languageID, nameID, length, offset (from stringOffset);
// format 1 adds langTagCount and records of length, offset.
#include "check/check_context.h"

#include <UTF8.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

const uint32_t NAME = tag_of("name");

const struct {
    unsigned id;
    const char* what;
} WINDOWS_NAMES[] = {{1, "family"},
                     {2, "subfamily"},
                     {3, "unique identifier"},
                     {4, "full name"},
                     {6, "PostScript name"}};

bool utf16(unsigned platform, unsigned encoding) {
    return platform == 0 || (platform == 3 && (encoding == 0 || encoding == 1 || encoding == 10));
}

bool shift_jis(unsigned platform, unsigned encoding) {
    return (platform == 1 && encoding == 1) || (platform == 3 && encoding == 2);
}

// What is wrong with a UTF-16BE text, or empty.
std::string bad_utf16(byte_span s) {
    if (s.size() % 2 != 0)
        return format("its UTF-16 text has an odd length of %zu bytes", s.size());
    for (size_t i = 0; i < s.size(); i += 2) {
        const unsigned u = s.u16(i);
        if (u >= 0xD800 && u <= 0xDBFF) {
            const unsigned v = s.u16(i + 2);
            if (i + 2 >= s.size() || v < 0xDC00 || v > 0xDFFF)
                return format("its UTF-16 text has a lone surrogate 0x%04X at byte %zu", u, i);
            i += 2;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return format("its UTF-16 text has a lone surrogate 0x%04X at byte %zu", u, i);
        }
    }
    return std::string();
}

// Whether a Shift-JIS text converts without a character replaced.
bool good_shift_jis(byte_span s) {
    std::string in(reinterpret_cast<const char*>(s.data()), s.size());
    std::string out(4 * in.size() + 4, '\0');
    int32 inlen = (int32)in.size(), outlen = (int32)out.size(), state = 0;
    if (convert_to_utf8(B_SJIS_CONVERSION, in.data(), &inlen, &out[0], &outlen, &state) != B_OK)
        return false;
    if (inlen != (int32)in.size())
        return false;
    // The substitute only appears when something could not be converted
    // (or when the text had it already).
    const bool before = in.find('\x1A') != std::string::npos;
    const bool after = out.substr(0, outlen).find('\x1A') != std::string::npos;
    return before || !after;
}

// The first character a PostScript name may not hold, or 0.
unsigned bad_postscript_char(const std::vector<unsigned>& text) {
    for (unsigned ch : text)
        if (ch < 33 || ch > 126 || std::string("[](){}<>/%").find((char)ch) != std::string::npos)
            return ch ? ch : 0xFFFF;
    return 0;
}

} // namespace

void check_name(check_context& c) {
    if (!c.tables.has(NAME))
        return;
    const byte_span t = c.tables.find(NAME);
    if (t.size() < 6)
        return c.error(NAME, "name has %zu bytes; its header takes 6", t.size());
    const unsigned fmt = t.u16(0), count = t.u16(2), storage = t.u16(4);
    if (fmt > 1)
        return c.error(NAME, "name's format is %u; it is 0 or 1", fmt);
    size_t end = 6 + 12 * (size_t)count;
    unsigned tags = 0;
    if (fmt == 1) {
        tags = t.u16(end);
        end += 2 + 4 * (size_t)tags;
    }
    if (end > t.size())
        return c.error(NAME, "name's %u records run past its %zu bytes", count, t.size());
    if (storage > t.size())
        return c.error(NAME, "name.stringOffset is %u, past the table's %zu bytes", storage,
                       t.size());
    if (storage < end)
        return c.error(NAME, "name.stringOffset is %u, inside the records, which end at %zu",
                       storage, end);
    for (unsigned k = 0; k < tags; k++) {
        const size_t r = 6 + 12 * (size_t)count + 2 + 4 * (size_t)k;
        if ((size_t)storage + t.u16(r + 2) + t.u16(r) > t.size())
            return c.error(NAME, "language tag %u lies past the end of name", k);
    }
    std::set<std::tuple<unsigned, unsigned, unsigned, unsigned>> seen;
    std::set<unsigned> windows;
    bool sorted = true;
    for (unsigned i = 0; i < count; i++) {
        const size_t r = 6 + 12 * (size_t)i;
        const unsigned platform = t.u16(r), encoding = t.u16(r + 2), language = t.u16(r + 4),
                       id = t.u16(r + 6), length = t.u16(r + 8), offset = t.u16(r + 10);
        const auto key = std::make_tuple(platform, encoding, language, id);
        const std::string which =
            format("record %u (platform %u, encoding %u, language 0x%X, name %u)", i, platform,
                   encoding, language, id);
        if (i > 0 && sorted) {
            const size_t p = r - 12;
            if (key < std::make_tuple(t.u16(p), t.u16(p + 2), t.u16(p + 4), t.u16(p + 6))) {
                sorted = false;
                c.warning(NAME,
                          "%s comes after a record it sorts before; records are sorted by "
                          "platform, encoding, language and name",
                          which.c_str());
            }
        }
        if (!seen.insert(key).second)
            c.warning(NAME, "%s repeats an earlier record's keys", which.c_str());
        const byte_span text = t.slice((size_t)storage + offset, length);
        if (text.size() != length) {
            c.warning(NAME, "%s: its %u bytes at offset %u lie past the end of name", which.c_str(),
                      length, offset);
            continue;
        }
        std::vector<unsigned> chars;
        if (utf16(platform, encoding)) {
            const std::string why = bad_utf16(text);
            if (!why.empty()) {
                c.warning(NAME, "%s: %s", which.c_str(), why.c_str());
                continue;
            }
            for (size_t k = 0; k + 1 < text.size(); k += 2)
                chars.push_back(text.u16(k));
        } else if (shift_jis(platform, encoding)) {
            if (!good_shift_jis(text))
                c.warning(NAME, "%s: its text is not valid Shift-JIS", which.c_str());
            continue;
        } else {
            for (size_t k = 0; k < text.size(); k++)
                chars.push_back(text.u8(k));
        }
        if (platform == 3 && (encoding == 1 || encoding == 10 || encoding == 0) && length > 0)
            windows.insert(id);
        if (id == 6 && (platform == 1 || platform == 3)) {
            if (const unsigned bad = bad_postscript_char(chars))
                c.warning(NAME,
                          "%s: the PostScript name holds U+%04X; it is printable ASCII "
                          "without spaces or []{}()<>/%%",
                          which.c_str(), bad == 0xFFFF ? 0 : bad);
            else if (chars.size() > 63)
                c.warning(NAME, "%s: the PostScript name has %zu characters; it has at most 63",
                          which.c_str(), chars.size());
        }
    }
    for (const auto& w : WINDOWS_NAMES)
        if (!windows.count(w.id))
            c.warning(NAME, "name has no Windows record of name %u (%s)", w.id, w.what);
}
