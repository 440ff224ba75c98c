#ifndef UPDATER_STRBUF_H
#define UPDATER_STRBUF_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A growable byte string, always NUL-terminated when data is not NULL. */
struct strbuf {
    char *data;
    size_t len;
    size_t cap;
};

int strbuf_append(struct strbuf *sb, const char *bytes, size_t n); /* 0, or -1 out of memory */
int strbuf_append_str(struct strbuf *sb, const char *s);
void strbuf_free(struct strbuf *sb);

#ifdef __cplusplus
}
#endif

#endif
