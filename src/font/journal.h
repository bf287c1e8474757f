// journal: what edits did to a font's table bytes, kept as the bytes each
// change replaced so that it can be taken back and done again.
//
// An entry describes one change of one table in one of three ways:
//   span    the bytes [offset, offset + length) of the table are what the
//           change put there; `bytes` holds what was there before (a write
//           keeps the length, a splice inserts or removes bytes);
//   buffer  the whole buffer was replaced; the entry owns the other one;
//   shift   `count` big-endian entries of `width` bytes from `offset` on
//           had `delta` added to them (the later loca offsets when a glyph
//           record changes length), kept as the number alone rather than
//           the bytes, since the undone shift is the same walk with -delta.
// Applying an entry takes its change back and turns the entry into the
// change that redoes it, so one copy of the bytes serves both directions.
#ifndef TAVREL_FONT_JOURNAL_H
#define TAVREL_FONT_JOURNAL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ttf_table;

struct journal_entry {
    enum kind_t : uint8_t { SPAN, BUFFER, SHIFT };

    journal_entry() = default;
    ~journal_entry();
    journal_entry(journal_entry&& other) noexcept;
    journal_entry& operator=(journal_entry&& other) noexcept;
    journal_entry(const journal_entry&) = delete;
    journal_entry& operator=(const journal_entry&) = delete;

    ttf_table* table = nullptr;
    kind_t kind = SPAN;
    size_t offset = 0;
    // SPAN: the length of the span in the table now; SHIFT: the count.
    size_t length = 0;
    std::vector<unsigned char> bytes;
    // BUFFER: the other buffer (owned), its length and its room.
    unsigned char* buffer = nullptr;
    unsigned long buflength = 0;
    size_t room = 0;
    // SHIFT: bytes per entry (2 or 4) and the amount added.
    uint8_t width = 0;
    int64_t delta = 0;

    // Takes the change back (or, applied again, redoes it). False when the
    // table no longer has the span the entry speaks of or memory ran out;
    // the table is then unchanged.
    bool apply();
    // Heap bytes the entry keeps.
    size_t memory() const;
};

// One user-visible step: the entries in the order their changes were made.
struct journal_step {
    std::string name;
    uint64_t serial = 0;
    std::vector<journal_entry> entries;

    size_t memory() const;
};

#endif
