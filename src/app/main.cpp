#include "app/tavrel.h"
#include "check/check_command.h"
#include "kit/display/desktop.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Checking fonts needs no window and no display.
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0)
        return run_check_command(argc - 2, argv + 2, stdout, stderr);
    kit::use_desktop_display();
    tavrel* app = new tavrel();
    app->Run();
    delete app;
    return 0;
}
