#include "font/journal.h"

#include "font/ttf_table.h"

#include <algorithm>
#include <new>
#include <utility>

journal_entry::~journal_entry() {
    delete[] buffer;
}

journal_entry::journal_entry(journal_entry&& other) noexcept {
    *this = std::move(other);
}

journal_entry& journal_entry::operator=(journal_entry&& other) noexcept {
    if (this == &other)
        return *this;
    delete[] buffer;
    table = other.table;
    kind = other.kind;
    offset = other.offset;
    length = other.length;
    bytes = std::move(other.bytes);
    buffer = other.buffer;
    buflength = other.buflength;
    room = other.room;
    width = other.width;
    delta = other.delta;
    other.buffer = nullptr;
    return *this;
}

bool journal_entry::apply() {
    if (!table)
        return false;
    switch (kind) {
    case SPAN: {
        if (!table->bytes().has(offset, length))
            return false;
        unsigned char* at = table->data + offset;
        if (bytes.size() == length) {
            // A write: the old and the new bytes trade places.
            std::swap_ranges(bytes.begin(), bytes.end(), at);
            table->changed();
            return true;
        }
        std::vector<unsigned char> now;
        try {
            now.assign(at, at + length);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!table->splice(offset, length, bytes.data(), bytes.size()))
            return false;
        length = bytes.size();
        bytes.swap(now);
        return true;
    }
    case BUFFER:
        table->kit_swap_buffer(&buffer, &buflength, &room);
        return true;
    case SHIFT:
        if (!table->shift_entries(offset, length, width, -delta))
            return false;
        delta = -delta;
        return true;
    }
    return false;
}

size_t journal_entry::memory() const {
    return sizeof(*this) + bytes.capacity() + (buffer ? ((buflength + 3) & ~3UL) : 0);
}

size_t journal_step::memory() const {
    size_t total = sizeof(*this) + name.capacity();
    for (const journal_entry& e : entries)
        total += e.memory();
    return total;
}
