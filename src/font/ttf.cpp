// The font container: reading a font file into table objects, building a
// new font and writing the tables back with fresh offsets and checksums.
#include "font/ttf.h"

#include "font/cmap.h"
#include "font/cff.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/fvar.h"
#include "font/gasp.h"
#include "font/glyf.h"
#include "font/glyph_box_cache.h"
#include "font/gvar.h"
#include "font/head.h"
#include "font/hhea.h"
#include "font/history.h"
#include "font/hmtx.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/name.h"
#include "font/os2.h"
#include "font/post.h"
#include "font/table_views.h"

#include <File.h>
#include <View.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The sfnt versions of a single font: TrueType outlines (1.0, and Apple's
// 'true') and OpenType with CFF outlines ('OTTO'). The version is written
// back as it was read.
const uint32_t SFNT_VERSION = 0x00010000;
const uint32_t SFNT_VERSIONS[] = {SFNT_VERSION, tag_of("true"), tag_of("OTTO")};
const size_t HEADER = 12, ENTRY = 16;
// numberOfContours 0 and a zero box.
const unsigned long BLANK_GLYPH = 10;

// Tables without which a font cannot be shown or edited; glyf and loca
// only when its outlines are TrueType ones.
const uint32_t REQUIRED[] = {tag_of("cmap"), tag_of("head"), tag_of("hhea"), tag_of("hmtx"),
                             tag_of("maxp")};
const uint32_t REQUIRED_GLYF[] = {tag_of("glyf"), tag_of("loca")};

// Fixed layouts that the table classes read at fixed offsets. maxp is the
// 6-byte version 0.5 in fonts with CFF outlines.
struct minimum_length {
    uint32_t tag;
    unsigned long length;
};
const minimum_length MINIMUM[] = {
    {tag_of("head"), HEAD_LENGTH}, {tag_of("maxp"), 6}, {tag_of("hhea"), HHEA_LENGTH}};

bool is_cff_tag(uint32_t tag) {
    return tag == tag_of("CFF ") || tag == tag_of("CFF2");
}

void print_name(uint32_t tag) {
    printf("name=[%c%c%c%c]\n", (char)(tag >> 24), (char)(tag >> 16), (char)(tag >> 8), (char)tag);
}

size_t directory_length(const unsigned char* dir) {
    return HEADER + ENTRY * byte_span(dir, HEADER).u16(4);
}

} // namespace

ttf::ttf()
    : setup(nullptr), dir(nullptr), os2(nullptr), cmap(nullptr), glyf(nullptr), head(nullptr),
      hhea(nullptr), hmtx(nullptr), loca(nullptr), maxp(nullptr), name(nullptr), post(nullptr),
      gasp(nullptr), ebdt(nullptr), eblc(nullptr), gvar(nullptr), fvar(nullptr), cff(nullptr),
      loaderror(nullptr), loadmessage() {
    static std::atomic<uint64_t> next{1};
    fId = next++;
}

ttf_table* ttf::table(uint32_t tag) {
    size_t k = 0;
    ttf_table* t = table_for(tag, &k);
    if (k == 0)
        return t;
    // A tag of no class of its own: looked up among the others.
    for (ttf_table* other : others)
        if (other && other->tag == tag)
            return other;
    return nullptr;
}

ttf::~ttf() {
    clear();
}

void ttf::clear() {
    // The history holds the tables' old buffers and points at the tables.
    delete fHistory;
    fHistory = nullptr;
    fBoxes.reset();
    delete setup;
    delete[] dir;
    delete os2;
    delete cmap;
    delete glyf;
    delete head;
    delete hhea;
    delete hmtx;
    delete loca;
    delete maxp;
    delete name;
    delete post;
    for (ttf_table* t : others)
        delete t;
    others.clear();
    delete gasp;
    delete ebdt;
    delete eblc;
    delete gvar;
    delete fvar;
    delete cff;
    setup = nullptr;
    dir = nullptr;
    os2 = nullptr;
    cmap = nullptr;
    glyf = nullptr;
    head = nullptr;
    hhea = nullptr;
    hmtx = nullptr;
    loca = nullptr;
    maxp = nullptr;
    name = nullptr;
    post = nullptr;
    gasp = nullptr;
    ebdt = nullptr;
    eblc = nullptr;
    gvar = nullptr;
    fvar = nullptr;
    cff = nullptr;
}

