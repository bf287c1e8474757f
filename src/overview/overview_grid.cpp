#include "overview/overview_grid.h"

#include "font/post.h"
#include "font/ttf.h"
#include "overview/overview_host.h"
#include "overview/overview_messages.h"

#include <Bitmap.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <ScrollBar.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace {

const float margin = 4;
const float gap = 6; // room for the cursor and highlight rings between cells
const rgb_color background = {216, 216, 224, 255};
const rgb_color selection_tint = {160, 190, 255, 255};
const rgb_color cursor_ring = {20, 20, 30, 255};
const rgb_color editor_ring = {235, 120, 0, 255};

} // namespace

overview_grid::overview_grid(BRect frame, overview_host* host, int cellsize)
    : BView(frame, "cells", B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE), fHost(host),
      fGeometry(cell_geometry::for_size(std::clamp(cellsize, min_cell, max_cell))) {
    SetViewColor(background);
}

void overview_grid::set_scrollbar(BScrollBar* bar) {
    fBar = bar;
    update_scrollbar();
}

void overview_grid::AttachedToWindow() {
    update_scrollbar();
}

int overview_grid::columns() const {
    float pitch = fGeometry.width + gap;
    float room = Bounds().Width() + 1 - 2 * margin + gap;
    return std::max(1, (int)std::floor(room / pitch));
}

BRect overview_grid::cell_rect(int index) const {
    int cols = columns();
    float x = margin + (index % cols) * (fGeometry.width + gap);
    float y = margin + (float)(index / cols) * (fGeometry.height + gap);
    return BRect(x, y, x + fGeometry.width - 1, y + fGeometry.height - 1);
}

int overview_grid::index_at(BPoint where) const {
    float px = fGeometry.width + gap, py = fGeometry.height + gap;
    float x = where.x - margin, y = where.y - margin;
    if (x < 0 || y < 0)
        return -1;
    int col = (int)(x / px), row = (int)(y / py);
    if (col >= columns() || x - col * px >= fGeometry.width || y - row * py >= fGeometry.height)
        return -1;
    long index = (long)row * columns() + col;
    return index < fModel.count() ? (int)index : -1;
}

void overview_grid::visible_range(int* first, int* last) const {
    BRect b = Bounds();
    float py = fGeometry.height + gap;
    int cols = columns();
    long top = std::max(0L, (long)std::floor((b.top - margin) / py));
    long bottom = (long)std::floor((b.bottom - margin) / py);
    *first = (int)std::min<long>(top * cols, fModel.count());
    *last = (int)std::min<long>((bottom + 1) * cols, fModel.count()) - 1;
    if (*last < *first) {
        *first = -1;
        *last = -2;
    }
}

float overview_grid::data_height() const {
    long rows = (fModel.count() + columns() - 1) / columns();
    return 2 * margin + rows * (fGeometry.height + gap) - gap;
}

void overview_grid::update_scrollbar() {
    if (!fBar)
        return;
    float view = Bounds().Height() + 1;
    float data = data_height();
    fBar->SetRange(0, std::max(0.0f, data - view));
    fBar->SetProportion(data > 0 ? std::min(1.0f, view / data) : 1);
    float row = fGeometry.height + gap;
    fBar->SetSteps(row, std::max(row, view - row));
    // The range may have shrunk under the view's place.
    if (Bounds().top > std::max(0.0f, data - view))
        fBar->SetValue(std::max(0.0f, data - view));
}

void overview_grid::show_index(int index) {
    if (index < 0 || index >= fModel.count())
        return;
    BRect r = cell_rect(index);
    BRect b = Bounds();
    float y = b.top;
    if (r.top - margin < b.top)
        y = r.top - margin;
    else if (r.bottom + margin > b.bottom)
        y = r.bottom + margin - b.Height();
    if (y == b.top)
        return;
    y = std::max(0.0f, y);
    if (fBar)
        fBar->SetValue(y);
    else
        ScrollTo(0, y);
}

