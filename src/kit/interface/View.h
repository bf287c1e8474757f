// BView: a rectangle in a window's view tree that draws and takes input.
//
// Coordinates: a view's own coordinate system has its scroll position at
// the top-left corner of its frame (Bounds().LeftTop()). Drawing calls
// are further multiplied by the drawing scale (SetScale); input positions
// ("where", GetMouse) are not, as on the platform this kit copies.
// Drawing goes straight to the window's pixels, clipped to the part of
// the view that is visible (its children excluded), whenever the window
// is locked; the window shows what changed after each message.
#ifndef _VIEW_H
#define _VIEW_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

class BBitmap;
class BMessage;
class BShape;
class BWindow;

namespace kit {
struct paint_context;
struct pixel_rect;
class pixel_region;
} // namespace kit

// Resizing modes: how a view follows its parent's size. Each nibble says
// what one edge is tied to (top, left, bottom, right).
enum {
    _VIEW_TOP_ = 1,
    _VIEW_LEFT_ = 2,
    _VIEW_BOTTOM_ = 3,
    _VIEW_RIGHT_ = 4,
    _VIEW_CENTER_ = 5,
};
#define _rule_(r1, r2, r3, r4) (((r1) << 12) | ((r2) << 8) | ((r3) << 4) | (r4))

const uint32 B_FOLLOW_NONE = 0;
const uint32 B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_);
const uint32 B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES;
const uint32 B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_);
const uint32 B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_);
const uint32 B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_);
const uint32 B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_);
const uint32 B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0);
const uint32 B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0);
const uint32 B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0);
const uint32 B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0);

// View flags.
const uint32 B_FULL_UPDATE_ON_RESIZE = 0x80000000UL;
const uint32 B_WILL_DRAW = 0x20000000UL;
const uint32 B_PULSE_NEEDED = 0x10000000UL;
const uint32 B_NAVIGABLE_JUMP = 0x08000000UL;
const uint32 B_FRAME_EVENTS = 0x04000000UL;
const uint32 B_NAVIGABLE = 0x02000000UL;
const uint32 B_SUBPIXEL_PRECISE = 0x01000000UL;
const uint32 B_DRAW_ON_CHILDREN = 0x00800000UL;
const uint32 B_INPUT_METHOD_AWARE = 0x00400000UL;

class BView : public BHandler {
  public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    // Children still attached are deleted with the view.
    ~BView() override;

