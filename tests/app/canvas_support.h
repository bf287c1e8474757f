// The drawing editors inside the running application, driven as a user
// does. The glyph editor: a small font with squares opened from a file,
// the glyf table chosen on the selector, presses, drags and keys injected
// at canvas positions of the main window, the palette's requests, and
// Alt+Z / Shift+Alt+Z. The bitmap editor: a strike chosen from its size
// menu, a glyph typed into its palette, cells clicked.
#ifndef TAVREL_TESTS_APP_CANVAS_SUPPORT_H
#define TAVREL_TESTS_APP_CANVAS_SUPPORT_H

#include "edit_support.h"

#include "editor/ebdteditview.h"
#include "editor/ebdttoolview.h"
#include "editor/glyfeditview.h"
#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "editor/edit_fixture.h"

#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>

#include <string>
#include <vector>

namespace app_testing {

// A contour as the canvas holds it: points and flags, exactly.
struct canvas_contour {
    std::vector<BPoint> points;
    std::vector<int> flags;
    bool operator==(const canvas_contour& o) const {
        return points == o.points && flags == o.flags;
    }
};
using canvas_outline = std::vector<canvas_contour>;

// Glyph 1: square A at canvas (100, 200)-(200, 300) and square B at
// canvas (250, 100)-(300, 150); glyph 2 is made of glyph 1; glyphs 0 and 3
// are empty. The box is 400 units square.
inline std::string squares_font(const std::string& dir) {
    using namespace edit_testing;
    std::string path = dir + "/squares.ttf";
    bytes file =
        edit_testing::small_font({{},
                                  simple_record({square(100, 100, 100), square(250, 250, 50)}),
                                  font_builder::composite_glyph({1}),
                                  {}});
    return write_file(path, file) ? path : "";
}

struct canvas_app {
    running_app run;
    glyfeditview* editor = nullptr;

    explicit canvas_app(const std::string& path, int gno = 1) : run({path}) {
        run.choose(run.index_of("glyf"));
        run.window()->Lock();
        if (curfont && curfont->glyf)
            editor = dynamic_cast<glyfeditview*>(curfont->glyf->editview);
        run.window()->Unlock();
        if (!editor)
            return;
        BMessage zoom(GLYF_CHANGE);
        zoom.AddFloat("scale", 1.0f);
        palette(zoom);
        show(gno);
    }

    // A request as the palette sends it.
    void palette(BMessage message) {
        BMessenger(editor).SendMessage(&message);
        run.idle();
    }
    void palette(uint32 what) { palette(BMessage(what)); }
    void show(int gno) {
        BMessage m(GLYF_CHANGE);
        m.AddInt16("gno", (int16)gno);
        palette(m);
    }
    void tool(int t) { palette(GLYF_TOOLS[t]); }
    // Types a glyph number into the palette's "gno." entry and presses
    // Enter, as a user chooses a glyph.
    void type_glyph(const char* hex) {
        run.click(BPoint(35, WORKVIEW_TOP + 53));
        screen().key_down(run.window(), "a", 0, B_COMMAND_KEY);
        for (const char* c = hex; *c; c++)
            screen().key_down(run.window(), std::string(1, *c).c_str());
        screen().key_down(run.window(), "\n", B_ENTER);
        run.idle();
    }
    uint16 gno() {
        run.window()->Lock();
        uint16 n = editor->gno;
        run.window()->Unlock();
        return n;
    }

