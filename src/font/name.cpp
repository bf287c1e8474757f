#include "font/name.h"

#include <UTF8.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

const size_t HEADER = 6;
const size_t RECORD = 12;
const size_t MAX16 = 0xFFFF;

uint64_t key_of(uint64_t platformID, uint64_t encodingID, uint64_t languageID, uint64_t nameID) {
    return (platformID << 48) | (encodingID << 32) | (languageID << 16) | nameID;
}

// The records that lie wholly inside the table.
size_t record_count(byte_span t) {
    if (t.size() < HEADER)
        return 0;
    size_t stored = t.u16(2);
    size_t fits = (t.size() - HEADER) / RECORD;
    return stored < fits ? stored : fits;
}

// A string of the storage; empty when any part of it lies outside the table.
byte_span storage_string(byte_span t, size_t length, size_t offset) {
    return t.slice((size_t)t.u16(4) + offset, length);
}

byte_span record_string(byte_span t, size_t i) {
    size_t at = HEADER + RECORD * i;
    return storage_string(t, t.u16(at + 8), t.u16(at + 10));
}

// Format 1 tables carry language-tag strings after the records; they are
// kept through rebuilds because records with languageID >= 0x8000 refer to
// them. Returns the tags that lie inside the table.
std::vector<byte_span> language_tags(byte_span t) {
    std::vector<byte_span> tags;
    if (t.u16(0) != 1)
        return tags;
    size_t at = HEADER + RECORD * record_count(t);
    if (!t.has(at, 2))
        return tags;
    size_t stored = t.u16(at);
    size_t fits = (t.size() - at - 2) / 4;
    size_t n = stored < fits ? stored : fits;
    for (size_t i = 0; i < n; i++) {
        size_t rec = at + 2 + 4 * i;
        tags.push_back(storage_string(t, t.u16(rec), t.u16(rec + 2)));
    }
    return tags;
}

struct kept_record {
    unsigned short ids[4];
    byte_span text;
};

bool copy_into(byte_writer& w, size_t off, byte_span src) {
    if (!w.has(off, src.size()))
        return false;
    if (src.size())
        std::memcpy(w.data() + off, src.data(), src.size());
    return true;
}

// Converts UTF-8 text into the stored form of `encoding`. Every character is
// written whole; an unconvertible one, or a sequence cut short at the end of
// the text, becomes the substitute character.
bool encode_text(int encoding, const char* text, std::vector<unsigned char>* out) {
    size_t n = std::strlen(text);
    if (n > MAX16)
        return false;
    // Two output bytes per input byte hold the worst case of both
    // conversions (1-byte UTF-8 to 2-byte UTF-16, and an invalid byte to a
    // 2-byte substitute); the loop still grows the buffer should a
    // converter need more.
    size_t capacity = 2 * n + 4;
    for (;;) {
        out->resize(capacity);
        int32 srcLen = (int32)n;
        int32 dstLen = (int32)capacity;
        int32 state = 0;
        if (convert_from_utf8((uint32)encoding, text, &srcLen, (char*)out->data(), &dstLen,
                              &state) != B_OK)
            return false;
        size_t written = (size_t)dstLen;
        if ((size_t)srcLen == n) {
            out->resize(written);
            return true;
        }
        if (capacity - written >= 4) {
            // Room was left, so the text ends inside a character.
            out->resize(written);
            if (encoding == B_UNICODE_CONVERSION)
                out->push_back(0);
            out->push_back(B_SUBSTITUTE);
            return true;
        }
        capacity *= 2;
    }
}

