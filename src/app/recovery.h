// recovery: copies of a font's unsaved changes kept on disk, so that a
// program that does not end normally (a crash, a kill, a power cut) loses
// at most the changes of the last half minute.
//
// The copies live in the user's state folder, $XDG_STATE_HOME/tavrel/
// (~/.local/state/tavrel/ by default). A program that keeps one owns a
// session there, named by a random id:
//   <id>.lock  locked by the program for as long as it runs. The kernel
//              lets go of the lock when the process ends, however it ends:
//              a copy whose lock is free was left by a program that is
//              gone; one whose lock is held belongs to a running program
//              and is never offered to another.
//   <id>.info  which file the changes belong to: the line
//              "tavrel recovery 1", then "original <n>" and the path's n
//              bytes on a line of their own (n = 0 for a new font never
//              saved). Taken only as a whole; anything else is foreign.
//   <id>.ttf   the font's bytes as a TrueType file (font_image: the font
//              as it stands, nothing recomputed); its whole-file checksum
//              tells a damaged copy from a good one.
// Both files are written through atomic_file, the info before the font,
// and only once the lock is held.
#ifndef TAVREL_APP_RECOVERY_H
#define TAVREL_APP_RECOVERY_H

#include <File.h>
#include <SupportDefs.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class recovery_writer;
class ttf;

class recovery {
  public:
    // Keeps its copies in `folder` (made when first needed); an empty
    // folder keeps none.
    explicit recovery(const std::string& folder);
    // Stops the writer, leaving the files: a program that is killed
    // leaves them in the same way. end() removes them.
    ~recovery();
    recovery(const recovery&) = delete;
    recovery& operator=(const recovery&) = delete;

    // $XDG_STATE_HOME/tavrel, else $HOME/.local/state/tavrel; empty when
    // neither names an absolute folder.
    static std::string default_folder();
    const std::string& folder() const { return fFolder; }

    // Call often (each pulse) on the window's thread with the window
    // locked: while the font's history says it has unsaved changes, a
    // copy of its bytes is handed to the writer's thread, at most once per
    // `interval`; once it has none, the copy is removed. `original` is the
    // file the font belongs to (empty for a new font).
    void pulse(ttf* font, const std::string& original);
    // The program ends normally: waits for the writer and removes this
    // session's files.
    void end();

    bigtime_t interval = 30000000;

    // A copy left by a program that is no longer running, held (locked) by
    // this one until it is recovered, discarded or let go.
    struct left {
        std::string id;
        std::string original;
        std::string fontpath;
        std::shared_ptr<BFile> lock;
    };
    // The copies in the folder that may be offered: their program is gone,
    // the info is whole and the font copy's checksum holds. Others are
    // left alone.
    std::vector<left> left_copies();
    // Removes a left copy's files.
    void discard(left& copy);
    // This program's copies go on in the left copy's session (its files
    // stay until this program has saved or discarded the changes).
    void adopt(left copy);

  private:
    std::string fFolder;
    recovery_writer* fWriter = nullptr;
    // What the last copy handed over was taken from.
    bool fKept = false;
    const ttf* fFont = nullptr;
    uint64_t fState = 0;
    std::string fOriginal;
    bigtime_t fLast = 0;
};

#endif
