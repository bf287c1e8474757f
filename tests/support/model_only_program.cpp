// A program built from the font model alone, as the benchmark driver and
// the fuzz targets are: it must start without the display library.
//   model_only_program roundtrip IN OUT   loads IN and saves it as OUT
//   model_only_program draw               draws and measures with no
//                                         rasteriser linked
// The test suite reads which shared libraries it needs and runs both.
#include <Bitmap.h>
#include <File.h>
#include <View.h>

#include "font/ttf.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int roundtrip(const char* in, const char* out) {
    BFile input(in, B_READ_ONLY);
    ttf font;
    if (input.InitCheck() != B_OK || font.load(input) != 0) {
        std::fprintf(stderr, "cannot load %s\n", in);
        return 1;
    }
    BFile output(out, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    if (output.InitCheck() != B_OK || font.save(output) != 0) {
        std::fprintf(stderr, "cannot save %s\n", out);
        return 1;
    }
    return 0;
}

// Everything that reached standard error while `work` ran.
std::string stderr_of(void (*work)()) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    int saved = dup(2);
    if (!capture || saved < 0)
        return "(cannot capture standard error)";
    dup2(fileno(capture), 2);
    work();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(capture);
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, capture)) > 0)
        text.append(buffer, n);
    std::fclose(capture);
    return text;
}

int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        failures++;
    }
}

void draw_without_rasteriser() {
    BBitmap bitmap(BRect(0, 0, 39, 19), B_RGB32, true);
    BView* view = new BView(bitmap.Bounds(), "canvas", B_FOLLOW_NONE, B_WILL_DRAW);
    bitmap.AddChild(view);
    check(bitmap.Lock(), "the bitmap locks");
    std::vector<char> before((const char*)bitmap.Bits(),
                             (const char*)bitmap.Bits() + bitmap.BitsLength());
    for (int round = 0; round < 2; round++) {
        view->SetHighColor(0, 0, 0);
        view->FillRect(BRect(2, 2, 30, 15));
        view->StrokeLine(BPoint(0, 0), BPoint(39, 19));
        view->FillEllipse(BRect(5, 5, 25, 15));
        view->DrawString("Ag", BPoint(4, 14));
        view->Sync();
        check(view->StringWidth("Ag") == 0, "text measures zero");
    }
    check(std::memcmp(before.data(), bitmap.Bits(), before.size()) == 0,
          "drawing changes no pixel");
    bitmap.Unlock();
}

int draw() {
    std::string said = stderr_of(draw_without_rasteriser);
    size_t first = said.find("no rasteriser is linked");
    check(first != std::string::npos, "the missing rasteriser is reported");
    check(first == std::string::npos || said.find("no rasteriser", first + 1) == std::string::npos,
          "it is reported once");
    std::printf("%s", said.c_str());
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "roundtrip") == 0)
        return roundtrip(argv[2], argv[3]);
    if (argc == 2 && std::strcmp(argv[1], "draw") == 0)
        return draw();
    std::fprintf(stderr, "usage: model_only_program roundtrip IN OUT | draw\n");
    return 2;
}
