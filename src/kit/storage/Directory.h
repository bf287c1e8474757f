// BDirectory: a folder, in which files can be created.
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <SupportDefs.h>
#include <Entry.h>

class BFile;

class BDirectory {
public:
    BDirectory() = default;
    explicit BDirectory(const entry_ref* ref);
    explicit BDirectory(const char* path);

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const char* path);
    status_t InitCheck() const { return fStatus; }

    // Opens `path` (relative to this directory) read-write, creating it or
    // emptying an existing file; with failIfExists an existing file is an
    // error instead.
    status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);

    const char* Path() const { return fPath.c_str(); }

private:
    std::string fPath;
    status_t fStatus = B_NO_INIT;
};

#endif
