#ifndef UPDATER_IO_UTIL_H
#define UPDATER_IO_UTIL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Whole reads and writes at an offset, retrying short transfers and EINTR.
   read_at returns the bytes read (less than len only at the end of the file), or -1. */
long read_at(int fd, uint64_t offset, void *buf, size_t len);
/* The same from the current position. */
long read_full(int fd, void *buf, size_t len);
int write_at(int fd, uint64_t offset, const void *buf, size_t len); /* 0 or -1 */
int write_all(int fd, const void *buf, size_t len);                /* 0 or -1 */
/* The size of an open file or block device, found by seeking: -1 on failure. */
int64_t file_size_of(int fd);

static inline uint16_t get_le16(const uint8_t *p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

static inline uint32_t get_le32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

#ifdef __cplusplus
}
#endif

#endif
