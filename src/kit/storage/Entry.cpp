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

BEntry::BEntry(const char* path, bool traverse)
{
    SetTo(path, traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
    if (SetTo(path) != B_OK || !traverse)
        return fStatus;
    // As the kernel does, a chain longer than 40 links counts as a loop.
    for (int links = 0;; links++) {
        struct stat st;
        if (lstat(fPath.c_str(), &st) != 0) {
            status_t status = -errno;
            fPath.clear();
            return fStatus = status;
        }
        if (!S_ISLNK(st.st_mode))
            return fStatus = B_OK;
        if (links == 40) {
            fPath.clear();
            return fStatus = B_LINK_LIMIT;
        }
        std::string target(PATH_MAX, '\0');
        ssize_t n = readlink(fPath.c_str(), &target[0], target.size());
        if (n < 0 || (size_t)n >= target.size()) {
            status_t status = n < 0 ? -errno : B_NAME_TOO_LONG;
            fPath.clear();
            return fStatus = status;
        }
        target.resize((size_t)n);
        // A relative target is taken from the link's own folder.
        if (target.empty() || target[0] != '/') {
            size_t slash = fPath.find_last_of('/');
            target = (slash == std::string::npos ? std::string() : fPath.substr(0, slash + 1)) +
                     target;
        }
        fPath = target;
    }
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

bool BEntry::IsSymLink() const
{
    struct stat st;
    return fStatus == B_OK && lstat(fPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

namespace {
status_t stat_of(status_t init, const std::string& path, struct stat* st)
{
    if (init != B_OK)
        return init;
    return lstat(path.c_str(), st) == 0 ? B_OK : -errno;
}
} // namespace

status_t BEntry::GetPermissions(mode_t* permissions) const
{
    struct stat st;
    status_t status = permissions ? stat_of(fStatus, fPath, &st) : B_BAD_VALUE;
    if (status == B_OK)
        *permissions = st.st_mode & 07777;
    return status;
}

status_t BEntry::GetOwner(uid_t* owner) const
{
    struct stat st;
    status_t status = owner ? stat_of(fStatus, fPath, &st) : B_BAD_VALUE;
    if (status == B_OK)
        *owner = st.st_uid;
    return status;
}

status_t BEntry::GetGroup(gid_t* group) const
{
    struct stat st;
    status_t status = group ? stat_of(fStatus, fPath, &st) : B_BAD_VALUE;
    if (status == B_OK)
        *group = st.st_gid;
    return status;
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
