#include "app/tavrel.h"

int main() {
    tavrel* app = new tavrel();
    app->Run();
    delete app;
    return 0;
}
