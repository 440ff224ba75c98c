#include "fake_host.h"

#include <cstring>

static FakeHost *self(void *ctx)
{
    return static_cast<FakeHost *>(ctx);
}

updater_host FakeHost::host()
{
    updater_host h{};
    h.ctx = this;
    h.print = [](void *ctx, const char *text, size_t len) {
        self(ctx)->printed.emplace_back(text, len);
    };
    h.extract = [](void *ctx, const char *entry, const char *dest, upd_error *err) {
        self(ctx)->calls.push_back(std::string("extract ") + entry + " " + dest);
        if (self(ctx)->failingExtracts.count(entry)) {
            upd_error_set(err, "no entry \"%s\"", entry);
            return -1;
        }
        self(ctx)->existingFiles.insert(dest);
        return 0;
    };
    h.write_raw_image = [](void *ctx, const char *file, const char *partition, upd_error *err) {
        self(ctx)->calls.push_back(std::string("write ") + file + " " + partition);
        if (self(ctx)->failingPartitions.count(partition)) {
            upd_error_set(err, "no partition \"%s\"", partition);
            return -1;
        }
        return 0;
    };
    h.remove = [](void *ctx, const char *path) {
        self(ctx)->calls.push_back(std::string("remove ") + path);
        return self(ctx)->existingFiles.erase(path) ? 0 : -1;
    };
    return h;
}

std::string FakeHost::run(const std::string &src)
{
    upd_error err{};
    script *s = script_parse(src.data(), src.size(), updater_builtins, &err);
    if (!s)
        return std::string("parse: ") + err.text;
    updater_host h = host();
    run_ctx ctx{};
    ctx.script = s;
    ctx.host = &h;
    int rc = script_run(&ctx);
    script_free(s);
    return rc == 0 ? std::string() : std::string(ctx.error.text);
}
