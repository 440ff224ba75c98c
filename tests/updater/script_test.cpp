#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "temp_file.h"

namespace {

std::string givenScript()
{
    auto bytes = readFile(UPDATER_SOURCE_DIR "/updater-script");
    return {bytes.begin(), bytes.end()};
}

TEST(GivenScript, IsTheCommittedText)
{
    EXPECT_EQ(givenScript().size(), 216u);
}

TEST(GivenScript, ExtractsWritesAndDeletesInOrder)
{
    FakeHost h;
    EXPECT_EQ(h.run(givenScript()), "");
    EXPECT_EQ(h.printed, (std::vector<std::string>{" vemol logo tool for u830 ", "Install complete!"}));
    EXPECT_EQ(h.calls, (std::vector<std::string>{
                           "extract logo_new.img /tmp/logo_new.img",
                           "write /tmp/logo_new.img logo",
                           "remove /tmp/logo_new.img",
                       }));
}

TEST(GivenScript, StopsAtAFailedExtract)
{
    FakeHost h;
    h.failingExtracts.insert("logo_new.img");
    EXPECT_EQ(h.run(givenScript()),
              "assert failed: package_extract_file(\"logo_new.img\", \"/tmp/logo_new.img\")");
    EXPECT_EQ(h.calls, (std::vector<std::string>{"extract logo_new.img /tmp/logo_new.img"}));
    // the banner, then the extract's reason; never "Install complete!"
    ASSERT_EQ(h.printed.size(), 2u);
    EXPECT_EQ(h.printed[1], "no entry \"logo_new.img\"");
}

TEST(GivenScript, StopsAtAFailedWrite)
{
    FakeHost h;
    h.failingPartitions.insert("logo");
    EXPECT_EQ(h.run(givenScript()), "assert failed: write_raw_image(\"/tmp/logo_new.img\", \"logo\")");
    EXPECT_EQ(h.calls.size(), 2u);  // no delete after the failed write
}

// What ui_print(<expression>) shows.
struct ValueCase {
    const char *expr;
    const char *printed;
};

void PrintTo(const ValueCase &c, std::ostream *os) { *os << c.expr; }

class Values : public testing::TestWithParam<ValueCase> {};

TEST_P(Values, Evaluate)
{
    FakeHost h;
    h.existingFiles = {"/a", "/b"};
    ASSERT_EQ(h.run(std::string("ui_print(") + GetParam().expr + ");"), "");
    ASSERT_EQ(h.printed.size(), 1u);
    EXPECT_EQ(h.printed[0], GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Script, Values,
    testing::Values(
        ValueCase{"\"a\" + \"b\" + c", "abc"},
        ValueCase{"\"a\", \"b\", \"c\"", "abc"},
        ValueCase{"", ""},
        ValueCase{"\"x\" == \"x\"", "t"},
        ValueCase{"\"x\" == \"y\"", ""},
        ValueCase{"\"x\" != \"y\"", "t"},
        ValueCase{"\"\" && \"x\"", ""},
        ValueCase{"\"x\" && \"y\"", "t"},
        ValueCase{"\"\" || \"y\"", "t"},
        ValueCase{"\"\" || \"\"", ""},
        ValueCase{"!\"\"", "t"},
        ValueCase{"!\"x\"", ""},
        ValueCase{"!!\"x\"", "t"},
        ValueCase{"\"a\" + \"b\" == \"ab\" && !\"\"", "t"},
        ValueCase{"\"a\" == \"b\" || \"c\" == \"c\"", "t"},
        ValueCase{"(\"a\" == \"b\") + \"z\"", "z"},
        ValueCase{"if \"\" then \"yes\" else \"no\" endif", "no"},
        ValueCase{"if \"x\" then \"yes\" endif", "yes"},
        ValueCase{"if \"\" then \"yes\" endif", ""},
        ValueCase{"if \"x\" then \"a\"; \"b\"; else \"c\" endif", "b"},
        ValueCase{"\"\\x41\\\\\\\"\\t\"", "A\\\"\t"},
        ValueCase{"/tmp/logo_new.img", "/tmp/logo_new.img"},
        ValueCase{"\"# not a comment\"", "# not a comment"},
        ValueCase{"delete(\"/a\", \"/missing\", \"/b\")", "2"},
        ValueCase{"write_raw_image(\"/f\", \"logo\")", "logo"},
        ValueCase{"package_extract_file(\"e\", \"/d\")", "t"}));

TEST(Script, MultiLineTextAndCommentsParse)
{
    FakeHost h;
    EXPECT_EQ(h.run("# banner\nui_print(\"a\\nb\") ;  # trailing\n\n;;ui_print(x)"), "");
    EXPECT_EQ(h.printed, (std::vector<std::string>{"a\nb", "x"}));
}

TEST(Script, EmptyScriptDoesNothing)
{
    FakeHost h;
    EXPECT_EQ(h.run(""), "");
    EXPECT_EQ(h.run("# only a comment\n"), "");
    EXPECT_TRUE(h.calls.empty());
}

TEST(Script, AndOrSkipTheirRightSide)
{
    FakeHost h;
    EXPECT_EQ(h.run("\"\" && package_extract_file(\"a\", \"b\"); \"t\" || delete(\"x\")"), "");
    EXPECT_TRUE(h.calls.empty());
}

TEST(Script, AssertStopsAtTheFirstFalseArgumentAndNamesIt)
{
    FakeHost h;
    EXPECT_EQ(h.run("assert(\"t\",\n  \"a\" == \"b\", package_extract_file(\"e\", \"d\"))"),
              "assert failed: \"a\" == \"b\"");
    EXPECT_TRUE(h.calls.empty());
}

TEST(Script, AssertQuotesItsArgumentAsWritten)
{
    FakeHost h;
    EXPECT_EQ(h.run("assert( (\"a\" ==\n \"b\") )"), "assert failed: (\"a\" ==\n \"b\")");
    EXPECT_EQ(h.run("assert(!\"t\")"), "assert failed: !\"t\"");
}

TEST(Script, StatementsAfterAnAbortDoNotRun)
{
    FakeHost h;
    EXPECT_NE(h.run("assert(\"\"); ui_print(\"after\")"), "");
    EXPECT_TRUE(h.printed.empty());
}

TEST(Script, NulInsideAPathIsRefused)
{
    FakeHost h;
    EXPECT_EQ(h.run("package_extract_file(\"a\\x00b\", \"/d\")"),
              "package_extract_file: argument 1 holds a NUL byte");
    EXPECT_TRUE(h.calls.empty());
}

struct BadCase {
    const char *src;
    const char *error;
};

void PrintTo(const BadCase &c, std::ostream *os) { *os << c.error; }

class Malformed : public testing::TestWithParam<BadCase> {};

TEST_P(Malformed, IsRefusedWithItsPlace)
{
    FakeHost h;
    EXPECT_EQ(h.run(GetParam().src), std::string("parse: ") + GetParam().error);
    EXPECT_TRUE(h.calls.empty());
    EXPECT_TRUE(h.printed.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Script, Malformed,
    testing::Values(
        BadCase{"ui_print(\"a\"", "line 1, column 13: expected ',' or ')' but found end of script"},
        BadCase{"ui_print(\"abc);\n", "line 1, column 10: string not closed"},
        BadCase{"ui_print(\"a\\q\")", "line 1, column 12: unknown escape in string"},
        BadCase{"ui_print(\"\\x4\")", "line 1, column 11: \\x needs two hexadecimal digits"},
        BadCase{"ui_print(\"a\");\nfoo(\"x\");", "line 2, column 1: unknown function \"foo\""},
        BadCase{"\n  ui_print(\"a\") ui_print(\"b\")", "line 2, column 17: expected ';' but found a word"},
        BadCase{"ui_print(\"a\" & \"b\")", "line 1, column 14: expected \"&&\""},
        BadCase{"ui_print(\"a\" | \"b\")", "line 1, column 14: expected \"||\""},
        BadCase{"ui_print(\"a\" = \"b\")", "line 1, column 14: expected \"==\""},
        BadCase{"if \"a\" then \"b\"", "line 1, column 16: expected 'endif' but found end of script"},
        BadCase{"if \"a\" \"b\" endif", "line 1, column 8: expected 'then' but found a string"},
        BadCase{"package_extract_file(\"a\")",
                "line 1, column 1: wrong number of arguments for package_extract_file"},
        BadCase{"assert()", "line 1, column 1: wrong number of arguments for assert"},
        BadCase{"ui_print(,)", "line 1, column 10: expected an expression but found ','"},
        BadCase{"ui_print(\"a\") @", "line 1, column 15: unexpected character '@'"},
        BadCase{")", "line 1, column 1: unexpected ')'"},
        BadCase{"ui_print(\"a\" +)", "line 1, column 15: expected an expression but found ')'"},
        BadCase{"then", "line 1, column 1: unexpected 'then'"},
        BadCase{"\"a\" \x01", "line 1, column 5: unexpected character byte 0x01"}));

TEST(Script, DeepNestingIsRefusedNotCrashed)
{
    FakeHost h;
    std::string deep(5000, '(');
    EXPECT_EQ(h.run(deep + "\"x\"" + std::string(5000, ')')).rfind("parse: line 1, column ", 0), 0u);
    EXPECT_NE(h.run(std::string(5000, '!') + "\"x\"").find("nested too deeply"), std::string::npos);
}

}  // namespace
