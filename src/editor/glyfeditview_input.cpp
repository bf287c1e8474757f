// Pointer and keyboard input of the edit view. Every mouse hook runs one
// event filter that turns the window's record of the pointer message into
// canvas positions and button codes, and calls the move, press and release
// handlers for what changed. The pick tool selects, drags, duplicates,
// inserts, deletes and toggles; the drawing tools feed their object.
#include "editor/glyfeditview.h"

#include "editor/globals.h"
#include "outline/glyph.h"
#include "outline/object.h"
#include "outline/shape.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

#include <cmath>

namespace {

// Button codes: the platform's buttons, and the primary button turned into
// another one by a held modifier.
const unsigned char BUTTON_PRIMARY = 1, BUTTON_SECONDARY = 2, BUTTON_TERTIARY = 4,
                    BUTTON_COMMAND = 8;

// Drawing-object events.
const unsigned char EVENT_PRESS = 1, EVENT_RELEASE = 2, EVENT_DRAG = 3, EVENT_HOVER = 4,
                    EVENT_PRESS_SECONDARY = 6;

// Selection states.
const int32 STATE_GESTURE = -1, STATE_IDLE = 0, STATE_SELECTED = 1, STATE_DRAG_CONTOURS = 2,
            STATE_DRAG_POINT = 3, STATE_DELETE_POINT = 4, STATE_TOGGLE_POINT = 5;

unsigned char button_code(const input& in) {
    unsigned char code = (unsigned char)(in.buttons & 0xFF);
    if (code != BUTTON_PRIMARY)
        return code;
    // Tested in this order, so Command wins over Control over Shift.
    unsigned char mapped = code;
    if (in.modifiers & B_SHIFT_KEY)
        mapped = BUTTON_SECONDARY;
    if (in.modifiers & B_CONTROL_KEY)
        mapped = BUTTON_TERTIARY;
    if (in.modifiers & B_COMMAND_KEY)
        mapped = BUTTON_COMMAND;
    return mapped;
}

// Keys and the flag each sets while held.
uint8 key_flag(char c) {
    switch (c) {
    case '8':
    case B_UP_ARROW:
        return 0x01;
    case '2':
    case B_DOWN_ARROW:
        return 0x02;
    case '4':
    case B_LEFT_ARROW:
        return 0x04;
    case '6':
    case B_RIGHT_ARROW:
        return 0x08;
    case '@':
        return 0x10;
    case B_DELETE:
        return 0x80;
    default:
        return 0;
    }
}

} // namespace

void glyfeditview::MouseDown(BPoint) {
    chkinput();
}

void glyfeditview::MouseUp(BPoint) {
    chkinput();
}

void glyfeditview::MouseMoved(BPoint, uint32, const BMessage*) {
    chkinput();
}

void glyfeditview::chkinput() {
    // Keep the pointer while a button is held outside the view.
    SetMouseEventMask(B_POINTER_EVENTS);
    input in = previnput;
    editor_window* host = dynamic_cast<editor_window*>(Window());
    if (host && host->inputtarget == this) {
        in = host->lastinput;
    } else if (Window() && Window()->CurrentMessage()) {
        // A window that keeps no record for this view: read the message
        // being handled the same way.
        record_input(*Window()->CurrentMessage(), &in);
    }
    BPoint pos(std::trunc(in.where.x / scale), std::trunc(in.where.y / scale));
    unsigned char button = button_code(in);
    if (pos != prevpos)
        ptr_move(pos, prevbutton, in);
    if (button != prevbutton) {
        unsigned char released = prevbutton & ~button;
        if (released)
            btn_up(pos, released, in);
        unsigned char pressed = button & ~prevbutton;
        if (pressed)
            btn_down(pos, pressed, in);
    }
    prevpos = pos;
    prevbutton = button;
    previnput = in;
}

