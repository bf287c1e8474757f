// The edit view's own undo and redo: gestures open and close steps of the
// canvas history, and a step taken back or done again puts its snapshot on
// the canvas with a full repaint.
#include "editor/glyfeditview.h"

#include "editor/globals.h"
#include "outline/glyph.h"
#include "outline/object.h"

#include <cstring>
#include <utility>

namespace {

// Selection states of the pick tool (as the input handlers number them).
const int32 STATE_DRAG_CONTOURS = 2, STATE_DRAG_POINT = 3, STATE_DELETE_POINT = 4,
            STATE_TOGGLE_POINT = 5;

} // namespace

canvas_state glyfeditview::snapshot() const {
    canvas_state s = canvas_state::of(*curglyph, unstorable, notice);
    s.reshaped = reshaped;
    return s;
}

void glyfeditview::begin_step() {
    if (curglyph && !steps.pending())
        steps.begin(snapshot());
}

void glyfeditview::end_step(const char* name) {
    if (!curglyph || !steps.pending())
        return;
    // Gestures that only move points or components, or toggle them
    // between on and off the curve, keep the points' numbering; every
    // other change of the glyph may not.
    const bool keeps = strcmp(name, "drag") == 0 || strcmp(name, "toggle") == 0 ||
                       strcmp(name, "component move") == 0;
    if (steps.end(name, snapshot()) && !keeps)
        reshaped = true;
}

const char* glyfeditview::gesture_name() const {
    if (tool != 0)
        return "drawing";
    switch (selstate) {
    case STATE_DRAG_CONTOURS:
        if (curglyph && curglyph->ncompo > 0)
            return "component move";
        return duplicated ? "duplication" : "drag";
    case STATE_DRAG_POINT:
        return duplicated ? "insertion" : "drag";
    case STATE_DELETE_POINT:
        return "deletion";
    case STATE_TOGGLE_POINT:
        return "toggle";
    default:
        return "edit";
    }
}

bool glyfeditview::gesture_open() const {
    const canvas_state* before = steps.pending_state();
    if (!before || !curglyph)
        return false;
    return curobject != nullptr || !(*before == snapshot());
}

bool glyfeditview::can_step(bool redo) const {
    if (gno == 0xFFFF || !curglyph)
        return false;
    return redo ? steps.can_redo() : steps.can_undo() || gesture_open();
}

std::string glyfeditview::step_name(bool redo) const {
    if (redo)
        return steps.redo_name();
    // A gesture in progress is what an undo takes back first.
    if (gesture_open())
        return gesture_name();
    return steps.undo_name();
}

bool glyfeditview::step(bool redo) {
    if (gno == 0xFFFF || !curglyph)
        return false;
    bool acted = false;
    if (std::optional<canvas_state> before = steps.take_pending()) {
        // The gesture in progress is given up: whatever it changed so far
        // is taken back, and the pointer's button, still held, does
        // nothing more until it is released.
        btnheld = false;
        firstmove = true;
        dragrefused = false;
        if (curobject || !(*before == snapshot())) {
            show_state(*before);
            acted = true;
            if (!redo)
                return true;
        }
    }
    if (redo ? !steps.can_redo() : !steps.can_undo())
        return acted;
    canvas_state now = snapshot();
    canvas_state shown = redo ? steps.redo(std::move(now)) : steps.undo(std::move(now));
    show_state(shown);
    return true;
}

void glyfeditview::show_state(const canvas_state& state) {
    reset_interaction();
    rubber = false;
    replace_glyph(state.make(gno, font()));
    unstorable = state.unstorable;
    notice = state.notice;
    reshaped = state.reshaped;
    // A composite glyph is only picked and moved.
    if (curglyph->ncompo > 0)
        tool = 0;
    send2toolv(REPORT_COMPO | REPORT_EMPTY | REPORT_NOTICE | REPORT_MODE);
    redraw(5);
}
