// preview_window: the text preview, a window of its own with its own
// thread. A text entry and the rendering controls above the sheet, which
// shows the text set at every size of the waterfall. It holds nothing of
// the font itself between messages, only a copy of its bytes: on every
// change the owner reports (preview_messages.h) it copies the tables that
// changed with the owner locked and shapes and renders outside the lock.
#ifndef TAVREL_PREVIEW_PREVIEW_WINDOW_H
#define TAVREL_PREVIEW_PREVIEW_WINDOW_H

#include "font/font_copy.h"
#include "preview/text_setter.h"

#include <Window.h>

#include <string>

class BCheckBox;
class BMenuField;
class BTextControl;
class preview_host;
class preview_sheet;

class preview_window : public BWindow {
  public:
    // The sizes of the waterfall, in pixels per em.
    static const int sizes[12];

    // Shows itself and reads the font once its thread runs.
    explicit preview_window(preview_host* host);

    void MessageReceived(BMessage* message) override;
    // Remembers where the window was.
    bool QuitRequested() override;

    preview_sheet* sheet() const { return fSheet; }
    BTextControl* textfield() const { return fText; }
    BMenuField* hintingfield() const { return fHinting; }
    BCheckBox* antialiasbox() const { return fAntialias; }
    BCheckBox* kernbox() const { return fKern; }
    BCheckBox* ligabox() const { return fLiga; }
    const preview_options& options() const { return fOptions; }

    static std::string title_for(bool hasfont, const std::string& file);

  private:
    // Copies the font with the owner locked and loads the copy; picks a
    // sample text when the entry is empty or still shows the last sample.
    void reload();
    // Sets the entry's text at every size and shows it.
    void set_text();

    preview_host* fHost;
    preview_sheet* fSheet;
    BTextControl* fText;
    BMenuField* fHinting;
    BCheckBox* fAntialias;
    BCheckBox* fKern;
    BCheckBox* fLiga;
    preview_options fOptions;
    text_setter fSetter;
    // The font's bytes as last copied, copied again where they changed.
    font_copy fCopy;
    // Why the font could not be read, shown instead of the text.
    std::string fError;
    std::string fSample;
    bool fReloadPosted = false;
};

#endif
