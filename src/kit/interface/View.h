// BView: a rectangle in a window's view tree that draws and takes input.
// This is the view tree and visibility part; drawing and input arrive with
// the rest of the interface kit.
#ifndef _VIEW_H
#define _VIEW_H

#include <SupportDefs.h>
#include <Rect.h>

#include <string>
#include <vector>

class BMessage;
class BWindow;

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

class BView {
public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    virtual ~BView();

    // Hooks, called by the window.
    virtual void AttachedToWindow() {}
    virtual void DetachedFromWindow() {}
    virtual void Draw(BRect updateRect) { (void)updateRect; }
    virtual void MouseDown(BPoint where) { (void)where; }
    virtual void MouseUp(BPoint where) { (void)where; }
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
    {
        (void)where;
        (void)transit;
        (void)dragMessage;
    }
    virtual void KeyDown(const char* bytes, int32 numBytes)
    {
        (void)bytes;
        (void)numBytes;
    }
    virtual void KeyUp(const char* bytes, int32 numBytes)
    {
        (void)bytes;
        (void)numBytes;
    }
    virtual void FrameResized(float newWidth, float newHeight)
    {
        (void)newWidth;
        (void)newHeight;
    }
    virtual void MessageReceived(BMessage* message) { (void)message; }

    // The view tree. A parent does not own a child that was removed;
    // children still attached are deleted with the parent.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const { return (int32)fChildren.size(); }
    BView* ChildAt(int32 index) const;
    BView* Parent() const { return fParent; }
    BWindow* Window() const { return fWindow; }
    const char* Name() const { return fName.c_str(); }

    // Show/Hide nest: a view hidden twice needs two Show() calls.
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;

    BRect Frame() const { return fFrame; }
    BRect Bounds() const;
    uint32 ResizingMode() const { return fResizingMode; }
    uint32 Flags() const { return fFlags; }

private:
    std::string fName;
    BRect fFrame;
    uint32 fResizingMode;
    uint32 fFlags;
    BView* fParent = nullptr;
    BWindow* fWindow = nullptr;
    std::vector<BView*> fChildren;
    int32 fShowLevel = 0;
};

#endif
