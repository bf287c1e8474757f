#include "app/report.h"

#include <Alert.h>

#include <cstdio>
#include <cstring>

std::string status_text(status_t status) {
    // The kit's file errors are negated system error numbers.
    if (status < 0 && status > -4096)
        return strerror(-status);
    char text[32];
    snprintf(text, sizeof text, "error %d", (int)status);
    return text;
}

void report_failure(const std::string& text) {
    fprintf(stderr, "tavrel: %s\n", text.c_str());
    BAlert* alert =
        new BAlert("", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->Go();
}
