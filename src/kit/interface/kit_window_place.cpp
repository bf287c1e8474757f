#include "kit/interface/kit_window_place.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kit {

namespace {

// One axis: the span [lo, hi] moved (and cut to no less than `least`) so
// that it lies within [from, to] where it can.
void fit_span(float* lo, float* hi, float from, float to, float least) {
    float length = *hi - *lo;
    float room = to - from;
    if (length > room)
        length = std::max(room, least);
    float start = std::min(*lo, to - length);
    start = std::max(start, from);
    *lo = start;
    *hi = start + length;
}

} // namespace

BRect fit_on_screen(BRect frame, BRect screen, float minWidth, float minHeight) {
    if (!frame.IsValid() || !screen.IsValid())
        return frame;
    fit_span(&frame.left, &frame.right, screen.left, screen.right, minWidth);
    fit_span(&frame.top, &frame.bottom, screen.top, screen.bottom, minHeight);
    return frame;
}

std::string frame_text(BRect frame) {
    return std::to_string(std::lround(frame.left)) + " " + std::to_string(std::lround(frame.top)) +
           " " + std::to_string(std::lround(frame.right)) + " " +
           std::to_string(std::lround(frame.bottom));
}

bool parse_frame_text(const std::string& text, BRect* frame) {
    long v[4];
    const char* at = text.c_str();
    for (long& n : v) {
        char* end = nullptr;
        errno = 0;
        n = std::strtol(at, &end, 10);
        if (end == at || errno != 0 || n < -100000 || n > 100000)
            return false;
        at = end;
    }
    if (*at != '\0')
        return false;
    const long width = v[2] - v[0], height = v[3] - v[1];
    if (width < 0 || height < 0 || width >= 16384 || height >= 16384)
        return false;
    *frame = BRect((float)v[0], (float)v[1], (float)v[2], (float)v[3]);
    return true;
}

} // namespace kit
