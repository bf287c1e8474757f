// Telling the user what went wrong: a line on standard error and an alert.
#ifndef TAVREL_APP_REPORT_H
#define TAVREL_APP_REPORT_H

#include <SupportDefs.h>

#include <exception>
#include <string>

// Plain words for a kit status code.
std::string status_text(status_t status);

// Prints "tavrel: <text>" on standard error and shows `text` in an alert;
// with `wait`, returns once it is answered (call it so on the
// application's thread only: a window's thread must go on serving).
void report_failure(const std::string& text, bool wait = true);

// What the user asked for with a message of code `what`, in words for a
// report; `step` names the font edit it began, when it began one.
std::string action_text(uint32 what, const std::string& step);

// An action cut short by an exception: the words, printed and shown as
// report_failure does. Reporting needs memory too; when even that fails
// only the line on standard error remains.
void report_cut_short(const std::string& action, const std::exception& e, bool wait);

#endif
