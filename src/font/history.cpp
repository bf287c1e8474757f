#include "font/history.h"

#include "font/ttf_table.h"

#include <algorithm>
#include <new>

font_history::font_history(ttf* font) : fFont(font) {
    fBase = fPosition = fNextSerial++;
}

font_history::~font_history() = default;

void font_history::checkpoint(const std::string& name) {
    fOpen = false;
    fPending = name;
}

std::string font_history::undo_name() const {
    return fDone.empty() ? std::string() : fDone.back().name;
}

std::string font_history::redo_name() const {
    return fUndone.empty() ? std::string() : fUndone.back().name;
}

journal_step* font_history::open_step() {
    if (fOpen && !fDone.empty())
        return &fDone.back();
    // A new change: what was undone can no longer be redone.
    for (const journal_step& s : fUndone)
        fMemory -= s.memory();
    fUndone.clear();
    fDone.emplace_back();
    journal_step& step = fDone.back();
    step.name = fPending.empty() ? std::string("Change") : fPending;
    step.serial = fNextSerial++;
    fMemory += step.memory();
    fPending.clear();
    fOpen = true;
    fPosition = step.serial;
    trim();
    changed_now();
    return &fDone.back();
}

void font_history::add(journal_step* step, journal_entry&& entry) {
    // The entry's own heap bytes and its slot in the step's array.
    fMemory += entry.memory();
    step->entries.push_back(std::move(entry));
    trim();
}

void font_history::note_write(ttf_table* table, size_t offset, size_t n) {
    if (!recording() || !table || !table->bytes().has(offset, n) || n == 0)
        return;
    journal_step* step = open_step();
    const unsigned char* data = table->data;
    if (!step->entries.empty()) {
        // Writes next to or over the last write of the same table widen
        // that entry: a field written byte by byte, or a run of entries,
        // is kept as one span. The bytes around the span have not changed
        // since the entry was made, so they are its old bytes too.
        journal_entry& last = step->entries.back();
        if (last.table == table && last.kind == journal_entry::SPAN &&
            last.bytes.size() == last.length && offset <= last.offset + last.length &&
            last.offset <= offset + n) {
            size_t start = std::min(offset, last.offset);
            size_t end = std::max(offset + n, last.offset + last.length);
            std::vector<unsigned char> wider;
            try {
                wider.reserve(end - start);
                wider.insert(wider.end(), data + start, data + last.offset);
                wider.insert(wider.end(), last.bytes.begin(), last.bytes.end());
                wider.insert(wider.end(), data + last.offset + last.length, data + end);
            } catch (const std::bad_alloc&) {
                // The write gets an entry of its own below.
                wider.clear();
            }
            if (wider.size() == end - start) {
                size_t before = last.memory();
                last.bytes.swap(wider);
                last.offset = start;
                last.length = end - start;
                fMemory = fMemory - before + last.memory();
                trim();
                return;
            }
        }
    }
    journal_entry entry;
    entry.table = table;
    entry.kind = journal_entry::SPAN;
    entry.offset = offset;
    entry.length = n;
    entry.bytes.assign(data + offset, data + offset + n);
    add(step, std::move(entry));
}

void font_history::note_splice(ttf_table* table, size_t offset, size_t oldlen, size_t newlen) {
    if (!recording() || !table || !table->bytes().has(offset, oldlen))
        return;
    journal_step* step = open_step();
    journal_entry entry;
    entry.table = table;
    entry.kind = journal_entry::SPAN;
    entry.offset = offset;
    entry.length = newlen;
    entry.bytes.assign(table->data + offset, table->data + offset + oldlen);
    add(step, std::move(entry));
}

void font_history::note_buffer(ttf_table* table, unsigned char* buffer, unsigned long length,
                               size_t room) {
    if (!recording() || !table) {
        delete[] buffer;
        return;
    }
    journal_step* step = open_step();
    // The entry owns the table's buffer once made: the step's slot is had
    // first, so that memory running out cannot free a buffer still in use.
    if (step->entries.size() == step->entries.capacity())
        step->entries.reserve(2 * step->entries.size() + 4);
    journal_entry entry;
    entry.table = table;
    entry.kind = journal_entry::BUFFER;
    entry.buffer = buffer;
    entry.buflength = buffer ? length : 0;
    entry.room = room;
    add(step, std::move(entry));
}

void font_history::note_shift(ttf_table* table, size_t offset, size_t count, int width,
                              int64_t delta) {
    if (!recording() || !table || count == 0 || delta == 0)
        return;
    journal_step* step = open_step();
    journal_entry entry;
    entry.table = table;
    entry.kind = journal_entry::SHIFT;
    entry.offset = offset;
    entry.length = count;
    entry.width = (uint8_t)width;
    entry.delta = delta;
    add(step, std::move(entry));
}

