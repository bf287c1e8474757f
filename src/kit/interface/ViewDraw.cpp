// BView's drawing state and drawing calls.
#include "View.h"

#include "kit_painter.h"

#include "kit/display/scale.h"

#include <Bitmap.h>
#include <Shape.h>
#include <Window.h>

#include <cmath>
#include <cstring>

void BView::SetHighColor(rgb_color color) {
    fState.high = color;
}

void BView::SetLowColor(rgb_color color) {
    fState.low = color;
}

void BView::SetViewColor(rgb_color color) {
    fViewColor = color;
}

void BView::SetPenSize(float size) {
    fState.penSize = std::isfinite(size) && size > 0 ? size : 0;
}

void BView::SetLineMode(cap_mode lineCap, join_mode lineJoin, float miterLimit) {
    fState.cap = lineCap;
    fState.join = lineJoin;
    fState.miterLimit = std::isfinite(miterLimit) && miterLimit >= 1 ? miterLimit : 1;
}

void BView::SetScale(float scale) {
    // A zero, negative or runaway scale would draw nothing sensible.
    if (!std::isfinite(scale) || scale <= 0)
        return;
    fState.scale = scale;
}

float BView::_CombinedScale() const {
    float scale = fState.scale;
    for (const draw_state& s : fStateStack)
        scale *= s.scale;
    return scale;
}

void BView::PushState() {
    fStateStack.push_back(fState);
    fState.scale = 1.0f;
}

void BView::PopState() {
    if (fStateStack.empty())
        return;
    fState = fStateStack.back();
    fStateStack.pop_back();
}

void BView::SetFont(const BFont* font, uint32 mask) {
    if (!font)
        return;
    if (mask & (B_FONT_FAMILY_AND_STYLE | B_FONT_FACE)) {
        std::string family, style;
        font->GetFamilyAndStyle(&family, &style);
        fState.font.SetFamilyAndStyle(family.c_str(), style.c_str());
    }
    if (mask & B_FONT_SIZE)
        fState.font.SetSize(font->Size());
}

void BView::GetFont(BFont* font) const {
    if (font)
        *font = fState.font;
}

void BView::SetFontSize(float size) {
    fState.font.SetSize(size);
}

float BView::StringWidth(const char* string) const {
    return fState.font.StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const {
    return fState.font.StringWidth(string, length);
}

void BView::GetFontHeight(font_height* height) const {
    fState.font.GetHeight(height);
}

bool BView::_Context(kit::paint_context* c, kit::pixel_rect* logical) const {
    if (!fWindow || !kit_is_visible())
        return false;
    kit::pixel_region clip(kit_device_frame());
    if (!(fFlags & B_DRAW_ON_CHILDREN)) {
        for (const BView* child : fChildren) {
            if (child->fShowLevel <= 0)
                clip.exclude(child->kit_device_frame());
        }
    }
    if (const kit::pixel_region* update = fWindow->kit_update_region())
        clip.intersect(*update);
    if (clip.empty())
        return false;
    if (logical)
        *logical = clip.bounds();
    BPoint offset = kit_window_offset();
    const float device = fWindow->kit_scale();
    c->target = fWindow->kit_surface();
    if (device == 1.0f) {
        c->clip = clip;
    } else {
        c->clip.clear();
        for (const kit::pixel_rect& r : clip.rects())
            c->clip.include(kit::to_device(r, device));
    }
    c->origin_x = offset.x;
    c->origin_y = offset.y;
    c->scale = _CombinedScale();
    c->device = device;
    c->high = fState.high;
    c->low = fState.low;
    c->mode = fState.mode;
    c->pen_size = fState.penSize;
    c->cap = fState.cap;
    c->join = fState.join;
    c->miter_limit = fState.miterLimit;
    c->font.family = fState.font.kit_family();
    c->font.bold = fState.font.kit_bold();
    c->font.size = fState.font.Size();
    return true;
}

void BView::_Drawn(const kit::pixel_rect& changed) const {
    if (fWindow && !changed.empty())
        fWindow->kit_drawn(changed);
}

void BView::StrokeLine(BPoint toPoint, const pattern& p) {
    StrokeLine(fState.pen, toPoint, p);
}

void BView::StrokeLine(BPoint start, BPoint end, const pattern& p) {
    fState.pen = end;
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::stroke_line(c, start, end, p));
}

void BView::StrokeRect(BRect rect, const pattern& p) {
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::stroke_rect(c, rect, p));
}

void BView::FillRect(BRect rect, const pattern& p) {
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::fill_rect(c, rect, p));
}

void BView::InvertRect(BRect rect) {
    kit::paint_context c;
    if (!_Context(&c))
        return;
    c.mode = B_OP_INVERT;
    _Drawn(kit::fill_rect(c, rect, B_SOLID_HIGH));
}

void BView::StrokeEllipse(BRect rect, const pattern& p) {
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::stroke_ellipse(c, rect, p));
}

void BView::StrokeEllipse(BPoint center, float xRadius, float yRadius, const pattern& p) {
    StrokeEllipse(
        BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius), p);
}

void BView::FillEllipse(BRect rect, const pattern& p) {
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::fill_ellipse(c, rect, p));
}

