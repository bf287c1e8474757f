#include "app/atomic_file.h"

#include "app/report.h"

#include <Directory.h>
#include <Entry.h>

namespace {

std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

atomic_file::~atomic_file() {
    discard();
}

void atomic_file::discard() {
    fFile.Unset();
    if (fMade)
        fTemporary.Remove();
    fMade = false;
}

status_t atomic_file::begin(const std::string& path, std::string* why) {
    discard();
    auto fail = [why](status_t status, const std::string& text) {
        if (why)
            *why = text;
        return status;
    };
    BEntry named(path.c_str());
    BEntry entry(path.c_str(), true);
    if (entry.InitCheck() == B_LINK_LIMIT)
        return fail(B_LINK_LIMIT, "its symbolic links form a loop");
    if (entry.InitCheck() == B_ENTRY_NOT_FOUND && named.IsSymLink())
        return fail(B_ENTRY_NOT_FOUND, "it is a symbolic link to a file that does not exist");
    bool exists = entry.InitCheck() == B_OK;
    if (!exists && entry.InitCheck() != B_ENTRY_NOT_FOUND)
        return fail(entry.InitCheck(), status_text(entry.InitCheck()));
    fTarget = exists ? entry.Path() : path;

    BDirectory folder(folder_of(fTarget).c_str());
    if (folder.InitCheck() != B_OK)
        return fail(folder.InitCheck(), status_text(folder.InitCheck()));
    status_t created = B_ERROR;
    std::string leaf = fTarget.substr(fTarget.rfind('/') + 1);
    for (int attempt = 0; attempt < 100 && created != B_OK; attempt++) {
        std::string name = ".tavrel-" + std::to_string(attempt) + "-" + leaf;
        fTemporary.SetTo((std::string(folder.Path()) + "/" + name).c_str());
        created = folder.CreateFile(name.c_str(), &fFile, true);
        fMade = created == B_OK;
        if (created != B_OK && created != B_FILE_EXISTS)
            break;
    }
    if (created != B_OK)
        return fail(created, status_text(created));
    if (exists) {
        mode_t permissions = 0644;
        uid_t owner;
        gid_t group;
        // Owner and group first: changing them may clear set-id bits.
        if (entry.GetOwner(&owner) == B_OK)
            fFile.SetOwner(owner);
        if (entry.GetGroup(&group) == B_OK)
            fFile.SetGroup(group);
        if (entry.GetPermissions(&permissions) == B_OK)
            fFile.SetPermissions(permissions);
    }
    return B_OK;
}

status_t atomic_file::commit(std::string* why) {
    if (!fMade || fFile.InitCheck() != B_OK) {
        if (why)
            *why = "nothing was written";
        return B_NO_INIT;
    }
    status_t status = fFile.Sync();
    if (status == B_OK) {
        fFile.Unset();
        status = fTemporary.Rename(fTarget.c_str(), true);
    }
    if (status != B_OK) {
        if (why)
            *why = status_text(status);
        discard();
        return status;
    }
    fMade = false;
    return B_OK;
}
