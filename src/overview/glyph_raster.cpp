#include "overview/glyph_raster.h"

#include "font/glyf_components.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <algorithm>
#include <cmath>

namespace {

// Composites nest no deeper than the codec reads them; the bound only
// keeps a glyph built by hand from recursing without end.
const int max_depth = GLYF_MAX_COMPONENT_DEPTH + 2;
// A curve is cut into at most this many lines, however large it is drawn.
const int max_curve_steps = 256;

} // namespace

coverage_mask::coverage_mask(int width, int height)
    : fWidth(std::max(0, width)), fHeight(std::max(0, height)), fStride(fWidth + 2),
      fArea((size_t)fStride * fHeight + 2, 0.0f) {}

void coverage_mask::clear() {
    std::fill(fArea.begin(), fArea.end(), 0.0f);
    fOpen = false;
}

void coverage_mask::resolve(std::vector<uint8_t>* out) const {
    out->resize((size_t)fWidth * fHeight);
    uint8_t* to = out->data();
    for (int y = 0; y < fHeight; y++) {
        const float* row = &fArea[(size_t)y * fStride];
        float sum = 0;
        for (int x = 0; x < fWidth; x++) {
            sum += row[x];
            float c = std::min(1.0f, std::fabs(sum));
            *to++ = (uint8_t)(c * 255.0f + 0.5f);
        }
    }
}

void coverage_mask::move_to(double x, double y) {
    close();
    fStartX = fX = x;
    fStartY = fY = y;
    fOpen = true;
}

void coverage_mask::line_to(double x, double y) {
    edge(fX, fY, x, y);
    fX = x;
    fY = y;
}

void coverage_mask::quad_to(double cx, double cy, double x, double y) {
    double devx = fX - 2 * cx + x;
    double devy = fY - 2 * cy + y;
    double dev = devx * devx + devy * devy;
    if (!(dev >= 0.333)) {
        line_to(x, y);
        return;
    }
    int n = 1 + (int)std::floor(std::sqrt(std::sqrt(3 * std::min(dev, 1e12))));
    n = std::min(n, max_curve_steps);
    double px = fX, py = fY;
    for (int i = 1; i <= n; i++) {
        double t = (double)i / n;
        double a = (1 - t) * (1 - t), b = 2 * t * (1 - t), c = t * t;
        double qx = i == n ? x : a * px + b * cx + c * x;
        double qy = i == n ? y : a * py + b * cy + c * y;
        line_to(qx, qy);
    }
}

void coverage_mask::close() {
    if (fOpen && (fX != fStartX || fY != fStartY))
        edge(fX, fY, fStartX, fStartY);
    fOpen = false;
}

void coverage_mask::edge(double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    if (y0 == y1)
        return;
    if ((y0 < 0 && y1 < 0) || (y0 >= fHeight && y1 >= fHeight))
        return;
    // Split where the edge crosses the left and right borders; the parts
    // outside lie on the border, where they still cover the row's pixels
    // to their right (or none of them).
    double ts[4] = {0, 0, 0, 1};
    int n = 1;
    if (x0 != x1) {
        for (double border : {0.0, (double)fWidth}) {
            double t = (border - x0) / (x1 - x0);
            if (t > 0 && t < 1)
                ts[n++] = t;
        }
    }
    if (n == 3 && ts[2] < ts[1])
        std::swap(ts[1], ts[2]);
    ts[n] = 1;
    for (int i = 0; i < n; i++) {
        double ta = ts[i], tb = ts[i + 1];
        double ax = x0 + (x1 - x0) * ta, ay = y0 + (y1 - y0) * ta;
        double bx = x0 + (x1 - x0) * tb, by = y0 + (y1 - y0) * tb;
        if (i == n - 1) {
            bx = x1;
            by = y1;
        }
        double mid = (ax + bx) / 2;
        if (mid <= 0)
            ax = bx = 0;
        else if (mid >= fWidth)
            ax = bx = fWidth;
        row_edge(ax, ay, bx, by);
    }
}

