// Free-hand stroke to contours: painting the raster and tracing it.
#include "outline/free_trace.h"

#include "outline/shape.h"

#include <Bitmap.h>
#include <View.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace free_trace {

namespace {

// Pen width in pixels of a raster with the given unit: psize/2 (integer
// division) at unit 2.
float pen_pixels(unsigned char psize, int32_t unit) {
    return (float)(psize / 2) * 2.0f / (float)unit;
}

// The raster that covers [minx, maxx] × [miny, maxy] (canvas units) plus
// `reach` pixels on every side, or an empty one when it has too many pixels.
raster covering(double minx, double miny, double maxx, double maxy, double reach, int32_t unit) {
    double left = std::floor(minx / unit - reach);
    double top = std::floor(miny / unit - reach);
    double right = std::ceil(maxx / unit + reach);
    double bottom = std::ceil(maxy / unit + reach);
    double width = right - left + 1, height = bottom - top + 1;
    raster r;
    r.unit = unit;
    if (width * height > (double)max_pixels || std::fabs(left) > 1e9 || std::fabs(top) > 1e9)
        return r;
    r.left = (int32_t)left;
    r.top = (int32_t)top;
    r.width = (int32_t)width;
    r.height = (int32_t)height;
    return r;
}

} // namespace

raster canvas_raster(const BRect& canvas) {
    raster r;
    double width = std::trunc(((double)canvas.right + 1) * 0.5);
    double height = std::trunc(((double)canvas.bottom + 1) * 0.5);
    if (!(width >= 1 && height >= 1 && width * height <= (double)max_pixels))
        return r;
    r.width = (int32_t)width;
    r.height = (int32_t)height;
    return r;
}

raster stroke_raster(const BPoint* points, int count, unsigned char psize) {
    if (!points || count < 1)
        return raster{};
    double minx = points[0].x, maxx = minx, miny = points[0].y, maxy = miny;
    for (int i = 0; i < count; i++) {
        const BPoint& p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return raster{};
        minx = std::min(minx, (double)p.x);
        maxx = std::max(maxx, (double)p.x);
        miny = std::min(miny, (double)p.y);
        maxy = std::max(maxy, (double)p.y);
    }
    // Round caps reach half the pen beyond the points (a pen of 0 is one
    // pixel wide); two more pixels keep the painted area off the edge.
    for (int32_t unit = 2; unit <= (1 << 24); unit *= 2) {
        double reach = std::max(pen_pixels(psize, unit), 1.0f) / 2 + 2;
        raster r = covering(minx, miny, maxx, maxy, reach, unit);
        if (!r.empty())
            return r;
    }
    return raster{};
}

std::vector<unsigned char> paint(const BPoint* points, int count, unsigned char psize,
                                 const raster& area) {
    std::vector<unsigned char> cells;
    if (area.empty() || !points || count < 1)
        return cells;
    const int32_t W = area.width, H = area.height;
    BRect frame(0, 0, W - 1, H - 1);
    BBitmap bitmap(frame, B_RGB32, true);
    if (!bitmap.IsValid())
        return cells;

    BView* view = new BView(frame, "obj_free", 0, 0);
    view->SetHighColor(255, 255, 255, 255);
    view->SetLowColor(0, 0, 0, 255);
    view->SetPenSize(pen_pixels(psize, area.unit));
    view->SetLineMode(B_ROUND_CAP, B_ROUND_JOIN, 10);
    bitmap.Lock();
    bitmap.AddChild(view);
    // Canvas units to raster pixels. Subtracting the whole-pixel origin after
    // scaling keeps every coordinate exactly where a raster of the whole
    // canvas would have it, shifted by whole pixels.
    const float scale = 1.0f / (float)area.unit;
    auto at = [&](const BPoint& p) {
        return BPoint(p.x * scale - (float)area.left, p.y * scale - (float)area.top);
    };
    view->FillRect(view->Bounds(), B_SOLID_LOW);
    view->MovePenTo(at(points[0]));
    for (int i = 1; i < count; i++)
        view->StrokeLine(at(points[i]), B_SOLID_HIGH);
    view->Sync();
    bitmap.RemoveChild(view);
    bitmap.Unlock();
    delete view;

    // A pixel is painted when blue + green + red exceeds 384.
    cells.assign((size_t)(W + 2) * (H + 2), 0);
    const unsigned char* bits = (const unsigned char*)bitmap.Bits();
    const int32_t stride = bitmap.BytesPerRow();
    for (int32_t y = 0; y < H; y++) {
        const unsigned char* row = bits + (size_t)y * stride;
        unsigned char* cell = &cells[(size_t)(y + 1) * (W + 2) + 1];
        for (int32_t x = 0; x < W; x++) {
            const unsigned char* px = row + 4 * x;
            cell[x] = (px[0] + px[1] + px[2]) > 384 ? 1 : 0;
        }
    }
    return cells;
}

