#include "editor/globals.h"

ttf* curfont = nullptr;
BRect canvas(0, 0, -1, -1);
std::atomic<bool> canvasok{false};
glyph* curglyph = nullptr;
object* curobject = nullptr;
