// The bitmap editor's cut, copy and paste on the desktop clipboard: the
// image shown goes out with its metrics and strike; a paste puts the
// clipboard's image onto the one shown as one canvas step, placed on the
// same glyph origin, cut off where it passes the image's box and blank
// where it does not reach it (the image keeps its size, which is all a
// store can write into its place in EBDT).
#include "editor/ebdteditview.h"

#include "font/bitmap.h"
#include "font/bitmap_clip.h"
#include "kit/display/clipboard.h"

#include <Alert.h>
#include <AppDefs.h>

#include <algorithm>

bool ebdteditview::clip_applies(uint32 what) const {
    if (gno == 0xFFFF || !bmp || !bmp->pixels)
        return false;
    return what == B_COPY || what == B_CUT || what == B_PASTE;
}

void ebdteditview::clip_command(uint32 what) {
    if (!clip_applies(what))
        return;
    bitmap_clip clip;
    if (what == B_COPY || what == B_CUT) {
        bitmap_clip_of(*bmp, &clip);
        kit::set_clipboard_data({{BITMAP_CLIP_TYPE, encode_bitmap_clip(clip)}});
        if (what == B_COPY)
            return;
        clip.pixels.assign(clip.pixels.size(), 0);
    } else {
        std::string data, why;
        if (!kit::clipboard_data(BITMAP_CLIP_TYPE, &data)) {
            refuse("The clipboard holds no bitmap glyph to paste.");
            return;
        }
        if (!parse_bitmap_clip(data, &clip, &why)) {
            refuse(why);
            return;
        }
    }
    std::vector<uint8_t> placed =
        place_bitmap_clip(clip, bmp->width, bmp->height, bmp->bearingx, bmp->bearingy, nullptr);
    steps.begin(state());
    std::copy(placed.begin(), placed.end(), bmp->pixels);
    steps.end(what == B_CUT ? "cut" : "paste", state());
    redraw(5);
}

void ebdteditview::refuse(const std::string& why) {
    refusal = why;
    if (!Window())
        return;
    BAlert* alert = new BAlert("tavrel", why.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
                               B_WARNING_ALERT);
    alert->Go(nullptr);
}
