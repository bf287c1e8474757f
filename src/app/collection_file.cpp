#include "app/collection_file.h"

#include "app/face_chooser.h"

#include <vector>

bool split_face_path(const std::string& path, std::string* file, long* face) {
    const size_t hash = path.rfind('#');
    if (hash == std::string::npos || hash == 0 || hash + 1 >= path.size() ||
        path.size() - hash > 9 ||
        path.find_first_not_of("0123456789", hash + 1) != std::string::npos)
        return false;
    *file = path.substr(0, hash);
    *face = std::stol(path.substr(hash + 1));
    return true;
}

int open_collection(const std::string& path, long face, std::unique_ptr<collection_file>* out,
                    std::string* why) {
    std::unique_ptr<collection_file> c(new collection_file());
    if (c->source.SetTo(path.c_str(), B_READ_ONLY) != B_OK) {
        *why = "the file cannot be read";
        return 1;
    }
    if (c->collection.read(c->source) != 0) {
        *why = c->collection.error();
        return 1;
    }
    const size_t count = c->collection.faces().size();
    if (face < 0 && count == 1)
        face = 0;
    if (face < 0) {
        std::vector<std::string> labels = c->collection.face_names(c->source);
        for (size_t f = 0; f < count; f++)
            labels[f] = face_label(f, labels[f]);
        face = choose_face(path.substr(path.rfind('/') + 1), labels);
        if (face < 0)
            return 2;
    }
    if ((size_t)face >= count) {
        *why = "the collection has no face " + std::to_string(face) + " (it holds " +
               std::to_string(count) + (count == 1 ? " face)" : " faces)");
        return 1;
    }
    c->face = (size_t)face;
    *out = std::move(c);
    return 0;
}
