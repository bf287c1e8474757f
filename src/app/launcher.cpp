#include "check/check_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The desktop program's file name; it is installed next to this program.
const char DESKTOP_PROGRAM[] = "tavrel-desktop";

// The folder of the running program, from the kernel (argv[0] may be a bare
// name found on PATH, or relative to another folder).
std::string own_folder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string self(path, (size_t)n);
    const size_t slash = self.rfind('/');
    return slash == std::string::npos ? "." : self.substr(0, slash);
}

} // namespace

// `tavrel --check` runs here, in a program that links only the font checker,
// so that it starts without loading the desktop's libraries (SDL2, X11,
// Cairo, ...). Everything else is the desktop program's: it replaces this
// process with the same arguments, so the process id, the name in its
// arguments and its standard streams stay those the caller started.
int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0)
        return run_check_command(argc - 2, argv + 2, stdout, stderr);
    const std::string desktop = own_folder() + "/" + DESKTOP_PROGRAM;
    execv(desktop.c_str(), argv);
    std::fprintf(stderr, "%s: cannot start %s: %s\n", argc > 0 ? argv[0] : "tavrel",
                 desktop.c_str(), std::strerror(errno));
    return 127;
}
