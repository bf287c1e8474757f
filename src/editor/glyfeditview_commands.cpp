// The edit view's requests: choosing a glyph by number or character,
// clearing it, storing it into the font through the container's glyph
// store, adding and removing components, tools, pen size and zoom, and the
// new canvas of a new font. What cannot be done is refused with a reason the
// user sees, and the glyph on the canvas is kept.
#include "editor/glyfeditview.h"

#include "editor/globals.h"
#include "font/cmap.h"
#include "font/glyf.h"
#include "font/table_alert.h"
#include "font/head.h"
#include "font/history.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/object.h"
#include "outline/shape.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Message.h>
#include <Window.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

const char* const GLYF_VARIATIONS_QUESTION =
    "This glyph varies across the font's axes: its variations will be removed.";

namespace {

bool has_glyph_tables(const ttf* f) {
    return f && f->glyf && f->head && f->loca && f->maxp;
}

unsigned glyph_count(const ttf* f) {
    return f && f->maxp ? f->maxp->numglyphs() : 0;
}

std::string glyph_text(const char* format, unsigned n) {
    char text[256];
    snprintf(text, sizeof text, format, n);
    return text;
}

// Why glyph n, read with parts it cannot hold, is not stored or changed.
std::string lossy_text(const glyph* g, unsigned n) {
    std::string why;
    auto add = [&](const char* part) { why += why.empty() ? part : std::string("; ") + part; };
    if (g->lossy & glyph::lost_damaged)
        add("part of its record is damaged");
    if (g->lossy & glyph::lost_component)
        add("it names component glyphs this font does not have");
    if (g->lossy & glyph::lost_capacity)
        add(glyph_text("it has more than %u components", (unsigned)glyph::max_components).c_str());
    return glyph_text("Glyph %04x could not be read whole (", n) + why +
           "), so storing it would lose the rest of its record. The font is unchanged; \"clr\" "
           "starts the glyph afresh.";
}

// True when glyph `target` is `g` itself or one of the glyphs it is made
// of, at any depth.
bool contains_glyph(const glyph* g, unsigned target) {
    if (!g)
        return false;
    if (g->index == target)
        return true;
    for (int k = 0; k < g->ncompo; k++) {
        if (contains_glyph(g->compo[k], target))
            return true;
    }
    return false;
}

// Why the outline cannot be written in the glyf format, or null: every
// coordinate in font units, truncated, and every step between consecutive
// points must fit 16 bits.
const char* outline_unfit(const glyph* g) {
    if (g->ncompo > 0)
        return nullptr;
    float px = 0, py = 0;
    for (int i = 0; i < g->count; i++) {
        const shape* s = g->contours[i];
        for (int j = 0; s && j < s->count; j++) {
            float x = std::trunc(s->points[j].x), y = std::trunc(s->points[j].y);
            if (!std::isfinite(x) || !std::isfinite(y) || x < -32768 || x > 32767 || y < -32768 ||
                y > 32767)
                return "a point lies outside the coordinates a glyph can hold (-32768 to 32767)";
            if (std::fabs(x - px) > 32767 || std::fabs(y - py) > 32767)
                return "two consecutive points lie more than 32767 units apart";
            px = x;
            py = y;
        }
    }
    return nullptr;
}

// True when two simple glyphs have the same points, as the file holds them.
bool same_outline(const glyph& a, const glyph& b) {
    if (a.count != b.count || a.ncompo != 0 || b.ncompo != 0)
        return false;
    for (int i = 0; i < a.count; i++) {
        const shape* s = a.contours[i];
        const shape* t = b.contours[i];
        if (!s || !t || s->count != t->count)
            return false;
        for (int j = 0; j < s->count; j++) {
            if (std::trunc(s->points[j].x) != std::trunc(t->points[j].x) ||
                std::trunc(s->points[j].y) != std::trunc(t->points[j].y) ||
                (s->flags[j] & 1) != (t->flags[j] & 1))
                return false;
        }
    }
    return true;
}

// The instruction bytes of a simple glyph record (none for anything else).
size_t instruction_length(const byte_span& rec) {
    if (rec.size() < 12 || rec.s16(0) <= 0)
        return 0;
    size_t at = 10 + 2 * (size_t)rec.s16(0);
    return rec.has(at, 2) ? rec.u16(at) : 0;
}

} // namespace

