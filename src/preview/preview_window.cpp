#include "preview/preview_window.h"

#include "font/ttf.h"
#include "preview/preview_host.h"
#include "preview/preview_messages.h"
#include "preview/preview_sheet.h"
#include "preview/sample_text.h"
#include "kit/interface/kit_window_place.h"

#include <CheckBox.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TextControl.h>

const int preview_window::sizes[12] = {8, 9, 10, 11, 12, 14, 16, 18, 24, 36, 48, 72};

namespace {

const float BAR = 64;

const char* base_name(const std::string& path) {
    size_t slash = path.rfind('/');
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

BCheckBox* switch_box(BView* bar, BRect frame, const char* name, const char* label) {
    BCheckBox* box = new BCheckBox(frame, name, label, new BMessage(PREVIEW_SWITCH));
    box->SetValue(B_CONTROL_ON);
    bar->AddChild(box);
    return box;
}

} // namespace

namespace {

BRect initial_frame(preview_host* host) {
    BRect frame(140, 120, 140 + 719, 120 + 599);
    kit::parse_frame_text(host->setting("preview.frame", ""), &frame);
    return frame;
}

} // namespace

preview_window::preview_window(preview_host* host)
    : BWindow(initial_frame(host), "Preview", B_DOCUMENT_WINDOW, 0), fHost(host) {
    SetSizeLimits(360, 32768, 200, 32768);
    BRect b = Bounds();
    BView* bar =
        new BView(BRect(0, 0, b.right, BAR - 1), "controls", B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW);
    bar->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    AddChild(bar);

    fText = new BTextControl(BRect(6, 6, b.right - 6, 28), "text", "Text:", "",
                             new BMessage(PREVIEW_TEXT), B_FOLLOW_LEFT_RIGHT);
    fText->SetDivider(36);
    fText->SetModificationMessage(new BMessage(PREVIEW_TEXT));
    bar->AddChild(fText);

    BMenu* hinting = new BMenu("Hinting");
    hinting->SetRadioMode(true);
    hinting->SetLabelFromMarked(true);
    const char* modes[] = {"Instructions", "Light", "None"};
    for (int32 i = 0; i < 3; i++) {
        BMessage* m = new BMessage(PREVIEW_HINTING);
        m->AddInt32("hinting", i);
        BMenuItem* item = new BMenuItem(modes[i], m);
        item->SetMarked(i == 0);
        hinting->AddItem(item);
    }
    hinting->SetTargetForItems(this);
    fHinting = new BMenuField(BRect(6, 34, 196, 58), "hinting", "Hinting:", hinting, true);
    fHinting->SetDivider(54);
    bar->AddChild(fHinting);
    fAntialias = switch_box(bar, BRect(206, 38, 306, 56), "antialias", "Antialiased");
    fKern = switch_box(bar, BRect(312, 38, 392, 56), "kern", "Kerning");
    fLiga = switch_box(bar, BRect(398, 38, 488, 56), "liga", "Ligatures");

    fSheet = new preview_sheet(BRect(0, BAR, b.right, b.bottom));
    AddChild(fSheet);
    fText->MakeFocus(true);
    PostMessage(PREVIEW_FONT);
    Show();
}

std::string preview_window::title_for(bool hasfont, const std::string& file) {
    if (!hasfont)
        return "Preview";
    return std::string("Preview \xE2\x80\x94 ") + (file.empty() ? "Untitled" : base_name(file));
}

void preview_window::reload() {
    bool hasfont = false, taken = false;
    std::string file;
    bool copied = fHost->read_font([&](ttf* font, const std::string& path) {
        file = path;
        if (!font)
            return;
        hasfont = true;
        // Only the tables changed since the last copy are copied here: the
        // file is put together and checked once the owner is free again.
        taken = fCopy.take(*font);
    });
    if (!copied)
        return;
    std::string title = title_for(hasfont, file);
    if (title != Title())
        SetTitle(title.c_str());
    fError.clear();
    std::shared_ptr<font_image> image = taken ? fCopy.image() : nullptr;
    if (!hasfont || !image) {
        fCopy.clear();
        fSetter.load(nullptr, nullptr);
        fError = hasfont ? "the font could not be copied (a table is missing or memory ran out)"
                         : "there is no font";
        return;
    }
    if (!fSetter.load(std::move(image), &fError))
        return;
    std::string text = fText->Text();
    if (text.empty() || text == fSample) {
        fSample = sample_text([this](uint32_t c) { return fSetter.maps(c); });
        if (fSample != text)
            fText->SetText(fSample.c_str());
    }
}

void preview_window::set_text() {
    if (!fSetter.loaded()) {
        fSheet->show_error(fError.empty() ? "there is no font" : fError);
        return;
    }
    std::string text = fText->Text();
    std::vector<set_line> lines;
    lines.reserve(sizeof sizes / sizeof sizes[0]);
    for (int ppem : sizes)
        lines.push_back(fSetter.set(text, ppem, fOptions));
    fSheet->show(std::move(lines), fSetter.missing(text));
}

void preview_window::MessageReceived(BMessage* message) {
    switch (message->what) {
    case PREVIEW_FONT:
    case PREVIEW_CHANGED:
        // A run of changes queued behind each other is read once.
        if (!fReloadPosted) {
            fReloadPosted = true;
            PostMessage(PREVIEW_RELOAD);
        }
        return;
    case PREVIEW_RELOAD:
        fReloadPosted = false;
        reload();
        set_text();
        return;
    case PREVIEW_TEXT:
        set_text();
        return;
    case PREVIEW_ACTIVATE:
        Activate(true);
        return;
    case PREVIEW_GLYPH:
        fHost->show_glyph((unsigned)message->GetInt32("glyph", 0));
        return;
    case PREVIEW_HINTING: {
        int32 mode = message->GetInt32("hinting", 0);
        fOptions.hinting = mode == 1   ? preview_hinting::light
                           : mode == 2 ? preview_hinting::none
                                       : preview_hinting::instructions;
        set_text();
        return;
    }
    case PREVIEW_SWITCH:
        fOptions.antialias = fAntialias->Value() == B_CONTROL_ON;
        fOptions.kern = fKern->Value() == B_CONTROL_ON;
        fOptions.liga = fLiga->Value() == B_CONTROL_ON;
        set_text();
        return;
    default:
        BWindow::MessageReceived(message);
    }
}

bool preview_window::QuitRequested() {
    fHost->remember("preview.frame", kit::frame_text(Frame()));
    return true;
}
