// The overview's cut and paste of whole glyphs. Copy reads the selected
// glyphs from the font with its owner locked and puts them on the
// clipboard outside the lock; paste reads the clipboard here and leaves
// the store to the font's owner, in its own thread.
#include "overview/overview_window.h"

#include "font/glyph_clip.h"
#include "font/glyph_paste.h"
#include "font/head.h"
#include "font/svg_path.h"
#include "font/ttf.h"
#include "kit/display/clipboard.h"
#include "overview/overview_grid.h"
#include "overview/overview_host.h"
#include "overview/overview_messages.h"

#include <Alert.h>
#include <Invoker.h>

#include <cstdio>

namespace {

std::string count_text(const char* format, size_t n) {
    char text[120];
    snprintf(text, sizeof text, format, n, n == 1 ? "" : "s");
    return text;
}

} // namespace

void overview_window::copy_selection() {
    const std::vector<unsigned> selected = fGrid->selection();
    if (selected.empty()) {
        show_notice("Select the glyphs to copy.");
        return;
    }
    glyph_clips clips;
    std::string why = "There is no font to copy from.";
    bool whole = false;
    const uint64_t shown = fGrid->model().facts().font;
    fHost->read_font([&](ttf* font, const std::string&) {
        // The selection's numbers are those of the font shown here, which
        // the owner may have replaced since.
        if (!font || font->id() != shown || !font->glyf || !font->head)
            return;
        clips.units_per_em = (uint16_t)font->head->unitsperem();
        clips.glyphs.resize(selected.size());
        for (size_t i = 0; i < selected.size(); i++)
            if (!clip_of_font_glyph(*font, selected[i], &clips.glyphs[i], &why))
                return;
        whole = true;
    });
    if (!whole) {
        show_notice(why);
        return;
    }
    kit::clipboard_entries entries = {{GLYPH_CLIP_TYPE, encode_glyph_clips(clips)}};
    // Other programs get one glyph of outlines as an SVG path too.
    const glyph_clip& first = clips.glyphs[0];
    if (clips.glyphs.size() == 1 && first.components.empty() && !first.contours.empty()) {
        std::string svg = svg_of_glyph(first, clips.units_per_em);
        entries[SVG_CLIP_TYPE] = svg;
        entries[kit::CLIPBOARD_TEXT] = svg;
    }
    kit::set_clipboard_data(entries);
    show_notice(count_text("copied %zu glyph%s", selected.size()));
}

void overview_window::paste_onto_selection() {
    const std::vector<unsigned> selected = fGrid->selection();
    std::string data, why;
    glyph_clips clips;
    if (!kit::clipboard_data(GLYPH_CLIP_TYPE, &data)) {
        show_notice("The clipboard holds no glyphs to paste.");
        return;
    }
    if (!parse_glyph_clips(data, &clips, &why)) {
        show_notice(why);
        return;
    }
    if (clips.glyphs.empty()) {
        show_notice("The clipboard holds no glyphs to paste.");
        return;
    }
    if (selected.empty()) {
        show_notice("Select the glyphs to paste onto.");
        return;
    }
    if (clips.glyphs.size() == selected.size()) {
        fHost->paste_glyphs(fGrid->model().facts().font, data, selected);
        return;
    }
    // The counts differ: only the user can say which glyphs go where. The
    // one answer offered besides Cancel pastes as many as both have, in
    // order, and changes no glyph that is not selected.
    const size_t held = clips.glyphs.size(), n = std::min(held, selected.size());
    clips.glyphs.resize(n);
    fHeldClips = encode_glyph_clips(clips);
    fHeldOnto.assign(selected.begin(), selected.begin() + (long)n);
    fHeldFont = fGrid->model().facts().font;
    char question[240];
    if (held > n)
        snprintf(question, sizeof question,
                 "The clipboard holds %zu glyphs, and %zu %s selected. Paste the clipboard's "
                 "first %zu onto %s, in order?",
                 held, n, n == 1 ? "is" : "are", n, n == 1 ? "it" : "them");
    else
        snprintf(question, sizeof question,
                 "The clipboard holds %zu glyph%s, and %zu are selected. Paste %s onto the first "
                 "%zu selected, in order?",
                 n, n == 1 ? "" : "s", selected.size(), n == 1 ? "it" : "them", n);
    char label[32];
    snprintf(label, sizeof label, "Paste %zu", n);
    BAlert* alert = new BAlert("tavrel", question, "Cancel", label, nullptr);
    alert->SetShortcut(0, B_ESCAPE);
    alert->Go(new BInvoker(new BMessage(OVERVIEW_PASTE_AS), this));
}

void overview_window::answer_paste(BMessage* message) {
    std::string clips = std::move(fHeldClips);
    std::vector<unsigned> onto = std::move(fHeldOnto);
    fHeldClips.clear();
    fHeldOnto.clear();
    if (message->GetInt32("which", 0) != 1 || onto.empty())
        return;
    fHost->paste_glyphs(fHeldFont, clips, onto);
}
