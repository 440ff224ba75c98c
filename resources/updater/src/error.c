#include "error.h"

#include <stdarg.h>
#include <stdio.h>

void upd_error_set(struct upd_error *err, const char *fmt, ...)
{
    if (!err)
        return;
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(err->text, sizeof err->text, fmt, ap);
    va_end(ap);
}
