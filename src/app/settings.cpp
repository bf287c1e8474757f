#include "app/settings.h"

#include "app/atomic_file.h"

#include <Directory.h>
#include <File.h>

#include <cstdlib>
#include <vector>

settings::settings(std::string path) : fPath(std::move(path)) {
    fValues = read();
}

std::string settings::default_path() {
    const char* config = getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/tavrel/settings";
    const char* home = getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.config/tavrel/settings";
    return "";
}

bool settings::valid_key(const std::string& key) {
    if (key.empty() || key.size() > max_key)
        return false;
    for (char c : key) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '.' || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool settings::valid_value(const std::string& value) {
    if (value.size() > max_value)
        return false;
    for (unsigned char c : value)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::map<std::string, std::string> settings::read() const {
    std::map<std::string, std::string> values;
    if (fPath.empty())
        return values;
    BFile file(fPath.c_str(), B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size <= 0 ||
        (size_t)size > max_file)
        return values;
    std::string text((size_t)size, '\0');
    if (file.ReadAt(0, &text[0], text.size()) != (ssize_t)text.size())
        return values;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (valid_key(key) && valid_value(value))
            values[key] = value;
    }
    return values;
}

std::string settings::get(const std::string& key, const std::string& fallback) const {
    std::lock_guard<std::mutex> hold(fLock);
    auto at = fValues.find(key);
    return at == fValues.end() ? fallback : at->second;
}

status_t settings::set(const std::string& key, const std::string& value, std::string* why) {
    if (!valid_key(key) || !valid_value(value)) {
        if (why)
            *why = "a setting must be a name and a line of text";
        return B_BAD_VALUE;
    }
    std::lock_guard<std::mutex> hold(fLock);
    fValues[key] = value;
    if (fPath.empty()) {
        if (why)
            *why = "there is no folder for settings (HOME is not set)";
        return B_ERROR;
    }
    // What the file holds now, with this change on top.
    std::map<std::string, std::string> merged = read();
    merged[key] = value;
    std::string text;
    for (const auto& kv : merged)
        text += kv.first + "=" + kv.second + "\n";
    std::string folder = fPath.substr(0, fPath.rfind('/'));
    status_t made = create_directory(folder.c_str(), 0700);
    if (made != B_OK) {
        if (why)
            *why = "the folder " + folder + " cannot be made";
        return made;
    }
    std::string failure;
    atomic_file out;
    status_t status = out.begin(fPath, &failure);
    if (status == B_OK) {
        ssize_t wrote = out.file().Write(text.data(), text.size());
        status = wrote == (ssize_t)text.size() ? out.commit(&failure)
                                               : (wrote < 0 ? (status_t)wrote : B_ERROR);
        if (wrote >= 0 && wrote != (ssize_t)text.size())
            failure = "the disk is full";
    }
    if (status != B_OK && why)
        *why = failure;
    return status;
}
