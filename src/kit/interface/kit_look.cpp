#include "kit_look.h"

#include <Font.h>
#include <Shape.h>
#include <View.h>

#include <cmath>

namespace kit::look {

const BFont* control_font() {
    static const BFont font = [] {
        BFont f(be_plain_font);
        f.SetSize(control_font_size);
        return f;
    }();
    return &font;
}

void bevel(BView* view, BRect r, rgb_color fill, bool pressed) {
    view->SetHighColor(fill);
    view->FillRect(r);
    rgb_color topLeft = pressed ? dark : light;
    rgb_color bottomRight = pressed ? light : shadow;
    view->SetHighColor(black);
    view->StrokeRect(r);
    r.InsetBy(1, 1);
    view->SetHighColor(topLeft);
    view->StrokeLine(r.LeftBottom(), r.LeftTop());
    view->StrokeLine(r.LeftTop(), r.RightTop());
    view->SetHighColor(bottomRight);
    view->StrokeLine(r.RightTop() + BPoint(0, 1), r.RightBottom());
    view->StrokeLine(r.RightBottom(), r.LeftBottom() + BPoint(1, 0));
}

void sunken_field(BView* view, BRect r, rgb_color fill) {
    view->SetHighColor(shadow);
    view->StrokeLine(r.LeftBottom(), r.LeftTop());
    view->StrokeLine(r.LeftTop(), r.RightTop());
    view->SetHighColor(light);
    view->StrokeLine(r.RightTop() + BPoint(0, 1), r.RightBottom());
    view->StrokeLine(r.RightBottom(), r.LeftBottom() + BPoint(1, 0));
    r.InsetBy(1, 1);
    view->SetHighColor(dark);
    view->StrokeRect(r);
    r.InsetBy(1, 1);
    view->SetHighColor(fill);
    view->FillRect(r);
}

void focus_underline(BView* view, float left, float right, float baseline) {
    view->SetHighColor(focus);
    view->StrokeLine(BPoint(left, baseline + 2), BPoint(right, baseline + 2));
}

void arrow(BView* view, BRect box, direction d, rgb_color color) {
    float size = std::floor(std::min(box.Width(), box.Height()) / 2);
    if (size < 2)
        size = 2;
    BPoint c(std::floor((box.left + box.right) / 2), std::floor((box.top + box.bottom) / 2));
    float h = std::floor(size / 2);
    BShape shape;
    switch (d) {
    case up:
        shape.MoveTo(BPoint(c.x - size, c.y + h));
        shape.LineTo(BPoint(c.x + size, c.y + h));
        shape.LineTo(BPoint(c.x, c.y - h));
        break;
    case down:
        shape.MoveTo(BPoint(c.x - size, c.y - h));
        shape.LineTo(BPoint(c.x + size, c.y - h));
        shape.LineTo(BPoint(c.x, c.y + h));
        break;
    case left:
        shape.MoveTo(BPoint(c.x + h, c.y - size));
        shape.LineTo(BPoint(c.x + h, c.y + size));
        shape.LineTo(BPoint(c.x - h, c.y));
        break;
    case right:
        shape.MoveTo(BPoint(c.x - h, c.y - size));
        shape.LineTo(BPoint(c.x - h, c.y + size));
        shape.LineTo(BPoint(c.x + h, c.y));
        break;
    }
    shape.Close();
    view->SetHighColor(color);
    view->FillShape(&shape);
}

float centred_baseline(BView* view, BRect box) {
    font_height fh;
    view->GetFontHeight(&fh);
    float textHeight = std::ceil(fh.ascent) + std::ceil(fh.descent);
    return std::floor(box.top + (box.Height() + 1 - textHeight) / 2 + std::ceil(fh.ascent));
}

void label(BView* view, const char* text, BRect box, alignment align, bool enabled) {
    if (!text || !*text)
        return;
    float width = view->StringWidth(text);
    float x = box.left;
    if (align == B_ALIGN_CENTER)
        x = std::floor(box.left + (box.Width() + 1 - width) / 2);
    else if (align == B_ALIGN_RIGHT)
        x = box.right - width;
    view->SetHighColor(enabled ? look::text : disabled_text);
    view->SetDrawingMode(B_OP_OVER);
    view->DrawString(text, BPoint(x, centred_baseline(view, box)));
    view->SetDrawingMode(B_OP_COPY);
}

} // namespace kit::look