ttf* glyfeditview::font() const {
    return glyf ? glyf->owner : nullptr;
}

void glyfeditview::MessageReceived(BMessage* message) {
    for (int8 t = 0; t < 6; t++) {
        if (message->what == GLYF_TOOLS[t]) {
            set_tool(t);
            return;
        }
    }
    switch (message->what) {
    case GLYF_REDRAW:
        redraw(5);
        break;
    case GLYF_INIT: {
        gno = 0xFFFF;
        replace_glyph(new glyph(0xFFFF));
        stored = canvas_state();
        // A question about the last font's glyph no longer applies.
        guard = pending_guard();
        unstorable.clear();
        notice.clear();
        delete curobject;
        curobject = nullptr;
        btnheld = false;
        steps.clear();
        chgscale(1.0f);
        if (Window())
            Window()->Zoom();
        BRect bounds;
        if (message->FindRect("bounds", &bounds) == B_OK)
            canvas = bounds;
        canvasok = true;
        init();
        if (Window())
            Window()->Zoom();
        Invalidate();
        break;
    }
    case GLYF_CLEAR:
        if (gno == 0xFFFF)
            break;
        reset_interaction();
        begin_step();
        replace_glyph(new glyph(gno));
        // An empty glyph stores whole, whatever the old one lost.
        unstorable.clear();
        notice.clear();
        end_step("clear");
        send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY | REPORT_NOTICE);
        redraw(5);
        break;
    case GLYF_STORE:
        store_glyph();
        break;
    case GLYF_DROP_VARIATIONS: {
        // Only an answer about the glyph still shown stores it.
        int32 which = 1;
        message->FindInt32("which", &which);
        bool agreed = which == 0 && dropasked == gno && gno != 0xFFFF;
        dropasked = 0xFFFF;
        if (agreed)
            store_glyph(nullptr, true);
        break;
    }
    case GLYF_ADD_COMPONENT:
        add_component(message);
        break;
    case GLYF_DEL_COMPONENT:
        del_component(message);
        break;
    case GLYF_CHANGE:
        choose_glyph(message);
        break;
    case PENDING_ANSWER:
        answer_pending(message);
        break;
    case B_CUT:
    case B_COPY:
    case B_PASTE:
    case B_SELECT_ALL:
        clip_command(message->what);
        break;
    case GLYF_PASTE_AS:
        answer_paste(message);
        break;
    default:
        BView::MessageReceived(message);
        break;
    }
}

void glyfeditview::reset_interaction() {
    // A gesture cut short keeps what it changed as a step of its own.
    end_step(gesture_name());
    redraw(2);
    rubber = false;
    selstate = 0;
    delete curobject;
    curobject = nullptr;
    if (curglyph)
        curglyph->sel_none();
    redraw(2);
}

void glyfeditview::set_tool(int8 t) {
    // A composite glyph's outline comes from its components: it is only
    // picked and moved.
    if (t != 0 && curglyph && curglyph->ncompo > 0)
        return;
    reset_interaction();
    tool = t;
    send2toolv(REPORT_MODE);
}

void glyfeditview::replace_glyph(glyph* fresh) {
    delete curglyph;
    curglyph = fresh;
}

