// font_collection: the header and the table directories of a TrueType
// collection ('ttcf', header versions 1 and 2), several faces sharing
// tables in one file. Only the directories are read; the tables stay in
// the file until a face is opened or the collection is written again.
#ifndef TAVREL_FONT_COLLECTION_H
#define TAVREL_FONT_COLLECTION_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BFile;
struct font_image;

struct collection_table {
    uint32_t tag = 0;
    uint32_t checksum = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct collection_face {
    uint32_t diroffset = 0;
    uint32_t sfntversion = 0;
    std::vector<collection_table> tables;
    // The table of this tag, or null.
    const collection_table* find(uint32_t tag) const;
};

class font_collection {
  public:
    // Whether the file starts with the collection tag.
    static bool is_collection(BFile& file);

    // Reads the header and every face's directory, checked against the
    // file: 0, or 1 with error() saying why the file is refused.
    int read(BFile& file);
    const char* error() const { return fError; }

    uint32_t version() const { return fVersion; }
    uint64_t file_size() const { return fFileSize; }
    const std::vector<collection_face>& faces() const { return fFaces; }
    // A version-2 header's signature ('DSIG' and a range of the file), or
    // a length of 0 when there is none.
    uint32_t dsig_tag() const { return fDsigTag; }
    uint32_t dsig_offset() const { return fDsigOffset; }
    uint32_t dsig_length() const { return fDsigLength; }

    // The face's full name from its name table: the Windows Unicode full
    // name, else family and subfamily, else the Macintosh Roman ones, cut
    // at NAME_SHOWN bytes; empty when the face names itself nowhere.
    std::string face_name(BFile& file, size_t face) const;
    // Every face's name, each shared name table read once.
    std::vector<std::string> face_names(BFile& file) const;
    static const size_t NAME_SHOWN = 200;

  private:
    int refuse(const char* why);
    int read_face(BFile& file, uint32_t diroffset);
    int check_layout();

    const char* fError = nullptr;
    uint32_t fVersion = 0;
    uint64_t fFileSize = 0;
    uint32_t fDsigTag = 0, fDsigOffset = 0, fDsigLength = 0;
    std::vector<collection_face> fFaces;
};

// "2 — Example Sans Bold": the face's index and its name, for the question
// that asks which face to open.
std::string face_label(size_t face, const std::string& name);

// The edited face handed to write_collection: its sfnt version and its
// tables in directory order. A table without bytes is the face's table as
// the file holds it (the font left it as loaded); the others bring the
// bytes to write.
struct face_tables {
    struct table {
        uint32_t tag = 0;
        uint32_t length = 0;
        const unsigned char* data = nullptr;
    };
    uint32_t version = 0;
    std::vector<table> tables;
    // The copies the tables' bytes point into, when this owns them.
    std::unique_ptr<unsigned char[]> store;
};

// Every table of a single font's image (font_image.h), pointing into it:
// false when its directory does not fit it.
bool image_tables(const font_image& image, face_tables* out);

// Writes the collection read from `source` to `out`. With no `edited`
// face the file is copied byte for byte. Otherwise face `face` takes the
// tables of `edited`: a table whose bytes are unchanged stays where the
// others that share it are, a changed one is written for this face alone.
// Every face gets fresh offsets, padding, checksums and checkSumAdjustment
// (a head shared by several faces carries the last one's); a version-2
// header's signature is dropped and *droppedsignature set. Returns 0, or 1
// with *why.
int write_collection(BFile& source, const font_collection& collection, size_t face,
                     const face_tables* edited, BFile& out, bool* droppedsignature,
                     std::string* why);

#endif
