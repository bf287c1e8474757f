#include "app/recent_files.h"

#include "app/settings.h"

#include <unistd.h>

#include <algorithm>

namespace recent_files {

namespace {

std::string key(int index) {
    return "recent." + std::to_string(index);
}

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return std::string();
    std::string folder = cwd;
    return folder + (folder == "/" ? "" : "/") + (path.rfind("./", 0) == 0 ? path.substr(2) : path);
}

} // namespace

std::vector<std::string> list(const settings& store) {
    std::vector<std::string> paths;
    for (int i = 0; i < max_files; i++) {
        std::string path = store.get(key(i), "");
        if (!path.empty() && path[0] == '/' &&
            std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    return paths;
}

bool add(settings& store, const std::string& path) {
    const std::string full = absolute(path);
    if (full.empty() || !settings::valid_value(full))
        return false;
    std::vector<std::string> paths = list(store);
    paths.erase(std::remove(paths.begin(), paths.end(), full), paths.end());
    paths.insert(paths.begin(), full);
    paths.resize(std::min<size_t>(paths.size(), max_files));
    bool written = true;
    for (int i = 0; i < max_files; i++) {
        const std::string value = i < (int)paths.size() ? paths[i] : std::string();
        if (store.get(key(i), "") != value)
            written = store.set(key(i), value) == B_OK && written;
    }
    return written;
}

std::vector<std::string> folders(const settings& store) {
    std::vector<std::string> found;
    for (const std::string& path : list(store)) {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
        if (std::find(found.begin(), found.end(), folder) == found.end())
            found.push_back(folder);
    }
    return found;
}

} // namespace recent_files
