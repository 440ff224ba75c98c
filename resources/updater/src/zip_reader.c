#include "zip_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <zlib.h>

#include "io_util.h"

#define EOCD_SIG 0x06054b50u
#define CDIR_SIG 0x02014b50u
#define LOCAL_SIG 0x04034b50u
#define EOCD_SIZE 22u
#define CDIR_SIZE 46u
#define LOCAL_SIZE 30u
#define MAX_COMMENT 65535u
/* An update package's directory is a few kilobytes; this only stops absurd claims. */
#define MAX_CD_SIZE (16u * 1024 * 1024)
#define CHUNK 16384u

int zip_open(struct zip_archive *za, const char *path, struct upd_error *err)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        upd_error_set(err, "cannot open package %s: %s", path, strerror(errno));
        return -1;
    }
    if (zip_open_fd(za, fd, err) != 0) {
        close(fd);
        return -1;
    }
    za->owns_fd = 1;
    return 0;
}

static int find_eocd(int fd, uint32_t file_size, uint8_t *eocd, struct upd_error *err)
{
    uint32_t span = file_size < EOCD_SIZE + MAX_COMMENT ? file_size : EOCD_SIZE + MAX_COMMENT;
    uint8_t *tail = malloc(span ? span : 1);
    if (!tail) {
        upd_error_set(err, "out of memory");
        return -1;
    }
    uint32_t start = file_size - span;
    if (read_at(fd, start, tail, span) != (long)span) {
        free(tail);
        upd_error_set(err, "cannot read the package");
        return -1;
    }
    /* The last signature whose comment length reaches exactly to the end of the file. */
    for (uint32_t i = span >= EOCD_SIZE ? span - EOCD_SIZE + 1 : 0; i-- > 0;) {
        if (get_le32(tail + i) == EOCD_SIG &&
            i + EOCD_SIZE + get_le16(tail + i + 20) == span) {
            memcpy(eocd, tail + i, EOCD_SIZE);
            free(tail);
            return 0;
        }
    }
    free(tail);
    upd_error_set(err, "the package is not a zip archive (no end of central directory)");
    return -1;
}

int zip_open_fd(struct zip_archive *za, int fd, struct upd_error *err)
{
    memset(za, 0, sizeof *za);
    za->fd = fd;

    int64_t size = file_size_of(fd);
    if (size < 0) {
        upd_error_set(err, "cannot read the package: %s", strerror(errno));
        return -1;
    }
    if (size < (int64_t)EOCD_SIZE) {
        upd_error_set(err, "the package is not a zip archive (too short)");
        return -1;
    }
    if (size > 0xffffffffLL) {
        upd_error_set(err, "the package is larger than 4 GiB");
        return -1;
    }
    za->file_size = (uint32_t)size;

    uint8_t eocd[EOCD_SIZE];
    if (find_eocd(fd, za->file_size, eocd, err) != 0)
        return -1;
    uint16_t disk = get_le16(eocd + 4), cd_disk = get_le16(eocd + 6);
    uint16_t here = get_le16(eocd + 8), total = get_le16(eocd + 10);
    uint32_t cd_size = get_le32(eocd + 12), cd_offset = get_le32(eocd + 16);
    if (disk != 0 || cd_disk != 0 || here != total) {
        upd_error_set(err, "the package spans several disks");
        return -1;
    }
    if (total == 0xffff || cd_offset == 0xffffffffu || cd_size == 0xffffffffu) {
        upd_error_set(err, "the package uses zip64, which is not supported");
        return -1;
    }
    if (cd_size > MAX_CD_SIZE || cd_offset > za->file_size ||
        cd_size > za->file_size - cd_offset || (uint64_t)total * CDIR_SIZE > cd_size) {
        upd_error_set(err, "the package's central directory is damaged");
        return -1;
    }
    za->cd_offset = cd_offset;

    uint8_t *cd = malloc(cd_size ? cd_size : 1);
    za->entries = calloc(total ? total : 1, sizeof *za->entries);
    /* every name plus its NUL fits in the directory's own size */
    za->names = malloc((size_t)cd_size + total + 1);
    if (!cd || !za->entries || !za->names) {
        free(cd);
        zip_close(za);
        upd_error_set(err, "out of memory");
        return -1;
    }
    if (read_at(fd, cd_offset, cd, cd_size) != (long)cd_size) {
        free(cd);
        zip_close(za);
        upd_error_set(err, "cannot read the package's central directory");
        return -1;
    }

    size_t pos = 0, names_used = 0;
    for (size_t i = 0; i < total; i++) {
        if (cd_size - pos < CDIR_SIZE || get_le32(cd + pos) != CDIR_SIG) {
            free(cd);
            zip_close(za);
            upd_error_set(err, "the package's central directory is damaged (entry %u)",
                          (unsigned)(i + 1));
            return -1;
        }
        const uint8_t *h = cd + pos;
        uint16_t name_len = get_le16(h + 28), extra_len = get_le16(h + 30),
                 comment_len = get_le16(h + 32);
        size_t rec = CDIR_SIZE + (size_t)name_len + extra_len + comment_len;
        if (rec > cd_size - pos) {
            free(cd);
            zip_close(za);
            upd_error_set(err, "the package's central directory is damaged (entry %u)",
                          (unsigned)(i + 1));
            return -1;
        }
        struct zip_entry *e = &za->entries[i];
        char *name = za->names + names_used;
        memcpy(name, h + CDIR_SIZE, name_len);
        name[name_len] = '\0';
        names_used += (size_t)name_len + 1;
        e->name = name;
        e->name_len = name_len;
        e->flags = get_le16(h + 8);
        e->method = get_le16(h + 10);
        e->crc = get_le32(h + 16);
        e->compressed_size = get_le32(h + 20);
        e->size = get_le32(h + 24);
        e->local_offset = get_le32(h + 42);
        pos += rec;
    }
    za->count = total;
    free(cd);
    return 0;
}

