#include "outline/glyph.h"

#include "outline/block_list.h"
#include "outline/shape.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <type_traits>

namespace {

const BRect empty_union(FLT_MAX, FLT_MAX, -FLT_MAX, -FLT_MAX);

void unite(BRect& u, const BRect& r) {
    u.left = std::min(u.left, r.left);
    u.top = std::min(u.top, r.top);
    u.right = std::max(u.right, r.right);
    u.bottom = std::max(u.bottom, r.bottom);
}

// A component offset after a move: truncated toward zero and held in the
// 16 bits the file has, rather than wrapping into the opposite sign.
int16_t moved_offset(int16_t value, float delta) {
    float v = value + delta;
    if (std::isnan(v))
        return value;
    v = std::max(-32768.0f, std::min(32767.0f, v));
    return (int16_t)std::trunc(v);
}

thread_local block_list recycled(sizeof(glyph));

} // namespace

void* glyph::operator new(size_t size) {
    return recycled.take(size);
}

void glyph::operator delete(void* p, size_t size) {
    recycled.give(p, size);
}

glyph::glyph(unsigned short index)
    : depth(0), count(0), contours(first_slots), ncompo(0), compo(first_compos.g),
      compo_dx(first_compos.dx), compo_dy(first_compos.dy), compo_xscale(first_compos.xscale),
      compo_scale01(first_compos.scale01), compo_scale10(first_compos.scale10),
      compo_yscale(first_compos.yscale), compo_flags(first_compos.flags), index(index),
      slots(inline_slots), first_slots() {}

glyph::~glyph() {
    for (int k = ncompo - 1; k >= 0; k--) {
        delete compo[k];
        delete contours[count + k];
    }
    for (int i = count - 1; i >= 0; i--)
        delete contours[i];
    if (contours != first_slots)
        delete[] contours;
    delete[] compo_block;
}

void glyph::grow_compo() {
    const int32_t room = std::min(2 * compo_room, (int32_t)max_components);
    // Pointers first, then the 16-bit arrays: every array stays aligned.
    const size_t n = (size_t)room;
    unsigned char* block = new unsigned char[n * (sizeof(glyph*) + 8 * sizeof(uint16_t))];
    glyph** g = reinterpret_cast<glyph**>(block);
    uint16_t* words = reinterpret_cast<uint16_t*>(block + n * sizeof(glyph*));
    std::copy(compo, compo + ncompo, g);
    auto move = [&](auto*& column, int i) {
        auto* to = reinterpret_cast<std::remove_reference_t<decltype(*column)>*>(words + i * n);
        std::copy(column, column + ncompo, to);
        column = to;
    };
    move(compo_dx, 0);
    move(compo_dy, 1);
    move(compo_xscale, 2);
    move(compo_scale01, 3);
    move(compo_scale10, 4);
    move(compo_yscale, 5);
    move(compo_flags, 6);
    compo = g;
    delete[] compo_block;
    compo_block = block;
    compo_room = room;
}

void glyph::grow(int n) {
    n = std::min(n, (int)max_slots);
    if (n <= slots)
        return;
    int grown = std::max(n, std::min(std::max(2 * slots, 8), (int)max_slots));
    shape** bigger = new shape*[grown]();
    std::copy(contours, contours + slots, bigger);
    if (contours != first_slots)
        delete[] contours;
    contours = bigger;
    slots = grown;
}

bool glyph::append_outline(shape* s) {
    if (count >= max_contours)
        return false;
    reserve(count + ncompo + 1);
    for (int i = count + ncompo; i > count; i--)
        contours[i] = contours[i - 1];
    contours[count] = s;
    count++;
    return true;
}

void glyph::pack_outline(int survivors) {
    for (int k = 0; k < ncompo; k++)
        contours[survivors + k] = contours[count + k];
    for (int i = survivors + ncompo; i < count + ncompo; i++)
        contours[i] = nullptr;
    count = survivors;
}

int glyph::add_shape(shape* s) {
    if (!s)
        return 1;
    if (!append_outline(s)) {
        delete s;
        return 1;
    }
    return 0;
}

