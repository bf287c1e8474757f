#include "font/pending_edit.h"

#include <View.h>

namespace {

void collect(BView* view, std::vector<pending_edit*>* found) {
    if (pending_edit* edit = dynamic_cast<pending_edit*>(view))
        if (edit->has_pending())
            found->push_back(edit);
    for (int32 i = 0; i < view->CountChildren(); i++)
        collect(view->ChildAt(i), found);
}

} // namespace

std::vector<pending_edit*> pending_edits(BView* root) {
    std::vector<pending_edit*> found;
    if (root)
        collect(root, &found);
    return found;
}

std::string pending_summary(const std::vector<pending_edit*>& edits) {
    std::string text;
    for (pending_edit* edit : edits)
        text += (text.empty() ? "" : "; ") + edit->pending_text();
    return text;
}
