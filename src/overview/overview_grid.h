// overview_grid: the glyph overview's cells, one per glyph, in rows that
// fill the view's width, scrolled by a vertical scroll bar. It draws each
// visible cell from the cell cache, copying a glyph's records from the font
// (locked for as long as the copy takes) only when its cell is shown and
// not cached or no longer the same. The keyboard and the pointer move a
// cursor, select glyphs and ask for a glyph to be shown in the editor.
#ifndef TAVREL_OVERVIEW_OVERVIEW_GRID_H
#define TAVREL_OVERVIEW_OVERVIEW_GRID_H

#include "overview/cell_cache.h"
#include "overview/cell_painter.h"
#include "overview/cell_workers.h"
#include "overview/overview_model.h"

#include <View.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class BScrollBar;
class overview_host;

class overview_grid : public BView {
  public:
    static constexpr int min_cell = 32, max_cell = 128;

    overview_grid(BRect frame, overview_host* host, int cellsize);

    void set_scrollbar(BScrollBar* bar);

    // The font was replaced, closed or shown anew: everything is read
    // again and the view starts at the top.
    void refill();
    // The font's content changed: the visible cells whose glyph, image or
    // label changed are drawn again, the others are kept.
    void font_changed();
    // The outline editor's glyph (-1 for none): its cell is highlighted
    // and scrolled into view.
    void set_editor_glyph(int gno);
    void set_cell_size(int size);
    void set_order(overview_model::order_t order);
    // -1 shows outlines, else the strike of that index.
    void set_strike(int strike);
    // Moves the cursor to the glyph a search text names (overview_model::
    // find), selects it and shows it; false when nothing matches.
    bool search(const std::string& text);

    int cell_size() const { return fGeometry.size; }
    int strike() const { return fStrike; }
    int editor_glyph() const { return fEditorGlyph; }
    const overview_model& model() const { return fModel; }
    // The selected glyphs, in glyph order: what operations on the
    // selection act on.
    std::vector<unsigned> selection() const { return fModel.selection(); }
    // The name of the font's file, as last read (empty for a new font).
    const std::string& file_name() const { return fFileName; }
    bool has_font() const { return fHasFont; }
    const cell_cache& cache() const { return fCache; }
    // Glyph records decoded and strike images drawn so far, and the glyphs
    // whose cells were painted anew (cleared on request).
    uint64_t decodes() const { return fPainter.decodes(); }
    std::vector<unsigned>& painted() { return fPainted; }

    // Layout, in the view's coordinates.
    int columns() const;
    BRect cell_rect(int index) const;
    int index_at(BPoint where) const;
    // The places of the first and last cells the view shows (-1, -2 when none).
    void visible_range(int* first, int* last) const;
    // Scrolls so that the cell at `index` is wholly visible.
    void show_index(int index);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void FrameResized(float width, float height) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focus = true) override;
    void MessageReceived(BMessage* message) override;

  private:
    // The cell state that decides how a visible cell looks besides its
    // image: glyph, selection, cursor, highlight.
    struct look {
        unsigned gno;
        bool selected, cursor, editor;
        bool operator!=(const look& o) const {
            return gno != o.gno || selected != o.selected || cursor != o.cursor ||
                   editor != o.editor;
        }
    };
    look look_at(int index) const;
    std::vector<look> visible_looks() const;
    // Invalidates the visible cells whose look differs from `before`.
    void redraw_changed(int first, const std::vector<look>& before);
    // The cache entry to draw glyph gno from, made or checked now; null
    // when the font cannot be read.
    cell_cache::entry* entry_for(unsigned gno);
    // Glyph gno's cache entry when it still shows what the font holds;
    // null when there is none or it is stale (then dropped).
    cell_cache::entry* cached(unsigned gno);
    // Keeps a cell just painted: in the cache, or aside when it does not fit.
    cell_cache::entry* keep(unsigned gno, cell_cache::entry&& made);
    // Paints the cells at these places that the cache lacks, all threads
    // at once, into fMade, for draw_cell to take.
    void paint_missing(const std::vector<int>& indices);
    void draw_cell(int index, BRect r);
    // Reads the font's facts, map and file name; false when it cannot.
    bool read_facts(font_facts* facts, char_map* map);
    void update_scrollbar();
    float data_height() const;
    void move_cursor(int index, bool extend);
    void open_glyph(int index);

    overview_host* fHost;
    BScrollBar* fBar = nullptr;
    overview_model fModel;
    cell_cache fCache;
    cell_painter fPainter;
    cell_geometry fGeometry;
    cell_cache::entry fSpare; // a cell drawn when it does not fit the cache
    cell_workers fWorkers;
    std::vector<cell_scratch> fScratch;                    // one per worker
    std::unordered_map<unsigned, cell_cache::entry> fMade; // painted, not yet drawn
    uint64_t fSerial = 1;
    int fStrike = -1;
    int fEditorGlyph = -1;
    std::string fFileName;
    bool fHasFont = false;
    std::vector<unsigned> fPainted;
};

#endif