font_history* ttf::start_history() {
    if (!fHistory)
        fHistory = new font_history(this);
    return fHistory;
}

int ttf::refuse(const char* reason, uint32_t tag) {
    if (tag)
        snprintf(loadmessage, sizeof loadmessage, "%s (name=[%c%c%c%c])", reason, (char)(tag >> 24),
                 (char)(tag >> 16), (char)(tag >> 8), (char)tag);
    else
        snprintf(loadmessage, sizeof loadmessage, "%s", reason);
    loaderror = loadmessage;
    fprintf(stderr, "ttf:load: %s\n", loadmessage);
    clear();
    return 1;
}

// The table object for a directory tag; `otherindex` counts the entries
// kept in `others` seen so far and picks theirs.
ttf_table* ttf::table_for(uint32_t tag, size_t* otherindex) {
    switch (tag) {
    case tag_of("EBDT"):
        return ebdt;
    case tag_of("EBLC"):
        return eblc;
    case tag_of("OS/2"):
        return os2;
    case tag_of("cmap"):
        return cmap;
    case tag_of("gasp"):
        return gasp;
    case tag_of("glyf"):
        return glyf;
    case tag_of("head"):
        return head;
    case tag_of("hhea"):
        return hhea;
    case tag_of("hmtx"):
        return hmtx;
    case tag_of("loca"):
        return loca;
    case tag_of("maxp"):
        return maxp;
    case tag_of("name"):
        return name;
    case tag_of("post"):
        return post;
    case tag_of("gvar"):
        return gvar;
    case tag_of("fvar"):
        return fvar;
    default:
        if (cff && cff->tag == tag)
            return cff;
        return *otherindex < others.size() ? others[(*otherindex)++] : nullptr;
    }
}

// Everything the directory claims is checked against the file before any
// table is allocated, so a damaged font is refused whole.
int ttf::check_directory(long long filesize) {
    byte_span d(dir, directory_length(dir));
    const int n = d.u16(4);
    // Sorted tags find a tag that occurs twice in n log n, whatever n.
    std::vector<uint32_t> tags;
    tags.reserve((size_t)n);
    uint64_t total = 0;
    bool cff_outlines = false;
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        uint32_t tag = d.u32(e), offset = d.u32(e + 8), length = d.u32(e + 12);
        if (!in_range((size_t)filesize, offset, length))
            return refuse("a table lies outside the file", tag);
        tags.push_back(tag);
        total += length;
        cff_outlines |= is_cff_tag(tag);
        for (const minimum_length& m : MINIMUM)
            if (m.tag == tag && length < m.length)
                return refuse("a table is shorter than its fixed layout", tag);
    }
    std::sort(tags.begin(), tags.end());
    for (size_t i = 1; i < tags.size(); i++)
        if (tags[i] == tags[i - 1])
            return refuse("a table occurs twice", tags[i]);
    // Tables of a font do not overlap; each is read into a buffer of its
    // own, so a directory whose tables claim the same bytes many times over
    // would make the font take many times the file's size.
    if (total > 2 * (uint64_t)filesize)
        return refuse("the tables overlap each other");
    auto present = [&](uint32_t tag) { return std::binary_search(tags.begin(), tags.end(), tag); };
    for (uint32_t required : REQUIRED)
        if (!present(required))
            return refuse("a table the editor needs is missing", required);
    // Outlines in glyf need loca and maxp version 1.0 with its maxima; a
    // font without glyf must have its outlines in CFF or CFF2.
    if (present(tag_of("glyf")) || !cff_outlines) {
        for (uint32_t required : REQUIRED_GLYF)
            if (!present(required))
                return refuse("a table the editor needs is missing", required);
        for (int i = 0; i < n; i++)
            if (d.u32(HEADER + ENTRY * i) == tag_of("maxp") &&
                d.u32(HEADER + ENTRY * i + 12) < MAXP_LENGTH)
                return refuse("a table is shorter than its fixed layout", tag_of("maxp"));
    }
    return 0;
}

