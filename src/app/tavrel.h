// tavrel: the application object. It owns the main window and the one
// open font: it opens files (open panel, drop, launch), starts new fonts,
// saves, shows the About box and quits.
#ifndef TAVREL_APP_TAVREL_H
#define TAVREL_APP_TAVREL_H

#include <Application.h>
#include <Messenger.h>

#include "app/recovery.h"
#include "app/settings.h"

#include <exception>
#include <memory>
#include <string>

class window_link;
class tavrelwindow;
struct collection_file;
class tavrelview;
class BFile;
struct entry_ref;

class tavrel : public BApplication {
  public:
    tavrel();
    ~tavrel() override;

    // Catches what a handler lets through (memory running out, above all):
    // the action is reported as not done and the program goes on.
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;
    void RefsReceived(BMessage* message) override;
    void AboutRequested() override;
    // Offers the copies of unsaved changes that programs which did not
    // end normally left behind (recovery.h): "Recover" opens one as
    // unsaved changes of its file, "Discard" removes it.
    void ReadyToRun() override;
    bool QuitRequested() override;

    // "New": an empty container and the set-up view.
    void start();
    // Builds the new font's tables from the set-up record and shows it.
    void start2();
    // Opens a file. The open font is given up only when the new one has
    // loaded; a file that does not load is reported and changes nothing.
    // A changed font is given up only when the user agrees (mayclose).
    // Returns 0 on success, 1 on failure (with the reason in *why), 2 when
    // the user chose to keep the open font.
    int load(entry_ref& ref, std::string* why = nullptr);
    // Writes the current font as `name` in `directory`: into a new file
    // beside it that replaces the target only when completely written.
    // A face of a collection is written back into the whole collection,
    // or with `whole` false as a font of its own (which it then is).
    // Returns 0 on success, 1 on failure (reported to the user).
    int save(entry_ref& directory, const char* name, bool whole = true);
    // "Save": writes the font over the file it came from (or was last
    // saved as); a font that has none asks for one with the save panel.
    // Returns 0 when it saved.
    int saveinplace();
    // The file the current font came from or was last saved as; empty for
    // a new font not saved yet.
    const std::string& filepath() const { return fFilePath; }
    // Tears the current document down.
    void clear();
    // Whether the current font may be given up: true when it has no
    // unsaved changes or the user answers "Don't save", or "Save" and the
    // font was saved. "Cancel" (or Escape) keeps everything and gives
    // false; so does "Save" for a font with no file yet, which opens the
    // save panel instead. Waits for the answer: call on this thread only.
    bool mayclose();

    // A font has been handed to the views and may be saved.
    bool fontshown() const { return announced; }

    tavrelwindow* window;

  private:
    void cut_short(uint32 what, const std::exception& e);
    // Locks the main window; false when it has gone.
    bool lockwindow();
    void announce();
    void droprefs(BMessage* message);
    void forgetpanel();
    // Starts the current font's history; `saved` when it is what a file
    // holds.
    void starthistory(bool saved);
    // Reads `file` into a new font and shows it in place of the open one
    // (which is given up only if the user agrees), as the font of `path`;
    // `saved` when the file is what `path` holds. As load().
    // A face of a collection comes with the collection it is read from.
    int readfont(BFile& file, const std::string& path, bool saved, std::string* why,
                 std::unique_ptr<collection_file> collection = nullptr);
    // "Save as" of a collection's face: the whole collection, the face
    // alone, or nothing, as the user answers.
    void saveas(entry_ref& directory, const char* name);
    // The file the font belongs to, here and for the window.
    void setpath(const std::string& path);
    // Puts `path` first among the recent files when `loaded` is 0 (a
    // font read or written); returns `loaded`.
    int remember(const std::string& path, int loaded);

    // The work view outlives the window (its children are the font's
    // views); kept here so the font can be taken off it at exit.
    tavrelview* workview;
    BMessenger windowlink;
    bool announced = false;
    std::string fFilePath;
    // The collection the open face belongs to, else null.
    std::unique_ptr<collection_file> fCollection;
    recovery fRecovery;
    // The text preview's link to the main window.
    window_link* fPreview = nullptr;
    // Kept between runs (window sizes); the glyph overview's link.
    settings fSettings;
    window_link* fOverview = nullptr;
};

#endif
