// The edit view's cut, copy and paste on the desktop clipboard. Copy takes
// the selected contours (or a composite's selected components), or the
// whole glyph with its instructions when nothing is selected, in font
// units; cut removes them as one canvas step; paste adds what the
// clipboard holds to the glyph as one canvas step, selected, so that it
// can be dragged at once. Coordinates from a font of another unitsPerEm
// are scaled on the way in.
#include "editor/glyfeditview.h"

#include "editor/globals.h"
#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/glyph_clip.h"
#include "font/glyph_paste.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/svg_path.h"
#include "font/ttf.h"
#include "kit/display/clipboard.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Invoker.h>
#include <Message.h>

#include <cmath>
#include <cstdio>

namespace {

const int32 PASTE_COMPONENTS = 0, PASTE_OUTLINES = 1;

int16_t file_value(float v) {
    float t = std::trunc(v);
    return (int16_t)std::fmax(-32768.0f, std::fmin(32767.0f, t));
}

// A canvas contour as the file would hold it: points mapped back onto the
// font's box and truncated, as storing the glyph does.
std::vector<glyph_clip::point> font_contour(const shape& s, const BRect& from, const BRect& to,
                                            bool mapped) {
    shape* c = s.copy();
    if (mapped)
        c->trans(from, to);
    std::vector<glyph_clip::point> out((size_t)c->count);
    for (int i = 0; i < c->count; i++)
        out[(size_t)i] = {file_value(c->points[i].x), file_value(c->points[i].y),
                          (c->flags[i] & 1) == 0};
    delete c;
    return out;
}

std::string units_text(unsigned from, unsigned to) {
    char text[80];
    snprintf(text, sizeof text, "pasted: scaled from %u to %u units/em", from, to);
    return text;
}

} // namespace

bool glyfeditview::clip_applies(uint32 what) const {
    if (gno == 0xFFFF || !curglyph)
        return false;
    bool empty = curglyph->count == 0 && curglyph->ncompo == 0;
    switch (what) {
    case B_COPY:
    case B_CUT:
    case B_SELECT_ALL:
        return !empty;
    case B_PASTE:
        return !curglyph->lossy;
    default:
        return false;
    }
}

void glyfeditview::clip_command(uint32 what) {
    if (!clip_applies(what))
        return;
    switch (what) {
    case B_SELECT_ALL:
        reset_interaction();
        for (int i = curglyph->ncompo > 0 ? curglyph->count : 0;
             i < curglyph->count + curglyph->ncompo; i++)
            if (curglyph->contours[i])
                curglyph->contours[i]->selected = -1;
        selstate = 1;
        redraw(5);
        break;
    case B_COPY:
        copy_to_clipboard();
        break;
    case B_CUT:
        cut_to_clipboard();
        break;
    case B_PASTE:
        paste_from_clipboard();
        break;
    }
}

glyph_clip glyfeditview::clip_of_glyph(bool* whole) const {
    glyph_clip out;
    ttf* f = font();
    const BRect box = f ? f->bounds() : canvas;
    const int lo = curglyph->ncompo > 0 ? curglyph->count : 0;
    const int hi = curglyph->count + curglyph->ncompo;
    bool any = false;
    for (int i = lo; i < hi; i++)
        any |= curglyph->contours[i] && curglyph->contours[i]->selected != 0;
    *whole = !any;
    if (curglyph->ncompo > 0) {
        for (int k = 0; k < curglyph->ncompo; k++) {
            const shape* r = curglyph->contours[curglyph->count + k];
            if (any && !(r && r->selected != 0))
                continue;
            out.components.push_back(
                {curglyph->compo[k] ? curglyph->compo[k]->index : (uint16_t)0xFFFF,
                 curglyph->compo_dx[k], curglyph->compo_dy[k], curglyph->compo_xscale[k],
                 curglyph->compo_scale01[k], curglyph->compo_scale10[k], curglyph->compo_yscale[k],
                 curglyph->compo_flags[k]});
        }
    } else {
        for (int i = 0; i < curglyph->count; i++) {
            const shape* s = curglyph->contours[i];
            if (s && s->count > 0 && (!any || s->selected != 0))
                out.contours.push_back(font_contour(*s, canvas, box, f != nullptr));
        }
    }
    if (!any) {
        out.instructions = curglyph->instructions;
        unsigned long offset, length;
        if (out.instructions.empty() && curglyph->ncompo == 0 && f && f->glyf && f->loca &&
            f->head && f->loca->get_offset(f->head->is32loca(), gno, &offset, &length) == 0)
            out.instructions = record_instructions(f->glyf->bytes().slice(offset, length));
        if (out.empty())
            out.instructions.clear();
    }
    return out;
}

