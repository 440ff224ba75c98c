#include "recovery_ui.h"

#include <string.h>

#include "io_util.h"

#define PRINT_PREFIX "ui_print "
/* room for the prefix and the newline, with some to spare */
#define PRINT_CHUNK 1000

static void send_line(int fd, const char *prefix, const char *text, size_t len)
{
    char line[RECOVERY_LINE_MAX];
    size_t plen = strlen(prefix);
    if (plen + len + 1 > sizeof line)
        len = sizeof line - plen - 1;
    memcpy(line, prefix, plen);
    memcpy(line + plen, text, len);
    for (size_t i = plen; i < plen + len; i++)
        if (line[i] == '\0' || line[i] == '\r')
            line[i] = ' '; /* either would cut or garble the recovery's line */
    line[plen + len] = '\n';
    /* The recovery may already be gone; there is nobody left to tell then. */
    (void)write_all(fd, line, plen + len + 1);
}

/* The longest prefix of at most max bytes that does not split a UTF-8 sequence. */
static size_t utf8_cut(const char *s, size_t len, size_t max)
{
    if (len <= max)
        return len;
    size_t cut = max;
    while (cut > 0 && ((unsigned char)s[cut] & 0xc0) == 0x80)
        cut--;
    return cut ? cut : max;
}

void recovery_print(int fd, const char *text, size_t len)
{
    size_t pos = 0;
    while (pos < len) {
        const char *nl = memchr(text + pos, '\n', len - pos);
        size_t line_len = nl ? (size_t)(nl - (text + pos)) : len - pos;
        const char *line = text + pos;
        while (line_len > 0) {
            size_t n = utf8_cut(line, line_len, PRINT_CHUNK);
            send_line(fd, PRINT_PREFIX, line, n);
            line += n;
            line_len -= n;
        }
        pos = nl ? (size_t)(nl - text) + 1 : len;
    }
    send_line(fd, "ui_print", "", 0);
}

void recovery_format_fraction(char *out, unsigned permille)
{
    if (permille > 1000)
        permille = 1000;
    out[0] = (char)('0' + permille / 1000);
    out[1] = '.';
    out[2] = (char)('0' + permille / 100 % 10);
    out[3] = (char)('0' + permille / 10 % 10);
    out[4] = (char)('0' + permille % 10);
    out[5] = '\0';
}

static size_t format_unsigned(char *out, unsigned v)
{
    char tmp[12];
    size_t n = 0;
    do {
        tmp[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    for (size_t i = 0; i < n; i++)
        out[i] = tmp[n - 1 - i];
    out[n] = '\0';
    return n;
}

void recovery_progress(int fd, unsigned permille, unsigned seconds)
{
    char text[32];
    recovery_format_fraction(text, permille);
    text[5] = ' ';
    size_t n = 6 + format_unsigned(text + 6, seconds);
    send_line(fd, "progress ", text, n);
}

void recovery_set_progress(int fd, uint64_t done, uint64_t total)
{
    char text[8];
    unsigned permille = total ? (unsigned)(done >= total ? 1000 : done * 1000 / total) : 1000;
    recovery_format_fraction(text, permille);
    send_line(fd, "set_progress ", text, 5);
}
