// The cmap table's editor: the font's subtables (platform, encoding,
// format, characters), the map they hold as a list of runs, and a start
// code, an end code and a glyph number typed in hexadecimal; "set" maps
// the codes to a run of glyphs (or unmaps them for glyph ffff). Choosing
// a run fills the three fields with it; committing the start code shows
// the glyph it maps to now.
#include "font/cmap.h"

#include "font/cmap_run_list.h"
#include "font/maxp.h"
#include "font/table_editor.h"
#include "font/ttf.h"
#include "font/view_layout.h"

#include <Button.h>
#include <Message.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <cstdio>

namespace {

const uint32 RUN_CHOSEN = 'Rsel';
// Subtable lines above the list; a table with more names the rest in a
// count.
const size_t HEADER_LINES = 6;
const float SCROLLBAR = 14;

std::string hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "%04x", (unsigned)v);
    return text;
}

std::string subtable_line(const ttf_cmap::subtable& s) {
    std::string text = "(" + std::to_string(s.platform) + ", " + std::to_string(s.encoding) +
                       ") format " + std::to_string(s.format) + ": ";
    if (s.format == 14)
        text += "variation sequences";
    else if (s.count < 0)
        text += "not read";
    else
        text += std::to_string(s.count) + (s.count == 1 ? " character" : " characters");
    if (s.shown)
        text += ", listed below";
    return text;
}

} // namespace

void ttf_cmap::AttachedToWindow() {
    set_editor_look(this);
    if (!listed)
        make_listing();
    if (!setbtn) {
        BRect frame(20, 20 + 15 * HEADER_LINES - 6, 505 - SCROLLBAR, 404);
        runlist = new cmap_run_list(frame, &runs, this, RUN_CHOSEN);
        AddChild(runlist);
        runbar =
            new BScrollBar(BRect(frame.right + 1, frame.top, frame.right + SCROLLBAR, frame.bottom),
                           "runbar", runlist, 0, 0, B_VERTICAL);
        AddChild(runbar);
        runlist->set_scroll_bar(runbar);
        setbtn = add_editor_button(this, BRect(500, 448, 540, 470), "set", "set");
        stctl = add_editor_text(this, BRect(20, 450, 120, 470), "st", "start_chr.");
        edctl = add_editor_text(this, BRect(140, 450, 240, 470), "ed", "end_chr.");
        gnoctl = add_editor_text(this, BRect(260, 450, 360, 470), "gno", "glyph_no.");
        layout_children(this, {{runlist, layout_place::fill},
                               {runbar, layout_place::right_column},
                               {stctl, layout_place::bottom},
                               {edctl, layout_place::bottom},
                               {gnoctl, layout_place::bottom},
                               {setbtn, layout_place::bottom_right}});
    }
    MakeFocus(true);
}

void ttf_cmap::Draw(BRect update) {
    SetLowColor(0, 0, 0);
    SetViewColor(0, 0, 0);
    FillRect(update, B_SOLID_LOW);
    redraw();
}

void ttf_cmap::redraw() {
    PushState();
    SetHighColor(255, 255, 255);
    size_t shown = subtables.size() <= HEADER_LINES ? subtables.size() : HEADER_LINES - 1;
    for (size_t k = 0; k < shown; k++)
        DrawString(subtable_line(subtables[k]).c_str(), BPoint(20, 20 + 15 * (float)k));
    if (shown < subtables.size())
        DrawString(("and " + std::to_string(subtables.size() - shown) + " more subtables").c_str(),
                   BPoint(20, 20 + 15 * (float)shown));
    if (subtables.empty())
        DrawString("no subtables", BPoint(20, 20));
    PopState();
    draw_notice(this, notice);
}

void ttf_cmap::runs_changed(uint32_t code) {
    if (!runlist)
        return;
    runlist->set_runs(code);
    Invalidate();
}

void ttf_cmap::MessageReceived(BMessage* message) {
    if (message->what == RUN_CHOSEN) {
        int32 index;
        if (!stctl || message->FindInt32("index", &index) != B_OK || index < 0 ||
            index >= (int32)runs.size())
            return;
        const cmap_subtables::group& run = runs[index];
        set_editor_hex(stctl, run.start);
        set_editor_hex(edctl, run.end);
        set_editor_hex(gnoctl, run.glyph);
        return;
    }
    if (message->what == EDITOR_TEXT) {
        void* source = nullptr;
        if (message->FindPointer("source", &source) != B_OK || !stctl)
            return;
        uint32_t start = editor_hex(stctl), end = editor_hex(edctl), gno = editor_hex(gnoctl);
        if (sent_by(message, stctl)) {
            if (start <= cmap_subtables::LAST_CODE) {
                gno = glyph_of(start);
                notice.clear();
            } else {
                notice = "character codes end at 10ffff";
            }
        }
        set_editor_hex(stctl, start);
        set_editor_hex(edctl, end);
        set_editor_hex(gnoctl, gno);
        Invalidate();
        return;
    }
    if (message->what == EDITOR_BUTTON) {
        if (!sent_by(message, setbtn))
            return;
        uint32_t start = editor_hex(stctl), end = editor_hex(edctl), gno = editor_hex(gnoctl);
        if (end < start)
            return;
        uint32_t glyphs = owner && owner->maxp ? owner->maxp->numglyphs() : 0;
        if (end > cmap_subtables::LAST_CODE) {
            notice = "character codes end at 10ffff";
        } else if (gno != 0xFFFF && (uint64_t)gno + (end - start) >= glyphs) {
            // Every glyph of the run must exist, not only the first.
            notice = "glyphs " + hex(gno) + "-" + hex(gno + (end - start)) +
                     " pass the last glyph, " + (glyphs ? hex(glyphs - 1) : "none");
        } else {
            checkpoint(start == end ? "map of " + hex(start)
                                    : "map of " + hex(start) + "-" + hex(end));
            if (set_chr(start, end, (unsigned short)gno) != 0) {
                notice = std::string("not set: ") + edit_error();
            } else {
                notice.clear();
                runs_changed(start);
            }
        }
        Invalidate();
        return;
    }
    ttf_table::MessageReceived(message);
}
