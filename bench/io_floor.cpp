// The I/O floor: read a whole file into memory and write it back out, with
// nothing in between. Whatever a font round trip costs beyond this program
// is the cost of the model itself.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool read_all(int fd, std::vector<unsigned char>& bytes) {
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size < 0)
        return false;
    bytes.resize((size_t)st.st_size);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    return true;
}

bool write_all(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: io_floor IN OUT\n");
        return 2;
    }
    int in = open(argv[1], O_RDONLY);
    if (in < 0) {
        fprintf(stderr, "io_floor: cannot open %s: %s\n", argv[1], strerror(errno));
        return 1;
    }
    std::vector<unsigned char> bytes;
    bool ok = read_all(in, bytes);
    close(in);
    if (!ok) {
        fprintf(stderr, "io_floor: cannot read %s\n", argv[1]);
        return 1;
    }
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        fprintf(stderr, "io_floor: cannot create %s: %s\n", argv[2], strerror(errno));
        return 1;
    }
    ok = write_all(out, bytes);
    if (close(out) != 0)
        ok = false;
    if (!ok) {
        fprintf(stderr, "io_floor: cannot write %s\n", argv[2]);
        return 1;
    }
    printf("bytes=%zu\n", bytes.size());
    return 0;
}
