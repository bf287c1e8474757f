#include "UTF8.h"

#include <cerrno>
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
    encoding_info from;
    if (!lookup(srcEncoding, &from))
        return B_ERROR;
    return convert(from, {"UTF-8", scheme::utf8, 1}, src, srcLen, dst, dstLen, state, substitute);
}

status_t convert_from_utf8(uint32 dstEncoding, const char* src, int32* srcLen, char* dst,
                           int32* dstLen, int32* state, char substitute) {
    encoding_info to;
    if (!lookup(dstEncoding, &to))
        return B_ERROR;
    return convert({"UTF-8", scheme::utf8, 1}, to, src, srcLen, dst, dstLen, state, substitute);
}
