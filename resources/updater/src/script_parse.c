#include "script.h"

#include <stdlib.h>
#include <string.h>

#include "strbuf.h"

/* Deep nesting would only come from a broken or hostile script; refusing it keeps the
   recursive descent far from the end of a small recovery stack. */
#define MAX_DEPTH 100

enum token_kind {
    TOK_EOF,
    TOK_STRING,
    TOK_WORD,
    TOK_LPAREN,
    TOK_RPAREN,
    TOK_COMMA,
    TOK_SEMI,
    TOK_AND,
    TOK_OR,
    TOK_EQ,
    TOK_NE,
    TOK_PLUS,
    TOK_NOT,
    TOK_IF,
    TOK_THEN,
    TOK_ELSE,
    TOK_ENDIF
};

struct token {
    enum token_kind kind;
    int line, column;
    size_t begin, end;
    struct strbuf text; /* TOK_STRING: decoded value; TOK_WORD: the word */
};

struct parser {
    const char *src;
    size_t len;
    size_t pos;
    int line, column;
    const struct builtin *table;
    struct token tok;
    int depth;
    int failed;
    struct upd_error *err;
};

static void fail_at(struct parser *p, int line, int column, const char *what, const char *detail)
{
    if (p->failed)
        return;
    p->failed = 1;
    upd_error_set(p->err, "line %d, column %d: %s%s", line, column, what, detail ? detail : "");
}

static void fail_nomem(struct parser *p)
{
    fail_at(p, p->tok.line, p->tok.column, "out of memory", NULL);
}

static int is_word_char(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == ':' || c == '/' || c == '.' || c == '-';
}

static int peek_char(const struct parser *p, size_t ahead)
{
    return p->pos + ahead < p->len ? (unsigned char)p->src[p->pos + ahead] : -1;
}

static void advance(struct parser *p)
{
    if (p->src[p->pos] == '\n') {
        p->line++;
        p->column = 1;
    } else {
        p->column++;
    }
    p->pos++;
}

static int hex_digit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

static void lex_string(struct parser *p)
{
    struct token *t = &p->tok;
    t->kind = TOK_STRING;
    advance(p); /* opening quote */
    for (;;) {
        int c = peek_char(p, 0);
        if (c < 0) {
            fail_at(p, t->line, t->column, "string not closed", NULL);
            return;
        }
        if (c == '"') {
            advance(p);
            break;
        }
        char out;
        if (c == '\\') {
            int line = p->line, column = p->column;
            int e = peek_char(p, 1);
            advance(p);
            if (e < 0) {
                fail_at(p, t->line, t->column, "string not closed", NULL);
                return;
            }
            switch (e) {
            case 'n': out = '\n'; break;
            case 't': out = '\t'; break;
            case 'r': out = '\r'; break;
            case 'a': out = '\a'; break;
            case 'b': out = '\b'; break;
            case 'f': out = '\f'; break;
            case 'v': out = '\v'; break;
            case '"': out = '"'; break;
            case '\\': out = '\\'; break;
            case 'x': {
                int h = hex_digit(peek_char(p, 1)), l = hex_digit(peek_char(p, 2));
                if (h < 0 || l < 0) {
                    fail_at(p, line, column, "\\x needs two hexadecimal digits", NULL);
                    return;
                }
                advance(p);
                advance(p);
                out = (char)(h * 16 + l);
                break;
            }
            default:
                fail_at(p, line, column, "unknown escape in string", NULL);
                return;
            }
        } else {
            out = (char)c;
        }
        advance(p);
        if (strbuf_append(&t->text, &out, 1) != 0) {
            fail_nomem(p);
            return;
        }
    }
    if (!t->text.data && strbuf_append(&t->text, "", 0) != 0)
        fail_nomem(p);
}