void glyfeditview::load_glyph(uint16 n) {
    replace_glyph(new glyph(n));
    unstorable.clear();
    notice.clear();
    reshaped = false;
    dropasked = 0xFFFF;
    ttf* f = font();
    if (!has_glyph_tables(f) || n >= glyph_count(f))
        return;
    if (f->get_glyph(n, curglyph) != 0) {
        // A damaged record reads as nothing or as part of itself; storing
        // that back would destroy what the font holds.
        replace_glyph(new glyph(n));
        unstorable = glyph_text("Glyph %04x could not be read whole, so it is shown empty and "
                                "cannot be stored. \"clr\" starts it afresh.",
                                n);
        notice = "damaged: not stored";
    }
}

void glyfeditview::to_canvas() {
    ttf* f = font();
    if (f && f->head)
        curglyph->trans(f->bounds(), canvas);
}

void glyfeditview::to_font() {
    ttf* f = font();
    if (f && f->head)
        curglyph->trans(canvas, f->bounds());
}

void glyfeditview::choose_glyph(BMessage* message) {
    if (!font())
        return;
    if (message->HasInt16("gno") || message->HasInt16("chr")) {
        bool asking = guard.asking();
        if (!guard.clear_to_go(this, this, *message, glyph_text("Glyph %04x", gno))) {
            // Dropped while a question is up: the palette shows this glyph
            // again.
            if (asking)
                send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY);
            return;
        }
    }
    carry_out_choice(message);
}

void glyfeditview::answer_pending(BMessage* answer) {
    std::string why;
    if (std::optional<BMessage> request = guard.answered(*answer, this, &why)) {
        carry_out_choice(&*request);
        return;
    }
    // Cancelled, or the glyph could not be stored: it stays on the canvas
    // and the palette shows it again.
    if (!why.empty())
        refuse(why);
    send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY);
}

void glyfeditview::carry_out_choice(const BMessage* message) {
    ttf* f = font();
    if (!f)
        return;
    int16 value;
    bool chosen = false;
    if (message->FindInt16("gno", &value) == B_OK) {
        gno = (uint16)value;
        // Stepping past the last glyph wraps to glyph 0.
        if (gno >= glyph_count(f))
            gno = 0;
        chr = f->cmap ? f->cmap->get_chr(gno) : 0xFFFF;
        chosen = true;
    }
    if (message->FindInt16("chr", &value) == B_OK) {
        chr = (uint16)value;
        gno = f->cmap && f->cmap->chrmap ? f->cmap->chrmap[chr] : 0;
        chosen = true;
    }
    if (chosen) {
        show_stored();
        // A place shown from elsewhere (the check window) may name a point.
        int32 point;
        if (message->FindInt32("point", &point) == B_OK)
            select_point(point);
    }
    int8 size;
    if (message->FindInt8("psize", &size) == B_OK)
        psize = (uint8)size;
    float s;
    // Only a zoom that can be drawn at; 0 asks for the fitting one.
    if (message->FindFloat("scale", &s) == B_OK && std::isfinite(s) && s >= 0)
        chgscale(s);
}

void glyfeditview::show_stored() {
    reset_interaction();
    // The canvas history belongs to the glyph shown until now.
    steps.clear();
    load_glyph(gno);
    to_canvas();
    stored = canvas_state::of(*curglyph, unstorable, notice);
    send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY | REPORT_NOTICE);
    redraw(5);
    if (curglyph->ncompo > 0) {
        reset_interaction();
        tool = 0;
        send2toolv(REPORT_MODE);
    }
}

void glyfeditview::follow_font() {
    if (gno == 0xFFFF || !curglyph || has_pending())
        return;
    // Read as a choice of the glyph reads it, and shown only when it
    // differs, so that the canvas keeps its redo steps otherwise.
    glyph* shown = curglyph;
    std::string shownunstorable = unstorable, shownnotice = notice;
    curglyph = nullptr;
    load_glyph(gno);
    to_canvas();
    bool same = canvas_state::of(*curglyph, unstorable, notice) == stored;
    delete curglyph;
    curglyph = shown;
    unstorable = shownunstorable;
    notice = shownnotice;
    if (!same)
        show_stored();
}

