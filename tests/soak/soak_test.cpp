// The random-input soak of the whole application. It runs the real
// program on the headless display and, with a seeded random source, clicks
// and drags anywhere, presses the keys editors listen to (and Alt+Z,
// Shift+Alt+Z: undo and redo of the font's and the glyph canvas's steps;
// Alt+X/C/V/A: cut, copy, paste and select all),
// chooses tables in the selector, uses every control of the shown table
// view (and the gesture a view registered, see soak.h), and goes through
// the File menu: New, Open of real fonts (and of a file that is not one) in
// the open panel, About, Save as in the save panel; it types into and uses
// the text preview, and the check window (soak_check.cpp). The glyph
// overview is opened with Alt+G and clicked, scrolled, keyed (Alt+C and
// Alt+V among the keys), searched, resized and closed between the edits;
// after each of its gestures it must show the font as it is. A collection of three faces is among the fonts:
// the question which face to open gets random clicks and keys, and "Save
// as" of a face a random answer (the whole collection, the face alone or
// Cancel). Every few thousand events it saves, checks the file with OTS
// and fontTools (every face of a collection), opens it again and saves it
// once more: the two files must hold the same bytes but for head's dates
// and checksum (a collection, whose face is then as opened, byte for byte).
//
// Environment (all optional):
//   TAVREL_SOAK_EVENTS       events to inject (default 20000)
//   TAVREL_SOAK_SEED         seed of the random source (default 20261208)
//   TAVREL_SOAK_CHECK_EVERY  events between two checks (default 5000)
//   TAVREL_SOAK_FONTTOOLS    0 checks with OTS alone (faster long runs)
// A failure names the seed and the event count; the same seed replays
// the same input.
#include "soak.h"

#include "app/face_chooser.h"
#include "app/globals.h"
#include "checkwindow/checkwindow.h"
#include "overview/overview_grid.h"
#include "overview/overview_window.h"

#include <Alert.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Slider.h>
#include <TextControl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>
#include <unistd.h>

using namespace app_testing;
using namespace testing_support;

namespace {

long env_number(const char* name, long fallback) {
    const char* text = getenv(name);
    if (!text || !*text)
        return fallback;
    return strtol(text, nullptr, 10);
}

// Rows of the File menu's items, in window coordinates.
const float NEW_ROW = 34, OPEN_ROW = 55, RECENT_ROW = 76, SAVE_ROW = 117, ABOUT_ROW = 138;

// Two saves of the same font are equal but for head's checksum adjustment,
// its modified date and its checksum in the directory.
bool same_but_head_stamps(std::vector<unsigned char> a, std::vector<unsigned char> b) {
    if (a.size() != b.size() || a.size() < 12)
        return false;
    int n = a[4] << 8 | a[5];
    for (int i = 0; i < n && 12 + 16 * i + 16 <= (int)a.size(); i++) {
        const unsigned char* e = &a[12 + 16 * i];
        if (memcmp(e, "head", 4) != 0)
            continue;
        size_t head = (size_t)e[8] << 24 | (size_t)e[9] << 16 | (size_t)e[10] << 8 | e[11];
        // head's own checksum in the directory follows its bytes.
        for (int k = 4; k < 8; k++)
            a[12 + 16 * i + k] = b[12 + 16 * i + k] = 0;
        for (size_t k : {8, 9, 10, 11, 28, 29, 30, 31, 32, 33, 34, 35})
            if (head + k < a.size())
                a[head + k] = b[head + k] = 0;
    }
    return a == b;
}

class soak_run {
  public:
    soak_run(running_app& run, uint32_t seed, const std::string& home)
        : d(run, seed), run(run), home(home) {}