static void next_token(struct parser *p)
{
    struct token *t = &p->tok;
    strbuf_free(&t->text);
    for (;;) {
        int c = peek_char(p, 0);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            advance(p);
        } else if (c == '#') {
            while (peek_char(p, 0) >= 0 && peek_char(p, 0) != '\n')
                advance(p);
        } else {
            break;
        }
    }
    t->line = p->line;
    t->column = p->column;
    t->begin = p->pos;
    int c = peek_char(p, 0);
    int c1 = peek_char(p, 1);
    if (c < 0) {
        t->kind = TOK_EOF;
    } else if (c == '"') {
        lex_string(p);
    } else if (is_word_char((unsigned char)c)) {
        size_t start = p->pos;
        while (peek_char(p, 0) >= 0 && is_word_char((unsigned char)peek_char(p, 0)))
            advance(p);
        if (strbuf_append(&t->text, p->src + start, p->pos - start) != 0) {
            fail_nomem(p);
            return;
        }
        t->kind = TOK_WORD;
        if (strcmp(t->text.data, "if") == 0)
            t->kind = TOK_IF;
        else if (strcmp(t->text.data, "then") == 0)
            t->kind = TOK_THEN;
        else if (strcmp(t->text.data, "else") == 0)
            t->kind = TOK_ELSE;
        else if (strcmp(t->text.data, "endif") == 0)
            t->kind = TOK_ENDIF;
    } else {
        int two = 0;
        switch (c) {
        case '(': t->kind = TOK_LPAREN; break;
        case ')': t->kind = TOK_RPAREN; break;
        case ',': t->kind = TOK_COMMA; break;
        case ';': t->kind = TOK_SEMI; break;
        case '+': t->kind = TOK_PLUS; break;
        case '!':
            if (c1 == '=') {
                t->kind = TOK_NE;
                two = 1;
            } else {
                t->kind = TOK_NOT;
            }
            break;
        case '&':
        case '|':
        case '=':
            if (c1 != c) {
                fail_at(p, t->line, t->column,
                        c == '&' ? "expected \"&&\"" : c == '|' ? "expected \"||\"" : "expected \"==\"",
                        NULL);
                return;
            }
            t->kind = c == '&' ? TOK_AND : c == '|' ? TOK_OR : TOK_EQ;
            two = 1;
            break;
        default: {
            char what[48];
            if (c >= 0x20 && c < 0x7f) {
                what[0] = '\'';
                what[1] = (char)c;
                what[2] = '\'';
                what[3] = '\0';
            } else {
                static const char hex[] = "0123456789abcdef";
                memcpy(what, "byte 0x", 7);
                what[7] = hex[(c >> 4) & 15];
                what[8] = hex[c & 15];
                what[9] = '\0';
            }
            fail_at(p, t->line, t->column, "unexpected character ", what);
            return;
        }
        }
        advance(p);
        if (two)
            advance(p);
    }
    t->end = p->pos;
}

static const char *token_name(const struct token *t)
{
    switch (t->kind) {
    case TOK_EOF: return "end of script";
    case TOK_STRING: return "a string";
    case TOK_WORD: return "a word";
    case TOK_LPAREN: return "'('";
    case TOK_RPAREN: return "')'";
    case TOK_COMMA: return "','";
    case TOK_SEMI: return "';'";
    case TOK_AND: return "'&&'";
    case TOK_OR: return "'||'";
    case TOK_EQ: return "'=='";
    case TOK_NE: return "'!='";
    case TOK_PLUS: return "'+'";
    case TOK_NOT: return "'!'";
    case TOK_IF: return "'if'";
    case TOK_THEN: return "'then'";
    case TOK_ELSE: return "'else'";
    case TOK_ENDIF: return "'endif'";
    }
    return "?";
}

static void fail_expected(struct parser *p, const char *expected)
{
    char detail[96];
    size_t n = strlen(expected);
    if (n > 40)
        n = 40;
    memcpy(detail, expected, n);
    strcpy(detail + n, " but found ");
    strncat(detail, token_name(&p->tok), sizeof detail - strlen(detail) - 1);
    fail_at(p, p->tok.line, p->tok.column, "expected ", detail);
}

static void node_free(struct node *n)
{
    if (!n)
        return;
    for (size_t i = 0; i < n->nkids; i++)
        node_free(n->kids[i]);
    free(n->kids);
    free(n->text);
    free(n);
}

static struct node *node_new(struct parser *p, enum node_kind kind, int line, int column, size_t begin)
{
    struct node *n = calloc(1, sizeof *n);
    if (!n) {
        fail_nomem(p);
        return NULL;
    }
    n->kind = kind;
    n->line = line;
    n->column = column;
    n->src_begin = begin;
    n->src_end = begin;
    return n;
}

static int node_add(struct parser *p, struct node *n, struct node *kid)
{
    struct node **k = realloc(n->kids, (n->nkids + 1) * sizeof *k);
    if (!k) {
        node_free(kid);
        fail_nomem(p);
        return -1;
    }
    n->kids = k;
    n->kids[n->nkids++] = kid;
    if (kid && kid->src_end > n->src_end)
        n->src_end = kid->src_end;
    return 0;
}

static struct node *parse_expr(struct parser *p);

