#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "recovery_ui.h"
#include "temp_file.h"

namespace {

// Runs f with the write end of a pipe and returns what came out of it.
template <typename F>
std::string piped(F f)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    Fd reader(fds[0]);
    {
        Fd writer(fds[1]);
        f(writer.get());
    }
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(reader.get(), buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    return out;
}

std::string printed(const std::string &text)
{
    return piped([&](int fd) { recovery_print(fd, text.data(), text.size()); });
}

TEST(RecoveryUi, EachLineThenABareUiPrint)
{
    EXPECT_EQ(printed(" banner "), "ui_print  banner \nui_print\n");
    EXPECT_EQ(printed("a\nb\n"), "ui_print a\nui_print b\nui_print\n");
    EXPECT_EQ(printed(""), "ui_print\n");
    EXPECT_EQ(printed("a\n\nb"), "ui_print a\nui_print b\nui_print\n");
}

TEST(RecoveryUi, NulAndCarriageReturnCannotCutALine)
{
    EXPECT_EQ(printed(std::string("a\0b\rc", 5)), "ui_print a b c\nui_print\n");
}

TEST(RecoveryUi, LongLinesStayUnder1024BytesAndKeepUtf8Whole)
{
    std::string text;
    for (int i = 0; i < 700; i++)
        text += "\xe5\xb1\x8f";  // a three-byte character, 2100 bytes in all
    std::string out = printed(text);
    std::string joined;
    size_t pos = 0;
    while (pos < out.size()) {
        size_t nl = out.find('\n', pos);
        ASSERT_NE(nl, std::string::npos);
        std::string line = out.substr(pos, nl - pos);
        EXPECT_LT(line.size() + 1, 1024u);
        if (line != "ui_print") {
            ASSERT_EQ(line.rfind("ui_print ", 0), 0u);
            std::string part = line.substr(9);
            EXPECT_EQ(part.size() % 3, 0u) << "a character was split";
            joined += part;
        }
        pos = nl + 1;
    }
    EXPECT_EQ(joined, text);
}

TEST(RecoveryUi, ProgressCommands)
{
    EXPECT_EQ(piped([](int fd) { recovery_progress(fd, 1000, 0); }), "progress 1.000 0\n");
    EXPECT_EQ(piped([](int fd) { recovery_progress(fd, 250, 12); }), "progress 0.250 12\n");
    EXPECT_EQ(piped([](int fd) { recovery_set_progress(fd, 1, 3); }), "set_progress 0.333\n");
    EXPECT_EQ(piped([](int fd) { recovery_set_progress(fd, 0, 0); }), "set_progress 1.000\n");
    EXPECT_EQ(piped([](int fd) { recovery_set_progress(fd, 5, 4); }), "set_progress 1.000\n");
}

}  // namespace
