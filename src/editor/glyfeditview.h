// glyfeditview: the outline editor's drawing surface. It maps the font's
// bounding box onto a zoomable canvas (font units shifted to (0, 0) and
// flipped so y grows downwards), shows the glyph being edited on it, turns
// pointer and key events into edits of that glyph and answers the palette's
// requests (choose, clear, store a glyph, components, tool, pen, zoom).
#ifndef TAVREL_EDITOR_GLYFEDITVIEW_H
#define TAVREL_EDITOR_GLYFEDITVIEW_H

#include "editor/canvas_history.h"
#include "editor/editor_window.h"
#include "editor/pending_question.h"
#include "font/glyph_clip.h"
#include "font/pending_edit.h"

#include <View.h>

#include <cstdint>
#include <optional>
#include <string>

class ttf;
class ttf_glyf;
class object;

// Messages of the edit view and its palette.
const uint32 GLYF_INIT = 'Gcnv';   // "bounds" (BRect): the canvas of a new font
const uint32 GLYF_REPORT = 'Grep'; // editor -> palette: what changed
const uint32 GLYF_CHANGE = 'Gchg'; // palette -> editor: "gno", "chr" (int16), "psize" (int8),
                                   // "scale" (float)
const uint32 GLYF_REDRAW = 'edrd'; // full repaint
const uint32 GLYF_CLEAR = 'Gclr';  // empty the glyph (the font changes on 'Gset')
const uint32 GLYF_STORE = 'Gset';  // store the glyph into the font
const uint32 GLYF_ADD_COMPONENT = 'Cadd'; // "sub" (int16): glyph number of the component
const uint32 GLYF_DEL_COMPONENT = 'Cdel'; // "no" (int8): index of the component
// The answer to whether a glyph may lose its variations ("which" 0:
// "Remove", 1: "Cancel").
const uint32 GLYF_DROP_VARIATIONS = 'Gvdr';

// The question asked before a store removes a glyph's variations.
extern const char* const GLYF_VARIATIONS_QUESTION;
// The answer to "paste components into a glyph of outlines": "which"
// (int32) 0 cancel, 1 as components, 2 as outlines.
const uint32 GLYF_PASTE_AS = 'Gpas';

// The tool requests, indexed by tool number: pick, free hand, rectangle,
// ellipse, polygon, rounded polygon.
const uint32 GLYF_TOOLS[6] = {'drpi', 'drfr', 'drre', 'drel', 'drpo', 'drro'};

// Report bits of send2toolv and the fields they add:
//   REPORT_GNO "gno" (int16), REPORT_CHR "chr" (int16), REPORT_COMPO "compo"
//   (int16, one per component), REPORT_EMPTY "empty" (bool), REPORT_SCALE
//   "scale" (float), REPORT_MODE "mode" (int8, the tool), and REPORT_NOTICE
//   "notice" (string): a short line for the palette to show under the glyph,
//   empty when there is nothing to say (sent with every glyph load and after
//   a store, e.g. that kept instructions may no longer fit the outline).
const unsigned char REPORT_GNO = 0x01, REPORT_CHR = 0x02, REPORT_COMPO = 0x04, REPORT_EMPTY = 0x08,
                    REPORT_SCALE = 0x10, REPORT_NOTICE = 0x20, REPORT_MODE = 0x80,
                    REPORT_ALL = 0xFF;

class glyfeditview : public BView, public pending_edit, public stepping_canvas {
  public:
    glyfeditview(BRect frame, ttf_glyf* owner);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void KeyUp(const char* bytes, int32 numBytes) override;
    // A canvas shown at the fitting zoom keeps fitting as the window is
    // resized; one the user zoomed keeps its zoom.
    void FrameResized(float width, float height) override;

    // Inverts rectangle r's outline: drawing it twice removes it.
    void drawframe(BRect r);
    // Bit 2: the overlay (markers, drawing object, rubber band) in
    // inverting mode, so that a call before and one after a change of the
    // overlay erase the old and draw the new. Bit 4: a full repaint now.
    void redraw(char what);

