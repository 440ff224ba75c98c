#include "updater.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "builtins.h"
#include "io_util.h"
#include "recovery_ui.h"
#include "script.h"
#include "zip_reader.h"

/* Scripts are a few hundred bytes; a megabyte is far beyond any real one. */
#define MAX_SCRIPT_SIZE (1024u * 1024)

struct session {
    int pipe_fd;
    struct zip_archive *package;
    const struct mtd_places *places;
};

static void tell(int fd, const char *text)
{
    if (fd >= 0)
        recovery_print(fd, text, strlen(text));
    /* the recovery keeps the updater's stderr in its log */
    (void)write_all(2, text, strlen(text));
    (void)write_all(2, "\n", 1);
}

static void host_print(void *ctx, const char *text, size_t len)
{
    struct session *s = ctx;
    recovery_print(s->pipe_fd, text, len);
}

static int host_extract(void *ctx, const char *entry, const char *dest, struct upd_error *err)
{
    struct session *s = ctx;
    const struct zip_entry *e = zip_find(s->package, entry);
    if (!e) {
        upd_error_set(err, "no entry \"%s\" in the package", entry);
        return -1;
    }
    return zip_extract_to_file(s->package, e, dest, err);
}

static void report_progress(void *ctx, uint64_t done, uint64_t total)
{
    struct session *s = ctx;
    recovery_set_progress(s->pipe_fd, done, total);
}

static int host_write_raw_image(void *ctx, const char *file, const char *partition,
                                struct upd_error *err)
{
    struct session *s = ctx;
    struct progress_sink progress = {s, report_progress};
    return raw_image_write(s->places, file, partition, &progress, err);
}

static int host_remove(void *ctx, const char *path)
{
    (void)ctx;
    return unlink(path);
}

/* A small decimal number, nothing else around it. */
static int parse_number(const char *s, long max, long *out)
{
    long v = 0;
    if (!*s)
        return -1;
    for (; *s; s++) {
        if (*s < '0' || *s > '9')
            return -1;
        v = v * 10 + (*s - '0');
        if (v > max)
            return -1;
    }
    *out = v;
    return 0;
}

int updater_main(int argc, char **argv, const struct mtd_places *places)
{
    long fd = -1, api = 0;
    if (argc >= 3 && (parse_number(argv[2], 65535, &fd) != 0 || fcntl((int)fd, F_GETFD) == -1))
        fd = -1;
    if (argc != 4 || fd < 0) {
        tell((int)fd, "usage: update-binary <api version> <pipe fd> <package>");
        return UPDATER_BAD_ARGUMENTS;
    }
    if (parse_number(argv[1], 1000, &api) != 0 || api < 1 || api > 3) {
        struct upd_error err;
        upd_error_set(&err, "recovery API version %.20s is not supported (1 to 3 are)", argv[1]);
        tell((int)fd, err.text);
        return UPDATER_BAD_ARGUMENTS;
    }

    struct upd_error err = {{0}};
    struct zip_archive package;
    if (zip_open(&package, argv[3], &err) != 0) {
        tell((int)fd, err.text);
        return UPDATER_BAD_PACKAGE;
    }

    const struct zip_entry *entry = zip_find(&package, UPDATER_SCRIPT_ENTRY);
    char *text = NULL;
    size_t text_len = 0;
    if (!entry) {
        tell((int)fd, "the package has no updater script (" UPDATER_SCRIPT_ENTRY ")");
        zip_close(&package);
        return UPDATER_NO_SCRIPT;
    }
    if (zip_extract_to_memory(&package, entry, MAX_SCRIPT_SIZE, &text, &text_len, &err) != 0) {
        tell((int)fd, err.text);
        zip_close(&package);
        return UPDATER_NO_SCRIPT;
    }

    struct script *script = script_parse(text, text_len, updater_builtins, &err);
    free(text);
    if (!script) {
        struct upd_error msg;
        upd_error_set(&msg, "updater script: %.340s", err.text);
        tell((int)fd, msg.text);
        zip_close(&package);
        return UPDATER_BAD_SCRIPT;
    }

    struct session session = {(int)fd, &package, places};
    struct updater_host host = {&session, host_print, host_extract, host_write_raw_image,
                                host_remove};
    struct run_ctx run;
    memset(&run, 0, sizeof run);
    run.script = script;
    run.host = &host;
    recovery_progress((int)fd, 1000, 0);
    int rc = script_run(&run);
    if (rc != 0)
        tell((int)fd, run.error.text);
    script_free(script);
    zip_close(&package);
    return rc == 0 ? UPDATER_OK : UPDATER_SCRIPT_ABORTED;
}