bool overview_grid::read_facts(font_facts* facts, char_map* map) {
    bool got = false;
    fHost->read_font([&](ttf* font, const std::string& file) {
        facts->take(font);
        map->take(font);
        size_t slash = file.rfind('/');
        fFileName = slash == std::string::npos ? file : file.substr(slash + 1);
        fHasFont = font != nullptr;
        got = true;
    });
    return got;
}

void overview_grid::refill() {
    fSerial++;
    fCache.clear();
    font_facts facts;
    char_map map;
    if (!read_facts(&facts, &map)) {
        facts = font_facts();
        map = char_map();
        fHasFont = false;
    }
    if (fStrike >= (int)facts.strikes.size())
        fStrike = -1;
    fModel.reset(facts, map);
    fEditorGlyph = -1;
    if (fBar)
        fBar->SetValue(0);
    ScrollTo(0, 0);
    update_scrollbar();
    Invalidate();
}

void overview_grid::font_changed() {
    fSerial++;
    font_facts facts;
    char_map map;
    if (!read_facts(&facts, &map))
        return;
    if (facts != fModel.facts()) {
        // What every cell's layout depends on: all are drawn anew.
        fCache.clear();
        if (fStrike >= (int)facts.strikes.size())
            fStrike = -1;
        fModel.update(facts, map);
        update_scrollbar();
        Invalidate();
        return;
    }
    int first, last;
    visible_range(&first, &last);
    std::vector<look> before = visible_looks();
    std::vector<uint32_t> codes;
    for (int i = first; i <= last; i++)
        codes.push_back(fModel.first_code(fModel.glyph_at(i)));
    if (map != fModel.map())
        fModel.update(facts, map);
    for (int i = first; i <= last; i++) {
        unsigned g = fModel.glyph_at(i);
        bool changed = g != before[(size_t)(i - first)].gno ||
                       fModel.first_code(g) != codes[(size_t)(i - first)];
        cell_cache::entry* e = fCache.find(g);
        if (!changed && e && e->verified < fSerial) {
            bool same = false;
            fHost->read_font([&](ttf* font, const std::string&) {
                same = font && e->content.same_as(font, fModel.facts());
            });
            if (same)
                e->verified = fSerial;
            else
                changed = true;
        }
        if (changed) {
            fCache.erase(g);
            Invalidate(cell_rect(i));
        }
    }
}

void overview_grid::set_editor_glyph(int gno) {
    if (gno < 0 || gno >= fModel.count())
        gno = -1;
    if (gno == fEditorGlyph)
        return;
    int first, last;
    visible_range(&first, &last);
    std::vector<look> before = visible_looks();
    fEditorGlyph = gno;
    if (gno >= 0) {
        fModel.set_cursor(fModel.index_of((unsigned)gno));
        show_index(fModel.cursor());
    }
    int nfirst, nlast;
    visible_range(&nfirst, &nlast);
    if (nfirst == first)
        redraw_changed(first, before);
}

void overview_grid::set_cell_size(int size) {
    size = std::clamp(size, min_cell, max_cell);
    if (size == fGeometry.size)
        return;
    int first, last;
    visible_range(&first, &last);
    fGeometry = cell_geometry::for_size(size);
    fCache.clear();
    update_scrollbar();
    // The glyph that was at the top stays in view.
    if (first >= 0) {
        BRect r = cell_rect(first);
        float y = std::max(0.0f, r.top - margin);
        if (fBar)
            fBar->SetValue(y);
        else
            ScrollTo(0, y);
    }
    Invalidate();
}

void overview_grid::set_order(overview_model::order_t order) {
    if (order == fModel.order())
        return;
    fModel.set_order(order);
    show_index(fModel.cursor());
    Invalidate();
}

void overview_grid::set_strike(int strike) {
    if (strike >= (int)fModel.facts().strikes.size() || strike < -1)
        strike = -1;
    if (strike == fStrike)
        return;
    fStrike = strike;
    fCache.clear();
    Invalidate();
}

bool overview_grid::search(const std::string& text) {
    std::vector<unsigned char> post;
    if (overview_model::wants_names(text)) {
        // The glyph names: the table is copied once per search, and read
        // outside the lock.
        fHost->read_font([&](ttf* font, const std::string&) {
            if (font && font->post) {
                byte_span t = font->post->bytes();
                post.assign(t.data(), t.data() + t.size());
            }
        });
    }
    int gno = fModel.find(text, byte_span(post.data(), post.size()));
    if (gno < 0)
        return false;
    move_cursor(fModel.index_of((unsigned)gno), false);
    return true;
}

