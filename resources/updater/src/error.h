#ifndef UPDATER_ERROR_H
#define UPDATER_ERROR_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A reason for the recovery's screen: short, one line, bounded so that it never
   needs an allocation on the way out of a failure. */
struct upd_error {
    char text[384];
};

void upd_error_set(struct upd_error *err, const char *fmt, ...)
    __attribute__((format(printf, 2, 3)));

#ifdef __cplusplus
}
#endif

#endif
