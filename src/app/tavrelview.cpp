#include "app/tavrelview.h"

#include "app/globals.h"
#include "app/messages.h"
#include "app/recent_files.h"
#include "app/recovery.h"
#include "app/selectview.h"
#include "app/tavrelwindow.h"
#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/bytes.h"
#include "font/glyf.h"
#include "font/ttf.h"

#include <Application.h>
#include <FilePanel.h>
#include <Font.h>
#include <Message.h>
#include <Messenger.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The window's size limits every table view asks for: at least the
// window's smallest size, at which a table view shows whole, and as large
// as the screen allows.
const BRect LIMITS(tavrelwindow::MIN_WIDTH, tavrelwindow::MIN_HEIGHT, 16000, 16000);

glyfeditview* glyf_editor() {
    if (!curfont || !curfont->glyf)
        return nullptr;
    return dynamic_cast<glyfeditview*>(curfont->glyf->editview);
}

} // namespace

tavrelview::tavrelview(BRect frame)
    : BView(frame, "canvas", B_FOLLOW_ALL, B_WILL_DRAW | B_PULSE_NEEDED) {
    canvas = BRect(0, 0, 0, 0);
}

void tavrelview::Pulse() {
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    if (window && window->keeper)
        window->keeper->pulse(curfont, window->filepath);
}

void tavrelview::AttachedToWindow() {
    SetHighColor(255, 255, 255);
    SetViewColor(50, 50, 50);
    SetLowColor(100, 100, 100);
    SetFont(be_bold_font);
}

void tavrelview::Draw(BRect) {
    BFont font(be_bold_font);
    font.SetSize(30);
    SetFont(&font, B_FONT_SIZE);
    DrawString("tavrel", BPoint(45, 50));
    font.SetSize(20);
    SetFont(&font, B_FONT_SIZE);
    DrawString("ver.0.011", BPoint(75, 80));
}

void tavrelview::MessageReceived(BMessage* message) {
    switch (message->what) {
    case B_SIMPLE_DATA:
        if (message->HasRef("refs"))
            be_app->PostMessage(message);
        return;
    case MSG_OPEN_PANEL:
        openpanel(false);
        return;
    case MSG_SAVE_PANEL:
        openpanel(true);
        return;
    case MSG_FONT_READY:
        if (Window())
            Window()->Zoom();
        init();
        return;
    case MSG_TABLE_SELECT: {
        int32 tag = 0;
        message->FindInt32("table", &tag);
        select((uint32)tag);
        return;
    }
    default:
        BView::MessageReceived(message);
    }
}

void tavrelview::openpanel(bool save) {
    if (filepanel.load())
        return;
    BFilePanel* panel = new BFilePanel(save ? B_SAVE_PANEL : B_OPEN_PANEL, nullptr, nullptr,
                                       B_FILE_NODE, false, nullptr, nullptr, false, true);
    BFilePanel* none = nullptr;
    if (!filepanel.compare_exchange_strong(none, panel)) {
        delete panel;
        return;
    }
    panel->Window()->Lock();
    panel->Window()->SetTitle(save ? "Save font as" : "Open font");
    panel->Window()->Unlock();
    panel->kit_set_filters(
        {{"Fonts (*.ttf, *.ttc, *.otf)", {"*.ttf", "*.ttc", "*.otf"}}, {"All files", {}}});
    const char* home = getenv("HOME");
    std::string homepath = home && *home ? home : "/";
    std::vector<file_panel_place> places = {
        {"Home", homepath},
        {"~/.local/share/fonts", homepath + "/.local/share/fonts"},
        {"/usr/share/fonts", "/usr/share/fonts"}};
    // Then the folders of the recent fonts, by name; the panel leaves out
    // those that are gone.
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    for (const std::string& folder : window && window->store ? recent_files::folders(*window->store)
                                                             : std::vector<std::string>()) {
        bool known = false;
        for (const file_panel_place& place : places)
            known = known || place.path == folder;
        if (!known)
            places.push_back({folder == "/" ? "/" : folder.substr(folder.rfind('/') + 1), folder});
    }
    panel->kit_set_places(places);
    // With a font from a file both panels start in its folder, and saving
    // under another name starts from the font's own.
    const std::string path = window ? window->filepath : std::string();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        panel->SetPanelDirectory(slash == 0 ? "/" : path.substr(0, slash).c_str());
    if (save && !path.empty())
        panel->SetSaveText(path.substr(slash + 1).c_str());
    panel->Show();
}

void tavrelview::init() {
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    if (!curfont || !window) {
        canvasok = true;
        return;
    }
    curfont->set_view(this);
    fitchildren();

    BRect b = curfont->bounds();
    BMessage announce(GLYF_INIT);
    announce.AddRect("bounds", BRect(0, 0, b.right - b.left, b.top - b.bottom));
    glyfeditview* editor = glyf_editor();
    // The application waits for the editor to take the canvas; a font the
    // editor cannot show must not keep it waiting.
    if (!editor || BMessenger(editor).SendMessage(&announce) != B_OK) {
        canvas = announce.GetRect("bounds", BRect(0, 0, 0, 0));
        canvasok = true;
    }

    BMessage list(MSG_TABLE_LIST);
    int count = curfont->dir ? byte_span(curfont->dir, 12).u16(4) : 0;
    std::vector<unsigned long> tags(count > 0 ? count : 1);
    if (count > 0 && curfont->get_tables(&count, tags.data()) == 0) {
        // Every tag: the strip scrolls.
        for (int i = 0; i < count; i++)
            list.AddInt32("table", (int32)tags[i]);
    }
    BMessenger(window->selector).SendMessage(&list);
}

void tavrelview::select(uint32 tag) {
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    if (!window)
        return;
    fitchildren();
    for (int32 i = 0; i < CountChildren(); i++) {
        ttf_table* table = dynamic_cast<ttf_table*>(ChildAt(i));
        if (!table || strcmp(table->Name(), "table") != 0)
            continue;
        window->Zoom();
        if (table->tag != tag) {
            table->show(false);
            continue;
        }
        glyfeditview* editor =
            table == (ttf_table*)(curfont ? curfont->glyf : nullptr) ? glyf_editor() : nullptr;
        if (editor) {
            // The data size is taken at zoom 1; restoring the zoom then
            // sets it for that zoom.
            float saved = editor->getscale();
            editor->chgscale(1.0f);
            table->show(true);
            window->settarget(LIMITS, editor, editor, 0, 0);
            editor->chgscale(saved);
        } else {
            table->show(true);
            window->settarget(LIMITS, table, nullptr, 0, 0);
        }
    }
    if (tag != 0) {
        BMessage highlight(MSG_TABLE_SELECT);
        highlight.AddInt32("table", (int32)tag);
        BMessenger(window->selector).SendMessage(&highlight);
    }
}

void tavrelview::fitchildren() {
    // The views were made at the smallest size; from then on they follow
    // this view as the window is resized.
    const BRect b = Bounds();
    for (int32 i = 0; i < CountChildren(); i++) {
        BView* child = ChildAt(i);
        child->MoveTo(0, 0);
        child->ResizeTo(b.Width(), b.Height());
    }
}

void tavrelview::clr() {
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    if (window) {
        BMessenger(window->selector).SendMessage(MSG_TABLE_LIST);
        window->Zoom();
        window->settarget(LIMITS, this, nullptr, 0, 0);
        // The views that took pointer input go with the font.
        window->inputtarget = nullptr;
    }
    if (curfont)
        curfont->reset_view(this);
}
