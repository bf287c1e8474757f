#include "outline/glyph.h"

#include "outline/block_list.h"
#include "outline/shape.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

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
    : depth(0), count(0), contours(first_slots), ncompo(0), compo(), compo_dx(), compo_dy(),
      compo_xscale(), compo_scale01(), compo_scale10(), compo_yscale(), index(index),
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
}

void glyph::grow(int n) {
    n = std::min(n, (int)max_contours);
    if (n <= slots)
        return;
    int grown = std::max(n, std::min(std::max(2 * slots, 8), (int)max_contours));
    shape** bigger = new shape*[grown]();
    std::copy(contours, contours + slots, bigger);
    if (contours != first_slots)
        delete[] contours;
    contours = bigger;
    slots = grown;
}

bool glyph::append_outline(shape* s) {
    if (count + ncompo >= max_contours)
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
                     unsigned short scale10, unsigned short yscale) {
    if (ncompo >= max_components || count + ncompo >= max_contours)
        return 1;
    reserve(count + ncompo + 1);
    int k = ncompo;
    compo[k] = c;
    compo_dx[k] = dx;
    compo_dy[k] = dy;
    compo_xscale[k] = xscale;
    compo_scale01[k] = scale01;
    compo_scale10[k] = scale10;
    compo_yscale[k] = yscale;
    contours[count + k] = nullptr;
    ncompo++;
    return 0;
}

int glyph::del_compo(unsigned char k) {
    if (k >= ncompo)
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
        contours[count + j] = contours[count + j + 1];
    }
    ncompo--;
    compo[ncompo] = nullptr;
    contours[count + ncompo] = nullptr;
    return 0;
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
    int first[max_components + 1];
    int last[max_components + 1];
    for (int k = 0; k < ncompo; k++) {
        first[k] = last[k] = count;
        const glyph* c = compo[k];
        if (!c)
            continue;
        const bool moved_only = compo_xscale[k] == 0x4000 && compo_yscale[k] == 0x4000 &&
                                compo_scale01[k] == 0 && compo_scale10[k] == 0;
        for (int j = 0; j < c->count && count + ncompo < max_contours; j++) {
            if (!c->contours[j])
                continue;
            shape* s;
            if (moved_only) {
                s = c->contours[j]->moved_copy(compo_dx[k], compo_dy[k]);
            } else {
                s = c->contours[j]->transcopy(compo_dx[k], compo_dy[k], compo_xscale[k],
                                              compo_scale01[k], compo_scale10[k], compo_yscale[k]);
                s->ctrlp2form();
            }
            contours[count++] = s;
        }
        last[k] = count;
    }
    for (int k = 0; k < ncompo; k++) {
        BRect u = empty_union;
        for (int i = first[k]; i < last[k]; i++)
            unite(u, contours[i]->bounds);
        // A component without outline gets a one-point rectangle at its
        // offset, so that it can still be picked and moved.
        if (first[k] == last[k])
            u = BRect(compo_dx[k], compo_dy[k], compo_dx[k], compo_dy[k]);
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
            if (!r || r->selected == 0)
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
