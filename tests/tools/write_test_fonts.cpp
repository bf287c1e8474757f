// Writes the tests' crafted fonts into a folder: the checker's clean font
// and its one-fault variants, and the loader's hostile files. The checker's
// agreement script reads them (tests/tools/check_agreement.py --extra).
#include <cstdio>
#include <string>

#include "check/check_fonts.h"
#include "font/hostile_fonts.h"

namespace {

std::string file_name(const std::string& label) {
    std::string s;
    for (char c : label) {
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        s += (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : '-';
    }
    return s + ".ttf";
}

bool write(const std::string& dir, const std::string& label, const font_builder::bytes& b) {
    const std::string path = dir + "/" + file_name(label);
    FILE* f = fopen(path.c_str(), "wb");
    // An empty file is a hostile case of its own; fwrite must not see its null data.
    const bool ok = f && (b.empty() || fwrite(b.data(), 1, b.size(), f) == b.size());
    if (f && fclose(f) != 0)
        return false;
    if (!ok)
        fprintf(stderr, "write_test_fonts: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: write_test_fonts FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = write(dir, "check-clean", check_fonts::assemble(check_fonts::clean_parts()));
    for (const check_fonts::fault_case& c : check_fonts::CASES) {
        check_fonts::parts p = check_fonts::clean_parts();
        if (c.change)
            c.change(p);
        font_builder::bytes file = check_fonts::assemble(p);
        if (c.change_file)
            c.change_file(file);
        ok &= write(dir, std::string("check-") + c.label, file);
    }
    for (const hostile_fonts::hostile_case& c : hostile_fonts::CASES)
        ok &= write(dir, std::string("hostile-") + c.label, c.build());
    return ok ? 0 : 1;
}
