#include "font/gasp.h"

#include <cstdio>
#include <vector>

namespace {

const size_t HEADER = 4;
const size_t RANGE = 4;

struct range {
    unsigned short maxppem, behavior;
};

size_t range_count(byte_span t) {
    if (t.size() < HEADER)
        return 0;
    size_t stored = t.u16(2);
    size_t fits = (t.size() - HEADER) / RANGE;
    return stored < fits ? stored : fits;
}

// Behaviour bits beyond grid-fitting and grayscale exist only from
// version 1 on.
unsigned short version_for(const std::vector<range>& ranges) {
    for (const range& r : ranges) {
        if (r.behavior > 3)
            return 1;
    }
    return 0;
}

} // namespace

ttf_gasp::ttf_gasp(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("gasp"), data, length) {}

int ttf_gasp::count() {
    return (int)range_count(bytes());
}

int ttf_gasp::get_field(int index, unsigned short* maxppem, unsigned short* behavior) {
    byte_span t = bytes();
    if (index < 0 || (size_t)index >= range_count(t))
        return 1;
    *maxppem = t.u16(HEADER + RANGE * (size_t)index);
    *behavior = t.u16(HEADER + RANGE * (size_t)index + 2);
    return 0;
}

int ttf_gasp::set_field(int index, unsigned short maxppem, unsigned short behavior) {
    byte_span t = bytes();
    size_t n = range_count(t);
    if (index >= 0 && (size_t)index >= n)
        return 1;
    std::vector<range> ranges;
    for (size_t i = 0; i < n; i++)
        ranges.push_back({t.u16(HEADER + RANGE * i), t.u16(HEADER + RANGE * i + 2)});

    // Giving an existing range a different size would break the ascending
    // order: it leaves its place and the size is set where it belongs.
    bool moved = false;
    if (index >= 0 && maxppem != 0 && ranges[(size_t)index].maxppem != maxppem) {
        ranges.erase(ranges.begin() + index);
        index = -1;
        moved = true;
    }

    size_t pos;
    bool existing;
    if (index >= 0) {
        pos = (size_t)index;
        existing = true;
    } else {
        pos = 0;
        while (pos < ranges.size() && ranges[pos].maxppem < maxppem)
            pos++;
        existing = pos < ranges.size() && ranges[pos].maxppem == maxppem;
    }
    bool size_given = maxppem != 0;
    if (!existing && !size_given)
        return 2;

    if (existing && size_given && !moved) {
        byte_writer w = writer();
        w.put16(HEADER + RANGE * pos, maxppem);
        w.put16(HEADER + RANGE * pos + 2, behavior);
        if (behavior > 3 && t.u16(0) == 0)
            w.put16(0, 1);
        return 0;
    }

    if (existing && size_given)
        ranges[pos] = {maxppem, behavior};
    else if (existing)
        ranges.erase(ranges.begin() + (long)pos);
    else
        ranges.insert(ranges.begin() + (long)pos, {maxppem, behavior});

    size_t size = HEADER + RANGE * ranges.size();
    unsigned char* fresh = malloc32((long)size);
    if (!fresh)
        return 3;
    byte_writer w(fresh, size);
    w.put16(0, version_for(ranges));
    w.put16(2, (uint16_t)ranges.size());
    for (size_t i = 0; i < ranges.size(); i++) {
        w.put16(HEADER + RANGE * i, ranges[i].maxppem);
        w.put16(HEADER + RANGE * i + 2, ranges[i].behavior);
    }
    replace_data(fresh, size);
    return 0;
}

void gasp_label(unsigned short behavior, char label[GASP_LABEL_SIZE]) {
    static const char* const names[4] = {"none", "Use gridfitting", "Use grayscale rendering",
                                         "Use gridfitting & grayscale rendering"};
    if (behavior <= 3)
        std::snprintf(label, GASP_LABEL_SIZE, "%s", names[behavior]);
    else
        std::snprintf(label, GASP_LABEL_SIZE, "%s + flags %04x", names[behavior & 3],
                      (unsigned)(behavior & ~3u));
}
