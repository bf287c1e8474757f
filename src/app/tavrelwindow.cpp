#include "app/tavrelwindow.h"

#include "app/messages.h"
#include "app/window_link.h"
#include "app/recent_files.h"
#include "app/report.h"
#include "app/settings.h"
#include "app/selectview.h"
#include "app/tavrelview.h"
#include "app/window_title.h"
#include "checkwindow/check_messages.h"
#include "checkwindow/checkwindow.h"
#include "editor/canvas_steps.h"
#include "editor/ebdteditview.h"
#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/ebdt.h"
#include "font/glyf.h"
#include "font/glyph_paste.h"
#include "font/pending_edit.h"
#include "font/history.h"
#include "font/ttf.h"
#include "kit/interface/kit_window_place.h"
#include "preview/preview_messages.h"
#include "overview/overview_messages.h"

#include <Application.h>
#include <Entry.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

const float SCROLLBAR = 14;
const float MENUBAR = 20;
const float SELECTOR = 32;
const float MAX_SIDE = 16384;
const char* const CHECK_FRAME_KEY = "check.frame";

} // namespace

tavrelwindow::tavrelwindow(BRect frame) : BWindow(frame, "tavrel", B_DOCUMENT_WINDOW, 0) {
    SetSizeLimits(MIN_WIDTH, MAX_SIDE, MIN_HEIGHT, MAX_SIDE);
    BRect b = Bounds();

    selector = new selectview(BRect(0, 0, b.right, SELECTOR));
    selector->MoveTo(0, MENUBAR);
    AddChild(selector);

    workview =
        new tavrelview(BRect(0, 0, b.right - SCROLLBAR, b.bottom - SCROLLBAR - MENUBAR - SELECTOR));
    workview->MoveTo(0, MENUBAR + SELECTOR + 1);
    AddChild(workview);

    setupmenus();

    BRect w = workview->Frame();
    scrollv = new BScrollBar(BRect(0, 0, SCROLLBAR, w.bottom - w.top), "scrollv", workview, 0, 0,
                             B_VERTICAL);
    scrollv->MoveTo(w.right + 1, w.top);
    scrollv->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    AddChild(scrollv);
    scrollh = new BScrollBar(BRect(0, 0, w.right - w.left, SCROLLBAR), "scrollh", workview, 0, 0,
                             B_HORIZONTAL);
    scrollh->MoveTo(w.left, w.bottom + 1);
    scrollh->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
    AddChild(scrollh);

    FrameResized(frame.Width(), frame.Height());
    Show();
    SetPulseRate(100000);
}

void tavrelwindow::setupmenus() {
    menubar = new BMenuBar(BRect(0, 0, MENUBAR, MENUBAR), "menubar",
                           B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, true);
    BMenu* file = new BMenu("File", B_ITEMS_IN_COLUMN);
    struct {
        const char* label;
        uint32 what;
        bool toapp;
        char key;
    } const items[] = {
        {"New", MSG_NEW_FONT, true, 'N'},      {"Open", MSG_OPEN_PANEL, false, 'O'},
        {"Save", MSG_SAVE, true, 'S'},         {"Save as", MSG_SAVE_PANEL, false, 0},
        {"About", B_ABOUT_REQUESTED, true, 0}, {"Quit", B_QUIT_REQUESTED, true, 'Q'}};
    for (const auto& item : items) {
        BMenuItem* entry = new BMenuItem(item.label, new BMessage(item.what), item.key);
        if (item.toapp)
            entry->SetTarget(be_app);
        else
            entry->SetTarget(workview);
        file->AddItem(entry);
        if (item.what == MSG_OPEN_PANEL) {
            recentmenu = new BMenu("Open recent", B_ITEMS_IN_COLUMN);
            recentmenu->SetEnabled(false);
            file->AddItem(recentmenu);
        }
    }
    menubar->AddItem(file);
    // Undo and redo run in this window's thread, where the views edit.
    BMenu* edit = new BMenu("Edit", B_ITEMS_IN_COLUMN);
    undoitem = new BMenuItem("Undo", new BMessage(MSG_UNDO), 'Z');
    redoitem = new BMenuItem("Redo", new BMessage(MSG_REDO), 'Z', B_SHIFT_KEY);
    edit->AddItem(undoitem);
    edit->AddItem(redoitem);
    edit->AddSeparatorItem();
    // They act on the focused text field's text, else on the drawing
    // editor shown.
    const struct {
        const char* label;
        uint32 what;
        char key;
    } clips[] = {{"Cut", B_CUT, 'X'},
                 {"Copy", B_COPY, 'C'},
                 {"Paste", B_PASTE, 'V'},
                 {"Select all", B_SELECT_ALL, 'A'}};
    for (const auto& clip : clips) {
        BMenuItem* item = new BMenuItem(clip.label, new BMessage(clip.what), clip.key);
        edit->AddItem(item);
        clipitems.push_back(item);
    }
    edit->SetTargetForItems(this);
    menubar->AddItem(edit);
    // Windows that show the font another way.
    BMenu* view = new BMenu("View", B_ITEMS_IN_COLUMN);
    view->AddItem(new BMenuItem("Glyph overview", new BMessage(MSG_OVERVIEW), 'G'));
    view->AddItem(new BMenuItem("Text preview", new BMessage(MSG_PREVIEW), 'P'));
    view->AddItem(new BMenuItem("Check font", new BMessage(MSG_CHECK_OPEN), 'K'));
    view->SetTargetForItems(this);
    menubar->AddItem(view);
    AddChild(menubar);
    showhistory();
}

