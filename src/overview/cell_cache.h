// cell_cache: the images of the cells drawn lately, with what each was
// drawn from, so that scrolling back and redrawing cost a copy of pixels.
// The images and copies together stay within a byte budget: the cells
// used longest ago go first.
#ifndef TAVREL_OVERVIEW_CELL_CACHE_H
#define TAVREL_OVERVIEW_CELL_CACHE_H

#include "overview/cell_content.h"

#include <Bitmap.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class cell_cache {
  public:
    struct entry {
        cell_content content;
        std::unique_ptr<BBitmap> image;
        // The change (overview_grid's count of font changes) up to which
        // the font is known to hold the same as `content`.
        uint64_t verified = 0;
        size_t bytes = 0;
    };

    explicit cell_cache(size_t budget = (size_t)64 << 20) : fBudget(budget) {}

    // The entry of glyph gno, now the most recently used; null when none.
    entry* find(unsigned gno);
    // Keeps `e` for glyph gno (replacing any), letting the least recently
    // used entries go to stay within the budget. Returns where it is kept,
    // or null when it alone would pass the budget (nothing is kept).
    entry* insert(unsigned gno, entry&& e);
    void erase(unsigned gno);
    void clear();
    // Lets the least recently used entries go until `bytes` more fit in
    // the budget, handing their images to `images` to be drawn over.
    void make_room(size_t bytes, std::vector<std::unique_ptr<BBitmap>>* images);
    // What keeping an entry costs against the budget.
    static size_t cost(const cell_content& content, size_t image_bytes);

    size_t bytes() const { return fBytes; }
    size_t budget() const { return fBudget; }
    size_t size() const { return fEntries.size(); }
    // Calls f(gno, entry) for every entry.
    template <typename F> void each(F f) {
        for (auto& kv : fEntries)
            f(kv.first, kv.second.e);
    }

  private:
    struct slot {
        entry e;
        std::list<unsigned>::iterator use;
    };
    size_t fBudget;
    size_t fBytes = 0;
    std::unordered_map<unsigned, slot> fEntries;
    std::list<unsigned> fUse; // most recent first
};

#endif
