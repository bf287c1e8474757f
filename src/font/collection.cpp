#include "font/collection.h"

#include "font/bytes.h"

#include <File.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>

namespace {

const size_t HEADER = 12;
const size_t DIR_HEADER = 12;
const size_t ENTRY = 16;
const uint32_t SFNT_VERSIONS[] = {0x00010000u, tag_of("true"), tag_of("OTTO")};
// A name table larger than this is not read for the face question.
const uint32_t NAME_LIMIT = 4u << 20;

bool read_at(BFile& file, uint64_t at, unsigned char* buf, size_t n) {
    return file.ReadAt((off_t)at, buf, n) == (ssize_t)n;
}

void put_utf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | c >> 6);
        out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += (char)(0xE0 | c >> 12);
        out += (char)(0x80 | (c >> 6 & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xF0 | c >> 18);
        out += (char)(0x80 | (c >> 12 & 0x3F));
        out += (char)(0x80 | (c >> 6 & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

// UTF-16BE as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string from_utf16be(byte_span s) {
    std::string out;
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
        uint32_t c = s.u16(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < s.size() && s.u16(i + 2) >= 0xDC00 &&
            s.u16(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s.u16(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        put_utf8(out, c);
    }
    return out;
}

// Macintosh Roman: ASCII kept, anything else shown as U+FFFD (a name to
// choose a face by, not one to edit).
std::string from_mac_roman(byte_span s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++)
        put_utf8(out, s.u8(i) < 0x80 ? s.u8(i) : 0xFFFD);
    return out;
}

// The name records of one table, looked up by platform, encoding and ID;
// US English is preferred over other languages.
class name_records {
  public:
    explicit name_records(byte_span table) : fTable(table) {}

    std::string find(uint16_t platform, uint16_t encoding, uint16_t id) const {
        const size_t count = fTable.u16(2), strings = fTable.u16(4);
        long best = -1;
        for (size_t i = 0; i < count; i++) {
            const size_t r = 6 + 12 * i;
            if (!fTable.has(r, 12))
                break;
            if (fTable.u16(r) != platform || fTable.u16(r + 2) != encoding ||
                fTable.u16(r + 6) != id ||
                !fTable.has(strings + fTable.u16(r + 10), fTable.u16(r + 8)))
                continue;
            const uint16_t language = fTable.u16(r + 4);
            if (best < 0 || language == (platform == 3 ? 0x409 : 0))
                best = (long)r;
        }
        if (best < 0)
            return std::string();
        byte_span text = fTable.slice(strings + fTable.u16(best + 10), fTable.u16(best + 8));
        return platform == 3 ? from_utf16be(text) : from_mac_roman(text);
    }

  private:
    byte_span fTable;
};

// A name cut to what a list can show, at a character's start.
std::string shown(std::string name) {
    if (name.size() <= font_collection::NAME_SHOWN)
        return name;
    size_t cut = font_collection::NAME_SHOWN;
    while (cut > 0 && ((unsigned char)name[cut] & 0xC0) == 0x80)
        cut--;
    name.resize(cut);
    return name + "\u2026";
}

} // namespace

const collection_table* collection_face::find(uint32_t tag) const {
    for (const collection_table& t : tables)
        if (t.tag == tag)
            return &t;
    return nullptr;
}

bool font_collection::is_collection(BFile& file) {
    unsigned char tag[4];
    return read_at(file, 0, tag, 4) && byte_span(tag, 4).u32(0) == tag_of("ttcf");
}

int font_collection::refuse(const char* why) {
    fError = why;
    fFaces.clear();
    return 1;
}

int font_collection::read(BFile& file) {
    fError = nullptr;
    fFaces.clear();
    off_t size = 0;
    if (file.GetSize(&size) != B_OK || size < 0)
        return refuse("the file cannot be read");
    fFileSize = (uint64_t)size;
    unsigned char header[HEADER];
    if (!read_at(file, 0, header, HEADER) || byte_span(header, HEADER).u32(0) != tag_of("ttcf"))
        return refuse("not a font collection");
    byte_span h(header, HEADER);
    fVersion = h.u32(4);
    if (fVersion >> 16 != 1 && fVersion >> 16 != 2)
        return refuse("the collection's header has a version this editor does not know");
    const uint64_t count = h.u32(8);
    if (count == 0)
        return refuse("the collection holds no face");
    // The offsets, and a version-2 header's signature fields, must lie in
    // the file before anything is allocated for them.
    const uint64_t headerlength = HEADER + 4 * count + (fVersion >> 16 == 2 ? 12 : 0);
    if (headerlength > fFileSize)
        return refuse("the collection's header runs past the end of the file");
    std::unique_ptr<unsigned char[]> rest(new (std::nothrow) unsigned char[headerlength]);
    if (!rest)
        return refuse("out of memory");
    if (!read_at(file, 0, rest.get(), headerlength))
        return refuse("the file cannot be read");
    byte_span all(rest.get(), headerlength);
    if (fVersion >> 16 == 2) {
        const size_t at = HEADER + 4 * count;
        fDsigTag = all.u32(at);
        fDsigLength = all.u32(at + 4);
        fDsigOffset = all.u32(at + 8);
        if (fDsigTag != 0 && !in_range(fFileSize, fDsigOffset, fDsigLength))
            return refuse("the collection's signature lies outside the file");
    }
    fFaces.reserve(count);
    for (uint64_t i = 0; i < count; i++) {
        const uint32_t diroffset = all.u32(HEADER + 4 * i);
        if (diroffset < headerlength)
            return refuse("a face's table directory overlaps the collection's header");
        if (read_face(file, diroffset) != 0)
            return 1;
    }
    return check_layout();
}

int font_collection::read_face(BFile& file, uint32_t diroffset) {
    unsigned char head[DIR_HEADER];
    if (!in_range(fFileSize, diroffset, DIR_HEADER) || !read_at(file, diroffset, head, DIR_HEADER))
        return refuse("a face's table directory lies outside the file");
    byte_span h(head, DIR_HEADER);
    collection_face face;
    face.diroffset = diroffset;
    face.sfntversion = h.u32(0);
    if (std::find(std::begin(SFNT_VERSIONS), std::end(SFNT_VERSIONS), face.sfntversion) ==
        std::end(SFNT_VERSIONS))
        return refuse("a face of the collection is not a TrueType or OpenType font");
    const size_t n = h.u16(4);
    const size_t length = DIR_HEADER + ENTRY * n;
    if (!in_range(fFileSize, diroffset, length))
        return refuse("a face's table directory runs past the end of the file");
    std::unique_ptr<unsigned char[]> dir(new (std::nothrow) unsigned char[length]);
    if (!dir)
        return refuse("out of memory");
    if (!read_at(file, diroffset, dir.get(), length))
        return refuse("the file cannot be read");
    byte_span d(dir.get(), length);
    face.tables.resize(n);
    for (size_t i = 0; i < n; i++) {
        collection_table& t = face.tables[i];
        const size_t e = DIR_HEADER + ENTRY * i;
        t.tag = d.u32(e);
        t.checksum = d.u32(e + 4);
        t.offset = d.u32(e + 8);
        t.length = d.u32(e + 12);
        if (!in_range(fFileSize, t.offset, t.length))
            return refuse("a table of the collection lies outside the file");
    }
    fFaces.push_back(std::move(face));
    return 0;
}

// Faces may share tables, but only whole: two tables that overlap without
// being the same bytes would be written twice over, and directories that
// overlap anything would be read as tables of another face.
int font_collection::check_layout() {
    struct range {
        uint64_t offset, length;
        bool directory;
    };
    std::vector<range> ranges;
    for (const collection_face& f : fFaces) {
        ranges.push_back({f.diroffset, DIR_HEADER + ENTRY * (uint64_t)f.tables.size(), true});
        for (const collection_table& t : f.tables)
            if (t.length > 0)
                ranges.push_back({t.offset, t.length, false});
    }
    std::sort(ranges.begin(), ranges.end(), [](const range& a, const range& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.length < b.length;
    });
    uint64_t end = 0;
    const range* last = nullptr; // the range that reaches furthest so far
    for (size_t i = 0; i < ranges.size(); i++) {
        const range& b = ranges[i];
        const range* before = i > 0 ? &ranges[i - 1] : nullptr;
        if (before && !before->directory && !b.directory && before->offset == b.offset &&
            before->length == b.length)
            continue;
        if (last && b.offset < end) {
            if (last->directory && b.directory)
                return refuse("two faces share or overlap their table directories");
            if (last->directory || b.directory)
                return refuse("a table overlaps a face's table directory");
            return refuse("tables of the collection overlap without being the same");
        }
        if (b.offset + b.length > end || !last) {
            end = b.offset + b.length;
            last = &b;
        }
    }
    return 0;
}

std::string font_collection::face_name(BFile& file, size_t index) const {
    if (index >= fFaces.size())
        return std::string();
    const collection_table* t = fFaces[index].find(tag_of("name"));
    if (!t || t->length > NAME_LIMIT)
        return std::string();
    std::unique_ptr<unsigned char[]> buf(new (std::nothrow) unsigned char[t->length]);
    if (!buf || !read_at(file, t->offset, buf.get(), t->length))
        return std::string();
    name_records names(byte_span(buf.get(), t->length));
    std::string full = names.find(3, 1, 4);
    if (!full.empty())
        return shown(full);
    std::string family = names.find(3, 1, 1), style = names.find(3, 1, 2);
    if (family.empty()) {
        full = names.find(1, 0, 4);
        if (!full.empty())
            return shown(full);
        family = names.find(1, 0, 1);
        style = names.find(1, 0, 2);
    }
    return shown(style.empty() || family.empty() ? family + style : family + " " + style);
}

std::vector<std::string> font_collection::face_names(BFile& file) const {
    std::vector<std::string> names;
    std::map<std::pair<uint32_t, uint32_t>, std::string> read;
    for (size_t f = 0; f < fFaces.size(); f++) {
        const collection_table* t = fFaces[f].find(tag_of("name"));
        std::pair<uint32_t, uint32_t> key =
            t ? std::make_pair(t->offset, t->length) : std::make_pair(0u, 0u);
        auto found = read.find(key);
        if (found == read.end())
            found = read.emplace(key, face_name(file, f)).first;
        names.push_back(found->second);
    }
    return names;
}

std::string face_label(size_t face, const std::string& name) {
    return std::to_string(face) + " \u2014 " + (name.empty() ? std::string("(no name)") : name);
}
