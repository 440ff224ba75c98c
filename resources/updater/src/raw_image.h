#ifndef UPDATER_RAW_IMAGE_H
#define UPDATER_RAW_IMAGE_H

/* write_raw_image: a partition found by name in /proc/mtd, written from a file. */

#include <stddef.h>
#include <stdint.h>

#include "error.h"
#include "flash_writer.h"

#ifdef __cplusplus
extern "C" {
#endif

struct mtd_partition_info {
    unsigned index;       /* N of mtdN */
    uint32_t size;
    uint32_t erase_size;
};

/* Looks name up, exactly, in the text of /proc/mtd (lines `mtdN: size erasesize "name"`
   in hexadecimal). 0 when found. */
int mtd_find_partition(const char *table, size_t len, const char *name,
                       struct mtd_partition_info *out);

struct mtd_places {
    const char *proc_mtd;          /* "/proc/mtd" */
    const char *device_dirs[2];    /* "/dev/mtd/mtd", then "/dev/mtd" (N appended) */
};

extern const struct mtd_places mtd_system_places;

/* Writes the file into the named partition: through the MTD ioctls where the device
   answers them, else as a plain device from offset 0. 0, or -1 with err. */
int raw_image_write(const struct mtd_places *places, const char *file, const char *partition,
                    const struct progress_sink *progress, struct upd_error *err);

/* The MTD ioctls as flash_ops, for an open MTD character device. */
extern const struct flash_ops mtd_flash_ops;

#ifdef __cplusplus
}
#endif

#endif
