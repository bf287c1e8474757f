#include "font/table_alert.h"

#include <Alert.h>
#include <Invoker.h>
#include <Message.h>

#include <cstdio>

void table_alert(const char* text) {
    fprintf(stderr, "tavrel: %s\n", text);
    BAlert* alert =
        new BAlert("tavrel", text, "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->Go(nullptr);
}

void table_question(const char* text, const char* yes, const char* no, BHandler* target,
                    uint32 what) {
    BAlert* alert = new BAlert("tavrel", text, yes, no, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    alert->SetShortcut(1, B_ESCAPE);
    alert->Go(new BInvoker(new BMessage(what), target));
}
