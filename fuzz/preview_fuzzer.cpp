// Feeds arbitrary bytes through the text preview's path: the font read by
// the container and copied, one glyph stored back, the tables that changed
// copied again as the preview copies them (the result must equal a whole
// copy), and that copy loaded by FreeType and HarfBuzz and set at a few
// sizes with each kind of hinting, with its sample line and a line of many
// scripts.
#include "font/font_copy.h"
#include "font/font_image.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "preview/sample_text.h"
#include "preview/text_setter.h"

#include <File.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string input_path;

const char* const SCRIPTS = "Afi\xC3\xA9\xCE\xA9\xD0\x96\xD7\xA9\xD9\x84\xD8\xA7"
                            "\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7\xE3\x81\x82\xE4\xB8\xAD"
                            "\xF0\x9F\x98\x80\xE2\x80\x8D\xCC\x88";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char path[] = "/tmp/tavrel-fuzz-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        abort();
    close(fd);
    input_path = path;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        BFile in(input_path.c_str(), B_READ_WRITE | B_ERASE_FILE);
        if (in.WriteAt(0, data, size) != (ssize_t)size)
            abort();
    }
    BFile in(input_path.c_str(), B_READ_ONLY);
    ttf font;
    if (font.load(in) != 0)
        return 0;
    font_copy copy;
    if (!copy.take(font) || !copy.image())
        return 0;
    // The first glyph with an outline, stored back as an edit would.
    for (int g = 0; g < 64; g++) {
        glyph outline((unsigned short)g);
        if (font.get_glyph(g, &outline) == 0 && (outline.count > 0 || outline.ncompo > 0)) {
            font.set_glyph(g, &outline);
            break;
        }
    }
    font_image whole;
    if (font.copy_image(&whole) != 0 || !copy.take(font))
        return 0;
    whole.finish();
    std::shared_ptr<font_image> image = copy.image();
    if (!image)
        return 0;
    // The tables copied again with the rest of the last copy are the font.
    if (image->size != whole.size || std::memcmp(image->bytes.get(), whole.bytes.get(), whole.size))
        abort();
    text_setter setter;
    if (!setter.load(image, nullptr))
        return 0;
    std::string sample = sample_text([&](uint32_t c) { return setter.maps(c); });
    preview_options options;
    const preview_hinting kinds[] = {preview_hinting::instructions, preview_hinting::light,
                                     preview_hinting::none};
    for (int k = 0; k < 3; k++) {
        options.hinting = kinds[k];
        options.antialias = k != 1;
        options.kern = options.liga = k != 2;
        for (int ppem : {8, 13, 72}) {
            setter.set(sample.substr(0, 48), ppem, options);
            setter.set(SCRIPTS, ppem, options);
        }
    }
    setter.missing(SCRIPTS);
    return 0;
}
