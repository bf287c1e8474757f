// Collections built by fontTools from installed fonts: the directory
// reader and its refusals of damaged headers, the face names, and writing
// the collection again with one face's tables replaced, read back by
// fontTools and OTS.
#include "font/collection.h"

#include "font/bytes.h"
#include "font/font_image.h"
#include "font/history.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <File.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "support/test_support.h"

using namespace testing_support;

namespace {

const char* const LIBERATION = "/usr/share/fonts/truetype/liberation2/";

// Three faces: Liberation Sans, its bold, and Liberation Sans again under
// the family name "Copy Sans" (every table but name shared with face 0).
const std::string& three_faces() {
    static std::string path = build_three_faces();
    return path;
}

const std::string& signed_two_faces() {
    static std::string path = build_collection(
        "signed.ttc", std::string("--v2 ") + LIBERATION + "LiberationSans-Regular.ttf '" +
                          LIBERATION + "LiberationSans-Regular.ttf=Copy Sans'");
    return path;
}

struct opened {
    BFile file;
    font_collection collection;
    int status;
    explicit opened(const std::string& path) : file(path.c_str(), B_READ_ONLY) {
        status = collection.read(file);
    }
};

// Face `face` as a single font's image, each table changed by `edit`
// (which may resize it).
font_image face_image(const std::string& path, size_t face,
                      const std::function<void(uint32_t, std::vector<unsigned char>&)>& edit) {
    opened c(path);
    EXPECT_EQ(c.status, 0);
    const collection_face& f = c.collection.faces().at(face);
    std::vector<unsigned char> all = read_file(path);
    std::vector<std::vector<unsigned char>> tables;
    size_t size = 12 + 16 * f.tables.size();
    for (const collection_table& t : f.tables) {
        tables.emplace_back(all.begin() + t.offset, all.begin() + t.offset + t.length);
        edit(t.tag, tables.back());
        size += (tables.back().size() + 3) & ~(size_t)3;
    }
    font_image image;
    image.bytes.reset(new unsigned char[size]());
    image.size = size;
    byte_writer w(image.bytes.get(), size);
    w.put32(0, f.sfntversion);
    w.put16(4, (uint16_t)f.tables.size());
    size_t pos = 12 + 16 * f.tables.size();
    for (size_t i = 0; i < f.tables.size(); i++) {
        w.put32(12 + 16 * i, f.tables[i].tag);
        w.put32(12 + 16 * i + 8, (uint32_t)pos);
        w.put32(12 + 16 * i + 12, (uint32_t)tables[i].size());
        std::memcpy(image.bytes.get() + pos, tables[i].data(), tables[i].size());
        pos += (tables[i].size() + 3) & ~(size_t)3;
    }
    return image;
}

std::string write(const std::string& path, size_t face, const font_image* image,
                  bool* dropped = nullptr) {
    opened c(path);
    EXPECT_EQ(c.status, 0);
    std::string out = temp_dir() + "/written-" + std::to_string(rand()) + ".ttc";
    BFile file(out.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    std::string why;
    bool droppedsignature = false;
    face_tables tables;
    EXPECT_TRUE(!image || image_tables(*image, &tables));
    EXPECT_EQ(write_collection(c.file, c.collection, face, image ? &tables : nullptr, file,
                               &droppedsignature, &why),
              0)
        << why;
    if (dropped)
        *dropped = droppedsignature;
    return out;
}

// Every face's directory checksums match its tables, and its head's
// checkSumAdjustment makes the face sum to 0xB1B0AFBA unless a later face
// shares that head (the last face's value is the one kept).
void expect_fresh_checksums(const std::string& path) {
    std::vector<unsigned char> all = read_file(path);
    byte_span file(all.data(), all.size());
    opened c(path);
    ASSERT_EQ(c.status, 0);
    const std::vector<collection_face>& faces = c.collection.faces();
    for (size_t f = 0; f < faces.size(); f++) {
        SCOPED_TRACE("face " + std::to_string(f));
        uint32_t sum = file.slice(faces[f].diroffset, 12 + 16 * faces[f].tables.size()).sum32();
        const collection_table* head = faces[f].find(tag_of("head"));
        ASSERT_NE(head, nullptr);
        for (const collection_table& t : faces[f].tables) {
            std::vector<unsigned char> bytes(all.begin() + t.offset,
                                             all.begin() + t.offset + t.length);
            if (t.tag == tag_of("head") && bytes.size() >= 12)
                std::memset(bytes.data() + 8, 0, 4);
            uint32_t expected = byte_span(bytes.data(), bytes.size()).sum32();
            EXPECT_EQ(t.checksum, expected);
            EXPECT_EQ(t.offset % 4, 0u);
            sum += t.checksum;
        }
        bool shared_later = false;
        for (size_t g = f + 1; g < faces.size(); g++)
            shared_later |= faces[g].find(tag_of("head"))->offset == head->offset;
        if (!shared_later) {
            EXPECT_EQ(file.u32(head->offset + 8), 0xB1B0AFBAu - sum);
        }
    }
}

uint32_t offset_of(const std::string& path, size_t face, const char (&tag)[5]) {
    opened c(path);
    return c.collection.faces().at(face).find(tag_of(tag))->offset;
}

void ots_accepts_every_face(const std::string& path, size_t faces) {
    for (size_t f = 0; f < faces; f++) {
        std::string output;
        EXPECT_EQ(run_command("ots-sanitize " + path + " /dev/null " + std::to_string(f) + " 2>&1",
                              &output),
                  0)
            << "face " << f << ": " << output;
    }
}

} // namespace

TEST(Collection, ReadsEveryFaceWithItsName) {
    opened c(three_faces());
    ASSERT_EQ(c.status, 0) << c.collection.error();
    EXPECT_EQ(c.collection.version(), 0x00010000u);
    ASSERT_EQ(c.collection.faces().size(), 3u);
    EXPECT_EQ(face_label(0, c.collection.face_name(c.file, 0)), "0 \u2014 Liberation Sans");
    EXPECT_EQ(face_label(1, c.collection.face_name(c.file, 1)), "1 \u2014 Liberation Sans Bold");
    EXPECT_EQ(face_label(2, c.collection.face_name(c.file, 2)), "2 \u2014 Copy Sans Regular");
    EXPECT_EQ(offset_of(three_faces(), 0, "glyf"), offset_of(three_faces(), 2, "glyf"));
    EXPECT_NE(offset_of(three_faces(), 0, "name"), offset_of(three_faces(), 2, "name"));
}

TEST(Collection, UneditedCollectionsAreWrittenByteForByte) {
    for (const std::string& path : {three_faces(), signed_two_faces()}) {
        SCOPED_TRACE(path);
        bool dropped = true;
        EXPECT_EQ(read_file(write(path, 1, nullptr, &dropped)), read_file(path));
        EXPECT_FALSE(dropped);
    }
    // Rebuilt from a face whose tables are all unchanged, the fontTools
    // file comes out the same: same order, padding, checksums and shared
    // head's checkSumAdjustment.
    font_image same = face_image(three_faces(), 2, [](uint32_t, std::vector<unsigned char>&) {});
    EXPECT_EQ(read_file(write(three_faces(), 2, &same)), read_file(three_faces()));
}

TEST(Collection, AnEditedFaceGetsItsOwnCopyOfTheTablesItChanged) {
    // OS/2's weight changes (a table face 0 shares), name grows by a word.
    font_image edited =
        face_image(three_faces(), 2, [](uint32_t tag, std::vector<unsigned char>& t) {
            if (tag == tag_of("OS/2"))
                byte_writer(t.data(), t.size()).put16(4, 600);
            if (tag == tag_of("name"))
                t.insert(t.end(), {0, 0, 0, 0});
        });
    std::string out = write(three_faces(), 2, &edited);
    EXPECT_EQ(collection_differences(three_faces(), out),
              "faces 3\n2 OS/2 changed\n2 name changed\n");
    EXPECT_NE(offset_of(out, 0, "OS/2"), offset_of(out, 2, "OS/2"));
    EXPECT_EQ(offset_of(out, 0, "glyf"), offset_of(out, 2, "glyf"));
    EXPECT_EQ(offset_of(out, 0, "cmap"), offset_of(out, 2, "cmap"));
    // The old name went with the face's edit, the shared OS/2 stayed.
    const size_t os2 =
        (opened(three_faces()).collection.faces()[2].find(tag_of("OS/2"))->length + 3) & ~3u;
    EXPECT_EQ(read_file(out).size(), read_file(three_faces()).size() + os2 + 4);
    expect_fresh_checksums(out);
    ots_accepts_every_face(out, 3);

    // A face whose head alone changes (its revision) still shares the
    // rest, and the signature of a version-2 header goes.
    font_image dated =
        face_image(signed_two_faces(), 0, [](uint32_t tag, std::vector<unsigned char>& t) {
            if (tag == tag_of("head"))
                byte_writer(t.data(), t.size()).put32(4, 0x00020000);
        });
    bool dropped = false;
    std::string resigned = write(signed_two_faces(), 0, &dated, &dropped);
    EXPECT_TRUE(dropped);
    opened c(resigned);
    ASSERT_EQ(c.status, 0) << c.collection.error();
    EXPECT_EQ(c.collection.version(), 0x00020000u);
    EXPECT_EQ(c.collection.dsig_tag(), 0u);
    EXPECT_EQ(c.collection.dsig_length(), 0u);
    EXPECT_NE(offset_of(resigned, 0, "head"), offset_of(resigned, 1, "head"));
    EXPECT_EQ(offset_of(resigned, 0, "glyf"), offset_of(resigned, 1, "glyf"));
    EXPECT_EQ(collection_differences(signed_two_faces(), resigned), "faces 2\n0 head changed\n");
    expect_fresh_checksums(resigned);
    ots_accepts_every_face(resigned, 2);
}

TEST(Collection, RefusesDamagedHeadersAndDirectories) {
    const std::vector<unsigned char> good = read_file(three_faces());
    byte_span g(good.data(), good.size());
    const uint32_t dir0 = g.u32(12), dir1 = g.u32(16), dir2 = g.u32(20);
    // The table entry of `tag` in the directory at `dir`.
    auto entry = [&](uint32_t dir, const char(&tag)[5]) -> size_t {
        for (size_t i = 0; i < g.u16(dir + 4); i++)
            if (g.u32(dir + 12 + 16 * i) == tag_of(tag))
                return dir + 12 + 16 * i;
        ADD_FAILURE() << tag;
        return 0;
    };
    struct damage {
        const char* label;
        std::function<void(std::vector<unsigned char>&)> apply;
        const char* error;
    };
    auto put32 = [](std::vector<unsigned char>& b, size_t at, uint32_t v) {
        byte_writer(b.data(), b.size()).put32(at, v);
    };
    const damage cases[] = {
        {"a count of faces past the file", [&](auto& b) { put32(b, 8, 0x40000000); },
         "the collection's header runs past the end of the file"},
        {"no face", [&](auto& b) { put32(b, 8, 0); }, "the collection holds no face"},
        {"version 3", [&](auto& b) { put32(b, 4, 0x00030000); },
         "the collection's header has a version this editor does not know"},
        {"a directory past the end", [&](auto& b) { put32(b, 16, (uint32_t)b.size() - 4); },
         "a face's table directory lies outside the file"},
        {"a directory inside the header", [&](auto& b) { put32(b, 16, 8); },
         "a face's table directory overlaps the collection's header"},
        {"two faces on one directory", [&](auto& b) { put32(b, 20, dir0); },
         "two faces share or overlap their table directories"},
        {"a table past the end",
         [&](auto& b) { put32(b, entry(dir1, "post") + 8, (uint32_t)b.size() - 8); },
         "a table of the collection lies outside the file"},
        {"a huge length", [&](auto& b) { put32(b, entry(dir1, "post") + 12, 0xFFFFFFF0); },
         "a table of the collection lies outside the file"},
        {"a shared table with another length",
         [&](auto& b) { put32(b, entry(dir2, "glyf") + 12, g.u32(entry(dir0, "glyf") + 12) - 4); },
         "tables of the collection overlap without being the same"},
        {"a table over a directory", [&](auto& b) { put32(b, entry(dir2, "post") + 8, dir1); },
         "a table overlaps a face's table directory"},
        {"a face that is no font", [&](auto& b) { put32(b, dir2, 0x12345678); },
         "a face of the collection is not a TrueType or OpenType font"},
        {"a truncated file", [&](auto& b) { b.resize(dir1 + 8); },
         "a face's table directory lies outside the file"},
    };
    for (const damage& d : cases) {
        SCOPED_TRACE(d.label);
        std::vector<unsigned char> bytes = good;
        d.apply(bytes);
        std::string path = temp_dir() + "/damaged.ttc";
        ASSERT_TRUE(write_file(path, bytes));
        opened c(path);
        EXPECT_EQ(c.status, 1);
        EXPECT_STREQ(c.collection.error(), d.error);
        EXPECT_TRUE(c.collection.faces().empty());
    }

    std::vector<unsigned char> signed_bytes = read_file(signed_two_faces());
    byte_writer(signed_bytes.data(), signed_bytes.size()).put32(12 + 8 + 8, 0xFFFFFF00);
    std::string path = temp_dir() + "/badsignature.ttc";
    ASSERT_TRUE(write_file(path, signed_bytes));
    opened c(path);
    EXPECT_EQ(c.status, 1);
    EXPECT_STREQ(c.collection.error(), "the collection's signature lies outside the file");
}

// The way the editor does it: face 2 read by the container at its
// directory, a glyph moved, the face's image written into the collection.
TEST(Collection, AFaceEditedInTheContainerIsWrittenBackAlone) {
    opened c(three_faces());
    ASSERT_EQ(c.status, 0);
    // 0: nothing edited; 1: a glyph moved; 2: moved and undone, so that
    // glyf was written but holds the bytes the file has.
    for (int edit = 0; edit < 3; edit++) {
        SCOPED_TRACE(edit == 0 ? "nothing edited" : edit == 1 ? "a glyph moved" : "undone");
        ttf font;
        ASSERT_EQ(font.load(c.file, c.collection.faces()[2].diroffset), 0) << font.load_error();
        font_history* history = font.start_history();
        if (edit) {
            glyph g(36);
            ASSERT_EQ(font.get_glyph(36, &g), 0);
            g.contours[0]->points[0] += BPoint(0, 1);
            ASSERT_EQ(font.set_glyph(36, &g), 0);
        }
        if (edit == 2) {
            ASSERT_TRUE(history->undo());
        }
        const bool changed = edit == 1;
        face_tables tables;
        ASSERT_EQ(font.save_face(c.collection.faces()[2], &tables), 0);
        std::string out = temp_dir() + "/face2.ttc";
        BFile file(out.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        std::string why;
        ASSERT_EQ(write_collection(c.file, c.collection, 2, &tables, file, nullptr, &why), 0)
            << why;
        EXPECT_EQ(collection_differences(three_faces(), out),
                  changed ? "faces 3\n2 glyf changed\n" : "faces 3\n");
        EXPECT_EQ(offset_of(out, 0, "glyf") == offset_of(out, 2, "glyf"), !changed);
        EXPECT_EQ(offset_of(out, 0, "cmap"), offset_of(out, 2, "cmap"));
        expect_fresh_checksums(out);
        ots_accepts_every_face(out, 3);
        for (int f = 0; f < 3; f++) {
            std::string output;
            EXPECT_EQ(run_command(std::string(TAVREL_FT_CHECK) + " '" + out + "#" +
                                      std::to_string(f) + "'",
                                  &output),
                      0)
                << output;
        }
    }
}
