// A glyph editor on the headless display, driven as a user drives it:
// the glyf table view of a loaded font in a window that records pointer
// data for the edit view like the main window, requests sent as the
// palette sends them, and presses, drags, releases and keys injected at
// canvas positions.
#ifndef TAVREL_TESTS_EDITOR_EDIT_FIXTURE_H
#define TAVREL_TESTS_EDITOR_EDIT_FIXTURE_H

#include "editor/editor_window.h"
#include "editor/globals.h"
#include "editor/glyfeditview.h"
#include "editor/glyftoolview.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "font/font_builder.h"
#include "kit/kit_test_support.h"

#include <Alert.h>
#include <File.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include "kit/app/kit_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace edit_testing {

using namespace kit_testing;
using font_builder::bytes;

// A window that records the edit view's pointer data as the main window
// does, and keeps its size when asked to zoom.
class edit_window : public BWindow, public editor_window {
  public:
    edit_window() : BWindow(BRect(100, 100, 661, 611), "editor", B_TITLED_WINDOW, 0) {}
    void updatescrollbar() override {}
    void Zoom(BPoint, float, float) override {}
    void DispatchMessage(BMessage* message, BHandler* handler) override {
        bool pointer = message->what == B_MOUSE_DOWN || message->what == B_MOUSE_MOVED ||
                       message->what == B_MOUSE_UP;
        if (pointer && inputtarget && handler == inputtarget)
            record_input(*message, &lastinput);
        BWindow::DispatchMessage(message, handler);
    }
};

// One contour point in font units.
struct pt {
    int x, y;
    bool on = true;
};
using contour = std::vector<pt>;

// A simple glyph record with word deltas and the given instructions.
inline bytes simple_record(const std::vector<contour>& contours, const bytes& instructions = {}) {
    bytes b;
    font_builder::add16(b, (uint32_t)contours.size());
    int xmin = 32767, ymin = 32767, xmax = -32768, ymax = -32768;
    for (const contour& c : contours)
        for (const pt& p : c) {
            xmin = std::min(xmin, p.x);
            ymin = std::min(ymin, p.y);
            xmax = std::max(xmax, p.x);
            ymax = std::max(ymax, p.y);
        }
    for (int v : {xmin, ymin, xmax, ymax})
        font_builder::add16(b, (uint32_t)(uint16_t)v);
    int end = -1;
    for (const contour& c : contours) {
        end += (int)c.size();
        font_builder::add16(b, (uint32_t)end);
    }
    font_builder::add16(b, (uint32_t)instructions.size());
    b.insert(b.end(), instructions.begin(), instructions.end());
    for (const contour& c : contours)
        for (const pt& p : c)
            b.push_back(p.on ? 0x01 : 0x00);
    int prev = 0;
    for (const contour& c : contours)
        for (const pt& p : c) {
            font_builder::add16(b, (uint32_t)(uint16_t)(p.x - prev));
            prev = p.x;
        }
    prev = 0;
    for (const contour& c : contours)
        for (const pt& p : c) {
            font_builder::add16(b, (uint32_t)(uint16_t)(p.y - prev));
            prev = p.y;
        }
    if (b.size() % 2)
        b.push_back(0);
    return b;
}

// A square contour in font units, clockwise on the flipped canvas.
inline contour square(int left, int bottom, int size) {
    return {
        {left, bottom + size}, {left + size, bottom + size}, {left + size, bottom}, {left, bottom}};
}

// A font of these records whose bounding box is (low, low)-(box, box).
inline bytes small_font(const std::vector<bytes>& records, int box = 400, int low = 0) {
    std::vector<font_builder::table> tables = font_builder::font_tables(records);
    bytes* head = font_builder::find_table(tables, "head");
    font_builder::put16(*head, 36, (uint32_t)(uint16_t)low);
    font_builder::put16(*head, 38, (uint32_t)(uint16_t)low);
    font_builder::put16(*head, 40, (uint32_t)box);
    font_builder::put16(*head, 42, (uint32_t)box);
    return font_builder::sfnt(tables);
}

struct editor_fixture {
    // First, so that the window is made at this display scale.
    scoped_scale scaling;
    float device;
    ttf* font = new ttf();
    edit_window* window = new edit_window();
    BView* parent = new BView(BRect(0, 0, 561, 511), "work", B_FOLLOW_ALL, B_WILL_DRAW);
    glyfeditview* editor = nullptr;
    glyftoolview* palette = nullptr;
    std::string path;
    bool ready = false;