void zip_close(struct zip_archive *za)
{
    if (za->owns_fd && za->fd >= 0)
        close(za->fd);
    free(za->entries);
    free(za->names);
    memset(za, 0, sizeof *za);
    za->fd = -1;
}

const struct zip_entry *zip_find(const struct zip_archive *za, const char *name)
{
    size_t len = strlen(name);
    for (size_t i = 0; i < za->count; i++) {
        const struct zip_entry *e = &za->entries[i];
        /* a name with a NUL inside never matches */
        if (e->name_len == len && strlen(e->name) == len && memcmp(e->name, name, len) == 0)
            return e;
    }
    return NULL;
}

/* Where the entry's data begins, after checking its local header against the
   central directory; 0 on failure. */
static int locate_data(const struct zip_archive *za, const struct zip_entry *e, uint32_t *data_offset,
                       struct upd_error *err)
{
    if (e->flags & 0x0001) {
        upd_error_set(err, "entry \"%s\" is encrypted", e->name);
        return -1;
    }
    if (e->method != 0 && e->method != 8) {
        upd_error_set(err, "entry \"%s\" uses compression method %u, which is not supported",
                      e->name, e->method);
        return -1;
    }
    if (e->size == 0xffffffffu || e->compressed_size == 0xffffffffu ||
        e->local_offset == 0xffffffffu) {
        upd_error_set(err, "entry \"%s\" uses zip64, which is not supported", e->name);
        return -1;
    }
    uint8_t h[LOCAL_SIZE];
    if (e->local_offset > za->cd_offset || za->cd_offset - e->local_offset < LOCAL_SIZE ||
        read_at(za->fd, e->local_offset, h, LOCAL_SIZE) != (long)LOCAL_SIZE ||
        get_le32(h) != LOCAL_SIG) {
        upd_error_set(err, "entry \"%s\": local header missing or damaged", e->name);
        return -1;
    }
    uint16_t name_len = get_le16(h + 26), extra_len = get_le16(h + 28);
    if (get_le16(h + 8) != e->method || (get_le16(h + 6) & 0x0001) || name_len != e->name_len) {
        upd_error_set(err, "entry \"%s\": local header disagrees with the central directory",
                      e->name);
        return -1;
    }
    uint64_t start = (uint64_t)e->local_offset + LOCAL_SIZE + name_len + extra_len;
    if (start > za->cd_offset || e->compressed_size > za->cd_offset - start) {
        upd_error_set(err, "entry \"%s\" is truncated (its data runs past the archive)", e->name);
        return -1;
    }
    char name[256];
    size_t check = name_len < sizeof name ? name_len : sizeof name;
    if (read_at(za->fd, (uint64_t)e->local_offset + LOCAL_SIZE, name, check) != (long)check ||
        memcmp(name, e->name, check) != 0) {
        upd_error_set(err, "entry \"%s\": local header names another file", e->name);
        return -1;
    }
    *data_offset = (uint32_t)start;
    return 0;
}