void tavrelwindow::MenusBeginning() {
    while (recentmenu->CountItems() > 0)
        delete recentmenu->RemoveItem((int32)0);
    const std::vector<std::string> paths =
        store ? recent_files::list(*store) : std::vector<std::string>();
    const char* home = getenv("HOME");
    const std::string prefix = home && *home && strcmp(home, "/") ? std::string(home) + "/" : "";
    for (const std::string& path : paths) {
        // The home folder is shown as "~".
        std::string label = !prefix.empty() && path.rfind(prefix, 0) == 0
                                ? "~/" + path.substr(prefix.size())
                                : path;
        BMessage* open = new BMessage(B_REFS_RECEIVED);
        entry_ref ref(path.c_str());
        open->AddRef("refs", &ref);
        BMenuItem* item = new BMenuItem(label.c_str(), open);
        item->SetTarget(be_app);
        // A file gone since is shown, greyed.
        struct stat st;
        item->SetEnabled(stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode));
        recentmenu->AddItem(item);
    }
    recentmenu->SetEnabled(!paths.empty());
}

void tavrelwindow::settarget(BRect limits, BView* newtarget, BView* newinputtarget, float width,
                             float height) {
    if (newtarget) {
        target = newtarget;
        float maxwidth = limits.right + SCROLLBAR;
        float maxheight = limits.bottom + SCROLLBAR + MENUBAR + SELECTOR + 1;
        SetSizeLimits(limits.left, maxwidth, limits.top, maxheight);
        SetZoomLimits(maxwidth, maxheight);
        scrollv->SetValue(0);
        scrollh->SetValue(0);
        updatescrollbar();
        scrollv->SetTarget(target);
        scrollh->SetTarget(target);
        // The bars now read 0; the new target may still be scrolled from
        // when it was last shown.
        target->ScrollTo(0, 0);
    }
    if (target) {
        if (width == 0 || height == 0) {
            BRect b = target->Bounds();
            datawidth = b.Width() + 1;
            dataheight = b.Height() + 1;
        } else {
            datawidth = width;
            dataheight = height;
        }
    }
    updatescrollbar();
    if (newinputtarget)
        inputtarget = newinputtarget;
}

void tavrelwindow::updatescrollbar() {
    if (!target)
        return;
    BRect v = target->Bounds();
    float vw = v.Width() + 1;
    float vh = v.Height() + 1;
    scrollv->SetRange(0, std::max(0.0f, dataheight - vh - 1));
    scrollh->SetRange(0, std::max(0.0f, datawidth - vw - 1));
    scrollv->SetProportion(dataheight > 0 ? vh / dataheight : 1);
    scrollh->SetProportion(datawidth > 0 ? vw / datawidth : 1);
    scrollv->SetSteps(5, v.Height());
    scrollh->SetSteps(5, v.Width());
}

void tavrelwindow::markmenu(const char* menu, const char* label) {
    for (int32 i = 0; i < menubar->CountItems(); i++) {
        BMenu* sub = menubar->SubmenuAt(i);
        if (!sub || strcmp(sub->Name(), menu) != 0)
            continue;
        for (int32 k = 0; k < sub->CountItems(); k++) {
            BMenuItem* item = sub->ItemAt(k);
            if (label[0] == '\0')
                item->SetMarked(false);
            else if (strcmp(item->Label(), label) == 0)
                item->SetMarked(true);
        }
    }
}