    // Back to the pick tool with nothing selected, the fitting zoom and a
    // full report to the palette.
    void init();
    float getscale() const { return scale; }
    // Sets the zoom (view pixels per canvas unit); 0 chooses the zoom at
    // which the font's box fits the view (at least 512 pixels across).
    void chgscale(float s);
    // Tells the palette the fields selected by `bits`.
    void send2toolv(unsigned char bits);
    // Selects point `point` of the glyph shown, numbered as in its record
    // (contour after contour); nothing for a composite or a number past
    // the last point.
    void select_point(int32 point);

    // The zoom at which a box `width` font units wide fits `room` pixels,
    // stepping down from 4.0 by 0.05 in single precision as the palette's
    // zoom buttons do, so both land on the same values.
    static float fitscale(float width, float room = 512);
    // The pixels across that the fitting zoom fills: the view's smaller
    // side, at least 512.
    float fitroom() const;

    // The canvas's own history of edits not stored into the font: each
    // completed gesture that changed the glyph is one step. It ends when
    // another glyph is shown or the glyph is stored.
    const canvas_history& history() const { return steps; }
    // The canvas's steps for the Edit menu (canvas_steps.h): a gesture in
    // progress that changed the glyph, or a drawing begun, is a step to
    // undo, given up first when a step is taken.
    bool can_step(bool redo) const override;
    std::string step_name(bool redo) const override;
    bool step(bool redo) override;
    // The font's glyph may have changed (an undo or redo): a canvas without
    // edits of its own shows it as the font now holds it.
    void follow_font();

    // The glyph on the canvas differs from the one the font holds (as it
    // was read onto the canvas), or a gesture that changes it is under way.
    bool has_pending() const override;
    std::string pending_text() const override;
    // Stores the glyph as "set" does.
    bool store_pending(std::string* why) override;
    // Shows the glyph as the font holds it again.
    void discard_pending() override;

    // The Edit menu's B_CUT, B_COPY, B_PASTE and B_SELECT_ALL on the
    // glyph: whether one applies now, and carrying it out.
    bool clip_applies(uint32 what) const;
    void clip_command(uint32 what);

    bool rubber = false;
    BRect rubberrect{0, 0, -1, -1};
    int8 tool = 0;
    bool btnheld = false;
    BPoint dragstart;
    BPoint lastpos;
    uint8 keyflag = 0;
    bool firstmove = true;
    int32 selstate = 0;
    float scale = 1.0f;
    ttf_glyf* glyf;
    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    uint8 psize = 0;

    // Why the glyph cannot be stored as it is (it lost data when it was
    // read), or empty. Checked by 'Gset'.
    std::string unstorable;
    // The palette's notice line (REPORT_NOTICE).
    std::string notice;
    // The text of the last refusal shown to the user, for whoever asks.
    std::string refusal;
    // Points were added, removed or put in another order since the glyph
    // was read: in a variable font its variations go when it is stored.
    bool reshaped = false;

  private:
    // The longer side of the font's box, in font units.
    float boxside() const;
    // The room the fitting zoom was last worked out for.
    float fittedroom = 512;

    // The event filter and its three handlers.
    void chkinput();
    void ptr_move(BPoint pos, unsigned char button, const input& in);
    void btn_down(BPoint pos, unsigned char button, const input& in);
    void btn_up(BPoint pos, unsigned char button, const input& in);
    // Ends a drawing gesture with the object's last result.
    void finish_object(int result);
    // Duplicates the selection or inserts points before the first
    // duplicating drag step; false when the glyph has no room (said why).
    bool duplicate_selection(BPoint offset);