int glyph::add_compo(glyph* c, short dx, short dy, unsigned short xscale, unsigned short scale01,
                     unsigned short scale10, unsigned short yscale, uint16_t flags) {
    if (ncompo >= max_components)
        return 1;
    reserve(count + ncompo + 1);
    if (ncompo >= compo_room)
        grow_compo();
    const int k = ncompo;
    compo[k] = c;
    compo_dx[k] = dx;
    compo_dy[k] = dy;
    compo_xscale[k] = xscale;
    compo_scale01[k] = scale01;
    compo_scale10[k] = scale10;
    compo_yscale[k] = yscale;
    // The entry's form and its place in the list are worked out anew when
    // the glyph is stored; what the flags say about the component stays.
    compo_flags[k] = flags & (uint16_t)~glyf_flag::more_components;
    contours[count + k] = nullptr;
    ncompo++;
    return 0;
}

int glyph::del_compo(int k) {
    if (k < 0 || k >= ncompo)
        return 1;
    delete compo[k];
    // The component's rectangle goes with it, so the remaining rectangles
    // stay paired with their components and none is left outside the range.
    delete contours[count + k];
    for (int j = k; j + 1 < ncompo; j++) {
        compo[j] = compo[j + 1];
        compo_dx[j] = compo_dx[j + 1];
        compo_dy[j] = compo_dy[j + 1];
        compo_xscale[j] = compo_xscale[j + 1];
        compo_scale01[j] = compo_scale01[j + 1];
        compo_scale10[j] = compo_scale10[j + 1];
        compo_yscale[j] = compo_yscale[j + 1];
        compo_flags[j] = compo_flags[j + 1];
        contours[count + j] = contours[count + j + 1];
    }
    ncompo--;
    compo[ncompo] = nullptr;
    contours[count + ncompo] = nullptr;
    return 0;
}

namespace {

// Point n of the contours [first, last), or false when there is none.
bool point_of(shape* const* contours, int first, int last, uint32_t n, BPoint* p) {
    for (int i = first; i < last; i++) {
        const shape* s = contours[i];
        if (!s)
            continue;
        if (n < (uint32_t)s->count) {
            *p = s->points[n];
            return true;
        }
        n -= (uint32_t)s->count;
    }
    return false;
}

BPoint transformed(const BPoint& p, uint16_t xscale, uint16_t scale01, uint16_t scale10,
                   uint16_t yscale) {
    const float a = (int16_t)xscale / 16384.0f, b = (int16_t)scale01 / 16384.0f;
    const float c = (int16_t)scale10 / 16384.0f, d = (int16_t)yscale / 16384.0f;
    // As in shape::transcopy: scale01 takes x into y, scale10 y into x.
    return BPoint(p.x * a + p.y * c, p.x * b + p.y * d);
}

} // namespace

BPoint glyph::compo_offset(int k) const {
    if (k < 0 || k >= ncompo)
        return BPoint(0, 0);
    const uint16_t f = compo_flags[k];
    if (!compo_matched(k)) {
        BPoint at(compo_dx[k], compo_dy[k]);
        if ((f & glyf_flag::scaled_offset) && !(f & glyf_flag::unscaled_offset))
            at = transformed(at, compo_xscale[k], compo_scale01[k], compo_scale10[k],
                             compo_yscale[k]);
        return at;
    }
    const glyph* c = compo[k];
    BPoint mine, theirs;
    if (!c || !point_of(contours, 0, count, (uint16_t)compo_dx[k], &mine) ||
        !point_of(c->contours, 0, c->count, (uint16_t)compo_dy[k], &theirs))
        return BPoint(0, 0);
    BPoint moved =
        transformed(theirs, compo_xscale[k], compo_scale01[k], compo_scale10[k], compo_yscale[k]);
    return BPoint(mine.x - moved.x, mine.y - moved.y);
}

void glyph::outline_points(std::vector<BPoint>* out) const {
    if (ncompo == 0) {
        for (int i = 0; i < count; i++) {
            if (contours[i])
                out->insert(out->end(), contours[i]->points,
                            contours[i]->points + contours[i]->count);
        }
        return;
    }
    const size_t base = out->size();
    std::vector<BPoint> part;
    for (int k = 0; k < ncompo; k++) {
        if (!compo[k])
            continue;
        part.clear();
        compo[k]->outline_points(&part);
        for (BPoint& p : part)
            p = transformed(p, compo_xscale[k], compo_scale01[k], compo_scale10[k],
                            compo_yscale[k]);
        BPoint at(0, 0);
        if (!compo_matched(k)) {
            at = compo_offset(k);
        } else {
            const uint32_t mine = base + (uint16_t)compo_dx[k], theirs = (uint16_t)compo_dy[k];
            if (mine < out->size() && theirs < part.size())
                at = BPoint((*out)[mine].x - part[theirs].x, (*out)[mine].y - part[theirs].y);
        }
        at = BPoint(std::floor(at.x + 0.5f), std::floor(at.y + 0.5f));
        for (const BPoint& p : part)
            out->push_back(BPoint(p.x + at.x, p.y + at.y));
    }
}

