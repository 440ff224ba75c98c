#include "builtins.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "strbuf.h"

static struct updater_host *host_of(struct run_ctx *ctx)
{
    return (struct updater_host *)ctx->host;
}

static void say(struct run_ctx *ctx, const char *text)
{
    struct updater_host *h = host_of(ctx);
    h->print(h->ctx, text, strlen(text));
}

/* Paths and entry names go to C interfaces: a NUL inside would silently cut them. */
static int check_names(struct run_ctx *ctx, const struct node *call, const struct value *args)
{
    for (size_t i = 0; i < call->nkids; i++)
        if (strlen(args[i].s) != args[i].len)
            return script_abort(ctx, "%s: argument %u holds a NUL byte", call->text,
                                (unsigned)(i + 1));
    return 0;
}

static int fn_ui_print(struct run_ctx *ctx, const struct node *call, struct value *out)
{
    struct strbuf text = {0};
    for (size_t i = 0; i < call->nkids; i++) {
        struct value v;
        if (script_eval(ctx, call->kids[i], &v) != 0) {
            strbuf_free(&text);
            return -1;
        }
        int rc = strbuf_append(&text, v.s, v.len);
        value_free(&v);
        if (rc != 0) {
            strbuf_free(&text);
            return script_abort(ctx, "out of memory");
        }
    }
    if (!text.data && strbuf_append(&text, "", 0) != 0)
        return script_abort(ctx, "out of memory");
    struct updater_host *h = host_of(ctx);
    h->print(h->ctx, text.data, text.len);
    out->s = text.data;
    out->len = text.len;
    return 0;
}

static int fn_assert(struct run_ctx *ctx, const struct node *call, struct value *out)
{
    for (size_t i = 0; i < call->nkids; i++) {
        struct value v;
        if (script_eval(ctx, call->kids[i], &v) != 0)
            return -1;
        int truth = v.len != 0;
        value_free(&v);
        if (!truth) {
            size_t len;
            const char *src = script_text(ctx, call->kids[i], &len);
            if (len > 300)
                len = 300;
            return script_abort(ctx, "assert failed: %.*s", (int)len, src);
        }
    }
    return value_bool(out, 1) == 0 ? 0 : script_abort(ctx, "out of memory");
}

/* The two arguments of a file call, evaluated and checked; nothing is left to free on failure. */
static int eval_two_names(struct run_ctx *ctx, const struct node *call, struct value args[2])
{
    if (script_eval_args(ctx, call, args) != 0)
        return -1;
    if (check_names(ctx, call, args) != 0) {
        script_free_args(args, 2);
        return -1;
    }
    return 0;
}

static int fn_package_extract_file(struct run_ctx *ctx, const struct node *call, struct value *out)
{
    struct value args[2];
    if (eval_two_names(ctx, call, args) != 0)
        return -1;
    struct updater_host *h = host_of(ctx);
    struct upd_error err = {{0}};
    int ok = h->extract(h->ctx, args[0].s, args[1].s, &err) == 0;
    if (!ok)
        say(ctx, err.text);
    script_free_args(args, 2);
    return value_bool(out, ok) == 0 ? 0 : script_abort(ctx, "out of memory");
}

static int fn_write_raw_image(struct run_ctx *ctx, const struct node *call, struct value *out)
{
    struct value args[2];
    if (eval_two_names(ctx, call, args) != 0)
        return -1;
    struct updater_host *h = host_of(ctx);
    struct upd_error err = {{0}};
    int rc;
    if (h->write_raw_image(h->ctx, args[0].s, args[1].s, &err) == 0) {
        *out = args[1];
        args[1].s = NULL;
        rc = 0;
    } else {
        say(ctx, err.text);
        rc = value_set(out, "", 0) == 0 ? 0 : script_abort(ctx, "out of memory");
    }
    script_free_args(args, 2);
    return rc;
}

static int fn_delete(struct run_ctx *ctx, const struct node *call, struct value *out)
{
    unsigned long deleted = 0;
    struct updater_host *h = host_of(ctx);
    for (size_t i = 0; i < call->nkids; i++) {
        struct value v;
        if (script_eval(ctx, call->kids[i], &v) != 0)
            return -1;
        if (strlen(v.s) == v.len && h->remove(h->ctx, v.s) == 0)
            deleted++;
        value_free(&v);
    }
    char num[24];
    int n = snprintf(num, sizeof num, "%lu", deleted);
    return value_set(out, num, (size_t)n) == 0 ? 0 : script_abort(ctx, "out of memory");
}

const struct builtin updater_builtins[] = {
    {"ui_print", 0, -1, fn_ui_print},
    {"assert", 1, -1, fn_assert},
    {"package_extract_file", 2, 2, fn_package_extract_file},
    {"write_raw_image", 2, 2, fn_write_raw_image},
    {"delete", 1, -1, fn_delete},
    {NULL, 0, 0, NULL},
};
