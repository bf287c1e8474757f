#include "TextControl.h"

#include "kit/display/clipboard.h"
#include "kit_look.h"

#include <AppDefs.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace look = kit::look;

BTextControl::BTextControl(BRect frame, const char* name, const char* label, const char* text,
                           BMessage* message, uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {
    fEdit.set_text(text ? text : "");
    fCommitted = fEdit.text();
    fDivider =
        (label && *label) ? std::min(std::ceil(StringWidth(label)) + 5, Bounds().Width()) : 0;
}

BTextControl::~BTextControl() {
    delete fModificationMessage;
}

void BTextControl::SetText(const char* text) {
    fEdit.set_text(text ? text : "");
    fCommitted = fEdit.text();
    fModified = false;
    fScroll = 0;
    _ScrollToCaret();
    Invalidate();
}

void BTextControl::SetModificationMessage(BMessage* message) {
    if (message != fModificationMessage)
        delete fModificationMessage;
    fModificationMessage = message;
}

void BTextControl::SetDivider(float position) {
    fDivider = std::clamp(std::floor(position), 0.0f, Bounds().Width());
    _ScrollToCaret();
    Invalidate();
}

BRect BTextControl::_Field() const {
    BRect b = Bounds();
    b.left += fDivider;
    return b;
}

BRect BTextControl::_TextArea() const {
    return _Field().InsetByCopy(4, 3);
}

std::vector<float> BTextControl::_Offsets() const {
    // The x of every byte offset that starts a character, from the text's
    // left edge; continuation bytes share the x of their character.
    const std::string& text = fEdit.text();
    BFont font;
    GetFont(&font);
    if (font != fAdvanceFont) {
        fAdvances.clear();
        fAdvanceFont = font;
    }
    std::vector<float> xs(text.size() + 1, 0);
    float x = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            end++;
        std::string character = text.substr(i, end - i);
        auto known = fAdvances.find(character);
        if (known == fAdvances.end())
            known = fAdvances
                        .emplace(character, StringWidth(character.c_str(), (int32)character.size()))
                        .first;
        for (size_t k = i + 1; k < end; k++)
            xs[k] = x;
        x += known->second;
        xs[end] = x;
        i = end;
    }
    return xs;
}

int32 BTextControl::_OffsetAt(float x) const {
    std::vector<float> xs = _Offsets();
    float local = x - _TextArea().left + fScroll;
    int32 best = 0;
    float bestDistance = 1e30f;
    for (size_t i = 0; i < xs.size(); i++) {
        if ((int32)i != fEdit.boundary((int32)i))
            continue;
        float d = std::fabs(xs[i] - local);
        if (d < bestDistance) {
            bestDistance = d;
            best = (int32)i;
        }
    }
    return best;
}

void BTextControl::_ScrollToCaret() {
    float width = std::max(0.0f, _TextArea().Width());
    float x = _Offsets()[fEdit.caret()];
    if (x - fScroll > width)
        fScroll = x - width;
    if (x < fScroll)
        fScroll = x;
    float total = _Offsets().back();
    if (total - fScroll < width)
        fScroll = std::max(0.0f, total - width);
}

void BTextControl::Draw(BRect) {
    BRect bounds = Bounds();
    if (fDivider > 0)
        look::label(this, Label(), BRect(bounds.left, bounds.top, fDivider - 1, bounds.bottom),
                    B_ALIGN_LEFT, IsEnabled());
    BRect field = _Field();
    look::sunken_field(this, field, IsEnabled() ? look::field : rgb_color{232, 232, 232, 255});
    bool focused = kit_show_focus();
    if (focused) {
        SetHighColor(look::focus);
        StrokeRect(field.InsetByCopy(1, 1));
    }

    BRect area = _TextArea();
    std::vector<float> xs = _Offsets();
    const std::string& text = fEdit.text();
    float baseline = look::centred_baseline(this, field);
    if (focused && fEdit.has_selection()) {
        float left = std::max(area.left, area.left + xs[fEdit.selection_start()] - fScroll);
        float right = std::min(area.right, area.left + xs[fEdit.selection_end()] - fScroll - 1);
        if (right >= left) {
            SetHighColor(look::selection);
            FillRect(BRect(left, field.top + 2, right, field.bottom - 2));
        }
    }
    // Only the characters that fit wholly inside the field are drawn.
    int32 first = 0;
    while (first < (int32)text.size() &&
           (first != fEdit.boundary(first) || xs[first] < fScroll - 0.5f))
        first++;
    int32 last = first;
    for (int32 i = first; i <= (int32)text.size(); i++) {
        if (i != fEdit.boundary(i) && i != (int32)text.size())
            continue;
        if (xs[i] - fScroll <= area.Width() + 1)
            last = i;
    }
    if (last > first) {
        SetHighColor(IsEnabled() ? look::text : look::disabled_text);
        SetDrawingMode(B_OP_OVER);
        DrawString(text.c_str() + first, last - first,
                   BPoint(area.left + xs[first] - fScroll, baseline));
        SetDrawingMode(B_OP_COPY);
    }
    if (focused) {
        float x = std::floor(area.left + xs[fEdit.caret()] - fScroll);
        x = std::min(x, field.right - 2);
        SetHighColor(look::black);
        StrokeLine(BPoint(x, field.top + 3), BPoint(x, field.bottom - 3));
    }
}

