// Small helpers shared by the test binaries: paths, temporary folders,
// whole-file reads and writes, and running the independent checkers.
#ifndef TAVREL_TESTS_SUPPORT_H
#define TAVREL_TESTS_SUPPORT_H

#include <string>
#include <vector>

namespace testing_support {

// The repository's top folder.
std::string source_dir();

// A fresh empty folder for the current test, removed at exit.
std::string temp_dir();

std::vector<unsigned char> read_file(const std::string& path);
bool write_file(const std::string& path, const std::vector<unsigned char>& bytes);
bool file_exists(const std::string& path);
// The names in a folder ("." and ".." left out), sorted.
std::vector<std::string> folder_entries(const std::string& dir);

// Runs a shell command; returns its exit status and, if asked, what it
// printed on stdout and stderr together.
int run_command(const std::string& command, std::string* output = nullptr);

// The system's Python that has fontTools.
std::string python();

// A font of another kind than plain TrueType, built by fontTools into a
// fresh folder (tests/tools/build_variable_font.py tells the kinds:
// "variable", "static", "true", "tags", "cff", "cff2"), with at least
// `glyphs` glyphs; its path, or "" when it could not be built.
std::string build_test_font(const std::string& kind, int glyphs = 0);

} // namespace testing_support

#endif