void glyfeditview::ptr_move(BPoint pos, unsigned char button, const input&) {
    if (pos == lastpos)
        return;
    lastpos = pos;
    // Without a button only a polygon in progress follows the pointer.
    if (!btnheld && !((tool == 4 || tool == 5) && selstate < 0))
        return;
    if (!canvas.Contains(pos))
        return;
    if (tool != 0) {
        if (selstate >= 0 || !curobject)
            return;
        redraw(2);
        curobject->create(btnheld ? EVENT_DRAG : EVENT_HOVER, pos, psize);
        redraw(2);
        return;
    }
    if (selstate == STATE_GESTURE) {
        redraw(2);
        rubberrect = BRect(dragstart.x, dragstart.y, pos.x, pos.y);
        redraw(2);
        return;
    }
    if (selstate != STATE_DRAG_CONTOURS && selstate != STATE_DRAG_POINT)
        return;
    if (dragrefused)
        return;
    redraw(2);
    if (firstmove && button == BUTTON_TERTIARY) {
        firstmove = false;
        if (!duplicate_selection(pos - dragstart)) {
            dragrefused = true;
            redraw(2);
            return;
        }
        duplicated = true;
    }
    curglyph->move_sel(pos - dragstart);
    dragstart = pos;
    redraw(2);
}

bool glyfeditview::duplicate_selection(BPoint offset) {
    // On a composite glyph the outline is derived from the components:
    // there is nothing of its own to copy or to insert into.
    if (curglyph->ncompo > 0)
        return true;
    int copies = 0;
    for (int i = 0; i < curglyph->count; i++) {
        shape* s = curglyph->contours[i];
        if (!s)
            continue;
        if (s->selected < 0)
            copies++;
        else if (s->selected > 0 && s->count >= shape::max_points) {
            refuse("A contour holds at most 1024 points: no point can be inserted.");
            return false;
        }
    }
    if (curglyph->count + curglyph->ncompo + copies > glyph::max_contours) {
        refuse("A glyph holds at most 512 contours: the selection cannot be duplicated.");
        return false;
    }
    curglyph->copy_sel(offset);
    return true;
}

void glyfeditview::btn_down(BPoint pos, unsigned char button, const input&) {
    SetMouseEventMask(B_POINTER_EVENTS);
    if (!canvas.Contains(pos))
        return;
    MakeFocus(true);
    btnheld = true;
    dragstart = pos;
    dragrefused = false;

    if (tool != 0) {
        redraw(2);
        if (selstate == STATE_IDLE) {
            // A drawing is one step, from its first press to its end.
            begin_step();
            curobject = new_object(tool);
            if (!curobject) {
                steps.drop();
                redraw(2);
                return;
            }
            selstate = STATE_GESTURE;
        }
        if (!curobject)
            return;
        int result = curobject->create(
            button == BUTTON_SECONDARY ? EVENT_PRESS_SECONDARY : EVENT_PRESS, pos, psize);
        finish_object(result);
        return;
    }

    // Whatever the press and the drag after it change is one step.
    duplicated = false;
    begin_step();
    redraw(2);
    int hit = curglyph->sel_check(pos, 2 / scale);
    if (hit == 1) {
        // A component rectangle moves whole, wherever it was taken.
        if (curglyph->ncompo > 0)
            curglyph->sel_check();
        selstate = STATE_DRAG_CONTOURS;
    } else if (hit == 2 || hit == 3) {
        // Only the point selections remain.
        for (int i = 0; i < curglyph->count; i++) {
            if (curglyph->contours[i] && curglyph->contours[i]->selected == -1)
                curglyph->contours[i]->selected = 0;
        }
        if (button == BUTTON_COMMAND)
            selstate = STATE_TOGGLE_POINT;
        else if (button == BUTTON_SECONDARY) {
            selstate = STATE_DELETE_POINT;
            send2toolv(REPORT_EMPTY);
        } else
            selstate = STATE_DRAG_POINT;
    } else {
        if (button == BUTTON_PRIMARY) {
            curglyph->sel_none();
            selstate = STATE_GESTURE;
        }
        rubber = true;
        rubberrect = BRect(pos, pos);
    }
    redraw(2);
}

void glyfeditview::finish_object(int result) {
    if (result == -1) {
        shape** made = curobject->to_shape();
        if (made) {
            int refused = 0;
            for (shape** s = made; *s; s++) {
                if (curglyph->add_shape(*s) != 0)
                    refused++;
            }
            delete[] made;
            if (refused)
                refuse("A glyph holds at most 512 contours: the drawn contour was not added.");
        }
        send2toolv(REPORT_EMPTY);
    }
    if (result == -1)
        end_step("drawing");
    else if (result < 0)
        steps.drop();
    if (result < 0) {
        delete curobject;
        curobject = nullptr;
        selstate = STATE_IDLE;
    }
    redraw(selstate != STATE_IDLE ? 2 : 5);
}

