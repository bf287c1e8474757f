// BAppFileInfo: the file type of a file, kept in the extended attribute
// "user.mime_type" (the desktop's convention for a file's MIME type).
#ifndef _APP_FILE_INFO_H
#define _APP_FILE_INFO_H

#include <SupportDefs.h>

#include <string>

class BFile;

const size_t B_MIME_TYPE_LENGTH = 255;

class BAppFileInfo {
  public:
    BAppFileInfo();
    // The file must stay open while the info is used.
    explicit BAppFileInfo(BFile* file);
    virtual ~BAppFileInfo();

    status_t SetTo(BFile* file);
    status_t InitCheck() const { return fStatus; }

    // Stores `type` on the file. Fails (B_UNSUPPORTED where the file
    // system keeps no user attributes, B_NOT_ALLOWED where the file may
    // not carry them) rather than pretending.
    status_t SetType(const char* type);
    // Reads the stored type into `type` (B_MIME_TYPE_LENGTH + 1 bytes).
    status_t GetType(char* type) const;

  private:
    BFile* fFile = nullptr;
    status_t fStatus = B_NO_INIT;
};

#endif
