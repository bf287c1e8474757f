#include "control_test_support.h"

#include <ListView.h>
#include <ScrollBar.h>

#include <gtest/gtest.h>

using namespace kit_testing;

namespace {

BListView* name_list(control_window& w, BRect frame, int count) {
    BListView* list =
        new BListView(frame, "name-list", B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                      B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    list->SetSelectionMessage(new BMessage('Nsel'));
    w.add(list);
    locked(w.window, [&] {
        list->SetHighColor(0, 0, 0);
        list->SetLowColor(222, 222, 222);
        list->SetViewColor(222, 222, 222);
        for (int i = 0; i < count; i++)
            list->AddItem(new BStringItem(("0003-0001-0409-000" + std::to_string(i)).c_str()));
    });
    return list;
}

void delete_items(control_window& w, BListView* list) {
    locked(w.window, [&] {
        while (!list->IsEmpty())
            delete list->RemoveItem((int32)0);
    });
}

} // namespace

TEST(ListView, AClickReportsTheIndexAndAClickBelowTheItemsReportsMinusOne) {
    control_window w;
    BListView* list = name_list(w, BRect(20, 20, 300, 200), 4);
    BRect second;
    locked(w.window, [&] { second = list->ItemFrame(2); });
    w.click(BPoint(60, 20 + (second.top + second.bottom) / 2));
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Nsel');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].GetInt32("index", -99), 2);
    EXPECT_EQ(source_of(sent[0]), list);
    // The selected row is painted in the selection colour.
    EXPECT_EQ(rgb(w.window, 250, 20 + (int)second.top + 2), 0xA8C0F0u);

    w.click(BPoint(60, 190)); // below the last item
    ASSERT_TRUE(w.idle());
    sent = w.messages('Nsel');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].GetInt32("index", -99), -1);
    int32 selection = 0;
    locked(w.window, [&] { selection = list->CurrentSelection(); });
    EXPECT_EQ(selection, -1);
    screenshot(w.window, "list_view");
    delete_items(w, list);
}

TEST(ListView, DeselectAllAndSelectReportButRepeatingTheSameSelectionDoesNot) {
    control_window w;
    BListView* list = name_list(w, BRect(20, 20, 300, 200), 3);
    locked(w.window, [&] {
        list->Select(1);
        list->Select(1);
        list->DeselectAll();
        list->DeselectAll();
        list->Select(7); // out of range: ignored
    });
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Nsel');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].GetInt32("index", -99), 1);
    EXPECT_EQ(sent[1].GetInt32("index", -99), -1);
    delete_items(w, list);
}

TEST(ListView, ArrowKeysMoveTheSelectionAndScrollItIntoView) {
    control_window w;
    BListView* list = name_list(w, BRect(20, 20, 300, 80), 20); // room for few rows
    locked(w.window, [&] { list->MakeFocus(true); });
    w.key(B_DOWN_ARROW); // nothing selected: the first
    for (int i = 0; i < 15; i++)
        w.key(B_DOWN_ARROW);
    ASSERT_TRUE(w.idle());
    int32 selection = -1;
    BRect bounds, frame;
    locked(w.window, [&] {
        selection = list->CurrentSelection();
        bounds = list->Bounds();
        frame = list->ItemFrame(selection);
    });
    EXPECT_EQ(selection, 15);
    EXPECT_GT(bounds.top, 0) << "the list scrolled";
    EXPECT_TRUE(bounds.Contains(frame.LeftTop()) && bounds.Contains(frame.RightBottom()));

    w.key(B_UP_ARROW);
    w.key(B_HOME);
    ASSERT_TRUE(w.idle());
    locked(w.window, [&] {
        selection = list->CurrentSelection();
        bounds = list->Bounds();
    });
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(w.messages('Nsel').size(), 18u);
    delete_items(w, list);
}

