#include "editor/ebdttoolview.h"

#include "editor/ebdteditview.h"
#include "editor/palette_look.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/ttf.h"

#include <Bitmap.h>
#include <Button.h>
#include <Font.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <PopUpMenu.h>
#include <TextControl.h>

#include <cstdio>
#include <vector>

ebdttoolview::ebdttoolview(BRect frame, ttf_ebdt* owner)
    : BView(frame, "tools", B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW), ebdt(owner) {}

ebdttoolview::~ebdttoolview() {
    delete icons;
}

void ebdttoolview::AttachedToWindow() {
    palette_look::apply(this);
    if (!icons)
        icons = new BBitmap(Bounds(), B_RGB32);
    // The controls are made once; a palette attached again keeps them.
    if (!chrctl) {
        chrctl = palette_look::entry("chr", 12, EBDT_TEXT);
        gnoctl = palette_look::entry("gno", 44, EBDT_TEXT);
        setbtn = new BButton(BRect(5, 430, 45, 450), "set", "set", new BMessage(EBDT_BUTTON),
                             B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
        AddChild(chrctl);
        AddChild(gnoctl);
        AddChild(setbtn);
    }
    chrctl->SetTarget(this);
    gnoctl->SetTarget(this);
    setbtn->SetTarget(this);
    redraw();
    MakeFocus(true);
}

void ebdttoolview::Draw(BRect) {
    if (icons)
        DrawBitmap(icons, BPoint(0, 0));
    SetHighColor(0, 0, 0);
    DrawString("chr.", BPoint(5, 10));
    DrawString("gno.", BPoint(5, 42));
    if (sizefield)
        DrawString("point", BPoint(5, 80));
}

void ebdttoolview::redraw() {
    if (icons && icons->Bits()) {
        uint32* bits = (uint32*)icons->Bits();
        for (int32 i = 0; i < icons->BitsLength() / 4; i++)
            bits[i] = palette_look::AMBER;
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
    Draw(Bounds());
}

void ebdttoolview::MouseDown(BPoint) {
    // The next glyph; the canvas wraps past the last one to glyph 0.
    tell_canvas("gno", (uint16)(gno + 1));
}

void ebdttoolview::tell_canvas(const char* field, uint16 value) {
    if (!ebdt || !ebdt->editview)
        return;
    BMessage change(EBDT_CHANGE);
    change.AddInt16(field, (int16)value);
    BMessenger(ebdt->editview).SendMessage(&change);
}

void ebdttoolview::MessageReceived(BMessage* message) {
    void* source = nullptr;
    message->FindPointer("source", &source);
    int16 value;
    switch (message->what) {
    case EBDT_BUTTON:
        if (source == setbtn && ebdt && ebdt->editview)
            BMessenger(ebdt->editview).SendMessage(EBDT_SET);
        return;
    case EBDT_SIZE:
        if (message->FindInt16("pt", &value) == B_OK)
            tell_canvas("pt", (uint16)value);
        return;
    case EBDT_TEXT: {
        BTextControl* control = nullptr;
        if (source == gnoctl)
            control = gnoctl;
        else if (source == chrctl)
            control = chrctl;
        if (!control)
            return;
        unsigned int number = 0;
        if (sscanf(control->Text(), "%x", &number) != 1)
            number = 0;
        tell_canvas(control == gnoctl ? "gno" : "chr", (uint16)number);
        return;
    }
    case EBDT_REPORT:
        if (message->FindInt16("gno", &value) == B_OK)
            gno = (uint16)value;
        if (message->FindInt16("chr", &value) == B_OK)
            chr = (uint16)value;
        if (message->FindInt16("pt", &value) == B_OK)
            pt = (uint16)value;
        redraw();
        return;
    default:
        BView::MessageReceived(message);
    }
}

void ebdttoolview::init() {
    ttf_eblc* eblc = ebdt && ebdt->owner ? ebdt->owner->eblc : nullptr;
    // Every distinct size is offered: the list has room for one per strike.
    int room = eblc ? eblc->strike_count() : 0;
    std::vector<unsigned char> pairs(2 * (size_t)room + 2);
    int count = 0;
    if (eblc)
        eblc->get_sizes(&count, pairs.data(), room);

    if (sizefield) {
        RemoveChild(sizefield);
        delete sizefield;
        sizefield = nullptr;
    }
    BPopUpMenu* menu = new BPopUpMenu("pt", true, true, B_ITEMS_IN_COLUMN);
    for (int i = 0; i < count; i++) {
        unsigned x = pairs[2 * (size_t)i], y = pairs[2 * (size_t)i + 1];
        char label[16];
        // A strike that is not square is named by both sizes, so that two
        // strikes of the same height stay apart.
        if (x == y)
            snprintf(label, sizeof label, "%u", y);
        else
            snprintf(label, sizeof label, "%ux%u", x, y);
        BMessage* choice = new BMessage(EBDT_SIZE);
        choice->AddInt16("pt", (int16)(x << 8 | y));
        BMenuItem* item = new BMenuItem(label, choice);
        item->SetTarget(this);
        menu->AddItem(item);
    }
    sizefield = new BMenuField(BRect(5, 85, 45, 105), "point", "", menu, true, 0, B_WILL_DRAW);
    AddChild(sizefield);
    Invalidate();
}
