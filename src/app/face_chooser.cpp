#include "app/face_chooser.h"

#include "kit/display/display.h"

#include <Button.h>
#include <InterfaceDefs.h>
#include <ListItem.h>
#include <ListView.h>
#include <Message.h>
#include <ScrollBar.h>
#include <View.h>
#include <Window.h>

#include <algorithm>
#include <memory>
#include <mutex>

const char* const FACE_CHOOSER_TITLE = "Open a face";

namespace {

const uint32 MSG_FACE_OPEN = 'fcop';
const uint32 MSG_FACE_CANCEL = 'fccn';
const float WIDTH = 380, ROW = 16, MARGIN = 10, BUTTON_W = 80, BUTTON_H = 24;
const int ROWS = 10;

struct answer_box {
    std::mutex lock;
    bool answered = false;
    int face = -1;
};

class face_window : public BWindow {
  public:
    face_window(const std::string& filename, const std::vector<std::string>& labels,
                std::shared_ptr<answer_box> answer)
        : BWindow(BRect(0, 0, WIDTH - 1, 99), FACE_CHOOSER_TITLE, B_MODAL_WINDOW,
                  B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
          fAnswer(std::move(answer)) {
        const int rows = std::min<int>(ROWS, std::max<int>(1, (int)labels.size()));
        const float listh = rows * ROW + 4;
        const float height = MARGIN + ROW + 6 + listh + MARGIN + BUTTON_H + MARGIN;
        ResizeTo(WIDTH - 1, height - 1);
        BRect screen = kit::display().screen_frame();
        MoveTo(screen.left + (screen.Width() - WIDTH) / 2,
               screen.top + (screen.Height() - height) / 3);

        BView* back = new caption_view(Bounds(), "\"" + filename + "\" holds " +
                                                     std::to_string(labels.size()) +
                                                     " faces. Which one should be opened?");
        AddChild(back);
        const bool scrolls = (int)labels.size() > rows;
        const float listright = WIDTH - 1 - MARGIN - (scrolls ? 14 : 0);
        const float top = MARGIN + ROW + 6;
        fList = new BListView(BRect(MARGIN, top, listright, top + listh - 1), "faces");
        for (const std::string& label : labels)
            fList->AddItem(new BStringItem(label.c_str()));
        fList->SetInvocationMessage(new BMessage(MSG_FACE_OPEN));
        back->AddChild(fList);
        if (scrolls) {
            BScrollBar* bar =
                new BScrollBar(BRect(listright + 1, top, WIDTH - 1 - MARGIN, top + listh - 1),
                               "scroll", fList, 0, 0, B_VERTICAL);
            back->AddChild(bar);
            fList->kit_set_scroll_bar(bar);
        }
        const float bottom = height - 1 - MARGIN;
        BButton* open = new BButton(
            BRect(WIDTH - 1 - MARGIN - BUTTON_W, bottom - BUTTON_H + 1, WIDTH - 1 - MARGIN, bottom),
            "open", "Open", new BMessage(MSG_FACE_OPEN));
        BButton* cancel =
            new BButton(BRect(WIDTH - 1 - MARGIN - 2 * BUTTON_W - 8, bottom - BUTTON_H + 1,
                              WIDTH - 1 - MARGIN - BUTTON_W - 8, bottom),
                        "cancel", "Cancel", new BMessage(MSG_FACE_CANCEL));
        back->AddChild(cancel);
        back->AddChild(open);
        open->MakeDefault(true);
        fList->Select(0);
        fList->MakeFocus(true);
    }

    ~face_window() override {
        // A list view does not own its items.
        while (BListItem* item = fList->RemoveItem((int32)0))
            delete item;
    }

    void MessageReceived(BMessage* message) override {
        switch (message->what) {
        case MSG_FACE_OPEN:
            answer(fList->CurrentSelection());
            return;
        case MSG_FACE_CANCEL:
            answer(-1);
            return;
        default:
            BWindow::MessageReceived(message);
        }
    }

    void DispatchMessage(BMessage* message, BHandler* handler) override {
        const char* bytes = nullptr;
        if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK && bytes &&
            bytes[0] == B_ESCAPE && !bytes[1]) {
            answer(-1);
            return;
        }
        BWindow::DispatchMessage(message, handler);
    }

    bool QuitRequested() override {
        set(-1);
        return true;
    }

  private:
    class caption_view : public BView {
      public:
        caption_view(BRect frame, std::string text)
            : BView(frame, "question", B_FOLLOW_ALL, B_WILL_DRAW), fText(std::move(text)) {}
        void AttachedToWindow() override { SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR)); }
        void Draw(BRect) override {
            SetHighColor(0, 0, 0);
            DrawString(fText.c_str(), BPoint(MARGIN, MARGIN + ROW - 4));
        }

      private:
        std::string fText;
    };

    void set(int face) {
        std::lock_guard<std::mutex> guard(fAnswer->lock);
        if (!fAnswer->answered) {
            fAnswer->answered = true;
            fAnswer->face = face;
        }
    }
    void answer(int face) {
        set(face);
        Quit();
    }

    BListView* fList;
    std::shared_ptr<answer_box> fAnswer;
};

} // namespace

int choose_face(const std::string& filename, const std::vector<std::string>& labels) {
    std::shared_ptr<answer_box> answer = std::make_shared<answer_box>();
    (new face_window(filename, labels, answer))->Show();
    kit::wait_serving_display([&] {
        std::lock_guard<std::mutex> guard(answer->lock);
        return answer->answered;
    });
    std::lock_guard<std::mutex> guard(answer->lock);
    return answer->face;
}