    // Window coordinates of a canvas position.
    BPoint at(float x, float y) {
        run.window()->Lock();
        BPoint origin = editor->kit_window_offset();
        float s = editor->scale;
        run.window()->Unlock();
        return origin + BPoint(x * s, y * s);
    }
    void press(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        screen().mouse_move(run.window(), at(x, y), 0, mods);
        screen().mouse_down(run.window(), at(x, y), buttons, mods);
        run.idle();
    }
    void move(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        screen().mouse_move(run.window(), at(x, y), buttons, mods);
        run.idle();
    }
    void release(float x, float y, uint32 mods = 0) {
        screen().mouse_up(run.window(), at(x, y), mods);
        run.idle();
    }
    void click(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        press(x, y, buttons, mods);
        release(x, y, mods);
    }
    void drag(float x0, float y0, float x1, float y1, uint32 buttons = 1, uint32 mods = 0,
              int steps = 4) {
        press(x0, y0, buttons, mods);
        for (int i = 1; i <= steps; i++)
            move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, buttons, mods);
        release(x1, y1, mods);
    }
    void key(const char* bytes) {
        screen().key_down(run.window(), bytes);
        screen().key_up(run.window(), bytes);
        run.idle();
    }
    void undo() { command_key(run, "z"); }
    void redo() { command_key(run, "Z", B_SHIFT_KEY); }

    // Every contour slot of the glyph on the canvas.
    canvas_outline outline() {
        canvas_outline out;
        run.window()->Lock();
        for (int i = 0; i < curglyph->count + curglyph->ncompo; i++) {
            canvas_contour c;
            if (const shape* s = curglyph->contours[i])
                for (int j = 0; j < s->count; j++) {
                    c.points.push_back(s->points[j]);
                    c.flags.push_back(s->flags[j]);
                }
            out.push_back(c);
        }
        run.window()->Unlock();
        return out;
    }
    int contours() {
        run.window()->Lock();
        int n = curglyph->count;
        run.window()->Unlock();
        return n;
    }
    int components() {
        run.window()->Lock();
        int n = curglyph->ncompo;
        run.window()->Unlock();
        return n;
    }
    std::string label(bool redo = false);
    bool enabled(bool redo = false) {
        run.window()->Lock();
        bool e = (redo ? run.window()->redoitem : run.window()->undoitem)->IsEnabled();
        run.window()->Unlock();
        return e;
    }
    // The title's changed mark and the unsaved-changes state behind it.
    bool marked() {
        run.window()->Lock();
        std::string title = run.window()->Title();
        bool unsaved = run.window()->unsaved();
        run.window()->Unlock();
        bool mark = title.size() > 2 && title.compare(title.size() - 2, 2, " *") == 0;
        EXPECT_EQ(mark, unsaved) << "the title's mark follows the unsaved state";
        return mark;
    }

    // Glyph `gno`'s record as the font in memory holds it.
    std::vector<unsigned char> record(int gno) {
        std::vector<unsigned char> r;
        run.window()->Lock();
        unsigned long offset, length;
        if (curfont->loca->get_offset(curfont->head->is32loca(), gno, &offset, &length) == 0) {
            byte_span b = curfont->glyf->bytes().slice(offset, length);
            r.assign(b.data(), b.data() + b.size());
        }
        run.window()->Unlock();
        return r;
    }

    // The main window's pixels of the canvas area, as 0xRRGGBB.
    std::vector<uint32> pixels() {
        BPoint o = at(0, 0);
        std::vector<uint32> out;
        for (int y = 0; y < 500; y++)
            for (int x = -50; x < 512; x++)
                out.push_back(kit_testing::rgb(run.window(), (int)o.x + x, (int)o.y + y));
        return out;
    }
};

const char* const MISAKI = "/usr/share/fonts/truetype/misaki/misaki_gothic.ttf";

// The bitmap editor of a font with embedded bitmaps (Misaki: one strike,
// 8 pixels per em), its EBDT tag chosen and a strike and glyph shown.
struct bitmap_app {
    running_app run;
    ebdteditview* canvas = nullptr;
    ebdttoolview* palette = nullptr;
    // Window coordinates of the EBDT view's corner: the palette is its
    // first 50 pixels, the canvas follows.
    BPoint origin;

