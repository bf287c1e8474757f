#include "overview/overview_window.h"

#include "overview/overview_grid.h"
#include "overview/overview_host.h"
#include "overview/overview_messages.h"
#include "kit/interface/kit_window_place.h"

#include <AppDefs.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <ScrollBar.h>
#include <Slider.h>
#include <TextControl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const float BAR = 36;
const float NOTICE = 16;
const float default_width = 640, default_height = 480;
const float min_width = 420, min_height = 200;

// A whole number setting within limits, else the fallback.
int setting_number(overview_host* host, const char* key, int fallback, int lo, int hi) {
    std::string text = host->setting(key, "");
    char* end = nullptr;
    long v = text.empty() ? fallback : std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && (!end || *end != '\0'))
        return fallback;
    return v < lo || v > hi ? fallback : (int)v;
}

BRect initial_frame(overview_host* host) {
    float w =
        (float)setting_number(host, "overview.width", (int)default_width, (int)min_width, 16384);
    float h =
        (float)setting_number(host, "overview.height", (int)default_height, (int)min_height, 16384);
    BRect frame(520, 80, 520 + w - 1, 80 + h - 1);
    // Where it was, when it was last closed (the window opens on the
    // screen whatever this says).
    kit::parse_frame_text(host->setting("overview.frame", ""), &frame);
    return frame;
}

// One line of text under the cells.
class notice_line : public BView {
  public:
    explicit notice_line(BRect frame)
        : BView(frame, "notice", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, B_WILL_DRAW) {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    }
    void set_text(const std::string& text) {
        if (text == fText)
            return;
        fText = text;
        Invalidate();
    }
    const std::string& text() const { return fText; }
    void Draw(BRect) override {
        SetHighColor(0, 0, 0);
        DrawString(fText.c_str(), BPoint(4, NOTICE - 4));
    }

  private:
    std::string fText;
};

} // namespace

overview_window::overview_window(overview_host* host)
    : BWindow(initial_frame(host), "Glyphs", B_DOCUMENT_WINDOW, 0), fHost(host) {
    SetSizeLimits(min_width, 32768, min_height, 32768);
    BRect b = Bounds();

    BView* bar =
        new BView(BRect(0, 0, b.right, BAR - 1), "controls", B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW);
    bar->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    AddChild(bar);

    BMenu* order = new BMenu("Order");
    order->SetRadioMode(true);
    order->SetLabelFromMarked(true);
    const char* orders[] = {"Glyph number", "Character code"};
    for (int32 i = 0; i < 2; i++) {
        BMessage* m = new BMessage(OVERVIEW_ORDER);
        m->AddInt32("order", i);
        BMenuItem* item = new BMenuItem(orders[i], m);
        item->SetMarked(i == 0);
        order->AddItem(item);
    }
    order->SetTargetForItems(this);
    fOrder = new BMenuField(BRect(4, 8, 184, 30), "order", "Order:", order, true);
    fOrder->SetDivider(42);
    bar->AddChild(fOrder);

    BMenu* strikes = new BMenu("Show");
    strikes->SetRadioMode(true);
    strikes->SetLabelFromMarked(true);
    fStrike = new BMenuField(BRect(190, 8, 320, 30), "strike", "Show:", strikes, true);
    fStrike->SetDivider(40);
    bar->AddChild(fStrike);

    int cell =
        setting_number(host, "overview.cell", 64, overview_grid::min_cell, overview_grid::max_cell);
    fSize =
        new BSlider(BRect(326, 0, 446, BAR - 2), "size", "Cell size", new BMessage(OVERVIEW_SIZE),
                    overview_grid::min_cell, overview_grid::max_cell);
    fSize->SetModificationMessage(new BMessage(OVERVIEW_SIZE));
    fSize->SetKeyIncrementValue(8);
    fSize->SetValue(cell);
    bar->AddChild(fSize);

    BMessage* commit = new BMessage(OVERVIEW_FIND);
    commit->AddBool("commit", true);
    fFind = new BTextControl(BRect(454, 8, b.right - 6, 30), "find", "Find:", "", commit,
                             B_FOLLOW_LEFT_RIGHT);
    fFind->SetDivider(34);
    fFind->SetModificationMessage(new BMessage(OVERVIEW_FIND));
    bar->AddChild(fFind);

    const float bottom = b.bottom - NOTICE;
    fGrid =
        new overview_grid(BRect(0, BAR, b.right - B_V_SCROLL_BAR_WIDTH - 1, bottom), host, cell);
    AddChild(fGrid);
    fBar = new BScrollBar(BRect(b.right - B_V_SCROLL_BAR_WIDTH, BAR, b.right, bottom), "scroll",
                          fGrid, 0, 0, B_VERTICAL);
    fBar->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    AddChild(fBar);
    fNotice = new notice_line(BRect(0, bottom + 1, b.right, b.bottom));
    AddChild(fNotice);
    fGrid->set_scrollbar(fBar);
    fGrid->MakeFocus(true);
    list_strikes();
    PostMessage(OVERVIEW_FONT);
    Show();
}

