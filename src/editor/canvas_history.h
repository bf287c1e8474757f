// canvas_history: a drawing editor's own undo and redo of edits not yet
// stored into the font. Each completed gesture that changed what the
// canvas shows (a drag, a deletion, a drawing, a clear, a component added,
// a pixel toggled ...) leaves one step: a snapshot of the canvas as it was
// before, named after the gesture. Undoing a step swaps the canvas with the
// snapshot and keeps what it replaced for redoing. The outline canvas's
// snapshots hold the outline in canvas units exactly, so undoing every
// step gives back the glyph as it was read, point for point; the bitmap
// canvas's hold its pixels. The steps are bounded in number and memory;
// the oldest go first.
#ifndef TAVREL_EDITOR_CANVAS_HISTORY_H
#define TAVREL_EDITOR_CANVAS_HISTORY_H

#include <Point.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class glyph;
class ttf;

// The glyph on the canvas as far as editing is concerned: every contour
// slot (a composite glyph's built outline and its component rectangles
// too, so that it comes back exactly as it was shown), a composite's
// component list, and what the editor knows about the glyph besides.
struct canvas_state {
    struct component {
        uint16_t index; // 0xFFFF: the component's glyph was missing
        int16_t dx, dy;
        uint16_t xscale, scale01, scale10, yscale, flags;
        bool operator==(const component& o) const;
    };
    // Slot i's points run from ends[i-1] (0 for the first) up to ends[i];
    // the first `outline` slots are outline contours.
    std::vector<uint32_t> ends;
    int32_t outline = 0;
    // Slots that hold no contour at all.
    std::vector<uint32_t> empty_slots;
    std::vector<BPoint> points;
    std::vector<char> flags;
    std::vector<component> components;
    std::vector<uint8_t> instructions;
    uint8_t lossy = 0;
    // The editor's refusal to store the glyph and its palette notice.
    std::string unstorable, notice;
    // Points were added, removed or put in another order since the glyph
    // was read (its variation data would no longer fit it).
    bool reshaped = false;

    // The same glyph, as far as a snapshot tells.
    bool operator==(const canvas_state& o) const;
    // The memory the snapshot keeps.
    size_t bytes() const;

    // The snapshot of `g`.
    static canvas_state of(const glyph& g, const std::string& unstorable,
                           const std::string& notice);
    // A new glyph numbered `index` holding the snapshot. A composite's
    // component glyphs are read from `font` again, as adding them reads
    // them; one that cannot be read marks the glyph lossy.
    glyph* make(uint16_t index, ttf* font) const;
};

// The image being edited on the bitmap canvas: its pixels, one byte
// each (the size of the image does not change while it is edited).
struct bitmap_state {
    std::vector<unsigned char> pixels;

    bool operator==(const bitmap_state& o) const { return pixels == o.pixels; }
    size_t bytes() const { return sizeof(bitmap_state) + pixels.capacity(); }
};

// The steps over snapshots of one kind (canvas_state or bitmap_state).
template <class State> class step_history {
  public:
    // At most this many steps and this much snapshot memory are kept,
    // undo and redo steps together (beyond them only the step next to the
    // glyph shown on either side).
    static constexpr size_t max_steps = 200;
    static constexpr size_t max_bytes = 32u << 20;

    // A gesture starts: `before` is the canvas as it is now. A gesture
    // already started keeps its own snapshot.
    void begin(State before);
    bool pending() const { return started.has_value(); }
    // The snapshot the gesture in progress started with, or null.
    const State* pending_state() const { return started ? &*started : nullptr; }
    // The gesture ended with the canvas as `after`: when it changed
    // anything, a step called `name` is kept and the redo steps go.
    // Returns whether a step was kept.
    bool end(const std::string& name, const State& after);
    // The gesture ended without a step.
    void drop() { started.reset(); }
    // The snapshot a gesture started with, taken back out.
    std::optional<State> take_pending();

    bool can_undo() const { return !undos.empty(); }
    bool can_redo() const { return !redos.empty(); }
    // The name of the step that undo or redo would take; empty for none.
    std::string undo_name() const { return undos.empty() ? "" : undos.back().name; }
    std::string redo_name() const { return redos.empty() ? "" : redos.back().name; }
    // Takes the last step back: returns the snapshot to show and keeps
    // `now` for redoing it. Call only when can_undo().
    State undo(State now);
    // Does the last undone step again, the same way. Call only when
    // can_redo().
    State redo(State now);

    // Forgets every step (another glyph is shown, or it was stored).
    void clear();
    size_t steps() const { return undos.size() + redos.size(); }
    size_t memory() const { return kept; }

  private:
    struct step {
        std::string name;
        State state;
    };
    void trim();

    std::vector<step> undos, redos;
    std::optional<State> started;
    size_t kept = 0;
};

using canvas_history = step_history<canvas_state>;
using bitmap_history = step_history<bitmap_state>;

// A drawing editor's canvas whose own steps the Edit menu takes (before
// the font's) while it is shown.
class stepping_canvas {
  public:
    // Whether an undo (or redo) has a step of the canvas to take.
    virtual bool can_step(bool redo) const = 0;
    // The name of the step an undo (or redo) would take, empty for none.
    virtual std::string step_name(bool redo) const = 0;
    // Takes back (or does again) the last step and shows the canvas as it
    // was; false when there was nothing to do.
    virtual bool step(bool redo) = 0;

  protected:
    ~stepping_canvas() = default;
};

#endif
