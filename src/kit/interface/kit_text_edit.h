// The editing state of a one-line text field: the UTF-8 text, the caret
// and the selection, all as byte offsets that always sit on character
// boundaries.
#ifndef KIT_INTERFACE_KIT_TEXT_EDIT_H
#define KIT_INTERFACE_KIT_TEXT_EDIT_H

#include <SupportDefs.h>

#include <string>

namespace kit {

class text_edit {
  public:
    const std::string& text() const { return fText; }
    // Replaces the whole text and puts the caret at its end.
    void set_text(const std::string& text);

    int32 caret() const { return fCaret; }
    int32 anchor() const { return fAnchor; }
    bool has_selection() const { return fCaret != fAnchor; }
    int32 selection_start() const { return fCaret < fAnchor ? fCaret : fAnchor; }
    int32 selection_end() const { return fCaret < fAnchor ? fAnchor : fCaret; }
    std::string selected_text() const;

    // Moves the caret; with `extend` the selection grows from the anchor.
    void move_to(int32 offset, bool extend);
    void move_left(bool extend);
    void move_right(bool extend);
    void select_all();

    // Each returns true when the text changed.
    bool insert(const std::string& bytes);
    bool backspace();
    bool delete_forward();
    bool delete_selection();

    // The character boundary at or before `offset`.
    int32 boundary(int32 offset) const;

  private:
    int32 _Previous(int32 offset) const;
    int32 _Next(int32 offset) const;

    std::string fText;
    int32 fCaret = 0;
    int32 fAnchor = 0;
};

} // namespace kit

#endif