std::string overview_window::title_for(bool hasfont, const std::string& file) {
    if (!hasfont)
        return "Glyphs";
    return std::string("Glyphs \xE2\x80\x94 ") + (file.empty() ? "Untitled" : file);
}

void overview_window::show_title() {
    std::string title = title_for(fGrid->has_font(), fGrid->file_name());
    if (title != Title())
        SetTitle(title.c_str());
}

void overview_window::list_strikes() {
    const std::vector<strike_size>& strikes = fGrid->model().facts().strikes;
    BMenu* menu = fStrike->Menu();
    while (menu->CountItems() > 0)
        delete menu->RemoveItem((int32)0);
    for (int i = -1; i < (int)strikes.size(); i++) {
        char label[32];
        if (i < 0)
            snprintf(label, sizeof label, "outlines");
        else if (strikes[(size_t)i].ppemx == strikes[(size_t)i].ppemy)
            snprintf(label, sizeof label, "%d px", strikes[(size_t)i].ppemy);
        else
            snprintf(label, sizeof label, "%d x %d px", strikes[(size_t)i].ppemx,
                     strikes[(size_t)i].ppemy);
        BMessage* m = new BMessage(OVERVIEW_STRIKE);
        m->AddInt32("strike", i);
        BMenuItem* item = new BMenuItem(label, m);
        item->SetMarked(i == fGrid->strike());
        menu->AddItem(item);
    }
    menu->SetTargetForItems(this);
    fStrike->SetEnabled(!strikes.empty());
    fStrike->Invalidate();
}

std::string overview_window::notice() const {
    return static_cast<notice_line*>(fNotice)->text();
}

void overview_window::show_notice(const std::string& text) {
    static_cast<notice_line*>(fNotice)->set_text(text);
}

void overview_window::remember() {
    BRect f = Frame();
    fHost->remember("overview.width", std::to_string((int)(f.Width() + 1)));
    fHost->remember("overview.height", std::to_string((int)(f.Height() + 1)));
    fHost->remember("overview.frame", kit::frame_text(f));
    fHost->remember("overview.cell", std::to_string(fGrid->cell_size()));
}

bool overview_window::QuitRequested() {
    remember();
    fHost->selection_changed({});
    return true;
}

void overview_window::DispatchMessage(BMessage* message, BHandler* handler) {
    BWindow::DispatchMessage(message, handler);
    unsigned serial = fGrid->model().selection_serial();
    if (serial != fToldSelection) {
        fToldSelection = serial;
        fHost->selection_changed(fGrid->selection());
    }
}

void overview_window::MessageReceived(BMessage* message) {
    switch (message->what) {
    case OVERVIEW_FONT:
        // A paste waiting for an answer named the old font's glyphs.
        fHeldClips.clear();
        fHeldOnto.clear();
        fGrid->refill();
        show_title();
        list_strikes();
        return;
    case OVERVIEW_CHANGED: {
        std::vector<strike_size> before = fGrid->model().facts().strikes;
        fGrid->font_changed();
        show_title();
        if (!(fGrid->model().facts().strikes == before))
            list_strikes();
        return;
    }
    case OVERVIEW_EDITOR:
        fGrid->set_editor_glyph(message->GetInt32("glyph", -1));
        return;
    case OVERVIEW_ACTIVATE:
        Activate(true);
        return;
    case OVERVIEW_NOTICE:
        show_notice(message->GetString("text", ""));
        return;
    case B_COPY:
        copy_selection();
        return;
    case B_PASTE:
        paste_onto_selection();
        return;
    case OVERVIEW_PASTE_AS:
        answer_paste(message);
        return;
    case OVERVIEW_ORDER:
        fGrid->set_order(message->GetInt32("order", 0) == 1 ? overview_model::by_code
                                                            : overview_model::by_glyph);
        return;
    case OVERVIEW_STRIKE:
        fGrid->set_strike(message->GetInt32("strike", -1));
        return;
    case OVERVIEW_SIZE: {
        int32 step = 0;
        int size = message->FindInt32("step", &step) == B_OK ? fGrid->cell_size() + step
                                                             : (int)fSize->Value();
        size = std::clamp(size, overview_grid::min_cell, overview_grid::max_cell);
        if (fSize->Value() != size)
            fSize->SetValue(size);
        fGrid->set_cell_size(size);
        return;
    }
    case OVERVIEW_FIND: {
        bool found = fGrid->search(fFind->Text());
        if (message->GetBool("commit", false) && found)
            fGrid->MakeFocus(true);
        return;
    }
    default:
        BWindow::MessageReceived(message);
    }
}
