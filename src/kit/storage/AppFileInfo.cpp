#include "AppFileInfo.h"

#include <File.h>

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

namespace {
const char kTypeAttribute[] = "user.mime_type";

status_t from_errno(int error) {
    switch (error) {
    case ENOTSUP:
        return B_UNSUPPORTED;
    case EPERM:
        return B_NOT_ALLOWED;
    case EACCES:
        return B_PERMISSION_DENIED;
    case ENOSPC:
    case EDQUOT:
        return B_DEVICE_FULL;
    case EROFS:
        return B_READ_ONLY_DEVICE;
    case ENODATA:
        return B_ENTRY_NOT_FOUND;
    default:
        return error > 0 ? -error : B_ERROR;
    }
}

// A MIME type is "type/subtype" in printable ASCII, without spaces.
bool valid_type(const char* type) {
    size_t length = std::strlen(type);
    if (length == 0 || length > B_MIME_TYPE_LENGTH)
        return false;
    const char* slash = std::strchr(type, '/');
    if (!slash || slash == type || slash[1] == 0 || std::strchr(slash + 1, '/'))
        return false;
    for (const char* p = type; *p; p++) {
        if (*p <= ' ' || *p >= 0x7f)
            return false;
    }
    return true;
}
} // namespace

BAppFileInfo::BAppFileInfo() = default;

BAppFileInfo::BAppFileInfo(BFile* file) {
    SetTo(file);
}

BAppFileInfo::~BAppFileInfo() = default;

status_t BAppFileInfo::SetTo(BFile* file) {
    fFile = file;
    fStatus = file ? file->InitCheck() : B_BAD_VALUE;
    return fStatus;
}

status_t BAppFileInfo::SetType(const char* type) {
    if (fStatus != B_OK)
        return fStatus;
    if (!type)
        return fremovexattr(fFile->FileDescriptor(), kTypeAttribute) == 0 || errno == ENODATA
                   ? B_OK
                   : from_errno(errno);
    if (!valid_type(type))
        return B_BAD_VALUE;
    if (fsetxattr(fFile->FileDescriptor(), kTypeAttribute, type, std::strlen(type), 0) != 0)
        return from_errno(errno);
    return B_OK;
}

status_t BAppFileInfo::GetType(char* type) const {
    if (fStatus != B_OK)
        return fStatus;
    if (!type)
        return B_BAD_VALUE;
    ssize_t length = fgetxattr(fFile->FileDescriptor(), kTypeAttribute, type, B_MIME_TYPE_LENGTH);
    if (length < 0)
        return from_errno(errno);
    type[length] = 0;
    return B_OK;
}
