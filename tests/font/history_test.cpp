// The undo history: random runs of edits, undos, redos and saves over a
// real font must leave exactly the font that the remaining edits give when
// made on a fresh copy; the changed mark must follow the saved state; and
// the history keeps what changed, not whole tables. Along the way a copy
// that copies again only the tables whose stamp moved stays equal to a
// whole copy of the font, and the derived metrics worked out from a cache
// of the outlines' boxes (measuring only what changed) equal those worked
// out from every outline.
#include "font/history.h"

#include "font/cmap.h"
#include "font/derived_metrics.h"
#include "font/font_copy.h"
#include "font/font_image.h"
#include "font/gasp.h"
#include "font/glyf.h"
#include "font/glyph_box_cache.h"
#include "font/head.h"
#include "font/hmtx.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/name.h"
#include "font/post.h"
#include "font/ttf.h"
#include "outline/glyph.h"

#include <File.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "font/font_builder.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::unique_ptr<ttf> open_font(const std::string& path) {
    std::unique_ptr<ttf> font(new ttf());
    BFile file(path.c_str(), B_READ_ONLY);
    if (file.InitCheck() != B_OK || font->load(file) != 0)
        return nullptr;
    return font;
}

// The font's file bytes with what the clock puts in (head's modified date)
// and what follows from it (head's checksums) zeroed, so that two saves of
// the same font compare equal whenever they are made.
std::vector<unsigned char> saved_bytes(ttf& font, const std::string& path) {
    {
        BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        if (font.save(file) != 0)
            return {};
    }
    std::vector<unsigned char> b = read_file(path);
    if (b.size() < 12)
        return {};
    size_t n = font_builder::get16(b, 4);
    for (size_t i = 0; i < n && 12 + 16 * i + 16 <= b.size(); i++) {
        size_t e = 12 + 16 * i;
        if (font_builder::get32(b, e) != font_builder::tag("head"))
            continue;
        size_t off = font_builder::get32(b, e + 8);
        font_builder::put32(b, e + 4, 0);
        if (off + 36 <= b.size()) {
            font_builder::put32(b, off + 8, 0);
            font_builder::put32(b, off + 28, 0);
            font_builder::put32(b, off + 32, 0);
        }
    }
    return b;
}

// One edit as a user makes it through an editor; made again on another
// copy of the font it does the same. Returns 0 when it changed the font.
struct edit {
    std::string name;
    std::function<int(ttf&)> apply;
};

edit random_edit(std::mt19937& rng, unsigned glyphs) {
    auto pick = [&](unsigned n) { return (unsigned)(rng() % n); };
    char text[64];
    switch (pick(9)) {
    case 0: {
        unsigned from = pick(glyphs), to = pick(glyphs);
        snprintf(text, sizeof text, "copy glyph %u to %u", from, to);
        return {text, [from, to](ttf& f) {
                    glyph g((unsigned short)from);
                    if (f.get_glyph((int)from, &g) != 0)
                        return -1;
                    return f.set_glyph((int)to, &g);
                }};
    }
    case 1: {
        unsigned to = pick(glyphs);
        snprintf(text, sizeof text, "clear glyph %u", to);
        return {text, [to](ttf& f) {
                    glyph empty((unsigned short)to);
                    return f.set_glyph((int)to, &empty);
                }};
    }
    case 2: {
        unsigned start = 0x20 + pick(0x300), end = start + pick(40), gno = pick(glyphs);
        if (pick(4) == 0)
            gno = 0xFFFF;
        snprintf(text, sizeof text, "map %04x-%04x to %u", start, end, gno);
        return {text, [start, end, gno](ttf& f) {
                    return f.cmap->set_chr((unsigned short)start, (unsigned short)end,
                                           (unsigned short)gno);
                }};
    }
    case 3: {
        unsigned id = pick(24);
        bool remove = pick(3) == 0;
        std::string value = "Name " + std::to_string(rng() % 100000);
        snprintf(text, sizeof text, "name %u", id);
        return {text, [id, remove, value](ttf& f) {
                    return f.name->set_field(3, 1, 0x409, (unsigned short)id,
                                             remove ? nullptr : value.c_str());
                }};
    }
    case 4: {
        unsigned g = pick(glyphs), aw = pick(3000);
        int lsb = (int)pick(400) - 200;
        snprintf(text, sizeof text, "metrics %u", g);
        return {text, [g, aw, lsb](ttf& f) {
                    return f.hmtx->set_mtx((unsigned short)g, (unsigned short)aw, (short)lsb);
                }};
    }
    case 5: {
        unsigned v = pick(0x10000);
        return {"maxStackElements",
                [v](ttf& f) { return f.maxp->writer().put16(24, (uint16_t)v) ? 0 : -1; }};
    }
    case 6: {
        uint32_t v = (uint32_t)rng();
        return {"isFixedPitch", [v](ttf& f) { return f.post->writer().put32(12, v) ? 0 : -1; }};
    }
    case 7:
        // glyf and loca replaced whole by the file's: every glyph edit so
        // far is gone at once.
        return {"outlines as in the file", [](ttf& f) {
                    std::unique_ptr<ttf> file = open_font(DEJAVU);
                    if (!file)
                        return -1;
                    for (ttf_table* t : {(ttf_table*)f.glyf, (ttf_table*)f.loca}) {
                        const ttf_table* from = file->table(t->tag);
                        unsigned char* copy = malloc32((long)from->length);
                        if (!copy)
                            return -1;
                        std::memcpy(copy, from->data, from->length);
                        t->replace_data(copy, from->length);
                    }
                    return 0;
                }};
    default: {
        unsigned ppem = pick(6) == 0 ? 0 : 1 + pick(300), behavior = pick(16);
        int index = pick(2) == 0 ? -1 : (int)pick(4);
        if (ppem == 0 && index < 0)
            index = 0;
        snprintf(text, sizeof text, "gasp %d %u", index, ppem);
        return {text, [index, ppem, behavior](ttf& f) {
                    return f.gasp->set_field(index, (unsigned short)ppem, (unsigned short)behavior);
                }};
    }
    }
}

