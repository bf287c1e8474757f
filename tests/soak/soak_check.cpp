// The check window in the soak: opened with Alt+K when it is not up, then
// used as a user does (a click or a double click on a finding, which shows
// its place in the main window, a severity filter ticked, keys in the
// list), now and then closed. Once everything has settled, what it lists
// must be what a whole check of the font in memory finds: every change the
// soak made since was followed.
#include "soak/soak.h"

#include "check/checker.h"
#include "checkwindow/checkwindow.h"
#include "checkwindow/findings_view.h"
#include "font/derived_metrics.h"
#include "font/font_image.h"

#include <CheckBox.h>

namespace {

checkwindow* check_window(app_testing::running_app& run) {
    for (BWindow* w : run.other_windows())
        if (checkwindow* c = dynamic_cast<checkwindow*>(w))
            return c->Thread() < 0 ? nullptr : c;
    return nullptr;
}

std::string listing(const std::vector<finding>& list) {
    std::string s;
    for (const finding& f : list)
        s += std::string(severity_name(f.level)) + " " + tag_text(f.table) + " " +
             std::to_string(f.glyph) + ": " + f.message + "\n";
    return s;
}

// What a whole check of the font in memory finds.
std::string whole_check(app_testing::running_app& run) {
    font_image image;
    check_options options;
    options.as_saved = true;
    run.window()->Lock();
    const bool copied = curfont && curfont->dir && curfont->copy_image(&image) == 0;
    options.metrics_derived_at_save = copied && derived_metrics_stale(*curfont);
    run.window()->Unlock();
    if (!copied)
        return "";
    font_checker checker(options);
    checker.check_file(byte_vector(image.bytes.get(), image.bytes.get() + image.size));
    return listing(checker.findings());
}

void click(checkwindow* w, BPoint where, int32 clicks = 1) {
    app_testing::screen().mouse_down(w, where, B_PRIMARY_MOUSE_BUTTON, 0, clicks);
    app_testing::screen().mouse_up(w, where);
}

} // namespace

std::string soak::check_window_gesture(driver& d) {
    checkwindow* w = check_window(d.run);
    if (!w) {
        d.key("k", 0, B_COMMAND_KEY);
        return d.settle() ? std::string() : "the check window did not settle";
    }
    w->Lock();
    const BRect list = w->list()->Frame();
    const float row = w->list()->row_height();
    const int rows = (int)w->shown().size();
    BView* filter = w->FindView(d.chance(50) ? "Warnings" : d.chance(50) ? "Notes" : "Errors");
    const BRect box = filter ? filter->Frame() : BRect();
    w->Unlock();
    const int what = d.below(10);
    if (what < 4 && rows > 0) {
        const int k = d.below(std::min(rows, (int)(list.Height() / row)));
        click(w, BPoint(list.left + 40 + d.below(300), list.top + (k + 0.5f) * row), 1);
        if (what < 2)
            click(w, BPoint(list.left + 40, list.top + (k + 0.5f) * row), 2);
    } else if (what < 6 && filter) {
        click(w, box.LeftTop() + BPoint(6, 8));
    } else if (what < 9) {
        const char* keys[] = {"\x1e", "\x1f", "\x01", "\x04", "\x0b", "\x0c", "\n"};
        const char* k = keys[d.below(7)];
        app_testing::screen().key_down(w, k);
        app_testing::screen().key_up(w, k);
    } else {
        app_testing::screen().close_window(w);
        return d.settle() ? std::string() : "closing the check window did not settle";
    }
    if (!d.settle())
        return "the check window did not settle";
    w = check_window(d.run);
    if (!w)
        return std::string();
    w->Lock();
    const std::string listed = listing(w->all());
    w->Unlock();
    const std::string whole = whole_check(d.run);
    if (listed != whole)
        return "the check window lists\n" + listed + "but a whole check finds\n" + whole;
    return std::string();
}
