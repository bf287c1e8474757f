// collection_file: the collection the open face came from. Its file stays
// open (the other faces are copied from it when the collection is saved,
// even once a save has replaced the file on disk), with its directory and
// the face being edited.
#ifndef TAVREL_APP_COLLECTION_FILE_H
#define TAVREL_APP_COLLECTION_FILE_H

#include "font/collection.h"

#include <File.h>

#include <memory>
#include <string>

struct collection_file {
    BFile source;
    font_collection collection;
    size_t face = 0;
    // No save has written the face from the editor yet: while the face is
    // as opened, saving copies the file byte for byte.
    bool original = true;

    long long diroffset() const { return collection.faces()[face].diroffset; }
};

// Splits "font.ttc#2" into the file and the face; false when `path` does
// not end in '#' and a number.
bool split_face_path(const std::string& path, std::string* file, long* face);

// Reads the collection at `path` and settles the face: `face` when it is
// not -1, the only face of a collection of one, else the user's answer to
// the question listing every face. Returns 0 with *out set, 1 with *why,
// 2 when the user cancelled.
int open_collection(const std::string& path, long face, std::unique_ptr<collection_file>* out,
                    std::string* why);

#endif
