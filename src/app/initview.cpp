#include "app/initview.h"

#include "app/messages.h"
#include "editor/globals.h"
#include "font/ttf.h"
#include "font/view_layout.h"

#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <Font.h>
#include <Message.h>

#include <cstdio>

namespace {

// Three columns of 24 rows across the view, left of the scroll bar. Block
// names run to 31 characters: at 8 points, in columns as wide as their
// longest names need, every name shows whole.
const int ROWS = 24;
const float COLUMN_LEFT[] = {0, 180, 370}, COLUMN_RIGHT[] = {178, 368, 557};
const float LABEL_SIZE = 8;

} // namespace

initview::initview(BRect) : BView(BRect(0, 0, 561, 511), "initview", B_FOLLOW_ALL, B_WILL_DRAW) {
    if (curfont) {
        delete curfont->setup;
        curfont->setup = new setupinfo();
    }
}

void initview::AttachedToWindow() {
    SetHighColor(0, 0, 0);
    SetViewColor(200, 200, 220);
    SetLowColor(150, 150, 165);
    SetFont(be_plain_font, B_FONT_ALL);
    // The controls are made once; a view attached again keeps its ticks.
    if (!setbtn) {
        setbtn = new BButton(BRect(500, 485, 540, 510), "set", "set", new BMessage(SETUP_BUTTON),
                             B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
        AddChild(setbtn);
        BFont small(be_plain_font);
        small.SetSize(LABEL_SIZE);
        for (int i = 0; i < BLOCK_COUNT; i++) {
            int column = i / ROWS;
            float y = 20.0f * (i % ROWS);
            boxes[i] =
                new BCheckBox(BRect(COLUMN_LEFT[column], y + 10, COLUMN_RIGHT[column], y + 25),
                              "unicode", unicode_blocks[i].label, new BMessage(SETUP_CHECK),
                              B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
            boxes[i]->SetFont(&small);
            AddChild(boxes[i]);
        }
        layout_children(this, {{setbtn, layout_place::bottom_right}});
    }
    setbtn->SetTarget(this);
    for (BCheckBox* box : boxes)
        box->SetTarget(this);
    MakeFocus(true);
    setchrs();
    redraw();
}

void initview::Draw(BRect update) {
    SetHighColor(255, 255, 255);
    SetLowColor(0, 0, 0);
    SetViewColor(0, 0, 0);
    FillRect(update, B_SOLID_LOW);
    redraw();
}

void initview::redraw() {
    SetHighColor(255, 255, 255);
    SetLowColor(0, 0, 0);
    FillRect(BRect(400, 480, 560, 510), B_SOLID_LOW);
    long count = curfont && curfont->setup ? curfont->setup->chrcount : 0;
    char text[24];
    snprintf(text, sizeof text, "%04lxchrs.", count);
    DrawString(text, BPoint(400, 508));
}

void initview::setchrs() {
    if (!curfont || !curfont->setup)
        return;
    bool ticked[BLOCK_COUNT];
    for (int i = 0; i < BLOCK_COUNT; i++)
        ticked[i] = boxes[i] && boxes[i]->Value() == B_CONTROL_ON;
    ::setchrs(curfont->setup, ticked);
}

void initview::MessageReceived(BMessage* message) {
    switch (message->what) {
    case SETUP_CHECK:
        setchrs();
        redraw();
        return;
    case SETUP_BUTTON:
        be_app->PostMessage(MSG_SETUP_DONE);
        return;
    default:
        BView::MessageReceived(message);
    }
}
