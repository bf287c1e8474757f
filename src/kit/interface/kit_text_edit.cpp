#include "kit_text_edit.h"

#include <algorithm>

namespace kit {

namespace {
bool is_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Keeps only whole characters: stray continuation bytes, truncated
// sequences and control characters do not belong in a one-line field.
std::string clean(const std::string& bytes) {
    std::string out;
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t length = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + length > bytes.size()) {
            i++;
            continue;
        }
        bool whole = true;
        for (size_t k = 1; k < length; k++)
            whole = whole && is_continuation(bytes[i + k]);
        if (!whole) {
            i++;
            continue;
        }
        if (length > 1 || (c >= 0x20 && c != 0x7f))
            out.append(bytes, i, length);
        i += length;
    }
    return out;
}
} // namespace

void text_edit::set_text(const std::string& text) {
    fText = clean(text);
    fCaret = fAnchor = (int32)fText.size();
}

std::string text_edit::selected_text() const {
    return fText.substr(selection_start(), selection_end() - selection_start());
}

int32 text_edit::boundary(int32 offset) const {
    offset = std::clamp(offset, 0, (int32)fText.size());
    while (offset > 0 && offset < (int32)fText.size() && is_continuation(fText[offset]))
        offset--;
    return offset;
}

int32 text_edit::_Previous(int32 offset) const {
    if (offset <= 0)
        return 0;
    return boundary(offset - 1);
}

int32 text_edit::_Next(int32 offset) const {
    int32 size = (int32)fText.size();
    if (offset >= size)
        return size;
    offset++;
    while (offset < size && is_continuation(fText[offset]))
        offset++;
    return offset;
}

void text_edit::move_to(int32 offset, bool extend) {
    fCaret = boundary(offset);
    if (!extend)
        fAnchor = fCaret;
}

void text_edit::move_left(bool extend) {
    if (has_selection() && !extend)
        move_to(selection_start(), false);
    else
        move_to(_Previous(fCaret), extend);
}

void text_edit::move_right(bool extend) {
    if (has_selection() && !extend)
        move_to(selection_end(), false);
    else
        move_to(_Next(fCaret), extend);
}

void text_edit::select_all() {
    fAnchor = 0;
    fCaret = (int32)fText.size();
}

bool text_edit::delete_selection() {
    if (!has_selection())
        return false;
    int32 start = selection_start();
    fText.erase(start, selection_end() - start);
    fCaret = fAnchor = start;
    return true;
}

bool text_edit::insert(const std::string& bytes) {
    std::string add = clean(bytes);
    bool changed = delete_selection();
    if (add.empty())
        return changed;
    fText.insert(fCaret, add);
    fCaret += (int32)add.size();
    fAnchor = fCaret;
    return true;
}

bool text_edit::backspace() {
    if (delete_selection())
        return true;
    if (fCaret == 0)
        return false;
    int32 start = _Previous(fCaret);
    fText.erase(start, fCaret - start);
    fCaret = fAnchor = start;
    return true;
}

bool text_edit::delete_forward() {
    if (delete_selection())
        return true;
    int32 end = _Next(fCaret);
    if (end == fCaret)
        return false;
    fText.erase(fCaret, end - fCaret);
    return true;
}

} // namespace kit
