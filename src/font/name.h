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

#include <cstdint>
#include <string>

class BListView;
class BTextControl;

// set_field's refusals besides 1: a character the record's encoding cannot
// hold (named through `refused`: its code point, or NAME_NOT_UTF8 for text
// that is not UTF-8), and text for a record kept as bytes that is not
// hexadecimal byte pairs.
const int NAME_UNENCODABLE = 2;
const int NAME_NOT_HEX = 3;
const uint32_t NAME_NOT_UTF8 = 0xFFFFFFFF;

class ttf_name : public ttf_table {
  public:
    // With null data (a new font) the table gets the default names.
    ttf_name(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_name() override;

    // The number of records; a table cut short counts only the records
    // that lie wholly inside it.
    int count();

    // The four IDs and the string of record `index` in UTF-8 (a record in
    // an encoding name_encoding does not convert as its bytes in
    // hexadecimal pairs, "4e 61 6d 65"). On entry
    // *length is the capacity of `text`; on return the number of bytes
    // written, at most capacity - 1, with `text` NUL-terminated. A string
    // that does not fit is cut at a character boundary. A record whose
    // string lies outside the string storage reads as empty. Returns 1,
    // leaving the outputs untouched, when index is out of range.
    int get_field(int index, unsigned short* platformID, unsigned short* encodingID,
                  unsigned short* languageID, unsigned short* nameID, long* length, char* text);

    // The capacity of `text` with which get_field returns the string of
    // record `index` whole; 0 when index is out of range.
    long text_capacity(int index);

    // With text (UTF-8, NUL-terminated; hexadecimal byte pairs for a record
    // kept as bytes): adds the record or replaces the one with the same
    // key. With null text: deletes the record with that key. Returns 0, or
    // (table unchanged) 1 when the result would not fit the table's 16-bit
    // lengths and offsets or memory ran out, NAME_UNENCODABLE or
    // NAME_NOT_HEX.
    int set_field(unsigned short platformID, unsigned short encodingID, unsigned short languageID,
                  unsigned short nameID, const char* text, uint32_t* refused = nullptr);

    // The default names of a new font: name IDs 0-6 for Macintosh Roman
    // (1, 0, 0) and Windows Unicode English (3, 1, 0x409).
    void create_default();

    // The editor (name_view.cpp): the record list, the "add", "del" and
    // "set" buttons, the four ID fields and the "DATA" field.
    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    // Refills the list from the bytes as they are now.
    void refresh() override;
    // Refills the list from the table, one line per record.
    void redraw();

    // The controls, made when the view is first attached.
    BListView* list = nullptr;
    BTextControl* pid = nullptr;
    BTextControl* eid = nullptr;
    BTextControl* lid = nullptr;
    BTextControl* nid = nullptr;
    BTextControl* datatext = nullptr;

  private:
    // Selects the record with these IDs, if there is one.
    void select_record(const unsigned short ids[4]);
    void fill_fields(int index);
    void store_fields();
    void delete_selected();

    // The text of the record last selected, and what "DATA" shows of it:
    // the field keeps no control characters but line breaks (shown as a
    // sign), so an unchanged text is stored as the record had it.
    std::string fShownText;
    std::string fRecordText;
};

// The text conversion a record's string uses: B_UNICODE_CONVERSION (UTF-16
// big-endian) for platform 0 and Windows' (3, 0), (3, 1) and (3, 10);
// B_SJIS_CONVERSION for (3, 2) and (1, 1); B_MAC_ROMAN_CONVERSION for
// (1, 0) but in the languages that have Macintosh encodings of their own;
// -1 for the rest, kept as bytes.
int name_encoding(unsigned short platformID, unsigned short encodingID, unsigned short languageID);

// Whether a UTF-16 record may hold characters past U+FFFF (as surrogate
// pairs): platform 0 from encoding 4 on, and (3, 10).
bool name_allows_surrogates(unsigned short platformID, unsigned short encodingID);

// The encoding's name for the user: "Macintosh Roman", "Shift-JIS", ...
const char* name_encoding_label(unsigned short platformID, unsigned short encodingID,
                                unsigned short languageID);

#endif