void glyfeditview::copy_to_clipboard() {
    bool whole;
    glyph_clips clips;
    ttf* f = font();
    clips.units_per_em = f && f->head ? (uint16_t)f->head->unitsperem() : 0;
    clips.glyphs.push_back(clip_of_glyph(&whole));
    kit::clipboard_entries entries = {{GLYPH_CLIP_TYPE, encode_glyph_clips(clips)}};
    // Other programs get the outline as an SVG path, as SVG and as text;
    // components are drawn as the outlines they stand for.
    glyph_clip drawn = clips.glyphs[0];
    std::string why;
    bool drawable =
        drawn.components.empty() || outlines_of_components(clips.glyphs[0], &drawn, &why);
    if (drawable && !drawn.contours.empty() && clips.units_per_em > 0) {
        std::string svg = svg_of_glyph(drawn, clips.units_per_em);
        entries[SVG_CLIP_TYPE] = svg;
        entries[kit::CLIPBOARD_TEXT] = svg;
    }
    kit::set_clipboard_data(entries);
}

void glyfeditview::cut_to_clipboard() {
    copy_to_clipboard();
    bool whole;
    clip_of_glyph(&whole);
    // The selection goes; with nothing selected the whole glyph does.
    std::vector<bool> selected;
    for (int i = 0; i < curglyph->count + curglyph->ncompo; i++)
        selected.push_back(curglyph->contours[i] && curglyph->contours[i]->selected != 0);
    reset_interaction();
    begin_step();
    if (curglyph->ncompo > 0) {
        curglyph->clr_composhape();
        for (int k = curglyph->ncompo; k-- > 0;)
            if (whole || selected[(size_t)(curglyph->count + k)])
                curglyph->del_compo(k);
        if (curglyph->ncompo > 0)
            rebuild_composite();
        else
            replace_glyph(new glyph(gno));
    } else {
        for (int i = 0; i < curglyph->count; i++)
            if (curglyph->contours[i] && (whole || selected[(size_t)i]))
                curglyph->contours[i]->selected = -1;
        curglyph->del_sel();
        if (curglyph->count == 0)
            replace_glyph(new glyph(gno));
    }
    end_step("cut");
    send2toolv(REPORT_COMPO | REPORT_EMPTY);
    redraw(5);
}

void glyfeditview::paste_from_clipboard() {
    std::string data, why;
    glyph_clips clips;
    if (kit::clipboard_data(GLYPH_CLIP_TYPE, &data)) {
        if (!parse_glyph_clips(data, &clips, &why)) {
            refuse(why);
            return;
        }
    } else {
        glyph_clip drawn;
        if (!svg_from_clipboard(&drawn, &why)) {
            refuse(why.empty() ? "The clipboard holds no glyph outline to paste." : why);
            return;
        }
        // SVG coordinates were mapped onto this font's em already.
        ttf* f = font();
        clips.units_per_em = (uint16_t)f->head->unitsperem();
        clips.glyphs.push_back(std::move(drawn));
    }
    if (clips.glyphs.empty() || clips.glyphs[0].empty()) {
        refuse("The clipboard holds an empty glyph: there is nothing to paste.");
        return;
    }
    ttf* f = font();
    unsigned upem = f && f->head ? f->head->unitsperem() : clips.units_per_em;
    glyph_clip g = clips.glyphs[0];
    if (!scale_glyph_clip(&g, clips.units_per_em, upem)) {
        refuse("The glyph on the clipboard does not fit this font's coordinates once scaled to "
               "its unitsPerEm: nothing was pasted.");
        return;
    }
    std::string scaled = clips.units_per_em != upem ? units_text(clips.units_per_em, upem) : "";
    const bool empty = curglyph->count == 0 && curglyph->ncompo == 0;
    if (!g.components.empty() && !empty && curglyph->ncompo == 0) {
        // Components into a glyph of outlines: the user says which.
        held_paste = g;
        held_notice = scaled;
        BAlert* alert = new BAlert("tavrel",
                                   "The clipboard holds components, and this glyph is made of "
                                   "outlines. Paste them as components (the glyph's outlines go) "
                                   "or as outlines?",
                                   "Cancel", "Components", "Outlines");
        alert->SetShortcut(0, B_ESCAPE);
        alert->SetShortcut(1, 'c');
        alert->SetShortcut(2, 'o');
        BMessage* answer = new BMessage(GLYF_PASTE_AS);
        alert->Go(new BInvoker(answer, this));
        return;
    }
    paste_clip(g, scaled, empty);
}

