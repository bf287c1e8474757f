// font_history: the undo and redo history of one font.
//
// Every change of a table's bytes reaches the history through the table
// (its writer, splice, buffer replacement and loca's offset shift) while
// the history records, and lands in the open step. An editor names the
// step its user will see before it changes the font: checkpoint("Store
// glyph 0041"). The step opens with its first change, so an edit that was
// refused and changed nothing leaves no step behind; changes with no
// checkpoint before them form a step called "Change". A new step drops
// whatever could have been redone.
//
// The history knows which state was last saved: changed() is false exactly
// when undo and redo have brought the font back to it. Saving stamps dates
// and checksums into head and recomputes maxp's maxima while the history
// is paused: those bytes follow from the rest of the font or from the
// clock, no edit writes them, and an undo step never includes them, so
// restoring a step cannot bring back stale ones.
//
// Memory is bounded: the oldest steps are let go when the history holds
// more than `memory_limit` bytes or more than `step_limit` steps.
#ifndef TAVREL_FONT_HISTORY_H
#define TAVREL_FONT_HISTORY_H

#include "font/journal.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>

class ttf;
class ttf_table;

class font_history {
  public:
    explicit font_history(ttf* font);
    ~font_history();
    font_history(const font_history&) = delete;
    font_history& operator=(const font_history&) = delete;

    // Names the step that the next change starts.
    void checkpoint(const std::string& name);

    bool can_undo() const { return !fDone.empty(); }
    bool can_redo() const { return !fUndone.empty(); }
    // The name of the step Undo or Redo would take back or do again; empty
    // when there is none.
    std::string undo_name() const;
    std::string redo_name() const;
    // Take back the last step or do the last undone one again. Every table
    // the step touched is told (ttf_table::refresh). False when there was
    // nothing to do, or when a table could not take the step back (memory
    // ran out): the step is then undone as far as it went and redone
    // again, so the font stays at a state the history knows.
    bool undo();
    bool redo();

    // The font as it stands is what its file holds.
    void mark_saved();
    // For a save that reads the bytes now and writes them later: the state
    // they are in, to hand to mark_saved once the file holds them. Changes
    // after it start a step of their own, so that the state stays one the
    // history can tell apart from later ones.
    uint64_t seal();
    void mark_saved(uint64_t state);
    // The font differs from what was last saved (always, for a font never
    // saved).
    bool changed() const { return fPosition != fSaved; }

    // Where the history stands, to come back to should an action fail half
    // way (memory ran out): rollback() takes back every change recorded
    // since here() and forgets it (it cannot be redone), and returns the
    // name of the step it took back from, or the one named for the action
    // if it had changed nothing yet. here() allocates nothing.
    struct point {
        uint64_t position = 0;
        size_t entries = 0;
        bool open = false;
    };
    point here() const;
    std::string rollback(const point& p);

    // While paused, changes are not recorded (and must not be ones an
    // undo step could overlap; see above).
    void pause() { fPaused++; }
    void resume() {
        if (fPaused > 0)
            fPaused--;
    }
    // Whether a change now would be recorded.
    bool recording() const { return fPaused == 0 && !fApplying; }

    // Whether the way from the history's first state to the font as it
    // stands changed this table's bytes: a step on it did, or a step let
    // go to bound the memory did (undo cannot go back past that one).
    bool changed_since_start(const ttf_table* table) const;

    // Heap bytes held by the steps.
    size_t memory() const { return fMemory; }
    int count_steps() const { return (int)(fDone.size() + fUndone.size()); }

    // Called after every undo, redo and new step, and when the saved state
    // changes, for a window that shows the names and the changed mark.
    std::function<void()> on_change;

    size_t memory_limit = (size_t)256 << 20;
    int step_limit = 10000;

    // The tables' reports, before the change is made.
    void note_write(ttf_table* table, size_t offset, size_t n);
    void note_splice(ttf_table* table, size_t offset, size_t oldlen, size_t newlen);
    // The table's old buffer, handed over to the history.
    void note_buffer(ttf_table* table, unsigned char* buffer, unsigned long length, size_t room);
    void note_shift(ttf_table* table, size_t offset, size_t count, int width, int64_t delta);

  private:
    journal_step* open_step();
    void add(journal_step* step, journal_entry&& entry);
    void trim();
    // Applies a step's entries, last first for an undo, first first for a
    // redo; false, with every entry applied put back, when one failed.
    bool apply(journal_step& step, bool backwards, std::set<ttf_table*>* touched);
    void refresh(const std::set<ttf_table*>& touched);
    void changed_now();

    ttf* fFont;
    std::deque<journal_step> fDone;
    std::deque<journal_step> fUndone;
    std::string fPending;
    bool fOpen = false;
    int fPaused = 0;
    bool fApplying = false;
    size_t fMemory = 0;
    uint64_t fNextSerial = 1;
    // The serial of the last step done (the base's when none), and that
    // of the state last saved; 0 is a state that was never saved.
    uint64_t fBase = 0;
    uint64_t fPosition = 0;
    uint64_t fSaved = UINT64_MAX;
    // The tables that steps let go of had changed.
    std::set<const ttf_table*> fLetGo;
};

#endif