// The image `copy` makes after taking only what changed equals a whole copy
// of the font; taken again at once, it copies nothing.
void expect_copy_follows(ttf& font, font_copy& copy) {
    font_image whole;
    ASSERT_EQ(font.copy_image(&whole), 0);
    whole.finish();
    ASSERT_TRUE(copy.take(font));
    std::shared_ptr<font_image> image = copy.image();
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size, whole.size);
    ASSERT_EQ(std::memcmp(image->bytes.get(), whole.bytes.get(), whole.size), 0);
    ASSERT_TRUE(copy.take(font));
    ASSERT_EQ(copy.copied(), 0u);
}

// The derived metrics worked out through `boxes` equal those worked out
// from every outline, and so does every glyph's box it keeps; after one
// glyph store only a few glyphs are measured.
void expect_cache_follows(ttf& font, glyph_box_cache& boxes, bool one_glyph) {
    derived_metrics full, cached;
    ASSERT_EQ(compute_derived_metrics(font, &full), compute_derived_metrics(font, &cached, &boxes));
    ASSERT_EQ(full.has_box, cached.has_box);
    ASSERT_EQ(full.has_metrics, cached.has_metrics);
    auto values = [](const derived_metrics& m) {
        return std::vector<int32_t>{m.box.xMin,
                                    m.box.yMin,
                                    m.box.xMax,
                                    m.box.yMax,
                                    m.advanceWidthMax,
                                    m.minLeftSideBearing,
                                    m.minRightSideBearing,
                                    m.xMaxExtent};
    };
    ASSERT_EQ(values(full), values(cached));
    // Glyph by glyph, as measured afresh.
    glyf_bounds bounds(font);
    for (unsigned g = 0; g < font.maxp->numglyphs(); g++) {
        glyph_box fresh, kept;
        const glyf_bounds::result r = bounds.box_of(g, &fresh);
        ASSERT_EQ(r, boxes.box_of(g, &kept)) << "glyph " << g;
        if (r == glyf_bounds::has_box) {
            ASSERT_EQ(std::vector<int32_t>({fresh.xMin, fresh.yMin, fresh.xMax, fresh.yMax}),
                      std::vector<int32_t>({kept.xMin, kept.yMin, kept.xMax, kept.yMax}))
                << "glyph " << g;
        }
    }
    if (one_glyph) {
        EXPECT_LT(boxes.measured(), font.maxp->numglyphs() / 10);
    }
}

struct done_edit {
    edit e;
    int id;
};