void tavrelwindow::showhistory() {
    font_history* h = curfont ? curfont->history() : nullptr;
    // The glyph editor's own steps come first while it shows them.
    std::string canvasundo = h ? canvas_step_name(curfont, false) : std::string();
    std::string canvasredo = h ? canvas_step_name(curfont, true) : std::string();
    std::string undo = !canvasundo.empty() ? canvasundo : h ? h->undo_name() : std::string();
    std::string redo = !canvasredo.empty() ? canvasredo : h ? h->redo_name() : std::string();
    undoitem->SetLabel(undo.empty() ? "Undo" : ("Undo " + undo).c_str());
    redoitem->SetLabel(redo.empty() ? "Redo" : ("Redo " + redo).c_str());
    undoitem->SetEnabled(!canvasundo.empty() || (h && h->can_undo()));
    redoitem->SetEnabled(!canvasredo.empty() || (h && h->can_redo()));
    marktitle();
    showclipitems();
}

BHandler* tavrelwindow::cliptarget(uint32 what) {
    BView* focus = CurrentFocus();
    if (dynamic_cast<BTextControl*>(focus) && shown_in_window(focus))
        return focus;
    glyfeditview* editor =
        curfont && curfont->glyf ? dynamic_cast<glyfeditview*>(curfont->glyf->editview) : nullptr;
    if (editor && shown_in_window(editor) && editor->clip_applies(what))
        return editor;
    ebdteditview* pixels =
        curfont && curfont->ebdt ? dynamic_cast<ebdteditview*>(curfont->ebdt->editview) : nullptr;
    if (pixels && shown_in_window(pixels) && pixels->clip_applies(what))
        return pixels;
    return nullptr;
}

void tavrelwindow::showclipitems() {
    for (BMenuItem* item : clipitems)
        item->SetEnabled(cliptarget(item->Message()->what) != nullptr);
}

bool tavrelwindow::unsaved() {
    font_history* h = curfont ? curfont->history() : nullptr;
    return h && (h->changed() || !pending_edits(workview).empty());
}

std::string tavrelwindow::pending() {
    return curfont ? pending_summary(pending_edits(workview)) : std::string();
}

bool tavrelwindow::storepending(std::string* why) {
    for (pending_edit* edit : pending_edits(workview))
        if (!edit->store_pending(why))
            return false;
    return true;
}

void tavrelwindow::marktitle() {
    // The title is only a label: without the memory for a new one it keeps
    // what it showed.
    try {
        title_parts parts;
        parts.font = curfont != nullptr;
        parts.path = filepath;
        parts.face = static_cast<int>(face);
        parts.variable = curfont && curfont->is_variable();
        parts.changed = unsaved();
        std::string title = window_title(parts);
        if (title != Title())
            SetTitle(title.c_str());
    } catch (const std::bad_alloc&) {
    }
}

void tavrelwindow::undo(bool redo) {
    undo_step(curfont, redo);
    showhistory();
}

void tavrelwindow::showglyph(BMessage* message) {
    int32 gno;
    if (!curfont || !curfont->glyf || message->FindInt32("gno", &gno) != B_OK || gno < 0 ||
        gno > 0xFFFF)
        return;
    glyfeditview* editor = dynamic_cast<glyfeditview*>(curfont->glyf->editview);
    if (!editor)
        return;
    workview->select(tag_of("glyf"));
    // What the palette sends when a number is typed into it and entered;
    // the editor asks about edits it holds before it shows another glyph.
    BMessage choose(GLYF_CHANGE);
    choose.AddInt16("gno", (int16)gno);
    int32 point;
    if (message->FindInt32("point", &point) == B_OK && point >= 0)
        choose.AddInt32("point", point);
    BMessenger(editor).SendMessage(&choose);
    // The keys then act on the glyph (and the point selected).
    editor->MakeFocus(true);
    Activate();
}

