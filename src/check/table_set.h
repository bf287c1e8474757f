// The tables the checker reads: either parsed from a whole file (with the
// directory as the file has it) or handed over one by one as a save will
// write them. Tables can be replaced one at a time, and single glyph records
// can stand in for their bytes in glyf, so that a re-check after an edit
// needs only the bytes that changed.
#ifndef TAVREL_CHECK_TABLE_SET_H
#define TAVREL_CHECK_TABLE_SET_H

#include "font/bytes.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

using byte_vector = std::vector<unsigned char>;

struct table_copy {
    uint32_t tag = 0;
    byte_vector bytes;
};

// One directory entry and the bytes it names (empty when they are not
// inside the file).
struct table_entry {
    uint32_t tag = 0;
    // As the file's directory says; 0 for tables handed over one by one,
    // whose checksums the save computes.
    uint32_t checksum = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
    byte_span bytes;
};

class table_set {
  public:
    // Reads the directory of a whole file. Entries whose bytes lie outside
    // the file are kept with empty bytes (the directory check says so).
    void load_file(byte_vector file);
    // Tables as a save will write them, in directory order, after the
    // 12-byte header the save writes.
    void load_tables(byte_vector header, std::vector<table_copy> tables);
    void replace(uint32_t tag, byte_vector bytes);

    // The whole file, when the tables came from one.
    byte_span file() const { return fFile ? byte_span(fFile->data(), fFile->size()) : byte_span(); }
    bool from_file() const { return (bool)fFile; }
    // The 12-byte header: version, numTables, searchRange, entrySelector,
    // rangeShift.
    byte_span header() const { return byte_span(fHeader.data(), fHeader.size()); }
    uint32_t version() const { return header().u32(0); }
    // Directory entries in file order (up to what the file holds).
    const std::vector<table_entry>& entries() const { return fEntries; }
    // numTables as the header says (may exceed the entries the file holds).
    unsigned declared_tables() const { return fDeclared; }

    // The first entry of the tag, or null.
    const table_entry* entry(uint32_t tag) const;
    byte_span find(uint32_t tag) const;
    bool has(uint32_t tag) const { return entry(tag) != nullptr; }

    // A glyph's record standing in for its bytes in glyf (after the glyph
    // was stored); null when the glyph has none.
    const byte_vector* glyph_record(unsigned gno) const;
    void set_glyph_record(unsigned gno, byte_vector record);
    void clear_glyph_records() { fGlyphRecords.clear(); }

  private:
    std::shared_ptr<const byte_vector> fFile;
    // The bytes of each entry that does not point into fFile, by index.
    std::vector<std::shared_ptr<const byte_vector>> fOwned;
    std::vector<table_entry> fEntries;
    byte_vector fHeader;
    unsigned fDeclared = 0;
    std::unordered_map<unsigned, byte_vector> fGlyphRecords;
};

#endif
