#include "outline/shape.h"

#include "outline/block_list.h"

#include <algorithm>
#include <cfloat>
#include <memory>

namespace {

const BRect not_computed(0, 0, -1, -1);

float dist2(const BPoint& a, const BPoint& b) {
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// Extent of an inclusive rectangle along one axis: a difference of 0 or more
// counts one more pixel, a negative one (a flipped axis) one pixel less.
float extent(float from, float to) {
    float d = to - from;
    return d >= 0 ? d + 1 : d - 1;
}

thread_local block_list recycled(sizeof(shape));

// Points past the inline storage live in one block with their flags behind
// them. Blocks come in five sizes, 64 to 1024 points, each recycled up to
// about half a megabyte.
size_t block_bytes(int points) {
    return (size_t)points * (sizeof(BPoint) + 1);
}

block_list make_point_blocks(int points) {
    return block_list(block_bytes(points), std::max(16, (int)((512 * 1024) / block_bytes(points))));
}

struct point_block_lists {
    block_list by_size[5] = {make_point_blocks(64), make_point_blocks(128), make_point_blocks(256),
                             make_point_blocks(512), make_point_blocks(1024)};

    block_list& of(int points) {
        int k = 0;
        while (k < 4 && (64 << k) < points)
            k++;
        return by_size[k];
    }
};

thread_local point_block_lists point_blocks;

// The storage size that holds n points: a power of two from 64 on.
int block_size_for(int n) {
    int size = 64;
    while (size < n)
        size *= 2;
    return std::min(size, (int)shape::max_points);
}

// Two points at a time as one four-lane vector (x, y, x, y): bounds then
// take a few vector instructions per pair instead of a chain of scalar
// comparisons.
typedef float lanes __attribute__((vector_size(16)));

class running_box {
  public:
    explicit running_box(const BPoint& p) : fLow{p.x, p.y, p.x, p.y}, fHigh(fLow) {}
    void add(lanes v) {
        fLow = v < fLow ? v : fLow;
        fHigh = v > fHigh ? v : fHigh;
    }
    void add(const BPoint& p) { add(lanes{p.x, p.y, p.x, p.y}); }
    BRect rect() const {
        return BRect(std::min(fLow[0], fLow[2]), std::min(fLow[1], fLow[3]),
                     std::max(fHigh[0], fHigh[2]), std::max(fHigh[1], fHigh[3]));
    }

  private:
    lanes fLow, fHigh;
};

} // namespace

void* shape::operator new(size_t size) {
    return recycled.take(size);
}

void shape::operator delete(void* p, size_t size) {
    recycled.give(p, size);
}

shape::shape(int n) : shape(n, no_fill()) {
    filled = 0;
    fill_to(count);
}

shape::shape(int n, no_fill)
    : selected(0), point_selected(0), bounds(not_computed),
      count(std::max(0, std::min(n, max_points))), points(inline_points), flags(inline_flags),
      capacity(inline_capacity), filled(0) {
    reserve(count);
    filled = count;
}

shape* shape::unfilled(int n) {
    return new shape(n, no_fill());
}

shape::~shape() {
    if (points != inline_points)
        point_blocks.of(capacity).give(points, block_bytes(capacity));
}

void shape::grow(int n) {
    n = std::min(n, (int)max_points);
    if (n <= capacity)
        return;
    int grown = block_size_for(std::max(n, 2 * capacity));
    // Slots past `filled` get a value only when they come into use.
    void* block = point_blocks.of(grown).take(block_bytes(grown));
    BPoint* p = static_cast<BPoint*>(block);
    char* f = reinterpret_cast<char*>(p + grown);
    std::uninitialized_copy(points, points + filled, p);
    std::copy(flags, flags + filled, f);
    if (points != inline_points)
        point_blocks.of(capacity).give(points, block_bytes(capacity));
    points = p;
    flags = f;
    capacity = grown;
}

void shape::fill_to(int n) {
    n = std::min(n, (int)capacity);
    if (n <= filled)
        return;
    std::uninitialized_fill(points + filled, points + n, BPoint());
    std::fill(flags + filled, flags + n, 0);
    filled = n;
}

shape* shape::copy() const {
    shape* s = unfilled(count);
    std::copy(points, points + count, s->points);
    std::copy(flags, flags + count, s->flags);
    s->selected = selected;
    return s;
}

void shape::inspoint(const BPoint& offset) {
    if (!point_selected || selected < 1 || selected > count || count >= max_points)
        return;
    reserve(count + 1);
    fill_to(count + 1);
    int s = selected - 1;
    int prev = s == 0 ? count - 1 : s - 1;
    int next = s == count - 1 ? 0 : s + 1;
    const BPoint& S = points[s];
    BPoint X = S + offset;
    char flag = flags[s];

    int at = s;
    if (dist2(points[prev], S) + dist2(X, points[next]) <
        dist2(points[prev], X) + dist2(S, points[next])) {
        at = s + 1;
        selected++;
    }
    std::copy_backward(points + at, points + count, points + count + 1);
    std::copy_backward(flags + at, flags + count, flags + count + 1);
    points[at] = X;
    flags[at] = flag;
    count++;
    ctrlp2form();
    point_selected = 0;
}

bool shape::delpoint() {
    if (selected < 1 || selected > count)
        return false;
    count--;
    if (count <= 2)
        return true;
    int s = selected - 1;
    std::copy(points + s + 1, points + count + 1, points + s);
    std::copy(flags + s + 1, flags + count + 1, flags + s);
    ctrlp2form();
    return false;
}

void shape::tglpoint() {
    if (selected < 0) {
        for (int i = 0; i < count; i++)
            flags[i] ^= 1;
    } else if (selected > 0 && selected <= count) {
        flags[selected - 1] ^= 1;
    }
}

void shape::reverse() {
    if (selected >= 0)
        return;
    std::reverse(points, points + count);
    std::reverse(flags, flags + count);
}

void shape::move(const BPoint& delta) {
    if (selected == 0)
        return;
    if (selected < 0) {
        for (int i = 0; i < count; i++)
            points[i] += delta;
    } else if (selected <= count) {
        points[selected - 1] += delta;
    }
    ctrlp2form();
}

int shape::select_chk(const BPoint& p, float tol) {
    int result = 0;
    for (int i = 0; i < count; i++) {
        const BPoint& q = points[i];
        if (BRect(q.x - tol, q.y - tol, q.x + tol, q.y + tol).Contains(p))
            result = i + 1;
    }
    if (result > 0) {
        selected = result;
    } else if (bounds.Contains(p)) {
        result = -1;
        selected = -1;
    }
    point_selected = result > 0 ? 1 : 0;
    return result;
}

int shape::select_chk(const BRect& r) {
    int result = 0;
    if (r.Contains(bounds) || r.Intersects(bounds)) {
        selected = -1;
        result = -1;
    }
    point_selected = 0;
    return result;
}

void shape::set(const int& i, const BPoint& p, const char& flag) {
    if (i < 0 || i >= max_points)
        return;
    reserve(i + 1);
    fill_to(i + 1);
    points[i] = p;
    flags[i] = flag;
}

bool shape::get(const int& i, BPoint& p, char& flag) const {
    if (i < 0 || i >= count)
        return false;
    p = points[i];
    flag = flags[i];
    return true;
}

void shape::ctrlp2form() {
    if (count < 1) {
        bounds = not_computed;
        return;
    }
    running_box box(points[0]);
    int i = 1;
    for (; i + 1 < count; i += 2)
        box.add(lanes{points[i].x, points[i].y, points[i + 1].x, points[i + 1].y});
    if (i < count)
        box.add(points[i]);
    bounds = box.rect();
}

void shape::trans(const BRect& from, const BRect& to) {
    float sx = extent(to.left, to.right) / extent(from.left, from.right);
    float sy = extent(to.top, to.bottom) / extent(from.top, from.bottom);
    for (int i = 0; i < count; i++) {
        points[i].x = to.left + (points[i].x - from.left) * sx;
        points[i].y = to.top + (points[i].y - from.top) * sy;
    }
    ctrlp2form();
}

shape* shape::transcopy(short dx, short dy, short xscale, short scale01, short scale10,
                        short yscale) const {
    shape* s = unfilled(count);
    const BPoint* from = points;
    BPoint* to = s->points;
    if (xscale == 0x4000 && yscale == 0x4000 && scale01 == 0 && scale10 == 0) {
        // Most components are only moved.
        for (int i = 0; i < count; i++)
            to[i] = BPoint(from[i].x + dx, from[i].y + dy);
    } else {
        const float a = xscale / 16384.0f;
        const float b = scale01 / 16384.0f;
        const float c = scale10 / 16384.0f;
        const float d = yscale / 16384.0f;
        for (int i = 0; i < count; i++)
            to[i] = BPoint(dx + from[i].x * a + from[i].y * c, dy + from[i].x * b + from[i].y * d);
    }
    std::copy(flags, flags + count, s->flags);
    return s;
}

shape* shape::moved_copy(short dx, short dy) const {
    shape* s = unfilled(count);
    std::copy(flags, flags + count, s->flags);
    if (count < 1)
        return s;
    const lanes by = {(float)dx, (float)dy, (float)dx, (float)dy};
    BPoint* to = s->points;
    to[0] = BPoint(points[0].x + dx, points[0].y + dy);
    running_box box(to[0]);
    int i = 1;
    for (; i + 1 < count; i += 2) {
        lanes v = lanes{points[i].x, points[i].y, points[i + 1].x, points[i + 1].y} + by;
        to[i] = BPoint(v[0], v[1]);
        to[i + 1] = BPoint(v[2], v[3]);
        box.add(v);
    }
    if (i < count) {
        to[i] = BPoint(points[i].x + dx, points[i].y + dy);
        box.add(to[i]);
    }
    s->bounds = box.rect();
    return s;
}

bool shape::ispositive() const {
    if (count < 1)
        return false;
    int a = 0;
    for (int i = 1; i < count; i++) {
        if (points[i].y < points[a].y)
            a = i;
    }
    const BPoint& P = points[a == 0 ? count - 1 : a - 1];
    const BPoint& N = points[a == count - 1 ? 0 : a + 1];
    BPoint d1 = points[a] - P;
    BPoint d2 = N - points[a];
    if (d1.x >= 0 && d2.x >= 0)
        return true;
    if (d1.x <= 0 && d2.x <= 0)
        return false;
    return d1.y / d1.x > d2.y / d2.x;
}
