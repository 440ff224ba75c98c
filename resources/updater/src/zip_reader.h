#ifndef UPDATER_ZIP_READER_H
#define UPDATER_ZIP_READER_H

/* Reads entries of a zip archive through its central directory: stored and deflated
   entries, each checked against its local header and its CRC. */

#include <stddef.h>
#include <stdint.h>

#include "error.h"

#ifdef __cplusplus
extern "C" {
#endif

struct zip_entry {
    const char *name;       /* NUL-terminated, inside zip_archive.names */
    uint16_t name_len;
    uint16_t flags;
    uint16_t method;
    uint32_t crc;
    uint32_t compressed_size;
    uint32_t size;
    uint32_t local_offset;
};

struct zip_archive {
    int fd;
    int owns_fd;
    uint32_t file_size;
    uint32_t cd_offset;
    struct zip_entry *entries;
    size_t count;
    char *names;
};

/* 0, or -1 with err. zip_open_fd leaves fd open on zip_close. */
int zip_open(struct zip_archive *za, const char *path, struct upd_error *err);
int zip_open_fd(struct zip_archive *za, int fd, struct upd_error *err);
void zip_close(struct zip_archive *za);

const struct zip_entry *zip_find(const struct zip_archive *za, const char *name);

/* Receives the entry's bytes in order; returns 0, or -1 to stop (with err set). */
typedef int (*zip_sink)(void *ctx, const uint8_t *data, size_t len, struct upd_error *err);

/* Streams the whole entry to sink. Fails, naming the entry, for an encrypted entry,
   an unknown method, a local header that disagrees with the central directory, data
   outside the archive, a broken deflate stream, a wrong size or a wrong CRC. */
int zip_extract(const struct zip_archive *za, const struct zip_entry *e, zip_sink sink,
                void *ctx, struct upd_error *err);

/* The entry in memory (NUL-terminated); refused if larger than max_size. */
int zip_extract_to_memory(const struct zip_archive *za, const struct zip_entry *e,
                          size_t max_size, char **out, size_t *len, struct upd_error *err);

/* The entry into a new file at path (replaced if present); a partial file is removed. */
int zip_extract_to_file(const struct zip_archive *za, const struct zip_entry *e,
                        const char *path, struct upd_error *err);

#ifdef __cplusplus
}
#endif

#endif
