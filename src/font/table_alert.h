// Telling the user why a table editor did not make an edit: the editors
// run on the window's thread, so the alert must not block it.
#ifndef TAVREL_FONT_TABLE_ALERT_H
#define TAVREL_FONT_TABLE_ALERT_H

#include <SupportDefs.h>

class BHandler;

// Prints "tavrel: <text>" on standard error and shows `text` in an alert
// with one "OK" button; returns at once.
void table_alert(const char* text);

// Shows `text` with the buttons `yes` and `no` ("no" is the one Enter
// presses) and returns at once. The answer reaches `target` as a message
// `what` with "which" 0 for `yes` and 1 for `no`; an alert closed without
// a button sends nothing.
void table_question(const char* text, const char* yes, const char* no, BHandler* target,
                    uint32 what);

#endif
