#include "raw_image.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "io_util.h"
#include "mtd_abi.h"

/* /proc/mtd of a phone lists a dozen partitions; more than this is not /proc/mtd. */
#define MAX_TABLE 65536

const struct mtd_places mtd_system_places = {
    "/proc/mtd",
    {"/dev/mtd/mtd", "/dev/mtd"},
};

static int parse_hex(const char **p, const char *end, uint32_t *out)
{
    const char *s = *p;
    uint64_t v = 0;
    int digits = 0;
    for (; s < end; s++, digits++) {
        int d;
        if (*s >= '0' && *s <= '9')
            d = *s - '0';
        else if (*s >= 'a' && *s <= 'f')
            d = *s - 'a' + 10;
        else if (*s >= 'A' && *s <= 'F')
            d = *s - 'A' + 10;
        else
            break;
        v = v * 16 + (unsigned)d;
        if (v > 0xffffffffu)
            return -1;
    }
    if (digits == 0)
        return -1;
    *out = (uint32_t)v;
    *p = s;
    return 0;
}

static void skip_blanks(const char **p, const char *end)
{
    while (*p < end && (**p == ' ' || **p == '\t'))
        (*p)++;
}

/* One line: mtdN: SIZE ERASESIZE "NAME" */
static int parse_line(const char *s, const char *end, const char *name,
                      struct mtd_partition_info *out)
{
    if (end - s < 4 || memcmp(s, "mtd", 3) != 0)
        return -1;
    s += 3;
    unsigned long index = 0;
    int digits = 0;
    for (; s < end && *s >= '0' && *s <= '9'; s++, digits++) {
        index = index * 10 + (unsigned)(*s - '0');
        if (index > 9999)
            return -1;
    }
    if (digits == 0 || s >= end || *s != ':')
        return -1;
    s++;
    uint32_t size, erase_size;
    skip_blanks(&s, end);
    if (parse_hex(&s, end, &size) != 0)
        return -1;
    skip_blanks(&s, end);
    if (parse_hex(&s, end, &erase_size) != 0)
        return -1;
    skip_blanks(&s, end);
    if (s >= end || *s != '"')
        return -1;
    s++;
    const char *close = memchr(s, '"', (size_t)(end - s));
    if (!close)
        return -1;
    size_t len = (size_t)(close - s);
    if (len != strlen(name) || memcmp(s, name, len) != 0)
        return -1;
    out->index = (unsigned)index;
    out->size = size;
    out->erase_size = erase_size;
    return 0;
}

int mtd_find_partition(const char *table, size_t len, const char *name,
                       struct mtd_partition_info *out)
{
    const char *p = table, *end = table + len;
    while (p < end) {
        const char *nl = memchr(p, '\n', (size_t)(end - p));
        const char *line_end = nl ? nl : end;
        if (parse_line(p, line_end, name, out) == 0)
            return 0;
        p = nl ? nl + 1 : end;
    }
    return -1;
}

/* ---- the MTD character device ---- */

static int mtd_is_bad(void *dev, uint32_t offset)
{
    int64_t pos = offset;
    int r = ioctl(*(int *)dev, UPDATER_MEMGETBADBLOCK, &pos);
    if (r < 0)
        return errno == EOPNOTSUPP ? 0 : -1; /* NOR flash has no bad blocks */
    return r > 0;
}

static int mtd_erase(void *dev, uint32_t offset, uint32_t len)
{
    struct updater_erase_info e = {offset, len};
    return ioctl(*(int *)dev, UPDATER_MEMERASE, &e) < 0 ? -1 : 0;
}

static int mtd_write(void *dev, uint32_t offset, const uint8_t *data, uint32_t len)
{
    return write_at(*(int *)dev, offset, data, len);
}

static int mtd_read(void *dev, uint32_t offset, uint8_t *data, uint32_t len)
{
    return read_at(*(int *)dev, offset, data, len) == (long)len ? 0 : -1;
}

static int mtd_mark_bad(void *dev, uint32_t offset)
{
    int64_t pos = offset;
    return ioctl(*(int *)dev, UPDATER_MEMSETBADBLOCK, &pos) < 0 ? -1 : 0;
}

const struct flash_ops mtd_flash_ops = {mtd_is_bad, mtd_erase, mtd_write, mtd_read, mtd_mark_bad};

/* ---- the image file ---- */

struct file_image {
    int fd;
};

static long file_image_read(void *ctx, uint8_t *data, uint32_t len)
{
    struct file_image *f = ctx;
    return read_full(f->fd, data, len);
}

