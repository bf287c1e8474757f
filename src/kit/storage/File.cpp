#include "File.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int posix_flags(uint32 mode) {
    int flags = 0;
    switch (mode & 0x3) {
    case B_WRITE_ONLY:
        flags = O_WRONLY;
        break;
    case B_READ_WRITE:
        flags = O_RDWR;
        break;
    default:
        flags = O_RDONLY;
        break;
    }
    if (mode & B_CREATE_FILE)
        flags |= O_CREAT;
    if (mode & B_ERASE_FILE)
        flags |= O_TRUNC;
    if (mode & B_FAIL_IF_EXISTS)
        flags |= O_EXCL;
    if (mode & B_OPEN_AT_END)
        flags |= O_APPEND;
    return flags | O_CLOEXEC;
}

} // namespace

BFile::BFile() {}

BFile::BFile(const entry_ref* ref, uint32 openMode) {
    SetTo(ref, openMode);
}

BFile::BFile(const char* path, uint32 openMode) {
    SetTo(path, openMode);
}

BFile::~BFile() {
    Unset();
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode) {
    if (!ref) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetTo(ref->Path(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode) {
    Unset();
    if (!path || !*path)
        return fStatus = B_BAD_VALUE;
    int fd = ::open(path, posix_flags(openMode), 0644);
    if (fd < 0)
        return fStatus = -errno;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fStatus = B_IS_A_DIRECTORY;
    }
    fFd = fd;
    fMode = openMode;
    return fStatus = B_OK;
}

void BFile::Unset() {
    if (fFd >= 0)
        ::close(fFd);
    fFd = -1;
    fMode = 0;
    fStatus = B_NO_INIT;
}

bool BFile::IsReadable() const {
    return fFd >= 0 && (fMode & 0x3) != B_WRITE_ONLY;
}

bool BFile::IsWritable() const {
    return fFd >= 0 && (fMode & 0x3) != B_READ_ONLY;
}

namespace {

// Repeats a read or write call until `size` bytes moved, the call reports
// the end (0) or an error. Returns the bytes moved, or -errno when nothing
// moved before the error.
template <typename Call> ssize_t transfer_all(size_t size, Call call) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = call(done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done ? (ssize_t)done : -errno;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

ssize_t BFile::Read(void* buffer, size_t size) {
    if (fFd < 0)
        return B_NO_INIT;
    return transfer_all(
        size, [&](size_t done) { return ::read(fFd, (char*)buffer + done, size - done); });
}

ssize_t BFile::Write(const void* buffer, size_t size) {
    if (fFd < 0)
        return B_NO_INIT;
    return transfer_all(
        size, [&](size_t done) { return ::write(fFd, (const char*)buffer + done, size - done); });
}

ssize_t BFile::ReadAt(off_t pos, void* buffer, size_t size) {
    if (fFd < 0)
        return B_NO_INIT;
    if (pos < 0)
        return B_BAD_VALUE;
    return transfer_all(size, [&](size_t done) {
        return ::pread(fFd, (char*)buffer + done, size - done, pos + done);
    });
}

ssize_t BFile::WriteAt(off_t pos, const void* buffer, size_t size) {
    if (fFd < 0)
        return B_NO_INIT;
    if (pos < 0)
        return B_BAD_VALUE;
    return transfer_all(size, [&](size_t done) {
        return ::pwrite(fFd, (const char*)buffer + done, size - done, pos + done);
    });
}

off_t BFile::Seek(off_t position, uint32 mode) {
    if (fFd < 0)
        return B_NO_INIT;
    off_t r = ::lseek(fFd, position, (int)mode);
    return r < 0 ? -errno : r;
}

off_t BFile::Position() const {
    if (fFd < 0)
        return B_NO_INIT;
    off_t r = ::lseek(fFd, 0, SEEK_CUR);
    return r < 0 ? -errno : r;
}

status_t BFile::GetSize(off_t* size) const {
    if (fFd < 0)
        return B_NO_INIT;
    struct stat st;
    if (fstat(fFd, &st) != 0)
        return -errno;
    *size = st.st_size;
    return B_OK;
}

status_t BFile::SetSize(off_t size) {
    if (fFd < 0)
        return B_NO_INIT;
    return ::ftruncate(fFd, size) == 0 ? B_OK : -errno;
}

status_t BFile::Sync() {
    if (fFd < 0)
        return B_NO_INIT;
    return ::fsync(fFd) == 0 ? B_OK : -errno;
}

status_t BFile::GetPermissions(mode_t* permissions) const {
    if (fFd < 0)
        return B_NO_INIT;
    struct stat st;
    if (!permissions)
        return B_BAD_VALUE;
    if (fstat(fFd, &st) != 0)
        return -errno;
    *permissions = st.st_mode & 07777;
    return B_OK;
}

status_t BFile::SetPermissions(mode_t permissions) {
    if (fFd < 0)
        return B_NO_INIT;
    return fchmod(fFd, permissions & 07777) == 0 ? B_OK : -errno;
}

status_t BFile::SetOwner(uid_t owner) {
    if (fFd < 0)
        return B_NO_INIT;
    return fchown(fFd, owner, (gid_t)-1) == 0 ? B_OK : -errno;
}

status_t BFile::SetGroup(gid_t group) {
    if (fFd < 0)
        return B_NO_INIT;
    return fchown(fFd, (uid_t)-1, group) == 0 ? B_OK : -errno;
}

status_t BFile::Lock() {
    if (fFd < 0)
        return B_NO_INIT;
    while (flock(fFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? B_BUSY : -errno;
    }
    return B_OK;
}

status_t BFile::Unlock() {
    if (fFd < 0)
        return B_NO_INIT;
    return flock(fFd, LOCK_UN) == 0 ? B_OK : -errno;
}
