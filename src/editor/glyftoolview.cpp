#include "editor/glyftoolview.h"

#include "editor/glyfeditview.h"
#include "editor/glyftool_art.h"
#include "editor/palette_look.h"
#include "font/glyf.h"

#include <Alert.h>
#include <Bitmap.h>
#include <Button.h>
#include <Font.h>
#include <ListItem.h>
#include <ListView.h>
#include <Message.h>
#include <Messenger.h>
#include <TextControl.h>

#include <cstdio>
#include <cstdlib>

namespace {

const uint32 CONTROL_RESIZE = B_FOLLOW_LEFT | B_FOLLOW_TOP;
const uint32 CONTROL_FLAGS = B_WILL_DRAW | B_NAVIGABLE;

// The pen-size and zoom bands.
const float PEN_TOP = 300, PEN_BOTTOM = 310, ZOOM_TOP = 500;

// The entries and the labels drawn above them.
const float CHR_TOP = 12, GNO_TOP = 44, SUB_TOP = 258;

BButton* button(const char* name, const char* label, float top) {
    return new BButton(BRect(5, top, 45, top + 20), name, label, new BMessage(GLYF_TOOL_BUTTON),
                       CONTROL_RESIZE, CONTROL_FLAGS);
}

} // namespace

glyftoolview::glyftoolview(BRect frame, ttf_glyf* owner)
    : BView(frame, "tools", B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW), glyf(owner) {}

glyftoolview::~glyftoolview() {
    delete icons;
    if (compolist)
        while (compolist->CountItems() > 0)
            delete compolist->RemoveItem(compolist->CountItems() - 1);
}

void glyftoolview::AttachedToWindow() {
    palette_look::apply(this);
    if (!icons)
        icons = new BBitmap(Bounds(), B_RGB32);
    // The controls are made once; a palette attached again keeps them.
    if (!chrctl) {
        chrctl = palette_look::entry("chr", CHR_TOP, GLYF_TOOL_TEXT);
        gnoctl = palette_look::entry("gno", GNO_TOP, GLYF_TOOL_TEXT);
        compolist = new BListView(BRect(5, 120, 45, 240), "components", B_SINGLE_SELECTION_LIST,
                                  CONTROL_RESIZE, CONTROL_FLAGS | B_FRAME_EVENTS);
        // A double click (or Enter) on a component shows that glyph.
        compolist->SetInvocationMessage(new BMessage(GLYF_TOOL_COMPONENT));
        compolist->SetHighColor(0, 0, 0);
        compolist->SetLowColor(222, 222, 222);
        compolist->SetViewColor(222, 222, 222);
        subctl = palette_look::entry("sub", SUB_TOP, GLYF_TOOL_TEXT);
        addbtn = button("add", "add", 300);
        delbtn = button("del", "del", 330);
        modebtn = button("clr/simpl/compo", "", 400);
        setbtn = button("set", "set", 430);
        for (BView* child : {(BView*)chrctl, (BView*)gnoctl, (BView*)compolist, (BView*)subctl,
                             (BView*)addbtn, (BView*)delbtn, (BView*)modebtn, (BView*)setbtn})
            AddChild(child);
        for (BView* child : {(BView*)compolist, (BView*)subctl, (BView*)addbtn, (BView*)delbtn})
            child->Hide();
    }
    for (BControl* control :
         {(BControl*)chrctl, (BControl*)gnoctl, (BControl*)subctl, (BControl*)addbtn,
          (BControl*)delbtn, (BControl*)modebtn, (BControl*)setbtn})
        control->SetTarget(this);
    compolist->SetTarget(this);
    redraw();
    MakeFocus(true);
}

void glyftoolview::Draw(BRect) {
    if (icons)
        DrawBitmap(icons, BPoint(0, 0));
    SetHighColor(0, 0, 0);
    DrawString("chr.", BPoint(5, CHR_TOP - 2));
    DrawString("gno.", BPoint(5, GNO_TOP - 2));
    char text[16];
    if (composite) {
        DrawString("gno.", BPoint(5, SUB_TOP - 2));
        DrawString("composite", BPoint(0, 100));
    } else if (tool == 1) {
        snprintf(text, sizeof text, "%3dpt", psize);
        DrawString(text, BPoint(15, 310));
    }
    snprintf(text, sizeof text, "%3d%%", (int)(scale * 100));
    DrawString(text, BPoint(15, 510));
    draw_notice();
}