int step(int n) {
    int d = n / 100;
    if (d == 0)
        return std::max(n / 3, 1);
    return d < 20 ? 20 : d;
}

void trace(const std::vector<unsigned char>& cells, const raster& area, int max_contours,
           std::vector<shape*>& out) {
    const int64_t W = area.width, H = area.height;
    if (area.empty() || cells.size() != (size_t)((W + 2) * (H + 2)))
        return;
    const auto cell = [&](int64_t x, int64_t y) { return cells[(size_t)(y * (W + 2) + x)]; };

    // The edge grid: row r (0 ... H) of stride S holds first the vertical
    // edges between cell columns j and j + 1 of cell row r (j = 0 ... W,
    // r >= 1), then at W + 2 + x the horizontal edge between cell rows r and
    // r + 1 in cell column x + 1. 1 marks a boundary edge not yet traced.
    const int64_t S = 2 * W + 3;
    const size_t size = (size_t)(2 * W * H + 3 * W + 3 * H + 4);
    std::vector<unsigned char> edges(size, 0);
    for (int64_t r = 0; r <= H; r++) {
        for (int64_t x = 0; x < W; x++)
            edges[r * S + W + 2 + x] = cell(x + 1, r) ^ cell(x + 1, r + 1);
        if (r >= 1)
            for (int64_t j = 0; j <= W; j++)
                edges[r * S + j] = cell(j, r) ^ cell(j + 1, r);
    }

    // Steps between edges by direction code d, and for each group d / 3 the
    // codes to try: left turn, straight on, right turn (y-down screen).
    // Groups: along horizontal edges towards +x, towards -x, along vertical
    // edges towards +y, towards -y.
    const int64_t T[12] = {-W - 1, 1,         W + 2, W + 1,  -1,         -W - 2,
                           W + 2,  2 * W + 3, W + 1, -W - 2, -2 * W - 3, -W - 1};
    static const int N[12] = {11, 1, 6, 8, 4, 9, 2, 7, 3, 5, 10, 0};

    const float unit = (float)area.unit;
    const float ox = unit * (float)area.left, oy = unit * (float)area.top;
    // The midpoint of edge e met in direction d, in canvas units.
    const auto point = [&](int64_t e, int d) {
        int64_t q = e - W - 1;
        int64_t r = q / S;
        int64_t c = q - r * S;
        if (d <= 5)
            return BPoint(ox + unit * (float)(c - 1) + unit / 2, oy + unit * (float)r);
        return BPoint(ox + unit * (float)(c - W - 2), oy + unit * (float)r + unit / 2);
    };
    // The next edge of the boundary: the first of the three turns whose
    // edge holds `mark`, or -1 when the boundary is closed.
    const auto next = [&](int64_t e, int& d, unsigned char mark) -> int64_t {
        const int g = d / 3;
        for (int k = 0; k < 3; k++) {
            int t = N[3 * g + k];
            int64_t to = e + T[t];
            if (to >= 0 && to < (int64_t)size && edges[(size_t)to] == mark) {
                d = t;
                return to;
            }
        }
        return -1;
    };

    int made = 0;
    for (int64_t start = 0; start < (int64_t)size && made < max_contours; start++) {
        if (edges[(size_t)start] != 1)
            continue;
        // The painted area lies to the right of the direction of travel.
        int64_t q = start - W - 1;
        int64_t r = q / S;
        int64_t c = q - r * S;
        const int first = cell(c, r + 1) ? 1 : 4;

        // First walk: measure the boundary, marking its edges 2, so that the
        // thinned contour can be made without keeping every traced point.
        int64_t n = 0;
        int d = first;
        for (int64_t e = start; e >= 0; e = next(e, d, 1)) {
            edges[(size_t)e] = 2;
            n++;
        }
        // Second walk along the marked edges, the same way: keep every
        // D-th point, clear the edges.
        const int D = step((int)std::min<int64_t>(n, 1 << 30));
        const int kept = (int)((n + D - 1) / D);
        shape* s = new shape(kept);
        int64_t i = 0;
        d = first;
        for (int64_t e = start; e >= 0; e = next(e, d, 2)) {
            if (i % D == 0)
                s->set((int)(i / D), point(e, d), 1);
            edges[(size_t)e] = 0;
            i++;
        }
        s->ctrlp2form();
        out.push_back(s);
        made++;
    }
}

} // namespace free_trace
