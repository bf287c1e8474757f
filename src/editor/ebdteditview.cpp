#include "editor/ebdteditview.h"

#include "editor/editor_views.h"

#include "editor/ebdttoolview.h"
#include "font/bitmap.h"
#include "font/cmap.h"
#include "font/ebdt.h"
#include "font/head.h"
#include "font/history.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "font/table_views.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Font.h>
#include <Message.h>
#include <Messenger.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

const rgb_color FRAME_GREY = {50, 50, 50, 255};

// Fills the part of r inside clip: a one-pixel line of a stroked
// rectangle, drawn only where the update needs it.
void fill_clipped(BView* v, const BRect& r, const BRect& clip) {
    BRect part = r & clip;
    if (part.IsValid())
        v->FillRect(part, B_SOLID_HIGH);
}

} // namespace

ebdteditview::ebdteditview(BRect frame, ttf_ebdt* owner)
    : BView(frame, "canvas", B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS), ebdt(owner) {}

ebdteditview::~ebdteditview() {
    delete refglyph;
    delete bmp;
}

void ebdteditview::FrameResized(float width, float height) {
    const float side = std::max(EBDT_SQUARE.Width(),
                                std::min(width, height) - (511 - EBDT_SQUARE.Width()));
    BRect now(EBDT_SQUARE.left, EBDT_SQUARE.top, EBDT_SQUARE.left + side, EBDT_SQUARE.top + side);
    if (now == fSquare)
        return;
    fSquare = now;
    if (bmp)
        bmp->setvrect(fSquare);
    // The outline is mapped onto the square again when next drawn.
    delete refglyph;
    refglyph = nullptr;
    Invalidate();
}

void ebdteditview::AttachedToWindow() {
    SetHighColor(255, 255, 255);
    SetViewColor(50, 50, 50);
    SetLowColor(0, 0, 0);
    SetFont(be_bold_font, B_FONT_ALL);
    SetPenSize(0);
    MakeFocus(true);
}

// Draws exactly what a full redraw shows inside `update`: the background,
// the square's frame and the cells there are drawn clipped to it; the
// overlays (outline and metric lines) are drawn whole, which leaves their
// pixels outside `update` as they were, since they are opaque and not
// anti-aliased. A pixel toggle thus redraws only its cell.
void ebdteditview::Draw(BRect update) {
    SetHighColor(255, 255, 255);
    SetLowColor(0, 0, 0);
    SetViewColor(0, 0, 0);
    FillRect(update, B_SOLID_LOW);

    SetHighColor(FRAME_GREY);
    const BRect& s = fSquare;
    fill_clipped(this, BRect(s.left, s.top, s.right, s.top), update);
    fill_clipped(this, BRect(s.left, s.bottom, s.right, s.bottom), update);
    fill_clipped(this, BRect(s.left, s.top, s.left, s.bottom), update);
    fill_clipped(this, BRect(s.right, s.top, s.right, s.bottom), update);

    if (bmp)
        bmp->draw(this, update);
    draw_overlays();
}

void ebdteditview::build_refglyph() {
    ttf* font = ebdt ? ebdt->owner : nullptr;
    refglyph = new glyph(gno);
    unsigned upem = font && font->head ? font->head->unitsperem() : 0;
    if (!font || upem == 0)
        return;
    if (font->get_glyph(gno, refglyph) != 0) {
        // A glyph that does not decode is shown without an outline.
        delete refglyph;
        refglyph = new glyph(gno);
        return;
    }
    refglyph->trans(BRect(0, upem - 1, upem - 1, 0), fSquare);
}

void ebdteditview::draw_overlays() {
    ttf* font = ebdt ? ebdt->owner : nullptr;
    if (!refglyph && gno != 0xFFFF)
        build_refglyph();
    unsigned upem = font && font->head ? font->head->unitsperem() : 0;
    const float size = fSquare.Width() + 1;
    if (refglyph) {
        MovePenTo(0, 0);
        for (int32 i = 0; i < refglyph->count; i++)
            if (refglyph->contours[i])
                refglyph->contours[i]->draw(this, 0xFF0000);
        unsigned short aw = 0;
        short lsb = 0;
        // No em size, no scale for font units: the lines are left out, as
        // they are when the glyph has no metrics.
        if (upem != 0 && font->maxp && gno < font->maxp->numglyphs() && font->hmtx &&
            font->hmtx->get_mtx(gno, &aw, &lsb) == 0) {
            float x = fSquare.left + size * lsb / upem;
            SetHighColor(0, 191, 0);
            StrokeLine(BPoint(x, fSquare.top), BPoint(x, fSquare.bottom), B_MIXED_COLORS);
            x = fSquare.left + size * aw / upem;
            SetHighColor(0, 191, 191);
            StrokeLine(BPoint(x, fSquare.top), BPoint(x, fSquare.bottom), B_MIXED_COLORS);
        }
    }
    if (bmp && bmp->pixels && bmp->ppemx != 0) {
        float x = fSquare.left + size * bmp->bearingx / bmp->ppemx;
        SetHighColor(0, 255, 0);
        StrokeLine(BPoint(x, fSquare.top), BPoint(x, fSquare.bottom), B_SOLID_HIGH);
        x = fSquare.left + size * bmp->advance / bmp->ppemx;
        SetHighColor(0, 255, 255);
        StrokeLine(BPoint(x, fSquare.top), BPoint(x, fSquare.bottom), B_SOLID_HIGH);
    }
    SetHighColor(255, 255, 255);
}

