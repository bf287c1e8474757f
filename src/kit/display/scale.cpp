#include "kit/display/scale.h"

#include "kit/interface/kit_painter.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace kit {

namespace {

std::atomic<float> gScale{1.0f};

// A whole, finite decimal number; surrounding blanks are allowed.
bool parse_number(const char* text, double* value) {
    if (!text)
        return false;
    while (std::isspace((unsigned char)*text))
        text++;
    if (!*text)
        return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text)
        return false;
    while (std::isspace((unsigned char)*end))
        end++;
    if (*end || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool acceptable(float scale) {
    return std::isfinite(scale) && scale >= 1.0f && scale <= 4.0f;
}

} // namespace

float choose_scale(const char* tavrel, const char* gdk, const char* xft_dpi) {
    double v = 0;
    if (parse_number(tavrel, &v) && acceptable((float)v))
        return (float)v;
    // The desktop's factor is a whole number, as GTK takes it.
    if (parse_number(gdk, &v) && v == std::floor(v) && acceptable((float)v))
        return (float)v;
    // A resolution from 48 to 480 dots per inch is a screen; anything
    // else is a typing error.
    if (parse_number(xft_dpi, &v) && v >= 48 && v <= 480) {
        const float steps[] = {1.0f, 1.5f, 2.0f, 3.0f};
        double ratio = v / 96.0;
        float best = 1.0f;
        for (float step : steps) {
            // Halfway between two steps takes the smaller one.
            if (std::fabs(ratio - step) < std::fabs(ratio - best) - 1e-9)
                best = step;
        }
        return best;
    }
    return 1.0f;
}

float display_scale() {
    return gScale.load();
}

void set_display_scale(float scale) {
    gScale.store(acceptable(scale) ? scale : 1.0f);
}

namespace {

int32 device_edge(int32 logical, float scale) {
    return (int32)std::lround((double)logical * scale);
}

} // namespace

pixel_rect to_device(const pixel_rect& logical, float scale) {
    if (logical.empty() || scale == 1.0f)
        return logical;
    return pixel_rect{device_edge(logical.left, scale), device_edge(logical.top, scale),
                      device_edge(logical.right + 1, scale) - 1,
                      device_edge(logical.bottom + 1, scale) - 1};
}

int32 device_side(int32 logical, float scale) {
    return std::max<int32>(1, device_edge(logical, scale));
}

} // namespace kit
