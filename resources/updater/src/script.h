#ifndef UPDATER_SCRIPT_H
#define UPDATER_SCRIPT_H

/* The updater script language: string literals, bare words, function calls,
   statements separated by ';', '#' comments, the operators && || == != + ! and
   if/then/else/endif. Every value is a string; the empty string is false. */

#include <stddef.h>

#include "error.h"

#ifdef __cplusplus
extern "C" {
#endif

enum node_kind {
    NODE_STRING,
    NODE_CALL,
    NODE_SEQ,
    NODE_AND,
    NODE_OR,
    NODE_EQ,
    NODE_NE,
    NODE_CONCAT,
    NODE_NOT,
    NODE_IF
};

struct builtin;

struct node {
    enum node_kind kind;
    int line, column;            /* where the expression starts */
    size_t src_begin, src_end;   /* its text in the script, for messages */
    char *text;                  /* NODE_STRING: the value; NODE_CALL: the name */
    size_t text_len;
    const struct builtin *fn;    /* NODE_CALL */
    struct node **kids;          /* NODE_IF: condition, then, else (may be NULL) */
    size_t nkids;
};

struct script {
    char *source;
    size_t source_len;
    struct node *root;
};

struct value {
    char *s;     /* NUL-terminated, owned */
    size_t len;
};

struct run_ctx;

/* A function of the language. It gets its argument expressions unevaluated, so that
   assert can stop at the first false one. It returns 0 with *out set, or -1 after
   script_abort(). */
typedef int (*builtin_fn)(struct run_ctx *ctx, const struct node *call, struct value *out);

struct builtin {
    const char *name;
    int min_args;
    int max_args;   /* -1: any number */
    builtin_fn fn;
};

/* Parses a script. Functions are looked up in table (terminated by a NULL name): an
   unknown name or a wrong number of arguments is refused here, with its place.
   Returns NULL and fills err ("line L, column C: ...") on failure. */
struct script *script_parse(const char *src, size_t len, const struct builtin *table,
                            struct upd_error *err);
void script_free(struct script *s);

struct run_ctx {
    const struct script *script;
    void *host;              /* what the functions act on */
    struct upd_error error;  /* why the script stopped */
    int depth;
};

/* Runs the whole script. Returns 0, or -1 with ctx->error set. */
int script_run(struct run_ctx *ctx);

/* For functions: evaluate an expression; 0 or -1 (aborted). */
int script_eval(struct run_ctx *ctx, const struct node *n, struct value *out);
/* Evaluates every argument of a call into args (nkids entries); frees on failure. */
int script_eval_args(struct run_ctx *ctx, const struct node *call, struct value *args);
void script_free_args(struct value *args, size_t n);
int script_abort(struct run_ctx *ctx, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
/* The expression's own text as written in the script. */
const char *script_text(const struct run_ctx *ctx, const struct node *n, size_t *len);

int value_set(struct value *v, const char *s, size_t len); /* 0, or -1 out of memory */
int value_bool(struct value *v, int truth);                /* "t" or "" */
void value_free(struct value *v);

#ifdef __cplusplus
}
#endif

#endif
