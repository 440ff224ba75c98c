#ifndef UPDATER_FLASH_WRITER_H
#define UPDATER_FLASH_WRITER_H

/* Writing a raw image into a flash partition, block by block, around bad blocks. */

#include <stddef.h>
#include <stdint.h>

#include "error.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A NAND/NOR partition as MTD offers it. Offsets are from the partition's start and
   always a multiple of the erase block size; lengths are one erase block. Each call
   returns 0 on success and -1 on failure; is_bad returns 1 for a bad block. */
struct flash_ops {
    int (*is_bad)(void *dev, uint32_t offset);
    int (*erase)(void *dev, uint32_t offset, uint32_t len);
    int (*write)(void *dev, uint32_t offset, const uint8_t *data, uint32_t len);
    int (*read)(void *dev, uint32_t offset, uint8_t *data, uint32_t len);
    int (*mark_bad)(void *dev, uint32_t offset);
};

struct flash_partition {
    const struct flash_ops *ops;
    void *dev;
    uint32_t size;
    uint32_t erase_size;
};

/* The image, read in order. read returns the bytes read (fewer than len only at its
   end) or -1; rewind starts it again from its first byte (0 or -1). */
struct image_source {
    void *ctx;
    uint64_t size;
    long (*read)(void *ctx, uint8_t *data, uint32_t len);
    int (*rewind)(void *ctx);
};

struct progress_sink {
    void *ctx;
    void (*report)(void *ctx, uint64_t done, uint64_t total);
};

/* Refuses an image larger than the partition before touching the flash. Then, for
   each part of the image: skips bad blocks, erases a block, writes it (the last one
   padded with 0xFF), reads it back and compares; a block that fails twice is marked
   bad and the part goes to the next block. Finally erases the remaining good blocks.
   0, or -1 with err. */
int flash_write_image(const struct flash_partition *part, struct image_source *image,
                      const struct progress_sink *progress, struct upd_error *err);

/* For a device that is not MTD (a block device or a plain file): writes the image
   from offset 0, syncs, reads it back and compares. limit is the partition's size. */
int plain_write_image(int fd, uint64_t limit, struct image_source *image,
                      const struct progress_sink *progress, struct upd_error *err);

#ifdef __cplusplus
}
#endif

#endif