    // One random action; false when the program hung.
    bool step() {
        if (d.chance(3))
            return act("check window", [&] {
                const std::string wrong = soak::check_window_gesture(d);
                if (!wrong.empty())
                    finding(wrong);
            });
        int roll = d.below(100);
        if (roll < 22)
            return act("view", [&] { view_action(); });
        if (roll < 36)
            return act("pointer", [&] {
                if (d.chance(55))
                    d.click(d.anywhere(),
                            d.chance(85) ? B_PRIMARY_MOUSE_BUTTON : B_SECONDARY_MOUSE_BUTTON);
                else
                    d.drag(d.anywhere(), d.anywhere(), 1 + d.below(12));
            });
        if (roll < 56)
            return act("key", [&] {
                for (int i = 1 + d.below(4); i > 0; i--)
                    d.random_key();
            });
        if (roll < 64)
            return act("text", [&] { d.type(d.random_text()); });
        if (roll < 86)
            return act("selector", [&] { select_table(); });
        if (roll < 90)
            return act("overview", [&] { overview_action(); });
        if (roll < 92)
            return act("new", [&] {
                menu(NEW_ROW);
                current = "a new font";
            });
        if (roll < 94)
            return act("open", [&] { open_file(""); });
        if (roll < 95)
            return act("open recent", [&] { open_recent(); });
        if (roll < 96)
            return act("about", [&] { about(); });
        if (roll < 98)
            return act("preview", [&] { soak::preview_gesture(d); });
        return act("save as",
                   [&] { save_as("soak-" + std::to_string(saves++ % 3), (answer)d.below(3)); });
    }

    // Saves, checks, reopens and saves again. Records what went wrong.
    void checkpoint(int k) {
        if (!run.app->fontshown()) {
            wanted_face = 0; // when it is the collection
            open_file(fonts[d.below((int)fonts.size())]);
            wanted_face = -1;
        }
        if (!run.app->fontshown()) {
            finding("checkpoint " + std::to_string(k) + ": no font could be shown");
            return;
        }
        // A face of a collection is saved with the whole collection or alone.
        const long face = shown_face();
        const answer how = face < 0 || d.chance(50) ? FACE_ALONE : WHOLE;
        const std::string stem = "check-" + std::to_string(k);
        const std::string ext = how == WHOLE ? ".ttc" : ".ttf";
        const std::string first = stem + ext, second = stem + "-again" + ext;
        save_as(stem, how);
        if (!file_exists(home + "/" + first)) {
            finding("checkpoint " + std::to_string(k) + ": Save as wrote no file");
            return;
        }
        const int faces = how == WHOLE ? face_count(home + "/" + first) : 1;
        if (faces < 1)
            finding(first + " is not a collection fontTools can read");
        for (int f = 0; f < faces; f++)
            check_face(first, how == WHOLE ? f : -1);
        wanted_face = how == WHOLE ? (int)face : -1;
        open_file(first);
        wanted_face = -1;
        if (!run.app->fontshown() || shown_face() != (how == WHOLE ? face : -1))
            finding(first + " did not open again");
        save_as(stem + "-again", how);
        const std::vector<unsigned char> a = read_file(home + "/" + first),
                                         b = read_file(home + "/" + second);
        if (how == WHOLE ? a != b : !same_but_head_stamps(a, b)) {
            // Kept for a look in the working folder.
            std::string kept = "soak-kept-" + std::to_string(k);
            write_file(kept + "-a" + ext, a);
            write_file(kept + "-b" + ext, b);
            finding(first + " opened and saved again is not the same font (" + kept + "-*" + ext +
                    ")");
        }
        checks++;
        unlink((home + "/" + first).c_str());
        unlink((home + "/" + second).c_str());
    }

    // OTS and fontTools read `name` (face `face` of it when a collection).
    void check_face(const std::string& name, int face) {
        const std::string path = home + "/" + name;
        const std::string label = face < 0 ? name : name + " face " + std::to_string(face);
        const std::string number = face < 0 ? "" : " " + std::to_string(face);
        std::string output;
        if (run_command("ots-sanitize " + path + (face < 0 ? "" : " /dev/null" + number) + " 2>&1",
                        &output) != 0) {
            // A font whose glyphs are all empty has an empty glyf, which the
            // format allows and OTS refuses; fontTools still reads it below.
            if (output.find("glyf: zero-length table") != std::string::npos)
                empty_glyf++;
            else
                finding(label + " fails OTS: " + output);
        }
        if (env_number("TAVREL_SOAK_FONTTOOLS", 1) &&
            run_command(python() + " " + source_dir() + "/tests/tools/check_font.py " + path +
                            number,
                        &output) != 0)
            finding(label + " fails fontTools: " + output);
    }

    // The faces fontTools finds in the collection at `path`, 0 when it
    // reads none.
    int face_count(const std::string& path) {
        std::string output;
        if (run_command(python() +
                            " -c 'import sys; from fontTools.ttLib.ttCollection import "
                            "TTCollection; print(len(TTCollection(sys.argv[1]).fonts))' " +
                            path,
                        &output) != 0)
            return 0;
        return atoi(output.c_str());
    }