bool glyfeditview::has_pending() const {
    if (gno == 0xFFFF || !curglyph)
        return false;
    return gesture_open() || !(canvas_state::of(*curglyph, unstorable, notice) == stored);
}

std::string glyfeditview::pending_text() const {
    return glyph_text("glyph %04x on the outline canvas", gno);
}

bool glyfeditview::store_pending(std::string* why) {
    return store_glyph(why);
}

void glyfeditview::discard_pending() {
    if (gno != 0xFFFF)
        show_stored();
}

bool glyfeditview::ask_drop_variations(std::string* why) {
    ttf* f = font();
    std::string text;
    if (f && !f->variations_intact())
        text = glyph_text("Glyph %04x was not stored: its points changed in number or order, and "
                          "the font's glyph variations (gvar) cannot be read whole, so its "
                          "variations could not be removed. The font is unchanged.",
                          gno);
    else if (why)
        // A store that must be done or refused at once (another glyph
        // chosen, the font closed) cannot wait for the question.
        text = glyph_text("Glyph %04x was not stored: it varies across the font's axes and its "
                          "points changed in number or order, so storing it removes its "
                          "variations. \"set\" asks whether to remove them.",
                          gno);
    if (!text.empty()) {
        if (why)
            *why = refusal = text;
        else
            refuse(text);
        return false;
    }
    dropasked = gno;
    if (Window())
        table_question(GLYF_VARIATIONS_QUESTION, "Remove", "Cancel", this, GLYF_DROP_VARIATIONS);
    return false;
}

bool glyfeditview::store_glyph(std::string* why, bool dropvariations) {
    if (gno == 0xFFFF)
        return true;
    ttf* f = font();
    auto refused = [&](const std::string& text) {
        if (why)
            *why = refusal = text;
        else
            refuse(text);
        return false;
    };
    if (!unstorable.empty())
        return refused(unstorable);
    if (!has_glyph_tables(f) || gno >= glyph_count(f))
        return refused(glyph_text("There is no glyph %04x in this font: nothing was stored.", gno));
    for (int k = 0; k < curglyph->ncompo; k++) {
        if (contains_glyph(curglyph->compo[k], gno))
            return refused(glyph_text("Glyph %04x would contain itself: it was not stored.", gno));
    }
    reset_interaction();
    to_font();
    if (const char* unfit = outline_unfit(curglyph)) {
        to_canvas();
        redraw(5);
        return refused(glyph_text("Glyph %04x was not stored: ", gno) + unfit + ".");
    }

    // The outline the font holds now, to tell whether kept instructions
    // still belong to the same points.
    glyph before(gno);
    bool had = f->get_glyph(gno, &before) == 0;
    // A glyph whose points were renumbered loses its variations, which
    // only the user may agree to; the font tells of a change in their
    // number or contours itself (TTF_GLYPH_VARIES).
    const bool varies = f->glyph_varies(gno);
    if (varies && reshaped && !dropvariations) {
        to_canvas();
        return ask_drop_variations(why);
    }
    if (font_history* h = f->history())
        h->checkpoint(glyph_text("glyph %04x", gno));
    if (int r = f->set_glyph(gno, curglyph, dropvariations && varies); r != 0) {
        to_canvas();
        redraw(5);
        if (r == TTF_GLYPH_VARIES)
            return ask_drop_variations(why);
        if (r == TTF_GLYPH_LOSSY)
            return refused(lossy_text(curglyph, gno));
        if (r == TTF_GLYPH_CYCLE)
            return refused(glyph_text("Glyph %04x would contain itself through its components: "
                                      "it was not stored.",
                                      gno));
        return refused(glyph_text("Glyph %04x could not be stored: the font's glyph table or its "
                                  "locations cannot take it. The font is unchanged.",
                                  gno));
    }
    // The glyph as stored is one step of the font's history; the canvas's
    // steps before it end here.
    steps.clear();
    bool moved = !had || !same_outline(before, *curglyph);
    load_glyph(gno);
    unsigned long offset, length;
    if (moved && curglyph->ncompo == 0 &&
        f->loca->get_offset(f->head->is32loca(), gno, &offset, &length) == 0 &&
        instruction_length(f->glyf->bytes().slice(offset, length)) > 0)
        notice = "hints kept: may not fit";
    if (varies && !f->glyph_varies(gno))
        notice = notice.empty() ? "variations removed" : "variations removed; " + notice;
    to_canvas();
    stored = canvas_state::of(*curglyph, unstorable, notice);
    send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY | REPORT_NOTICE);
    redraw(5);
    return true;
}