    // Loads the font file and shows its glyf table with a fresh editor,
    // in a window made at display scale `scale`.
    explicit editor_fixture(const std::string& fontpath, float scale = 1)
        : scaling(scale), device(scale), path(fontpath) {
        register_glyf_views();
        BFile file(fontpath.c_str(), B_READ_ONLY);
        if (font->load(file) != 0)
            return;
        window->Show();
        locked(window, [&] {
            window->AddChild(parent);
            font->set_view(parent);
            font->glyf->show(true);
            editor = dynamic_cast<glyfeditview*>(font->glyf->editview);
            palette = dynamic_cast<glyftoolview*>(font->glyf->toolview);
            window->inputtarget = editor;
        });
        if (!editor)
            return;
        BRect b = font->bounds();
        canvasok = false;
        BMessage init(GLYF_INIT);
        init.AddRect("bounds", BRect(0, 0, b.right - b.left, b.top - b.bottom));
        send(init);
        ready = canvasok;
    }
    // A font built in memory, written to a fresh file first.
    static std::string written(const bytes& file) {
        std::string p = testing_support::temp_dir() + "/font.ttf";
        testing_support::write_file(p, file);
        return p;
    }
    ~editor_fixture() {
        dismiss_alerts();
        locked(window, [&] {
            window->inputtarget = nullptr;
            font->reset_view(parent);
        });
        close(window);
        delete font;
    }

    void idle() { ASSERT_TRUE(screen().wait_idle()); }
    void send(const BMessage& message) {
        BMessage copy(message);
        BMessenger(editor).SendMessage(&copy);
        idle();
    }
    void send(uint32 what) { send(BMessage(what)); }
    void show_glyph(int gno) {
        BMessage m(GLYF_CHANGE);
        m.AddInt16("gno", (int16)gno);
        send(m);
    }
    void zoom(float s) {
        BMessage m(GLYF_CHANGE);
        m.AddFloat("scale", s);
        send(m);
    }
    void tool(int t) { send(GLYF_TOOLS[t]); }

    // Window coordinates of a canvas position at the current zoom, in
    // the display's device pixels as pointer input gives them.
    BPoint at(float x, float y) const {
        return BPoint((50 + x * editor->scale) * device, y * editor->scale * device);
    }
    void press(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        screen().mouse_move(window, at(x, y), 0, mods);
        screen().mouse_down(window, at(x, y), buttons, mods);
        idle();
    }
    void move(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        screen().mouse_move(window, at(x, y), buttons, mods);
        idle();
    }
    void release(float x, float y, uint32 mods = 0) {
        screen().mouse_up(window, at(x, y), mods);
        idle();
    }
    void click(float x, float y, uint32 buttons = 1, uint32 mods = 0) {
        press(x, y, buttons, mods);
        release(x, y, mods);
    }
    // A drag in `steps` moves from one canvas position to another.
    void drag(float x0, float y0, float x1, float y1, uint32 buttons = 1, uint32 mods = 0,
              int steps = 4) {
        press(x0, y0, buttons, mods);
        for (int i = 1; i <= steps; i++)
            move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, buttons, mods);
        release(x1, y1, mods);
    }
    void key(const char* bytes) {
        screen().key_down(window, bytes);
        screen().key_up(window, bytes);
        idle();
    }

    // The glyph record's bytes as the font holds them now.
    bytes record(int gno) {
        bytes out;
        locked(window, [&] {
            unsigned long offset, length;
            if (font->loca->get_offset(font->head->is32loca(), gno, &offset, &length) != 0)
                return;
            byte_span r = font->glyf->bytes().slice(offset, length);
            out.assign(r.data(), r.data() + r.size());
        });
        return out;
    }
    // Contour i's points, rounded, in canvas units.
    std::vector<BPoint> points(int i) {
        std::vector<BPoint> out;
        locked(window, [&] {
            if (i < curglyph->count + curglyph->ncompo && curglyph->contours[i])
                for (int j = 0; j < curglyph->contours[i]->count; j++)
                    out.push_back(curglyph->contours[i]->points[j]);
        });
        return out;
    }
    int contours() {
        int n = 0;
        locked(window, [&] { n = curglyph->count; });
        return n;
    }
    int selected(int i) {
        int s = 0;
        locked(window, [&] { s = curglyph->contours[i]->selected; });
        return s;
    }

    // The window's device pixels as 0xRRGGBB, row by row.
    std::vector<uint32> pixels() {
        return device_pixels(window, kit::device_side(562, device), kit::device_side(512, device));
    }

    // Open alerts, their texts, and closing them.
    std::vector<BAlert*> alerts() {
        std::vector<BAlert*> found;
        std::lock_guard<std::mutex> hold(kit::registry_mutex());
        for (BLooper* l : kit::loopers())
            if (BAlert* a = dynamic_cast<BAlert*>(l))
                found.push_back(a);
        return found;
    }
    std::string alert_text() {
        for (int i = 0; i < 200; i++) {
            std::vector<BAlert*> up = alerts();
            if (!up.empty())
                return up[0]->Text();
            snooze(5000);
        }
        return "";
    }
    // Answers every open alert with `key` (Enter: the default button).
    int dismiss_alerts(const char* key = "\n") {
        int n = 0;
        for (std::vector<BAlert*> up = alerts(); !up.empty(); up = alerts()) {
            screen().key_down(up[0], key, key[0] == '\n' ? B_ENTER : 0);
            for (int i = 0; i < 400 && alerts().size() == up.size(); i++)
                snooze(5000);
            n++;
            if (n > 20)
                break;
        }
        screen().wait_idle();
        return n;
    }
};

} // namespace edit_testing

#endif
