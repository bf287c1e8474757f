#include "font/name.h"

#include "font/font_builder.h"
#include "font/ttf.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

struct ids {
    unsigned short p, e, l, n;
    bool operator==(const ids& o) const { return p == o.p && e == o.e && l == o.l && n == o.n; }
};

struct field {
    ids id;
    std::string text;
};

field read(ttf_name& t, int i, long capacity = 256) {
    field f{{0, 0, 0, 0}, ""};
    std::vector<char> buf((size_t)capacity + 1, '#');
    long len = capacity;
    EXPECT_EQ(t.get_field(i, &f.id.p, &f.id.e, &f.id.l, &f.id.n, &len, buf.data()), 0);
    EXPECT_LT(len, capacity);
    EXPECT_EQ(buf[(size_t)len], 0);
    f.text.assign(buf.data(), (size_t)len);
    return f;
}

std::vector<ids> keys(ttf_name& t) {
    std::vector<ids> out;
    for (int i = 0; i < t.count(); i++)
        out.push_back(read(t, i).id);
    return out;
}

std::string stored(ttf_name& t, int i) {
    byte_span b = t.bytes();
    size_t at = 6 + 12 * (size_t)i;
    byte_span s = b.slice(b.u16(4) + (size_t)b.u16(at + 10), b.u16(at + 8));
    return std::string((const char*)s.data(), s.size());
}

// A name table from raw records and storage, for loaded-table cases.
struct raw_record {
    unsigned short p, e, l, n, length, offset;
};

ttf_name* loaded(const std::vector<raw_record>& recs, const std::string& storage,
                 long string_offset = -1, long count = -1, unsigned short format = 0) {
    size_t records_end = 6 + 12 * recs.size();
    size_t so = string_offset >= 0 ? (size_t)string_offset : records_end;
    // The storage is written only where it falls inside the table.
    size_t size = std::max(std::min(so, (size_t)0x100) + storage.size(), records_end);
    unsigned char* p = malloc32((long)size);
    byte_writer w(p, size);
    w.put16(0, format);
    w.put16(2, (uint16_t)(count >= 0 ? (size_t)count : recs.size()));
    w.put16(4, (uint16_t)so);
    for (size_t i = 0; i < recs.size(); i++) {
        const raw_record& r = recs[i];
        unsigned short v[6] = {r.p, r.e, r.l, r.n, r.length, r.offset};
        for (int f = 0; f < 6; f++)
            w.put16(6 + 12 * i + 2 * (size_t)f, v[f]);
    }
    for (size_t i = 0; i < storage.size(); i++)
        w.put8(so + i, (uint8_t)storage[i]);
    return new ttf_name(nullptr, p, size);
}

// What fontTools reads from the table, one line per record.
std::string fonttools_records(ttf_name& t) {
    std::string path = temp_dir() + "/name.bin";
    write_file(path, std::vector<unsigned char>(t.data, t.data + t.length));
    std::string out;
    int rc =
        run_command(python() + " " + source_dir() + "/tests/tools/name_records.py " + path, &out);
    EXPECT_EQ(rc, 0) << out;
    return out;
}

} // namespace

TEST(Name, NewFontHasFourteenDefaultRecordsInKeyOrder) {
    ttf_name t(nullptr, nullptr, 0);
    ASSERT_EQ(t.count(), 14);
    for (int i = 0; i < 14; i++) {
        ids want =
            i < 7 ? ids{1, 0, 0, (unsigned short)i} : ids{3, 1, 0x409, (unsigned short)(i - 7)};
        EXPECT_TRUE(read(t, i).id == want) << i;
    }
    EXPECT_EQ(read(t, 2).text, "Regular");
    EXPECT_EQ(stored(t, 2), "Regular");
    EXPECT_EQ(stored(t, 9), std::string("\0R\0e\0g\0u\0l\0a\0r", 14));
    EXPECT_EQ(read(t, 9).text, "Regular");
    EXPECT_EQ(read(t, 12).text, "-.--");
    // Compact: header, 14 records, then the strings without gaps.
    EXPECT_EQ(t.bytes().u16(4), 6 + 12 * 14);
    EXPECT_EQ(t.length, 6u + 12 * 14 + 62 + 2 * 62);

    std::string out = fonttools_records(t);
    EXPECT_NE(out.find("3 1 1033 4 006e006f006e0061006d0065002d0072006500670075006c00610072 "
                       "noname-regular"),
              std::string::npos)
        << out;
}