void BTextControl::MouseDown(BPoint where) {
    if (!IsEnabled())
        return;
    if (!_Field().Contains(where)) {
        MakeFocus(true);
        return;
    }
    MakeFocus(true);
    BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
    int32 clicks = message ? message->GetInt32("clicks", 1) : 1;
    int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
    if (clicks >= 2) {
        fEdit.select_all();
    } else {
        fEdit.move_to(_OffsetAt(where.x), (mods & B_SHIFT_KEY) != 0);
        fSelecting = true;
        SetMouseEventMask(B_POINTER_EVENTS);
    }
    _ScrollToCaret();
    Invalidate();
}

void BTextControl::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fSelecting)
        return;
    fEdit.move_to(_OffsetAt(where.x), true);
    _ScrollToCaret();
    Invalidate();
}

void BTextControl::MouseUp(BPoint) {
    fSelecting = false;
}

void BTextControl::_Changed() {
    fModified = true;
    _ScrollToCaret();
    Invalidate();
    if (fModificationMessage)
        Invoke(fModificationMessage);
}

void BTextControl::_Commit() {
    fModified = false;
    fCommitted = fEdit.text();
    Invoke();
}

void BTextControl::kit_revert() {
    std::string committed = fCommitted;
    SetText(committed.c_str());
}

bool BTextControl::_Shortcut(const char* bytes, int32 mods) {
    if (!(mods & (B_COMMAND_KEY | B_CONTROL_KEY)))
        return false;
    char c = bytes[0];
    if (c >= 'A' && c <= 'Z')
        c = (char)(c - 'A' + 'a');
    // A terminal-style control code for the same letter counts too.
    if (c >= 1 && c <= 26 && c != B_HOME && c != B_END && c != B_BACKSPACE && c != B_TAB &&
        c != B_ENTER)
        c = (char)(c - 1 + 'a');
    switch (c) {
    case 'c':
        return _Edit(B_COPY);
    case 'x':
        return _Edit(B_CUT);
    case 'v':
        return _Edit(B_PASTE);
    case 'a':
        return _Edit(B_SELECT_ALL);
    default:
        return false;
    }
}

bool BTextControl::_Edit(uint32 what) {
    switch (what) {
    case B_COPY:
        if (fEdit.has_selection())
            kit::set_clipboard_text(fEdit.selected_text());
        return true;
    case B_CUT:
        if (fEdit.has_selection()) {
            kit::set_clipboard_text(fEdit.selected_text());
            fEdit.delete_selection();
            _Changed();
        }
        return true;
    case B_PASTE:
        if (fEdit.insert(kit::clipboard_text()))
            _Changed();
        return true;
    case B_SELECT_ALL:
        fEdit.select_all();
        Invalidate();
        return true;
    default:
        return false;
    }
}

bool BTextControl::kit_edit_key(const char* bytes, int32 modifiers) {
    return IsEnabled() && _Shortcut(bytes, modifiers);
}

void BTextControl::MessageReceived(BMessage* message) {
    // The Edit menu's commands, sent to the focus view.
    if (!IsEnabled() || !_Edit(message->what))
        BControl::MessageReceived(message);
}

void BTextControl::KeyDown(const char* bytes, int32 numBytes) {
    if (!IsEnabled() || numBytes < 1) {
        BControl::KeyDown(bytes, numBytes);
        return;
    }
    BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
    int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
    bool shift = (mods & B_SHIFT_KEY) != 0;
    if (_Shortcut(bytes, mods))
        return;
    if (mods & (B_COMMAND_KEY | B_CONTROL_KEY)) {
        // Not an editing shortcut: perhaps a menu's.
        BControl::KeyDown(bytes, numBytes);
        return;
    }
    unsigned char c = static_cast<unsigned char>(bytes[0]);
    switch (c) {
    case B_ENTER:
        _Commit();
        return;
    case B_TAB:
    case B_ESCAPE:
        BControl::KeyDown(bytes, numBytes);
        return;
    case B_BACKSPACE:
        if (fEdit.backspace())
            _Changed();
        return;
    case B_DELETE:
        if (fEdit.delete_forward())
            _Changed();
        return;
    case B_LEFT_ARROW:
        fEdit.move_left(shift);
        break;
    case B_RIGHT_ARROW:
        fEdit.move_right(shift);
        break;
    case B_HOME:
    case B_UP_ARROW:
        fEdit.move_to(0, shift);
        break;
    case B_END:
    case B_DOWN_ARROW:
        fEdit.move_to((int32)fEdit.text().size(), shift);
        break;
    default:
        if (c < 0x20) {
            BControl::KeyDown(bytes, numBytes);
            return;
        }
        if (fEdit.insert(std::string(bytes, numBytes)))
            _Changed();
        return;
    }
    _ScrollToCaret();
    Invalidate();
}

void BTextControl::MakeFocus(bool focus) {
    if (focus ? (fFocused && IsFocus()) : !fFocused)
        return;
    fFocused = focus;
    if (focus) {
        fEdit.select_all();
        _ScrollToCaret();
    } else {
        fSelecting = false;
        fEdit.move_to(fEdit.caret(), false);
    }
    BControl::MakeFocus(focus);
    // Leaving a changed text commits it.
    if (!focus && fModified)
        _Commit();
}