void glyfeditview::btn_up(BPoint pos, unsigned char, const input&) {
    if (!btnheld)
        return;
    btnheld = false;
    firstmove = true;

    if (tool != 0) {
        if (selstate >= 0 || !curobject)
            return;
        redraw(2);
        finish_object(curobject->create(EVENT_RELEASE, pos, psize));
        return;
    }

    if (selstate == STATE_GESTURE) {
        float x = std::min(std::max(pos.x, canvas.left), canvas.right);
        float y = std::min(std::max(pos.y, canvas.top), canvas.bottom);
        rubberrect = BRect(std::min(dragstart.x, x), std::min(dragstart.y, y),
                           std::max(dragstart.x, x), std::max(dragstart.y, y));
    }
    const char* name = gesture_name();
    if (selstate == STATE_DELETE_POINT) {
        curglyph->del_sel();
    } else if (selstate == STATE_TOGGLE_POINT) {
        curglyph->tgl_sel();
    }
    rubber = false;
    if (selstate > STATE_SELECTED) {
        if (curglyph->ncompo > 0)
            rebuild_composite();
        selstate = STATE_SELECTED;
        redraw(5);
    } else {
        if (curglyph->sel_check(rubberrect))
            selstate = STATE_SELECTED;
        else if (selstate == STATE_GESTURE)
            selstate = STATE_IDLE;
        redraw(4);
    }
    // A released point leaves its contour selected.
    curglyph->sel_check();
    end_step(name);
    send2toolv(REPORT_EMPTY);
}

void glyfeditview::KeyDown(const char* bytes, int32 numBytes) {
    if (keyflag != 0)
        return;
    uint8 flag = numBytes == 1 ? key_flag(bytes[0]) : 0;
    if (flag == 0) {
        // Tab and the like still move the focus.
        BView::KeyDown(bytes, numBytes);
        return;
    }
    keyflag = flag;
    if (curglyph->count + curglyph->ncompo == 0 || tool != 0)
        return;
    // A key during a drag ends the drag's step and makes its own; the drag
    // goes on as a new one.
    bool dragging = steps.pending();
    if (dragging)
        end_step(gesture_name());
    begin_step();
    const char* name = flag == 0x10 ? "reversal" : flag == 0x80 ? "deletion" : "order";
    switch (flag) {
    case 0x01:
        if (selstate == STATE_SELECTED)
            curglyph->sel_to_top();
        else {
            curglyph->sel_first();
            selstate = STATE_SELECTED;
        }
        break;
    case 0x02:
        if (selstate == STATE_SELECTED)
            curglyph->sel_to_bot();
        else {
            curglyph->sel_last();
            selstate = STATE_SELECTED;
        }
        break;
    case 0x04:
        curglyph->sel_back();
        selstate = STATE_SELECTED;
        break;
    case 0x08:
        curglyph->sel_next();
        selstate = STATE_SELECTED;
        break;
    case 0x10:
        if (selstate == STATE_SELECTED)
            curglyph->rev_sel();
        break;
    case 0x80:
        if (selstate == STATE_SELECTED) {
            curglyph->del_sel();
            selstate = STATE_IDLE;
            send2toolv(REPORT_EMPTY);
        }
        break;
    }
    end_step(name);
    if (dragging && btnheld)
        begin_step();
    redraw(5);
}

void glyfeditview::KeyUp(const char*, int32) {
    keyflag = 0;
}

void glyfeditview::select_point(int32 point) {
    // The record numbers the outline's points contour after contour.
    if (curglyph->ncompo > 0 || point < 0)
        return;
    curglyph->sel_none();
    for (int k = 0; k < curglyph->count; k++) {
        shape* s = curglyph->contours[k];
        if (!s)
            continue;
        if (point < s->count) {
            s->selected = point + 1;
            // As a click on the point leaves it: the keys act on it.
            selstate = STATE_SELECTED;
            redraw(5);
            return;
        }
        point -= s->count;
    }
}