static int file_image_rewind(void *ctx)
{
    struct file_image *f = ctx;
    return lseek(f->fd, 0, SEEK_SET) == 0 ? 0 : -1;
}

static int read_table(const char *path, char **out, size_t *len, struct upd_error *err)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        upd_error_set(err, "cannot read %s: %s", path, strerror(errno));
        return -1;
    }
    char *buf = malloc(MAX_TABLE);
    if (!buf) {
        close(fd);
        upd_error_set(err, "out of memory");
        return -1;
    }
    /* /proc files report no size: read until the end */
    size_t used = 0;
    for (;;) {
        ssize_t n = read(fd, buf + used, MAX_TABLE - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            upd_error_set(err, "cannot read %s: %s", path, strerror(errno));
            free(buf);
            close(fd);
            return -1;
        }
        if (n == 0 || used + (size_t)n == MAX_TABLE) {
            used += (size_t)n;
            break;
        }
        used += (size_t)n;
    }
    close(fd);
    *out = buf;
    *len = used;
    return 0;
}

static int open_device(const struct mtd_places *places, unsigned index, char *path, size_t path_size,
                       struct upd_error *err)
{
    int fd = -1, first_errno = 0;
    for (int i = 0; i < 2 && fd < 0; i++) {
        snprintf(path, path_size, "%s%u", places->device_dirs[i], index);
        fd = open(path, O_RDWR);
        if (fd < 0 && i == 0)
            first_errno = errno;
    }
    if (fd < 0) {
        snprintf(path, path_size, "%s%u", places->device_dirs[0], index);
        upd_error_set(err, "cannot open %s: %s", path, strerror(first_errno));
    }
    return fd;
}

int raw_image_write(const struct mtd_places *places, const char *file, const char *partition,
                    const struct progress_sink *progress, struct upd_error *err)
{
    char *table;
    size_t table_len;
    if (read_table(places->proc_mtd, &table, &table_len, err) != 0)
        return -1;
    struct mtd_partition_info info;
    int found = mtd_find_partition(table, table_len, partition, &info);
    free(table);
    if (found != 0) {
        upd_error_set(err, "no partition named \"%s\" in %s", partition, places->proc_mtd);
        return -1;
    }

    struct file_image image = {open(file, O_RDONLY)};
    if (image.fd < 0) {
        upd_error_set(err, "cannot open %s: %s", file, strerror(errno));
        return -1;
    }
    int64_t image_size = file_size_of(image.fd);
    if (image_size < 0 || lseek(image.fd, 0, SEEK_SET) != 0) {
        upd_error_set(err, "cannot read %s: %s", file, strerror(errno));
        close(image.fd);
        return -1;
    }
    struct image_source source = {&image, (uint64_t)image_size, file_image_read, file_image_rewind};
    /* Said here already, before the device is even opened. */
    if (source.size > info.size) {
        upd_error_set(err, "%s (%llu bytes) is larger than the partition \"%s\" (%u bytes)", file,
                      (unsigned long long)source.size, partition, (unsigned)info.size);
        close(image.fd);
        return -1;
    }

    char path[64];
    int dev = open_device(places, info.index, path, sizeof path, err);
    if (dev < 0) {
        close(image.fd);
        return -1;
    }

    int rc;
    struct updater_mtd_info mi;
    memset(&mi, 0, sizeof mi);
    if (ioctl(dev, UPDATER_MEMGETINFO, &mi) == 0) {
        struct flash_partition part = {&mtd_flash_ops, &dev, mi.size, mi.erasesize};
        rc = flash_write_image(&part, &source, progress, err);
    } else if (errno == ENOTTY || errno == EINVAL || errno == ENOSYS) {
        /* Not MTD: a block device or a plain file. ENOSYS is what user-mode emulators
           answer for an ioctl they do not know; a kernel never does for a file. */
        rc = plain_write_image(dev, info.size, &source, progress, err);
    } else {
        upd_error_set(err, "cannot query %s: %s", path, strerror(errno));
        rc = -1;
    }
    if (rc != 0) {
        char reason[sizeof err->text];
        memcpy(reason, err->text, sizeof reason);
        upd_error_set(err, "writing \"%s\" failed: %.300s", partition, reason);
    }
    if (close(dev) != 0 && rc == 0) {
        upd_error_set(err, "cannot close %s: %s", path, strerror(errno));
        rc = -1;
    }
    close(image.fd);
    return rc;
}