    // The face of a collection the main window shows, -1 for a single font.
    long shown_face() {
        run.window()->Lock();
        long face = run.app->fontshown() ? run.window()->face : -1;
        run.window()->Unlock();
        return face;
    }

    void finding(const std::string& what) {
        std::ostringstream s;
        s << "after " << d.events() << " events, with " << current << " open: " << what
          << "\n  recent actions:";
        for (const std::string& a : recent)
            s << " " << a;
        findings.push_back(s.str());
        fprintf(stderr, "soak finding %s\n", s.str().c_str());
    }

    std::string summary() const {
        std::ostringstream s;
        s << d.events() << " events, " << checks << " checks, " << findings.size()
          << " findings; actions:";
        for (const auto& a : counts)
            s << " " << a.first << "=" << a.second;
        s << "; saved without outlines (OTS refuses an empty glyf): " << empty_glyf;
        s << "; face questions: " << faces_chosen
          << "; faces saved whole/alone/cancelled: " << saves_of_faces[WHOLE] << "/"
          << saves_of_faces[FACE_ALONE] << "/" << saves_of_faces[CANCEL];
        s << "; alerts seen: " << alerts << "; view gestures: " << soak::registered_views();
        return s.str();
    }

    soak::driver d;
    std::vector<std::string> fonts;
    std::vector<std::string> findings;
    bool hung = false;

  private:
    enum answer { WHOLE, FACE_ALONE, CANCEL };

    template <typename F> bool act(const char* name, F body) {
        recent.push_back(name);
        if (recent.size() > 12)
            recent.pop_front();
        counts[name]++;
        body();
        if (!tend())
            return false;
        return true;
    }

    // Waits for the program to be idle, dismissing alerts that keep a thread
    // waiting; false after a minute without progress.
    bool tend() {
        for (int i = 0; i < 300; i++) {
            if (screen().wait_idle(200000)) {
                dismiss_others();
                if (screen().wait_idle(200000))
                    return true;
            } else {
                dismiss_others();
            }
        }
        hung = true;
        finding("the program stopped answering");
        return false;
    }

    // Alerts are answered with Enter; a panel left open is closed. The
    // overview and the check window stay: each has a gesture of its own.
    void dismiss_others() {
        for (BWindow* w : run.other_windows()) {
            if (dynamic_cast<overview_window*>(w) || dynamic_cast<checkwindow*>(w))
                continue;
            if (strcmp(w->Title(), FACE_CHOOSER_TITLE) == 0) {
                answer_chooser(w);
                continue;
            }
            if (BAlert* alert = dynamic_cast<BAlert*>(w)) {
                std::string text = alert->Text();
                alerts++;
                bool failure = text.rfind("Could not", 0) == 0;
                if (failure && !(expect_failure && text.find("not-a-font") != std::string::npos))
                    finding("alert: " + text);
                // The question about unsaved changes lets them go, so that
                // New and Open go on as asked.
                if (text.rfind("Save the changes", 0) == 0)
                    screen().key_down(alert, "d");
                else
                    screen().key_down(alert, "\n", B_ENTER);
                for (int i = 0; i < 500 && window_up(alert); i++)
                    snooze(2000);
            } else {
                screen().close_window(w);
                for (int i = 0; i < 500 && window_up(w); i++)
                    snooze(2000);
            }
        }
    }