bool font_history::changed_since_start(const ttf_table* table) const {
    if (fLetGo.count(table))
        return true;
    for (const journal_step& step : fDone)
        for (const journal_entry& e : step.entries)
            if (e.table == table)
                return true;
    return false;
}

void font_history::trim() {
    // The step being recorded stays, however large it is.
    while ((fMemory > memory_limit || count_steps() > step_limit) &&
           fDone.size() + fUndone.size() > 1) {
        if (!fUndone.empty()) {
            fMemory -= fUndone.front().memory();
            fUndone.pop_front();
        } else {
            fMemory -= fDone.front().memory();
            fBase = fDone.front().serial;
            for (const journal_entry& e : fDone.front().entries)
                fLetGo.insert(e.table);
            fDone.pop_front();
        }
    }
}

bool font_history::apply(journal_step& step, bool backwards, std::set<ttf_table*>* touched) {
    fApplying = true;
    const size_t n = step.entries.size();
    bool ok = true;
    size_t done = 0;
    for (; done < n; done++) {
        journal_entry& e = step.entries[backwards ? n - 1 - done : done];
        size_t before = e.memory();
        if (!e.apply()) {
            ok = false;
            break;
        }
        fMemory = fMemory - before + e.memory();
        touched->insert(e.table);
    }
    if (!ok) {
        // Puts back what was applied, in the other order.
        while (done-- > 0) {
            journal_entry& e = step.entries[backwards ? n - 1 - done : done];
            size_t before = e.memory();
            e.apply();
            fMemory = fMemory - before + e.memory();
        }
    }
    fApplying = false;
    return ok;
}

void font_history::refresh(const std::set<ttf_table*>& touched) {
    for (ttf_table* t : touched)
        t->refresh();
    changed_now();
}

bool font_history::undo() {
    fOpen = false;
    if (fDone.empty())
        return false;
    std::set<ttf_table*> touched;
    if (!apply(fDone.back(), true, &touched)) {
        refresh(touched);
        return false;
    }
    fUndone.push_back(std::move(fDone.back()));
    fDone.pop_back();
    fPosition = fDone.empty() ? fBase : fDone.back().serial;
    refresh(touched);
    return true;
}

font_history::point font_history::here() const {
    point p;
    p.position = fPosition;
    p.open = fOpen && !fDone.empty();
    p.entries = p.open ? fDone.back().entries.size() : 0;
    return p;
}

std::string font_history::rollback(const point& p) {
    std::string name = fPending;
    std::set<ttf_table*> touched;
    // Steps begun since then (serials only grow) go whole.
    bool whole = true;
    while (whole && !fDone.empty() && fDone.back().serial > p.position) {
        journal_step& step = fDone.back();
        name = step.name;
        whole = apply(step, true, &touched);
        if (whole) {
            fMemory -= step.memory();
            fDone.pop_back();
        }
    }
    // Changes added to the step that was open then.
    if (whole && p.open && !fDone.empty() && fDone.back().serial == p.position) {
        journal_step& step = fDone.back();
        if (step.entries.size() > p.entries)
            name = step.name;
        fApplying = true;
        while (step.entries.size() > p.entries) {
            journal_entry& e = step.entries.back();
            size_t counted = e.memory();
            touched.insert(e.table);
            if (!e.apply())
                break;
            fMemory -= counted;
            step.entries.pop_back();
        }
        fApplying = false;
    }
    fPosition = fDone.empty() ? fBase : fDone.back().serial;
    fOpen = p.open && fPosition == p.position;
    fPending.clear();
    refresh(touched);
    return name;
}

bool font_history::redo() {
    fOpen = false;
    if (fUndone.empty())
        return false;
    std::set<ttf_table*> touched;
    if (!apply(fUndone.back(), false, &touched)) {
        refresh(touched);
        return false;
    }
    fDone.push_back(std::move(fUndone.back()));
    fUndone.pop_back();
    fPosition = fDone.back().serial;
    refresh(touched);
    return true;
}

void font_history::mark_saved() {
    mark_saved(seal());
}

uint64_t font_history::seal() {
    // Later changes start a step of their own, so that undoing them comes
    // back to exactly this state.
    fOpen = false;
    return fPosition;
}

void font_history::mark_saved(uint64_t state) {
    fSaved = state;
    changed_now();
}

void font_history::changed_now() {
    if (on_change)
        on_change();
}