TEST(Name, SetReplacesAddsInKeyOrderAndDeletes) {
    ttf_name t(nullptr, nullptr, 0);
    EXPECT_EQ(t.set_field(3, 1, 0x409, 1, "Family Two"), 0);
    EXPECT_EQ(t.count(), 14);
    EXPECT_EQ(read(t, 8).text, "Family Two");

    EXPECT_EQ(t.set_field(3, 1, 0x411, 1, "Japanese family"), 0);
    EXPECT_EQ(t.set_field(0, 3, 0, 1, "Unicode platform"), 0);
    EXPECT_EQ(t.set_field(1, 0, 0, 19, "sample"), 0);
    std::vector<ids> k = keys(t);
    ASSERT_EQ(k.size(), 17u);
    EXPECT_TRUE(k[0] == (ids{0, 3, 0, 1}));
    EXPECT_TRUE(k[8] == (ids{1, 0, 0, 19}));
    EXPECT_TRUE(k[16] == (ids{3, 1, 0x411, 1}));
    for (size_t i = 1; i < k.size(); i++) {
        uint64_t a = ((uint64_t)k[i - 1].p << 48) | ((uint64_t)k[i - 1].e << 32) |
                     ((uint64_t)k[i - 1].l << 16) | k[i - 1].n;
        uint64_t b =
            ((uint64_t)k[i].p << 48) | ((uint64_t)k[i].e << 32) | ((uint64_t)k[i].l << 16) | k[i].n;
        EXPECT_LT(a, b) << i;
    }

    EXPECT_EQ(t.set_field(1, 0, 0, 2, nullptr), 0);
    EXPECT_EQ(t.set_field(7, 7, 7, 7, nullptr), 0); // not there: unchanged
    EXPECT_EQ(t.count(), 16);
    EXPECT_TRUE(read(t, 3).id == (ids{1, 0, 0, 3}));
    EXPECT_EQ(read(t, 3).text, "unknown");
    EXPECT_EQ(fonttools_records(t).find("1 0 0 2 "), std::string::npos);
}

namespace {

// A hexadecimal dump of bytes, as name_records.py prints them.
std::string hex_of(const std::string& s) {
    std::string out;
    char two[3];
    for (unsigned char c : s) {
        snprintf(two, sizeof two, "%02x", c);
        out += two;
    }
    return out;
}

} // namespace

TEST(Name, EachEncodingStoresWhatFontToolsReadsAndWrites) {
    // Every record's text is read back as typed, and fontTools reads the
    // stored bytes as that text and writes that text as those bytes.
    // Records in an encoding not converted are typed and shown as bytes.
    struct encoding_case {
        unsigned short p, e, l;
        std::string text, stored_hex;
        bool converted;
    };
    const encoding_case cases[] = {
        {0, 0, 0,
         "\xC3\x9C"
         "ber \xE2\x98\x83",
         "00dc00620065007200202603", true}, // Über ☃
        {0, 3, 0, "Caf\xC3\xA9", "00430061006600e9", true},
        {0, 4, 0, "\xF0\x9F\x98\x80!", "d83dde000021", true}, // 😀!
        {3, 0, 0x409, "Sym", "00530079006d", true},
        {3, 1, 0x409, "\xE6\xBC\xA2\xE5\xAD\x97 x", "6f225b5700200078", true}, // 漢字 x
        {3, 10, 0x409, "\xF0\x9D\x94\x98 \xF0\x9F\x98\x80", "d835dd180020d83dde00", true},
        {1, 0, 0, "Caf\xC3\xA9 \xE2\x84\xA2 \xC2\xA9 \xE2\x88\x86", "4361668e20aa20a920c6", true},
        {1, 1, 11, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E a", "93fa967b8cea2061", true}, // 日本語
        {3, 2, 0x411, "\xE6\x97\xA5\xE6\x9C\xAC a\\b~", "93fa967b20615c627e", true},
        {3, 4, 0x404, "a4 A4 a4 40", "a4a4a440", false}, // Big5, kept as bytes
        {1, 0, 15, "d0e9", "d0e9", false},               // Macintosh Icelandic
    };
    ttf_name t(nullptr, nullptr, 0);
    unsigned short id = 256;
    for (const encoding_case& c : cases)
        ASSERT_EQ(t.set_field(c.p, c.e, c.l, id++, c.text.c_str()), 0) << c.p << " " << c.e;
    std::string path = temp_dir() + "/name.bin";
    write_file(path, std::vector<unsigned char>(t.data, t.data + t.length));
    std::string out;
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/name_records.py " + path +
                              " --reencode",
                          &out),
              0)
        << out;

    id = 256;
    for (const encoding_case& c : cases) {
        SCOPED_TRACE(std::to_string(c.p) + " " + std::to_string(c.e) + " " + std::to_string(c.l));
        int index = -1;
        for (int i = 0; i < t.count(); i++)
            if (read(t, i).id == (ids{c.p, c.e, c.l, id}))
                index = i;
        ASSERT_GE(index, 0);
        EXPECT_EQ(hex_of(stored(t, index)), c.stored_hex);
        std::string line = std::to_string(c.p) + " " + std::to_string(c.e) + " " +
                           std::to_string(c.l) + " " + std::to_string(id) + " " + c.stored_hex +
                           " ";
        if (c.converted) {
            EXPECT_EQ(read(t, index).text, c.text);
            line += c.text + " " + c.stored_hex + "\n";
        } else {
            // Shown as the bytes, in lower-case pairs.
            std::string pairs;
            for (size_t k = 0; k < c.stored_hex.size(); k += 2)
                pairs += (k ? " " : "") + c.stored_hex.substr(k, 2);
            EXPECT_EQ(read(t, index).text, pairs);
        }
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
        id++;
    }
}

