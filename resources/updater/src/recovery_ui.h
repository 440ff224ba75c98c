#ifndef UPDATER_RECOVERY_UI_H
#define UPDATER_RECOVERY_UI_H

/* The commands the updater sends to the recovery over its pipe, one per line. */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The recovery reads lines into a 1024-byte buffer. */
#define RECOVERY_LINE_MAX 1024

/* "ui_print <line>" for each non-empty line of text (a long one in several parts),
   then a bare "ui_print". */
void recovery_print(int fd, const char *text, size_t len);
/* "progress <fraction> <seconds>": the next part of the bar, filled over seconds. */
void recovery_progress(int fd, unsigned permille, unsigned seconds);
/* "set_progress <fraction>": how much of the current part is done. */
void recovery_set_progress(int fd, uint64_t done, uint64_t total);

/* "0.250" for 250 */
void recovery_format_fraction(char *out, unsigned permille);

#ifdef __cplusplus
}
#endif

#endif