    // The question which face to open: the face `wanted_face` chosen with
    // the arrow keys and Enter, or else a few random clicks and keys (on
    // the list, "Open", "Cancel", the close box), then Enter or Escape if
    // it is still up.
    void answer_chooser(BWindow* w) {
        faces_chosen++;
        BRect list, open, cancel;
        w->Lock();
        auto frame = [&](const char* name) {
            BRect f(0, 0, -1, -1);
            if (BView* v = w->FindView(name)) {
                f = v->ConvertToScreen(v->Bounds());
                f.OffsetBy(-w->Frame().left, -w->Frame().top);
            }
            return f;
        };
        list = frame("faces");
        open = frame("open");
        cancel = frame("cancel");
        w->Unlock();
        auto in = [&](BRect r) {
            return BPoint(d.between(r.left, r.right), d.between(r.top, r.bottom));
        };
        d.target = w;
        if (wanted_face >= 0) {
            for (int i = 0; i < wanted_face; i++)
                d.key("\x1f", B_DOWN_ARROW);
            d.key("\n", B_ENTER);
        } else {
            for (int i = d.below(6); i > 0 && window_up(w); i--) {
                switch (d.below(7)) {
                case 0:
                case 1:
                    // A row, now and then with a double click (which opens).
                    d.click(in(list), B_PRIMARY_MOUSE_BUTTON, 0, d.chance(25) ? 2 : 1);
                    break;
                case 2:
                    d.key(d.chance(50) ? "\x1f" : "\x1e", d.chance(50) ? B_DOWN_ARROW : B_UP_ARROW);
                    break;
                case 3:
                    d.random_key();
                    break;
                case 4:
                    d.click(in(d.chance(60) ? open : cancel));
                    break;
                case 5:
                    d.click(BPoint(d.between(0, list.right), d.between(0, list.top)));
                    break;
                default:
                    if (d.chance(30))
                        screen().close_window(w);
                }
                screen().wait_idle(200000);
            }
            if (window_up(w))
                d.chance(80) ? d.key("\n", B_ENTER) : d.key("\x1b", B_ESCAPE);
        }
        d.target = nullptr;
        for (int i = 0; i < 500 && window_up(w); i++)
            snooze(2000);
    }

    bool window_up(BWindow* w) {
        for (BWindow* other : run.other_windows())
            if (other == w)
                return true;
        return false;
    }

    void view_action() {
        std::vector<ttf_table*> shown = run.shown_tables();
        BView* view = nullptr;
        uint32 tag = 0;
        if (!shown.empty()) {
            view = shown[0];
            tag = shown[0]->tag;
        } else {
            view = run.workview(); // the set-up view after New, or nothing
        }
        soak::gesture own = tag ? soak::view_gesture(tag) : nullptr;
        if (own && d.chance(50))
            own(d, view);
        else
            soak::control_gesture(d, view);
    }

    overview_window* overview() {
        for (BWindow* w : run.other_windows())
            if (overview_window* o = dynamic_cast<overview_window*>(w))
                return o;
        return nullptr;
    }

    // One gesture in the overview, opened first with Alt+G when it is not.
    void overview_action() {
        overview_window* w = overview();
        if (!w) {
            d.key("g", 0, B_COMMAND_KEY);
            tend();
            if (!overview())
                finding("Alt+G opened no overview");
            return;
        }
        BRect bounds, grid, bar, find, size;
        w->Lock();
        bounds = w->Bounds();
        grid = w->grid()->Frame();
        bar = w->FindView("scroll")->Frame();
        find = w->findfield()->ConvertToScreen(w->findfield()->Bounds());
        find.OffsetBy(-w->Frame().left, -w->Frame().top);
        size = w->sizeslider()->ConvertToScreen(w->sizeslider()->Bounds());
        size.OffsetBy(-w->Frame().left, -w->Frame().top);
        w->Unlock();
        auto in = [&](BRect r) {
            return BPoint(d.between(r.left, r.right), d.between(r.top, r.bottom));
        };
        d.target = w;
        switch (d.below(8)) {
        case 0: {
            static const uint32 mods[] = {0, 0, B_SHIFT_KEY, B_CONTROL_KEY};
            d.click(in(grid), B_PRIMARY_MOUSE_BUTTON, mods[d.below(4)], d.chance(20) ? 2 : 1);
            break;
        }
        case 1:
            d.move(in(grid));
            screen().mouse_wheel(w, 0, d.between(-30, 30));
            break;
        case 2:
            d.drag(in(bar), in(bar), 1 + d.below(10));
            break;
        case 3:
            for (int i = 1 + d.below(5); i > 0; i--) {
                if (d.chance(70))
                    d.random_key();
                else
                    d.key(d.chance(50) ? "+" : "-");
            }
            if (d.chance(20))
                d.key("a", 0, B_CONTROL_KEY);
            // Alt+C and Alt+V: the selected glyphs copied, or whatever
            // was copied last (glyphs, a bitmap, an outline) pasted onto
            // them.
            if (d.chance(25))
                d.key(d.chance(40) ? "c" : "v", 0, B_COMMAND_KEY);
            if (d.chance(10))
                d.key("\n");
            break;
        case 4: {
            // A search: a character, a code, a glyph number, a name, noise.
            static const char* const texts[] = {"A",      "\xE2\x82\xAC", "U+0041",  "U+10FFFF",
                                                "u+4e00", "#0",           "#ffff",   "#1a",
                                                "space",  "uni0041",      ".notdef", "zzz"};
            d.click(in(find), B_PRIMARY_MOUSE_BUTTON, 0, 2);
            d.key("\b");
            std::string text = d.chance(70) ? texts[d.below(12)] : d.random_text();
            if ((unsigned char)text[0] >= 0x80)
                d.key(text.c_str()); // one key, one character
            else
                d.type(text);
            if (d.chance(50))
                d.key("\n");
            break;
        }
        case 5:
            d.drag(in(size), in(size), 1 + d.below(4));
            break;
        case 6:
            if (w->Lock()) {
                w->ResizeTo(d.between(300, 1400), d.between(150, 1000));
                w->Unlock();
            }
            break;
        default:
            if (d.chance(40))
                screen().close_window(w);
            else
                d.click(in(bounds));
        }
        d.target = nullptr;
        if (tend())
            check_overview();
    }