void run_sequence(unsigned seed, int actions) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::string dir = temp_dir();
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    h->mark_saved();
    const unsigned glyphs = font->maxp->numglyphs();

    std::mt19937 rng(seed);
    std::vector<done_edit> done, undone;
    int nextid = 1, savedid = 0;
    font_copy copy;
    ASSERT_TRUE(copy.take(*font));
    ASSERT_TRUE(copy.image());
    glyph_box_cache boxes;
    bool one_glyph = false;
    expect_cache_follows(*font, boxes, false);
    auto position = [&] { return done.empty() ? 0 : done.back().id; };
    for (int a = 0; a < actions; a++) {
        unsigned what = rng() % 10;
        one_glyph = false;
        if (what < 5) {
            edit e = random_edit(rng, glyphs);
            one_glyph = e.name.rfind("copy glyph", 0) == 0 || e.name.rfind("clear glyph", 0) == 0;
            h->checkpoint(e.name);
            if (e.apply(*font) != 0) {
                // A refused edit changes nothing and leaves no step.
                continue;
            }
            undone.clear();
            done.push_back({e, nextid++});
            // A write to one table copies that table alone.
            if (e.name == "maxStackElements") {
                ASSERT_TRUE(copy.take(*font));
                EXPECT_EQ(copy.copied(), (font->maxp->length + 3) & ~3UL);
            }
        } else if (what < 8) {
            EXPECT_EQ(h->undo(), !done.empty());
            if (!done.empty()) {
                undone.push_back(done.back());
                done.pop_back();
            }
        } else if (what < 9) {
            EXPECT_EQ(h->redo(), !undone.empty());
            if (!undone.empty()) {
                done.push_back(undone.back());
                undone.pop_back();
            }
        } else {
            ASSERT_FALSE(saved_bytes(*font, dir + "/saved.ttf").empty());
            h->mark_saved();
            savedid = position();
        }
        ASSERT_EQ(h->can_undo(), !done.empty()) << "after action " << a;
        ASSERT_EQ(h->can_redo(), !undone.empty());
        if (!done.empty()) {
            ASSERT_EQ(h->undo_name(), done.back().e.name);
        }
        if (!undone.empty()) {
            ASSERT_EQ(h->redo_name(), undone.back().e.name);
        }
        ASSERT_EQ(h->changed(), position() != savedid) << "after action " << a;
        expect_copy_follows(*font, copy);
        expect_cache_follows(*font, boxes, one_glyph);
        if (::testing::Test::HasFatalFailure())
            return;
    }

    std::vector<unsigned char> edited = saved_bytes(*font, dir + "/edited.ttf");
    std::unique_ptr<ttf> fresh = open_font(DEJAVU);
    ASSERT_TRUE(fresh);
    for (const done_edit& d : done)
        ASSERT_EQ(d.e.apply(*fresh), 0) << d.e.name;
    std::vector<unsigned char> replayed = saved_bytes(*fresh, dir + "/replayed.ttf");
    ASSERT_FALSE(edited.empty());
    EXPECT_TRUE(edited == replayed) << done.size() << " edits remain";
    // Every step taken back returns the font to its file.
    while (h->undo()) {
    }
    std::unique_ptr<ttf> original = open_font(DEJAVU);
    EXPECT_TRUE(saved_bytes(*font, dir + "/undone.ttf") == saved_bytes(*original, dir + "/o.ttf"));
}

} // namespace

TEST(History, RandomEditsUndosAndRedosSaveAsTheRemainingEditsReplayed) {
    for (unsigned seed = 1; seed <= 12; seed++)
        run_sequence(seed, 80);
}

TEST(History, UndoingBackToTheSavedStateClearsTheChangedMark) {
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    EXPECT_TRUE(h->changed()) << "a font never saved counts as changed";
    h->mark_saved();
    EXPECT_FALSE(h->changed());
    EXPECT_FALSE(h->can_undo());

    h->checkpoint("Metrics");
    ASSERT_EQ(font->hmtx->set_mtx(3, 700, 10), 0);
    EXPECT_TRUE(h->changed());
    h->mark_saved();
    EXPECT_FALSE(h->changed());
    // A change after saving with no checkpoint of its own is still a step
    // of its own: undoing it comes back to the saved state.
    ASSERT_EQ(font->hmtx->set_mtx(3, 800, 10), 0);
    EXPECT_TRUE(h->changed());
    EXPECT_EQ(h->undo_name(), "Change");
    ASSERT_TRUE(h->undo());
    EXPECT_FALSE(h->changed());
    ASSERT_TRUE(h->undo());
    EXPECT_TRUE(h->changed()) << "before the saved state";
    ASSERT_TRUE(h->redo());
    EXPECT_FALSE(h->changed());
    // A new edit from an earlier state makes the saved one unreachable.
    ASSERT_TRUE(h->undo());
    h->checkpoint("Other metrics");
    ASSERT_EQ(font->hmtx->set_mtx(4, 100, 0), 0);
    EXPECT_FALSE(h->can_redo());
    EXPECT_TRUE(h->changed());
    ASSERT_TRUE(h->undo());
    EXPECT_TRUE(h->changed());
}

TEST(History, SavingRecordsNoStepAndChangesNoMark) {
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    h->mark_saved();
    ASSERT_FALSE(saved_bytes(*font, temp_dir() + "/s.ttf").empty());
    EXPECT_FALSE(h->can_undo());
    EXPECT_FALSE(h->changed());
}

