#include "Directory.h"

#include "File.h"

#include <sys/stat.h>

BDirectory::BDirectory(const entry_ref* ref)
{
    SetTo(ref);
}

BDirectory::BDirectory(const char* path)
{
    SetTo(path);
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
    if (!ref)
        return fStatus = B_BAD_VALUE;
    return SetTo(ref->Path());
}

status_t BDirectory::SetTo(const char* path)
{
    fPath.clear();
    if (!path || !*path)
        return fStatus = B_BAD_VALUE;
    struct stat st;
    if (stat(path, &st) != 0)
        return fStatus = -errno;
    if (!S_ISDIR(st.st_mode))
        return fStatus = B_NOT_A_DIRECTORY;
    fPath = path;
    return fStatus = B_OK;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
    if (!path || !*path || !file)
        return B_BAD_VALUE;
    std::string full;
    if (path[0] == '/') {
        full = path;
    } else {
        if (fStatus != B_OK)
            return fStatus;
        full = fPath;
        if (full.back() != '/')
            full += '/';
        full += path;
    }
    uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
    return file->SetTo(full.c_str(), mode);
}
