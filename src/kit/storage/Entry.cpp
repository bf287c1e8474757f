#include "Entry.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

BEntry::BEntry(const entry_ref* ref)
{
    SetTo(ref);
}

BEntry::BEntry(const char* path)
{
    SetTo(path);
}

status_t BEntry::SetTo(const entry_ref* ref)
{
    if (!ref || !ref->IsSet())
        return fStatus = B_BAD_VALUE;
    return SetTo(ref->Path());
}

status_t BEntry::SetTo(const char* path)
{
    fPath.clear();
    if (!path || !*path)
        return fStatus = B_BAD_VALUE;
    fPath = path;
    return fStatus = B_OK;
}

bool BEntry::Exists() const
{
    struct stat st;
    return fStatus == B_OK && lstat(fPath.c_str(), &st) == 0;
}

status_t BEntry::GetRef(entry_ref* ref) const
{
    if (fStatus != B_OK)
        return fStatus;
    if (!ref)
        return B_BAD_VALUE;
    *ref = entry_ref(fPath.c_str());
    return B_OK;
}

status_t BEntry::Rename(const char* path, bool clobber)
{
    if (fStatus != B_OK)
        return fStatus;
    if (!path || !*path)
        return B_BAD_VALUE;
    std::string target = path;
    if (path[0] != '/') {
        size_t slash = fPath.find_last_of('/');
        target = (slash == std::string::npos ? std::string() : fPath.substr(0, slash + 1)) + path;
    }
    // rename() replaces the target in one step: a reader sees the old file
    // or the new one, never a part of either.
    int result = clobber ? rename(fPath.c_str(), target.c_str())
                         : renameat2(AT_FDCWD, fPath.c_str(), AT_FDCWD, target.c_str(),
                                     RENAME_NOREPLACE);
    if (result != 0)
        return -errno;
    fPath = target;
    return B_OK;
}

status_t BEntry::Remove()
{
    if (fStatus != B_OK)
        return fStatus;
    if (unlink(fPath.c_str()) != 0)
        return -errno;
    return B_OK;
}
