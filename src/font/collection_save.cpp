// Writing a collection again with one face replaced: the tables keep the
// order they had in the file, each shared table is written once, and a
// table the edited face changed is written for that face alone next to
// the one it replaces (copy on write: the other faces keep theirs).
#include "font/collection.h"

#include "font/bytes.h"
#include "font/font_image.h"

#include <File.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>

namespace {

const size_t CHUNK = 1 << 20;
const uint64_t LAST = ~(uint64_t)0;

struct item {
    enum kind_t { DIRECTORY, SOURCE, IMAGE } kind;
    uint64_t key; // where the bytes were in the source: the output keeps that order
    uint64_t seq; // ties: the order the items were made in
    uint32_t offset = 0, length = 0;     // the source's range (SOURCE)
    const unsigned char* data = nullptr; // the image's bytes (IMAGE)
    size_t face = 0;                     // whose directory (DIRECTORY)
    bool head = false;
    uint64_t pos = 0;
    uint32_t checksum = 0;
    std::vector<unsigned char> headbytes;
};

struct face_entry {
    uint32_t tag;
    size_t item;
};

uint64_t align4(uint64_t n) {
    return (n + 3) & ~(uint64_t)3;
}

// The checksum of head's bytes with checkSumAdjustment counted as 0.
uint32_t head_sum(std::vector<unsigned char>& bytes) {
    byte_writer w(bytes.data(), bytes.size());
    uint32_t keep = w.span().u32(8);
    w.put32(8, 0);
    uint32_t sum = w.span().sum32();
    w.put32(8, keep);
    return sum;
}

class collection_writer {
  public:
    collection_writer(BFile& source, const font_collection& c, size_t face,
                      const face_tables& edited, BFile& out)
        : fSource(source), fCollection(c), fFace(face), fEdited(edited), fOut(out) {}

    int run(std::string* why);

  private:
    int fail(std::string* why, const char* text) {
        if (why)
            *why = text;
        return 1;
    }
    size_t source_item(uint32_t offset, uint32_t length, bool head);
    // Whether the source's range holds exactly `data` (head's
    // checkSumAdjustment aside): -1 when the file cannot be read.
    int same_bytes(uint32_t offset, uint32_t length, const unsigned char* data, bool head);
    bool write_item(item& it);
    bool write_directory(size_t face);