// The table object of the class for `tag`, in its slot; tables of other
// tags go to `others`. Throws std::bad_alloc when no memory is left.
ttf_table* ttf::make_table(uint32_t tag, unsigned char* buf, unsigned long length, size_t room) {
    switch (tag) {
    case tag_of("EBDT"):
        return ebdt = new ttf_ebdt(this, buf, length);
    case tag_of("EBLC"):
        return eblc = new ttf_eblc(this, buf, length);
    case tag_of("OS/2"):
        return os2 = new ttf_os2(this, buf, length);
    case tag_of("cmap"):
        return cmap = new ttf_cmap(this, buf, length);
    case tag_of("gasp"):
        return gasp = new ttf_gasp(this, buf, length);
    case tag_of("glyf"):
        glyf = new ttf_glyf(this, buf, length);
        glyf->set_room(room);
        return glyf;
    case tag_of("head"):
        return head = new ttf_head(this, buf, length);
    case tag_of("hhea"):
        return hhea = new ttf_hhea(this, buf, length);
    case tag_of("hmtx"):
        return hmtx = new ttf_hmtx(this, buf, length);
    case tag_of("loca"):
        return loca = new ttf_loca(this, buf, length);
    case tag_of("maxp"):
        return maxp = new ttf_maxp(this, buf, length);
    case tag_of("name"):
        return name = new ttf_name(this, buf, length);
    case tag_of("post"):
        return post = new ttf_post(this, buf, length);
    case tag_of("gvar"):
        // Its buffer is known, so removing a glyph's data works in place.
        gvar = new ttf_gvar(this, buf, length);
        gvar->set_room(room);
        return gvar;
    case tag_of("fvar"):
        return fvar = new ttf_fvar(this, buf, length);
    default:
        // The first table of CFF outlines gets the view that says they
        // cannot be edited.
        if (is_cff_tag(tag) && !cff)
            return cff = new ttf_cff(this, tag, buf, length);
        ttf_table* t = new ttf_table(this, tag, buf, length);
        others.push_back(t);
        return t;
    }
}

bool ttf::read_tables(BFile& file) {
    byte_span d(dir, directory_length(dir));
    int n = d.u16(4);
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        uint32_t tag = d.u32(e), offset = d.u32(e + 8), length = d.u32(e + 12);
        print_name(tag);
        // The read fills every byte up to the length, or the buffer is
        // thrown away, so it need not be cleared first. glyf gets room to
        // grow, so that storing glyphs need not move the whole table.
        const size_t padded = ((size_t)length + 3) & ~(size_t)3;
        const size_t room = tag == tag_of("glyf") ? ttf_table::growth_room(padded) : 0;
        unsigned char* buf = malloc32_unfilled((long)(padded + room));
        if (!buf) {
            refuse("out of memory", tag);
            return false;
        }
        if (file.ReadAt(offset, buf, length) != (ssize_t)length) {
            delete[] buf;
            refuse("the file cannot be read", tag);
            return false;
        }
        std::fill(buf + length, buf + padded, 0);
        try {
            make_table(tag, buf, length, std::max<size_t>(4, padded + room));
        } catch (const std::bad_alloc&) {
            refuse("out of memory", tag);
            return false;
        }
    }
    return true;
}

// Reads the sfnt header and table directory that start at `at` (0 for a
// font file of its own).
int ttf::read_directory(BFile& file, long long filesize, long long at) {
    unsigned char header[HEADER];
    if (file.ReadAt(at, header, HEADER) != (ssize_t)HEADER)
        return refuse("not a TrueType or OpenType font");
    const uint32_t version = byte_span(header, HEADER).u32(0);
    if (std::find(std::begin(SFNT_VERSIONS), std::end(SFNT_VERSIONS), version) ==
        std::end(SFNT_VERSIONS))
        return refuse("not a TrueType or OpenType font");
    size_t dirlen = directory_length(header);
    if (at < 0 || at > filesize || dirlen > (unsigned long long)(filesize - at))
        return refuse("the table directory runs past the end of the file");
    dir = new (std::nothrow) unsigned char[dirlen]();
    if (!dir)
        return refuse("out of memory");
    if (file.ReadAt(at, dir, dirlen) != (ssize_t)dirlen)
        return refuse("the file cannot be read");
    return 0;
}

