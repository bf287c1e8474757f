// Checked big-endian access to file bytes. Every read of a table's or a
// file's bytes goes through these helpers: a read outside the buffer gives 0
// (and `has` says so beforehand), a write outside it does nothing.
#ifndef TAVREL_FONT_BYTES_H
#define TAVREL_FONT_BYTES_H

#include <endian.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

// True when [off, off + n) lies inside a buffer of `size` bytes, without
// overflowing for any off and n.
inline bool in_range(size_t size, size_t off, size_t n) {
    return off <= size && n <= size - off;
}

// A read-only view of bytes with their length.
class byte_span {
  public:
    byte_span() = default;
    byte_span(const unsigned char* data, size_t size) : fData(data), fSize(data ? size : 0) {}

    const unsigned char* data() const { return fData; }
    size_t size() const { return fSize; }
    bool has(size_t off, size_t n) const { return in_range(fSize, off, n); }

    // The sub-range [off, off + len); empty when it does not fit.
    byte_span slice(size_t off, size_t len) const {
        if (!has(off, len))
            return byte_span();
        return byte_span(fData + off, len);
    }
    // Everything from `off` on; empty when off is past the end.
    byte_span from(size_t off) const {
        if (off > fSize)
            return byte_span();
        return byte_span(fData + off, fSize - off);
    }

    uint8_t u8(size_t off) const { return has(off, 1) ? fData[off] : 0; }
    int8_t s8(size_t off) const { return (int8_t)u8(off); }
    uint16_t u16(size_t off) const {
        if (!has(off, 2))
            return 0;
        return (uint16_t)((fData[off] << 8) | fData[off + 1]);
    }
    int16_t s16(size_t off) const { return (int16_t)u16(off); }
    uint32_t u32(size_t off) const {
        if (!has(off, 4))
            return 0;
        return ((uint32_t)fData[off] << 24) | ((uint32_t)fData[off + 1] << 16) |
               ((uint32_t)fData[off + 2] << 8) | (uint32_t)fData[off + 3];
    }
    int32_t s32(size_t off) const { return (int32_t)u32(off); }
    uint64_t u64(size_t off) const {
        if (!has(off, 8))
            return 0;
        return ((uint64_t)u32(off) << 32) | u32(off + 4);
    }

    // The wrapping sum of the big-endian 32-bit words (the TrueType table
    // checksum); a last, partial word counts as if padded with zeros.
    uint32_t sum32() const {
        uint32_t sum = 0;
        const size_t whole = fSize & ~(size_t)3;
        for (size_t off = 0; off < whole; off += 4) {
            uint32_t word;
            std::memcpy(&word, fData + off, 4);
            sum += be32toh(word);
        }
        for (size_t off = whole; off < fSize; off++)
            sum += (uint32_t)fData[off] << (24 - 8 * (off - whole));
        return sum;
    }

    // A 64-bit fingerprint of the bytes and their count, for telling
    // whether a run of bytes changed: two different runs share one only by
    // chance (about one in 2^64).
    uint64_t fingerprint() const {
        const uint64_t K1 = 0x9E3779B185EBCA87ull, K2 = 0xC2B2AE3D27D4EB4Full;
        uint64_t h = K1 ^ (fSize * K2);
        size_t off = 0;
        for (; off + 8 <= fSize; off += 8) {
            uint64_t word;
            std::memcpy(&word, fData + off, 8);
            h += word * K2;
            h = ((h << 31) | (h >> 33)) * K1;
        }
        uint64_t tail = 0;
        for (; off < fSize; off++)
            tail = tail << 8 | fData[off];
        h += tail * K2;
        h = ((h << 31) | (h >> 33)) * K1;
        h ^= h >> 33;
        h *= K2;
        h ^= h >> 29;
        return h;
    }

  private:
    const unsigned char* fData = nullptr;
    size_t fSize = 0;
};

// Told of every write a byte_writer is about to make, before the bytes
// change (a table's edit history keeps the bytes that are overwritten).
class write_observer {
  public:
    virtual void before_write(size_t off, size_t n) = 0;

  protected:
    ~write_observer() = default;
};

// Writable counterpart: stores big-endian values inside a buffer of known
// size. Each put returns false, and writes nothing, when it does not fit.
class byte_writer {
  public:
    byte_writer(unsigned char* data, size_t size, write_observer* observer = nullptr)
        : fData(data), fSize(data ? size : 0), fObserver(observer) {}

    unsigned char* data() const { return fData; }
    size_t size() const { return fSize; }
    bool has(size_t off, size_t n) const { return in_range(fSize, off, n); }
    byte_span span() const { return byte_span(fData, fSize); }

    bool put8(size_t off, uint8_t v) {
        if (!has(off, 1))
            return false;
        notify(off, 1);
        fData[off] = v;
        return true;
    }
    bool put16(size_t off, uint16_t v) {
        if (!has(off, 2))
            return false;
        notify(off, 2);
        fData[off] = (unsigned char)(v >> 8);
        fData[off + 1] = (unsigned char)v;
        return true;
    }
    bool put32(size_t off, uint32_t v) {
        if (!has(off, 4))
            return false;
        notify(off, 4);
        fData[off] = (unsigned char)(v >> 24);
        fData[off + 1] = (unsigned char)(v >> 16);
        fData[off + 2] = (unsigned char)(v >> 8);
        fData[off + 3] = (unsigned char)v;
        return true;
    }
    bool put64(size_t off, uint64_t v) {
        if (!has(off, 8))
            return false;
        notify(off, 8);
        write_observer* observer = fObserver;
        fObserver = nullptr;
        put32(off, (uint32_t)(v >> 32));
        put32(off + 4, (uint32_t)v);
        fObserver = observer;
        return true;
    }

  private:
    void notify(size_t off, size_t n) {
        if (fObserver)
            fObserver->before_write(off, n);
    }

    unsigned char* fData;
    size_t fSize;
    write_observer* fObserver;
};

// Builds a tag from its four characters: tag_of("head") == 0x68656164.
constexpr uint32_t tag_of(const char (&s)[5]) {
    return ((uint32_t)(unsigned char)s[0] << 24) | ((uint32_t)(unsigned char)s[1] << 16) |
           ((uint32_t)(unsigned char)s[2] << 8) | (uint32_t)(unsigned char)s[3];
}

#endif
