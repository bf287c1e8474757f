#include "Alert.h"

#include "kit/display/display.h"
#include "kit_look.h"

#include <Button.h>
#include <Invoker.h>
#include <Message.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace look = kit::look;

namespace kit {
// Where a synchronous Go() waits; shared so that the alert may delete
// itself while the caller wakes.
struct alert_answer {
    std::mutex lock;
    bool answered = false;
    int32 which = -1;
};
} // namespace kit

namespace {
const uint32 kButtonPressed = '_ALB';
const float kStripe = 40;
const float kMargin = 12;
const float kWidth = 320;
const float kButtonHeight = 24;

// Splits `text` into lines no wider than `width`, at spaces and newlines.
std::vector<std::string> wrap(const BFont& font, const std::string& text, float width) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string paragraph = text.substr(start, end == std::string::npos ? end : end - start);
        std::string line;
        size_t i = 0;
        while (i <= paragraph.size()) {
            size_t space = paragraph.find(' ', i);
            std::string word = paragraph.substr(i, space == std::string::npos ? space : space - i);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && font.StringWidth(candidate.c_str()) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            if (space == std::string::npos)
                break;
            i = space + 1;
        }
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// The alert's face: a darker stripe with the type's mark, and the text.
class alert_view : public BView {
  public:
    alert_view(BRect frame, std::vector<std::string> lines, alert_type type)
        : BView(frame, "alert_view", B_FOLLOW_ALL, B_WILL_DRAW), fLines(std::move(lines)),
          fType(type) {
        SetViewColor(look::panel);
    }
    void Draw(BRect) override {
        BRect b = Bounds();
        SetHighColor(184, 184, 184);
        FillRect(BRect(b.left, b.top, b.left + kStripe - 10, b.bottom));
        if (fType != B_EMPTY_ALERT) {
            BRect mark(b.left + 12, b.top + 12, b.left + 43, b.top + 43);
            rgb_color fill = fType == B_STOP_ALERT      ? rgb_color{204, 0, 0, 255}
                             : fType == B_WARNING_ALERT ? rgb_color{255, 204, 0, 255}
                                                        : rgb_color{64, 96, 200, 255};
            SetHighColor(fill);
            FillEllipse(mark);
            SetHighColor(look::dark);
            StrokeEllipse(mark);
            const char* glyph = fType == B_INFO_ALERT ? "i" : fType == B_IDEA_ALERT ? "?" : "!";
            BFont bold(be_bold_font);
            bold.SetSize(18);
            SetFont(&bold);
            SetHighColor(255, 255, 255);
            SetDrawingMode(B_OP_OVER);
            DrawString(glyph, BPoint(std::floor((mark.left + mark.right - StringWidth(glyph)) / 2),
                                     mark.top + 23));
            SetDrawingMode(B_OP_COPY);
        }
        SetFont(be_plain_font);
        font_height fh;
        GetFontHeight(&fh);
        float lineHeight = std::ceil(fh.ascent + fh.descent + fh.leading) + 2;
        float y = b.top + kMargin + std::ceil(fh.ascent);
        SetHighColor(look::text);
        SetDrawingMode(B_OP_OVER);
        for (const std::string& line : fLines) {
            DrawString(line.c_str(), BPoint(b.left + kStripe + 16, y));
            y += lineHeight;
        }
        SetDrawingMode(B_OP_COPY);
    }

  private:
    std::vector<std::string> fLines;
    alert_type fType;
};
} // namespace

