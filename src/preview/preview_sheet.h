// preview_sheet: the text preview's page. It shows the lines the window
// set, one per size, each with its size and the gasp table's choice for it
// on the left, then the characters the font lacks, or FreeType's error in
// place of the text. It only draws what it is given.
#ifndef TAVREL_PREVIEW_PREVIEW_SHEET_H
#define TAVREL_PREVIEW_PREVIEW_SHEET_H

#include "preview/text_setter.h"

#include <View.h>

#include <memory>
#include <string>
#include <vector>

class BBitmap;

class preview_sheet : public BView {
  public:
    // The width of the labels' column.
    static constexpr int label_width = 176;

    explicit preview_sheet(BRect frame);
    ~preview_sheet() override;

    void Draw(BRect update) override;
    // A click on a glyph of a line tells the window (PREVIEW_GLYPH).
    void MouseDown(BPoint where) override;

    // Shows `lines`, and `missing` (code points) under them.
    void show(std::vector<set_line> lines, const std::vector<uint32_t>& missing);
    // Shows `error` instead of any text.
    void show_error(const std::string& error);

    const std::vector<set_line>& lines() const { return fLines; }
    const std::string& error() const { return fError; }
    const std::string& missing_text() const { return fMissing; }
    // The top of line i in the sheet; the lines' bitmaps start at
    // label_width.
    float line_top(size_t i) const;
    // The glyph drawn at `where`, -1 for none.
    int glyph_at(BPoint where) const;

    // The label of a line: its size and the gasp table's flags.
    static std::string label_for(const set_line& line);
    // "not in the font: U+3042 U+3044", or empty.
    static std::string missing_for(const std::vector<uint32_t>& codes);

  private:
    float row_height(const set_line& line) const;

    std::vector<set_line> fLines;
    std::vector<std::unique_ptr<BBitmap>> fBitmaps;
    std::string fMissing;
    std::string fError;
};

#endif
