// atomic_file: replaces a file so that its path holds either the old
// contents or the complete new ones, never a part of either.
//
// The new contents go to a temporary file in the folder of the file they
// replace (a rename within one file system is atomic); it takes the old
// file's permission bits, and its owner and group where the process may
// set them, and is renamed over it once written and synced. A path that is
// a symbolic link, or a chain of them, is followed: the links stay and the
// file they lead to gets the new contents.
#ifndef TAVREL_APP_ATOMIC_FILE_H
#define TAVREL_APP_ATOMIC_FILE_H

#include <Entry.h>
#include <File.h>

#include <string>

class atomic_file {
  public:
    atomic_file() = default;
    // Removes the temporary file unless the contents were committed.
    ~atomic_file();
    atomic_file(const atomic_file&) = delete;
    atomic_file& operator=(const atomic_file&) = delete;

    // Prepares to replace `path` (a missing file is created). On failure
    // returns the status and sets *why to words for the user.
    status_t begin(const std::string& path, std::string* why);
    // Where the contents go, open for writing, empty.
    BFile& file() { return fFile; }
    // Syncs the contents and puts them in place of the file.
    status_t commit(std::string* why);
    // The file written: the end of the link chain for a link.
    const std::string& target() const { return fTarget; }

  private:
    void discard();

    std::string fTarget;
    // The temporary file, named before it is made so that removing it
    // needs no memory.
    BEntry fTemporary;
    bool fMade = false;
    BFile fFile;
};

#endif
