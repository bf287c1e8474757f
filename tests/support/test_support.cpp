#include "support/test_support.h"

#include "kit/display/headless/headless_display.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

// Test programs draw on the headless display; the application object
// would otherwise open the desktop. A test that wants the desktop
// installs it itself.
const bool headless_installed = [] {
    kit::install_display(std::make_unique<kit::headless_display>());
    return true;
}();

struct temp_root {
    std::string path;
    temp_root() {
        char tmpl[] = "/tmp/tavrel-test-XXXXXX";
        if (mkdtemp(tmpl))
            path = tmpl;
    }
    ~temp_root() {
        if (!path.empty())
            std::system(("rm -rf '" + path + "'").c_str());
    }
};

temp_root& root() {
    static temp_root r;
    return r;
}

// The program keeps copies of unsaved changes in the user's state folder
// and offers those it finds at start, remembers settings, and its panels
// start at home: tests use folders of their own, and never write to the
// user's. Font caches stay shared.
const bool state_folder_isolated = [] {
    const char* home = std::getenv("HOME");
    if (home && *home && !std::getenv("XDG_CACHE_HOME"))
        setenv("XDG_CACHE_HOME", (std::string(home) + "/.cache").c_str(), 1);
    const std::string own = root().path + "/home";
    mkdir(own.c_str(), 0700);
    setenv("HOME", own.c_str(), 1);
    setenv("XDG_STATE_HOME", (root().path + "/state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root().path + "/config").c_str(), 1);
    return true;
}();

} // namespace

std::string source_dir() {
    const char* env = std::getenv("TAVREL_SOURCE_DIR");
    if (env && *env)
        return env;
    return TAVREL_SOURCE_DIR;
}

std::string temp_dir() {
    static int counter = 0;
    std::string dir = root().path + "/t" + std::to_string(counter++);
    mkdir(dir.c_str(), 0755);
    return dir;
}

std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

bool write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return (bool)out;
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> folder_entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int run_command(const std::string& command, std::string* output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (output)
            output->append(buffer, n);
    }
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string python() {
    return TAVREL_PYTHON;
}

std::string build_test_font(const std::string& kind, int glyphs) {
    std::string path = temp_dir() + "/" + kind + ".ttf";
    std::string command = python() + " '" + source_dir() + "/tests/tools/build_variable_font.py' " +
                          kind + " '" + path + "'";
    if (glyphs > 0)
        command += " " + std::to_string(glyphs);
    return run_command(command) == 0 && file_exists(path) ? path : "";
}

std::string build_collection(const std::string& name, const std::string& faces) {
    std::string path = temp_dir() + "/" + name;
    std::string command = python() + " '" + source_dir() + "/tests/tools/build_collection.py' '" +
                          path + "' " + faces;
    return run_command(command) == 0 && file_exists(path) ? path : "";
}

std::string build_three_faces(const std::string& name) {
    const std::string l = "/usr/share/fonts/truetype/liberation2/";
    return build_collection(name, "'" + l + "LiberationSans-Regular.ttf' '" + l +
                                      "LiberationSans-Bold.ttf' '" + l +
                                      "LiberationSans-Regular.ttf=Copy Sans'");
}

std::string collection_differences(const std::string& before, const std::string& after) {
    std::string output;
    int status =
        run_command(python() + " '" + source_dir() + "/tests/tools/compare_collections.py' '" +
                        before + "' '" + after + "' 2>&1",
                    &output);
    return status == 0 ? output : "failed: " + output;
}

} // namespace testing_support
