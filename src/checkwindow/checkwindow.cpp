#include "checkwindow/checkwindow.h"

#include "checkwindow/check_messages.h"
#include "checkwindow/findings_view.h"

#include <CheckBox.h>
#include <Font.h>
#include <Message.h>
#include <ScrollBar.h>
#include <View.h>

#include <cmath>

namespace {

const float HEADER = 52, SCROLLBAR = 14;
const char* const SEVERITY_LABELS[3] = {"Errors", "Warnings", "Notes"};

std::string plural(int n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The strip above the list: the counts, and the columns' titles.
class check_header : public BView {
  public:
    explicit check_header(BRect frame)
        : BView(frame, "header", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW) {}

    void set(const std::string& counts) {
        fCounts = counts;
        Invalidate();
    }

    void AttachedToWindow() override { SetViewColor(216, 216, 216); }

    void Draw(BRect) override {
        const BRect b = Bounds();
        SetHighColor(216, 216, 216);
        FillRect(b);
        SetHighColor(0, 0, 0);
        DrawString(fCounts.c_str(), BPoint(6, 18));
        SetHighColor(236, 236, 236);
        FillRect(BRect(b.left, 30, b.right, b.bottom - 1));
        SetHighColor(150, 150, 150);
        StrokeLine(BPoint(b.left, b.bottom), BPoint(b.right, b.bottom));
        SetHighColor(60, 60, 60);
        const struct {
            const char* title;
            float x;
        } columns[] = {{"Severity", 6}, {"Table", 72}, {"Glyph", 122}, {"Message", 176}};
        for (const auto& c : columns)
            DrawString(c.title, BPoint(c.x, 45));
    }

  private:
    std::string fCounts;
};

} // namespace

checkwindow::checkwindow(BRect frame, BMessenger fontwindow, ttf* const* font,
                         const std::string& name)
    : BWindow(frame, ("Check — " + name).c_str(), B_DOCUMENT_WINDOW, 0), fFontWindow(fontwindow),
      fFont(font), fChecker(check_options{true}) {
    const BRect b = Bounds();
    fHeader = new check_header(BRect(0, 0, b.right, HEADER));
    AddChild(fHeader);
    float x = b.right - 4;
    for (int k = 2; k >= 0; k--) {
        BMessage* m = new BMessage(CHECK_FILTER);
        m->AddInt32("severity", k);
        const float w = 90;
        fShow[k] = new BCheckBox(BRect(x - w, 4, x, 24), SEVERITY_LABELS[k], SEVERITY_LABELS[k], m,
                                 B_FOLLOW_RIGHT | B_FOLLOW_TOP);
        fShow[k]->SetValue(1);
        fHeader->AddChild(fShow[k]);
        x -= w + 4;
    }
    fList = new findings_view(BRect(0, HEADER + 1, b.right - SCROLLBAR - 1, b.bottom));
    AddChild(fList);
    fScroll = new BScrollBar(BRect(b.right - SCROLLBAR, HEADER + 1, b.right, b.bottom), "scroll",
                             fList, 0, 0, B_VERTICAL);
    fScroll->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
    AddChild(fScroll);
    fList->set_scroll_bar(fScroll);
    SetSizeLimits(420, 4000, 160, 4000);
    fList->MakeFocus(true);
    refresh();
    // The first check runs once the window's thread runs.
    PostMessage(CHECK_FONT_CHANGED);
}

const std::vector<finding>& checkwindow::shown() const {
    return fList->findings();
}

void checkwindow::follow() {
    BLooper* looper = nullptr;
    fFontWindow.Target(&looper);
    font_update update;
    if (looper && fFontWindow.LockTarget()) {
        update = fFollower.take(*fFont);
        looper->Unlock();
    } else if (fHasFont) {
        update.kind = font_update::NO_FONT;
    }
    if (update.kind == font_update::NONE)
        return;
    fHasFont = update.kind != font_update::NO_FONT;
    font_follower::apply(update, &fChecker);
    fAll = fHasFont ? fChecker.findings() : std::vector<finding>();
    refresh();
}

void checkwindow::refresh() {
    fCounts = {0, 0, 0};
    for (const finding& f : fAll)
        fCounts[(int)f.level]++;
    std::vector<finding> rows;
    for (const finding& f : fAll)
        if (fShow[(int)f.level]->Value())
            rows.push_back(f);
    std::string empty = !fHasFont      ? "No font is open."
                        : fAll.empty() ? "No findings: the font passes every check."
                                       : "The filter hides every finding.";
    static_cast<check_header*>(fHeader)->set(fHasFont ? plural(fCounts[0], "error") + ", " +
                                                            plural(fCounts[1], "warning") + ", " +
                                                            plural(fCounts[2], "note")
                                                      : std::string());
    fList->set_findings(std::move(rows), empty);
}

void checkwindow::show_place(int32 row) {
    const std::vector<finding>& rows = fList->findings();
    if (row < 0 || row >= (int32)rows.size())
        return;
    const finding& f = rows[row];
    BMessage place(CHECK_SHOW_PLACE);
    place.AddInt32("table", (int32)f.table);
    place.AddInt32("glyph", f.glyph);
    place.AddInt32("point", f.point);
    fFontWindow.SendMessage(&place);
}

void checkwindow::MessageReceived(BMessage* message) {
    switch (message->what) {
    case CHECK_FONT_CHANGED:
        follow();
        return;
    case CHECK_FILTER:
        refresh();
        return;
    case CHECK_INVOKE:
        show_place(message->GetInt32("index", -1));
        return;
    case CHECK_RENAME: {
        const char* name = nullptr;
        if (message->FindString("name", &name) == B_OK)
            SetTitle(("Check — " + std::string(name)).c_str());
        return;
    }
    default:
        BWindow::MessageReceived(message);
    }
}

bool checkwindow::QuitRequested() {
    if (fKeepFrame)
        fKeepFrame(Frame());
    return true;
}
