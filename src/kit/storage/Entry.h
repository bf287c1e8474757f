// entry_ref names a file system entry. On this platform it holds the path;
// `name` points at its last component.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <SupportDefs.h>

#include <string>

#include <sys/types.h>

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

// BEntry: a named entry in the file system, which can be renamed or
// removed.
class BEntry {
public:
    BEntry() = default;
    explicit BEntry(const entry_ref* ref);
    explicit BEntry(const char* path);
    // With `traverse`, a symbolic link (or a chain of them) is followed to
    // the entry it finally names: a link to nothing fails with
    // B_ENTRY_NOT_FOUND, a loop (or a chain too long) with B_LINK_LIMIT.
    BEntry(const char* path, bool traverse);

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const char* path);
    status_t SetTo(const char* path, bool traverse);
    status_t InitCheck() const { return fStatus; }
    bool Exists() const;
    status_t GetRef(entry_ref* ref) const;
    const char* Path() const { return fPath.c_str(); }
    bool IsSymLink() const;
    // The entry's permission bits (the low 12 bits of its mode), owner and
    // group; a link's are those of the link itself.
    status_t GetPermissions(mode_t* permissions) const;
    status_t GetOwner(uid_t* owner) const;
    status_t GetGroup(gid_t* group) const;

    // Moves the entry to `path` (a relative path is taken in the entry's
    // folder). An entry already there is replaced, in one step, only with
    // `clobber`; otherwise that is an error.
    status_t Rename(const char* path, bool clobber = false);
    status_t Remove();

private:
    std::string fPath;
    status_t fStatus = B_NO_INIT;
};

// Makes `ref` name `path`, resolved to an absolute path.
status_t get_ref_for_path(const char* path, entry_ref* ref);

#endif
