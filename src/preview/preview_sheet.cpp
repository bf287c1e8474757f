#include "preview/preview_sheet.h"

#include "preview/preview_messages.h"

#include <Bitmap.h>
#include <Window.h>

#include <algorithm>
#include <cstdio>

namespace {

const float GAP = 4;
const float MARGIN = 6;
const rgb_color PAPER = {255, 255, 255, 255};
const rgb_color LABEL = {96, 96, 96, 255};
const rgb_color INK = {0, 0, 0, 255};
const rgb_color ALARM = {176, 0, 0, 255};

// A line's coverage as a bitmap: ink black on white paper.
std::unique_ptr<BBitmap> bitmap_for(const set_line& line) {
    if (line.width <= 0 || line.height <= 0)
        return nullptr;
    std::unique_ptr<BBitmap> b(new BBitmap(BRect(0, 0, line.width - 1, line.height - 1), B_RGB32));
    if (!b->IsValid())
        return nullptr;
    uint32* bits = (uint32*)b->Bits();
    for (size_t i = 0; i < line.coverage.size(); i++) {
        uint32 v = 255u - line.coverage[i];
        bits[i] = 0xFF000000u | v << 16 | v << 8 | v;
    }
    return b;
}

} // namespace

preview_sheet::preview_sheet(BRect frame)
    : BView(frame, "sheet", B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS) {
    SetViewColor(PAPER);
}

preview_sheet::~preview_sheet() = default;

std::string preview_sheet::label_for(const set_line& line) {
    std::string label = std::to_string(line.ppem) + " px";
    if (line.gasp < 0)
        return label;
    static const char* const names[] = {"gridfit", "gray", "sym. gridfit", "sym. smooth"};
    std::string flags;
    for (int bit = 0; bit < 4; bit++)
        if (line.gasp & (1 << bit))
            flags += (flags.empty() ? "" : "+") + std::string(names[bit]);
    return label + "  gasp: " + (flags.empty() ? "none" : flags);
}

std::string preview_sheet::missing_for(const std::vector<uint32_t>& codes) {
    if (codes.empty())
        return std::string();
    std::string text = "not in the font:";
    for (uint32_t c : codes) {
        char code[16];
        snprintf(code, sizeof code, " U+%04X", (unsigned)c);
        text += code;
    }
    return text;
}

float preview_sheet::row_height(const set_line& line) const {
    return std::max((float)line.height, 14.0f) + GAP;
}

float preview_sheet::line_top(size_t i) const {
    float y = MARGIN;
    for (size_t k = 0; k < i && k < fLines.size(); k++)
        y += row_height(fLines[k]);
    return y;
}

int preview_sheet::glyph_at(BPoint where) const {
    float y = MARGIN;
    for (const set_line& line : fLines) {
        float next = y + row_height(line);
        if (where.y >= y && where.y < next) {
            int x = (int)(where.x - label_width);
            for (const set_glyph& g : line.glyphs)
                if (x >= g.left && x < g.right)
                    return (int)g.gid;
            return -1;
        }
        y = next;
    }
    return -1;
}

void preview_sheet::MouseDown(BPoint where) {
    int gid = glyph_at(where);
    if (gid < 0 || !Window())
        return;
    BMessage message(PREVIEW_GLYPH);
    message.AddInt32("glyph", gid);
    Window()->PostMessage(&message);
}

void preview_sheet::show(std::vector<set_line> lines, const std::vector<uint32_t>& missing) {
    fLines = std::move(lines);
    fBitmaps.clear();
    for (const set_line& line : fLines)
        fBitmaps.push_back(bitmap_for(line));
    fMissing = missing_for(missing);
    fError.clear();
    Invalidate();
}

void preview_sheet::show_error(const std::string& error) {
    fLines.clear();
    fBitmaps.clear();
    fMissing.clear();
    fError = error;
    Invalidate();
}

void preview_sheet::Draw(BRect) {
    SetFontSize(11);
    font_height fh;
    GetFontHeight(&fh);
    if (!fError.empty()) {
        SetHighColor(ALARM);
        DrawString(("FreeType: " + fError).c_str(), BPoint(MARGIN, MARGIN + fh.ascent));
        return;
    }
    float y = MARGIN;
    for (size_t i = 0; i < fLines.size(); i++) {
        const set_line& line = fLines[i];
        float baseline = y + (float)line.baseline;
        SetHighColor(LABEL);
        DrawString(label_for(line).c_str(), BPoint(MARGIN, std::max(baseline, y + fh.ascent)));
        if (!line.error.empty()) {
            SetHighColor(ALARM);
            DrawString(("FreeType: " + line.error).c_str(), BPoint(label_width, y + fh.ascent));
        } else if (fBitmaps[i]) {
            DrawBitmap(fBitmaps[i].get(), BPoint(label_width, y));
        }
        y += row_height(line);
    }
    if (!fMissing.empty()) {
        SetHighColor(INK);
        DrawString(fMissing.c_str(), BPoint(MARGIN, y + GAP + fh.ascent));
    }
}
