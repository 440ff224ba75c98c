#ifndef UPDATER_BUILTINS_H
#define UPDATER_BUILTINS_H

#include <stddef.h>

#include "error.h"
#include "script.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What the script's functions act on: the recovery's screen, the package, the flash
   and the file system. The updater binds these to the real things; tests to fakes. */
struct updater_host {
    void *ctx;
    void (*print)(void *ctx, const char *text, size_t len);
    /* 0 on success; otherwise -1 with the reason in err */
    int (*extract)(void *ctx, const char *entry, const char *dest, struct upd_error *err);
    int (*write_raw_image)(void *ctx, const char *file, const char *partition,
                           struct upd_error *err);
    /* 0 when the file was deleted */
    int (*remove)(void *ctx, const char *path);
};

/* ui_print, assert, package_extract_file, write_raw_image and delete; run_ctx.host
   must point to a struct updater_host. */
extern const struct builtin updater_builtins[];

#ifdef __cplusplus
}
#endif

#endif
