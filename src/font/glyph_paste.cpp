#include "font/glyph_paste.h"

#include "font/glyf.h"
#include "font/head.h"
#include "font/history.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

std::string glyph_text(const char* format, unsigned gno) {
    char text[200];
    snprintf(text, sizeof text, format, gno);
    return text;
}

int16_t font_unit(float v) {
    return (int16_t)std::lround(std::fmax(-32768.0f, std::fmin(32767.0f, v)));
}

// `clip` as a glyph numbered gno of `font`, in font units; null, with the
// reason in *why, when a component cannot be read from the font.
std::unique_ptr<glyph> glyph_of_clip(ttf& font, unsigned gno, const glyph_clip& clip,
                                     std::string* why) {
    auto g = std::make_unique<glyph>((unsigned short)gno);
    for (const auto& c : clip.contours) {
        shape* s = new shape((int)c.size());
        for (size_t i = 0; i < c.size(); i++)
            s->set((int)i, BPoint(c[i].x, c[i].y), c[i].on ? 0 : 1);
        g->add_shape(s);
    }
    const unsigned n = font.maxp->numglyphs();
    for (const glyph_clip::component& k : clip.components) {
        glyph* part = k.glyph < n ? new glyph(k.glyph) : nullptr;
        if (part)
            part->depth = 1;
        if (!part || font.get_glyph(k.glyph, part) != 0) {
            delete part;
            *why = glyph_text("A glyph on the clipboard is made of glyph %04x, which this font "
                              "does not have whole: nothing was pasted.",
                              k.glyph);
            return nullptr;
        }
        g->add_compo(
            part, k.arg1, k.arg2, k.xscale, k.scale01, k.scale10, k.yscale,
            (uint16_t)(k.flags & ~(glyf_flag::more_components | glyf_flag::have_instructions)));
    }
    // The glyph's instructions are the clipboard's, or none: never those of
    // the record it replaces, written for other points.
    g->instructions = clip.instructions;
    g->own_instructions = true;
    return g;
}

} // namespace

std::vector<uint8_t> record_instructions(const byte_span& rec) {
    if (rec.size() < 12 || rec.s16(0) <= 0)
        return {};
    size_t at = 10 + 2 * (size_t)rec.s16(0);
    byte_span code = rec.slice(at + 2, rec.u16(at));
    return std::vector<uint8_t>(code.data(), code.data() + code.size());
}

bool clip_of_font_glyph(ttf& font, unsigned gno, glyph_clip* out, std::string* why) {
    glyph g((unsigned short)gno);
    if (font.get_glyph((int)gno, &g) != 0 || g.lossy) {
        *why = glyph_text("Glyph %04x cannot be read whole: nothing was copied.", gno);
        return false;
    }
    glyph_clip c;
    if (g.ncompo > 0) {
        for (int k = 0; k < g.ncompo; k++)
            c.components.push_back({g.compo[k]->index, g.compo_dx[k], g.compo_dy[k],
                                    g.compo_xscale[k], g.compo_scale01[k], g.compo_scale10[k],
                                    g.compo_yscale[k], g.compo_flags[k]});
        c.instructions = g.instructions;
    } else {
        for (int i = 0; i < g.count; i++) {
            const shape* s = g.contours[i];
            if (!s || s->count == 0)
                continue;
            std::vector<glyph_clip::point> points((size_t)s->count);
            for (int j = 0; j < s->count; j++)
                points[(size_t)j] = {font_unit(s->points[j].x), font_unit(s->points[j].y),
                                     (s->flags[j] & 1) == 0};
            c.contours.push_back(std::move(points));
        }
        unsigned long offset, length;
        if (!c.contours.empty() &&
            font.loca->get_offset(font.head->is32loca(), (int)gno, &offset, &length) == 0)
            c.instructions = record_instructions(font.glyf->bytes().slice(offset, length));
    }
    *out = std::move(c);
    return true;
}

bool paste_glyph_clips(ttf& font, const glyph_clips& clips, const std::vector<unsigned>& onto,
                       std::string* notice, std::string* why) {
    notice->clear();
    if (!font.glyf || !font.loca || !font.head || !font.maxp) {
        *why = "The font has no outlines to paste into.";
        return false;
    }
    if (onto.size() != clips.glyphs.size() || onto.empty()) {
        *why = "Nothing was pasted: the clipboard's glyphs and the glyphs to replace differ in "
               "number.";
        return false;
    }
    const unsigned upem = font.head->unitsperem();
    std::vector<glyph_clip> glyphs = clips.glyphs;
    for (size_t i = 0; i < glyphs.size(); i++) {
        if (onto[i] >= font.maxp->numglyphs()) {
            *why = glyph_text("The font has no glyph %04x: nothing was pasted.", onto[i]);
            return false;
        }
        if (!scale_glyph_clip(&glyphs[i], clips.units_per_em, upem)) {
            *why = "A glyph on the clipboard does not fit this font's coordinates once scaled to "
                   "its unitsPerEm: nothing was pasted.";
            return false;
        }
    }
    font_history* h = font.history();
    char name[48];
    snprintf(name, sizeof name, "Paste %zu glyph%s", onto.size(), onto.size() == 1 ? "" : "s");
    font_history::point start;
    if (h) {
        h->checkpoint(name);
        start = h->here();
    }
    for (size_t i = 0; i < glyphs.size(); i++) {
        std::unique_ptr<glyph> g = glyph_of_clip(font, onto[i], glyphs[i], why);
        int r = g ? font.set_glyph((int)onto[i], g.get()) : -1;
        if (r == 0)
            continue;
        if (r == TTF_GLYPH_CYCLE)
            *why = glyph_text("Glyph %04x would contain itself: nothing was pasted.", onto[i]);
        else if (r == TTF_GLYPH_VARIES)
            *why = glyph_text("Glyph %04x varies across the font's axes, and the pasted outline "
                              "has other points: its variations would be lost. Nothing was "
                              "pasted.",
                              onto[i]);
        else if (g)
            *why = glyph_text("Glyph %04x could not be stored: nothing was pasted.", onto[i]);
        // Every glyph stored so far is taken back.
        if (h)
            h->rollback(start);
        return false;
    }
    if (clips.units_per_em != upem) {
        char text[96];
        snprintf(text, sizeof text, "pasted %zu glyph%s: scaled from %u to %u units/em",
                 onto.size(), onto.size() == 1 ? "" : "s", (unsigned)clips.units_per_em, upem);
        *notice = text;
    }
    return true;
}
