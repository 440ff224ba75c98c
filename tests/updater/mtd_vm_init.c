/* The first process of a small ARM virtual machine that plays the phone: it loads
   nandsim (a NAND chip with a factory bad block), names the first partition "logo",
   runs the package's updater on it the way the recovery does, and then reads the raw
   flash back, skipping bad blocks, to compare it with logo_new.img. It reports on the
   console with lines the host test reads, and powers the machine off. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "mtd_abi.h"

static void say(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
static void say(const char *fmt, ...)
{
    char buf[1200];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    fprintf(stderr, "%s\n", buf);
}

static void finish(int code)
{
    say("VM-DONE %d", code);
    sync();
    reboot(RB_POWER_OFF);
    _exit(code);
}

static char *slurp(const char *path, size_t *len)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return NULL;
    size_t cap = 1 << 16, used = 0;
    char *buf = malloc(cap);
    for (;;) {
        if (used + 1 >= cap)
            buf = realloc(buf, cap *= 2);
        ssize_t n = read(fd, buf + used, cap - used - 1);
        if (n <= 0)
            break;
        used += (size_t)n;
    }
    close(fd);
    buf[used] = '\0';
    *len = used;
    return buf;
}

static int load_nandsim(void)
{
    size_t len;
    char *image = slurp("/nandsim.ko", &len);
    if (!image) {
        say("VM-ERROR no /nandsim.ko");
        return -1;
    }
    size_t plen;
    char *params = slurp("/nandsim.params", &plen);
    if (params)
        params[strcspn(params, "\n")] = '\0';
    say("VM-INFO nandsim %s", params ? params : "");
    long rc = syscall(SYS_init_module, image, (unsigned long)len, params ? params : "");
    free(params);
    free(image);
    if (rc != 0) {
        say("VM-ERROR init_module: %s", strerror(errno));
        return -1;
    }
    return 0;
}

/* /proc/mtd as the updater should see it: the first partition called "logo". */
static int name_logo_partition(void)
{
    size_t len;
    char *table = slurp("/proc/mtd", &len);
    if (!table)
        return -1;
    char *line = strstr(table, "mtd0:");
    if (!line) {
        say("VM-ERROR no mtd0 in /proc/mtd");
        return -1;
    }
    unsigned size, erase;
    if (sscanf(line, "mtd0: %x %x", &size, &erase) != 2)
        return -1;
    FILE *f = fopen("/tmp/mtd", "w");
    fprintf(f, "dev:    size   erasesize  name\nmtd0: %08x %08x \"logo\"\n", size, erase);
    fclose(f);
    free(table);
    say("VM-INFO logo partition: size %#x, erase block %#x", size, erase);
    if (mount("/tmp/mtd", "/proc/mtd", NULL, MS_BIND, NULL) != 0) {
        say("VM-ERROR bind mount over /proc/mtd: %s", strerror(errno));
        return -1;
    }
    return 0;
}

static int run_updater(void)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        char fd[16];
        snprintf(fd, sizeof fd, "%d", fds[1]);
        execl("/update-binary", "/update-binary", "3", fd, "/package.zip", (char *)NULL);
        _exit(127);
    }
    close(fds[1]);
    FILE *in = fdopen(fds[0], "r");
    char line[1100];
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\n")] = '\0';
        say("VM-PIPE %s", line);
    }
    fclose(in);
    int status = 0;
    waitpid(pid, &status, 0);
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    say("VM-EXIT %d", code);
    return code;
}

/* The partition's good blocks in order must hold the image, then only 0xFF. */
static int verify(void)
{
    size_t image_len;
    char *image = slurp("/logo_new.img", &image_len);
    int fd = open("/dev/mtd0", O_RDONLY);
    struct updater_mtd_info info;
    if (!image || fd < 0 || ioctl(fd, UPDATER_MEMGETINFO, &info) != 0) {
        say("VM-ERROR cannot open /dev/mtd0 or the image");
        return -1;
    }
    char *block = malloc(info.erasesize);
    size_t pos = 0;
    int ok = 1;
    for (uint32_t off = 0; off < info.size; off += info.erasesize) {
        int64_t where = off;
        if (ioctl(fd, UPDATER_MEMGETBADBLOCK, &where) > 0) {
            say("VM-BAD %u", (unsigned)(off / info.erasesize));
            continue;
        }
        if (pread(fd, block, info.erasesize, off) != (ssize_t)info.erasesize) {
            say("VM-ERROR read at %#x: %s", (unsigned)off, strerror(errno));
            return -1;
        }
        for (uint32_t i = 0; i < info.erasesize; i++, pos++) {
            unsigned char want = pos < image_len ? (unsigned char)image[pos] : 0xff;
            if ((unsigned char)block[i] != want) {
                say("VM-MISMATCH block %u byte %u", (unsigned)(off / info.erasesize), (unsigned)i);
                ok = 0;
                break;
            }
        }
        if (!ok)
            break;
    }
    if (ok && pos < image_len) {
        say("VM-MISMATCH the image does not fit");
        ok = 0;
    }
    if (ok)
        say("VM-VERIFIED %zu", image_len);
    close(fd);
    free(block);
    free(image);
    return ok ? 0 : -1;
}

/* What the flash says before the install, for the log. */
static void report_bad_blocks(void)
{
    int fd = open("/dev/mtd0", O_RDONLY);
    struct updater_mtd_info info;
    if (fd < 0 || ioctl(fd, UPDATER_MEMGETINFO, &info) != 0) {
        say("VM-ERROR cannot query /dev/mtd0: %s", strerror(errno));
        return;
    }
    say("VM-INFO type %u, size %#x, erase block %#x, page %#x", info.type, (unsigned)info.size,
        (unsigned)info.erasesize, (unsigned)info.writesize);
    for (uint32_t off = 0; off < info.size; off += info.erasesize) {
        int64_t where = off;
        int r = ioctl(fd, UPDATER_MEMGETBADBLOCK, &where);
        if (r != 0)
            say("VM-INFO block %u: bad-block query answers %d (%s)", (unsigned)(off / info.erasesize), r,
                r < 0 ? strerror(errno) : "bad");
    }
    close(fd);
}

int main(void)
{
    mkdir("/proc", 0755);
    mkdir("/dev", 0755);
    mkdir("/tmp", 01777);
    mount("proc", "/proc", "proc", 0, NULL);
    mount("devtmpfs", "/dev", "devtmpfs", 0, NULL);
    mount("tmpfs", "/tmp", "tmpfs", 0, NULL);
    say("VM-START");
    if (load_nandsim() != 0 || name_logo_partition() != 0)
        finish(2);
    report_bad_blocks();
    int code = run_updater();
    if (code != 0)
        finish(3);
    finish(verify() == 0 ? 0 : 4);
    return 0;
}
