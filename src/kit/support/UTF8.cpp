#include "UTF8.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace {

enum class scheme { utf8, utf16be, sjis };

// The iconv name of an encoding, its kind and its code unit size.
struct encoding_info {
    const char* name;
    scheme kind;
    size_t unit;
};

// How many input bytes make up the character at `in` that could not be
// converted, so that one unconvertible character gives one substitute.
size_t bad_char_length(scheme kind, const unsigned char* in, size_t left) {
    size_t n = 1;
    switch (kind) {
    case scheme::utf8: {
        unsigned char lead = in[0];
        if (lead >= 0xC2 && lead <= 0xDF)
            n = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            n = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            n = 4;
        if (n > left)
            return 1;
        for (size_t i = 1; i < n; i++) {
            if ((in[i] & 0xC0) != 0x80)
                return 1;
        }
        return n;
    }
    case scheme::utf16be:
        n = 2;
        break;
    case scheme::sjis: {
        unsigned char lead = in[0];
        bool double_lead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        if (double_lead && left >= 2 && in[1] >= 0x40 && in[1] <= 0xFC && in[1] != 0x7F)
            n = 2;
        break;
    }
    }
    return n < left ? n : left;
}

// Mac OS Roman's upper half (0x80-0xFF) as Apple maps it today (0xDB is
// the euro sign); the lower half is ASCII. iconv's MACINTOSH differs from
// it at 0xC6 and 0xF0, so the table is our own.
const uint16_t MAC_ROMAN_HIGH[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

size_t put_utf8(uint32_t c, char* out) {
    if (c < 0x80) {
        out[0] = (char)c;
        return 1;
    }
    if (c < 0x800) {
        out[0] = (char)(0xC0 | (c >> 6));
        out[1] = (char)(0x80 | (c & 0x3F));
        return 2;
    }
    out[0] = (char)(0xE0 | (c >> 12));
    out[1] = (char)(0x80 | ((c >> 6) & 0x3F));
    out[2] = (char)(0x80 | (c & 0x3F));
    return 3;
}

status_t mac_roman_to_utf8(const char* src, int32* srcLen, char* dst, int32* dstLen) {
    int32 in = 0, out = 0;
    while (in < *srcLen) {
        unsigned char b = (unsigned char)src[in];
        char buf[3];
        size_t n = put_utf8(b < 0x80 ? b : MAC_ROMAN_HIGH[b - 0x80], buf);
        if ((size_t)(*dstLen - out) < n)
            break;
        std::memcpy(dst + out, buf, n);
        out += (int32)n;
        in++;
    }
    *srcLen = in;
    *dstLen = out;
    return B_OK;
}

// The character of the UTF-8 sequence at `in`: its length, 0 when the text
// ends inside it, or -1 when it is no UTF-8 (a lone or overlong sequence, a
// surrogate, a value past U+10FFFF).
int utf8_char(const unsigned char* in, size_t left, uint32_t* c) {
    unsigned char lead = in[0];
    size_t n = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
    if (n == 0)
        return -1;
    uint32_t v = n == 1 ? lead : lead & (0x7F >> n);
    for (size_t i = 1; i < n; i++) {
        if (i >= left)
            return 0;
        if ((in[i] & 0xC0) != 0x80)
            return -1;
        v = (v << 6) | (in[i] & 0x3F);
    }
    static const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < least[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return -1;
    *c = v;
    return (int)n;
}

status_t mac_roman_from_utf8(const char* src, int32* srcLen, char* dst, int32* dstLen,
                             char substitute) {
    const unsigned char* in = (const unsigned char*)src;
    size_t at = 0, left = (size_t)*srcLen;
    int32 out = 0;
    while (at < left && out < *dstLen) {
        uint32_t c = 0;
        int n = utf8_char(in + at, left - at, &c);
        if (n == 0)
            break;
        char b = substitute;
        if (n < 0) {
            n = (int)bad_char_length(scheme::utf8, in + at, left - at);
        } else if (c < 0x80) {
            b = (char)c;
        } else {
            for (int k = 0; k < 128; k++)
                if (MAC_ROMAN_HIGH[k] == c)
                    b = (char)(0x80 + k);
        }
        dst[out++] = b;
        at += (size_t)n;
    }
    *srcLen = (int32)at;
    *dstLen = out;
    return B_OK;
}

bool lookup(uint32 encoding, encoding_info* info) {
    switch (encoding) {
    case B_UNICODE_CONVERSION:
        *info = {"UTF-16BE", scheme::utf16be, 2};
        return true;
    case B_SJIS_CONVERSION:
        // glibc's SHIFT_JIS reads 0x5C as the yen sign and 0x7E as an
        // overline, so ASCII text would not come back as typed.
        *info = {"CP932", scheme::sjis, 1};
        return true;
    default:
        return false;
    }
}

status_t convert(const encoding_info& from, const encoding_info& to, const char* src, int32* srcLen,
                 char* dst, int32* dstLen, int32* state, char substitute) {
    if (!src || !srcLen || !dst || !dstLen || *srcLen < 0 || *dstLen < 0)
        return B_BAD_VALUE;
    iconv_t cd = iconv_open(to.name, from.name);
    if (cd == (iconv_t)-1)
        return B_ERROR;

    // The substitute as the output encoding writes it.
    char sub[2];
    size_t subLen = 1;
    sub[0] = substitute;
    if (to.unit == 2) {
        sub[0] = 0;
        sub[1] = substitute;
        subLen = 2;
    }

    char* in = const_cast<char*>(src);
    size_t inLeft = (size_t)*srcLen;
    char* out = dst;
    size_t outLeft = (size_t)*dstLen;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != (size_t)-1)
            break;
        // E2BIG: the output is full. EINVAL: the input ends inside a
        // character; it stays unconsumed for the caller's next call.
        if (errno != EILSEQ || outLeft < subLen)
            break;
        std::memcpy(out, sub, subLen);
        out += subLen;
        outLeft -= subLen;
        size_t skip = bad_char_length(from.kind, (const unsigned char*)in, inLeft);
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);

    *srcLen = (int32)(in - src);
    *dstLen = (int32)(out - dst);
    if (state)
        *state = 0;
    return B_OK;
}

} // namespace

status_t convert_to_utf8(uint32 srcEncoding, const char* src, int32* srcLen, char* dst,
                         int32* dstLen, int32* state, char substitute) {
    if (srcEncoding == B_MAC_ROMAN_CONVERSION) {
        if (!src || !srcLen || !dst || !dstLen || *srcLen < 0 || *dstLen < 0)
            return B_BAD_VALUE;
        if (state)
            *state = 0;
        return mac_roman_to_utf8(src, srcLen, dst, dstLen);
    }
    encoding_info from;
    if (!lookup(srcEncoding, &from))
        return B_ERROR;
    return convert(from, {"UTF-8", scheme::utf8, 1}, src, srcLen, dst, dstLen, state, substitute);
}

status_t convert_from_utf8(uint32 dstEncoding, const char* src, int32* srcLen, char* dst,
                           int32* dstLen, int32* state, char substitute) {
    if (dstEncoding == B_MAC_ROMAN_CONVERSION) {
        if (!src || !srcLen || !dst || !dstLen || *srcLen < 0 || *dstLen < 0)
            return B_BAD_VALUE;
        if (state)
            *state = 0;
        return mac_roman_from_utf8(src, srcLen, dst, dstLen, substitute);
    }
    encoding_info to;
    if (!lookup(dstEncoding, &to))
        return B_ERROR;
    return convert({"UTF-8", scheme::utf8, 1}, to, src, srcLen, dst, dstLen, state, substitute);
}
