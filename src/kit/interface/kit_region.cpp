#include "kit_painter.h"

#include <algorithm>

namespace kit {

pixel_rect pixel_rect::intersect(const pixel_rect& other) const {
    return pixel_rect{std::max(left, other.left), std::max(top, other.top),
                      std::min(right, other.right), std::min(bottom, other.bottom)};
}

pixel_rect pixel_rect::unite(const pixel_rect& other) const {
    if (empty())
        return other;
    if (other.empty())
        return *this;
    return pixel_rect{std::min(left, other.left), std::min(top, other.top),
                      std::max(right, other.right), std::max(bottom, other.bottom)};
}

pixel_region::pixel_region(const pixel_rect& rect) {
    include(rect);
}

pixel_rect pixel_region::bounds() const {
    pixel_rect all;
    for (const pixel_rect& r : fRects)
        all = all.unite(r);
    return all;
}

void pixel_region::include(const pixel_rect& rect) {
    if (rect.empty())
        return;
    // Keep the rectangles disjoint: add only the parts not yet covered.
    std::vector<pixel_rect> pieces{rect};
    for (const pixel_rect& have : fRects) {
        std::vector<pixel_rect> next;
        for (const pixel_rect& piece : pieces) {
            pixel_region rest;
            rest.fRects.push_back(piece);
            rest.exclude(have);
            next.insert(next.end(), rest.fRects.begin(), rest.fRects.end());
        }
        pieces.swap(next);
        if (pieces.empty())
            return;
    }
    fRects.insert(fRects.end(), pieces.begin(), pieces.end());
}

void pixel_region::exclude(const pixel_rect& cut) {
    if (cut.empty())
        return;
    std::vector<pixel_rect> out;
    for (const pixel_rect& r : fRects) {
        pixel_rect overlap = r.intersect(cut);
        if (overlap.empty()) {
            out.push_back(r);
            continue;
        }
        // Up to four pieces around the cut: above, below, left, right.
        if (r.top < overlap.top)
            out.push_back(pixel_rect{r.left, r.top, r.right, overlap.top - 1});
        if (overlap.bottom < r.bottom)
            out.push_back(pixel_rect{r.left, overlap.bottom + 1, r.right, r.bottom});
        if (r.left < overlap.left)
            out.push_back(pixel_rect{r.left, overlap.top, overlap.left - 1, overlap.bottom});
        if (overlap.right < r.right)
            out.push_back(pixel_rect{overlap.right + 1, overlap.top, r.right, overlap.bottom});
    }
    fRects.swap(out);
}

void pixel_region::intersect(const pixel_rect& rect) {
    std::vector<pixel_rect> out;
    for (const pixel_rect& r : fRects) {
        pixel_rect overlap = r.intersect(rect);
        if (!overlap.empty())
            out.push_back(overlap);
    }
    fRects.swap(out);
}

void pixel_region::intersect(const pixel_region& other) {
    std::vector<pixel_rect> out;
    for (const pixel_rect& r : fRects) {
        for (const pixel_rect& o : other.fRects) {
            pixel_rect overlap = r.intersect(o);
            if (!overlap.empty())
                out.push_back(overlap);
        }
    }
    fRects.swap(out);
}

bool pixel_region::intersects(const pixel_rect& rect) const {
    for (const pixel_rect& r : fRects) {
        if (!r.intersect(rect).empty())
            return true;
    }
    return false;
}

void surface::allocate(int32 w, int32 h, uint32 fill) {
    width = std::max<int32>(w, 0);
    height = std::max<int32>(h, 0);
    stride = width;
    storage.assign((size_t)width * height, fill);
    pixels = storage.data();
}

} // namespace kit