void glyph::clr_composhape() {
    for (int i = 0; i < count + ncompo; i++) {
        delete contours[i];
        contours[i] = nullptr;
    }
    count = 0;
}

void glyph::create_composhape() {
    // Rectangles left from an earlier build are replaced, not leaked.
    for (int k = 0; k < ncompo; k++) {
        delete contours[count + k];
        contours[count + k] = nullptr;
    }
    int needed = count + ncompo;
    for (int k = 0; k < ncompo; k++)
        needed += compo[k] ? compo[k]->count : 0;
    reserve(needed);
    // Each component's rectangle, known once its contours are placed and
    // put behind the whole outline afterwards. Most glyphs have a few
    // components: their rectangles need no allocation.
    BRect inline_boxes[inline_compos];
    std::vector<BRect> more_boxes;
    BRect* box = inline_boxes;
    if (ncompo > inline_compos) {
        more_boxes.resize((size_t)ncompo);
        box = more_boxes.data();
    }
    for (int k = 0; k < ncompo; k++) {
        // Before this component's contours are added: a matched point lies
        // in the outline so far. Offsets are whole units unless scaled or
        // matched through a transform; those are rounded, as the file's
        // readers place them.
        short dx = compo_dx[k], dy = compo_dy[k];
        if (compo_matched(k) || (compo_flags[k] & glyf_flag::scaled_offset)) {
            const BPoint at = compo_offset(k);
            dx = (short)std::floor(std::max(-32768.0f, std::min(32767.0f, at.x)) + 0.5f);
            dy = (short)std::floor(std::max(-32768.0f, std::min(32767.0f, at.y)) + 0.5f);
        }
        // A component without outline gets a one-point rectangle at its
        // offset, so that it can still be picked and moved.
        box[k] = BRect(dx, dy, dx, dy);
        const glyph* c = compo[k];
        if (!c)
            continue;
        const bool moved_only = compo_xscale[k] == 0x4000 && compo_yscale[k] == 0x4000 &&
                                compo_scale01[k] == 0 && compo_scale10[k] == 0;
        BRect u = empty_union;
        for (int j = 0; j < c->count && count < max_contours; j++) {
            if (!c->contours[j])
                continue;
            shape* s;
            if (moved_only) {
                s = c->contours[j]->moved_copy(dx, dy);
            } else {
                s = c->contours[j]->transcopy(dx, dy, compo_xscale[k], compo_scale01[k],
                                              compo_scale10[k], compo_yscale[k]);
                s->ctrlp2form();
            }
            contours[count++] = s;
            unite(u, s->bounds);
        }
        if (u.left <= u.right)
            box[k] = u;
    }
    for (int k = 0; k < ncompo; k++) {
        const BRect& u = box[k];
        shape* r = new shape(4);
        r->points[0] = BPoint(u.left, u.top);
        r->points[1] = BPoint(u.right, u.top);
        r->points[2] = BPoint(u.right, u.bottom);
        r->points[3] = BPoint(u.left, u.bottom);
        contours[count + k] = r;
    }
}

BRect glyph::bounds() const {
    BRect u = empty_union;
    for (int i = 0; i < count; i++) {
        if (contours[i])
            unite(u, contours[i]->bounds);
    }
    return u;
}

void glyph::trans(const BRect& from, const BRect& to) {
    for (int i = 0; i < count + ncompo; i++) {
        if (contours[i])
            contours[i]->trans(from, to);
    }
}

void glyph::sel_none() {
    for (int i = 0; i < count + ncompo; i++) {
        if (contours[i])
            contours[i]->selected = 0;
    }
}

void glyph::sel_first() {
    int lo = range_lo(), hi = range_hi();
    for (int i = lo; i < hi; i++) {
        if (contours[i])
            contours[i]->selected = i == lo ? -1 : 0;
    }
}