void coverage_mask::row_edge(double x0, double y0, double x1, double y1) {
    if (y0 == y1)
        return;
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    const double dxdy = (x1 - x0) / (y1 - y0);
    double x = x0;
    if (y0 < 0)
        x -= y0 * dxdy;
    const int ystart = (int)std::max(0.0, std::floor(y0));
    const int yend = (int)std::min((double)fHeight, std::ceil(y1));
    const double w = fWidth;
    for (int y = ystart; y < yend; y++) {
        float* row = &fArea[(size_t)y * fStride];
        double dy = std::min((double)y + 1, y1) - std::max((double)y, y0);
        double xnext = x + dxdy * dy;
        float d = (float)(dy * dir);
        double xa = std::clamp(std::min(x, xnext), 0.0, w);
        double xb = std::clamp(std::max(x, xnext), 0.0, w);
        double xafloor = std::floor(xa);
        int xai = (int)xafloor;
        int xbi = (int)std::ceil(xb);
        if (xbi <= xai + 1) {
            float xmf = (float)(0.5 * (xa + xb) - xafloor);
            row[xai] += d - d * xmf;
            row[xai + 1] += d * xmf;
        } else {
            float s = (float)(1.0 / (xb - xa));
            float xaf = (float)(xa - xafloor);
            float a0 = 0.5f * s * (1 - xaf) * (1 - xaf);
            float xbf = (float)(xb - xbi + 1);
            float am = 0.5f * s * xbf * xbf;
            row[xai] += d * a0;
            if (xbi == xai + 2) {
                row[xai + 1] += d * (1 - a0 - am);
            } else {
                float a1 = s * (1.5f - xaf);
                row[xai + 1] += d * (a1 - a0);
                for (int xi = xai + 2; xi < xbi - 1; xi++)
                    row[xi] += d * s;
                float a2 = a1 + (float)(xbi - xai - 3) * s;
                row[xbi - 1] += d * (1 - a2 - am);
            }
            row[xbi] += d * am;
        }
        x = xnext;
    }
}

void coverage_mask::fill(const glyph& g, const raster_placement& at) {
    fill(g, affine{at.scale, 0, 0, -at.scale, at.x0, at.y0}, 0);
    close();
}

void coverage_mask::fill(const glyph& g, const affine& m, int depth) {
    if (depth > max_depth)
        return;
    if (g.ncompo == 0) {
        for (int i = 0; i < g.count; i++) {
            const shape* s = g.contours[i];
            if (!s || s->count <= 0)
                continue;
            const int n = s->count;
            auto px = [&](int k) { return m.dx + m.xx * s->points[k].x + m.xy * s->points[k].y; };
            auto py = [&](int k) { return m.dy + m.yx * s->points[k].x + m.yy * s->points[k].y; };
            auto on = [&](int k) { return (s->flags[k] & 1) == 0; };
            // Where the contour starts: an on-curve point, else the
            // midpoint its first and last control points imply.
            int first = 0, last = n - 1;
            double sx, sy;
            if (on(0)) {
                sx = px(0);
                sy = py(0);
                first = 1;
            } else if (on(n - 1)) {
                sx = px(n - 1);
                sy = py(n - 1);
                last = n - 2;
            } else {
                sx = (px(0) + px(n - 1)) / 2;
                sy = (py(0) + py(n - 1)) / 2;
            }
            move_to(sx, sy);
            bool pending = false;
            double cx = 0, cy = 0;
            for (int k = first; k <= last; k++) {
                double qx = px(k), qy = py(k);
                if (on(k)) {
                    if (pending)
                        quad_to(cx, cy, qx, qy);
                    else
                        line_to(qx, qy);
                    pending = false;
                } else {
                    if (pending)
                        quad_to(cx, cy, (cx + qx) / 2, (cy + qy) / 2);
                    cx = qx;
                    cy = qy;
                    pending = true;
                }
            }
            if (pending)
                quad_to(cx, cy, sx, sy);
            close();
        }
        return;
    }
    for (int k = 0; k < g.ncompo; k++) {
        const glyph* c = g.compo[k];
        if (!c)
            continue;
        // Offsets as the file's readers place them (see create_composhape).
        double dx = g.compo_dx[k], dy = g.compo_dy[k];
        if (g.compo_matched(k) || (g.compo_flags[k] & glyf_flag::scaled_offset)) {
            BPoint off = g.compo_offset(k);
            dx = std::floor(std::clamp((double)off.x, -32768.0, 32767.0) + 0.5);
            dy = std::floor(std::clamp((double)off.y, -32768.0, 32767.0) + 0.5);
        }
        double a = (int16_t)g.compo_xscale[k] / 16384.0, b = (int16_t)g.compo_scale01[k] / 16384.0;
        double cc = (int16_t)g.compo_scale10[k] / 16384.0, d = (int16_t)g.compo_yscale[k] / 16384.0;
        // The component's point p lands at (dx + a*x + b*y, dy + cc*x + d*y).
        affine t{m.xx * a + m.xy * cc, m.xx * b + m.xy * d,          m.yx * a + m.yy * cc,
                 m.yx * b + m.yy * d,  m.dx + m.xx * dx + m.xy * dy, m.dy + m.yx * dx + m.yy * dy};
        fill(*c, t, depth + 1);
    }
}