BRect ebdteditview::cell_area(BPoint where) const {
    int col, row;
    if (!bmp || !bmp->cell_at(where, &col, &row))
        return BRect();
    // Whole pixels around the cell, a pixel wider on every side, so that
    // however its edges round all of its pixels are inside.
    BRect r = bmp->cell_rect(col, row);
    return BRect(std::floor(r.left) - 1, std::floor(r.top) - 1, std::ceil(r.right) + 1,
                 std::ceil(r.bottom) + 1);
}

void ebdteditview::MouseDown(BPoint where) {
    // A click on the canvas takes the keys (the Edit menu's Cut, Copy and
    // Paste among them) from the palette's fields.
    MakeFocus(true);
    if (!bmp)
        return;
    BRect area = cell_area(where);
    bitmap_state before = state();
    unsigned char unused = 0;
    if (bmp->create(unused, where) != 0)
        return;
    steps.begin(std::move(before));
    steps.end("pixel toggle", state());
    Draw(area);
}

void ebdteditview::redraw(char what) {
    if (what & 4)
        Draw(Bounds());
}

bitmap_state ebdteditview::state() const {
    bitmap_state s;
    if (bmp && bmp->pixels)
        s.pixels.assign(bmp->pixels, bmp->pixels + (size_t)bmp->width * bmp->height);
    return s;
}

void ebdteditview::show_state(const bitmap_state& s) {
    if (bmp && bmp->pixels && s.pixels.size() == (size_t)bmp->width * bmp->height)
        std::copy(s.pixels.begin(), s.pixels.end(), bmp->pixels);
    redraw(5);
}

void ebdteditview::load() {
    delete bmp;
    bmp = new bitmap(gno, (unsigned char)(pt >> 8), (unsigned char)(pt & 0xFF), 1);
    bmp->setvrect(fSquare);
    ttf* font = ebdt ? ebdt->owner : nullptr;
    // The container's look-up checks the image against its slot in EBDT;
    // a glyph it cannot read keeps no pixels and shows "Undefined".
    if (font)
        font->get_bitmap(bmp);
    steps.clear();
    stored = state();
    send2toolv(EBDT_REPORT_ALL);
}

void ebdteditview::follow_font() {
    if (gno == 0xFFFF || has_pending())
        return;
    bitmap fresh(gno, (unsigned char)(pt >> 8), (unsigned char)(pt & 0xFF), 1);
    ttf* font = ebdt ? ebdt->owner : nullptr;
    if (font)
        font->get_bitmap(&fresh);
    // Shown again only when it differs, so that the canvas keeps its redo
    // steps otherwise.
    bool same =
        bmp && fresh.width == bmp->width && fresh.height == bmp->height &&
        !fresh.pixels == !bmp->pixels &&
        (!fresh.pixels ||
         std::equal(fresh.pixels, fresh.pixels + (size_t)fresh.width * fresh.height, bmp->pixels));
    if (!same) {
        load();
        redraw(5);
    }
}

bool ebdteditview::has_pending() const {
    return gno != 0xFFFF && bmp && bmp->pixels && !(state() == stored);
}

std::string ebdteditview::pending_text() const {
    char text[64];
    snprintf(text, sizeof text, "the %u x %u bitmap of glyph %04x", (unsigned)(pt >> 8),
             (unsigned)(pt & 0xFF), gno);
    return text;
}

bool ebdteditview::store_pending(std::string* why) {
    return store(why);
}

void ebdteditview::discard_pending() {
    if (gno == 0xFFFF)
        return;
    load();
    redraw(5);
}

bool ebdteditview::can_step(bool redo) const {
    return gno != 0xFFFF && (redo ? steps.can_redo() : steps.can_undo());
}

std::string ebdteditview::step_name(bool redo) const {
    return redo ? steps.redo_name() : steps.undo_name();
}

bool ebdteditview::step(bool redo) {
    if (!can_step(redo))
        return false;
    show_state(redo ? steps.redo(state()) : steps.undo(state()));
    return true;
}