    explicit bitmap_app(const std::string& path, const char* strike = "8",
                        const char* character = "42")
        : run({path}) {
        run.choose(run.index_of("EBDT"));
        run.window()->Lock();
        if (curfont && curfont->ebdt) {
            palette = dynamic_cast<ebdttoolview*>(curfont->ebdt->toolview);
            canvas = dynamic_cast<ebdteditview*>(curfont->ebdt->editview);
            origin = curfont->ebdt->ConvertToParent(BPoint(0, 0)) + BPoint(0, WORKVIEW_TOP);
        }
        run.window()->Unlock();
        if (!canvas || !palette)
            return;
        size(strike);
        type(BPoint(35, 21), character);
    }

    // Opens the size menu and clicks the item with this label.
    void size(const char* label) {
        run.click(origin + BPoint(25, 95));
        BPoint where(-1, -1);
        run.window()->Lock();
        BMenu* menu = palette->sizefield->Menu();
        for (int32 i = 0; i < menu->CountItems() && menu->Parent(); i++) {
            if (strcmp(menu->ItemAt(i)->Label(), label) != 0)
                continue;
            BRect f = menu->ItemAt(i)->Frame();
            where = menu->ConvertToParent(BPoint((f.left + f.right) / 2, f.top + 3)) +
                    menu->Parent()->kit_window_offset();
        }
        run.window()->Unlock();
        ASSERT_GE(where.x, 0) << "no open menu item " << label;
        run.click(where);
    }
    // Replaces the text of the palette's entry at `where` (palette
    // coordinates) with `text` and presses Enter.
    void type(BPoint where, const char* text) {
        run.click(origin + where);
        screen().key_down(run.window(), "a", 0, B_COMMAND_KEY);
        for (const char* c = text; *c; c++)
            screen().key_down(run.window(), std::string(1, *c).c_str());
        screen().key_down(run.window(), "\n", B_ENTER);
        run.idle();
    }
    void glyph(const char* hex) { type(BPoint(35, 53), hex); }
    // Clicks pixel (col, row) of the image on the canvas.
    void toggle(int col, int row) {
        BRect r;
        run.window()->Lock();
        if (canvas->bmp)
            r = canvas->bmp->cell_rect(col, row);
        run.window()->Unlock();
        run.click(origin + BPoint(50 + (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    void set() { run.click(origin + BPoint(25, 440)); }

    // The canvas's pixels, '1' for ink, rows from the top.
    std::string bits() {
        std::string out;
        run.window()->Lock();
        const bitmap* b = canvas->bmp;
        for (size_t i = 0; b && b->pixels && i < (size_t)b->width * b->height; i++)
            out += b->pixels[i] ? '1' : '0';
        run.window()->Unlock();
        return out;
    }
    // The same image as the font in memory holds it.
    std::string stored_bits() {
        std::string out;
        run.window()->Lock();
        bitmap b(canvas->gno, (unsigned char)(canvas->pt >> 8), (unsigned char)(canvas->pt & 0xFF),
                 1);
        if (curfont->get_bitmap(&b) == 0)
            for (size_t i = 0; i < (size_t)b.width * b.height; i++)
                out += b.pixels[i] ? '1' : '0';
        run.window()->Unlock();
        return out;
    }
    uint16 gno() {
        run.window()->Lock();
        uint16 n = canvas->gno;
        run.window()->Unlock();
        return n;
    }
};

// Whether the title ends with the changed mark " *".
inline bool title_marked(running_app& run) {
    run.window()->Lock();
    std::string title = run.window()->Title();
    run.window()->Unlock();
    return title.size() > 2 && title.compare(title.size() - 2, 2, " *") == 0;
}

// The Edit menu's Undo (or Redo) label.
inline std::string edit_label(running_app& run, bool redo = false) {
    run.window()->Lock();
    std::string s = (redo ? run.window()->redoitem : run.window()->undoitem)->Label();
    run.window()->Unlock();
    return s;
}

inline std::string canvas_app::label(bool redo) {
    return edit_label(run, redo);
}

} // namespace app_testing

#endif
