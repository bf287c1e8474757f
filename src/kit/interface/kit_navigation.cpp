// Keyboard navigation: what a key that no view used does. Tab moves the
// focus through the window's B_NAVIGABLE views in tree order; Enter
// presses the default button.
#include <Button.h>
#include <Control.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include <vector>

namespace {

bool takes_focus(BView* view) {
    if (!(view->Flags() & B_NAVIGABLE) || !view->kit_is_visible())
        return false;
    BControl* control = dynamic_cast<BControl*>(view);
    return !control || control->IsEnabled();
}

void collect(BView* view, std::vector<BView*>* order) {
    order->push_back(view);
    for (int32 i = 0; i < view->CountChildren(); i++)
        collect(view->ChildAt(i), order);
}

BButton* find_default(BView* view) {
    BButton* button = dynamic_cast<BButton*>(view);
    if (button && button->IsDefault() && button->IsEnabled() && button->kit_is_visible())
        return button;
    for (int32 i = 0; i < view->CountChildren(); i++) {
        if (BButton* found = find_default(view->ChildAt(i)))
            return found;
    }
    return nullptr;
}

int32 current_modifiers(BWindow* window) {
    BMessage* message = window->CurrentMessage();
    int32 mods = 0;
    if (message && message->FindInt32("modifiers", &mods) == B_OK)
        return mods;
    return (int32)modifiers();
}

} // namespace

void BView::KeyDown(const char* bytes, int32 numBytes) {
    BWindow* window = Window();
    if (!window || !bytes || numBytes < 1)
        return;
    if (bytes[0] == B_ENTER) {
        if (BButton* button = find_default(window->kit_top_view()))
            button->Invoke();
        return;
    }
    if (bytes[0] != B_TAB)
        return;
    int32 mods = current_modifiers(window);
    if (mods & (B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY))
        return;
    std::vector<BView*> order;
    collect(window->kit_top_view(), &order);
    int32 count = (int32)order.size();
    int32 here = 0;
    for (int32 i = 0; i < count; i++) {
        if (order[i] == this)
            here = i;
    }
    int32 step = (mods & B_SHIFT_KEY) ? -1 : 1;
    for (int32 n = 1; n < count; n++) {
        BView* candidate = order[((here + step * n) % count + count) % count];
        if (takes_focus(candidate)) {
            candidate->MakeFocus(true);
            return;
        }
    }
}
