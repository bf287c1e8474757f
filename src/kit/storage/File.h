// BFile: a file opened for positioned reads and writes, over a POSIX
// file descriptor.
#ifndef _FILE_H
#define _FILE_H

#include <SupportDefs.h>
#include <Entry.h>

#include <sys/types.h>

// Open modes.
const uint32 B_READ_ONLY = 0x0000;
const uint32 B_WRITE_ONLY = 0x0001;
const uint32 B_READ_WRITE = 0x0002;
const uint32 B_CREATE_FILE = 0x0200;
const uint32 B_ERASE_FILE = 0x0400;
const uint32 B_FAIL_IF_EXISTS = 0x0800;
const uint32 B_OPEN_AT_END = 0x1000;


class BFile {
public:
    BFile();
    BFile(const entry_ref* ref, uint32 openMode);
    BFile(const char* path, uint32 openMode);
    BFile(const BFile&) = delete;
    BFile& operator=(const BFile&) = delete;
    virtual ~BFile();

    status_t SetTo(const entry_ref* ref, uint32 openMode);
    status_t SetTo(const char* path, uint32 openMode);
    void Unset();
    status_t InitCheck() const { return fStatus; }

    bool IsReadable() const;
    bool IsWritable() const;

    // Read/Write return the byte count, or a negative status.
    ssize_t Read(void* buffer, size_t size);
    ssize_t Write(const void* buffer, size_t size);
    ssize_t ReadAt(off_t pos, void* buffer, size_t size);
    ssize_t WriteAt(off_t pos, const void* buffer, size_t size);

    // Returns the new position, or a negative status. `mode` is SEEK_SET,
    // SEEK_CUR or SEEK_END.
    off_t Seek(off_t position, uint32 mode);
    off_t Position() const;

    status_t GetSize(off_t* size) const;
    status_t SetSize(off_t size);
    status_t Sync();
    // The file's permission bits (the low 12 bits of its mode), owner and
    // group. Setting an owner or group the process may not give fails with
    // B_NOT_ALLOWED and changes nothing.
    status_t GetPermissions(mode_t* permissions) const;
    status_t SetPermissions(mode_t permissions);
    status_t SetOwner(uid_t owner);
    status_t SetGroup(gid_t group);
    // Takes the file for this open file alone (an advisory lock, let go by
    // Unlock, by closing the file, or when the process ends however it
    // ends); another holder makes it fail with B_BUSY at once.
    status_t Lock();
    status_t Unlock();

    int FileDescriptor() const { return fFd; }

private:
    int fFd = -1;
    uint32 fMode = 0;
    status_t fStatus = B_NO_INIT;
};

#endif
