#include "checkwindow/font_follower.h"

#include "font/derived_metrics.h"
#include "font/font_image.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/ttf.h"
#include "font/ttf_table.h"

#include <algorithm>

namespace {

// The tags of the font's tables, in directory order.
std::vector<uint32_t> tags_of(ttf* font) {
    int count = font->dir ? byte_span(font->dir, 12).u16(4) : 0;
    std::vector<unsigned long> tags(std::max(count, 1));
    if (count == 0 || font->get_tables(&count, tags.data()) != 0)
        return {};
    return std::vector<uint32_t>(tags.begin(), tags.begin() + count);
}

check_options options_for(const font_update& u) {
    check_options o;
    o.as_saved = true;
    o.metrics_derived_at_save = u.derived_at_save;
    return o;
}

} // namespace

void font_follower::remember_tables(ttf* font) {
    fTables.clear();
    for (uint32_t tag : tags_of(font))
        if (ttf_table* t = font->table(tag))
            fTables[tag] = t->changes();
}

font_update font_follower::take(ttf* font) {
    font_update u;
    if (!font || !font->dir) {
        if (fId != 0)
            u.kind = font_update::NO_FONT;
        fId = 0;
        return u;
    }
    if (font->id() != fId) {
        font_image image;
        if (font->copy_image(&image) != 0) {
            u.kind = font_update::NO_FONT;
            fId = 0;
            return u;
        }
        u.kind = font_update::WHOLE;
        u.image.assign(image.bytes.get(), image.bytes.get() + image.size);
        fId = font->id();
        fChanges = font->changes();
        remember_tables(font);
        return u;
    }
    if (font->changes() == fChanges)
        return u;
    u.derived_at_save = derived_metrics_stale(*font);
    std::vector<int> stored;
    if (font->stored_glyphs(fChanges, font->changes(), &stored) && font->glyf && font->loca &&
        font->head) {
        // Only glyph records changed (and loca moved with them): each is
        // copied alone, as it stands now.
        u.kind = font_update::GLYPHS;
        std::sort(stored.begin(), stored.end());
        stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
        for (int g : stored) {
            unsigned long offset, length;
            if (font->loca->get_offset(font->head->is32loca(), g, &offset, &length) != 0)
                continue;
            const byte_span record = font->glyf->bytes().slice(offset, length);
            u.glyphs.push_back(
                {(unsigned)g, byte_vector(record.data(), record.data() + record.size())});
        }
        // A store also keeps the side bearing at the new xMin.
        for (uint32_t tag : tags_of(font)) {
            ttf_table* t = font->table(tag);
            if (!t || tag == tag_of("glyf") || tag == tag_of("loca") ||
                (fTables.count(tag) && fTables[tag] == t->changes()))
                continue;
            const byte_span b = t->bytes();
            u.tables.push_back({tag, byte_vector(b.data(), b.data() + b.size())});
        }
    } else {
        u.kind = font_update::TABLES;
        for (uint32_t tag : tags_of(font)) {
            ttf_table* t = font->table(tag);
            if (!t || (fTables.count(tag) && fTables[tag] == t->changes()))
                continue;
            const byte_span b = t->bytes();
            u.tables.push_back({tag, byte_vector(b.data(), b.data() + b.size())});
        }
    }
    fChanges = font->changes();
    remember_tables(font);
    return u;
}

void font_follower::apply(font_update& u, font_checker* checker) {
    switch (u.kind) {
    case font_update::WHOLE:
        checker->set_options(options_for(u));
        checker->check_file(std::move(u.image));
        break;
    case font_update::GLYPHS:
        checker->set_options(options_for(u));
        checker->replace_tables(std::move(u.tables));
        for (auto& g : u.glyphs)
            checker->replace_glyph(g.first, std::move(g.second));
        break;
    case font_update::TABLES:
        checker->set_options(options_for(u));
        checker->replace_tables(std::move(u.tables));
        break;
    case font_update::NONE:
    case font_update::NO_FONT:
        break;
    }
}