TEST(Name, TextAnEncodingCannotHoldIsRefusedAndNamed) {
    struct refused_case {
        unsigned short p, e, l;
        const char* text;
        int result;
        uint32_t refused;
    };
    const refused_case cases[] = {
        {1, 0, 0, "a\xE6\xBC\xA2", NAME_UNENCODABLE, 0x6F22},          // 漢 in Macintosh Roman
        {3, 1, 0x409, "x\xF0\x9F\x98\x80", NAME_UNENCODABLE, 0x1F600}, // no surrogates in (3, 1)
        {0, 3, 0, "\xF0\x9F\x98\x80", NAME_UNENCODABLE, 0x1F600},      // nor in (0, 3)
        {3, 2, 0x411, "caf\xC3\xA9", NAME_UNENCODABLE, 0xE9},          // é in Shift-JIS
        {1, 1, 11, "\x1A\xF0\x9F\x98\x80", NAME_UNENCODABLE, 0x1F600},
        {3, 1, 0x409, "w\xE6\xBC", NAME_UNENCODABLE, NAME_NOT_UTF8}, // cut inside a character
        {1, 0, 0, "x\xFFy", NAME_UNENCODABLE, NAME_NOT_UTF8},
        {3, 4, 0x404, "4e 6", NAME_NOT_HEX, 0},
        {3, 4, 0x404, "4e zz", NAME_NOT_HEX, 0},
    };
    ttf_name t(nullptr, nullptr, 0);
    const std::vector<unsigned char> before(t.data, t.data + t.length);
    for (const refused_case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t refused = 0;
        EXPECT_EQ(t.set_field(c.p, c.e, c.l, 1, c.text, &refused), c.result);
        if (c.result == NAME_UNENCODABLE) {
            EXPECT_EQ(refused, c.refused);
        }
        EXPECT_EQ(std::vector<unsigned char>(t.data, t.data + t.length), before);
    }
    // The substitute character itself is text like any other.
    EXPECT_EQ(t.set_field(1, 0, 0, 1, "a\x1A"), 0);
    EXPECT_EQ(read(t, 1).text, "a\x1A");
}

TEST(Name, LongStringsAreCutAtACharacterBoundary) {
    ttf_name t(nullptr, nullptr, 0);
    std::string accents;
    for (int i = 0; i < 200; i++)
        accents += "\xC3\xA9"; // é, 2 bytes each
    t.set_field(3, 1, 0x409, 1, ("a" + accents).c_str());
    t.set_field(1, 0, 0, 1, ("a" + accents).c_str());
    t.set_field(1, 0, 0, 2, accents.c_str());
    for (int i = 0; i < t.count(); i++) {
        field f = read(t, i, 256);
        if (f.id.n == 1) {
            EXPECT_EQ(f.text, ("a" + accents).substr(0, 255)) << f.id.p;
        } else if (f.id.n == 2 && f.id.p == 1) {
            EXPECT_EQ(f.text, accents.substr(0, 254));
        }
    }
    field tiny = read(t, 8, 1);
    EXPECT_EQ(tiny.text, "");

    // A string beyond the 16-bit length field is refused, table unchanged.
    std::vector<unsigned char> before(t.data, t.data + t.length);
    std::string huge(70000, 'x');
    EXPECT_EQ(t.set_field(1, 0, 0, 3, huge.c_str()), 1);
    EXPECT_EQ(std::vector<unsigned char>(t.data, t.data + t.length), before);
}

