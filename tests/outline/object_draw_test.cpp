// Rubber bands of the drawing objects, checked by the pixels they leave:
// each shows, and drawing it a second time restores every pixel.
#include "kit/kit_test_support.h"
#include "object_builders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

using namespace kit_testing;

namespace {

// A window with a striped, many-coloured picture to draw over, drawn into
// while it is locked, as the glyph editor draws its overlay.
struct canvas_window {
    BWindow* window;
    BView* view;

    canvas_window() {
        window = open_window(199, 199);
        view = new paint_view(BRect(0, 0, 199, 199), [](BView* v) {
            for (int i = 0; i < 20; i++) {
                v->SetHighColor((uint8)(i * 13), (uint8)(255 - i * 11), (uint8)((i * 37) % 256));
                v->FillRect(BRect(i * 10, 0, i * 10 + 9, 199));
            }
            v->SetHighColor(0, 0, 0);
            v->FillRect(BRect(0, 90, 199, 119));
        });
        locked(window, [&] { window->AddChild(view); });
        screen().wait_idle();
    }
    ~canvas_window() { close(window); }

    void frame(object& o, float scale) {
        locked(window, [&] {
            o.drawframe(view, scale);
            view->Sync();
        });
        screen().wait_idle();
    }
    std::vector<uint32> snapshot() {
        std::vector<uint32> all;
        for (int y = 0; y < 200; y++)
            for (int x = 0; x < 200; x++)
                all.push_back(rgb(window, x, y));
        return all;
    }
};

int differing(const std::vector<uint32>& a, const std::vector<uint32>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i++)
        n += a[i] != b[i];
    return n;
}

// An object of each kind in the middle of its gesture; positions are
// divided by the scale so that the frame lands inside the window.
struct Kind {
    const char* name;
    std::function<object*(float)> make;
};

const Kind kinds[] = {
    {"rect",
     [](float s) {
         object* o = new obj_rect;
         feed(*o, {{obj_press, 30 / s, 40 / s}, {obj_drag, 160 / s, 150 / s}});
         return o;
     }},
    {"rect dragged up left",
     [](float s) {
         object* o = new obj_rect;
         feed(*o, {{obj_press, 170 / s, 160 / s}, {obj_drag, 20 / s, 30 / s}});
         return o;
     }},
    {"ellipse",
     [](float s) {
         object* o = new obj_ellipse;
         feed(*o, {{obj_press, 20 / s, 50 / s}, {obj_drag, 180 / s, 140 / s}});
         return o;
     }},
    {"polygon",
     [](float s) {
         object* o = new obj_polygon;
         feed(*o, {{obj_press, 20 / s, 20 / s},
                   {obj_press, 180 / s, 40 / s},
                   {obj_press, 150 / s, 170 / s},
                   {obj_hover, 40 / s, 120 / s}});
         return o;
     }},
    {"polygon of two",
     [](float s) {
         object* o = new obj_polygon;
         feed(*o, {{obj_press, 20 / s, 20 / s}, {obj_hover, 120 / s, 180 / s}});
         return o;
     }},
    {"rounded polygon",
     [](float s) {
         object* o = new obj_round;
         feed(*o, {{obj_press, 20 / s, 20 / s},
                   {obj_press, 180 / s, 40 / s},
                   {obj_press, 150 / s, 170 / s},
                   {obj_hover, 40 / s, 120 / s}});
         return o;
     }},
    {"free hand",
     [](float) {
         // Unscaled: the live stroke is drawn in view coordinates as it is.
         object* o = new obj_free;
         feed(*o,
              {{obj_press, 20, 30},
               {obj_drag, 90, 60},
               {obj_drag, 60, 170},
               {obj_drag, 60, 170},
               {obj_drag, 180, 100},
               {obj_drag, 30, 40}},
              10);
         return o;
     }},
};

} // namespace

TEST(ObjectFrame, DrawingTheFrameTwiceRestoresEveryPixel) {
    canvas_window w;
    const std::vector<uint32> before = w.snapshot();
    for (const Kind& k : kinds) {
        for (float scale : {0.2f, 1.0f, 4.0f}) {
            std::unique_ptr<object> o(k.make(scale));
            w.frame(*o, scale);
            std::vector<uint32> shown = w.snapshot();
            // A frame is a visible line of pixels, not a speck.
            EXPECT_GT(differing(before, shown), 50) << k.name << " at " << scale;
            if (scale == 1.0f) {
                std::string name = std::string("object_frame_") + k.name;
                std::replace(name.begin(), name.end(), ' ', '_');
                screenshot(w.window, name);
            }
            w.frame(*o, scale);
            EXPECT_EQ(differing(before, w.snapshot()), 0) << k.name << " at " << scale;
        }
    }
}

TEST(ObjectFrame, FramesAreInvertedAndLeaveTheViewInCopyMode) {
    canvas_window w;
    for (const Kind& k : kinds) {
        std::unique_ptr<object> o(k.make(1.0f));
        const std::vector<uint32> before = w.snapshot();
        w.frame(*o, 1.0f);
        std::vector<uint32> shown = w.snapshot();
        for (size_t i = 0; i < shown.size(); i++) {
            if (shown[i] != before[i]) {
                ASSERT_EQ(shown[i], ~before[i] & 0xffffffu) << k.name << " pixel " << i;
            }
        }
        locked(w.window, [&] { EXPECT_EQ(w.view->DrawingMode(), B_OP_COPY) << k.name; });
        w.frame(*o, 1.0f);
    }
}

TEST(ObjectFrame, NothingToDrawBeforeTheFirstEvent) {
    canvas_window w;
    const std::vector<uint32> before = w.snapshot();
    obj_rect r;
    obj_ellipse e;
    obj_polygon p;
    obj_round o;
    obj_free f;
    for (object* x : {(object*)&r, (object*)&e, (object*)&p, (object*)&o, (object*)&f})
        w.frame(*x, 1.0f);
    EXPECT_EQ(differing(before, w.snapshot()), 0);
}
