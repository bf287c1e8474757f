#include "editor/canvas_history.h"

#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <algorithm>
#include <utility>

bool canvas_state::component::operator==(const component& o) const {
    return index == o.index && dx == o.dx && dy == o.dy && xscale == o.xscale &&
           scale01 == o.scale01 && scale10 == o.scale10 && yscale == o.yscale && flags == o.flags;
}

bool canvas_state::operator==(const canvas_state& o) const {
    return outline == o.outline && ends == o.ends && points == o.points && flags == o.flags &&
           empty_slots == o.empty_slots && components == o.components &&
           instructions == o.instructions && lossy == o.lossy && unstorable == o.unstorable &&
           notice == o.notice && reshaped == o.reshaped;
}

size_t canvas_state::bytes() const {
    return sizeof(canvas_state) + ends.capacity() * sizeof(uint32_t) +
           points.capacity() * sizeof(BPoint) + flags.capacity() +
           empty_slots.capacity() * sizeof(uint32_t) + components.capacity() * sizeof(component) +
           instructions.capacity() + unstorable.capacity() + notice.capacity();
}

canvas_state canvas_state::of(const glyph& g, const std::string& unstorable,
                              const std::string& notice) {
    canvas_state s;
    const int slots = g.count + g.ncompo;
    size_t total = 0;
    for (int i = 0; i < slots; i++)
        total += g.contours[i] ? (size_t)g.contours[i]->count : 0;
    s.ends.reserve((size_t)slots);
    s.points.reserve(total);
    s.flags.reserve(total);
    for (int i = 0; i < slots; i++) {
        const shape* c = g.contours[i];
        if (!c)
            s.empty_slots.push_back((uint32_t)i);
        else {
            s.points.insert(s.points.end(), c->points, c->points + c->count);
            s.flags.insert(s.flags.end(), c->flags, c->flags + c->count);
        }
        s.ends.push_back((uint32_t)s.points.size());
    }
    s.outline = g.count;
    s.components.reserve((size_t)g.ncompo);
    for (int k = 0; k < g.ncompo; k++)
        s.components.push_back({g.compo[k] ? g.compo[k]->index : (uint16_t)0xFFFF, g.compo_dx[k],
                                g.compo_dy[k], g.compo_xscale[k], g.compo_scale01[k],
                                g.compo_scale10[k], g.compo_yscale[k], g.compo_flags[k]});
    s.instructions = g.instructions;
    s.lossy = g.lossy;
    s.unstorable = unstorable;
    s.notice = notice;
    return s;
}

glyph* canvas_state::make(uint16_t index, ttf* font) const {
    glyph* g = new glyph(index);
    g->reserve((int)ends.size());
    for (const component& c : components) {
        glyph* part = nullptr;
        if (c.index != 0xFFFF && font) {
            part = new glyph(c.index);
            part->depth = 1;
            if (font->get_glyph(c.index, part) != 0) {
                delete part;
                part = nullptr;
            }
        }
        if (!part)
            g->lossy |= glyph::lost_component;
        g->add_compo(part, c.dx, c.dy, c.xscale, c.scale01, c.scale10, c.yscale, c.flags);
    }
    // Outline contours go in front of the component rectangles; the
    // rectangles then take the slots behind them.
    auto contour = [&](size_t i) -> shape* {
        if (std::binary_search(empty_slots.begin(), empty_slots.end(), (uint32_t)i))
            return nullptr;
        uint32_t from = i == 0 ? 0 : ends[i - 1];
        shape* s = shape::unfilled((int)(ends[i] - from));
        std::copy(points.begin() + from, points.begin() + ends[i], s->points);
        std::copy(flags.begin() + from, flags.begin() + ends[i], s->flags);
        s->selected = 0;
        s->ctrlp2form();
        return s;
    };
    for (size_t i = 0; i < (size_t)outline && i < ends.size(); i++) {
        if (shape* s = contour(i))
            g->add_shape(s);
    }
    for (size_t k = 0; k < components.size() && (size_t)outline + k < ends.size(); k++)
        g->contours[g->count + (int)k] = contour((size_t)outline + k);
    g->instructions = instructions;
    g->lossy |= lossy;
    return g;
}

template <class State> void step_history<State>::begin(State before) {
    if (!started)
        started = std::move(before);
}

template <class State> bool step_history<State>::end(const std::string& name, const State& after) {
    if (!started)
        return false;
    State before = std::move(*started);
    started.reset();
    if (before == after)
        return false;
    for (const step& s : redos)
        kept -= s.state.bytes();
    redos.clear();
    kept += before.bytes();
    undos.push_back({name, std::move(before)});
    trim();
    return true;
}

template <class State> std::optional<State> step_history<State>::take_pending() {
    std::optional<State> s = std::move(started);
    started.reset();
    return s;
}

template <class State> State step_history<State>::undo(State now) {
    step last = std::move(undos.back());
    undos.pop_back();
    kept -= last.state.bytes();
    kept += now.bytes();
    redos.push_back({last.name, std::move(now)});
    trim();
    return std::move(last.state);
}

template <class State> State step_history<State>::redo(State now) {
    step last = std::move(redos.back());
    redos.pop_back();
    kept -= last.state.bytes();
    kept += now.bytes();
    undos.push_back({last.name, std::move(now)});
    trim();
    return std::move(last.state);
}

template <class State> void step_history<State>::clear() {
    undos.clear();
    redos.clear();
    started.reset();
    kept = 0;
}

template <class State> void step_history<State>::trim() {
    // The oldest undo steps go first, then the redo steps furthest from
    // what is shown. The step next to it either way always stays, so a
    // single glyph larger than the bound can still be taken back.
    while (undos.size() + redos.size() > max_steps || kept > max_bytes) {
        if (undos.size() > 1) {
            kept -= undos.front().state.bytes();
            undos.erase(undos.begin());
        } else if (redos.size() > 1) {
            kept -= redos.front().state.bytes();
            redos.erase(redos.begin());
        } else {
            break;
        }
    }
}

template class step_history<canvas_state>;
template class step_history<bitmap_state>;