// The notice goes between the glyph entries and the icons, word by word
// on as many lines as its words need (at most three).
void glyftoolview::draw_notice() {
    if (notice.empty())
        return;
    palette_look::set_face(this, 8);
    SetHighColor(160, 0, 0);
    std::string line, rest = notice;
    float y = 73;
    while (!rest.empty() && y < 98) {
        size_t space = rest.find(' ');
        std::string word = rest.substr(0, space);
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && StringWidth(longer.c_str()) > 48) {
            DrawString(line.c_str(), BPoint(1, y));
            y += 9;
            line = word;
        } else {
            line = longer;
        }
        rest = space == std::string::npos ? "" : rest.substr(space + 1);
    }
    if (!line.empty() && y < 98)
        DrawString(line.c_str(), BPoint(1, y));
    palette_look::set_face(this, 10);
    SetHighColor(0, 0, 0);
}

void glyftoolview::show_components(bool show) {
    for (BView* child : {(BView*)compolist, (BView*)subctl, (BView*)addbtn, (BView*)delbtn}) {
        if (!child)
            continue;
        if (show && child->IsHidden())
            child->Show();
        else if (!show && !child->IsHidden())
            child->Hide();
    }
}

void glyftoolview::redraw() {
    glyftool_art::fill(icons, palette_look::AMBER);
    if (!composite && tool == 1)
        glyftool_art::step_arrows(icons, (int)PEN_TOP);
    glyftool_art::step_arrows(icons, (int)ZOOM_TOP);
    if (composite) {
        if (compolist) {
            while (compolist->CountItems() > 0)
                delete compolist->RemoveItem(compolist->CountItems() - 1);
            char text[8];
            for (uint16 c : compos) {
                snprintf(text, sizeof text, "%04x", c);
                compolist->AddItem(new BStringItem(text));
            }
        }
        show_components(true);
    } else {
        show_components(false);
        for (int k = 0; k < 6; k++)
            glyftool_art::tool_icon(icons, k, 30, 100 + 18 * k, k == tool);
    }
    char text[8];
    if (gnoctl) {
        snprintf(text, sizeof text, "%04x", gno);
        gnoctl->SetText(text);
    }
    if (chrctl) {
        snprintf(text, sizeof text, "%04x", chr);
        chrctl->SetText(text);
    }
    if (modebtn)
        modebtn->SetLabel(!empty ? "clr" : composite ? "simple" : "compo");
    Invalidate();
}

void glyftoolview::MouseDown(BPoint p) {
    if (p.y > PEN_TOP && p.y < PEN_BOTTOM) {
        if (p.x < 25)
            psize = psize <= 4 ? 0 : psize - 5;
        else
            psize = psize > 95 ? 100 : psize + 5;
        BMessage change(GLYF_CHANGE);
        change.AddInt8("psize", (int8)psize);
        send(&change);
        redraw();
        return;
    }
    if (p.y <= ZOOM_TOP) {
        for (int k = 0; k < 6; k++) {
            if (p.x >= 30 && p.x <= 46 && p.y >= 100 + 18 * k && p.y <= 116 + 18 * k) {
                send(GLYF_TOOLS[k]);
                return;
            }
        }
        // Anywhere else on the palette's surface: the next glyph.
        BMessage change(GLYF_CHANGE);
        change.AddInt16("gno", (int16)(uint16)(gno + 1));
        send(&change);
        return;
    }
    if (p.x < 10) {
        if (scale > 0.1)
            scale = (float)((double)scale - 0.05);
    } else if (p.x <= 40) {
        scale = 0;
    } else if (scale < 2.0) {
        scale = (float)((double)scale + 0.05);
    }
    BMessage change(GLYF_CHANGE);
    change.AddFloat("scale", scale);
    send(&change);
}