BAlert::BAlert(const char* title, const char* text, const char* button0Label,
               const char* button1Label, const char* button2Label, button_width widthStyle,
               alert_type type)
    : BWindow(BRect(0, 0, kWidth - 1, 99), title, B_MODAL_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
      fText(text ? text : ""), fType(type), fAnswer(std::make_shared<kit::alert_answer>()) {
    const char* labels[3] = {button0Label, button1Label, button2Label};
    BFont plain(be_plain_font);
    float textLeft = kStripe + 16;
    std::vector<std::string> lines = wrap(plain, fText, kWidth - textLeft - kMargin);
    font_height fh;
    plain.GetHeight(&fh);
    float lineHeight = std::ceil(fh.ascent + fh.descent + fh.leading) + 2;
    float textHeight = std::max(40.0f, lines.size() * lineHeight);
    float height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;

    // Button widths: usual is at least 75 pixels; widest gives all the
    // widest one's width.
    const BFont* buttonFont = look::control_font();
    float widths[3] = {0, 0, 0};
    float widest = 0;
    for (int32 i = 0; i < 3 && labels[i]; i++) {
        fButtonCount = i + 1;
        widths[i] = std::ceil(buttonFont->StringWidth(labels[i])) + 24;
        if (widthStyle == B_WIDTH_AS_USUAL || widthStyle == B_WIDTH_FIXED)
            widths[i] = std::max(widths[i], 75.0f);
        widest = std::max(widest, widths[i]);
    }
    if (widthStyle == B_WIDTH_FROM_WIDEST) {
        for (int32 i = 0; i < fButtonCount; i++)
            widths[i] = widest;
    }

    BRect bounds(0, 0, kWidth - 1, height - 1);
    ResizeTo(bounds.Width(), bounds.Height());
    // Centred on the screen, a little above the middle.
    BRect screen = kit::display().screen_frame();
    MoveTo(std::floor(screen.left + (screen.Width() - bounds.Width()) / 2),
           std::floor(screen.top + (screen.Height() - bounds.Height()) / 3));

    alert_view* face = new alert_view(bounds, lines, type);
    AddChild(face);
    float right = bounds.right - kMargin;
    float bottom = bounds.bottom - kMargin;
    for (int32 i = fButtonCount - 1; i >= 0; i--) {
        BMessage* message = new BMessage(kButtonPressed);
        message->AddInt32("which", i);
        BRect frame(right - widths[i] + 1, bottom - kButtonHeight + 1, right, bottom);
        fButtons[i] = new BButton(frame, labels[i], labels[i], message);
        face->AddChild(fButtons[i]);
        fButtons[i]->SetTarget(this);
        right = frame.left - 8;
    }
    if (fButtonCount > 0) {
        // The rightmost button is the default and starts with the focus.
        fButtons[fButtonCount - 1]->MakeDefault(true);
        fButtons[fButtonCount - 1]->MakeFocus(true);
    }
}

BAlert::~BAlert() {
    delete fInvoker;
}

BButton* BAlert::ButtonAt(int32 index) const {
    return index >= 0 && index < fButtonCount ? fButtons[index] : nullptr;
}

void BAlert::SetShortcut(int32 index, char key) {
    if (index >= 0 && index < fButtonCount)
        fShortcuts[index] = key;
}

char BAlert::Shortcut(int32 index) const {
    return index >= 0 && index < fButtonCount ? fShortcuts[index] : 0;
}

int32 BAlert::Go() {
    std::shared_ptr<kit::alert_answer> answer = fAnswer;
    Show();
    // On the application's thread the desktop must go on being served,
    // or the alert itself would take no input.
    kit::wait_serving_display([&] {
        std::lock_guard<std::mutex> guard(answer->lock);
        return answer->answered;
    });
    std::lock_guard<std::mutex> guard(answer->lock);
    return answer->which;
}

status_t BAlert::Go(BInvoker* invoker) {
    fInvoker = invoker;
    Show();
    return B_OK;
}

void BAlert::_Answer(int32 which) {
    if (fAnswered)
        return;
    fAnswered = true;
    if (fInvoker && fInvoker->Message()) {
        BMessage copy(*fInvoker->Message());
        copy.AddInt32("which", which);
        fInvoker->Invoke(&copy);
    }
    {
        std::lock_guard<std::mutex> guard(fAnswer->lock);
        fAnswer->which = which;
        fAnswer->answered = true;
    }
    Quit();
}

void BAlert::MessageReceived(BMessage* message) {
    if (message->what == kButtonPressed) {
        _Answer(message->GetInt32("which", -1));
        return;
    }
    BWindow::MessageReceived(message);
}

void BAlert::DispatchMessage(BMessage* message, BHandler* handler) {
    if (message->what == B_KEY_DOWN) {
        const char* bytes = nullptr;
        if (message->FindString("bytes", &bytes) == B_OK && bytes && bytes[0] && !bytes[1]) {
            for (int32 i = 0; i < fButtonCount; i++) {
                if (fShortcuts[i] && fShortcuts[i] == bytes[0] && fButtons[i]->IsEnabled()) {
                    _Answer(i);
                    return;
                }
            }
        }
    }
    BWindow::DispatchMessage(message, handler);
}

bool BAlert::QuitRequested() {
    // The close box answers "no button".
    if (!fAnswered) {
        fAnswered = true;
        {
            std::lock_guard<std::mutex> guard(fAnswer->lock);
            fAnswer->answered = true;
        }
    }
    return true;
}
