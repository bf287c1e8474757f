// BMessage: a command code (`what`) and named fields. A name may hold
// several values of one type, found by index; the order of names and of
// values is kept.
#ifndef _MESSAGE_H
#define _MESSAGE_H

#include <AppDefs.h>
#include <Entry.h>
#include <Messenger.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class BHandler;
class BLooper;

namespace kit {
struct reply_slot;
}

class BMessage {
  public:
    uint32 what;

    BMessage();
    explicit BMessage(uint32 what);
    BMessage(const BMessage& other);
    BMessage& operator=(const BMessage& other);
    virtual ~BMessage();

    // Field inventory.
    status_t GetInfo(const char* name, type_code* typeFound, int32* countFound = nullptr) const;
    status_t GetInfo(type_code type, int32 index, const char** nameFound, type_code* typeFound,
                     int32* countFound = nullptr) const;
    int32 CountNames(type_code type) const;
    bool IsEmpty() const { return fFields.empty(); }
    status_t MakeEmpty();
    status_t RemoveName(const char* name);
    status_t RemoveData(const char* name, int32 index = 0);
    bool HasData(const char* name, type_code type, int32 index = 0) const;

    // Raw data of any type; the typed calls below are built on these.
    status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                     bool isFixedSize = true, int32 count = 1);
    status_t FindData(const char* name, type_code type, int32 index, const void** data,
                      ssize_t* numBytes) const;
    status_t FindData(const char* name, type_code type, const void** data,
                      ssize_t* numBytes) const {
        return FindData(name, type, 0, data, numBytes);
    }
    status_t ReplaceData(const char* name, type_code type, int32 index, const void* data,
                         ssize_t numBytes);
    status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes) {
        return ReplaceData(name, type, 0, data, numBytes);
    }

#define KIT_MESSAGE_TYPE(Name, Type, Code)                                                         \
    status_t Add##Name(const char* name, Type value) {                                             \
        return AddData(name, Code, &value, sizeof(Type));                                          \
    }                                                                                              \
    status_t Find##Name(const char* name, int32 index, Type* value) const {                        \
        return _FindFixed(name, Code, index, value, sizeof(Type));                                 \
    }                                                                                              \
    status_t Find##Name(const char* name, Type* value) const {                                     \
        return _FindFixed(name, Code, 0, value, sizeof(Type));                                     \
    }                                                                                              \
    status_t Replace##Name(const char* name, int32 index, Type value) {                            \
        return ReplaceData(name, Code, index, &value, sizeof(Type));                               \
    }                                                                                              \
    status_t Replace##Name(const char* name, Type value) {                                         \
        return ReplaceData(name, Code, 0, &value, sizeof(Type));                                   \
    }                                                                                              \
    bool Has##Name(const char* name, int32 index = 0) const {                                      \
        return HasData(name, Code, index);                                                         \
    }                                                                                              \
    Type Get##Name(const char* name, Type defaultValue) const {                                    \
        Type value;                                                                                \
        return Find##Name(name, &value) == B_OK ? value : defaultValue;                            \
    }

    KIT_MESSAGE_TYPE(Bool, bool, B_BOOL_TYPE)
    KIT_MESSAGE_TYPE(Int8, int8, B_INT8_TYPE)
    KIT_MESSAGE_TYPE(UInt8, uint8, B_UINT8_TYPE)
    KIT_MESSAGE_TYPE(Int16, int16, B_INT16_TYPE)
    KIT_MESSAGE_TYPE(UInt16, uint16, B_UINT16_TYPE)
    KIT_MESSAGE_TYPE(Int32, int32, B_INT32_TYPE)
    KIT_MESSAGE_TYPE(UInt32, uint32, B_UINT32_TYPE)
    KIT_MESSAGE_TYPE(Int64, int64, B_INT64_TYPE)
    KIT_MESSAGE_TYPE(UInt64, uint64, B_UINT64_TYPE)
    KIT_MESSAGE_TYPE(Float, float, B_FLOAT_TYPE)
    KIT_MESSAGE_TYPE(Double, double, B_DOUBLE_TYPE)
    KIT_MESSAGE_TYPE(Point, BPoint, B_POINT_TYPE)
    KIT_MESSAGE_TYPE(Rect, BRect, B_RECT_TYPE)
    KIT_MESSAGE_TYPE(Pointer, const void*, B_POINTER_TYPE)