static int starts_expr(enum token_kind k)
{
    return k == TOK_STRING || k == TOK_WORD || k == TOK_LPAREN || k == TOK_NOT || k == TOK_IF;
}

/* expr { ';' [expr] } — a ';' may end the sequence, and the sequence may be empty. */
static struct node *parse_seq(struct parser *p)
{
    struct node *seq = node_new(p, NODE_SEQ, p->tok.line, p->tok.column, p->tok.begin);
    if (!seq)
        return NULL;
    if (starts_expr(p->tok.kind)) {
        struct node *e = parse_expr(p);
        if (!e || node_add(p, seq, e) != 0)
            goto fail;
    }
    while (p->tok.kind == TOK_SEMI) {
        next_token(p);
        if (p->failed)
            goto fail;
        if (starts_expr(p->tok.kind)) {
            struct node *e = parse_expr(p);
            if (!e || node_add(p, seq, e) != 0)
                goto fail;
        }
    }
    return seq;
fail:
    node_free(seq);
    return NULL;
}

static const struct builtin *find_builtin(const struct builtin *table, const char *name)
{
    for (; table && table->name; table++)
        if (strcmp(table->name, name) == 0)
            return table;
    return NULL;
}

static struct node *parse_call(struct parser *p, struct node *call)
{
    /* the current token is '(' */
    next_token(p);
    if (p->failed)
        return NULL;
    if (p->tok.kind != TOK_RPAREN) {
        for (;;) {
            struct node *arg = parse_expr(p);
            if (!arg || node_add(p, call, arg) != 0)
                return NULL;
            if (p->tok.kind == TOK_COMMA) {
                next_token(p);
                if (p->failed)
                    return NULL;
                continue;
            }
            if (p->tok.kind != TOK_RPAREN) {
                fail_expected(p, "',' or ')'");
                return NULL;
            }
            break;
        }
    }
    call->src_end = p->tok.end;
    next_token(p);
    if (p->failed)
        return NULL;

    const struct builtin *fn = find_builtin(p->table, call->text);
    if (!fn) {
        char detail[96];
        strcpy(detail, "unknown function \"");
        strncat(detail, call->text, 64);
        strcat(detail, "\"");
        fail_at(p, call->line, call->column, detail, NULL);
        return NULL;
    }
    int n = (int)call->nkids;
    if (n < fn->min_args || (fn->max_args >= 0 && n > fn->max_args)) {
        char detail[96];
        strcpy(detail, "wrong number of arguments for ");
        strncat(detail, fn->name, 48);
        fail_at(p, call->line, call->column, detail, NULL);
        return NULL;
    }
    call->fn = fn;
    return call;
}

static struct node *parse_primary(struct parser *p)
{
    struct token *t = &p->tok;
    int line = t->line, column = t->column;
    size_t begin = t->begin;

    if (t->kind == TOK_STRING || t->kind == TOK_WORD) {
        int is_word = t->kind == TOK_WORD;
        struct node *n = node_new(p, NODE_STRING, line, column, begin);
        if (!n)
            return NULL;
        n->text = t->text.data;
        n->text_len = t->text.len;
        n->src_end = t->end;
        t->text.data = NULL;
        t->text.len = t->text.cap = 0;
        next_token(p);
        if (p->failed) {
            node_free(n);
            return NULL;
        }
        if (is_word && t->kind == TOK_LPAREN) {
            n->kind = NODE_CALL;
            if (!parse_call(p, n)) {
                node_free(n);
                return NULL;
            }
        }
        return n;
    }
    if (t->kind == TOK_LPAREN) {
        next_token(p);
        if (p->failed)
            return NULL;
        struct node *e = parse_expr(p);
        if (!e)
            return NULL;
        if (p->tok.kind != TOK_RPAREN) {
            fail_expected(p, "')'");
            node_free(e);
            return NULL;
        }
        e->src_begin = begin; /* messages quote the parentheses too */
        e->src_end = p->tok.end;
        next_token(p);
        if (p->failed) {
            node_free(e);
            return NULL;
        }
        return e;
    }
    if (t->kind == TOK_IF) {
        struct node *n = node_new(p, NODE_IF, line, column, begin);
        if (!n)
            return NULL;
        next_token(p);
        struct node *cond = p->failed ? NULL : parse_seq(p);
        if (!cond || node_add(p, n, cond) != 0)
            goto fail_if;
        if (p->tok.kind != TOK_THEN) {
            fail_expected(p, "'then'");
            goto fail_if;
        }
        next_token(p);
        struct node *then_part = p->failed ? NULL : parse_seq(p);
        if (!then_part || node_add(p, n, then_part) != 0)
            goto fail_if;
        if (p->tok.kind == TOK_ELSE) {
            next_token(p);
            struct node *else_part = p->failed ? NULL : parse_seq(p);
            if (!else_part || node_add(p, n, else_part) != 0)
                goto fail_if;
        }
        if (p->tok.kind != TOK_ENDIF) {
            fail_expected(p, "'endif'");
            goto fail_if;
        }
        n->src_end = p->tok.end;
        next_token(p);
        if (p->failed)
            goto fail_if;
        return n;
    fail_if:
        node_free(n);
        return NULL;
    }
    fail_expected(p, "an expression");
    return NULL;
}

