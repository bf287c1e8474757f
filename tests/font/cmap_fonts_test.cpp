// Character maps of the installed fonts: the format 4 encoder against
// fontTools' compiler, and edits (one, and seeded random sequences) that
// must change each subtable's map by the edited runs alone, as fontTools
// reads the saved file.
#include "font/cmap.h"
#include "font/cmap_subtables.h"
#include "font/maxp.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "font/font_builder.h"

using namespace font_builder;
using namespace testing_support;

namespace {

// Every TrueType file fontconfig knows: the fonts the setup installs, and
// whatever else the machine has.
std::vector<std::string> installed_fonts() {
    std::string out;
    run_command("fc-list --format '%{file}\\n' | grep -i '\\.ttf$' | sort -u", &out);
    std::vector<std::string> paths;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        paths.push_back(line);
    return paths;
}

std::string tool(const char* name) {
    return python() + " '" + source_dir() + "/tests/tools/" + name + "'";
}

// How many bytes fontTools compiles each format 4 subtable's map into,
// by (platform, encoding).
std::map<std::pair<unsigned, unsigned>, size_t> fonttools_sizes(const std::string& path) {
    std::string out;
    EXPECT_EQ(run_command(tool("cmap_format4_sizes.py") + " '" + path + "'", &out), 0) << out;
    std::map<std::pair<unsigned, unsigned>, size_t> sizes;
    std::istringstream lines(out);
    unsigned platform, encoding;
    size_t size;
    while (lines >> platform >> encoding >> size)
        sizes[{platform, encoding}] = size;
    return sizes;
}

} // namespace

// Each format 4 subtable, decoded and encoded again, is no larger than
// fontTools makes the same map and reads back as that map; and a run of
// 26 characters can be mapped in every font, however many it maps.
TEST(CmapFonts, Format4IsAsSmallAsFontToolsAndEveryFontTakesAnEdit) {
    std::vector<std::string> fonts = installed_fonts();
    size_t large = 0;
    for (const std::string& path : fonts) {
        SCOPED_TRACE(path);
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(path)), 0);
        std::map<std::pair<unsigned, unsigned>, size_t> theirs = fonttools_sizes(path);
        byte_span b = font.cmap->bytes();
        size_t checked = 0;
        for (unsigned i = 0; i < b.u16(2); i++) {
            size_t at = b.u32(8 + 8 * i);
            if (b.u16(at) != 4)
                continue;
            std::vector<uint16_t> map(65536), again(65536);
            ASSERT_EQ(cmap_subtables::decode_format4(b, at, map.data()), 0);
            std::vector<unsigned char> mine;
            ASSERT_TRUE(cmap_subtables::encode_format4(map.data(), b.u16(at + 4), &mine));
            std::pair<unsigned, unsigned> key{b.u16(4 + 8 * i), b.u16(6 + 8 * i)};
            ASSERT_TRUE(theirs.count(key));
            EXPECT_LE(mine.size(), theirs[key]) << key.first << ", " << key.second;
            ASSERT_EQ(cmap_subtables::decode_format4(byte_span(mine.data(), mine.size()), 0,
                                                     again.data()),
                      0);
            EXPECT_TRUE(map == again);
            checked++;
        }
        EXPECT_EQ(checked, theirs.size());

        size_t bmp = 0;
        for (uint32_t c = 0; c < 65536; c++)
            bmp += font.cmap->get_gno((unsigned short)c) != 0;
        large += bmp >= 11000;
        uint32_t glyphs = font.maxp->numglyphs();
        ASSERT_GT(glyphs, 30u);
        EXPECT_EQ(font.cmap->set_chr('A', 'Z', (unsigned short)(glyphs - 27)), 0)
            << font.cmap->edit_error();
        EXPECT_EQ(font.cmap->get_gno('Z'), glyphs - 2);
    }
    // HanaMinA, HanaMinB and DroidSansFallbackFull at least.
    EXPECT_GE(large, 3u);
}

namespace {

struct edit {
    uint32_t start, end;
    uint16_t gno;
};

std::string hex(uint32_t v) {
    std::ostringstream o;
    o << std::hex << v;
    return o.str();
}

} // namespace

// Seeded random runs over real fonts (shared format 4 subtables, format 12
// with characters past U+FFFF, U+0000 mapped, Macintosh and variation
// sequence subtables): after the whole sequence each Unicode subtable maps
// what it mapped before with each run replaced, in order, and every other
// subtable is the same bytes.
TEST(CmapFonts, RandomEditSequencesChangeOnlyTheEditedRuns) {
    struct {
        const char* path;
        uint32_t wide; // a code past U+FFFF the font maps, or 0
    } const fonts[] = {
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0x1D400},
        {"/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf", 0},
        {"/usr/share/fonts/truetype/hanazono/HanaMinA.ttf", 0x2F800},
        {"/usr/share/fonts/truetype/misaki/misaki_gothic.ttf", 0},
        {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", 0},
    };
    std::mt19937 random(20261209);
    auto below = [&](uint32_t n) { return (uint32_t)(random() % n); };
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.path);
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(f.path)), 0);
        const uint32_t glyphs = font.maxp->numglyphs();
        std::vector<edit> edits;
        std::string args;
        for (int k = 0; k < 12; k++) {
            uint32_t length = 1 + below(k % 4 == 0 ? 300 : 12), start;
            switch (below(6)) {
            case 0: // over U+0000 or up to U+FFFF, which stay as they are
                start = below(2) ? 0 : 0x10000 - length;
                break;
            case 1:
                start = f.wide ? f.wide + below(64) : 0x20 + below(0x60);
                break;
            case 2:
                start = 0x4E00 + below(0x5000);
                break;
            default:
                start = 0x20 + below(0x3000);
            }
            edit e{start, start + length - 1,
                   (uint16_t)(below(5) == 0 ? 0xFFFF : 1 + below(glyphs - length - 1))};
            ASSERT_EQ(font.cmap->set_chr(e.start, e.end, e.gno), 0)
                << hex(e.start) << "-" << hex(e.end) << ": " << font.cmap->edit_error();
            args += " " + hex(e.start) + " " + hex(e.end) + " " + hex(e.gno);
        }
        std::string saved = save_font(font);
        ASSERT_FALSE(saved.empty());
        std::string out;
        EXPECT_EQ(
            run_command(tool("cmap_edit_check.py") + " '" + f.path + "' '" + saved + "'" + args,
                        &out),
            0)
            << args << "\n"
            << out;
        out.clear();
        EXPECT_EQ(run_command("ots-sanitize '" + saved + "'", &out), 0) << out;
    }
}