void tavrelwindow::pasteglyphs(BMessage* message) {
    const void* data = nullptr;
    ssize_t size = 0;
    std::vector<unsigned> onto;
    for (int32 i = 0, gno; message->FindInt32("gno", i, &gno) == B_OK; i++)
        onto.push_back((unsigned)gno);
    glyph_clips clips;
    std::string notice, why = "There is no font to paste into.";
    // The glyph numbers are those of the font the overview showed, which
    // may have been replaced since.
    if (curfont && message->GetUInt64("font", 0) != curfont->id())
        why = "The font was replaced: nothing was pasted.";
    bool stored = curfont && !initv && message->GetUInt64("font", 0) == curfont->id() &&
                  message->FindData("clips", B_RAW_TYPE, &data, &size) == B_OK &&
                  parse_glyph_clips(std::string(static_cast<const char*>(data), (size_t)size),
                                    &clips, &why) &&
                  paste_glyph_clips(*curfont, clips, onto, &notice, &why);
    if (stored) {
        // The editors show the glyphs as the font now holds them.
        if (curfont->glyf)
            curfont->glyf->refresh();
        if (notice.empty())
            notice =
                "pasted " + std::to_string(onto.size()) + (onto.size() == 1 ? " glyph" : " glyphs");
    }
    showhistory();
    if (overview) {
        BMessage told(OVERVIEW_NOTICE);
        told.AddString("text", stored ? notice : why);
        overview->post(&told);
    }
}

void tavrelwindow::MessageReceived(BMessage* message) {
    switch (message->what) {
    case MSG_UNDO:
        undo(false);
        return;
    case MSG_REDO:
        undo(true);
        return;
    case MSG_HISTORY:
        showhistory();
        // Every stored change of the font (and every save) passes here.
        if (preview)
            preview->post(PREVIEW_CHANGED);
        if (overview)
            overview->post(OVERVIEW_CHANGED);
        return;
    case MSG_PREVIEW:
        if (preview)
            preview->open();
        return;
    case MSG_OVERVIEW:
        if (overview)
            overview->open();
        return;
    case MSG_SHOW_GLYPH:
        showglyph(message);
        return;
    case MSG_PASTE_GLYPHS:
        pasteglyphs(message);
        return;
    case B_CUT:
    case B_COPY:
    case B_PASTE:
    case B_SELECT_ALL:
        if (BHandler* target = cliptarget(message->what))
            target->MessageReceived(message);
        showhistory();
        return;
    case MSG_CHECK_OPEN:
        opencheck();
        return;
    case CHECK_SHOW_PLACE:
        showplace(message);
        return;
    default:
        BWindow::MessageReceived(message);
    }
}

void tavrelwindow::FrameResized(float, float) {
    updatescrollbar();
}

void tavrelwindow::Zoom(BPoint, float, float) {
    ResizeTo(std::max(Frame().Width(), MIN_WIDTH), std::max(Frame().Height(), MIN_HEIGHT));
}

void tavrelwindow::DispatchMessage(BMessage* message, BHandler* handler) {
    // An action cut short by an exception (memory ran out, above all)
    // leaves the font as it was before it, is reported, and the window
    // goes on serving.
    font_history* h = curfont ? curfont->history() : nullptr;
    font_history::point before = h ? h->here() : font_history::point();
    int32 locks = CountLocks();
    try {
        dispatch(message, handler);
    } catch (const std::exception& e) {
        while (CountLocks() > locks)
            Unlock();
        cut_short(message->what, e, h, before);
    }
    // Every change of the font is made by a message this window handles
    // (or by the application with this window locked, seen at the next).
    tellchecker();
}

void tavrelwindow::cut_short(uint32 what, const std::exception& e, font_history* h,
                             const font_history::point& before) {
    std::string step;
    try {
        if (h && curfont && curfont->history() == h)
            step = h->rollback(before);
    } catch (const std::exception&) {
        fprintf(stderr, "tavrel: the font could not be brought back to before the action\n");
    }
    std::string action;
    try {
        action = action_text(what, step);
    } catch (const std::exception&) {
    }
    report_cut_short(action, e, false);
    try {
        showhistory();
    } catch (const std::exception&) {
    }
}

