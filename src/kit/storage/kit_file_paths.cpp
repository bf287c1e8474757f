#include "kit_file_paths.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

namespace kit {

namespace {

bool digit(char c) {
    return c >= '0' && c <= '9';
}

std::string home_folder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

std::string without_trailing_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool natural_less(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    // Leading zeros decide only between otherwise equal names.
    int zeros = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            size_t za = i, zb = j;
            while (za < a.size() && a[za] == '0')
                za++;
            while (zb < b.size() && b[zb] == '0')
                zb++;
            size_t ea = za, eb = zb;
            while (ea < a.size() && digit(a[ea]))
                ea++;
            while (eb < b.size() && digit(b[eb]))
                eb++;
            if (ea - za != eb - zb)
                return ea - za < eb - zb;
            for (size_t k = 0; k < ea - za; k++)
                if (a[za + k] != b[zb + k])
                    return a[za + k] < b[zb + k];
            if (zeros == 0 && za - i != zb - j)
                zeros = za - i < zb - j ? -1 : 1;
            i = ea;
            j = eb;
            continue;
        }
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[j]));
        if (ca != cb)
            return ca < cb;
        i++;
        j++;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    if (zeros != 0)
        return zeros < 0;
    return a < b;
}

std::string expand_path(const std::string& typed, const std::string& folder) {
    std::string path = typed;
    if (path == "~" || path.rfind("~/", 0) == 0)
        path = home_folder() + path.substr(1);
    else if (path.empty() || path[0] != '/')
        path = (folder == "/" ? "/" : folder + "/") + path;
    // "a/./b" and "a/../b" are read as the user means them.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : without_trailing_slash(result);
}

std::string complete_path(const std::string& typed, const std::string& folder, int* matches) {
    if (matches)
        *matches = 0;
    size_t slash = typed.rfind('/');
    std::string head = slash == std::string::npos ? "" : typed.substr(0, slash + 1);
    std::string stem = slash == std::string::npos ? typed : typed.substr(slash + 1);
    if (typed == "~") {
        if (matches)
            *matches = 1;
        return "~/";
    }
    std::string dir = head.empty() ? expand_path(".", folder) : expand_path(head, folder);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return typed;
    std::string common;
    int found = 0;
    bool lastIsFolder = false;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if (name[0] == '.' && (stem.empty() || stem[0] != '.'))
            continue;
        if (name.compare(0, stem.size(), stem) != 0)
            continue;
        if (found++ == 0) {
            common = name;
        } else {
            size_t k = 0;
            while (k < common.size() && k < name.size() && common[k] == name[k])
                k++;
            common.resize(k);
        }
        struct stat st;
        std::string full = (dir == "/" ? "/" : dir + "/") + name;
        lastIsFolder = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    closedir(d);
    if (matches)
        *matches = found;
    if (found == 0)
        return typed;
    std::string completed = head + common;
    if (found == 1 && lastIsFolder)
        completed += "/";
    return completed;
}

bool matches_patterns(const std::string& name, const std::vector<std::string>& patterns) {
    if (patterns.empty())
        return true;
    for (const std::string& pattern : patterns)
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
            return true;
    return false;
}

} // namespace kit
