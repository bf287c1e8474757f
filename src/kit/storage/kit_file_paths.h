// What the file panel does with names and typed paths: natural order,
// "~" expansion, Tab completion, name patterns.
#ifndef KIT_STORAGE_KIT_FILE_PATHS_H
#define KIT_STORAGE_KIT_FILE_PATHS_H

#include <string>
#include <vector>

namespace kit {

// Natural order: without regard to case, and runs of digits by their
// value, so that "file2" comes before "file10".
bool natural_less(const std::string& a, const std::string& b);

// "~" and "~/..." in `typed` name the home folder; a relative path is
// taken from `folder`. The result has no trailing slash (except "/").
std::string expand_path(const std::string& typed, const std::string& folder);

// Completes the last part of `typed` from the entries of its folder
// (hidden ones only when that part starts with "."): the longest prefix
// shared by every entry it starts, with "/" after a single folder.
// Returns `typed` unchanged when nothing completes it. `matches` gets the
// number of entries the last part starts.
std::string complete_path(const std::string& typed, const std::string& folder,
                          int* matches = nullptr);

// True when `name` matches one of the shell patterns (without regard to
// case); an empty list matches every name.
bool matches_patterns(const std::string& name, const std::vector<std::string>& patterns);

} // namespace kit

#endif