bool glyftoolview::read_number(BTextControl* control, uint16 fallback, uint16* value) {
    const char* text = control->Text();
    unsigned long number = fallback;
    char* end = nullptr;
    while (*text == ' ')
        text++;
    unsigned long parsed = strtoul(text, &end, 16);
    if (end != text && *text != '-' && *text != '+')
        number = parsed;
    if (number > 0xFFFF) {
        BAlert* alert = new BAlert("tavrel",
                                   "Glyph numbers and character codes have at most four "
                                   "hexadecimal digits (0000 to ffff).",
                                   "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        alert->Go(nullptr);
        return false;
    }
    *value = (uint16)number;
    return true;
}

void glyftoolview::send(BMessage* message) {
    if (glyf && glyf->editview)
        BMessenger(glyf->editview).SendMessage(message);
}

void glyftoolview::send(uint32 what) {
    BMessage message(what);
    send(&message);
}

void glyftoolview::MessageReceived(BMessage* message) {
    void* source = nullptr;
    switch (message->what) {
    case GLYF_TOOL_BUTTON: {
        if (message->FindPointer("source", &source) != B_OK)
            return;
        if (source == delbtn) {
            int32 selected = compolist ? compolist->CurrentSelection() : -1;
            if (selected < 0 || selected >= (int32)compos.size())
                return;
            BMessage remove(GLYF_DEL_COMPONENT);
            remove.AddInt32("no", selected);
            send(&remove);
        } else if (source == addbtn) {
            uint16 sub;
            if (!read_number(subctl, 0xFFFF, &sub))
                return;
            BMessage add(GLYF_ADD_COMPONENT);
            add.AddInt16("sub", (int16)sub);
            send(&add);
        } else if (source == setbtn) {
            send(GLYF_STORE);
        } else if (source == modebtn) {
            if (empty) {
                composite = !composite;
                send(GLYF_TOOLS[0]);
            } else {
                send(GLYF_CLEAR);
                empty = true;
            }
            compos.clear();
            redraw();
        }
        return;
    }
    case GLYF_TOOL_TEXT: {
        if (message->FindPointer("source", &source) != B_OK)
            return;
        BTextControl* control = source == gnoctl ? gnoctl : source == chrctl ? chrctl : nullptr;
        if (!control)
            return;
        uint16 number;
        if (!read_number(control, 0, &number)) {
            redraw();
            return;
        }
        BMessage change(GLYF_CHANGE);
        change.AddInt16(control == gnoctl ? "gno" : "chr", (int16)number);
        send(&change);
        return;
    }
    case GLYF_TOOL_COMPONENT: {
        int32 k = message->GetInt32("index", -1);
        if (k < 0 || k >= (int32)compos.size())
            return;
        BMessage change(GLYF_CHANGE);
        change.AddInt16("gno", (int16)compos[k]);
        send(&change);
        return;
    }
    case GLYF_REPORT: {
        int8 mode;
        if (message->FindInt8("mode", &mode) == B_OK)
            tool = mode;
        int16 value;
        if (message->FindInt16("gno", &value) == B_OK) {
            gno = (uint16)value;
            compos.clear();
            composite = false;
        }
        if (message->FindInt16("chr", &value) == B_OK)
            chr = (uint16)value;
        type_code type;
        int32 count = 0;
        if (message->GetInfo("compo", &type, &count) == B_OK) {
            for (int32 k = (int32)compos.size(); k < count; k++)
                if (message->FindInt16("compo", k, &value) == B_OK)
                    compos.push_back((uint16)value);
            composite = true;
        }
        bool flag;
        if (message->FindBool("empty", &flag) == B_OK)
            empty = flag;
        float zoom;
        if (message->FindFloat("scale", &zoom) == B_OK)
            scale = zoom;
        const char* text;
        if (message->FindString("notice", &text) == B_OK)
            notice = text;
        redraw();
        return;
    }
    default:
        BView::MessageReceived(message);
    }
}
