#include "app/tavrel.h"
#include "kit/display/desktop.h"

int main() {
    kit::use_desktop_display();
    tavrel* app = new tavrel();
    app->Run();
    delete app;
    return 0;
}
