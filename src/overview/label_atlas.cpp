#include "overview/label_atlas.h"

#include <Bitmap.h>
#include <View.h>

#include <algorithm>
#include <cstring>

namespace {

// What the labels hold: hexadecimal digits in both cases, "U" and "+".
const char chars[] = "0123456789abcdefABCDEFU+";
const int nchars = sizeof chars - 1;

int index_of(char c) {
    const char* at = (const char*)std::memchr(chars, c, nchars);
    return c && at ? (int)(at - chars) : -1;
}

// The kit's text blending: the ink over what is there by the coverage.
uint32_t blend(uint32_t dst, uint32_t src, int alpha) {
    uint32_t out = 0xff000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
        out |= (uint32_t)((d * (255 - alpha) + s * alpha + 127) / 255) << shift;
    }
    return out;
}

} // namespace

void label_atlas::make(float size) {
    if (made_for(size))
        return;
    fSize = 0;
    fMarks.assign(nchars, mark());
    // Room for any character: the pen at a third of the width, the
    // baseline at two thirds of the height.
    const int w = (int)(4 * size) + 8, h = (int)(3 * size) + 8;
    const int penx = w / 3, peny = 2 * h / 3;
    BBitmap canvas(BRect(0, 0, w - 1, h - 1), B_BITMAP_ACCEPTS_VIEWS, B_RGB32);
    if (!canvas.IsValid())
        return;
    BView* view = new BView(canvas.Bounds(), "label", B_FOLLOW_NONE, B_WILL_DRAW);
    canvas.AddChild(view);
    canvas.Lock();
    view->SetFontSize(size);
    for (int i = 0; i < nchars; i++) {
        const char text[2] = {chars[i], 0};
        view->SetHighColor(255, 255, 255);
        view->FillRect(view->Bounds());
        view->SetHighColor(0, 0, 0);
        view->DrawString(text, BPoint(penx, peny));
        mark& m = fMarks[(size_t)i];
        m.advance = (int)(view->StringWidth(text) + 0.5f);
        // Black drawn on white leaves 255 less the coverage.
        const uint32_t* bits = (const uint32_t*)canvas.Bits();
        int x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                if ((bits[(size_t)y * w + x] & 0xFF00) != 0xFF00) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
            }
        }
        if (x1 < 0)
            continue;
        m.left = x0 - penx;
        m.top = y0 - peny;
        m.width = x1 - x0 + 1;
        m.height = y1 - y0 + 1;
        m.cover.resize((size_t)m.width * m.height);
        for (int y = 0; y < m.height; y++)
            for (int x = 0; x < m.width; x++)
                m.cover[(size_t)y * m.width + x] =
                    (uint8_t)(255 - ((bits[(size_t)(y0 + y) * w + x0 + x] >> 8) & 0xFF));
    }
    canvas.Unlock();
    fSize = size;
}

const label_atlas::mark* label_atlas::find(char c) const {
    int i = index_of(c);
    return i >= 0 && (size_t)i < fMarks.size() ? &fMarks[(size_t)i] : nullptr;
}

bool label_atlas::has(const std::string& text) const {
    for (char c : text)
        if (!find(c))
            return false;
    return fSize > 0;
}

void label_atlas::set(uint32_t* pixels, int width, int height, int x, int y,
                      const std::string& text, rgb_color ink) const {
    if (fSize <= 0 || width <= 0 || height <= 0)
        return;
    // The characters' coverage is added up first and blended once, as the
    // kit draws a string (where two characters' edges share a pixel).
    int left = 0, right = 0, top = 0, bottom = 0, pen = 0;
    for (char c : text) {
        if (const mark* m = find(c)) {
            left = std::min(left, pen + m->left);
            right = std::max(right, pen + m->left + m->width);
            top = std::min(top, m->top);
            bottom = std::max(bottom, m->top + m->height);
            pen += m->advance;
        }
    }
    const int cols = right - left, rows = bottom - top;
    if (cols <= 0 || rows <= 0)
        return;
    thread_local std::vector<uint8_t> cover;
    cover.assign((size_t)cols * rows, 0);
    pen = 0;
    for (char c : text) {
        const mark* m = find(c);
        if (!m)
            continue;
        for (int my = 0; my < m->height; my++) {
            int row = m->top + my - top;
            for (int mx = 0; mx < m->width; mx++) {
                int a = m->cover[(size_t)my * m->width + mx];
                uint8_t& to = cover[(size_t)row * cols + pen + m->left + mx - left];
                to = (uint8_t)std::min(255, to + a);
            }
        }
        pen += m->advance;
    }
    const uint32_t hi = 0xff000000u | (uint32_t)ink.red << 16 | (uint32_t)ink.green << 8 | ink.blue;
    for (int r = 0; r < rows; r++) {
        int py = y + top + r;
        if (py < 0 || py >= height)
            continue;
        for (int c = 0; c < cols; c++) {
            int px = x + left + c;
            int a = cover[(size_t)r * cols + c];
            if (a && px >= 0 && px < width)
                pixels[(size_t)py * width + px] = blend(pixels[(size_t)py * width + px], hi, a);
        }
    }
}
