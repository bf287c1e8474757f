// BBitmap: an image in memory. B_RGB32 bitmaps may accept views: views
// added to the bitmap draw into its pixels (lock the bitmap around the
// drawing, as with a window).
#ifndef _BITMAP_H
#define _BITMAP_H

#include <GraphicsDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <vector>

class BView;
class BWindow;

enum {
    B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
    B_BITMAP_CLEAR_TO_WHITE = 0x00000004,
};

class BBitmap {
  public:
    // Only B_RGB32 is supported; another colour space leaves the bitmap
    // invalid (InitCheck() fails, Bits() is null).
    BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
            bool needsContiguous = false);
    BBitmap(BRect bounds, uint32 flags, color_space space);
    virtual ~BBitmap();

    status_t InitCheck() const { return fStatus; }
    bool IsValid() const { return fStatus == B_OK; }
    BRect Bounds() const { return fBounds; }
    color_space ColorSpace() const { return fSpace; }
    // Pixels: rows of 32-bit words, blue in the lowest byte, then green,
    // red and an unused byte.
    void* Bits() const { return fBits.empty() ? nullptr : (void*)fBits.data(); }
    int32 BitsLength() const { return (int32)(fBits.size() * 4); }
    int32 BytesPerRow() const { return fWidth * 4; }

    // Views that draw into the bitmap.
    void AddChild(BView* view);
    bool RemoveChild(BView* view);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    bool Lock();
    void Unlock();
    bool IsLocked() const;

  private:
    void _Init(BRect bounds, color_space space, bool acceptsViews, bool clearToWhite);

    BRect fBounds;
    color_space fSpace;
    status_t fStatus = B_NO_INIT;
    int32 fWidth = 0;
    int32 fHeight = 0;
    std::vector<uint32> fBits;
    BWindow* fWindow = nullptr;
};

#endif
