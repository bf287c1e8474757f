// The question which face of a collection to open: a small window listing
// "N — name" for every face, with "Cancel" and "Open".
#ifndef TAVREL_APP_FACE_CHOOSER_H
#define TAVREL_APP_FACE_CHOOSER_H

#include <string>
#include <vector>

// The window's title, for a test or a user to find it by.
extern const char* const FACE_CHOOSER_TITLE;

// Shows the question about the collection `filename` and waits for the
// answer, serving the display meanwhile (call it on the application's
// thread): the chosen face, or -1 for "Cancel", Escape or the close box.
int choose_face(const std::string& filename, const std::vector<std::string>& labels);

#endif
