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

// A collection built by fontTools (tests/tools/build_collection.py) in the
// test's folder as `name`, from `faces` ("FONT[=NEW FAMILY]" each, quoted
// for the shell; "--v2" adds a signature); its path, or "".
std::string build_collection(const std::string& name, const std::string& faces);
// Three faces: Liberation Sans, its bold, and Liberation Sans again under
// the family "Copy Sans", which shares every table but name with face 0.
std::string build_three_faces(const std::string& name = "three.ttc");
// How fontTools sees the tables of two collections (or fonts) differ:
// "faces N" and a line per changed table (tests/tools/compare_collections.py).
std::string collection_differences(const std::string& before, const std::string& after);

} // namespace testing_support

#endif
