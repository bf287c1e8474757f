// tavrel --check: the lines it prints for each file and its exit status.
#include "check/check_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check/check_fonts.h"

using namespace check_fonts;

namespace {

struct run_result {
    int status;
    std::string out, err;
};

std::string drain(FILE* f) {
    std::string s;
    rewind(f);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

run_result run(std::vector<std::string> words) {
    std::vector<const char*> args;
    for (const std::string& w : words)
        args.push_back(w.c_str());
    FILE* out = tmpfile();
    FILE* err = tmpfile();
    run_result r;
    r.status = run_check_command((int)args.size(), args.data(), out, err);
    r.out = drain(out);
    r.err = drain(err);
    return r;
}

std::string write(const std::string& dir, const std::string& name, const bytes& b) {
    const std::string path = dir + "/" + name;
    testing_support::write_file(path, b);
    return path;
}

bytes faulty() {
    parts p = clean_parts();
    put16(p["head"], 18, 15);
    return assemble(p);
}

} // namespace

TEST(CheckCommand, PrintsFindingsAndSummaryPerFileWithTheWorstStatus) {
    const std::string folder = testing_support::temp_dir();
    const std::string clean = write(folder, "clean.ttf", assemble(clean_parts()));
    const std::string bad = write(folder, "bad.ttf", faulty());
    const std::string missing = folder + "/none.ttf";

    run_result r = run({clean});
    EXPECT_EQ(r.status, CHECK_CLEAN);
    EXPECT_EQ(r.out, clean + ": 0 errors, 0 warnings, 0 notes\n");

    r = run({bad, clean});
    EXPECT_EQ(r.status, CHECK_ERRORS);
    EXPECT_EQ(r.out, bad + ": error: head: head.unitsPerEm is 15; it lies between 16 and 16384\n" +
                         bad + ": 1 error, 0 warnings, 0 notes\n" + clean +
                         ": 0 errors, 0 warnings, 0 notes\n");

    r = run({bad, missing, folder});
    EXPECT_EQ(r.status, CHECK_UNREADABLE);
    EXPECT_NE(r.out.find(missing + ": cannot be read: No such file or directory\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(folder + ": cannot be read: it is a folder\n"), std::string::npos)
        << r.out;

    r = run({});
    EXPECT_EQ(r.status, CHECK_UNREADABLE);
    EXPECT_EQ(r.err, "usage: tavrel --check [--json] FILE...\n");
}

TEST(CheckCommand, JsonLinesCarryTheSameFindings) {
    parts p = clean_parts();
    put16(p["head"], 42, 800);
    const std::string folder = testing_support::temp_dir();
    const std::string file = write(folder, "quote\"d.ttf", assemble(p));
    run_result r = run({"--json", file, "/no/such/font.ttf"});
    EXPECT_EQ(r.status, CHECK_UNREADABLE);
    const std::string name = folder + "/quote\\\"d.ttf";
    EXPECT_EQ(r.out, "{\"file\": \"" + name +
                         "\", \"severity\": \"note\", \"table\": \"head\", \"glyph\": null, "
                         "\"point\": null, \"message\": \"head.yMax is 800, the glyphs reach "
                         "700\"}\n"
                         "{\"file\": \"" +
                         name +
                         "\", \"errors\": 0, \"warnings\": 0, \"notes\": 1}\n"
                         "{\"file\": \"/no/such/font.ttf\", \"unreadable\": \"No such file or "
                         "directory\"}\n");
}
