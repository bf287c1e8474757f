// entry_ref names a file system entry. On this platform it holds the path;
// `name` points at its last component.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <SupportDefs.h>

#include <string>

struct entry_ref {
    entry_ref() = default;
    explicit entry_ref(const char* path);
    entry_ref(const entry_ref& other) : fPath(other.fPath) {}
    entry_ref& operator=(const entry_ref& other)
    {
        fPath = other.fPath;
        return *this;
    }

    // Builds the ref of `leaf` inside the directory `dir`.
    static entry_ref InDirectory(const entry_ref& dir, const char* leaf);

    const char* Path() const { return fPath.c_str(); }
    const char* Name() const; // last path component
    bool IsSet() const { return !fPath.empty(); }

    bool operator==(const entry_ref& other) const { return fPath == other.fPath; }
    bool operator!=(const entry_ref& other) const { return !(*this == other); }

private:
    std::string fPath;
};

// Makes `ref` name `path`, resolved to an absolute path.
status_t get_ref_for_path(const char* path, entry_ref* ref);

#endif
