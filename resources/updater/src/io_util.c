#include "io_util.h"

#include <errno.h>
#include <sys/types.h>
#include <unistd.h>

/* Seeking and then reading, rather than pread, keeps to the oldest system calls and
   works the same on MTD character devices. */
static int seek_to(int fd, uint64_t offset)
{
    if (offset > (uint64_t)INT64_MAX)
        return -1;
    return lseek(fd, (off_t)offset, SEEK_SET) == (off_t)offset ? 0 : -1;
}

long read_at(int fd, uint64_t offset, void *buf, size_t len)
{
    if (seek_to(fd, offset) != 0)
        return -1;
    return read_full(fd, buf, len);
}

long read_full(int fd, void *buf, size_t len)
{
    size_t done = 0;
    while (done < len) {
        ssize_t n = read(fd, (char *)buf + done, len - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += (size_t)n;
    }
    return (long)done;
}

int write_all(int fd, const void *buf, size_t len)
{
    size_t done = 0;
    while (done < len) {
        ssize_t n = write(fd, (const char *)buf + done, len - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0) {
            errno = EIO;
            return -1;
        }
        done += (size_t)n;
    }
    return 0;
}

int write_at(int fd, uint64_t offset, const void *buf, size_t len)
{
    if (seek_to(fd, offset) != 0)
        return -1;
    return write_all(fd, buf, len);
}

int64_t file_size_of(int fd)
{
    off_t end = lseek(fd, 0, SEEK_END);
    if (end < 0)
        return -1;
    return (int64_t)end;
}