int ttf::load(BFile& file, long long diroffset) {
    printf("ttf:load\n");
    if (dir) {
        // A font is never reloaded; the one held stays as it is.
        loaderror = "the container already holds a font";
        fprintf(stderr, "ttf:load: %s\n", loaderror);
        return 1;
    }
    loaderror = nullptr;
    off_t filesize = 0;
    if (file.GetSize(&filesize) != B_OK)
        return refuse("the file cannot be read");
    if (read_directory(file, filesize, diroffset) != 0)
        return 1;
    if (check_directory(filesize) != 0)
        return 1;
    if (!read_tables(file))
        return 1;
    cmap->get_tbl();
    note_loaded();
    return 0;
}

int ttf::init() {
    if (dir || !setup)
        return 1;
    // Surrogate code points and U+FFFF are not characters: a character map
    // must not map them, so they take no glyph either, whatever was ticked.
    for (size_t c = 0xD800; c <= 0xDFFF; c++)
        setup->chars[c] = 0;
    setup->chars[0xFFFF] = 0;
    // Glyph 0 is the missing-character glyph and the character map numbers
    // the chosen characters from 1, so the font has one glyph more than it
    // maps characters.
    long chosen = 0;
    for (size_t c = 1; c <= 0xFFFF; c++)
        if (setup->chars[c])
            chosen++;
    setup->glyphcount = (int32_t)(chosen + 1);

    static const char* const tags[] = {"OS/2", "cmap", "glyf", "head", "hhea",
                                       "hmtx", "loca", "maxp", "name", "post"};
    const int n = 10;
    int p = 1, log2p = 0;
    while (p * 2 <= n) {
        p *= 2;
        log2p++;
    }
    size_t dirlen = HEADER + ENTRY * n;
    dir = new unsigned char[dirlen]();
    byte_writer w(dir, dirlen);
    w.put32(0, SFNT_VERSION);
    w.put16(4, n);
    w.put16(6, (uint16_t)(16 * p));
    w.put16(8, (uint16_t)log2p);
    w.put16(10, (uint16_t)(16 * n - 16 * p));
    for (int i = 0; i < n; i++) {
        uint32_t tag = byte_span((const unsigned char*)tags[i], 4).u32(0);
        w.put32(HEADER + ENTRY * i, tag);
        print_name(tag);
        switch (i) {
        case 0:
            os2 = new ttf_os2(this, nullptr, 0);
            break;
        case 1:
            cmap = new ttf_cmap(this, nullptr, 0);
            break;
        case 2:
            glyf = new ttf_glyf(this, nullptr, 0);
            break;
        case 3:
            head = new ttf_head(this, nullptr, 0);
            break;
        case 4:
            hhea = new ttf_hhea(this, nullptr, 0);
            break;
        case 5:
            hmtx = new ttf_hmtx(this, nullptr, 0);
            break;
        case 6:
            loca = new ttf_loca(this, nullptr, 0);
            break;
        case 7:
            maxp = new ttf_maxp(this, nullptr, 0);
            break;
        case 8:
            name = new ttf_name(this, nullptr, 0);
            break;
        case 9:
            post = new ttf_post(this, nullptr, 0);
            break;
        }
    }
    cmap->get_tbl();
    // Every glyph of a new font is blank, but a glyph table of no bytes at
    // all is not a valid font: glyph 0 gets the smallest valid record, no
    // contours and an empty box, which every reader takes as a blank glyph.
    if (unsigned char* blank = malloc32(BLANK_GLYPH)) {
        glyf->replace_data(blank, BLANK_GLYPH);
        loca->chg_length(head->is32loca(), 0, BLANK_GLYPH);
    }
    delete setup;
    setup = nullptr;
    note_loaded();
    return 0;
}

void ttf::note_loaded() {
    if (glyf)
        glyf->mark_loaded();
    if (hmtx)
        hmtx->mark_loaded();
    fLayout = head ? head->bounds() : BRect();
    fLoadedFields = read_derived_fields(*this);
}

