// `tavrel --check [--json] FILE...`: checks fonts without a window and
// prints one line per finding and a summary line per file.
#ifndef TAVREL_CHECK_CHECK_COMMAND_H
#define TAVREL_CHECK_CHECK_COMMAND_H

#include <cstdio>

// Exit status of the check command.
const int CHECK_CLEAN = 0;      // no file has an error
const int CHECK_ERRORS = 1;     // a file has an error
const int CHECK_UNREADABLE = 2; // a file cannot be read (or the command is wrong)

// `args` are the words after "--check". Prints findings to `out`, and
// problems with the command itself to `err`.
int run_check_command(int argc, const char* const* args, FILE* out, FILE* err);

#endif