overview_grid::look overview_grid::look_at(int index) const {
    unsigned g = fModel.glyph_at(index);
    return look{g, fModel.selected(g), index == fModel.cursor() && IsFocus(),
                (int)g == fEditorGlyph};
}

std::vector<overview_grid::look> overview_grid::visible_looks() const {
    int first, last;
    visible_range(&first, &last);
    std::vector<look> looks;
    for (int i = first; i <= last; i++)
        looks.push_back(look_at(i));
    return looks;
}

void overview_grid::redraw_changed(int first, const std::vector<look>& before) {
    for (size_t k = 0; k < before.size(); k++) {
        int i = first + (int)k;
        if (i < fModel.count() && look_at(i) != before[k])
            Invalidate(cell_rect(i).InsetByCopy(-3, -3));
    }
}

cell_cache::entry* overview_grid::cached(unsigned gno) {
    const uint32_t code = fModel.first_code(gno);
    cell_cache::entry* e = fCache.find(gno);
    if (e && (e->content.code != code || e->content.strike != fStrike)) {
        fCache.erase(gno);
        e = nullptr;
    }
    if (e && e->verified < fSerial) {
        bool same = false;
        fHost->read_font([&](ttf* font, const std::string&) {
            same = font && e->content.same_as(font, fModel.facts());
        });
        if (same) {
            e->verified = fSerial;
        } else {
            fCache.erase(gno);
            e = nullptr;
        }
    }
    return e;
}

cell_cache::entry* overview_grid::keep(unsigned gno, cell_cache::entry&& made) {
    made.verified = fSerial;
    fPainted.push_back(gno);
    if (fPainted.size() > 1000000)
        fPainted.clear();
    cell_cache::entry* e = fCache.insert(gno, std::move(made));
    if (!e) {
        fSpare = std::move(made);
        e = &fSpare;
    }
    return e;
}

cell_cache::entry* overview_grid::entry_for(unsigned gno) {
    auto ready = fMade.find(gno);
    if (ready != fMade.end()) {
        cell_cache::entry made = std::move(ready->second);
        fMade.erase(ready);
        return keep(gno, std::move(made));
    }
    if (cell_cache::entry* e = cached(gno))
        return e;
    cell_cache::entry made;
    bool got = false;
    fHost->read_font([&](ttf* font, const std::string&) {
        if (!font)
            return;
        made.content.take(font, gno, fStrike, fModel.facts(), fModel.first_code(gno));
        got = true;
    });
    if (!got)
        return nullptr;
    made.image = fPainter.paint(made.content, fModel.facts(), fGeometry);
    return keep(gno, std::move(made));
}