void glyfeditview::add_component(BMessage* message) {
    int16 value;
    if (gno == 0xFFFF || message->FindInt16("sub", &value) != B_OK)
        return;
    uint16 sub = (uint16)value;
    ttf* f = font();
    if (!has_glyph_tables(f) || sub >= glyph_count(f))
        return;
    // A glyph that cannot be stored is not changed either.
    if (curglyph->lossy) {
        refuse(lossy_text(curglyph, gno));
        return;
    }
    // As the font holds the glyphs now, and as the glyph on the canvas is
    // made: either way the glyph would contain itself.
    if (f->makes_cycle(gno, sub)) {
        refuse(glyph_text(sub == gno ? "Glyph %04x cannot be a component of itself: adding it "
                                       "would make the glyph contain itself."
                                     : "Glyph %04x is made of this glyph: adding it would make "
                                       "the glyph contain itself.",
                          sub));
        return;
    }
    glyph* part = new glyph(sub);
    part->depth = 1;
    if (f->get_glyph(sub, part) != 0) {
        delete part;
        refuse(glyph_text("Glyph %04x could not be read whole: it was not added.", sub));
        return;
    }
    if (contains_glyph(part, gno)) {
        delete part;
        refuse(glyph_text("Glyph %04x is made of this glyph: adding it would make the glyph "
                          "contain itself.",
                          sub));
        return;
    }
    if (curglyph->ncompo >= glyph::max_components) {
        delete part;
        refuse(glyph_text("A glyph holds at most %d components: nothing was added.",
                          glyph::max_components));
        return;
    }
    reset_interaction();
    begin_step();
    curglyph->clr_composhape();
    if (curglyph->add_compo(part, 0, 0, 0x4000, 0, 0, 0x4000) != 0) {
        delete part;
        refuse(glyph_text("A glyph holds at most %d components: nothing was added.",
                          glyph::max_components));
    }
    rebuild_composite();
    end_step("component add");
    send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY);
    redraw(5);
}

void glyfeditview::del_component(BMessage* message) {
    // The component's number: an int8 field (read as 0 to 255), or an int32
    // one for glyphs with more components than that.
    int32 k;
    int8 no;
    if (message->FindInt32("no", &k) != B_OK) {
        if (message->FindInt8("no", &no) != B_OK)
            return;
        k = (uint8)no;
    }
    if (gno == 0xFFFF)
        return;
    if (curglyph->lossy) {
        refuse(lossy_text(curglyph, gno));
        return;
    }
    reset_interaction();
    begin_step();
    curglyph->clr_composhape();
    if (k >= 0 && k < curglyph->ncompo)
        curglyph->del_compo(k);
    rebuild_composite();
    end_step("component deletion");
    send2toolv(REPORT_GNO | REPORT_CHR | REPORT_COMPO | REPORT_EMPTY);
    redraw(5);
}

void glyfeditview::rebuild_composite() {
    curglyph->clr_composhape();
    curglyph->create_composhape();
    to_canvas();
}

void glyfeditview::refuse(const std::string& why) {
    refusal = why;
    if (!Window())
        return;
    // Shown without waiting: the window's thread goes on serving input.
    BAlert* alert = new BAlert("tavrel", why.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
                               B_WARNING_ALERT);
    alert->Go(nullptr);
}