    BFile& fSource;
    const font_collection& fCollection;
    size_t fFace;
    const face_tables& fEdited;
    BFile& fOut;
    std::vector<item> fItems;
    std::map<std::pair<uint32_t, uint32_t>, size_t> fShared;
    std::vector<std::vector<face_entry>> fEntries;
    std::vector<uint32_t> fVersions;
    std::vector<size_t> fDirectories;
    std::map<size_t, uint32_t> fAdjustments; // head item -> its value
    std::unique_ptr<unsigned char[]> fChunk;
};

size_t collection_writer::source_item(uint32_t offset, uint32_t length, bool head) {
    auto found = fShared.find({offset, length});
    if (found != fShared.end())
        return found->second;
    item it;
    it.kind = item::SOURCE;
    it.key = offset;
    it.seq = fItems.size();
    it.offset = offset;
    it.length = length;
    it.head = head;
    fItems.push_back(std::move(it));
    fShared[{offset, length}] = fItems.size() - 1;
    return fItems.size() - 1;
}

int collection_writer::same_bytes(uint32_t offset, uint32_t length, const unsigned char* data,
                                  bool head) {
    for (uint64_t done = 0; done < length;) {
        size_t n = (size_t)std::min<uint64_t>(CHUNK, length - done);
        if (fSource.ReadAt((off_t)(offset + done), fChunk.get(), n) != (ssize_t)n)
            return -1;
        // head's checkSumAdjustment (bytes 8-11) is not compared: it is
        // written fresh either way.
        size_t skip = n, resume = n;
        if (head && done == 0) {
            skip = std::min<size_t>(8, n);
            resume = std::min<size_t>(12, n);
        }
        const unsigned char* mine = data + done;
        if (std::memcmp(fChunk.get(), mine, skip) != 0 ||
            std::memcmp(fChunk.get() + resume, mine + resume, n - resume) != 0)
            return 0;
        done += n;
    }
    return 1;
}

bool collection_writer::write_item(item& it) {
    static const unsigned char zeros[3] = {0, 0, 0};
    const uint64_t length = it.length;
    if (it.head) {
        it.headbytes.resize(length);
        if (it.kind == item::SOURCE) {
            if (length > 0 &&
                fSource.ReadAt(it.offset, it.headbytes.data(), length) != (ssize_t)length)
                return false;
        } else if (length > 0) {
            std::copy(it.data, it.data + length, it.headbytes.begin());
        }
        it.checksum = head_sum(it.headbytes);
        if (length > 0 &&
            fOut.WriteAt((off_t)it.pos, it.headbytes.data(), length) != (ssize_t)length)
            return false;
    } else {
        uint32_t sum = 0;
        for (uint64_t done = 0; done < length;) {
            size_t n = (size_t)std::min<uint64_t>(CHUNK, length - done);
            const unsigned char* bytes = it.data + done;
            if (it.kind == item::SOURCE) {
                if (fSource.ReadAt((off_t)(it.offset + done), fChunk.get(), n) != (ssize_t)n)
                    return false;
                bytes = fChunk.get();
            }
            // Chunks are whole words but for the last, so the sums add up.
            sum += byte_span(bytes, n).sum32();
            if (fOut.WriteAt((off_t)(it.pos + done), bytes, n) != (ssize_t)n)
                return false;
            done += n;
        }
        it.checksum = sum;
    }
    const size_t pad = (size_t)(align4(length) - length);
    return pad == 0 || fOut.WriteAt((off_t)(it.pos + length), zeros, pad) == (ssize_t)pad;
}

bool collection_writer::write_directory(size_t face) {
    const std::vector<face_entry>& entries = fEntries[face];
    const size_t n = entries.size();
    std::vector<unsigned char> dir(12 + 16 * n);
    byte_writer w(dir.data(), dir.size());
    uint16_t p = 1, log2p = 0;
    while (p * 2u <= n) {
        p *= 2;
        log2p++;
    }
    w.put32(0, fVersions[face]);
    w.put16(4, (uint16_t)n);
    w.put16(6, (uint16_t)(16 * p));
    w.put16(8, log2p);
    w.put16(10, (uint16_t)(16 * n - 16 * p));
    uint32_t sum = 0;
    size_t headitem = LAST;
    for (size_t i = 0; i < n; i++) {
        const item& it = fItems[entries[i].item];
        const size_t e = 12 + 16 * i;
        w.put32(e, entries[i].tag);
        w.put32(e + 4, it.checksum);
        w.put32(e + 8, (uint32_t)it.pos);
        w.put32(e + 12, it.length);
        sum += it.checksum;
        if (entries[i].tag == tag_of("head"))
            headitem = entries[i].item;
    }
    sum += w.span().sum32();
    // A head shared by several faces keeps the value of the last of them.
    if (headitem != LAST)
        fAdjustments[headitem] = 0xB1B0AFBAu - sum;
    const item& at = fItems[fDirectories[face]];
    return fOut.WriteAt((off_t)at.pos, dir.data(), dir.size()) == (ssize_t)dir.size();
}

int collection_writer::run(std::string* why) {
    fChunk.reset(new (std::nothrow) unsigned char[CHUNK]);
    if (!fChunk)
        return fail(why, "out of memory");
    const std::vector<collection_face>& faces = fCollection.faces();
    fEntries.resize(faces.size());
    fVersions.resize(faces.size());
    fDirectories.resize(faces.size());
    for (size_t f = 0; f < faces.size(); f++) {
        item dir;
        dir.kind = item::DIRECTORY;
        dir.key = faces[f].diroffset;
        dir.seq = fItems.size();
        dir.face = f;
        fItems.push_back(std::move(dir));
        fDirectories[f] = fItems.size() - 1;
        if (f == fFace) {
            fVersions[f] = fEdited.version;
            fItems.back().length = (uint32_t)(12 + 16 * fEdited.tables.size());
            continue;
        }
        fVersions[f] = faces[f].sfntversion;
        fItems.back().length = (uint32_t)(12 + 16 * faces[f].tables.size());
        for (const collection_table& t : faces[f].tables)
            fEntries[f].push_back(
                {t.tag, source_item(t.offset, t.length, t.tag == tag_of("head"))});
    }
    if (fEdited.tables.size() > 0xFFFF)
        return fail(why, "the face's tables could not be copied");
    for (const face_tables::table& t : fEdited.tables) {
        const bool head = t.tag == tag_of("head");
        const collection_table* old = faces[fFace].find(t.tag);
        const bool fits = old && old->length == t.length;
        if (!t.data) {
            // Left as loaded: the file's own table, read from there.
            if (!fits)
                return fail(why, "the face's tables could not be copied");
            fEntries[fFace].push_back({t.tag, source_item(old->offset, old->length, head)});
            continue;
        }
        if (fits) {
            // Bytes written and then set back stay shared.
            int same = same_bytes(old->offset, t.length, t.data, head);
            if (same < 0)
                return fail(why, "the collection's file cannot be read");
            if (same) {
                fEntries[fFace].push_back({t.tag, source_item(old->offset, t.length, head)});
                continue;
            }
        }
        item it;
        it.kind = item::IMAGE;
        it.key = old ? old->offset : LAST;
        it.seq = fItems.size();
        it.data = t.data;
        it.length = t.length;
        it.head = head;
        fItems.push_back(std::move(it));
        fEntries[fFace].push_back({t.tag, fItems.size() - 1});
    }

    const bool v2 = fCollection.version() >> 16 == 2;
    const uint64_t headerlength = 12 + 4 * (uint64_t)faces.size() + (v2 ? 12 : 0);
    std::vector<size_t> order(fItems.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        const item &x = fItems[a], &y = fItems[b];
        return x.key != y.key ? x.key < y.key : x.seq < y.seq;
    });
    uint64_t pos = headerlength;
    for (size_t i : order) {
        pos = align4(pos);
        fItems[i].pos = pos;
        pos += fItems[i].length;
    }
    const uint64_t total = align4(pos);
    if (total > 0xFFFFFFFFu)
        return fail(why, "the collection would pass 4 GiB");