    // Hooks, called in the window's thread.
    virtual void AttachedToWindow() {}
    virtual void AllAttached() {}
    virtual void DetachedFromWindow() {}
    virtual void AllDetached() {}
    virtual void Draw(BRect updateRect) { (void)updateRect; }
    virtual void MouseDown(BPoint where) { (void)where; }
    virtual void MouseUp(BPoint where) { (void)where; }
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) {
        (void)where;
        (void)transit;
        (void)dragMessage;
    }
    // Tab and Shift-Tab move the keyboard focus to the next or previous
    // B_NAVIGABLE view; Enter presses the window's default button.
    virtual void KeyDown(const char* bytes, int32 numBytes);
    virtual void KeyUp(const char* bytes, int32 numBytes) {
        (void)bytes;
        (void)numBytes;
    }
    virtual void FrameMoved(BPoint newPosition) { (void)newPosition; }
    // Called only for views with B_FRAME_EVENTS.
    virtual void FrameResized(float newWidth, float newHeight) {
        (void)newWidth;
        (void)newHeight;
    }
    virtual void Pulse() {}
    virtual void WindowActivated(bool active) { (void)active; }
    void MessageReceived(BMessage* message) override;

    // The view tree. A parent does not own a child that was removed;
    // children still attached are deleted with the parent.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    bool RemoveSelf();
    int32 CountChildren() const { return (int32)fChildren.size(); }
    BView* ChildAt(int32 index) const;
    BView* NextSibling() const;
    BView* PreviousSibling() const;
    BView* Parent() const { return fParent; }
    // Searches the subtree, this view included, for a view of that name.
    BView* FindView(const char* name) const;
    BWindow* Window() const { return fWindow; }
    const char* Name() const { return BHandler::Name(); }

    // Show/Hide nest: a view hidden twice needs two Show() calls. A view
    // is drawn only when it and every ancestor are shown; IsHidden()
    // reports the view's own state.
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;

    BRect Frame() const { return fFrame; }
    BRect Bounds() const;
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
    void ResizeTo(float width, float height);
    void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
    // Scrolling moves the view's content: Bounds().LeftTop() becomes `where`.
    virtual void ScrollTo(BPoint where);
    void ScrollTo(float x, float y) { ScrollTo(BPoint(x, y)); }
    void ScrollBy(float dx, float dy);

    BPoint ConvertToParent(BPoint point) const;
    BRect ConvertToParent(BRect rect) const;
    BPoint ConvertFromParent(BPoint point) const;
    BRect ConvertFromParent(BRect rect) const;
    BPoint ConvertToScreen(BPoint point) const;
    BRect ConvertToScreen(BRect rect) const;
    BPoint ConvertFromScreen(BPoint point) const;
    BRect ConvertFromScreen(BRect rect) const;

    uint32 ResizingMode() const { return fResizingMode; }
    void SetResizingMode(uint32 mode) { fResizingMode = mode; }
    uint32 Flags() const { return fFlags; }
    virtual void SetFlags(uint32 flags) { fFlags = flags; }

    // Drawing state.
    void SetHighColor(rgb_color color);
    void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { SetHighColor({r, g, b, a}); }
    rgb_color HighColor() const { return fState.high; }
    void SetLowColor(rgb_color color);
    void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { SetLowColor({r, g, b, a}); }
    rgb_color LowColor() const { return fState.low; }
    // The colour the window erases the view with before Draw();
    // B_TRANSPARENT_COLOR means no erasing.
    void SetViewColor(rgb_color color);
    void SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { SetViewColor({r, g, b, a}); }
    rgb_color ViewColor() const { return fViewColor; }
    // Pen size 0 draws one pixel wide at any scale.
    void SetPenSize(float size);
    float PenSize() const { return fState.penSize; }
    void SetDrawingMode(drawing_mode mode) { fState.mode = mode; }
    drawing_mode DrawingMode() const { return fState.mode; }
    void SetLineMode(cap_mode lineCap, join_mode lineJoin,
                     float miterLimit = B_DEFAULT_MITER_LIMIT);
    cap_mode LineCapMode() const { return fState.cap; }
    join_mode LineJoinMode() const { return fState.join; }
    float LineMiterLimit() const { return fState.miterLimit; }
    // Scales drawing about the view's origin. Inside PushState the scale
    // multiplies the enclosing state's.
    void SetScale(float scale);
    float Scale() const { return fState.scale; }
    // Saves the drawing state; PopState restores it. A pushed state starts
    // with scale 1 relative to the one below.
    void PushState();
    void PopState();

    void MovePenTo(BPoint point) { fState.pen = point; }
    void MovePenTo(float x, float y) { MovePenTo(BPoint(x, y)); }
    void MovePenBy(float dx, float dy) { fState.pen += BPoint(dx, dy); }
    BPoint PenLocation() const { return fState.pen; }

    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
    void GetFont(BFont* font) const;
    void SetFontSize(float size);
    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetFontHeight(font_height* height) const;

    // Drawing. Pen-position forms start at PenLocation() and leave the pen
    // at the end.
    void StrokeLine(BPoint toPoint, const pattern& p = B_SOLID_HIGH);
    void StrokeLine(BPoint start, BPoint end, const pattern& p = B_SOLID_HIGH);
    void StrokeRect(BRect rect, const pattern& p = B_SOLID_HIGH);
    void FillRect(BRect rect, const pattern& p = B_SOLID_HIGH);
    void InvertRect(BRect rect);
    void StrokeEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
    void StrokeEllipse(BPoint center, float xRadius, float yRadius,
                       const pattern& p = B_SOLID_HIGH);
    void FillEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
    void FillEllipse(BPoint center, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
    void StrokeTriangle(BPoint p1, BPoint p2, BPoint p3, const pattern& p = B_SOLID_HIGH);
    void FillTriangle(BPoint p1, BPoint p2, BPoint p3, const pattern& p = B_SOLID_HIGH);
    void StrokePolygon(const BPoint* points, int32 count, bool closed = true,
                       const pattern& p = B_SOLID_HIGH);
    // Fills the polygon with its edges included.
    void FillPolygon(const BPoint* points, int32 count, const pattern& p = B_SOLID_HIGH);
    void StrokeShape(BShape* shape, const pattern& p = B_SOLID_HIGH);
    void FillShape(BShape* shape, const pattern& p = B_SOLID_HIGH);
    // Text in the high colour with its baseline starting at the point.
    void DrawString(const char* string);
    void DrawString(const char* string, BPoint location);
    void DrawString(const char* string, int32 length, BPoint location);
    void DrawBitmap(const BBitmap* bitmap);
    void DrawBitmap(const BBitmap* bitmap, BPoint where);
    void DrawBitmap(const BBitmap* bitmap, BRect destination);
    void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);

    // Asks the window to redraw the area (Draw() runs after the current
    // message); coordinates are drawing coordinates.
    void Invalidate();
    void Invalidate(BRect rect);
    // Shows what was drawn so far.
    void Sync() const;
    void Flush() const;

    // Input.
    virtual void MakeFocus(bool focus = true);
    bool IsFocus() const;
    // The latest pointer position in view coordinates and the buttons held.
    void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);
    // With B_POINTER_EVENTS the view keeps receiving pointer messages,
    // wherever the pointer goes, until every button is released.
    status_t SetMouseEventMask(uint32 mask, uint32 options = 0);

    // Kit internals for the window and bitmaps.
    // A command key the focus view carries out itself before the menus
    // see it (a text field's cut, copy, paste, select all); true when done.
    virtual bool kit_edit_key(const char*, int32) { return false; }
    void kit_attach(BWindow* window);
    void kit_detach();
    void kit_draw_tree(const kit::pixel_region& update);
    kit::pixel_rect kit_device_frame() const;
    bool kit_is_visible() const;
    BView* kit_view_at(BPoint windowPoint);
    BPoint kit_window_offset() const;
    void kit_pulse_tree();
    bool kit_contains(const BView* view) const;

  private:
    struct draw_state {
        rgb_color high{0, 0, 0, 255};
        rgb_color low{255, 255, 255, 255};
        drawing_mode mode = B_OP_COPY;
        float penSize = 1.0f;
        cap_mode cap = B_BUTT_CAP;
        join_mode join = B_MITER_JOIN;
        float miterLimit = B_DEFAULT_MITER_LIMIT;
        float scale = 1.0f;
        BPoint pen;
        BFont font;
    };

    // The drawing context, and the logical window pixels it may touch.
    bool _Context(kit::paint_context* context, kit::pixel_rect* logical = nullptr) const;
    float _CombinedScale() const;
    void _Drawn(const kit::pixel_rect& changed) const;
    void _ParentResized(float dw, float dh);
    void _InvalidateFrame();

    BRect fFrame;
    BPoint fScroll;
    uint32 fResizingMode;
    uint32 fFlags;
    BView* fParent = nullptr;
    BWindow* fWindow = nullptr;
    std::vector<BView*> fChildren;
    int32 fShowLevel = 0;
    rgb_color fViewColor{255, 255, 255, 255};
    draw_state fState;
    std::vector<draw_state> fStateStack;
};

#endif
