#include "SupportDefs.h"

#include <cstring>

const char* strerror_status(status_t status)
{
    switch (status) {
    case B_OK:
        return "no error";
    case B_ERROR:
        return "general error";
    case B_NO_INIT:
        return "not initialised";
    case B_BAD_INDEX:
        return "index out of range";
    case B_NAME_NOT_FOUND:
        return "name not found";
    case B_BAD_TYPE:
        return "wrong type";
    case B_MISMATCHED_VALUES:
        return "mismatched values";
    case B_BAD_HANDLER:
        return "bad handler";
    case B_BAD_PORT_ID:
        return "target is gone";
    default:
        break;
    }
    if (status < 0 && status > -4096)
        return std::strerror(-status);
    return "unknown error";
}
