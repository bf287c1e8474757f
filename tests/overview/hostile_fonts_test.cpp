// Fonts built to hurt: the overview draws or marks every glyph of them and
// stays responsive.
#include "overview_fixture.h"

#include "font/font_builder.h"
#include "font/glyf_components.h"

#include <chrono>

using namespace overview_testing;
using namespace font_builder;

namespace {

std::string write_font(const bytes& b) {
    std::string path = testing_support::temp_dir() + "/hostile.ttf";
    testing_support::write_file(path, b);
    return path;
}

// A one-contour record with the given points (all on the curve).
bytes contour(const std::vector<std::pair<int, int>>& points) {
    bytes b;
    add16(b, 1);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    add16(b, (uint32_t)points.size() - 1);
    add16(b, 0);
    for (size_t i = 0; i < points.size(); i++)
        b.push_back(0x01);
    int p = 0;
    for (const auto& pt : points) {
        add16(b, (uint32_t)(uint16_t)(int16_t)(pt.first - p));
        p = pt.first;
    }
    p = 0;
    for (const auto& pt : points) {
        add16(b, (uint32_t)(uint16_t)(int16_t)(pt.second - p));
        p = pt.second;
    }
    return b;
}

// A composite of `count` copies of glyph `part`, spread with word offsets.
bytes many_components(unsigned part, unsigned count) {
    bytes b;
    add16(b, 0xFFFF);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    for (unsigned i = 0; i < count; i++) {
        add16(b, 0x0003 | (i + 1 < count ? 0x0020 : 0));
        add16(b, part);
        add16(b, (i % 32) * 30);
        add16(b, (i / 32) * 30);
    }
    return b;
}

// Glyphs 1 ... depth: each a composite of the next; the last a square.
std::vector<bytes> chain(unsigned depth) {
    std::vector<bytes> records{{}};
    for (unsigned k = 1; k <= depth; k++)
        records.push_back(composite_glyph({k + 1}));
    records.push_back(contour({{100, 0}, {100, 600}, {500, 600}, {500, 0}}));
    return records;
}

// The share of reddish pixels in a cell's glyph square: the damage mark.
double red_share(open_overview& o, int index) {
    BRect r = o.locked([&] { return o.grid()->cell_rect(index); });
    BPoint at = o.locked([&] { return o.grid()->ConvertToParent(r.LeftTop()); });
    int size = o.locked([&] { return o.grid()->cell_size(); });
    int red = 0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            rgb_color c = screen().pixel(o.window, (int32)at.x + x, (int32)at.y + y);
            red += c.red > 180 && c.green < 235 && c.blue < 235;
        }
    return (double)red / (size * size);
}

int ink(open_overview& o, int index) {
    BRect r = o.locked([&] { return o.grid()->cell_rect(index); });
    BPoint at = o.locked([&] { return o.grid()->ConvertToParent(r.LeftTop()); });
    int size = o.locked([&] { return o.grid()->cell_size(); });
    // Outside the window the display shows black: only a shown cell counts.
    if (!o.locked([&] { return o.grid()->Bounds().Contains(r); }))
        return -1;
    int dark = 0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < (int)r.Width(); x++) {
            rgb_color c = screen().pixel(o.window, (int32)at.x + x, (int32)at.y + y);
            dark += c.red < 100 && c.green < 100 && c.blue < 100;
        }
    return dark;
}

} // namespace

TEST(OverviewHostile, EveryGlyphDrawsOrIsMarkedWithoutAHang) {
    const unsigned limit = GLYF_MAX_COMPONENT_DEPTH;
    struct sample {
        const char* what;
        std::vector<bytes> records;
        int glyph;    // the cell looked at
        bool damaged; // marked as damaged
        bool inked;   // some ink shows
    };
    std::vector<bytes> truncated{{}, contour({{0, 0}, {0, 500}, {500, 500}})};
    truncated[1].resize(14); // the contour's ends cut off
    const std::vector<sample> samples = {
        {"one glyph", {contour({{100, 0}, {100, 700}, {600, 700}, {600, 0}})}, 0, false, true},
        {"extreme coordinates",
         {{}, contour({{-16384, -16384}, {-16384, 16383}, {16383, 16383}, {16383, -16384}})},
         1,
         false,
         true},
        {"a triangle far outside",
         {{}, contour({{30000, 0}, {32000, 30000}, {32767, 0}})},
         1,
         false,
         false},
        {"1,024 components",
         {{}, contour({{0, 0}, {0, 20}, {20, 20}, {20, 0}}), many_components(1, 1024)},
         2,
         false,
         true},
        {"nesting at the limit", chain(limit), 1, false, true},
        {"nesting past the limit", chain(limit + 1), 1, true, false},
        {"a record cut short", truncated, 1, true, false},
        {"a component that is itself", {{}, composite_glyph({1})}, 1, true, false},
    };
    for (const sample& s : samples) {
        test_host host;
        std::vector<table> t = font_tables(s.records);
        ASSERT_TRUE(host.load(write_font(sfnt(t)))) << s.what;
        auto start = std::chrono::steady_clock::now();
        open_overview o(&host, 48);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 20.0) << s.what; // a hang, not a speed goal
        double red = red_share(o, s.glyph);
        EXPECT_EQ(s.damaged, red > 0.3) << s.what << ": " << red;
        EXPECT_EQ(s.inked, ink(o, s.glyph) > 20) << s.what;
    }
}

TEST(OverviewHostile, SixtyFiveThousandGlyphsScrollEndToEnd) {
    // 65,535 glyphs, every 1,000th with an outline, the rest empty.
    std::vector<bytes> records(65535);
    for (size_t g = 0; g < records.size(); g += 1000)
        records[g] = contour({{100, 0}, {100, 700}, {600, 700}, {600, 0}});
    std::vector<table> t = font_tables(records);
    test_host host;
    ASSERT_TRUE(host.load(write_font(sfnt(t))));
    open_overview o(&host, 32);
    EXPECT_EQ(65535, o.locked([&] { return o.grid()->model().count(); }));
    o.key("\x04");
    int first, last;
    o.locked([&] {
        o.grid()->visible_range(&first, &last);
        return 0;
    });
    EXPECT_EQ(65534, last);
    // Only what was shown was decoded: glyph 0; the last rows are empty.
    EXPECT_EQ(1u, o.locked([&] { return o.grid()->decodes(); }));
    EXPECT_TRUE(o.locked([&] { return o.grid()->search("#fde8"); }));
    o.idle();
    EXPECT_GT(ink(o, 65000), 20);
    EXPECT_EQ(2u, o.locked([&] { return o.grid()->decodes(); }));
}
