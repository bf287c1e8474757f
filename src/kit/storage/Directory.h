// BDirectory: a folder, in which files can be created.
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <SupportDefs.h>
#include <Entry.h>

#include <string>
#include <vector>

#include <sys/types.h>

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
    // The entries of the folder one by one ("." and ".." left out), as
    // they stood at the first call after SetTo or Rewind;
    // B_ENTRY_NOT_FOUND after the last.
    status_t GetNextRef(entry_ref* ref);
    status_t Rewind();

private:
    std::string fPath;
    status_t fStatus = B_NO_INIT;
    std::vector<std::string> fNames;
    size_t fNext = 0;
    bool fListed = false;
};

// Makes the folder `path` with permission bits `mode`, and every missing
// folder above it; B_OK when it is there (made or not) afterwards.
status_t create_directory(const char* path, mode_t mode);

#endif
