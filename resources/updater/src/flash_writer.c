#include "flash_writer.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "io_util.h"

/* Erase blocks of real NAND are 16 KiB to a few MiB; a larger claim is a broken table. */
#define MAX_ERASE_SIZE (16u * 1024 * 1024)
#define PLAIN_CHUNK 65536u

static void report(const struct progress_sink *p, uint64_t done, uint64_t total)
{
    if (p && p->report)
        p->report(p->ctx, done, total);
}

/* Fills buf with the next want bytes of the image, the rest with 0xFF. */
static int fill_block(struct image_source *image, uint8_t *buf, uint32_t want, uint32_t block,
                      struct upd_error *err)
{
    long n = want ? image->read(image->ctx, buf, want) : 0;
    if (n != (long)want) {
        upd_error_set(err, "cannot read the image");
        return -1;
    }
    memset(buf + want, 0xff, block - want);
    return 0;
}

/* Erases, writes, reads back and compares one block. NULL on success, else the step
   that failed. */
static const char *program_block(const struct flash_partition *part, uint32_t offset,
                                 const uint8_t *data, uint8_t *check)
{
    const struct flash_ops *ops = part->ops;
    uint32_t len = part->erase_size;
    if (ops->erase(part->dev, offset, len) != 0)
        return "erase";
    if (ops->write(part->dev, offset, data, len) != 0)
        return "write";
    if (ops->read(part->dev, offset, check, len) != 0)
        return "read back";
    if (memcmp(data, check, len) != 0)
        return "compare";
    return NULL;
}

int flash_write_image(const struct flash_partition *part, struct image_source *image,
                      const struct progress_sink *progress, struct upd_error *err)
{
    const uint32_t block = part->erase_size;
    if (block == 0 || block > MAX_ERASE_SIZE || part->size % block != 0) {
        upd_error_set(err, "the partition's erase block size %u does not fit its size %u",
                      (unsigned)block, (unsigned)part->size);
        return -1;
    }
    if (image->size > part->size) {
        upd_error_set(err, "the image (%llu bytes) is larger than the partition (%u bytes)",
                      (unsigned long long)image->size, (unsigned)part->size);
        return -1;
    }

    uint8_t *data = malloc(block), *check = malloc(block);
    if (!data || !check) {
        free(data);
        free(check);
        upd_error_set(err, "out of memory");
        return -1;
    }

    int rc = -1;
    uint32_t offset = 0;
    uint64_t written = 0;
    const char *last_failure = NULL;
    uint32_t last_failed_block = 0;
    int last_errno = 0;
    report(progress, 0, image->size);
    while (written < image->size) {
        uint64_t left = image->size - written;
        uint32_t want = left < block ? (uint32_t)left : block;
        if (fill_block(image, data, want, block, err) != 0)
            goto done;
        for (;;) {
            if (offset >= part->size) {
                if (last_failure)
                    upd_error_set(err, "not enough good blocks in the partition for the image "
                                  "(block %u: %s failed: %s)", (unsigned)last_failed_block,
                                  last_failure, strcmp(last_failure, "compare") == 0 ?
                                  "different data" : strerror(last_errno));
                else
                    upd_error_set(err, "not enough good blocks in the partition for the image");
                goto done;
            }
            int bad = part->ops->is_bad(part->dev, offset);
            if (bad < 0) {
                upd_error_set(err, "cannot ask whether the block at 0x%x is bad", (unsigned)offset);
                goto done;
            }
            if (bad) {
                offset += block;
                continue;
            }
            const char *failed = program_block(part, offset, data, check);
            if (failed)
                failed = program_block(part, offset, data, check);
            if (failed) {
                last_failure = failed;
                last_failed_block = offset / block;
                last_errno = errno;
                /* The block failed twice: take it out of use and go on with the next one.
                   Failing to mark it only means it will be tried again next time. */
                part->ops->mark_bad(part->dev, offset);
                offset += block;
                continue;
            }
            break;
        }
        offset += block;
        written += want;
        report(progress, written, image->size);
    }

    /* Leave nothing of an older image behind the new one. */
    for (; offset < part->size; offset += block) {
        int bad = part->ops->is_bad(part->dev, offset);
        if (bad < 0) {
            upd_error_set(err, "cannot ask whether the block at 0x%x is bad", (unsigned)offset);
            goto done;
        }
        if (bad)
            continue;
        if (part->ops->erase(part->dev, offset, block) != 0 &&
            part->ops->erase(part->dev, offset, block) != 0)
            part->ops->mark_bad(part->dev, offset);
    }
    rc = 0;
done:
    free(data);
    free(check);
    return rc;
}

int plain_write_image(int fd, uint64_t limit, struct image_source *image,
                      const struct progress_sink *progress, struct upd_error *err)
{
    if (image->size > limit) {
        upd_error_set(err, "the image (%llu bytes) is larger than the partition (%llu bytes)",
                      (unsigned long long)image->size, (unsigned long long)limit);
        return -1;
    }
    uint8_t *data = malloc(PLAIN_CHUNK), *check = malloc(PLAIN_CHUNK);
    int rc = -1;
    if (!data || !check) {
        upd_error_set(err, "out of memory");
        goto done;
    }
    report(progress, 0, image->size);
    for (uint64_t off = 0; off < image->size;) {
        uint64_t left = image->size - off;
        uint32_t n = left < PLAIN_CHUNK ? (uint32_t)left : PLAIN_CHUNK;
        if (image->read(image->ctx, data, n) != (long)n) {
            upd_error_set(err, "cannot read the image");
            goto done;
        }
        if (write_at(fd, off, data, n) != 0) {
            upd_error_set(err, "cannot write the partition at %llu: %s", (unsigned long long)off,
                          strerror(errno));
            goto done;
        }
        off += n;
        report(progress, off, image->size);
    }
    if (fsync(fd) != 0) {
        upd_error_set(err, "cannot sync the partition: %s", strerror(errno));
        goto done;
    }
    if (image->rewind(image->ctx) != 0) {
        upd_error_set(err, "cannot read the image");
        goto done;
    }
    for (uint64_t off = 0; off < image->size;) {
        uint64_t left = image->size - off;
        uint32_t n = left < PLAIN_CHUNK ? (uint32_t)left : PLAIN_CHUNK;
        if (image->read(image->ctx, data, n) != (long)n) {
            upd_error_set(err, "cannot read the image");
            goto done;
        }
        if (read_at(fd, off, check, n) != (long)n || memcmp(data, check, n) != 0) {
            upd_error_set(err, "the partition does not read back as written at %llu",
                          (unsigned long long)off);
            goto done;
        }
        off += n;
    }
    rc = 0;
done:
    free(data);
    free(check);
    return rc;
}