    // Commands. Choosing another glyph while the canvas holds edits not
    // stored asks first (pending_guard).
    void choose_glyph(BMessage* message);
    void carry_out_choice(const BMessage* message);
    void answer_pending(BMessage* answer);
    // Reads glyph gno again onto the canvas, ending the canvas's steps.
    void show_stored();
    void load_glyph(uint16 n);
    // Makes `fresh` the edited glyph. The replacement is made before the
    // old glyph goes, so an allocation that fails on the way leaves the
    // old one in place rather than a freed pointer.
    void replace_glyph(glyph* fresh);
    void to_canvas();
    void to_font();
    void reset_interaction();
    void set_tool(int8 t);
    // Stores the glyph into the font; false when it was refused, with the
    // reason in *why, or shown to the user when why is null.
    // `dropvariations` once the user agreed that it loses its variations.
    bool store_glyph(std::string* why = nullptr, bool dropvariations = false);
    // Asks whether the glyph may lose its variations (the answer comes as
    // GLYF_DROP_VARIATIONS), or, with `why` (a store that cannot wait for
    // an answer) or a gvar that cannot be edited, refuses the store.
    // Returns false: nothing was stored yet.
    bool ask_drop_variations(std::string* why);
    void add_component(BMessage* message);
    void del_component(BMessage* message);
    // Rebuilds a composite glyph's outlines from its components and maps
    // them onto the canvas.
    void rebuild_composite();

    // The clipboard (glyfeditview_clipboard.cpp). The selected contours or
    // components, or the whole glyph (*whole) when nothing is selected, in
    // font units.
    glyph_clip clip_of_glyph(bool* whole) const;
    void copy_to_clipboard();
    void cut_to_clipboard();
    void paste_from_clipboard();
    void answer_paste(BMessage* message);
    // Adds `g` to the glyph as one step; `replace` lets components take the
    // place of the glyph's outlines. `scaled` is the notice to show.
    void paste_clip(const glyph_clip& g, const std::string& scaled, bool replace);
    // The components of `g` added to `into`, read from the font; false
    // with the reason when one is missing, unreadable or, `placed` in the
    // glyph shown, would make it contain itself.
    bool add_clip_components(glyph* into, const glyph_clip& g, std::string* why,
                             bool placed = true);
    // The outlines the components of `g` draw, in font units.
    bool outlines_of_components(const glyph_clip& g, glyph_clip* out, std::string* why);
    // Replaces the components of `g` by the outlines they draw.
    bool resolve_components(glyph_clip* g, std::string* why);
    // A glyph from SVG path data on the clipboard (offered as SVG, or as
    // text that is a path or an SVG document); false when there is none,
    // with *why set when there was one that could not be read.
    bool svg_from_clipboard(glyph_clip* g, std::string* why);

    // Shows the user why something was refused (an alert) and keeps the
    // text in `refusal`.
    void refuse(const std::string& why);

    ttf* font() const;

    // A gesture that may change the glyph starts and ends; the ending
    // keeps a step called `name` when the glyph changed.
    void begin_step();
    void end_step(const char* name);
    // The name of the gesture in progress, by tool and selection state.
    const char* gesture_name() const;
    // Whether the gesture in progress has something to take back.
    bool gesture_open() const;
    // Shows a snapshot of the history as the glyph on the canvas.
    void show_state(const canvas_state& state);
    // The glyph on the canvas as a snapshot.
    canvas_state snapshot() const;

    // What chkinput keeps between events.
    input previnput;
    BPoint prevpos;
    unsigned char prevbutton = 0;
    // A drag whose duplication was refused moves nothing until release.
    bool dragrefused = false;
    // The drag in progress duplicated the selection or inserted points.
    bool duplicated = false;
    canvas_history steps;
    // The glyph as read from the font onto the canvas, to tell edits from it.
    canvas_state stored;
    pending_guard guard;
    // The glyph whose variations the question being asked is about.
    uint16 dropasked = 0xFFFF;
    // A paste waiting for the user's answer, and the notice it brings.
    std::optional<glyph_clip> held_paste;
    std::string held_notice;
};

// The drawing object of tool 1 (free hand) to 5 (rounded polygon) for one
// gesture; null for any other tool.
object* new_object(int8 tool);

// Lets the glyf table make its palette and edit view (font/table_views.h).
void register_glyf_views();

#endif
