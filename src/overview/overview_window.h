// overview_window: the glyph overview, a window of its own with its own
// thread. A bar of controls (order, outlines or a bitmap strike, cell
// size, search) above the cells and their scroll bar, and a notice line
// below them. Alt+C copies the selected glyphs, Alt+V pastes onto them. It holds nothing of
// the font between messages: the grid copies what it draws with the font's
// owner locked, and the owner tells it of every change (overview_messages.h).
#ifndef TAVREL_OVERVIEW_OVERVIEW_WINDOW_H
#define TAVREL_OVERVIEW_OVERVIEW_WINDOW_H

#include <Window.h>

#include <string>
#include <vector>

class BMenuField;
class BScrollBar;
class BSlider;
class BTextControl;
class overview_grid;
class overview_host;

class overview_window : public BWindow {
  public:
    // Takes its size and cell size from the host's settings; shows itself
    // and reads the font once its thread runs.
    explicit overview_window(overview_host* host);

    void MessageReceived(BMessage* message) override;
    // Tells the host of the selection after any message that changed it.
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    // Remembers the window's size and the cell size; closing loses nothing.
    bool QuitRequested() override;

    overview_grid* grid() const { return fGrid; }
    BMenuField* orderfield() const { return fOrder; }
    BMenuField* strikefield() const { return fStrike; }
    BSlider* sizeslider() const { return fSize; }
    BTextControl* findfield() const { return fFind; }
    // The notice line's text: what came of the last copy or paste.
    std::string notice() const;

    static std::string title_for(bool hasfont, const std::string& file);

  private:
    void show_title();
    // The strike menu: "outlines" and one item per strike of the font.
    void list_strikes();
    void remember();
    // The clipboard (overview_clipboard.cpp). Copy takes the selected
    // glyphs from the font, read with its owner locked; paste hands the
    // clipboard's glyphs and the selection to the host, after asking when
    // their counts differ.
    void copy_selection();
    void paste_onto_selection();
    void answer_paste(BMessage* message);
    void show_notice(const std::string& text);

    overview_host* fHost;
    overview_grid* fGrid;
    BScrollBar* fBar;
    BMenuField* fOrder;
    BMenuField* fStrike;
    BSlider* fSize;
    BTextControl* fFind;
    BView* fNotice;
    // A paste waiting for the user's answer: its data and glyphs.
    std::string fHeldClips;
    std::vector<unsigned> fHeldOnto;
    uint64_t fHeldFont = 0;
    unsigned fToldSelection = 0;
};

#endif
