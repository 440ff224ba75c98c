#ifndef UPDATER_MTD_ABI_H
#define UPDATER_MTD_ABI_H

/* The few MTD character-device ioctls the updater uses, as the kernel defines them.
   The C library for the phone ships no kernel headers, so they are spelled out here. */

#include <stdint.h>
#include <sys/ioctl.h>

struct updater_mtd_info {
    uint8_t type;
    uint32_t flags;
    uint32_t size;
    uint32_t erasesize;
    uint32_t writesize;
    uint32_t oobsize;
    uint64_t padding;
};

struct updater_erase_info {
    uint32_t start;
    uint32_t length;
};

#define UPDATER_MEMGETINFO _IOR('M', 1, struct updater_mtd_info)
#define UPDATER_MEMERASE _IOW('M', 2, struct updater_erase_info)
#define UPDATER_MEMGETBADBLOCK _IOW('M', 11, int64_t)
#define UPDATER_MEMSETBADBLOCK _IOW('M', 12, int64_t)

#endif
