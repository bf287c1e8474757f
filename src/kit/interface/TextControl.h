// BTextControl: a label and a one-line editable text. Enter commits the
// text by sending the control's message (as does leaving a changed text
// by moving the focus away). Typing, the caret, the selection, and copy
// and paste through the desktop clipboard work as in any text field.
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include <Control.h>

#include "kit/interface/kit_text_edit.h"

#include <Font.h>

#include <string>
#include <unordered_map>
#include <vector>

class BTextControl : public BControl {
  public:
    BTextControl(BRect frame, const char* name, const char* label, const char* text,
                 BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                 uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BTextControl() override;

    void SetText(const char* text);
    const char* Text() const { return fEdit.text().c_str(); }

    // Whether the user changed the text since it was last set or
    // committed: typed text the control's message has not carried yet.
    bool kit_modified() const { return fModified; }
    // Gives up such a change: back to the text last set or committed.
    void kit_revert();

    // Sent (with "source" and "when") after every change the user makes.
    void SetModificationMessage(BMessage* message);
    BMessage* ModificationMessage() const { return fModificationMessage; }

    // The x coordinate where the label ends and the text field begins.
    void SetDivider(float position);
    float Divider() const { return fDivider; }

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    // B_CUT, B_COPY, B_PASTE and B_SELECT_ALL act on the text.
    void MessageReceived(BMessage* message) override;
    bool kit_edit_key(const char* bytes, int32 modifiers) override;
    void MakeFocus(bool focus = true) override;

  private:
    BRect _Field() const;
    BRect _TextArea() const;
    std::vector<float> _Offsets() const;
    int32 _OffsetAt(float x) const;
    void _ScrollToCaret();
    void _Changed();
    void _Commit();
    bool _Shortcut(const char* bytes, int32 modifiers);
    // Cut, copy, paste or select all on the text; false for other commands.
    bool _Edit(uint32 what);

    kit::text_edit fEdit;
    float fDivider;
    float fScroll = 0;
    bool fModified = false;
    std::string fCommitted;
    bool fSelecting = false;
    bool fFocused = false;
    BMessage* fModificationMessage = nullptr;
    // The advance of every character met so far, in the font it was
    // measured in. Text is drawn without kerning, so a prefix is as wide
    // as its characters together, and a long text (a licence of several
    // thousand characters) is laid out in one pass.
    mutable BFont fAdvanceFont;
    mutable std::unordered_map<std::string, float> fAdvances;
};

#endif
