#include "font/fvar.h"

#include <algorithm>

namespace {

const size_t AXES_OFFSET = 4, AXIS_COUNT = 8, AXIS_SIZE = 10, INSTANCE_COUNT = 12,
             INSTANCE_SIZE = 14, HEADER = 16, AXIS_RECORD = 20;

double fixed(const byte_span& b, size_t off) {
    return b.s32(off) / 65536.0;
}

// Where the axis records start and how large each record is; false when
// the header's sizes cannot hold what they describe.
struct layout {
    size_t axes, axissize, instances, instancesize;
    int axiscount, instancecount;
};

bool read_layout(const byte_span& b, layout* l) {
    if (!b.has(0, HEADER))
        return false;
    l->axes = b.u16(AXES_OFFSET);
    l->axissize = b.u16(AXIS_SIZE);
    l->instancesize = b.u16(INSTANCE_SIZE);
    const size_t axes = b.u16(AXIS_COUNT);
    if (l->axissize < AXIS_RECORD || l->instancesize < 4 + 4 * axes)
        return false;
    // Only records that lie wholly inside the table count.
    size_t room = l->axes <= b.size() ? b.size() - l->axes : 0;
    l->axiscount = (int)std::min(axes, room / l->axissize);
    l->instances = l->axes + l->axissize * axes;
    room = l->instances <= b.size() ? b.size() - l->instances : 0;
    l->instancecount = l->axiscount == (int)axes
                           ? (int)std::min<size_t>(b.u16(INSTANCE_COUNT), room / l->instancesize)
                           : 0;
    return true;
}

} // namespace

ttf_fvar::ttf_fvar(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("fvar"), data, length) {}

int ttf_fvar::axis_count() const {
    layout l;
    return read_layout(bytes(), &l) ? l.axiscount : 0;
}

int ttf_fvar::instance_count() const {
    layout l;
    return read_layout(bytes(), &l) ? l.instancecount : 0;
}

bool ttf_fvar::axis(int i, fvar_axis* out) const {
    layout l;
    const byte_span b = bytes();
    if (!read_layout(b, &l) || i < 0 || i >= l.axiscount)
        return false;
    const size_t at = l.axes + l.axissize * (size_t)i;
    out->tag = b.u32(at);
    out->min = fixed(b, at + 4);
    out->def = fixed(b, at + 8);
    out->max = fixed(b, at + 12);
    out->nameid = b.u16(at + 18);
    return true;
}

bool ttf_fvar::instance(int i, fvar_instance* out) const {
    layout l;
    const byte_span b = bytes();
    if (!read_layout(b, &l) || i < 0 || i >= l.instancecount)
        return false;
    const size_t at = l.instances + l.instancesize * (size_t)i;
    out->nameid = b.u16(at);
    out->coordinates.clear();
    for (int a = 0; a < l.axiscount; a++)
        out->coordinates.push_back(fixed(b, at + 4 + 4 * (size_t)a));
    return true;
}
