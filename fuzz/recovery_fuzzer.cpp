// Feeds arbitrary bytes to the search for recovery copies left by programs
// that did not end normally: the input is split at its first zero byte
// into the text of a copy's info file and its font copy, both put in a
// state folder, and the folder is searched (the info read and parsed, the
// font copy's checksum summed); an offered copy is then loaded as the
// program would load it.
#include "app/recovery.h"

#include "font/ttf.h"

#include <File.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string folder() {
    static std::string made;
    if (made.empty()) {
        char path[] = "/tmp/tavrel-recovery-fuzz-XXXXXX";
        if (!mkdtemp(path))
            abort();
        made = path;
    }
    return made;
}

void put(const std::string& path, const uint8_t* data, size_t size) {
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    if (size && file.WriteAt(0, data, size) != (ssize_t)size)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* split = (const uint8_t*)memchr(data, 0, size);
    size_t info = split ? (size_t)(split - data) : size;
    put(folder() + "/0123abcd.info", data, info);
    put(folder() + "/0123abcd.ttf", split ? split + 1 : data, split ? size - info - 1 : 0);
    recovery search(folder());
    for (recovery::left& copy : search.left_copies()) {
        BFile file(copy.fontpath.c_str(), B_READ_ONLY);
        ttf font;
        font.load(file);
    }
    return 0;
}
