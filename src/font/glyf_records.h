// Where a glyph decode finds the records of the glyphs it reads: the font's
// own glyf and loca tables, or a copy of the few records one glyph needs,
// taken so that the glyph can be decoded away from the font.
#ifndef TAVREL_FONT_GLYF_RECORDS_H
#define TAVREL_FONT_GLYF_RECORDS_H

#include "font/bytes.h"

class glyph;

class glyf_records {
  public:
    enum status { missing, found, damaged };

    virtual ~glyf_records() = default;
    // Glyph gi's record in *rec (empty for an empty glyph): `found`;
    // `missing` when the font has no such glyph; `damaged` when its
    // location lies outside the table or cannot be read.
    virtual status record(unsigned gi, byte_span* rec) const = 0;
};

class ttf_glyf;

// The records as a font's own tables hold them (the glyf table's owner's
// glyf, loca, head and maxp).
class glyf_table_records : public glyf_records {
  public:
    explicit glyf_table_records(ttf_glyf& table) : fTable(table) {}
    status record(unsigned gi, byte_span* rec) const override;

  private:
    ttf_glyf& fTable;
};

// Decodes `rec`, the record of glyph g->index (0xFFFF for a record that is
// no glyph of the font), into g, reading its components from `records`;
// as ttf_glyf::decode.
int glyf_decode(const glyf_records& records, const byte_span& rec, glyph* g);

#endif
