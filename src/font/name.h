// ttf_name: the naming table, read and rebuilt in place.
//
// Layout (big-endian):
//   0  u16 format (0, or 1 with language-tag records)
//   2  u16 count of name records
//   4  u16 stringOffset: start of the string storage
//   6 + 12i  name record i: u16 platformID, encodingID, languageID, nameID,
//            length, offset (from stringOffset)
//   format 1 only, after the records: u16 langTagCount, then per tag
//            u16 length, u16 offset
//
// Records are kept in ascending key order, the key being the four IDs taken
// as one 64-bit number. Every change rebuilds the whole table: format 0 (or 1
// when the table had language tags), strings in record order without gaps
// or sharing, stringOffset right after the records.
#ifndef TAVREL_FONT_NAME_H
#define TAVREL_FONT_NAME_H

#include "font/ttf_table.h"

class ttf_name : public ttf_table {
  public:
    // With null data (a new font) the table gets the default names.
    ttf_name(ttf* owner, unsigned char* data, unsigned long length);

    // The number of records; a table cut short counts only the records
    // that lie wholly inside it.
    int count();

    // The four IDs and the string of record `index` in UTF-8. On entry
    // *length is the capacity of `text`; on return the number of bytes
    // written, at most capacity - 1, with `text` NUL-terminated. A string
    // that does not fit is cut at a character boundary. A record whose
    // string lies outside the string storage reads as empty. Returns 1,
    // leaving the outputs untouched, when index is out of range.
    int get_field(int index, unsigned short* platformID, unsigned short* encodingID,
                  unsigned short* languageID, unsigned short* nameID, long* length, char* text);

    // With text (UTF-8, NUL-terminated): adds the record or replaces the
    // one with the same key. With null text: deletes the record with that
    // key. Returns 0, or 1 (table unchanged) when the result would not fit
    // the table's 16-bit lengths and offsets or memory ran out.
    int set_field(unsigned short platformID, unsigned short encodingID, unsigned short languageID,
                  unsigned short nameID, const char* text);

    // The default names of a new font: name IDs 0-6 for Macintosh Roman
    // (1, 0, 0) and Windows Unicode English (3, 1, 0x409).
    void create_default();
};

// The text conversion a record's string uses: B_UNICODE_CONVERSION for
// (0, 0, 0) and (3, 1, any), B_SJIS_CONVERSION for (1, 1, 11), -1 for raw
// bytes.
int name_encoding(unsigned short platformID, unsigned short encodingID, unsigned short languageID);

#endif
