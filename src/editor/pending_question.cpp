#include "editor/pending_question.h"

#include <Alert.h>
#include <Invoker.h>
#include <View.h>

#include <utility>

bool pending_guard::clear_to_go(BView* canvas, pending_edit* edit, const BMessage& request,
                                const std::string& what) {
    if (held)
        return false;
    if (!edit->has_pending())
        return true;
    held = request;
    std::string text = what + " has edits on the canvas that were not stored with \"set\".\n\n"
                              "Store them into the font first, or discard them?";
    BAlert* ask = new BAlert("tavrel", text.c_str(), "Cancel", "Discard", "Store", B_WIDTH_AS_USUAL,
                             B_WARNING_ALERT);
    ask->SetShortcut(0, B_ESCAPE);
    ask->SetShortcut(1, 'd');
    // The window's thread goes on serving input and drawing meanwhile.
    ask->Go(new BInvoker(new BMessage(PENDING_ANSWER), canvas));
    return false;
}

std::optional<BMessage> pending_guard::answered(const BMessage& answer, pending_edit* edit,
                                                std::string* why) {
    std::optional<BMessage> request = std::move(held);
    held.reset();
    int32 which = answer.GetInt32("which", -1);
    if (!request || (which != PENDING_STORE && which != PENDING_DISCARD))
        return std::nullopt;
    if (which == PENDING_DISCARD)
        edit->discard_pending();
    else if (edit->has_pending() && !edit->store_pending(why))
        return std::nullopt;
    return request;
}