static struct node *parse_unary(struct parser *p)
{
    if (p->tok.kind != TOK_NOT)
        return parse_primary(p);
    if (++p->depth > MAX_DEPTH) {
        fail_at(p, p->tok.line, p->tok.column, "expressions nested too deeply", NULL);
        return NULL;
    }
    struct node *n = node_new(p, NODE_NOT, p->tok.line, p->tok.column, p->tok.begin);
    if (!n)
        return NULL;
    next_token(p);
    struct node *operand = p->failed ? NULL : parse_unary(p);
    p->depth--;
    if (!operand || node_add(p, n, operand) != 0) {
        node_free(n);
        return NULL;
    }
    return n;
}

typedef struct node *(*parse_level)(struct parser *p);

/* One left-associative binary level: operand { op operand }. */
static struct node *parse_binary(struct parser *p, parse_level operand, enum token_kind op1,
                                 enum node_kind kind1, enum token_kind op2, enum node_kind kind2)
{
    struct node *left = operand(p);
    while (left && (p->tok.kind == op1 || p->tok.kind == op2)) {
        enum node_kind kind = p->tok.kind == op1 ? kind1 : kind2;
        struct node *n = node_new(p, kind, left->line, left->column, left->src_begin);
        if (!n || node_add(p, n, left) != 0) {
            if (n)
                node_free(n);
            else
                node_free(left);
            return NULL;
        }
        next_token(p);
        struct node *right = p->failed ? NULL : operand(p);
        if (!right || node_add(p, n, right) != 0) {
            node_free(n);
            return NULL;
        }
        left = n;
    }
    return left;
}

static struct node *parse_concat(struct parser *p)
{
    return parse_binary(p, parse_unary, TOK_PLUS, NODE_CONCAT, TOK_PLUS, NODE_CONCAT);
}

static struct node *parse_compare(struct parser *p)
{
    return parse_binary(p, parse_concat, TOK_EQ, NODE_EQ, TOK_NE, NODE_NE);
}

static struct node *parse_and(struct parser *p)
{
    return parse_binary(p, parse_compare, TOK_AND, NODE_AND, TOK_AND, NODE_AND);
}

static struct node *parse_expr(struct parser *p)
{
    if (++p->depth > MAX_DEPTH) {
        fail_at(p, p->tok.line, p->tok.column, "expressions nested too deeply", NULL);
        return NULL;
    }
    struct node *n = parse_binary(p, parse_and, TOK_OR, NODE_OR, TOK_OR, NODE_OR);
    p->depth--;
    return n;
}

struct script *script_parse(const char *src, size_t len, const struct builtin *table,
                            struct upd_error *err)
{
    struct parser p;
    memset(&p, 0, sizeof p);
    p.src = src;
    p.len = len;
    p.line = 1;
    p.column = 1;
    p.table = table;
    p.err = err;

    struct script *s = calloc(1, sizeof *s);
    if (!s) {
        upd_error_set(err, "out of memory");
        return NULL;
    }
    s->source = malloc(len + 1);
    if (!s->source) {
        free(s);
        upd_error_set(err, "out of memory");
        return NULL;
    }
    memcpy(s->source, src, len);
    s->source[len] = '\0';
    s->source_len = len;
    p.src = s->source;

    next_token(&p);
    if (!p.failed)
        s->root = parse_seq(&p);
    if (!p.failed && p.tok.kind != TOK_EOF) {
        if (starts_expr(p.tok.kind))
            fail_expected(&p, "';'");
        else
            fail_at(&p, p.tok.line, p.tok.column, "unexpected ", token_name(&p.tok));
    }
    strbuf_free(&p.tok.text);
    if (p.failed) {
        node_free(s->root);
        s->root = NULL;
        script_free(s);
        return NULL;
    }
    return s;
}

void script_free(struct script *s)
{
    if (!s)
        return;
    node_free(s->root);
    free(s->source);
    free(s);
}
