#include "Entry.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

entry_ref::entry_ref(const char* path) : fPath(path ? path : "") {}

entry_ref entry_ref::InDirectory(const entry_ref& dir, const char* leaf)
{
    std::string path = dir.fPath;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += leaf ? leaf : "";
    return entry_ref(path.c_str());
}

const char* entry_ref::Name() const
{
    size_t slash = fPath.find_last_of('/');
    if (slash == std::string::npos)
        return fPath.c_str();
    return fPath.c_str() + slash + 1;
}

status_t get_ref_for_path(const char* path, entry_ref* ref)
{
    if (!path || !*path || !ref)
        return B_BAD_VALUE;
    std::string full;
    if (path[0] == '/') {
        full = path;
    } else {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return -errno;
        full = cwd;
        full += '/';
        full += path;
    }
    *ref = entry_ref(full.c_str());
    return B_OK;
}