void overview_grid::paint_missing(const std::vector<int>& indices) {
    fMade.clear();
    std::vector<unsigned> want;
    for (int index : indices) {
        unsigned g = fModel.glyph_at(index);
        if (!cached(g))
            want.push_back(g);
    }
    // One cell is painted as it is drawn.
    if (want.size() < 2)
        return;
    std::vector<cell_cache::entry> made(want.size());
    // The records are copied a few dozen glyphs per hold of the lock, so
    // that the main window never waits long for its font.
    const size_t batch = 64;
    for (size_t from = 0; from < want.size(); from += batch) {
        bool got = false;
        fHost->read_font([&](ttf* font, const std::string&) {
            if (!font)
                return;
            for (size_t k = from; k < std::min(want.size(), from + batch); k++)
                made[k].content.take(font, want[k], fStrike, fModel.facts(),
                                     fModel.first_code(want[k]));
            got = true;
        });
        if (!got)
            return;
    }
    fPainter.prepare(fGeometry);
    // The images of the cells the new ones push out of the cache are
    // drawn over rather than freed and made again.
    size_t need = 0;
    for (const cell_cache::entry& e : made)
        need += cell_cache::cost(e.content, fGeometry.image_bytes());
    std::vector<std::unique_ptr<BBitmap>> spare;
    fCache.make_room(need, &spare);
    const BRect bounds(0, 0, fGeometry.width - 1, fGeometry.height - 1);
    std::vector<uint32_t*> pixels(want.size(), nullptr);
    for (size_t k = 0; k < want.size(); k++) {
        while (!spare.empty() && spare.back()->Bounds() != bounds)
            spare.pop_back();
        if (!spare.empty()) {
            made[k].image = std::move(spare.back());
            spare.pop_back();
        } else {
            made[k].image = cell_painter::new_image(fGeometry);
        }
        if (made[k].image)
            pixels[k] = (uint32_t*)made[k].image->Bits();
    }
    spare.clear();
    fScratch.resize((size_t)fWorkers.size());
    std::vector<char> done(want.size(), 0), decoded(want.size(), 0);
    const font_facts& facts = fModel.facts();
    fWorkers.run(want.size(), [&](size_t k, int worker) {
        bool d = false;
        if (pixels[k])
            done[k] = fPainter.render(made[k].content, facts, fGeometry, fScratch[(size_t)worker],
                                      pixels[k], &d);
        decoded[k] = d;
    });
    for (size_t k = 0; k < want.size(); k++) {
        if (done[k])
            fPainter.count_decodes((uint64_t)decoded[k]);
        else
            made[k].image = fPainter.paint(made[k].content, facts, fGeometry);
        fMade[want[k]] = std::move(made[k]);
    }
}

void overview_grid::draw_cell(int index, BRect r) {
    unsigned g = fModel.glyph_at(index);
    cell_cache::entry* e = entry_for(g);
    if (e && e->image) {
        DrawBitmap(e->image.get(), r.LeftTop());
    } else {
        SetHighColor(255, 255, 255);
        FillRect(r);
    }
    if (fModel.selected(g)) {
        SetDrawingMode(B_OP_MIN);
        SetHighColor(selection_tint);
        FillRect(r);
        SetDrawingMode(B_OP_COPY);
    }
    SetPenSize(1);
    if ((int)g == fEditorGlyph) {
        SetHighColor(editor_ring);
        StrokeRect(r.InsetByCopy(-2, -2));
        StrokeRect(r.InsetByCopy(-3, -3));
    }
    if (index == fModel.cursor() && IsFocus()) {
        SetHighColor(cursor_ring);
        StrokeRect(r.InsetByCopy(-1, -1));
    }
}

void overview_grid::Draw(BRect update) {
    if (fModel.count() == 0) {
        SetHighColor(80, 80, 96);
        const char* text = fHasFont ? "This font has no glyphs." : "No font is open.";
        DrawString(text, BPoint(12, 24));
        return;
    }
    float py = fGeometry.height + gap;
    int cols = columns();
    long top = std::max(0L, (long)std::floor((update.top - margin - 3) / py));
    long bottom = (long)std::floor((update.bottom - margin + 3) / py);
    std::vector<int> cells;
    for (long row = top; row <= bottom; row++) {
        for (int col = 0; col < cols; col++) {
            long index = row * cols + col;
            if (index < fModel.count() &&
                cell_rect((int)index).InsetByCopy(-3, -3).Intersects(update))
                cells.push_back((int)index);
        }
    }
    paint_missing(cells);
    for (int index : cells)
        draw_cell(index, cell_rect(index));
    fMade.clear();
}

void overview_grid::FrameResized(float, float) {
    int first, last;
    visible_range(&first, &last);
    update_scrollbar();
    Invalidate();
}

void overview_grid::MouseDown(BPoint where) {
    MakeFocus(true);
    int index = index_at(where);
    if (index < 0)
        return;
    BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
    int32 clicks = message ? message->GetInt32("clicks", 1) : 1;
    int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
    int first, last;
    visible_range(&first, &last);
    std::vector<look> before = visible_looks();
    if (mods & B_SHIFT_KEY)
        fModel.select_range(index);
    else if (mods & B_CONTROL_KEY)
        fModel.toggle(index);
    else
        fModel.select_only(index);
    redraw_changed(first, before);
    if (clicks >= 2 && !(mods & (B_SHIFT_KEY | B_CONTROL_KEY)))
        open_glyph(index);
}