TEST(Name, LoadedSharedPaddedAndOddStringsAreCopiedCompactOnTheFirstChange) {
    // Two records share "Bold", one sits at an odd offset after padding.
    std::string storage = std::string("Bold") + std::string(3, '\0') + "Odd";
    std::unique_ptr<ttf_name> t(
        loaded({{1, 0, 0, 2, 4, 0}, {1, 0, 0, 4, 4, 0}, {1, 0, 0, 5, 3, 7}}, storage, 6 + 36 + 2));
    EXPECT_EQ(read(*t, 1).text, "Bold");
    EXPECT_EQ(read(*t, 2).text, "Odd");
    ASSERT_EQ(t->set_field(1, 0, 0, 6, "ps"), 0);
    ASSERT_EQ(t->count(), 4);
    EXPECT_EQ(t->bytes().u16(4), 6 + 48);
    EXPECT_EQ(stored(*t, 0), "Bold");
    EXPECT_EQ(stored(*t, 1), "Bold");
    EXPECT_EQ(stored(*t, 2), "Odd");
    EXPECT_EQ(stored(*t, 3), "ps");
    EXPECT_EQ(t->length, 6u + 48 + 13);
    fonttools_records(*t);
}

TEST(Name, HostileTablesReadInBoundsAndRebuildSoundly) {
    struct hostile {
        const char* label;
        std::vector<raw_record> recs;
        std::string storage;
        long string_offset, count;
        int want_count;
        const char* want_text0;
    };
    const hostile cases[] = {
        {"string past the storage", {{1, 0, 0, 1, 10, 0}}, "abc", -1, -1, 1, ""},
        {"offset past the storage", {{1, 0, 0, 1, 2, 0xFFFF}}, "abc", -1, -1, 1, ""},
        {"stringOffset past the table", {{1, 0, 0, 1, 1, 0}}, "abc", 0xFFFF, -1, 1, ""},
        {"count beyond the records", {{1, 0, 0, 1, 3, 0}}, "abc", -1, 0xFFFF, 1, "abc"},
        {"odd 16-bit string", {{3, 1, 0x409, 1, 3, 0}}, std::string("\0A\0", 3), -1, -1, 1, "A"},
        {"lone surrogate",
         {{3, 1, 0x409, 1, 4, 0}},
         std::string("\xD8\x00\0B", 4),
         -1,
         -1,
         1,
         "\x1A"
         "B"},
    };
    for (const hostile& c : cases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<ttf_name> t(loaded(c.recs, c.storage, c.string_offset, c.count));
        ASSERT_EQ(t->count(), c.want_count);
        EXPECT_EQ(read(*t, 0).text, c.want_text0);
        unsigned short p, e, l, n;
        long len = 8;
        char buf[8];
        EXPECT_EQ(t->get_field(c.want_count, &p, &e, &l, &n, &len, buf), 1);
        EXPECT_EQ(len, 8); // untouched
        // The rebuild keeps what the list showed: an outside string as an
        // empty record, the others copied byte for byte.
        ASSERT_EQ(t->set_field(0xFFFF, 0, 0, 0, "6e 65 77"), 0); // sorts last, kept as bytes
        EXPECT_EQ(t->count(), c.want_count + 1);
        EXPECT_EQ(read(*t, 0).text, c.want_text0);
        fonttools_records(*t);
    }

    for (unsigned long size = 0; size < 6; size++) {
        unsigned char* p = malloc32((long)size);
        if (size >= 3)
            p[2] = 0xFF; // a count with no room for records
        ttf_name t(nullptr, p, size);
        EXPECT_EQ(t.count(), 0);
        EXPECT_EQ(t.set_field(1, 0, 0, 1, "x"), 0);
        EXPECT_EQ(read(t, 0).text, "x");
    }
}

