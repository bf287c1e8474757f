// What the checker says about a font: one finding per fault, with where it
// is (table, glyph, point) and a message that names the wrong value and the
// right one.
#ifndef TAVREL_CHECK_FINDING_H
#define TAVREL_CHECK_FINDING_H

#include <cstdint>
#include <string>

// Errors make readers refuse the font (or read it wrongly); warnings are
// faults readers tolerate or repair; notes are matters of quality.
enum class severity : uint8_t { error = 0, warning = 1, note = 2 };

const char* severity_name(severity s);

// The table column of findings about the file's table directory.
const uint32_t DIRECTORY_TAG = 0;

struct finding {
    severity level = severity::error;
    uint32_t table = DIRECTORY_TAG;
    // The glyph concerned, or -1.
    int32_t glyph = -1;
    // The point of that glyph (in the record's numbering), or -1.
    int32_t point = -1;
    std::string message;
};

// "head", "OS/2", "cvt " as text; "directory" for DIRECTORY_TAG.
std::string tag_text(uint32_t tag);
// A tag's four characters, bytes that are not printable shown as '?'.
std::string tag_chars(uint32_t tag);

// Severity first, then table (directory first, then tag order), glyph,
// point and message: the order in which findings are listed.
bool finding_before(const finding& a, const finding& b);

#endif
