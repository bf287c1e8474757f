#include "editor/glyph_changes.h"

#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <Message.h>
#include <Messenger.h>

namespace {

glyfeditview* editor_of(ttf* font) {
    if (!font || !font->glyf)
        return nullptr;
    return dynamic_cast<glyfeditview*>(font->glyf->editview);
}

bool same_shape(const shape* a, const shape* b) {
    if (!a || !b)
        return a == b;
    if (a->count != b->count)
        return false;
    for (int i = 0; i < a->count; i++) {
        if (a->points[i] != b->points[i] || a->flags[i] != b->flags[i])
            return false;
    }
    return true;
}

// The same outline contours and the same components placed the same way;
// selection does not count.
bool same_glyph(const glyph& a, const glyph& b) {
    if (a.count != b.count || a.ncompo != b.ncompo)
        return false;
    for (int i = 0; i < a.count; i++) {
        if (!same_shape(a.contours[i], b.contours[i]))
            return false;
    }
    for (int k = 0; k < a.ncompo; k++) {
        if ((a.compo[k] ? a.compo[k]->index : -1) != (b.compo[k] ? b.compo[k]->index : -1) ||
            a.compo_dx[k] != b.compo_dx[k] || a.compo_dy[k] != b.compo_dy[k] ||
            a.compo_xscale[k] != b.compo_xscale[k] || a.compo_scale01[k] != b.compo_scale01[k] ||
            a.compo_scale10[k] != b.compo_scale10[k] || a.compo_yscale[k] != b.compo_yscale[k] ||
            a.compo_flags[k] != b.compo_flags[k])
            return false;
    }
    return true;
}

} // namespace

bool glyph_unstored(ttf* font) {
    glyfeditview* editor = editor_of(font);
    if (!editor || !curglyph || editor->gno == 0xFFFF || !font->head || !font->maxp ||
        editor->gno >= font->maxp->numglyphs())
        return false;
    // Read as the editor reads it: a record that cannot be read shows as
    // an empty glyph.
    glyph* stored = new glyph(editor->gno);
    if (font->get_glyph(editor->gno, stored) != 0) {
        delete stored;
        stored = new glyph(editor->gno);
    }
    stored->trans(font->head->bounds(), canvas);
    bool same = same_glyph(*stored, *curglyph);
    delete stored;
    return !same;
}

void glyph_reload(ttf* font) {
    glyfeditview* editor = editor_of(font);
    if (!editor || editor->gno == 0xFFFF)
        return;
    BMessage choose(GLYF_CHANGE);
    choose.AddInt16("gno", (int16)editor->gno);
    BMessenger(editor).SendMessage(&choose);
}

namespace {

// The editor whose canvas steps the Edit menu takes: one that is shown.
glyfeditview* shown_editor(ttf* font) {
    glyfeditview* editor = editor_of(font);
    return editor && editor->shown_in_window() ? editor : nullptr;
}

} // namespace

std::string glyph_step_name(ttf* font, bool redo) {
    glyfeditview* editor = shown_editor(font);
    if (!editor || !editor->can_step(redo))
        return "";
    std::string name = editor->step_name(redo);
    return name.empty() ? "edit" : name;
}

bool glyph_step(ttf* font, bool redo) {
    glyfeditview* editor = shown_editor(font);
    return editor && editor->can_step(redo) && editor->step(redo);
}
