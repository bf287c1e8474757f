#include "Directory.h"

#include "File.h"

#include <cerrno>
#include <dirent.h>
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
    Rewind();
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

status_t BDirectory::Rewind()
{
    fNames.clear();
    fNext = 0;
    fListed = false;
    return fStatus;
}

status_t BDirectory::GetNextRef(entry_ref* ref)
{
    if (fStatus != B_OK)
        return fStatus;
    if (!ref)
        return B_BAD_VALUE;
    if (!fListed) {
        DIR* d = opendir(fPath.c_str());
        if (!d)
            return -errno;
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..")
                fNames.push_back(name);
        }
        closedir(d);
        fListed = true;
    }
    if (fNext >= fNames.size())
        return B_ENTRY_NOT_FOUND;
    *ref = entry_ref::InDirectory(entry_ref(fPath.c_str()), fNames[fNext++].c_str());
    return B_OK;
}

status_t create_directory(const char* path, mode_t mode)
{
    if (!path || !*path)
        return B_BAD_VALUE;
    std::string p = path;
    // Each folder from the top down; one that is there already is fine.
    for (size_t slash = p.find('/', 1);; slash = p.find('/', slash + 1)) {
        std::string part = p.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            return -errno;
        if (slash == std::string::npos)
            break;
    }
    struct stat st;
    if (stat(path, &st) != 0)
        return -errno;
    return S_ISDIR(st.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
}
