// Telling the user what went wrong: a line on standard error and an alert.
#ifndef TAVREL_APP_REPORT_H
#define TAVREL_APP_REPORT_H

#include <SupportDefs.h>

#include <string>

// Plain words for a kit status code.
std::string status_text(status_t status);

// Prints "tavrel: <text>" on standard error and shows `text` in an alert.
void report_failure(const std::string& text);

#endif
