// text_setter: sets a line of text in a font given as a file's bytes,
// shaped by HarfBuzz and rendered by FreeType, the way the desktop would
// set it once the font is saved. It keeps nothing of the program's font:
// the bytes are its own copy, so it works outside the font owner's lock.
#ifndef TAVREL_PREVIEW_TEXT_SETTER_H
#define TAVREL_PREVIEW_TEXT_SETTER_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct font_image;
struct FT_LibraryRec_;
struct FT_FaceRec_;
struct hb_font_t;
struct hb_buffer_t;

enum class preview_hinting { instructions, light, none };

struct preview_options {
    preview_hinting hinting = preview_hinting::instructions;
    bool antialias = true;
    bool kern = true;
    bool liga = true;

    bool operator==(const preview_options& o) const {
        return hinting == o.hinting && antialias == o.antialias && kern == o.kern && liga == o.liga;
    }
};

// Where a glyph of a set line stands: columns [left, right) of its advance.
struct set_glyph {
    unsigned gid;
    int left;
    int right;
};

// One line set at one size: coverage per pixel (0 paper, 255 ink), rows
// of `width` bytes, the baseline `baseline` rows from the top.
struct set_line {
    int ppem = 0;
    int width = 0;
    int height = 0;
    int baseline = 0;
    std::vector<uint8_t> coverage;
    std::vector<set_glyph> glyphs;
    // The gasp table's flags for this size, -1 when the font has none.
    int gasp = -1;
    // FreeType's complaint when a glyph of the line could not be drawn;
    // the line is then empty.
    std::string error;
};

// FreeType's text for an error code.
std::string freetype_error_text(int error);

class text_setter {
  public:
    // The widest line drawn; anything past it is cut off.
    static constexpr int max_width = 8192;

    text_setter();
    ~text_setter();
    text_setter(const text_setter&) = delete;
    text_setter& operator=(const text_setter&) = delete;

    // Takes a font's bytes. False, with FreeType's or HarfBuzz's reason,
    // when they refuse it; the setter then holds no font.
    bool load(std::shared_ptr<const font_image> image, std::string* error);
    bool loaded() const { return fFace != nullptr; }

    // `text` (UTF-8) set at `ppem` pixels per em.
    set_line set(const std::string& text, int ppem, const preview_options& options);
    // The characters of `text` shaped to glyph 0, each once, in order.
    std::vector<uint32_t> missing(const std::string& text);
    // Whether the font's character map has `code`.
    bool maps(uint32_t code) const;

  private:
    struct drawn_glyph {
        int left = 0, top = 0, width = 0, rows = 0;
        std::vector<uint8_t> gray;
        int error = 0;
        // Its box is far larger than a line shows (a damaged glyph or
        // em): not drawn, since its bitmap alone could take gigabytes.
        bool too_large = false;
    };
    void release();
    const drawn_glyph& draw_glyph(unsigned gid, int ppem, const preview_options& options);

    std::shared_ptr<const font_image> fImage;
    FT_LibraryRec_* fLibrary = nullptr;
    FT_FaceRec_* fFace = nullptr;
    hb_font_t* fFont = nullptr;
    hb_buffer_t* fBuffer = nullptr;
    preview_options fCached;
    std::unordered_map<uint64_t, drawn_glyph> fGlyphs;
};

#endif