TEST(History, AGlyphStoreKeepsTheRecordAndTheLocaShiftNotTheTables) {
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    glyph g(36);
    ASSERT_EQ(font->get_glyph(36, &g), 0);
    unsigned long offset, oldlength;
    ASSERT_EQ(font->loca->get_offset(true, 10, &offset, &oldlength), 0);
    for (int i = 0; i < 100; i++) {
        h->checkpoint("Store glyph");
        ASSERT_EQ(font->set_glyph(10 + i, &g), 0);
    }
    // DejaVu's glyf is some 600 KB and its loca 25 KB: a hundred stores of a
    // glyph of a few hundred bytes must keep far less than one copy of either.
    EXPECT_LT(h->memory(), (size_t)100 * 1024);
    EXPECT_EQ(h->count_steps(), 100);
    for (int i = 0; i < 100; i++)
        ASSERT_TRUE(h->undo());
    unsigned long length;
    ASSERT_EQ(font->loca->get_offset(true, 10, &offset, &length), 0);
    EXPECT_EQ(length, oldlength);
}

TEST(History, AWidenedShortLocaIsNarrowAgainAfterUndo) {
    // A glyf of 0x1FFF0 bytes is nearly as far as short offsets reach: a
    // record added at its end makes loca long.
    using namespace font_builder;
    bytes glyf = simple_glyph(4);
    if (glyf.size() % 2)
        glyf.push_back(0);
    const size_t first = glyf.size();
    glyf.resize(0x1FFF0, 0);
    bytes loca;
    for (uint32_t v : {0u, (uint32_t)first / 2, 0xFFF8u, 0xFFF8u})
        add16(loca, v);
    std::string path = temp_dir() + "/short.ttf";
    ASSERT_TRUE(write_file(path, sfnt({{"cmap", empty_cmap()},
                                       {"glyf", glyf},
                                       {"head", head_table(0)},
                                       {"hhea", hhea_table(3)},
                                       {"hmtx", hmtx_table(3)},
                                       {"loca", loca},
                                       {"maxp", maxp_table(3)}})));
    std::unique_ptr<ttf> font = open_font(path);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    h->mark_saved();
    std::vector<unsigned char> before = saved_bytes(*font, temp_dir() + "/a.ttf");

    glyph g(0);
    ASSERT_EQ(font->get_glyph(0, &g), 0);
    ASSERT_GT(g.count, 0);
    h->checkpoint("Store glyph 0002");
    ASSERT_EQ(font->set_glyph(2, &g), 0);
    ASSERT_TRUE(font->head->is32loca());
    std::vector<unsigned char> after = saved_bytes(*font, temp_dir() + "/b.ttf");

    ASSERT_TRUE(h->undo());
    EXPECT_FALSE(font->head->is32loca());
    EXPECT_TRUE(saved_bytes(*font, temp_dir() + "/c.ttf") == before);
    EXPECT_FALSE(h->changed());
    ASSERT_TRUE(h->redo());
    EXPECT_TRUE(font->head->is32loca());
    EXPECT_TRUE(saved_bytes(*font, temp_dir() + "/d.ttf") == after);
}

TEST(History, UndoRereadsTheCharacterMap) {
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    unsigned short was = font->cmap->get_gno('A');
    h->checkpoint("Map A");
    ASSERT_EQ(font->cmap->set_chr('A', 'A', 5), 0);
    EXPECT_EQ(font->cmap->get_gno('A'), 5);
    ASSERT_TRUE(h->undo());
    EXPECT_EQ(font->cmap->get_gno('A'), was);
    ASSERT_TRUE(h->redo());
    EXPECT_EQ(font->cmap->get_gno('A'), 5);
}

TEST(History, OldestStepsGoWhenTheLimitIsReached) {
    std::unique_ptr<ttf> font = open_font(DEJAVU);
    ASSERT_TRUE(font);
    font_history* h = font->start_history();
    h->mark_saved();
    h->step_limit = 5;
    for (int i = 0; i < 9; i++) {
        h->checkpoint("Metrics " + std::to_string(i));
        ASSERT_EQ(font->hmtx->set_mtx(3, (unsigned short)(100 + i), 0), 0);
    }
    EXPECT_EQ(h->count_steps(), 5);
    int undone = 0;
    while (h->undo())
        undone++;
    EXPECT_EQ(undone, 5);
    unsigned short aw;
    short lsb;
    ASSERT_EQ(font->hmtx->get_mtx(3, &aw, &lsb), 0);
    EXPECT_EQ(aw, 103) << "the state after the oldest kept step";
    EXPECT_TRUE(h->changed()) << "the saved state can no longer be reached";
}
