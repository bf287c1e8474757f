// The table editors with forms: whole edits as a user makes them (every
// field of the form typed with a plausible value, then a button pressed),
// which the generic one-control gesture would almost never assemble. The
// values reach past the font's glyphs and the 16-bit limits now and then,
// where the editors must refuse them.
#include "soak/soak.h"

#include <Window.h>

namespace {

void hmtx_gesture(soak::driver& d, BView* view) {
    if (d.chance(40)) {
        soak::control_gesture(d, view);
        return;
    }
    uint32 first = soak::some_glyph(d);
    uint32 last = d.chance(80) ? first + (uint32)d.below(4) : soak::some_glyph(d);
    // Side bearings below zero are typed as 32-bit two's complement.
    int32 lsb = d.chance(70) ? d.below(300) - 100 : d.below(70000) - 35000;
    uint32 width = d.chance(90) ? (uint32)d.below(3000) : 0x10000 + (uint32)d.below(10);
    soak::fill_and_press(d, view,
                         {{"st", soak::hex(first)},
                          {"ed", soak::hex(last)},
                          {"width", soak::hex(width)},
                          {"lsb", soak::hex((uint32)lsb)}},
                         d.chance(85) ? "set" : nullptr);
}

// The list of runs: one chosen with a click, moved with the keys, and now
// and then given another glyph with "set".
void cmap_list_gesture(soak::driver& d, BView* view) {
    BView* list = nullptr;
    if (d.run.window()->Lock()) {
        if (view->Window() == d.run.window())
            list = view->FindView("runs");
        d.run.window()->Unlock();
    }
    BRect r = list ? d.visible_frame(list) : BRect(0, 0, -1, -1);
    if (!r.IsValid())
        return;
    d.click(BPoint(d.between(r.left, r.right), d.between(r.top, r.bottom)));
    // Up, down, Page Up, Page Down, Home, End.
    static const char* const keys[] = {"\x1e", "\x1f", "\x0b", "\x0c", "\x01", "\x04"};
    for (int k = d.below(4); k > 0; k--)
        d.key(keys[d.below(6)]);
    if (d.chance(40))
        soak::fill_and_press(d, view, {{"gno", soak::hex(soak::some_glyph(d))}}, "set");
}

void cmap_gesture(soak::driver& d, BView* view) {
    if (d.chance(30)) {
        soak::control_gesture(d, view);
        return;
    }
    if (d.chance(40)) {
        cmap_list_gesture(d, view);
        return;
    }
    static const uint32 starts[] = {0x20, 0x41, 0xe9, 0x3042, 0xd7ff, 0xe000, 0xfffd, 0xfffe};
    uint32 start =
        d.chance(70) ? starts[d.below(8)] + (uint32)d.below(40) : (uint32)d.below(0x111000);
    uint32 end = d.chance(85) ? start + (uint32)d.below(6) : (uint32)d.below(0x111000);
    // Glyph 0 unmaps the run.
    uint32 glyph = d.chance(15) ? 0 : soak::some_glyph(d);
    soak::fill_and_press(
        d, view, {{"st", soak::hex(start)}, {"ed", soak::hex(end)}, {"gno", soak::hex(glyph)}},
        d.chance(85) ? "set" : nullptr);
}

void name_gesture(soak::driver& d, BView* view) {
    if (d.chance(40)) {
        soak::control_gesture(d, view);
        return;
    }
    static const char* const texts[] = {
        "Tavrel Sans",
        "R\xc3\xa9gulier \xc3\xa9t\xc3\xa9",
        "\xe6\xbc\xa2\xe5\xad\x97\xe3\x81\x8b\xe3\x81\xaa",
        "\xf0\x9f\x98\x80 smile",
        "",
        "Version 1.000;tavrel",
    };
    std::string text = texts[d.below(6)];
    if (d.chance(10))
        text = std::string(200 + d.below(400), 'x') + text;
    // Windows Unicode mostly; Macintosh Roman and out-of-range IDs too.
    bool windows = d.chance(80);
    uint32 name = d.chance(90) ? (uint32)d.below(26) : 0x10000 + (uint32)d.below(4);
    static const char* const buttons[] = {"add", "set", "set", "del"};
    soak::fill_and_press(d, view,
                         {{"pid", soak::hex(windows ? 3 : 1)},
                          {"eid", soak::hex(windows ? 1 : 0)},
                          {"lid", soak::hex(windows ? 0x409 : 0)},
                          {"nid", soak::hex(name)},
                          {"data", text}},
                         buttons[d.below(4)]);
}

void gasp_gesture(soak::driver& d, BView* view) {
    if (d.chance(40)) {
        soak::control_gesture(d, view);
        return;
    }
    if (d.chance(50))
        soak::click_named(d, view, "gridfit");
    if (d.chance(50))
        soak::click_named(d, view, "grayscale");
    uint32 size = d.chance(15) ? 0xffff : (uint32)d.below(0x40);
    static const char* const buttons[] = {"add", "set", "set", "del"};
    soak::fill_and_press(d, view, {{"pt", soak::hex(size)}}, buttons[d.below(4)]);
}

} // namespace

SOAK_VIEW("hmtx", hmtx_gesture);
SOAK_VIEW("cmap", cmap_gesture);
SOAK_VIEW("name", name_gesture);
SOAK_VIEW("gasp", gasp_gesture);
