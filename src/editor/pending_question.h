// The question a drawing editor's canvas asks before another glyph or
// strike replaces edits it holds that were not stored with "set":
// "Cancel", "Discard" or "Store". The request that would replace them is
// held back until the answer comes.
#ifndef TAVREL_EDITOR_PENDING_QUESTION_H
#define TAVREL_EDITOR_PENDING_QUESTION_H

#include "font/pending_edit.h"

#include <Message.h>

#include <optional>
#include <string>

class BView;

// The answer, sent back to the canvas: "which", an int32, one of the
// three below, or -1 when the question was closed without one.
const uint32 PENDING_ANSWER = 'Pans';
const int32 PENDING_CANCEL = 0, PENDING_DISCARD = 1, PENDING_STORE = 2;

class pending_guard {
  public:
    // Whether `request` (a choice of another glyph or strike) may be
    // carried out now: yes when `edit` has nothing pending. Otherwise it
    // is held and the question about `what` ("Glyph 0024") asked without
    // waiting; a request that comes while the question is up is dropped.
    bool clear_to_go(BView* canvas, pending_edit* edit, const BMessage& request,
                     const std::string& what);
    // Takes the answer. "Store" stores the edit first and "Discard" drops
    // it; both give back the held request to carry out. "Cancel" gives
    // nothing, as does a store that failed (with the reason in *why and
    // the edit kept).
    std::optional<BMessage> answered(const BMessage& answer, pending_edit* edit, std::string* why);
    bool asking() const { return held.has_value(); }

  private:
    std::optional<BMessage> held;
};

#endif
