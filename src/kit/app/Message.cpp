#include "Message.h"

#include "kit_registry.h"

#include <Application.h>

#include <cstdio>
#include <cstring>

BMessage::BMessage() : what(0) {}

BMessage::BMessage(uint32 command) : what(command) {}

BMessage::BMessage(const BMessage& other) : what(other.what), fFields(other.fFields) {
    fWasDropped = other.fWasDropped;
    fDropPoint = other.fDropPoint;
}

BMessage& BMessage::operator=(const BMessage& other) {
    if (this != &other) {
        what = other.what;
        fFields = other.fFields;
        fWasDropped = other.fWasDropped;
        fDropPoint = other.fDropPoint;
    }
    return *this;
}

BMessage::~BMessage() {
    if (IsSourceWaiting())
        SendReply(B_NO_REPLY);
}

BMessage::field* BMessage::_Field(const char* name) {
    if (!name)
        return nullptr;
    for (field& f : fFields) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

const BMessage::field* BMessage::_Field(const char* name) const {
    return const_cast<BMessage*>(this)->_Field(name);
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const {
    const field* f = _Field(name);
    if (!f) {
        if (countFound)
            *countFound = 0;
        return B_NAME_NOT_FOUND;
    }
    if (typeFound)
        *typeFound = f->type;
    if (countFound)
        *countFound = (int32)f->values.size();
    return B_OK;
}

status_t BMessage::GetInfo(type_code type, int32 index, const char** nameFound,
                           type_code* typeFound, int32* countFound) const {
    if (index < 0)
        return B_BAD_INDEX;
    int32 seen = 0;
    for (const field& f : fFields) {
        if (type != B_ANY_TYPE && f.type != type)
            continue;
        if (seen++ == index) {
            if (nameFound)
                *nameFound = f.name.c_str();
            if (typeFound)
                *typeFound = f.type;
            if (countFound)
                *countFound = (int32)f.values.size();
            return B_OK;
        }
    }
    return seen == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

int32 BMessage::CountNames(type_code type) const {
    int32 count = 0;
    for (const field& f : fFields) {
        if (type == B_ANY_TYPE || f.type == type)
            count++;
    }
    return count;
}

status_t BMessage::MakeEmpty() {
    fFields.clear();
    return B_OK;
}

status_t BMessage::RemoveName(const char* name) {
    for (auto it = fFields.begin(); it != fFields.end(); ++it) {
        if (name && it->name == name) {
            fFields.erase(it);
            return B_OK;
        }
    }
    return B_NAME_NOT_FOUND;
}

status_t BMessage::RemoveData(const char* name, int32 index) {
    field* f = _Field(name);
    if (!f)
        return B_NAME_NOT_FOUND;
    if (index < 0 || index >= (int32)f->values.size())
        return B_BAD_INDEX;
    f->values.erase(f->values.begin() + index);
    if (f->values.empty())
        return RemoveName(name);
    return B_OK;
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const {
    const void* data;
    ssize_t size;
    return FindData(name, type, index, &data, &size) == B_OK;
}

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                           bool, int32) {
    if (!name || !*name || numBytes < 0 || (!data && numBytes > 0) || type == B_ANY_TYPE)
        return B_BAD_VALUE;
    field* f = _Field(name);
    if (f && f->type != type)
        return B_BAD_TYPE;
    if (!f) {
        fFields.push_back(field{name, type, {}});
        f = &fFields.back();
    }
    const uint8* bytes = static_cast<const uint8*>(data);
    f->values.emplace_back(bytes, bytes + numBytes);
    return B_OK;
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* numBytes) const {
    const field* f = _Field(name);
    if (!f)
        return B_NAME_NOT_FOUND;
    if (type != B_ANY_TYPE && f->type != type)
        return B_BAD_TYPE;
    if (index < 0 || index >= (int32)f->values.size())
        return B_BAD_INDEX;
    const std::vector<uint8>& value = f->values[index];
    if (data)
        *data = value.data();
    if (numBytes)
        *numBytes = (ssize_t)value.size();
    return B_OK;
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                               ssize_t numBytes) {
    field* f = _Field(name);
    if (!f)
        return B_NAME_NOT_FOUND;
    if (f->type != type)
        return B_BAD_TYPE;
    if (index < 0 || index >= (int32)f->values.size())
        return B_BAD_INDEX;
    if (numBytes < 0 || (!data && numBytes > 0))
        return B_BAD_VALUE;
    const uint8* bytes = static_cast<const uint8*>(data);
    f->values[index].assign(bytes, bytes + numBytes);
    return B_OK;
}

status_t BMessage::_FindFixed(const char* name, type_code type, int32 index, void* out,
                              size_t size) const {
    const void* data;
    ssize_t found;
    status_t status = FindData(name, type, index, &data, &found);
    if (status != B_OK)
        return status;
    if ((size_t)found != size)
        return B_BAD_TYPE;
    std::memcpy(out, data, size);
    return B_OK;
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const {
    const void* value;
    status_t status = _FindFixed(name, B_POINTER_TYPE, index, &value, sizeof value);
    if (status == B_OK && pointer)
        *pointer = const_cast<void*>(value);
    return status;
}

status_t BMessage::AddString(const char* name, const char* string) {
    if (!string)
        return B_BAD_VALUE;
    return AddData(name, B_STRING_TYPE, string, (ssize_t)std::strlen(string) + 1, false);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const {
    const void* data;
    ssize_t size;
    status_t status = FindData(name, B_STRING_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    // Every stored string carries its NUL; anything else is not a string.
    if (size < 1 || static_cast<const char*>(data)[size - 1] != '\0')
        return B_BAD_TYPE;
    if (string)
        *string = static_cast<const char*>(data);
    return B_OK;
}

status_t BMessage::FindString(const char* name, int32 index, std::string* string) const {
    const char* text;
    status_t status = FindString(name, index, &text);
    if (status == B_OK && string)
        *string = text;
    return status;
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string) {
    if (!string)
        return B_BAD_VALUE;
    return ReplaceData(name, B_STRING_TYPE, index, string, (ssize_t)std::strlen(string) + 1);
}

const char* BMessage::GetString(const char* name, const char* defaultValue) const {
    const char* text;
    return FindString(name, &text) == B_OK ? text : defaultValue;
}

status_t BMessage::AddRef(const char* name, const entry_ref* ref) {
    if (!ref)
        return B_BAD_VALUE;
    return AddData(name, B_REF_TYPE, ref->Path(), (ssize_t)std::strlen(ref->Path()) + 1, false);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const {
    const void* data;
    ssize_t size;
    status_t status = FindData(name, B_REF_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    if (size < 1 || static_cast<const char*>(data)[size - 1] != '\0')
        return B_BAD_TYPE;
    if (ref)
        *ref = entry_ref(static_cast<const char*>(data));
    return B_OK;
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref) {
    if (!ref)
        return B_BAD_VALUE;
    return ReplaceData(name, B_REF_TYPE, index, ref->Path(), (ssize_t)std::strlen(ref->Path()) + 1);
}

status_t BMessage::AddMessenger(const char* name, BMessenger messenger) {
    return AddData(name, B_MESSENGER_TYPE, &messenger, sizeof messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const {
    BMessenger value;
    status_t status = _FindFixed(name, B_MESSENGER_TYPE, index, &value, sizeof value);
    if (status == B_OK && messenger)
        *messenger = value;
    return status;
}

bool BMessage::IsSourceWaiting() const {
    return fReplySlot && !fReplied;
}

status_t BMessage::SendReply(uint32 command, BHandler* replyTo) {
    BMessage reply(command);
    return SendReply(&reply, replyTo);
}

status_t BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout) {
    if (!reply)
        return B_BAD_VALUE;
    if (fReplied)
        return B_DUPLICATE_REPLY;
    fReplied = true;
    if (fReplySlot) {
        std::lock_guard<std::mutex> guard(fReplySlot->lock);
        fReplySlot->reply = new BMessage(*reply);
        fReplySlot->done = true;
        fReplySlot->done_changed.notify_all();
        return B_OK;
    }
    BMessage copy(*reply);
    copy.fIsReply = true;
    // Without a return address the reply goes to the application, as a
    // reply to a message sent without one always has.
    BMessenger target = fReplyTo.IsValid() ? fReplyTo : be_app_messenger;
    BMessenger replyAddress;
    if (replyTo)
        replyAddress = BMessenger(replyTo);
    return target.SendMessage(&copy, replyAddress, timeout);
}

BPoint BMessage::DropPoint(BPoint* offset) const {
    if (offset)
        *offset = BPoint();
    return fDropPoint;
}

void BMessage::PrintToStream() const {
    uint32 w = what;
    std::printf("BMessage('%c%c%c%c') {\n", (char)(w >> 24), (char)(w >> 16), (char)(w >> 8),
                (char)w);
    for (const field& f : fFields) {
        uint32 t = f.type;
        std::printf("        %s, type = '%c%c%c%c', count = %zu\n", f.name.c_str(), (char)(t >> 24),
                    (char)(t >> 16), (char)(t >> 8), (char)t, f.values.size());
    }
    std::printf("}\n");
}
