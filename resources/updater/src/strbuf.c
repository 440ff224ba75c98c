#include "strbuf.h"

#include <stdlib.h>
#include <string.h>

int strbuf_append(struct strbuf *sb, const char *bytes, size_t n)
{
    if (n > (size_t)-1 / 2 - sb->len)
        return -1;
    if (sb->len + n + 1 > sb->cap) {
        size_t cap = sb->cap ? sb->cap : 32;
        while (cap < sb->len + n + 1)
            cap *= 2;
        char *p = realloc(sb->data, cap);
        if (!p)
            return -1;
        sb->data = p;
        sb->cap = cap;
    }
    if (n)
        memcpy(sb->data + sb->len, bytes, n);
    sb->len += n;
    sb->data[sb->len] = '\0';
    return 0;
}

int strbuf_append_str(struct strbuf *sb, const char *s)
{
    return strbuf_append(sb, s, strlen(s));
}

void strbuf_free(struct strbuf *sb)
{
    free(sb->data);
    sb->data = NULL;
    sb->len = sb->cap = 0;
}
