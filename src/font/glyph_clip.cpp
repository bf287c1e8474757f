#include "font/glyph_clip.h"

#include "font/bytes.h"
#include "font/glyf_components.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <cmath>

const char* const GLYPH_CLIP_TYPE = "application/x-vnd.tavrel-glyph";

namespace {

const char magic[4] = {'T', 'V', 'G', 'L'};
const uint16_t version = 1;

void put16(std::string* out, uint16_t v) {
    out->push_back((char)(v >> 8));
    out->push_back((char)(v & 0xFF));
}

// A reader that walks the data once; any read past the end fails the
// whole parse.
struct reader {
    byte_span data;
    size_t at = 0;
    bool ok = true;

    uint16_t u16() {
        if (!data.has(at, 2)) {
            ok = false;
            return 0;
        }
        at += 2;
        return data.u16(at - 2);
    }
    int16_t s16() { return (int16_t)u16(); }
    uint8_t u8() {
        if (!data.has(at, 1)) {
            ok = false;
            return 0;
        }
        return data.u8(at++);
    }
    // Whether n more bytes are there: checked before anything is sized
    // from a count, so that a count never allocates beyond the data.
    bool left(size_t n) const { return data.has(at, n); }
};

} // namespace

bool glyph_clip::component::operator==(const component& o) const {
    return glyph == o.glyph && arg1 == o.arg1 && arg2 == o.arg2 && xscale == o.xscale &&
           scale01 == o.scale01 && scale10 == o.scale10 && yscale == o.yscale && flags == o.flags;
}

std::string encode_glyph_clips(const glyph_clips& clips) {
    std::string out(magic, sizeof magic);
    put16(&out, version);
    put16(&out, clips.units_per_em);
    put16(&out, (uint16_t)clips.glyphs.size());
    for (const glyph_clip& g : clips.glyphs) {
        put16(&out, (uint16_t)g.contours.size());
        put16(&out, (uint16_t)g.components.size());
        for (const auto& c : g.contours) {
            put16(&out, (uint16_t)c.size());
            for (const glyph_clip::point& p : c) {
                put16(&out, (uint16_t)p.x);
                put16(&out, (uint16_t)p.y);
                out.push_back(p.on ? 1 : 0);
            }
        }
        for (const glyph_clip::component& k : g.components) {
            for (uint16_t v : {k.glyph, (uint16_t)k.arg1, (uint16_t)k.arg2, k.xscale, k.scale01,
                               k.scale10, k.yscale, k.flags})
                put16(&out, v);
        }
        put16(&out, (uint16_t)g.instructions.size());
        out.append(g.instructions.begin(), g.instructions.end());
    }
    return out;
}

bool parse_glyph_clips(const std::string& data, glyph_clips* out, std::string* why) {
    auto fail = [&](const char* text) {
        *why = text;
        return false;
    };
    reader r{byte_span(reinterpret_cast<const uint8_t*>(data.data()), data.size())};
    if (data.size() < 10 || data.compare(0, 4, magic, 4) != 0)
        return fail("The clipboard does not hold glyphs.");
    r.at = 4;
    if (r.u16() != version)
        return fail("The clipboard holds glyphs of another version of the program.");
    glyph_clips clips;
    clips.units_per_em = r.u16();
    if (clips.units_per_em < 16 || clips.units_per_em > 16384)
        return fail("The glyphs on the clipboard have an impossible unitsPerEm.");
    unsigned count = r.u16();
    // Every glyph takes at least six bytes.
    if (!r.left((size_t)count * 6))
        return fail("The glyphs on the clipboard are cut short.");
    clips.glyphs.resize(count);
    for (glyph_clip& g : clips.glyphs) {
        unsigned ncontours = r.u16(), ncompo = r.u16();
        if (ncontours > (unsigned)glyph::max_contours)
            return fail("A glyph on the clipboard has more than 512 contours.");
        if (ncompo > (unsigned)glyph::max_components)
            return fail("A glyph on the clipboard has more than 1024 components.");
        if (ncontours && ncompo)
            return fail("A glyph on the clipboard has both contours and components.");
        if (!r.left((size_t)ncontours * 2 + (size_t)ncompo * 16 + 2))
            return fail("The glyphs on the clipboard are cut short.");
        g.contours.resize(ncontours);
        for (auto& c : g.contours) {
            unsigned npoints = r.u16();
            if (npoints > (unsigned)shape::max_points)
                return fail("A contour on the clipboard has more than 1024 points.");
            if (!r.left((size_t)npoints * 5))
                return fail("The glyphs on the clipboard are cut short.");
            c.resize(npoints);
            for (glyph_clip::point& p : c) {
                p.x = r.s16();
                p.y = r.s16();
                uint8_t flags = r.u8();
                if (flags > 1)
                    return fail("A point on the clipboard has unknown flags.");
                p.on = flags == 1;
            }
        }
        g.components.resize(ncompo);
        for (glyph_clip::component& k : g.components) {
            k.glyph = r.u16();
            k.arg1 = r.s16();
            k.arg2 = r.s16();
            k.xscale = r.u16();
            k.scale01 = r.u16();
            k.scale10 = r.u16();
            k.yscale = r.u16();
            k.flags = r.u16();
        }
        unsigned ninstr = r.u16();
        if (!r.ok || !r.left(ninstr))
            return fail("The glyphs on the clipboard are cut short.");
        g.instructions.resize(ninstr);
        for (uint8_t& b : g.instructions)
            b = r.u8();
    }
    if (!r.ok)
        return fail("The glyphs on the clipboard are cut short.");
    if (r.at != data.size())
        return fail("The clipboard holds more than its glyphs.");
    *out = std::move(clips);
    return true;
}

bool scale_glyph_clip(glyph_clip* g, unsigned from, unsigned to) {
    if (from == to || from == 0)
        return true;
    const double f = (double)to / from;
    bool fits = true;
    auto scaled = [&](int16_t v) {
        double s = std::round(v * f);
        if (s < -32768 || s > 32767) {
            fits = false;
            return (int16_t)0;
        }
        return (int16_t)s;
    };
    glyph_clip out = *g;
    for (auto& c : out.contours) {
        for (glyph_clip::point& p : c) {
            p.x = scaled(p.x);
            p.y = scaled(p.y);
        }
    }
    for (glyph_clip::component& k : out.components) {
        if (k.flags & glyf_flag::args_are_xy) {
            k.arg1 = scaled(k.arg1);
            k.arg2 = scaled(k.arg2);
        }
    }
    if (!fits)
        return false;
    *g = std::move(out);
    return true;
}