void glyfeditview::answer_paste(BMessage* message) {
    int32 which = message->GetInt32("which", 0);
    if (!held_paste)
        return;
    glyph_clip g = std::move(*held_paste);
    held_paste.reset();
    if (which == 1) {
        paste_clip(g, held_notice, true);
    } else if (which == 2) {
        std::string why;
        if (!resolve_components(&g, &why)) {
            refuse(why);
            return;
        }
        paste_clip(g, held_notice, false);
    }
}

bool glyfeditview::outlines_of_components(const glyph_clip& g, glyph_clip* out, std::string* why) {
    glyph flat(0xFFFF);
    if (!add_clip_components(&flat, g, why, false))
        return false;
    flat.create_composhape();
    out->contours.clear();
    out->components.clear();
    out->instructions.clear();
    for (int i = 0; i < flat.count; i++) {
        const shape* s = flat.contours[i];
        if (!s || s->count == 0)
            continue;
        std::vector<glyph_clip::point> c((size_t)s->count);
        for (int j = 0; j < s->count; j++)
            c[(size_t)j] = {
                (int16_t)std::lround(std::fmax(-32768.0f, std::fmin(32767.0f, s->points[j].x))),
                (int16_t)std::lround(std::fmax(-32768.0f, std::fmin(32767.0f, s->points[j].y))),
                (s->flags[j] & 1) == 0};
        out->contours.push_back(std::move(c));
    }
    return true;
}

bool glyfeditview::resolve_components(glyph_clip* g, std::string* why) {
    glyph_clip out;
    if (!outlines_of_components(*g, &out, why))
        return false;
    if (out.contours.size() + (size_t)curglyph->count > (size_t)glyph::max_contours) {
        *why = "The glyph would have more than 512 contours: nothing was pasted.";
        return false;
    }
    *g = std::move(out);
    return true;
}

bool glyfeditview::svg_from_clipboard(glyph_clip* g, std::string* why) {
    ttf* f = font();
    const unsigned upem = f && f->head ? f->head->unitsperem() : 0;
    if (upem == 0)
        return false;
    std::string data;
    if (kit::clipboard_data(SVG_CLIP_TYPE, &data))
        return parse_svg_path(data, upem, g, why);
    if (!kit::clipboard_data(kit::CLIPBOARD_TEXT, &data))
        return false;
    // Text is taken for a path only when it looks like one: an SVG
    // document, or data that begins with a move.
    size_t first = data.find_first_not_of(" \t\r\n");
    if (first == std::string::npos ||
        (data.compare(first, 4, "<svg") != 0 && data.compare(first, 5, "<?xml") != 0 &&
         data[first] != 'M' && data[first] != 'm'))
        return false;
    return parse_svg_path(data, upem, g, why);
}