void glyph::sel_last() {
    int lo = range_lo(), hi = range_hi();
    for (int i = lo; i < hi; i++) {
        if (contours[i])
            contours[i]->selected = i == hi - 1 ? -1 : 0;
    }
}

void glyph::sel_back() {
    int lo = range_lo(), hi = range_hi();
    if (lo >= hi)
        return;
    int b = hi;
    for (int i = lo; i < hi; i++) {
        if (contours[i] && contours[i]->selected != 0) {
            b = i;
            contours[i]->selected = 0;
        }
    }
    b++;
    if (b >= hi)
        b = lo;
    if (contours[b])
        contours[b]->selected = -1;
}

void glyph::sel_next() {
    int lo = range_lo(), hi = range_hi();
    if (lo >= hi)
        return;
    int a = -1;
    for (int i = lo; i < hi; i++) {
        if (contours[i] && contours[i]->selected != 0) {
            if (a < 0)
                a = i;
            contours[i]->selected = 0;
        }
    }
    if (a < 0)
        a = 0;
    a--;
    if (a < lo)
        a = hi - 1;
    if (contours[a])
        contours[a]->selected = -1;
}

void glyph::sel_check() {
    for (int i = range_lo(); i < range_hi(); i++) {
        if (contours[i] && contours[i]->selected > 0)
            contours[i]->selected = -1;
    }
}

bool glyph::sel_check(const BRect& r) {
    bool any = false;
    for (int i = range_lo(); i < range_hi(); i++) {
        shape* s = contours[i];
        if (!s || s->selected != 0)
            continue;
        if (s->select_chk(r) != 0)
            any = true;
    }
    return any;
}

int glyph::sel_check(const BPoint& p, float tol) {
    int whole = 0, point = 0;
    for (int i = range_lo(); i < range_hi(); i++) {
        shape* s = contours[i];
        if (!s || s->selected == 0)
            continue;
        int r = s->select_chk(p, tol);
        if (r < 0)
            whole = 1;
        else if (r > 0)
            point = 1;
    }
    if (ncompo > 0)
        return whole || point ? 1 : 0;
    return whole | (point << 1);
}

void glyph::move_sel(const BPoint& delta) {
    if (ncompo > 0) {
        for (int k = 0; k < ncompo; k++) {
            shape* r = contours[count + k];
            // A point-matched component sits where its points meet; its
            // arguments are point numbers, which a drag must not change.
            if (!r || r->selected == 0 || compo_matched(k))
                continue;
            // The editor's y axis points down, font units point up.
            compo_dx[k] = moved_offset(compo_dx[k], delta.x);
            compo_dy[k] = moved_offset(compo_dy[k], -delta.y);
            r->move(delta);
        }
        return;
    }
    for (int i = 0; i < count; i++) {
        if (contours[i])
            contours[i]->move(delta);
    }
}

void glyph::copy_sel(const BPoint& offset) {
    int n = count;
    for (int i = 0; i < n; i++) {
        shape* s = contours[i];
        if (!s)
            continue;
        if (s->selected < 0) {
            if (add_shape(s->copy()) == 0)
                s->selected = 0;
        } else if (s->selected > 0) {
            s->inspoint(offset);
        }
    }
}

void glyph::del_sel() {
    int kept = 0;
    for (int i = 0; i < count; i++) {
        shape* s = contours[i];
        bool keep = s != nullptr;
        if (s && s->selected > 0)
            keep = !s->delpoint();
        else if (s && s->selected < 0)
            keep = false;
        if (keep) {
            contours[kept++] = s;
        } else {
            delete s;
        }
    }
    pack_outline(kept);
}

void glyph::rev_sel() {
    for (int i = 0; i < count; i++) {
        if (contours[i])
            contours[i]->reverse();
    }
}

void glyph::tgl_sel() {
    for (int i = 0; i < count; i++) {
        if (contours[i])
            contours[i]->tglpoint();
    }
}

void glyph::stable_partition(bool selected_first) {
    shape* order[max_contours];
    int n = 0;
    for (int pass = 0; pass < 2; pass++) {
        bool want_selected = (pass == 0) == selected_first;
        for (int i = 0; i < count; i++) {
            bool sel = contours[i] && contours[i]->selected != 0;
            if (sel == want_selected)
                order[n++] = contours[i];
        }
    }
    std::copy(order, order + n, contours);
}

void glyph::sel_to_top() {
    stable_partition(false);
}

void glyph::sel_to_bot() {
    stable_partition(true);
}