TEST(ListView, RemovingTheSelectedItemClearsTheSelectionAndMakeEmptyKeepsItems) {
    control_window w;
    BListView* list = name_list(w, BRect(20, 20, 300, 200), 3);
    BListItem* first = nullptr;
    locked(w.window, [&] {
        list->Select(2);
        BListItem* removed = list->RemoveItem((int32)0);
        removed->Deselect();
        delete removed;
    });
    locked(w.window, [&] {
        EXPECT_EQ(list->CurrentSelection(), 1) << "the selection follows its item";
        first = list->ItemAt(0);
        delete list->RemoveItem(1);
        EXPECT_EQ(list->CurrentSelection(), -1);
        EXPECT_EQ(list->CountItems(), 1);
    });
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Nsel');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].GetInt32("index", -99), -1);
    locked(w.window, [&] {
        list->MakeEmpty();
        EXPECT_EQ(list->CountItems(), 0);
    });
    delete first;
}

TEST(ScrollBar, ArrowsStepTrackPagesAndDraggingTheThumbScrollsTheTarget) {
    control_window w(399, 299);
    BView* target = new BView(BRect(0, 0, 299, 199), "target", B_FOLLOW_NONE, B_WILL_DRAW);
    BScrollBar* bar = nullptr;
    locked(w.window, [&] {
        w.log->AddChild(target);
        bar = new BScrollBar(BRect(300, 0, 314, 199), "scrollv", target, 0, 0, B_VERTICAL);
        w.log->AddChild(bar);
        // Data 512 high in a view 200 high.
        bar->SetRange(0, 512 - 200 - 1);
        bar->SetProportion(200.0f / 512);
        bar->SetSteps(5, 199);
    });
    w.click(BPoint(307, 195)); // the down arrow
    ASSERT_TRUE(w.idle());
    auto scroll = [&] {
        float y = -1;
        locked(w.window, [&] { y = target->Bounds().top; });
        return y;
    };
    EXPECT_EQ(scroll(), 5);
    w.click(BPoint(307, 170)); // the track below the thumb: one page
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(scroll(), 204);
    w.click(BPoint(307, 170));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(scroll(), 311) << "kept inside the range";
    w.click(BPoint(307, 4)); // up arrow
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(scroll(), 306);

    // Drag the thumb to the top: the value follows the pointer.
    float value = 0;
    locked(w.window, [&] { bar->SetValue(100); });
    ASSERT_TRUE(w.idle());
    // Find the thumb by its grey face between the arrows.
    int thumbY = -1;
    for (int y = 16; y < 184; y++) {
        if (rgb(w.window, 307, y) == 0xD8D8D8u) {
            thumbY = y + 3;
            break;
        }
    }
    ASSERT_GT(thumbY, 0);
    screen().mouse_down(w.window, BPoint(307, thumbY));
    screen().mouse_move(w.window, BPoint(307, thumbY - 200), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_up(w.window, BPoint(307, thumbY - 200));
    ASSERT_TRUE(w.idle());
    locked(w.window, [&] { value = bar->Value(); });
    EXPECT_EQ(value, 0);
    EXPECT_EQ(scroll(), 0);
    screenshot(w.window, "scroll_bar");
}

TEST(ScrollBar, AnEmptyRangeIgnoresClicksAndSetRangeClampsTheValue) {
    control_window w(399, 299);
    BView* target = new BView(BRect(0, 0, 299, 199), "target", B_FOLLOW_NONE, B_WILL_DRAW);
    BScrollBar* bar = nullptr;
    locked(w.window, [&] {
        w.log->AddChild(target);
        bar = new BScrollBar(BRect(0, 200, 299, 214), "scrollh", target, 0, 0, B_HORIZONTAL);
        w.log->AddChild(bar);
    });
    w.click(BPoint(295, 207));
    ASSERT_TRUE(w.idle());
    locked(w.window, [&] {
        EXPECT_EQ(bar->Value(), 0);
        bar->SetRange(0, 100);
        bar->SetValue(80);
        EXPECT_EQ(target->Bounds().left, 80);
        bar->SetRange(0, 50);
        EXPECT_EQ(bar->Value(), 50);
        EXPECT_EQ(target->Bounds().left, 50);
        bar->SetValue(-20);
        EXPECT_EQ(bar->Value(), 0);
    });
}