void tavrelwindow::dispatch(BMessage* message, BHandler* handler) {
    bool pointer = message->what == B_MOUSE_DOWN || message->what == B_MOUSE_MOVED ||
                   message->what == B_MOUSE_UP;
    // Messages the platform makes up for itself (cursor updates, resent
    // events) carry no pointer data of their own.
    if (pointer && inputtarget && handler == inputtarget &&
        !message->HasInt32("be:cursor_needed") && !message->HasInt32("_msg_what_"))
        record_input(*message, &lastinput);
    BWindow::DispatchMessage(message, handler);
    // The overview highlights the glyph the outline editor shows.
    if (overview && message->what != B_MOUSE_MOVED && message->what != B_PULSE) {
        const glyfeditview* editor = curfont && curfont->glyf
                                         ? dynamic_cast<glyfeditview*>(curfont->glyf->editview)
                                         : nullptr;
        overview->editor_glyph(editor && editor->gno != 0xFFFF ? editor->gno : -1);
    }
    if (!curfont || message->what == B_MOUSE_MOVED || message->what == B_PULSE ||
        message->what == MSG_HISTORY)
        return;
    // The drawing editors change their canvases and their own steps on
    // input and on the palettes' requests without telling anyone: the Edit
    // menu is looked at after each of them (but not on every pointer
    // move), and when another table is shown. Any message may have typed
    // into a field or toggled a pixel: the mark follows.
    BView* glyfcanvas = curfont->glyf ? curfont->glyf->editview : nullptr;
    BView* ebdtcanvas = curfont->ebdt ? curfont->ebdt->editview : nullptr;
    if ((handler && (handler == glyfcanvas || handler == ebdtcanvas)) ||
        message->what == MSG_TABLE_SELECT)
        showhistory();
    else {
        marktitle();
        showclipitems();
    }
}

bool tavrelwindow::QuitRequested() {
    if (!closing) {
        // The close box: the application asks about changes and then
        // closes this window itself.
        be_app->PostMessage(B_QUIT_REQUESTED);
        return false;
    }
    // The table views are children of the work view but belong to the
    // font: taking the work view out keeps them from dying with the window.
    RemoveChild(workview);
    return true;
}

void tavrelwindow::opencheck() {
    BLooper* looper = nullptr;
    fChecker.Target(&looper);
    if (looper && fChecker.LockTarget()) {
        static_cast<BWindow*>(looper)->Activate();
        looper->Unlock();
        return;
    }
    // Beside this window, or where it was when last closed; it opens on
    // the screen either way.
    BRect f = Frame();
    BRect frame(f.right + 12, f.top, f.right + 652, f.top + 400);
    if (store)
        kit::parse_frame_text(store->get(CHECK_FRAME_KEY, ""), &frame);
    checkwindow* w = new checkwindow(frame, BMessenger(this), &curfont,
                                     font_label(filepath, static_cast<int>(face)));
    if (settings* keep = store)
        w->keep_frame(
            [keep](BRect closed) { keep->set(CHECK_FRAME_KEY, kit::frame_text(closed)); });
    fChecker = BMessenger(w);
    fCheckedFont = curfont ? curfont->id() : 0;
    fCheckedChanges = curfont ? curfont->changes() : 0;
    fCheckedPath = font_label(filepath, static_cast<int>(face));
    w->Show();
}

void tavrelwindow::tellchecker() {
    if (!fChecker.IsValid())
        return;
    const uint64_t id = curfont ? curfont->id() : 0;
    const uint64_t changes = curfont ? curfont->changes() : 0;
    const std::string label = font_label(filepath, static_cast<int>(face));
    if (label != fCheckedPath) {
        fCheckedPath = label;
        BMessage rename(CHECK_RENAME);
        rename.AddString("name", label.c_str());
        fChecker.SendMessage(&rename);
    }
    if (id == fCheckedFont && changes == fCheckedChanges)
        return;
    fCheckedFont = id;
    fCheckedChanges = changes;
    fChecker.SendMessage(CHECK_FONT_CHANGED);
}

void tavrelwindow::showplace(BMessage* message) {
    const int32 tag = message->GetInt32("table", 0);
    const int32 gno = message->GetInt32("glyph", -1);
    const int32 point = message->GetInt32("point", -1);
    if (!curfont)
        return;
    if (gno >= 0) {
        BMessage show(MSG_SHOW_GLYPH);
        show.AddInt32("gno", gno);
        if (point >= 0)
            show.AddInt32("point", point);
        showglyph(&show);
        return;
    }
    // Tables without a view of their own (loca, unknown tags) stay where
    // they are; the others are shown as a click on their tag shows them.
    ttf_table* t = curfont->table((uint32)tag);
    if (t && t->Parent() == workview) {
        BMessage select(MSG_TABLE_SELECT);
        select.AddInt32("table", tag);
        BMessenger(workview).SendMessage(&select);
    }
    Activate();
}
