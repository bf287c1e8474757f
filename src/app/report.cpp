#include "app/report.h"

#include "app/messages.h"

#include <Alert.h>
#include <AppDefs.h>

#include <cstdio>
#include <cstring>
#include <new>

std::string status_text(status_t status) {
    // The kit's file errors are negated system error numbers.
    if (status < 0 && status > -4096)
        return strerror(-status);
    char text[32];
    snprintf(text, sizeof text, "error %d", (int)status);
    return text;
}

void report_failure(const std::string& text, bool wait) {
    fprintf(stderr, "tavrel: %s\n", text.c_str());
    BAlert* alert = new BAlert("tavrel", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL,
                               B_WARNING_ALERT);
    if (wait)
        alert->Go();
    else
        alert->Go(nullptr);
}

std::string action_text(uint32 what, const std::string& step) {
    if (!step.empty())
        return "the edit \"" + step + "\"";
    switch (what) {
    case MSG_SAVE:
        return "\"Save\"";
    case B_SAVE_REQUESTED:
    case MSG_SAVE_PANEL:
        return "\"Save as\"";
    case B_REFS_RECEIVED:
    case B_SIMPLE_DATA:
    case MSG_OPEN_PANEL:
        return "\"Open\"";
    case MSG_NEW_FONT:
    case MSG_SETUP_DONE:
        return "\"New\"";
    case MSG_UNDO:
        return "\"Undo\"";
    case MSG_REDO:
        return "\"Redo\"";
    case B_QUIT_REQUESTED:
        return "\"Quit\"";
    case B_ABOUT_REQUESTED:
        return "\"About\"";
    default:
        return "the last action";
    }
}

void report_cut_short(const std::string& action, const std::exception& e, bool wait) {
    bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
    try {
        report_failure(memory ? "Not enough memory: " + action + " was not done"
                              : action + " was not done: " + e.what(),
                       wait);
    } catch (const std::exception&) {
        fprintf(stderr, "tavrel: an action was not done: %s\n", e.what());
    }
}