int ttf::save(BFile& file) {
    printf("ttf:save\n");
    if (!dir || !head || !maxp) {
        fprintf(stderr, "ttf:save: there is no font to save\n");
        return 1;
    }
    prepare_save();
    if (fHistory)
        fHistory->pause();
    head->setsum(0xB1B0AFBA);
    int result = write_tables(file);
    if (fHistory)
        fHistory->resume();
    return result;
}

void ttf::prepare_save() {
    // The maxima follow from glyf and the dates and checksums from the
    // clock and the bytes: none of it is an edit of the user's.
    if (fHistory)
        fHistory->pause();
    maxp->update();
    if (!fBoxes)
        fBoxes.reset(new glyph_box_cache());
    update_derived_metrics(*this, fLoadedFields, fAssumeEdited, fBoxes.get());
    head->update();
    if (fHistory)
        fHistory->resume();
}

int ttf::write_tables(BFile& file) {

    size_t dirlen = directory_length(dir);
    byte_writer d(dir, dirlen);
    int n = d.span().u16(4);
    uint64_t pos = dirlen;
    uint32_t sum = 0;
    uint64_t headpos = 0;
    size_t k = 0;
    for (int i = 0; i < n; i++) {
        size_t e = HEADER + ENTRY * i;
        uint32_t tag = d.span().u32(e);
        print_name(tag);
        ttf_table* t = table_for(tag, &k);
        uint64_t plen = t ? ((uint64_t)t->length + 3) & ~(uint64_t)3 : 0;
        if (!t || pos + plen > 0xFFFFFFFFu) {
            fprintf(stderr, "ttf:save: the table cannot be written (name=[%c%c%c%c])\n",
                    (char)(tag >> 24), (char)(tag >> 16), (char)(tag >> 8), (char)tag);
            return 1;
        }
        uint32_t c = (uint32_t)t->sumB32();
        d.put32(e + 4, c);
        d.put32(e + 8, (uint32_t)pos);
        d.put32(e + 12, (uint32_t)t->length);
        if (file.WriteAt((off_t)pos, t->data, plen) != (ssize_t)plen) {
            fprintf(stderr, "ttf:save: writing the file failed\n");
            return 1;
        }
        if (tag == tag_of("head"))
            headpos = pos;
        pos += plen;
        sum += c;
    }
    if (file.WriteAt(0, dir, dirlen) != (ssize_t)dirlen) {
        fprintf(stderr, "ttf:save: writing the file failed\n");
        return 1;
    }
    byte_span written(dir, dirlen);
    for (size_t off = 0; off + 4 <= dirlen; off += 4)
        sum += written.u32(off);
    head->setsum(sum);
    if (file.WriteAt((off_t)headpos, head->data, head->length) != (ssize_t)head->length) {
        fprintf(stderr, "ttf:save: writing the file failed\n");
        return 1;
    }
    return 0;
}

BRect ttf::bounds() {
    return fLayout;
}

int ttf::get_tables(int* count, unsigned long* tags) {
    if (!count)
        return -1;
    int n = dir ? byte_span(dir, HEADER).u16(4) : 0;
    if (*count < n || (n > 0 && !tags))
        return -1;
    byte_span d(dir, directory_length(dir));
    for (int i = 0; i < n; i++)
        tags[i] = d.u32(HEADER + ENTRY * i);
    *count = n;
    return 0;
}

void ttf::set_view(BView* parent) {
    if (!parent)
        return;
    ttf_table* const views[] = {os2,  cmap, glyf, head, hhea, hmtx, maxp,
                                name, post, gasp, ebdt, eblc, fvar, cff};
    for (ttf_table* t : views) {
        if (!t)
            continue;
        t->show(false);
        parent->AddChild(t);
    }
    // The editors fit their zoom and palettes to the font now shown.
    const table_view_hooks& hooks = registered_table_views();
    if (glyf && hooks.glyf_attached)
        hooks.glyf_attached(glyf);
    if (ebdt && hooks.ebdt_attached)
        hooks.ebdt_attached(ebdt);
}

void ttf::reset_view(BView* parent) {
    if (!parent)
        return;
    ttf_table* const views[] = {os2,  cmap, glyf, head, hhea, hmtx, maxp,
                                name, post, gasp, ebdt, eblc, fvar, cff};
    for (ttf_table* t : views)
        if (t)
            parent->RemoveChild(t);
}
