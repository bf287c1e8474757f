#include "font/head.h"

namespace {

const size_t VERSION = 0, CHECKSUM_ADJUSTMENT = 8, MAGIC = 12, FLAGS = 16, UNITS_PER_EM = 18,
             CREATED = 20, MODIFIED = 28, XMIN = 36, YMIN = 38, XMAX = 40, YMAX = 42,
             LOWEST_REC_PPEM = 46, DIRECTION_HINT = 48, INDEX_TO_LOC_FORMAT = 50;

} // namespace

ttf_head::ttf_head(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("head"), data, length), epoch1904(EPOCH_1904_UTC) {
    if (!data)
        create_default();
}

void ttf_head::create_default() {
    replace_data(malloc32(HEAD_LENGTH), HEAD_LENGTH);
    byte_writer w = writer();
    w.put32(VERSION, 0x00010000);
    w.put32(MAGIC, 0x5F0F3CF5);
    w.put16(FLAGS, 1);
    w.put16(UNITS_PER_EM, 512);
    w.put16(XMAX, 511);
    w.put16(YMAX, 511);
    w.put16(LOWEST_REC_PPEM, 6);
    w.put16(DIRECTION_HINT, 1);
    w.put16(INDEX_TO_LOC_FORMAT, 1);
}

unsigned ttf_head::unitsperem() const {
    return bytes().u16(UNITS_PER_EM);
}

bool ttf_head::is32loca() const {
    return bytes().s16(INDEX_TO_LOC_FORMAT) == 1;
}

void ttf_head::set_is32loca(bool is32) {
    writer().put16(INDEX_TO_LOC_FORMAT, is32 ? 1 : 0);
}

BRect ttf_head::bounds() const {
    byte_span b = bytes();
    return BRect(b.s16(XMIN), b.s16(YMAX), b.s16(XMAX), b.s16(YMIN));
}

void ttf_head::update() {
    // The full 64-bit count is written: it equals the 32-bit one until
    // 2040 and keeps later dates right instead of wrapping back to 1904.
    time_t now = time(nullptr);
    uint64_t stamp = now > epoch1904 ? (uint64_t)(now - epoch1904) : 0;
    byte_writer w = writer();
    if (bytes().u64(CREATED) == 0)
        w.put64(CREATED, stamp);
    w.put64(MODIFIED, stamp);
}

void ttf_head::setsum(unsigned long v) {
    writer().put32(CHECKSUM_ADJUSTMENT, (uint32_t)(0xB1B0AFBAu - (uint32_t)v));
}