    // The overview shows the font as it is: its glyph count, extent and
    // strikes, and a cell cache within its budget.
    void check_overview() {
        overview_window* w = overview();
        if (!w)
            return;
        font_facts font;
        run.window()->Lock();
        font.take(run.window()->initv ? nullptr : curfont);
        run.window()->Unlock();
        font_facts shown;
        size_t bytes = 0, budget = 0;
        w->Lock();
        shown = w->grid()->model().facts();
        bytes = w->grid()->cache().bytes();
        budget = w->grid()->cache().budget();
        w->Unlock();
        if (shown != font)
            finding("the overview shows " + std::to_string(shown.glyphs) +
                    " glyphs, the font has " + std::to_string(font.glyphs));
        if (bytes > budget)
            finding("the overview's cell cache holds " + std::to_string(bytes) + " bytes");
    }

    void select_table() {
        int count = 0;
        run.window()->Lock();
        count = run.selector()->count;
        run.window()->Unlock();
        int k = d.below(count + 1); // one place past the last tag
        d.click(BPoint(10 + 30 * k + d.between(1, 25), SELECTOR_TOP + d.between(5, 30)));
    }

    void menu(float row) {
        // A click outside an open menu only closes it: one on the empty
        // part of the menu bar first closes a menu left open (a menu
        // field's among them), so that the next click opens File.
        d.click(BPoint(300, 10));
        tend();
        d.click(BPoint(15, 10));
        tend();
        d.click(BPoint(40, row));
    }

    // Waits for a window other than the main one titled `title`.
    BWindow* wait_for(const char* title) {
        for (int i = 0; i < 1000; i++) {
            for (BWindow* w : run.other_windows())
                if (strcmp(w->Title(), title) == 0)
                    return w;
            snooze(5000);
        }
        finding(std::string("no \"") + title + "\" window came up");
        return nullptr;
    }

    // The centre of the row of the panel's list whose text is `name`, or of
    // a random row when `name` is empty; (-1, -1) when there is none.
    BPoint row_of(BWindow* panel, const std::string& name, std::string* chosen) {
        BPoint p(-1, -1);
        panel->Lock();
        BListView* list = dynamic_cast<BListView*>(panel->FindView("entries"));
        if (list && list->CountItems() > 0) {
            int32 index = -1;
            for (int32 i = 0; i < list->CountItems(); i++) {
                BStringItem* item = dynamic_cast<BStringItem*>(list->ItemAt(i));
                if (item && (name.empty() ? false : name == item->Text()))
                    index = i;
            }
            if (name.empty())
                index = d.below(list->CountItems());
            if (index >= 0) {
                BStringItem* item = dynamic_cast<BStringItem*>(list->ItemAt(index));
                if (chosen && item)
                    *chosen = item->Text();
                BRect f = list->ConvertToScreen(list->ItemFrame(index));
                f.OffsetBy(-panel->Frame().left, -panel->Frame().top);
                p = BPoint(f.left + 30, (f.top + f.bottom) / 2);
            }
        }
        panel->Unlock();
        return p;
    }