int zip_extract(const struct zip_archive *za, const struct zip_entry *e, zip_sink sink,
                void *ctx, struct upd_error *err)
{
    uint32_t offset;
    if (locate_data(za, e, &offset, err) != 0)
        return -1;
    if (e->method == 0 && e->compressed_size != e->size) {
        upd_error_set(err, "entry \"%s\": stored sizes disagree", e->name);
        return -1;
    }

    uint8_t *in = malloc(CHUNK), *out = malloc(CHUNK);
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    int inflating = 0, rc = -1;
    if (!in || !out) {
        upd_error_set(err, "out of memory");
        goto done;
    }
    if (e->method == 8) {
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) {
            upd_error_set(err, "out of memory");
            goto done;
        }
        inflating = 1;
    }

    uint32_t crc = (uint32_t)crc32(0L, Z_NULL, 0);
    uint32_t left_in = e->compressed_size, produced = 0;
    int ended = 0;
    while (!ended) {
        if (e->method == 8 && zs.avail_in == 0 && left_in > 0) {
            uint32_t n = left_in < CHUNK ? left_in : CHUNK;
            if (read_at(za->fd, offset, in, n) != (long)n) {
                upd_error_set(err, "entry \"%s\" is truncated", e->name);
                goto done;
            }
            offset += n;
            left_in -= n;
            zs.next_in = in;
            zs.avail_in = n;
        }
        size_t have;
        if (e->method == 0) {
            if (left_in == 0)
                break;
            uint32_t n = left_in < CHUNK ? left_in : CHUNK;
            if (read_at(za->fd, offset, out, n) != (long)n) {
                upd_error_set(err, "entry \"%s\" is truncated", e->name);
                goto done;
            }
            offset += n;
            left_in -= n;
            have = n;
        } else {
            zs.next_out = out;
            zs.avail_out = CHUNK;
            int z = inflate(&zs, Z_NO_FLUSH);
            if (z == Z_STREAM_END) {
                ended = 1;
            } else if (z == Z_BUF_ERROR && zs.avail_in == 0 && left_in == 0) {
                upd_error_set(err, "entry \"%s\" is truncated (its deflate stream ends early)",
                              e->name);
                goto done;
            } else if (z != Z_OK && z != Z_BUF_ERROR) {
                upd_error_set(err, "entry \"%s\" is corrupt (%s)", e->name,
                              zs.msg ? zs.msg : "bad deflate data");
                goto done;
            }
            have = CHUNK - zs.avail_out;
        }
        if (have > e->size - produced) {
            upd_error_set(err, "entry \"%s\" is larger than its directory says", e->name);
            goto done;
        }
        produced += (uint32_t)have;
        crc = (uint32_t)crc32(crc, out, (uInt)have);
        if (have && sink(ctx, out, have, err) != 0)
            goto done;
    }
    if (produced != e->size) {
        upd_error_set(err, "entry \"%s\" is shorter than its directory says", e->name);
        goto done;
    }
    if (e->method == 8 && (zs.avail_in != 0 || left_in != 0)) {
        upd_error_set(err, "entry \"%s\" is corrupt (data after its deflate stream)", e->name);
        goto done;
    }
    if (crc != e->crc) {
        upd_error_set(err, "entry \"%s\" is corrupt (CRC mismatch)", e->name);
        goto done;
    }
    rc = 0;
done:
    if (inflating)
        inflateEnd(&zs);
    free(in);
    free(out);
    return rc;
}

struct memory_sink {
    char *data;
    size_t len, cap;
    const char *name;
};

static int to_memory(void *ctx, const uint8_t *data, size_t len, struct upd_error *err)
{
    struct memory_sink *m = ctx;
    if (len > m->cap - m->len) {
        upd_error_set(err, "entry \"%s\" is too large", m->name);
        return -1;
    }
    memcpy(m->data + m->len, data, len);
    m->len += len;
    return 0;
}

int zip_extract_to_memory(const struct zip_archive *za, const struct zip_entry *e,
                          size_t max_size, char **out, size_t *len, struct upd_error *err)
{
    if (e->size > max_size) {
        upd_error_set(err, "entry \"%s\" is too large (%u bytes)", e->name, (unsigned)e->size);
        return -1;
    }
    struct memory_sink m = {malloc((size_t)e->size + 1), 0, e->size, e->name};
    if (!m.data) {
        upd_error_set(err, "out of memory");
        return -1;
    }
    if (zip_extract(za, e, to_memory, &m, err) != 0) {
        free(m.data);
        return -1;
    }
    m.data[m.len] = '\0';
    *out = m.data;
    *len = m.len;
    return 0;
}

struct file_sink {
    int fd;
    const char *path;
};

static int to_file(void *ctx, const uint8_t *data, size_t len, struct upd_error *err)
{
    struct file_sink *f = ctx;
    if (write_all(f->fd, data, len) != 0) {
        upd_error_set(err, "cannot write %s: %s", f->path, strerror(errno));
        return -1;
    }
    return 0;
}

int zip_extract_to_file(const struct zip_archive *za, const struct zip_entry *e,
                        const char *path, struct upd_error *err)
{
    struct file_sink f = {open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644), path};
    if (f.fd < 0) {
        upd_error_set(err, "cannot create %s: %s", path, strerror(errno));
        return -1;
    }
    int rc = zip_extract(za, e, to_file, &f, err);
    if (close(f.fd) != 0 && rc == 0) {
        upd_error_set(err, "cannot write %s: %s", path, strerror(errno));
        rc = -1;
    }
    if (rc != 0)
        unlink(path);
    return rc;
}
