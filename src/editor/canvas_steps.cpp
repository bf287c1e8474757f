#include "editor/canvas_steps.h"

#include "editor/canvas_history.h"
#include "font/ebdt.h"
#include "font/glyf.h"
#include "font/history.h"
#include "font/ttf.h"

#include <View.h>

namespace {

// The canvas whose steps the Edit menu takes: the one that is shown.
stepping_canvas* shown_canvas(ttf* font) {
    if (!font)
        return nullptr;
    for (BView* view : {font->glyf ? font->glyf->editview : nullptr,
                        font->ebdt ? font->ebdt->editview : nullptr}) {
        stepping_canvas* canvas = dynamic_cast<stepping_canvas*>(view);
        if (canvas && shown_in_window(view))
            return canvas;
    }
    return nullptr;
}

} // namespace

bool shown_in_window(const BView* view) {
    for (const BView* v = view; v; v = v->Parent())
        if (v->IsHidden())
            return false;
    return view && view->Window() != nullptr;
}

std::string canvas_step_name(ttf* font, bool redo) {
    stepping_canvas* canvas = shown_canvas(font);
    if (!canvas || !canvas->can_step(redo))
        return "";
    std::string name = canvas->step_name(redo);
    return name.empty() ? "edit" : name;
}

bool undo_step(ttf* font, bool redo) {
    font_history* h = font ? font->history() : nullptr;
    if (!h)
        return false;
    stepping_canvas* canvas = shown_canvas(font);
    if (canvas && canvas->can_step(redo) && canvas->step(redo))
        return true;
    // The canvases hear of the change through their tables' refresh.
    return redo ? h->redo() : h->undo();
}