void BView::FillEllipse(BPoint center, float xRadius, float yRadius, const pattern& p) {
    FillEllipse(
        BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius), p);
}

void BView::StrokeTriangle(BPoint p1, BPoint p2, BPoint p3, const pattern& p) {
    BPoint points[3] = {p1, p2, p3};
    StrokePolygon(points, 3, true, p);
}

void BView::FillTriangle(BPoint p1, BPoint p2, BPoint p3, const pattern& p) {
    BPoint points[3] = {p1, p2, p3};
    FillPolygon(points, 3, p);
}

void BView::StrokePolygon(const BPoint* points, int32 count, bool closed, const pattern& p) {
    if (!points || count < 1)
        return;
    BShape shape;
    shape.MoveTo(points[0]);
    for (int32 i = 1; i < count; i++)
        shape.LineTo(points[i]);
    if (closed)
        shape.Close();
    StrokeShape(&shape, p);
}

void BView::FillPolygon(const BPoint* points, int32 count, const pattern& p) {
    if (!points || count < 1)
        return;
    BShape shape;
    shape.MoveTo(points[0]);
    for (int32 i = 1; i < count; i++)
        shape.LineTo(points[i]);
    shape.Close();
    FillShape(&shape, p);
}

void BView::StrokeShape(BShape* shape, const pattern& p) {
    kit::paint_context c;
    if (shape && _Context(&c))
        _Drawn(kit::stroke_shape(c, *shape, p));
}

void BView::FillShape(BShape* shape, const pattern& p) {
    kit::paint_context c;
    if (shape && _Context(&c))
        _Drawn(kit::fill_shape(c, *shape, p));
}

void BView::DrawString(const char* string) {
    DrawString(string, fState.pen);
}

void BView::DrawString(const char* string, BPoint location) {
    if (string)
        DrawString(string, (int32)std::strlen(string), location);
}

void BView::DrawString(const char* string, int32 length, BPoint location) {
    if (!string || length <= 0)
        return;
    // The pen moves to the end of the text, drawn or not.
    fState.pen = BPoint(location.x + StringWidth(string, length), location.y);
    kit::paint_context c;
    if (_Context(&c))
        _Drawn(kit::draw_string(c, string, length, location));
}

void BView::DrawBitmap(const BBitmap* bitmap) {
    DrawBitmap(bitmap, fState.pen);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where) {
    if (!bitmap)
        return;
    BRect b = bitmap->Bounds();
    DrawBitmap(bitmap, b, b.OffsetToCopy(where.x, where.y));
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect destination) {
    if (bitmap)
        DrawBitmap(bitmap, bitmap->Bounds(), destination);
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination) {
    kit::paint_context c;
    if (!bitmap || !bitmap->IsValid() || !_Context(&c))
        return;
    kit::surface pixels;
    pixels.pixels = (uint32*)bitmap->Bits();
    pixels.width = bitmap->Bounds().IntegerWidth() + 1;
    pixels.height = bitmap->Bounds().IntegerHeight() + 1;
    pixels.stride = bitmap->BytesPerRow() / 4;
    _Drawn(kit::draw_pixels(c, pixels, source, destination));
}

void BView::Invalidate() {
    if (fWindow && kit_is_visible())
        fWindow->kit_invalidate(kit_device_frame());
}

void BView::Invalidate(BRect rect) {
    if (!fWindow || !kit_is_visible() || !rect.IsValid())
        return;
    BPoint offset = kit_window_offset();
    float s = _CombinedScale();
    kit::pixel_rect r{
        (int32)std::floor(offset.x + rect.left * s), (int32)std::floor(offset.y + rect.top * s),
        (int32)std::ceil(offset.x + rect.right * s), (int32)std::ceil(offset.y + rect.bottom * s)};
    fWindow->kit_invalidate(r.intersect(kit_device_frame()));
}

void BView::Sync() const {
    if (fWindow)
        fWindow->Sync();
}

void BView::Flush() const {
    Sync();
}

void BView::kit_draw_tree(const kit::pixel_region& update) {
    if (fShowLevel > 0)
        return;
    kit::pixel_rect frame = kit_device_frame();
    if (!update.intersects(frame))
        return;
    kit::paint_context c;
    kit::pixel_rect box;
    if (_Context(&c, &box)) {
        if (fViewColor != B_TRANSPARENT_COLOR) {
            // Erase with the view colour, whatever the drawing state is.
            kit::paint_context erase = c;
            erase.mode = B_OP_COPY;
            erase.scale = 1;
            erase.low = fViewColor;
            BPoint offset = kit_window_offset();
            BRect area(frame.left - offset.x, frame.top - offset.y, frame.right - offset.x,
                       frame.bottom - offset.y);
            _Drawn(kit::fill_rect(erase, area, B_SOLID_LOW));
        }
        if (fFlags & B_WILL_DRAW) {
            // The update area in the view's drawing coordinates.
            BPoint offset = kit_window_offset();
            float s = _CombinedScale();
            BRect area((box.left - offset.x) / s, (box.top - offset.y) / s,
                       (box.right - offset.x) / s, (box.bottom - offset.y) / s);
            Draw(area);
        }
    }
    for (size_t i = 0; i < fChildren.size(); i++)
        fChildren[i]->kit_draw_tree(update);
}
