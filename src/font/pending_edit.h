// pending_edit: an edit a view holds that is not in the font yet: glyph
// or bitmap edits on an editor's canvas not stored with "set", or text
// typed into a table editor's field and not entered. The main window asks
// every view that has one before the font or the canvas's glyph goes
// (quitting, opening, a new font, another glyph), and marks its title
// while any exists.
#ifndef TAVREL_FONT_PENDING_EDIT_H
#define TAVREL_FONT_PENDING_EDIT_H

#include <string>
#include <vector>

class BView;

// Call every operation in the window's thread or with the window locked.
class pending_edit {
  public:
    virtual bool has_pending() const = 0;
    // What is pending, in a few words for a question: "glyph 0024 on the
    // outline canvas".
    virtual std::string pending_text() const = 0;
    // Puts the edit into the font as the view's own store does. False,
    // with the reason in *why and the edit kept, when it cannot.
    virtual bool store_pending(std::string* why) = 0;
    // Drops the edit: the view shows what the font holds.
    virtual void discard_pending() = 0;

  protected:
    ~pending_edit() = default;
};

// The views under `root` (itself included) that hold pending edits, in
// the order of the view tree.
std::vector<pending_edit*> pending_edits(BView* root);

// Their texts joined into one line ("a; b; c"); empty when there are none.
std::string pending_summary(const std::vector<pending_edit*>& edits);

#endif
