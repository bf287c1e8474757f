// The main window's title: "<file name>[ #<face>][ (variable)] — tavrel"
// with " *" while the font has unsaved changes, "Untitled" for a font
// that has no file yet, and "tavrel" alone when no font is open.
#ifndef TAVREL_APP_WINDOW_TITLE_H
#define TAVREL_APP_WINDOW_TITLE_H

#include <string>

struct title_parts {
    // A font is open or being set up.
    bool font = false;
    // Its file; empty for a new font.
    std::string path;
    // The face shown of a collection, or -1 for a file of one font.
    int face = -1;
    bool variable = false;
    bool changed = false;
};

std::string window_title(const title_parts& parts);

// How windows name the font's file: its name, with " #<face>" for a face
// of a collection (`face` >= 0), "Untitled" when there is no file yet.
std::string font_label(const std::string& path, int face);

#endif