    void open_file(const std::string& name) {
        menu(OPEN_ROW);
        BWindow* panel = wait_for("Open font");
        if (!panel)
            return;
        screen().wait_idle(5000000);
        std::string chosen;
        BPoint row = row_of(panel, name, &chosen);
        if (row.x < 0) {
            screen().close_window(panel);
            return;
        }
        expect_failure = chosen.find("not-a-font") != std::string::npos;
        if (!expect_failure)
            current = chosen;
        screen().mouse_down(panel, row);
        screen().mouse_up(panel, row);
        screen().wait_idle(5000000);
        screen().key_down(panel, "\n", B_ENTER);
        screen().key_up(panel, "\n", B_ENTER);
        tend();
        expect_failure = false;
    }

    // File > "Open recent" and one of its rows, greyed or not.
    void open_recent() {
        menu(RECENT_ROW);
        tend();
        BPoint row(-1, -1);
        std::string path;
        run.window()->Lock();
        BMenu* recent = run.window()->recentmenu;
        if (recent->Parent() && recent->CountItems() > 0) {
            BMenuItem* item = recent->ItemAt(d.below(recent->CountItems()));
            BRect f = item->Frame();
            row = recent->kit_window_offset() + BPoint(20, (f.top + f.bottom) / 2);
            entry_ref ref;
            if (item->IsEnabled() && item->Message()->FindRef("refs", &ref) == B_OK)
                path = ref.Path();
        }
        run.window()->Unlock();
        if (row.x < 0) {
            // No list: the menus are closed by the next gesture.
            return;
        }
        if (!path.empty())
            current = path;
        d.click(row);
        tend();
    }

    // Save as `stem` (.ttf, or .ttc for a whole collection); a face of a
    // collection gets `how` as the answer to the question that follows.
    void save_as(const std::string& stem, answer how = FACE_ALONE) {
        const bool collection = shown_face() >= 0;
        const std::string name = stem + (collection && how == WHOLE ? ".ttc" : ".ttf");
        menu(SAVE_ROW);
        BWindow* panel = wait_for("Save font as");
        if (!panel)
            return;
        screen().wait_idle(5000000);
        BPoint field(-1, -1);
        int32 length = 0;
        panel->Lock();
        if (BTextControl* text = dynamic_cast<BTextControl*>(panel->FindView("name"))) {
            BRect f = text->ConvertToScreen(text->Bounds());
            f.OffsetBy(-panel->Frame().left, -panel->Frame().top);
            field = BPoint(f.right - 4, (f.top + f.bottom) / 2);
            length = (int32)strlen(text->Text());
        }
        panel->Unlock();
        if (field.x < 0) {
            finding("the save panel has no name field");
            screen().close_window(panel);
            return;
        }
        screen().mouse_down(panel, field);
        screen().mouse_up(panel, field);
        for (int32 i = 0; i < length + 2; i++)
            screen().key_down(panel, "\b", B_BACKSPACE);
        for (char c : name) {
            char bytes[2] = {c, 0};
            screen().key_down(panel, bytes);
        }
        screen().key_down(panel, "\n", B_ENTER);
        screen().key_up(panel, "\n", B_ENTER);
        if (collection) {
            // A name saved before is first confirmed for replacing.
            BAlert* ask = nullptr;
            for (int i = 0; i < 1000 && !ask; i++) {
                if (BAlert* replace = alert_with("already exists"))
                    answer_alert(replace, "r");
                ask = alert_with("Save the whole collection");
                if (!ask)
                    snooze(10000);
            }
            if (!ask) {
                finding("Save as of a face asked nothing");
            } else {
                saves_of_faces[how]++;
                static const char* const keys[] = {"\n", "f", "\x1b"};
                static const int32 codes[] = {B_ENTER, 0, B_ESCAPE};
                answer_alert(ask, keys[how], codes[how]);
            }
        }
        tend();
    }

    // Answers `alert` with a key and waits until it has gone (the program
    // may then wait in another question: not for idle).
    void answer_alert(BWindow* alert, const char* key, int32 code = 0) {
        screen().key_down(alert, key, code);
        for (int i = 0; i < 2500 && window_up(alert); i++)
            snooze(2000);
    }

    // An alert whose text holds `words` (read under its lock), or null.
    BAlert* alert_with(const char* words) {
        for (BWindow* w : run.other_windows()) {
            BAlert* alert = dynamic_cast<BAlert*>(w);
            if (!alert || alert->Thread() < 0 || !alert->Lock())
                continue;
            const bool match = strstr(alert->Text(), words) != nullptr;
            alert->Unlock();
            if (match)
                return alert;
        }
        return nullptr;
    }