    for (size_t i : order)
        if (fItems[i].kind != item::DIRECTORY && !write_item(fItems[i]))
            return fail(why, "the collection could not be copied (is the disk full?)");
    for (size_t f = 0; f < faces.size(); f++)
        if (!write_directory(f))
            return fail(why, "writing the file failed");
    for (const auto& adjustment : fAdjustments) {
        const item& it = fItems[adjustment.first];
        unsigned char word[4];
        byte_writer(word, 4).put32(0, adjustment.second);
        if (it.length >= 12 && fOut.WriteAt((off_t)(it.pos + 8), word, 4) != 4)
            return fail(why, "writing the file failed");
    }

    std::vector<unsigned char> header(headerlength);
    byte_writer h(header.data(), header.size());
    h.put32(0, tag_of("ttcf"));
    h.put32(4, fCollection.version());
    h.put32(8, (uint32_t)faces.size());
    for (size_t f = 0; f < faces.size(); f++)
        h.put32(12 + 4 * f, (uint32_t)fItems[fDirectories[f]].pos);
    // A version-2 header's signature fields stay zero: the signature no
    // longer matches the bytes.
    if (fOut.WriteAt(0, header.data(), header.size()) != (ssize_t)header.size() ||
        fOut.SetSize((off_t)total) != B_OK)
        return fail(why, "writing the file failed");
    return 0;
}

int copy_whole(BFile& source, uint64_t size, BFile& out, std::string* why) {
    std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[CHUNK]);
    if (!chunk) {
        *why = "out of memory";
        return 1;
    }
    for (uint64_t done = 0; done < size;) {
        size_t n = (size_t)std::min<uint64_t>(CHUNK, size - done);
        if (source.ReadAt((off_t)done, chunk.get(), n) != (ssize_t)n) {
            *why = "the collection's file cannot be read";
            return 1;
        }
        if (out.WriteAt((off_t)done, chunk.get(), n) != (ssize_t)n) {
            *why = "writing the file failed (is the disk full?)";
            return 1;
        }
        done += n;
    }
    if (out.SetSize((off_t)size) != B_OK) {
        *why = "writing the file failed";
        return 1;
    }
    return 0;
}

} // namespace

bool image_tables(const font_image& image, face_tables* out) {
    byte_span img(image.bytes.get(), image.size);
    const size_t n = img.u16(4);
    if (!img.has(0, 12 + 16 * n))
        return false;
    out->version = img.u32(0);
    out->tables.clear();
    out->store.reset();
    for (size_t i = 0; i < n; i++) {
        const size_t e = 12 + 16 * i;
        const uint32_t offset = img.u32(e + 8), length = img.u32(e + 12);
        if (!img.has(offset, length))
            return false;
        out->tables.push_back({img.u32(e), length, img.data() + offset});
    }
    return true;
}

int write_collection(BFile& source, const font_collection& collection, size_t face,
                     const face_tables* edited, BFile& out, bool* droppedsignature,
                     std::string* why) {
    std::string ignored;
    if (!why)
        why = &ignored;
    if (droppedsignature)
        *droppedsignature = false;
    if (face >= collection.faces().size()) {
        *why = "the collection has no such face";
        return 1;
    }
    // The file as it was read: same size, or it changed under the editor.
    off_t size = 0;
    if (source.GetSize(&size) != B_OK || (uint64_t)size != collection.file_size()) {
        *why = "the collection's file changed since it was opened";
        return 1;
    }
    if (!edited)
        return copy_whole(source, collection.file_size(), out, why);
    collection_writer writer(source, collection, face, *edited, out);
    if (writer.run(why) != 0)
        return 1;
    if (droppedsignature)
        *droppedsignature = collection.dsig_tag() != 0 && collection.dsig_length() != 0;
    return 0;
}
