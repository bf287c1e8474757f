// The generic gesture: finds the controls of a shown view and uses one of
// them as a user would, so every control of every table view is exercised
// without a line of per-view code.
#include "soak.h"

#include "font/maxp.h"
#include "font/ttf.h"

#include <Button.h>
#include <CheckBox.h>
#include <Control.h>
#include <InterfaceDefs.h>
#include <ListView.h>
#include <MenuField.h>
#include <ScrollBar.h>
#include <Slider.h>
#include <TextControl.h>
#include <Window.h>

#include <cstdio>
#include <vector>

namespace soak {

namespace {

struct found_view {
    BView* view;
    float divider; // where a text field's or menu field's box starts, else 0
};

// Every shown descendant of `view` (itself included) that takes input:
// controls, lists, scroll bars, and the leaf views (canvases and the like).
void collect(BView* view, std::vector<found_view>* found) {
    if (view->IsHidden())
        return;
    if (BTextControl* text = dynamic_cast<BTextControl*>(view)) {
        found->push_back({view, text->Divider()});
        return;
    }
    if (BMenuField* menu = dynamic_cast<BMenuField*>(view)) {
        found->push_back({view, menu->Divider()});
        return;
    }
    if (dynamic_cast<BControl*>(view) || dynamic_cast<BListView*>(view) ||
        dynamic_cast<BScrollBar*>(view) || view->CountChildren() == 0) {
        found->push_back({view, 0});
        return;
    }
    found->push_back({view, 0});
    for (int32 i = 0; i < view->CountChildren(); i++)
        collect(view->ChildAt(i), found);
}

enum class kind { text, menu, slider, list, other };

kind kind_of(BView* view) {
    if (dynamic_cast<BTextControl*>(view))
        return kind::text;
    if (dynamic_cast<BMenuField*>(view))
        return kind::menu;
    if (dynamic_cast<BSlider*>(view) || dynamic_cast<BScrollBar*>(view))
        return kind::slider;
    if (dynamic_cast<BListView*>(view))
        return kind::list;
    return kind::other;
}

} // namespace

void control_gesture(driver& d, BView* view) {
    std::vector<found_view> found;
    kind k = kind::other;
    found_view chosen{nullptr, 0};
    if (!d.run.window()->Lock())
        return;
    if (view->Window() == d.run.window())
        collect(view, &found);
    if (!found.empty()) {
        chosen = found[d.below((int)found.size())];
        k = kind_of(chosen.view);
    }
    d.run.window()->Unlock();
    if (!chosen.view)
        return;

    BRect r = d.visible_frame(chosen.view);
    if (!r.IsValid())
        return;
    BPoint inside = d.point_in(chosen.view);
    switch (k) {
    case kind::text: {
        // Into the box, then typing committed by Enter, Tab or a click away.
        BPoint box(std::min(r.right, r.left + chosen.divider + d.between(4, 40)),
                   (r.top + r.bottom) / 2);
        d.click(box);
        if (d.chance(30)) {
            for (int i = d.below(10); i > 0; i--)
                d.key("\b", 0);
        }
        d.type(d.random_text());
        int end = d.below(10);
        if (end < 7)
            d.key("\n");
        else if (end < 9)
            d.key("\t");
        else
            d.click(d.anywhere());
        return;
    }
    case kind::menu: {
        BPoint box(std::min(r.right, r.left + chosen.divider + d.between(4, 30)),
                   (r.top + r.bottom) / 2);
        d.click(box);
        d.settle();
        // An item below the field, an arrow and Enter, or Escape.
        int how = d.below(3);
        if (how == 0)
            d.click(BPoint(box.x + d.between(0, 60), r.bottom + d.between(2, 120)));
        else if (how == 1) {
            for (int i = d.below(5); i >= 0; i--)
                d.key(d.chance(70) ? "\x1f" : "\x1e");
            d.key("\n");
        } else
            d.key("\x1b");
        return;
    }
    case kind::slider:
        if (d.chance(50))
            d.drag(inside, d.point_in(chosen.view), 1 + d.below(6));
        else
            d.click(inside);
        return;
    case kind::list:
        d.click(inside, B_PRIMARY_MOUSE_BUTTON, 0, d.chance(20) ? 2 : 1);
        if (d.chance(30))
            d.random_key();
        return;
    case kind::other:
        if (d.chance(60))
            d.click(inside, d.chance(85) ? B_PRIMARY_MOUSE_BUTTON : B_SECONDARY_MOUSE_BUTTON);
        else
            d.drag(inside, d.point_in(chosen.view), 1 + d.below(10));
        return;
    }
}

namespace {

// The frame of the child of `view` named `name`, empty when it is not shown.
BRect named_frame(driver& d, BView* view, const char* name, float* divider) {
    BView* child = nullptr;
    *divider = 0;
    if (d.run.window()->Lock()) {
        if (view->Window() == d.run.window()) {
            child = view->FindView(name);
            if (BTextControl* text = dynamic_cast<BTextControl*>(child))
                *divider = text->Divider();
        }
        d.run.window()->Unlock();
    }
    return child ? d.visible_frame(child) : BRect(0, 0, -1, -1);
}

} // namespace

void fill_and_press(driver& d, BView* view, const std::vector<typed_field>& fields,
                    const char* press) {
    for (const typed_field& field : fields) {
        float divider;
        BRect r = named_frame(d, view, field.name, &divider);
        if (!r.IsValid())
            continue;
        BPoint box(std::min(r.right - 2, r.left + divider + 6), (r.top + r.bottom) / 2);
        d.click(box, B_PRIMARY_MOUSE_BUTTON, 0, 2);
        d.type(field.text);
        d.key("\n");
    }
    if (press)
        click_named(d, view, press);
}

void click_named(driver& d, BView* view, const char* name) {
    float divider;
    BRect r = named_frame(d, view, name, &divider);
    if (r.IsValid())
        d.click(BPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

uint32 some_glyph(driver& d) {
    uint32 count = 0;
    if (d.run.window()->Lock()) {
        if (curfont && curfont->maxp)
            count = curfont->maxp->numglyphs();
        d.run.window()->Unlock();
    }
    switch (d.below(10)) {
    case 0:
        return count;
    case 1:
        return 0xffff;
    case 2:
        return count ? count - 1 : 0;
    default:
        return count ? (uint32)d.below((int)count) : 0;
    }
}

std::string hex(uint32 value) {
    char text[16];
    snprintf(text, sizeof text, "%x", (unsigned)value);
    return text;
}

} // namespace soak
