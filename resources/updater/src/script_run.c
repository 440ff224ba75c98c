#include "script.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int value_set(struct value *v, const char *s, size_t len)
{
    v->s = malloc(len + 1);
    if (!v->s) {
        v->len = 0;
        return -1;
    }
    if (len)
        memcpy(v->s, s, len);
    v->s[len] = '\0';
    v->len = len;
    return 0;
}

int value_bool(struct value *v, int truth)
{
    return truth ? value_set(v, "t", 1) : value_set(v, "", 0);
}

void value_free(struct value *v)
{
    free(v->s);
    v->s = NULL;
    v->len = 0;
}

int script_abort(struct run_ctx *ctx, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(ctx->error.text, sizeof ctx->error.text, fmt, ap);
    va_end(ap);
    return -1;
}

const char *script_text(const struct run_ctx *ctx, const struct node *n, size_t *len)
{
    *len = n->src_end - n->src_begin;
    return ctx->script->source + n->src_begin;
}

static int out_of_memory(struct run_ctx *ctx)
{
    return script_abort(ctx, "out of memory");
}

static int eval_bool(struct run_ctx *ctx, const struct node *n, int *truth)
{
    struct value v = {0};
    if (script_eval(ctx, n, &v) != 0)
        return -1;
    *truth = v.len != 0;
    value_free(&v);
    return 0;
}

static int eval_seq(struct run_ctx *ctx, const struct node *n, struct value *out)
{
    if (n->nkids == 0)
        return value_set(out, "", 0) == 0 ? 0 : out_of_memory(ctx);
    for (size_t i = 0; i < n->nkids; i++) {
        if (script_eval(ctx, n->kids[i], out) != 0)
            return -1;
        if (i + 1 < n->nkids)
            value_free(out);
    }
    return 0;
}

static int eval_node(struct run_ctx *ctx, const struct node *n, struct value *out)
{
    int a, b;
    switch (n->kind) {
    case NODE_STRING:
        return value_set(out, n->text, n->text_len) == 0 ? 0 : out_of_memory(ctx);
    case NODE_CALL:
        return n->fn->fn(ctx, n, out);
    case NODE_SEQ:
        return eval_seq(ctx, n, out);
    case NODE_AND:
        if (eval_bool(ctx, n->kids[0], &a) != 0)
            return -1;
        b = 0;
        if (a && eval_bool(ctx, n->kids[1], &b) != 0)
            return -1;
        return value_bool(out, a && b) == 0 ? 0 : out_of_memory(ctx);
    case NODE_OR:
        if (eval_bool(ctx, n->kids[0], &a) != 0)
            return -1;
        b = 0;
        if (!a && eval_bool(ctx, n->kids[1], &b) != 0)
            return -1;
        return value_bool(out, a || b) == 0 ? 0 : out_of_memory(ctx);
    case NODE_NOT:
        if (eval_bool(ctx, n->kids[0], &a) != 0)
            return -1;
        return value_bool(out, !a) == 0 ? 0 : out_of_memory(ctx);
    case NODE_EQ:
    case NODE_NE:
    case NODE_CONCAT: {
        struct value l = {0}, r = {0};
        if (script_eval(ctx, n->kids[0], &l) != 0)
            return -1;
        if (script_eval(ctx, n->kids[1], &r) != 0) {
            value_free(&l);
            return -1;
        }
        int rc = 0;
        if (n->kind == NODE_CONCAT) {
            out->s = malloc(l.len + r.len + 1);
            if (!out->s) {
                rc = out_of_memory(ctx);
            } else {
                memcpy(out->s, l.s, l.len);
                memcpy(out->s + l.len, r.s, r.len);
                out->len = l.len + r.len;
                out->s[out->len] = '\0';
            }
        } else {
            int equal = l.len == r.len && memcmp(l.s, r.s, l.len) == 0;
            if (value_bool(out, n->kind == NODE_EQ ? equal : !equal) != 0)
                rc = out_of_memory(ctx);
        }
        value_free(&l);
        value_free(&r);
        return rc;
    }
    case NODE_IF:
        if (eval_bool(ctx, n->kids[0], &a) != 0)
            return -1;
        if (a)
            return script_eval(ctx, n->kids[1], out);
        if (n->nkids > 2)
            return script_eval(ctx, n->kids[2], out);
        return value_set(out, "", 0) == 0 ? 0 : out_of_memory(ctx);
    }
    return script_abort(ctx, "internal error: unknown expression");
}

int script_eval(struct run_ctx *ctx, const struct node *n, struct value *out)
{
    out->s = NULL;
    out->len = 0;
    /* The parser bounds the nesting; this guards functions that evaluate on their own. */
    if (++ctx->depth > 400) {
        ctx->depth--;
        return script_abort(ctx, "expressions nested too deeply");
    }
    int rc = eval_node(ctx, n, out);
    ctx->depth--;
    if (rc != 0)
        value_free(out);
    return rc;
}

int script_eval_args(struct run_ctx *ctx, const struct node *call, struct value *args)
{
    for (size_t i = 0; i < call->nkids; i++) {
        if (script_eval(ctx, call->kids[i], &args[i]) != 0) {
            script_free_args(args, i);
            return -1;
        }
    }
    return 0;
}

void script_free_args(struct value *args, size_t n)
{
    for (size_t i = 0; i < n; i++)
        value_free(&args[i]);
}

int script_run(struct run_ctx *ctx)
{
    struct value v = {0};
    ctx->depth = 0;
    ctx->error.text[0] = '\0';
    if (script_eval(ctx, ctx->script->root, &v) != 0)
        return -1;
    value_free(&v);
    return 0;
}
