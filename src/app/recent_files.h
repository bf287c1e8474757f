// The fonts opened or saved lately, newest first, kept in the settings
// (keys "recent.0" to "recent.9"): what File > "Open recent" lists.
#ifndef TAVREL_APP_RECENT_FILES_H
#define TAVREL_APP_RECENT_FILES_H

#include <string>
#include <vector>

class settings;

namespace recent_files {

constexpr int max_files = 10;

// The list as the settings hold it: absolute paths, no repeats, at most
// max_files (values that are none of these are left out).
std::vector<std::string> list(const settings& store);

// Puts `path` (made absolute from the working folder) first, dropping an
// earlier mention and the oldest beyond max_files. Only keys whose value
// changes are written. False when the settings cannot hold it.
bool add(settings& store, const std::string& path);

// The folders of the listed files, newest first, each once: the places the
// file panels offer besides the fixed ones.
std::vector<std::string> folders(const settings& store);

} // namespace recent_files

#endif