#undef KIT_MESSAGE_TYPE

    // Pointers come back as void* for convenience, as on BeOS.
    status_t FindPointer(const char* name, int32 index, void** pointer) const;
    status_t FindPointer(const char* name, void** pointer) const {
        return FindPointer(name, 0, pointer);
    }

    // Strings are stored with their terminating NUL.
    status_t AddString(const char* name, const char* string);
    status_t AddString(const char* name, const std::string& string) {
        return AddString(name, string.c_str());
    }
    status_t FindString(const char* name, int32 index, const char** string) const;
    status_t FindString(const char* name, const char** string) const {
        return FindString(name, 0, string);
    }
    status_t FindString(const char* name, int32 index, std::string* string) const;
    status_t FindString(const char* name, std::string* string) const {
        return FindString(name, 0, string);
    }
    status_t ReplaceString(const char* name, int32 index, const char* string);
    status_t ReplaceString(const char* name, const char* string) {
        return ReplaceString(name, 0, string);
    }
    bool HasString(const char* name, int32 index = 0) const {
        return HasData(name, B_STRING_TYPE, index);
    }
    const char* GetString(const char* name, const char* defaultValue) const;

    status_t AddRef(const char* name, const entry_ref* ref);
    status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
    status_t FindRef(const char* name, entry_ref* ref) const {
        return FindRef(name, 0, ref);
    }
    status_t ReplaceRef(const char* name, int32 index, const entry_ref* ref);
    status_t ReplaceRef(const char* name, const entry_ref* ref) {
        return ReplaceRef(name, 0, ref);
    }
    bool HasRef(const char* name, int32 index = 0) const {
        return HasData(name, B_REF_TYPE, index);
    }

    status_t AddMessenger(const char* name, BMessenger messenger);
    status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;
    status_t FindMessenger(const char* name, BMessenger* messenger) const {
        return FindMessenger(name, 0, messenger);
    }
    bool HasMessenger(const char* name, int32 index = 0) const {
        return HasData(name, B_MESSENGER_TYPE, index);
    }

    // Replies. A message sent with a synchronous SendMessage waits for one
    // reply; if the receiver never replies, the sender gets B_NO_REPLY when
    // the message is deleted.
    status_t SendReply(uint32 command, BHandler* replyTo = nullptr);
    status_t SendReply(BMessage* reply, BHandler* replyTo = nullptr,
                       bigtime_t timeout = B_INFINITE_TIMEOUT);
    bool IsSourceWaiting() const;
    bool IsReply() const {
        return fIsReply;
    }
    const BMessage* Previous() const {
        return nullptr;
    }
    BMessenger ReturnAddress() const {
        return fReplyTo;
    }

    // Drag and drop: a message that arrived by a drop on a view.
    bool WasDropped() const {
        return fWasDropped;
    }
    BPoint DropPoint(BPoint* offset = nullptr) const;

    // Marks the message as dropped at `where` (window coordinates); for
    // display backends.
    void kit_set_dropped(BPoint where) {
        fWasDropped = true;
        fDropPoint = where;
    }

    // Prints the message and its fields on standard output.
    void PrintToStream() const;

  private:
    friend class BLooper;
    friend class BMessenger;
    friend class BWindow;

    struct field {
        std::string name;
        type_code type;
        std::vector<std::vector<uint8>> values;
    };

    field* _Field(const char* name);
    const field* _Field(const char* name) const;
    status_t _FindFixed(const char* name, type_code type, int32 index, void* out,
                        size_t size) const;

    std::vector<field> fFields;

    // Delivery state, not copied with the fields.
    int32 fTargetToken = -1;                     // handler the message is for, -1 = preferred
    BMessenger fReplyTo;                         // where an asynchronous reply goes
    std::shared_ptr<kit::reply_slot> fReplySlot; // a waiting synchronous sender
    bool fReplied = false;
    bool fIsReply = false;
    bool fWasDropped = false;
    BPoint fDropPoint;
};

#endif
