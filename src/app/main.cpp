#include "app/tavrel.h"
#include "kit/display/desktop.h"

// The desktop program: its windows on the desktop. `tavrel` starts it for
// everything but checking fonts (src/launcher/).
int main() {
    kit::use_desktop_display();
    tavrel* app = new tavrel();
    app->Run();
    delete app;
    return 0;
}
