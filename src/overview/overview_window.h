// overview_window: the glyph overview, a window of its own with its own
// thread. A bar of controls (order, outlines or a bitmap strike, cell
// size, search) above the cells and their scroll bar. It holds nothing of
// the font between messages: the grid copies what it draws with the font's
// owner locked, and the owner tells it of every change (overview_messages.h).
#ifndef TAVREL_OVERVIEW_OVERVIEW_WINDOW_H
#define TAVREL_OVERVIEW_OVERVIEW_WINDOW_H

#include <Window.h>

#include <string>

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

    static std::string title_for(bool hasfont, const std::string& file);

  private:
    void show_title();
    // The strike menu: "outlines" and one item per strike of the font.
    void list_strikes();
    void remember();

    overview_host* fHost;
    overview_grid* fGrid;
    BScrollBar* fBar;
    BMenuField* fOrder;
    BMenuField* fStrike;
    BSlider* fSize;
    BTextControl* fFind;
    unsigned fToldSelection = 0;
};

#endif