bool glyfeditview::add_clip_components(glyph* into, const glyph_clip& g, std::string* why,
                                       bool placed) {
    ttf* f = font();
    unsigned n = f && f->maxp ? f->maxp->numglyphs() : 0;
    if ((size_t)into->ncompo + g.components.size() > (size_t)glyph::max_components) {
        *why = "A glyph holds at most 1024 components: nothing was pasted.";
        return false;
    }
    char text[160];
    for (const glyph_clip::component& k : g.components) {
        if (k.glyph >= n) {
            snprintf(text, sizeof text,
                     "The clipboard names component glyph %04x, which this font does not have: "
                     "nothing was pasted.",
                     (unsigned)k.glyph);
            *why = text;
            return false;
        }
        if (placed && (k.glyph == gno || f->makes_cycle(gno, k.glyph))) {
            snprintf(text, sizeof text,
                     "Glyph %04x is made of this glyph: pasting it would make the glyph contain "
                     "itself.",
                     (unsigned)k.glyph);
            *why = text;
            return false;
        }
    }
    for (const glyph_clip::component& k : g.components) {
        glyph* part = new glyph(k.glyph);
        part->depth = 1;
        if (f->get_glyph(k.glyph, part) != 0) {
            delete part;
            snprintf(text, sizeof text, "Glyph %04x could not be read whole: nothing was pasted.",
                     (unsigned)k.glyph);
            *why = text;
            return false;
        }
        into->add_compo(
            part, k.arg1, k.arg2, k.xscale, k.scale01, k.scale10, k.yscale,
            (uint16_t)(k.flags & ~(glyf_flag::more_components | glyf_flag::have_instructions)));
    }
    return true;
}

void glyfeditview::paste_clip(const glyph_clip& g, const std::string& scaled, bool replace) {
    ttf* f = font();
    std::string why;
    if (!f)
        return;
    if (g.components.empty() && curglyph->ncompo > 0 && !replace) {
        refuse("A composite glyph is made of components only: the outlines on the clipboard were "
               "not pasted.");
        return;
    }
    if (!g.components.empty() && !replace && curglyph->count > 0 && curglyph->ncompo == 0) {
        refuse("A glyph of outlines takes no components: nothing was pasted.");
        return;
    }
    if (g.components.empty() &&
        (size_t)curglyph->count + g.contours.size() > (size_t)glyph::max_contours) {
        refuse("The glyph would have more than 512 contours: nothing was pasted.");
        return;
    }
    const bool empty = curglyph->count == 0 && curglyph->ncompo == 0;
    reset_interaction();
    begin_step();
    if (!g.components.empty()) {
        // The components come after those the glyph has (or instead of its
        // outlines, when the user chose so).
        glyph* fresh = new glyph(gno);
        for (int k = 0; k < curglyph->ncompo; k++) {
            glyph* part = new glyph(curglyph->compo[k] ? curglyph->compo[k]->index : 0);
            part->depth = 1;
            f->get_glyph(part->index, part);
            fresh->add_compo(part, curglyph->compo_dx[k], curglyph->compo_dy[k],
                             curglyph->compo_xscale[k], curglyph->compo_scale01[k],
                             curglyph->compo_scale10[k], curglyph->compo_yscale[k],
                             curglyph->compo_flags[k]);
        }
        int before = fresh->ncompo;
        if (!add_clip_components(fresh, g, &why)) {
            delete fresh;
            steps.drop();
            refuse(why);
            return;
        }
        fresh->instructions = empty ? g.instructions : curglyph->instructions;
        replace_glyph(fresh);
        rebuild_composite();
        for (int k = before; k < curglyph->ncompo; k++)
            if (shape* r = curglyph->contours[curglyph->count + k])
                r->selected = -1;
    } else {
        const BRect box = f->bounds();
        for (const auto& c : g.contours) {
            shape* s = new shape((int)c.size());
            for (size_t i = 0; i < c.size(); i++)
                s->set((int)i, BPoint(c[i].x, c[i].y), c[i].on ? 0 : 1);
            s->trans(box, canvas);
            s->selected = -1;
            curglyph->add_shape(s);
        }
        // Instructions go with the points they were written for: only into
        // a glyph that had none of its own.
        if (empty)
            curglyph->instructions = g.instructions;
    }
    selstate = 1;
    // A composite glyph is only picked and moved.
    if (curglyph->ncompo > 0)
        tool = 0;
    if (!scaled.empty())
        notice = scaled;
    else if (!empty && !g.instructions.empty())
        notice = "pasted without its instructions";
    end_step("paste");
    send2toolv(REPORT_COMPO | REPORT_EMPTY | REPORT_NOTICE | REPORT_MODE);
    redraw(5);
}