void overview_grid::move_cursor(int index, bool extend) {
    if (fModel.count() == 0)
        return;
    index = std::clamp(index, 0, fModel.count() - 1);
    int first, last;
    visible_range(&first, &last);
    std::vector<look> before = visible_looks();
    if (extend)
        fModel.select_range(index);
    else
        fModel.select_only(index);
    show_index(index);
    int nfirst, nlast;
    visible_range(&nfirst, &nlast);
    // Scrolling redraws everything anyway.
    if (nfirst == first)
        redraw_changed(first, before);
}

void overview_grid::open_glyph(int index) {
    if (index >= 0 && index < fModel.count())
        fHost->show_glyph(fModel.glyph_at(index));
}

void overview_grid::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes <= 0 || fModel.count() == 0) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
    int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
    int32 key = message ? message->GetInt32("key", 0) : 0;
    const bool shift = mods & B_SHIFT_KEY;
    const int cols = columns();
    const int cursor = std::max(0, fModel.cursor());
    float py = fGeometry.height + gap;
    int page = std::max(1, (int)((Bounds().Height() + 1) / py)) * cols;
    const unsigned char c = (unsigned char)bytes[0];
    // Ctrl+A: the letter, or the control code a terminal-style keyboard
    // makes of it (the Home key makes the same code without Control).
    if ((mods & B_CONTROL_KEY) && (c == 'a' || c == 'A' || (c == 1 && key != 0x20))) {
        int first, last;
        visible_range(&first, &last);
        std::vector<look> before = visible_looks();
        fModel.select_all();
        redraw_changed(first, before);
        return;
    }
    // Alt+C and Alt+V: the window copies the selected glyphs and pastes
    // onto them.
    if ((mods & B_COMMAND_KEY) && (c == 'c' || c == 'v')) {
        if (Window())
            Window()->PostMessage(c == 'c' ? B_COPY : B_PASTE);
        return;
    }
    switch (c) {
    case B_LEFT_ARROW:
        move_cursor(cursor - 1, shift);
        return;
    case B_RIGHT_ARROW:
        move_cursor(cursor + 1, shift);
        return;
    case B_UP_ARROW:
        move_cursor(cursor - cols >= 0 ? cursor - cols : cursor, shift);
        return;
    case B_DOWN_ARROW:
        move_cursor(cursor + cols < fModel.count() ? cursor + cols : cursor, shift);
        return;
    case B_PAGE_UP:
        move_cursor(cursor - page, shift);
        return;
    case B_PAGE_DOWN:
        move_cursor(cursor + page, shift);
        return;
    case B_HOME:
        move_cursor(0, shift);
        return;
    case B_END:
        move_cursor(fModel.count() - 1, shift);
        return;
    case B_ENTER:
        open_glyph(fModel.cursor());
        return;
    case '+':
    case '=':
    case '-': {
        BMessage size(OVERVIEW_SIZE);
        size.AddInt32("step", c == '-' ? -8 : 8);
        if (Window())
            Window()->PostMessage(&size);
        return;
    }
    default:
        BView::KeyDown(bytes, numBytes);
    }
}

void overview_grid::MakeFocus(bool focus) {
    bool was = IsFocus();
    BView::MakeFocus(focus);
    if (was != IsFocus() && fModel.cursor() >= 0)
        Invalidate(cell_rect(fModel.cursor()).InsetByCopy(-3, -3));
}

void overview_grid::MessageReceived(BMessage* message) {
    if (message->what == B_MOUSE_WHEEL_CHANGED) {
        float dy = 0;
        message->FindFloat("be:wheel_delta_y", &dy);
        if (dy != 0 && std::isfinite(dy)) {
            float step = fGeometry.height + gap;
            float y = Bounds().top + std::clamp(dy, -100.0f, 100.0f) * step;
            float limit = std::max(0.0f, data_height() - (Bounds().Height() + 1));
            y = std::clamp(y, 0.0f, limit);
            if (fBar)
                fBar->SetValue(y);
            else
                ScrollTo(0, y);
        }
        return;
    }
    BView::MessageReceived(message);
}