// The character of the UTF-8 sequence at `i`: its length (0 for bytes that
// are not UTF-8: stray, overlong, cut short, a surrogate or past U+10FFFF).
size_t utf8_char(const std::string& s, size_t i, uint32_t* c) {
    unsigned char lead = (unsigned char)s[i];
    size_t n = lead < 0x80         ? 1
               : (lead >> 5) == 6  ? 2
               : (lead >> 4) == 14 ? 3
               : (lead >> 3) == 30 ? 4
                                   : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    uint32_t v = n == 1 ? lead : lead & (0x7F >> n);
    for (size_t k = 1; k < n; k++) {
        if (((unsigned char)s[i + k] & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | ((unsigned char)s[i + k] & 0x3F);
    }
    static const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < least[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *c = v;
    return n;
}

// The first character of `text` that the encoding cannot hold
// (NAME_NOT_UTF8 for bytes that are not UTF-8); false when all fit.
bool unencodable(int encoding, bool surrogates, const char* text, uint32_t* refused) {
    const std::string s = text;
    // Most texts fit: one conversion tells. Only one that came out with a
    // substitute is looked at character by character. A text too long to
    // convert is refused for its length by the caller.
    bool substituted = false;
    if (encoding != B_UNICODE_CONVERSION) {
        std::vector<unsigned char> converted;
        if (!encode_text(encoding, text, &converted))
            return false;
        substituted =
            std::find(converted.begin(), converted.end(), B_SUBSTITUTE) != converted.end();
    }
    for (size_t i = 0; i < s.size();) {
        uint32_t c = 0;
        size_t n = utf8_char(s, i, &c);
        if (n == 0) {
            *refused = NAME_NOT_UTF8;
            return true;
        }
        bool fits = encoding == B_UNICODE_CONVERSION ? c <= 0xFFFF || surrogates : true;
        if (encoding != B_UNICODE_CONVERSION && substituted && c != B_SUBSTITUTE) {
            std::vector<unsigned char> one;
            fits = encode_text(encoding, s.substr(i, n).c_str(), &one) &&
                   std::find(one.begin(), one.end(), B_SUBSTITUTE) == one.end();
        }
        if (!fits) {
            *refused = c;
            return true;
        }
        i += n;
    }
    return false;
}

// Bytes shown and typed as hexadecimal pairs: "4e 61 6d 65".
std::string hex_text(byte_span s, size_t room) {
    std::string out;
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < s.size(); i++) {
        size_t need = out.size() + (i ? 3 : 2);
        if (need > room)
            break;
        if (i)
            out += ' ';
        out += digits[s.u8(i) >> 4];
        out += digits[s.u8(i) & 15];
    }
    return out;
}

bool parse_hex(const char* text, std::vector<unsigned char>* out) {
    int high = -1;
    for (const char* p = text; *p; p++) {
        char c = *p;
        if (c == ' ' || c == '\t' || c == '\n')
            continue;
        int v = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
        if (v < 0)
            return false;
        if (high < 0) {
            high = v;
        } else {
            out->push_back((unsigned char)(high * 16 + v));
            high = -1;
        }
    }
    return high < 0;
}

} // namespace

int name_encoding(unsigned short platformID, unsigned short encodingID, unsigned short languageID) {
    if (platformID == 0)
        return B_UNICODE_CONVERSION;
    if (platformID == 3 && (encodingID == 0 || encodingID == 1 || encodingID == 10))
        return B_UNICODE_CONVERSION;
    if ((platformID == 3 && encodingID == 2) || (platformID == 1 && encodingID == 1))
        return B_SJIS_CONVERSION;
    // Icelandic, Turkish, Croatian, Romanian and the Central European
    // languages have Macintosh encodings of their own.
    static const unsigned short variants[] = {15, 17, 18, 24, 25, 26, 27, 28, 36, 37, 38, 39, 40};
    if (platformID == 1 && encodingID == 0 &&
        std::find(std::begin(variants), std::end(variants), languageID) == std::end(variants))
        return B_MAC_ROMAN_CONVERSION;
    return -1;
}

bool name_allows_surrogates(unsigned short platformID, unsigned short encodingID) {
    // Unicode 2.0's full repertoire and later; the older Unicode encodings
    // and Windows' (3, 0) and (3, 1) hold the Basic Multilingual Plane only.
    return (platformID == 0 && encodingID >= 4) || (platformID == 3 && encodingID == 10);
}

const char* name_encoding_label(unsigned short platformID, unsigned short encodingID,
                                unsigned short languageID) {
    switch (name_encoding(platformID, encodingID, languageID)) {
    case B_UNICODE_CONVERSION:
        return name_allows_surrogates(platformID, encodingID)
                   ? "UTF-16"
                   : "UTF-16 of the Basic Multilingual Plane";
    case B_SJIS_CONVERSION:
        return "Shift-JIS";
    case B_MAC_ROMAN_CONVERSION:
        return "Macintosh Roman";
    default:
        return "bytes";
    }
}

ttf_name::ttf_name(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("name"), data, length) {
    if (!data)
        create_default();
}

int ttf_name::count() {
    return (int)record_count(bytes());
}

long ttf_name::text_capacity(int index) {
    byte_span t = bytes();
    if (index < 0 || (size_t)index >= record_count(t))
        return 0;
    // A stored byte becomes at most three bytes of UTF-8: a half-width
    // katakana byte of Shift-JIS does; a 16-bit unit needs at most three
    // for its two bytes.
    return 3 * (long)record_string(t, (size_t)index).size() + 1;
}

int ttf_name::get_field(int index, unsigned short* platformID, unsigned short* encodingID,
                        unsigned short* languageID, unsigned short* nameID, long* length,
                        char* text) {
    byte_span t = bytes();
    if (index < 0 || (size_t)index >= record_count(t))
        return 1;
    size_t at = HEADER + RECORD * (size_t)index;
    *platformID = t.u16(at);
    *encodingID = t.u16(at + 2);
    *languageID = t.u16(at + 4);
    *nameID = t.u16(at + 6);

    long capacity = *length;
    if (!text || capacity < 1) {
        *length = 0;
        return 0;
    }
    byte_span s = record_string(t, (size_t)index);
    size_t room = (size_t)capacity - 1;
    size_t written = 0;
    int encoding = name_encoding(*platformID, *encodingID, *languageID);
    if (encoding >= 0) {
        int32 srcLen = (int32)s.size();
        int32 dstLen = room > 0x7FFFFFFF ? 0x7FFFFFFF : (int32)room;
        int32 state = 0;
        if (s.size() && convert_to_utf8((uint32)encoding, (const char*)s.data(), &srcLen, text,
                                        &dstLen, &state) == B_OK)
            written = (size_t)dstLen;
    } else {
        std::string hex = hex_text(s, room);
        written = hex.size();
        std::memcpy(text, hex.data(), written);
    }
    text[written] = 0;
    *length = (long)written;
    return 0;
}

int ttf_name::set_field(unsigned short platformID, unsigned short encodingID,
                        unsigned short languageID, unsigned short nameID, const char* text,
                        uint32_t* refused) {
    byte_span old = bytes();
    uint64_t key = key_of(platformID, encodingID, languageID, nameID);

    std::vector<unsigned char> converted;
    const int encoding = name_encoding(platformID, encodingID, languageID);
    if (text && encoding < 0 && !parse_hex(text, &converted))
        return NAME_NOT_HEX;
    if (text && encoding >= 0) {
        uint32_t c;
        if (unencodable(encoding, name_allows_surrogates(platformID, encodingID), text, &c)) {
            if (refused)
                *refused = c;
            return NAME_UNENCODABLE;
        }
        if (!encode_text(encoding, text, &converted))
            return 1;
    }

    // The kept records in their old order, the new one right after the last
    // kept record with a smaller key.
    std::vector<kept_record> records;
    size_t insert_at = 0;
    size_t n = record_count(old);
    for (size_t i = 0; i < n; i++) {
        size_t at = HEADER + RECORD * i;
        kept_record r = {{old.u16(at), old.u16(at + 2), old.u16(at + 4), old.u16(at + 6)},
                         record_string(old, i)};
        uint64_t k = key_of(r.ids[0], r.ids[1], r.ids[2], r.ids[3]);
        if (k == key)
            continue;
        records.push_back(r);
        if (k < key)
            insert_at = records.size();
    }
    if (text) {
        kept_record r = {{platformID, encodingID, languageID, nameID},
                         byte_span(converted.data(), converted.size())};
        records.insert(records.begin() + (long)insert_at, r);
    }
    std::vector<byte_span> tags = language_tags(old);
    bool format1 = old.u16(0) == 1;

    size_t string_offset = HEADER + RECORD * records.size() + (format1 ? 2 + 4 * tags.size() : 0);
    if (records.size() > MAX16 || string_offset > MAX16)
        return 1;
    // Each string's offset and length must fit 16 bits.
    size_t storage = 0;
    for (const kept_record& r : records) {
        if (storage > MAX16 || r.text.size() > MAX16)
            return 1;
        storage += r.text.size();
    }
    for (byte_span tag : tags) {
        if (storage > MAX16 || tag.size() > MAX16)
            return 1;
        storage += tag.size();
    }

    size_t size = string_offset + storage;
    unsigned char* fresh = malloc32((long)size);
    if (!fresh)
        return 1;
    byte_writer w(fresh, size);
    w.put16(0, format1 ? 1 : 0);
    w.put16(2, (uint16_t)records.size());
    w.put16(4, (uint16_t)string_offset);
    size_t running = 0;
    for (size_t i = 0; i < records.size(); i++) {
        const kept_record& r = records[i];
        size_t at = HEADER + RECORD * i;
        for (size_t f = 0; f < 4; f++)
            w.put16(at + 2 * f, r.ids[f]);
        w.put16(at + 8, (uint16_t)r.text.size());
        w.put16(at + 10, (uint16_t)running);
        copy_into(w, string_offset + running, r.text);
        running += r.text.size();
    }
    if (format1) {
        size_t at = HEADER + RECORD * records.size();
        w.put16(at, (uint16_t)tags.size());
        for (size_t i = 0; i < tags.size(); i++) {
            w.put16(at + 2 + 4 * i, (uint16_t)tags[i].size());
            w.put16(at + 4 + 4 * i, (uint16_t)running);
            copy_into(w, string_offset + running, tags[i]);
            running += tags[i].size();
        }
    }
    replace_data(fresh, size);
    return 0;
}

void ttf_name::create_default() {
    unsigned char* empty = malloc32(HEADER);
    if (!empty)
        return;
    byte_writer w(empty, HEADER);
    w.put16(0, 0);
    w.put16(2, 0);
    w.put16(4, HEADER);
    replace_data(empty, HEADER);

    static const char* const texts[7] = {"(c)unknown",     "noname", "Regular",       "unknown",
                                         "noname-regular", "-.--",   "noname-regular"};
    for (unsigned short id = 0; id < 7; id++)
        set_field(1, 0, 0, id, texts[id]);
    for (unsigned short id = 0; id < 7; id++)
        set_field(3, 1, 0x409, id, texts[id]);
}