    void about() {
        menu(ABOUT_ROW);
        BWindow* box = wait_for("tavrel");
        (void)box; // answered by tend() like every alert
    }

    running_app& run;
    std::string home;
    std::deque<std::string> recent;
    std::map<std::string, long> counts;
    long alerts = 0;
    int checks = 0;
    int empty_glyf = 0;
    int saves = 0;
    int faces_chosen = 0;
    int saves_of_faces[3] = {};
    // The face a checkpoint opens again; -1: the question is answered at random.
    int wanted_face = -1;
    bool expect_failure = false;

  public:
    std::string current = "liberation.ttf";
};

// Real fonts and one file that is not a font, in a folder of their own that
// the panels show.
std::vector<std::string> make_home(const std::string& home) {
    std::vector<std::string> fonts;
    auto copy = [&](const std::string& from, const char* name) {
        std::vector<unsigned char> bytes = read_file(from);
        if (!bytes.empty() && write_file(home + "/" + name, bytes))
            fonts.push_back(name);
    };
    copy(DEJAVU, "dejavu.ttf");
    copy(LIBERATION, "liberation.ttf");
    std::string small = small_font(home, "small.ttf");
    if (!small.empty())
        fonts.push_back("small.ttf");
    std::string made = temp_dir();
    if (run_command(python() + " " + source_dir() + "/tests/tools/build_bitmap_font.py " + made) ==
            0 &&
        write_file(home + "/bitmap.ttf", read_file(made + "/bitmaps.ttf")))
        fonts.push_back("bitmap.ttf");
    // A variable font (glyph stores keep gvar consistent) and one with CFF
    // outlines.
    for (const char* kind : {"variable", "cff"}) {
        std::string built = build_test_font(kind);
        if (!built.empty())
            copy(built, (std::string(kind) + ".ttf").c_str());
    }
    std::string three = build_three_faces();
    if (!three.empty())
        copy(three, "three.ttc");
    write_file(home + "/not-a-font.ttf", {'h', 'e', 'l', 'l', 'o', '\n'});
    return fonts;
}

} // namespace

TEST(Soak, RandomInputKeepsTheProgramUpAndItsFontsValid) {
    const long events = env_number("TAVREL_SOAK_EVENTS", 20000);
    const uint32_t seed = (uint32_t)env_number("TAVREL_SOAK_SEED", 20261208);
    const long every = std::max(1L, env_number("TAVREL_SOAK_CHECK_EVERY", 5000));
    std::string home = temp_dir();
    std::vector<std::string> fonts = make_home(home);
    ASSERT_GE(fonts.size(), 3u);

    const char* old_home = getenv("HOME");
    std::string saved_home = old_home ? old_home : "";
    setenv("HOME", home.c_str(), 1);
    {
        // It starts on a face of the collection (when one could be built):
        // its "Save as" asks a question single fonts do not.
        const bool three = std::find(fonts.begin(), fonts.end(), "three.ttc") != fonts.end();
        running_app run({home + (three ? "/three.ttc#1" : "/liberation.ttf")});
        soak_run soak(run, seed, home);
        if (three)
            soak.current = "three.ttc #1";
        soak.fonts = fonts;
        bigtime_t start = system_time();
        long next_check = every;
        int k = 0;
        while (soak.d.events() < events) {
            if (!soak.step())
                break;
            if (soak.d.events() >= next_check) {
                soak.checkpoint(k++);
                next_check = soak.d.events() + every;
            }
            if (soak.findings.size() >= 20)
                break;
        }
        if (!soak.hung)
            soak.checkpoint(k++);
        double seconds = (system_time() - start) / 1e6;
        printf("soak: seed %u, %s; %.0f s\n", seed, soak.summary().c_str(), seconds);
        RecordProperty("events", (int)soak.d.events());
        for (const std::string& f : soak.findings)
            ADD_FAILURE() << "seed " << seed << ": " << f;
        EXPECT_FALSE(soak.hung);
        if (soak.hung)
            std::_Exit(1); // a thread is stuck; tearing the program down would wait for it
    }
    setenv("HOME", saved_home.c_str(), 1);
}
