#include <UTF8.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Converts all of `in` with a roomy buffer and returns the output bytes.
std::string to_utf8(uint32 encoding, const std::string& in, int32* consumed = nullptr) {
    char out[1024];
    int32 srcLen = (int32)in.size(), dstLen = sizeof out, state = 0;
    EXPECT_EQ(convert_to_utf8(encoding, in.data(), &srcLen, out, &dstLen, &state), B_OK);
    if (consumed)
        *consumed = srcLen;
    return std::string(out, (size_t)dstLen);
}

std::string from_utf8(uint32 encoding, const std::string& in, int32* consumed = nullptr) {
    char out[1024];
    int32 srcLen = (int32)in.size(), dstLen = sizeof out, state = 0;
    EXPECT_EQ(convert_from_utf8(encoding, in.data(), &srcLen, out, &dstLen, &state), B_OK);
    if (consumed)
        *consumed = srcLen;
    return std::string(out, (size_t)dstLen);
}

} // namespace

TEST(UTF8, UnicodeIsBigEndianAndRoundTripsOutsideTheBmpAsSurrogatePairs) {
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // A é € U+1F600
    const std::string stored("\x00\x41\x00\xE9\x20\xAC\xD8\x3D\xDE\x00", 10);
    EXPECT_EQ(from_utf8(B_UNICODE_CONVERSION, text), stored);
    EXPECT_EQ(to_utf8(B_UNICODE_CONVERSION, stored), text);
}

TEST(UTF8, ShiftJisKeepsAsciiAndRoundTripsKana) {
    const std::string text = "a\\~\xE3\x81\x82"; // a \ ~ あ
    EXPECT_EQ(from_utf8(B_SJIS_CONVERSION, text), "a\\~\x82\xA0");
    EXPECT_EQ(to_utf8(B_SJIS_CONVERSION, "a\\~\x82\xA0"), text);
}

TEST(UTF8, MacRomanMapsEveryByteAsAppleDoesAndBack) {
    std::string all;
    for (int b = 0; b < 256; b++)
        all += (char)b;
    const std::string text = to_utf8(B_MAC_ROMAN_CONVERSION, all);
    EXPECT_EQ(from_utf8(B_MAC_ROMAN_CONVERSION, text), all);
    // é, ™, ∆ (not Greek Δ), € (not ¤), the Apple logo's private-use point.
    const struct {
        unsigned char byte;
        const char* utf8;
    } spots[] = {{0x8E, "\xC3\xA9"},     {0xAA, "\xE2\x84\xA2"}, {0xC6, "\xE2\x88\x86"},
                 {0xDB, "\xE2\x82\xAC"}, {0xF0, "\xEF\xA3\xBF"}, {'A', "A"}};
    for (const auto& s : spots) {
        EXPECT_EQ(to_utf8(B_MAC_ROMAN_CONVERSION, std::string(1, (char)s.byte)), s.utf8);
        EXPECT_EQ(from_utf8(B_MAC_ROMAN_CONVERSION, s.utf8), std::string(1, (char)s.byte));
    }
    // No form for 漢 or Greek Δ; a text cut inside a character is left
    // unconsumed; a full output stops at a character.
    EXPECT_EQ(from_utf8(B_MAC_ROMAN_CONVERSION, "a\xE6\xBC\xA2\xCE\x94"
                                                "b"),
              "a\x1A\x1A"
              "b");
    int32 consumed = 0;
    EXPECT_EQ(from_utf8(B_MAC_ROMAN_CONVERSION, "a\xC3", &consumed), "a");
    EXPECT_EQ(consumed, 1);
    char out[2];
    int32 srcLen = 2, dstLen = 2, state = 0;
    EXPECT_EQ(convert_to_utf8(B_MAC_ROMAN_CONVERSION, "a\x8E", &srcLen, out, &dstLen, &state),
              B_OK);
    EXPECT_EQ(srcLen, 1);
    EXPECT_EQ(dstLen, 1);
}

TEST(UTF8, EachUnconvertibleCharacterBecomesOneSubstitute) {
    // An emoji has no Shift-JIS form: one substitute, not one per byte.
    EXPECT_EQ(from_utf8(B_SJIS_CONVERSION, "x\xF0\x9F\x98\x80y"), "x\x1Ay");
    // A stray continuation byte in UTF-8, in the 16-bit form.
    EXPECT_EQ(from_utf8(B_UNICODE_CONVERSION, "x\x80y"), std::string("\0x\0\x1A\0y", 6));
    // A lone low surrogate read back.
    EXPECT_EQ(to_utf8(B_UNICODE_CONVERSION, std::string("\xDC\x00\x00z", 4)), "\x1Az");
    // A caller's own substitute.
    char out[8];
    int32 srcLen = 3, dstLen = 8, state = 0;
    convert_from_utf8(B_SJIS_CONVERSION, "\xF0\x9F\x98\x80", &srcLen, out, &dstLen, &state, '?');
    EXPECT_EQ(std::string(out, (size_t)dstLen), "");
    EXPECT_EQ(srcLen, 0); // cut short inside the character: nothing consumed
    srcLen = 4;
    dstLen = 8;
    convert_from_utf8(B_SJIS_CONVERSION, "\xF0\x9F\x98\x80", &srcLen, out, &dstLen, &state, '?');
    EXPECT_EQ(std::string(out, (size_t)dstLen), "?");
}

TEST(UTF8, StopsAtACharacterBoundaryWhenTheOutputIsFull) {
    // "aé" in 16-bit units into 2 bytes of UTF-8: é needs 2, only 1 is left.
    const std::string stored("\x00\x61\x00\xE9", 4);
    char out[2];
    int32 srcLen = 4, dstLen = 2, state = 0;
    EXPECT_EQ(convert_to_utf8(B_UNICODE_CONVERSION, stored.data(), &srcLen, out, &dstLen, &state),
              B_OK);
    EXPECT_EQ(dstLen, 1);
    EXPECT_EQ(srcLen, 2);
    EXPECT_EQ(out[0], 'a');
}

TEST(UTF8, InputEndingInsideACharacterIsLeftUnconsumed) {
    int32 consumed = 0;
    EXPECT_EQ(from_utf8(B_UNICODE_CONVERSION, "a\xE3\x81", &consumed), std::string("\0a", 2));
    EXPECT_EQ(consumed, 1);
    EXPECT_EQ(to_utf8(B_UNICODE_CONVERSION, std::string("\0b\xD8\x3D", 4), &consumed), "b");
    EXPECT_EQ(consumed, 2);
}

TEST(UTF8, RefusesUnknownEncodingsAndBadArguments) {
    char out[4];
    int32 srcLen = 1, dstLen = 4, state = 0;
    EXPECT_EQ(convert_to_utf8(B_EUC_CONVERSION, "a", &srcLen, out, &dstLen, &state), B_ERROR);
    EXPECT_EQ(convert_to_utf8(B_UNICODE_CONVERSION, nullptr, &srcLen, out, &dstLen, &state),
              B_BAD_VALUE);
    srcLen = -1;
    EXPECT_EQ(convert_from_utf8(B_SJIS_CONVERSION, "a", &srcLen, out, &dstLen, &state),
              B_BAD_VALUE);
}
