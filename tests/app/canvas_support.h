// The glyph editor inside the running application, driven as a user does:
// a small font with squares opened from a file, the glyf table chosen on
// the selector, presses, drags and keys injected at canvas positions of the
// main window, the palette's requests, and Alt+Z / Shift+Alt+Z.
#ifndef TAVREL_TESTS_APP_CANVAS_SUPPORT_H
#define TAVREL_TESTS_APP_CANVAS_SUPPORT_H

#include "edit_support.h"

#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "editor/edit_fixture.h"

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
    std::string label(bool redo = false) {
        run.window()->Lock();
        std::string s = (redo ? run.window()->redoitem : run.window()->undoitem)->Label();
        run.window()->Unlock();
        return s;
    }
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

} // namespace app_testing

#endif
