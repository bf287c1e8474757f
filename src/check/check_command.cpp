#include "check/check_command.h"

#include "check/checker.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Larger files cannot be TrueType fonts: 32-bit offsets reach only 4 GiB.
const unsigned long long MAX_FONT_FILE = 0xFFFFFFFFULL;

// Reads a whole file; false with the reason when it cannot be read.
bool read_font_file(const char* path, byte_vector* bytes, std::string* why, bool* too_big) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (ec) {
        *why = ec.message();
        return false;
    }
    if (std::filesystem::is_directory(st)) {
        *why = "it is a folder";
        return false;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *why = errno ? std::strerror(errno) : "it cannot be opened";
        return false;
    }
    // A regular file is read in one piece of its size; other files (a
    // pipe) in pieces, as the size they report says nothing.
    const uintmax_t size =
        std::filesystem::is_regular_file(st) ? std::filesystem::file_size(path, ec) : 0;
    if (!ec && size > MAX_FONT_FILE) {
        *too_big = true;
        return true;
    }
    if (!ec && size > 0) {
        bytes->resize((size_t)size);
        in.read(reinterpret_cast<char*>(bytes->data()), (std::streamsize)size);
        bytes->resize((size_t)in.gcount());
    }
    char buf[1 << 16];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        if (bytes->size() + (size_t)in.gcount() > MAX_FONT_FILE) {
            *too_big = true;
            bytes->clear();
            return true;
        }
        bytes->insert(bytes->end(), buf, buf + in.gcount());
    }
    if (in.bad()) {
        *why = "reading it failed";
        return false;
    }
    return true;
}

// Whether bytes[i..] starts a valid UTF-8 sequence; its length then.
size_t utf8_length(const std::string& s, size_t i) {
    const unsigned char c = (unsigned char)s[i];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; k++)
        if (((unsigned char)s[i + k] >> 6) != 2)
            return 0;
    return n;
}

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = (unsigned char)s[i];
        size_t n = utf8_length(s, i);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || n == 0) {
            // Control characters, and bytes that are not UTF-8 (a file
            // name may hold any), are escaped one by one.
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            n = 1;
        } else {
            out.append(s, i, n);
        }
        i += n ? n : 1;
    }
    return out + "\"";
}

std::string plural(int n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void print_finding(FILE* out, bool json, const std::string& file, const finding& f) {
    if (json) {
        fprintf(out,
                "{\"file\": %s, \"severity\": \"%s\", \"table\": %s, \"glyph\": %s, \"point\": "
                "%s, \"message\": %s}\n",
                json_string(file).c_str(), severity_name(f.level),
                json_string(tag_text(f.table)).c_str(),
                f.glyph >= 0 ? std::to_string(f.glyph).c_str() : "null",
                f.point >= 0 ? std::to_string(f.point).c_str() : "null",
                json_string(f.message).c_str());
        return;
    }
    std::string where = tag_text(f.table);
    if (f.glyph >= 0)
        where += ": glyph " + std::to_string(f.glyph);
    fprintf(out, "%s: %s: %s: %s\n", file.c_str(), severity_name(f.level), where.c_str(),
            f.message.c_str());
}

} // namespace

int run_check_command(int argc, const char* const* args, FILE* out, FILE* err) {
    bool json = false;
    int first = 0;
    if (first < argc && std::strcmp(args[first], "--json") == 0) {
        json = true;
        first++;
    }
    if (first >= argc) {
        fprintf(err, "usage: tavrel --check [--json] FILE...\n");
        return CHECK_UNREADABLE;
    }
    int status = CHECK_CLEAN;
    for (int i = first; i < argc; i++) {
        const std::string file = args[i];
        byte_vector bytes;
        std::string why;
        bool too_big = false;
        if (!read_font_file(args[i], &bytes, &why, &too_big)) {
            if (json)
                fprintf(out, "{\"file\": %s, \"unreadable\": %s}\n", json_string(file).c_str(),
                        json_string(why).c_str());
            else
                fprintf(out, "%s: cannot be read: %s\n", file.c_str(), why.c_str());
            status = CHECK_UNREADABLE;
            continue;
        }
        std::vector<finding> found;
        std::array<int, 3> counts{0, 0, 0};
        if (too_big) {
            finding f;
            f.message = "the file is larger than 4 GiB, which a font's 32-bit offsets cannot "
                        "reach";
            found.push_back(f);
            counts[0] = 1;
        } else {
            font_checker checker;
            checker.check_file(std::move(bytes));
            found = checker.findings();
            counts = checker.counts();
        }
        for (const finding& f : found)
            print_finding(out, json, file, f);
        if (json)
            fprintf(out, "{\"file\": %s, \"errors\": %d, \"warnings\": %d, \"notes\": %d}\n",
                    json_string(file).c_str(), counts[0], counts[1], counts[2]);
        else
            fprintf(out, "%s: %s, %s, %s\n", file.c_str(), plural(counts[0], "error").c_str(),
                    plural(counts[1], "warning").c_str(), plural(counts[2], "note").c_str());
        if (counts[0] > 0 && status == CHECK_CLEAN)
            status = CHECK_ERRORS;
    }
    return status;
}
