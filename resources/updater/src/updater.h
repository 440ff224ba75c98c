#ifndef UPDATER_UPDATER_H
#define UPDATER_UPDATER_H

/* The recovery's side of an update: argv is [program, api version, pipe fd, package]. */

#include "raw_image.h"

#ifdef __cplusplus
extern "C" {
#endif

enum updater_exit {
    UPDATER_OK = 0,
    UPDATER_BAD_ARGUMENTS = 1,
    UPDATER_BAD_PACKAGE = 2,
    UPDATER_NO_SCRIPT = 3,
    UPDATER_BAD_SCRIPT = 4,
    UPDATER_SCRIPT_ABORTED = 5
};

#define UPDATER_SCRIPT_ENTRY "META-INF/com/google/android/updater-script"

/* Runs the package's updater script; every failure is told through the pipe before
   the non-zero return. */
int updater_main(int argc, char **argv, const struct mtd_places *places);

#ifdef __cplusplus
}
#endif

#endif
