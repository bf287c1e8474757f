// Basic integer types, status codes and small helpers shared by the kit.
#ifndef _SUPPORT_DEFS_H
#define _SUPPORT_DEFS_H

#include <cstddef>
#include <cstdint>
#include <cerrno>

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef int64 off_t_be;
typedef uint32 type_code;

// Status codes. Errors are negative; POSIX errno values map to -errno.
enum {
    B_OK = 0,
    B_NO_ERROR = 0,
    B_ERROR = -1,
    B_NO_MEMORY = -ENOMEM,
    B_BAD_VALUE = -EINVAL,
    B_NO_INIT = -0x7fff0001,
    B_TIMED_OUT = -ETIMEDOUT,
    B_WOULD_BLOCK = -EWOULDBLOCK,
    B_BAD_INDEX = -0x7fff0002,
    B_NAME_NOT_FOUND = -0x7fff0003,
    B_BAD_TYPE = -0x7fff0004,
    B_MISMATCHED_VALUES = -0x7fff0005,
    B_BAD_HANDLER = -0x7fff0006,
    B_BAD_PORT_ID = -0x7fff0007,
    B_DUPLICATE_REPLY = -0x7fff0008,
    B_UNSUPPORTED = -ENOTSUP,
    B_ENTRY_NOT_FOUND = -ENOENT,
    B_FILE_EXISTS = -EEXIST,
    B_PERMISSION_DENIED = -EACCES,
    B_NOT_A_DIRECTORY = -ENOTDIR,
    B_IS_A_DIRECTORY = -EISDIR,
    B_DEVICE_FULL = -ENOSPC,
    B_READ_ONLY_DEVICE = -EROFS,
    B_NOT_ALLOWED = -EPERM,
    B_LINK_LIMIT = -ELOOP,
    B_NAME_TOO_LONG = -ENAMETOOLONG,
    B_BUSY = -EBUSY,
};

const bigtime_t B_INFINITE_TIMEOUT = INT64_MAX;

// Human-readable text for a status code.
const char* strerror_status(status_t status);

#endif