bool ebdteditview::store(std::string* why) {
    ttf* font = ebdt ? ebdt->owner : nullptr;
    if (gno == 0xFFFF || !bmp || !bmp->pixels || !font)
        return true;
    char name[48];
    snprintf(name, sizeof name, "bitmap of glyph %04x at %u x %u", gno, (unsigned)(pt >> 8),
             (unsigned)(pt & 0xFF));
    if (font_history* h = font->history())
        h->checkpoint(name);
    // The store goes through the container, which writes only inside the
    // image's slot and only an image of the stored size.
    if (font->set_bitmap(bmp) != 0) {
        refusal = std::string("The ") + name +
                  " was not stored: its place in EBDT no longer holds an image of this size and "
                  "format. The font is unchanged; the pixels stay on the canvas.";
        if (why)
            *why = refusal;
        else
            refuse(refusal);
        return false;
    }
    // What the view shows is what the table now holds.
    load();
    redraw(5);
    return true;
}

void ebdteditview::choose(const BMessage* message) {
    ttf* font = ebdt ? ebdt->owner : nullptr;
    bool any = false;
    int16 value;
    if (message->FindInt16("gno", &value) == B_OK) {
        gno = (uint16)value;
        if (!font || !font->maxp || gno >= font->maxp->numglyphs())
            gno = 0;
        chr = font && font->cmap ? font->cmap->get_chr(gno) : 0xFFFF;
        any = true;
    }
    if (message->FindInt16("chr", &value) == B_OK) {
        chr = (uint16)value;
        gno = font && font->cmap ? font->cmap->get_gno(chr) : 0;
        any = true;
    }
    if (message->FindInt16("pt", &value) == B_OK) {
        pt = (uint16)value;
        any = true;
    }
    if (!any)
        return;
    load();
    delete refglyph;
    refglyph = nullptr;
    redraw(5);
}

void ebdteditview::MessageReceived(BMessage* message) {
    switch (message->what) {
    case EBDT_SET:
        store(nullptr);
        return;
    case B_CUT:
    case B_COPY:
    case B_PASTE:
        clip_command(message->what);
        return;
    case EBDT_CHANGE: {
        if (!message->HasInt16("gno") && !message->HasInt16("chr") && !message->HasInt16("pt"))
            return;
        bool asking = guard.asking();
        char what[48];
        snprintf(what, sizeof what, "The %u x %u bitmap of glyph %04x", (unsigned)(pt >> 8),
                 (unsigned)(pt & 0xFF), gno);
        if (guard.clear_to_go(this, this, *message, what))
            choose(message);
        else if (asking)
            send2toolv(EBDT_REPORT_ALL);
        return;
    }
    case PENDING_ANSWER: {
        std::string why;
        if (std::optional<BMessage> request = guard.answered(*message, this, &why)) {
            choose(&*request);
            return;
        }
        // Cancelled, or the pixels could not be stored: they stay, and the
        // palette shows this glyph and strike again.
        if (!why.empty() && Window()) {
            BAlert* alert = new BAlert("tavrel", why.c_str(), "OK", nullptr, nullptr,
                                       B_WIDTH_AS_USUAL, B_WARNING_ALERT);
            alert->Go(nullptr);
        }
        send2toolv(EBDT_REPORT_ALL);
        return;
    }
    default:
        BView::MessageReceived(message);
    }
}

void ebdteditview::send2toolv(unsigned char bits) {
    if (!ebdt || !ebdt->toolview)
        return;
    BMessage report(EBDT_REPORT);
    if (bits & EBDT_REPORT_GNO)
        report.AddInt16("gno", (int16)gno);
    if (bits & EBDT_REPORT_CHR)
        report.AddInt16("chr", (int16)chr);
    if (bits & EBDT_REPORT_PT)
        report.AddInt16("pt", (int16)pt);
    // The palette lives in the same window: the report is queued behind
    // the message being handled.
    BMessenger(ebdt->toolview).SendMessage(&report);
}

namespace {

void size_menu(ttf_ebdt* table) {
    if (ebdttoolview* tools = dynamic_cast<ebdttoolview*>(table->toolview))
        tools->init();
}

} // namespace

// An undo or redo changed the images: a canvas without pixel edits of its
// own shows the stored one.
void follow_bitmap(ttf_ebdt* table) {
    if (ebdteditview* view = dynamic_cast<ebdteditview*>(table->editview))
        view->follow_font();
}

void register_ebdt_views() {
    table_view_hooks hooks = registered_table_views();
    hooks.ebdt_refreshed = follow_bitmap;
    hooks.ebdt_created = make_editor_views<ebdttoolview, ebdteditview, ttf_ebdt>;
    hooks.ebdt_attached = size_menu;
    set_table_view_hooks(hooks);
}