TEST(Name, LanguageTagsOfAFormat1TableSurviveARebuild) {
    // Format 1: one record in language 0x8000, which names tag 0 ("ja").
    std::string storage = std::string("\0x", 2) + "ja";
    size_t so = 6 + 12 + 2 + 4;
    std::unique_ptr<ttf_name> t(loaded({{3, 1, 0x8000, 1, 2, 0}}, storage, (long)so, -1, 1));
    byte_writer(t->data, t->length).put16(18, 1); // langTagCount
    byte_writer(t->data, t->length).put16(20, 2); // length
    byte_writer(t->data, t->length).put16(22, 2); // offset
    ASSERT_EQ(t->set_field(3, 1, 0x409, 1, "y"), 0);
    byte_span b = t->bytes();
    EXPECT_EQ(b.u16(0), 1);
    EXPECT_EQ(b.u16(2), 2);
    size_t tags = 6 + 24;
    EXPECT_EQ(b.u16(tags), 1);
    EXPECT_EQ(b.u16(4), tags + 2 + 4);
    byte_span tag = b.slice(b.u16(4) + (size_t)b.u16(tags + 4), b.u16(tags + 2));
    EXPECT_EQ(std::string((const char*)tag.data(), tag.size()), "ja");
    EXPECT_EQ(read(*t, 1).text, "x");
}

namespace {

// ots-sanitize and fontTools accept the whole font; returns what fontTools
// reads from its name table.
std::string accepted_font_names(const std::string& path, bool sanitize = true) {
    std::string out;
    if (sanitize) {
        EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    }
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/check_font.py " + path, &out), 0)
        << out;
    std::string names;
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/name_records.py " + path, &names),
        0)
        << names;
    return names;
}

} // namespace

TEST(NameInFont, NewFontCarriesTheDefaultNames) {
    ttf font;
    font.setup = new setupinfo();
    font.setup->chars['A'] = 1;
    ASSERT_EQ(font.init(), 0);
    ASSERT_EQ(font.name->count(), 14);
    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());
    // A new font's glyf is empty, which the sanitizer refuses whatever the
    // name table holds; fontTools alone judges this one.
    std::string names = accepted_font_names(path, false);
    EXPECT_NE(names.find("3 1 1033 2 0052006500670075006c00610072 Regular"), std::string::npos)
        << names;
    EXPECT_NE(names.find("1 0 0 0 286329756e6b6e6f776e (c)unknown"), std::string::npos) << names;
}

TEST(NameInFont, EditedNamesOfARealFontSaveAndReadBack) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(
                  font, read_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")),
              0);
    ASSERT_NE(font.name, nullptr);
    std::vector<field> before;
    for (int i = 0; i < font.name->count(); i++)
        before.push_back(read(*font.name, i, 4096));

    const std::string family = "Tavrel \xC3\xA9\xE6\xBC\xA2";
    ASSERT_EQ(font.name->set_field(3, 1, 0x409, 1, family.c_str()), 0);
    ASSERT_EQ(font.name->set_field(3, 1, 0x411, 4, "\xE6\x97\xA5\xE6\x9C\xAC"), 0);
    ASSERT_EQ(font.name->set_field(1, 0, 0, 5, nullptr), 0);
    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());
    std::string names = accepted_font_names(path);
    EXPECT_NE(names.find("3 1 1033 1 00540061007600720065006c002000e96f22 " + family),
              std::string::npos)
        << names;

    ttf again;
    ASSERT_EQ(font_builder::load_bytes(again, read_file(path)), 0);
    std::vector<field> after;
    for (int i = 0; i < again.name->count(); i++)
        after.push_back(read(*again.name, i, 4096));
    ASSERT_EQ(after.size(), before.size() + 1 - 1); // one added, one deleted
    size_t b = 0;
    for (const field& f : after) {
        if (f.id == (ids{3, 1, 0x411, 4})) {
            EXPECT_EQ(f.text, "\xE6\x97\xA5\xE6\x9C\xAC");
            continue;
        }
        if (before[b].id == (ids{1, 0, 0, 5}))
            b++;
        ASSERT_TRUE(f.id == before[b].id) << b;
        EXPECT_EQ(f.text, f.id == (ids{3, 1, 0x409, 1}) ? family : before[b].text) << b;
        b++;
    }
}
