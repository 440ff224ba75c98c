#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "temp_file.h"
#include "updater.h"
#include "zip_builder.h"

namespace {

struct Outcome {
    int rc;
    std::string pipe;
};

// Runs the updater's main with the given arguments; "{fd}" stands for the pipe.
Outcome runMain(std::vector<std::string> args)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    Fd reader(fds[0]);
    int rc;
    {
        Fd writer(fds[1]);
        std::vector<std::string> owned{"update-binary"};
        for (auto &a : args)
            owned.push_back(a == "{fd}" ? std::to_string(writer.get()) : a);
        std::vector<char *> argv;
        for (auto &a : owned)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        rc = updater_main(static_cast<int>(owned.size()), argv.data(), &mtd_system_places);
    }
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(reader.get(), buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    return {rc, out};
}

std::string packageWith(const TempDir &dir, const std::string &script)
{
    std::vector<ZipItem> entries{{"META-INF/", {}, false}};
    if (!script.empty())
        entries.push_back({UPDATER_SCRIPT_ENTRY, std::vector<uint8_t>(script.begin(), script.end()), true});
    writeFile(dir.file("p.zip"), buildZip(entries));
    return dir.file("p.zip");
}

TEST(UpdaterMain, RunsAScriptAndSaysSo)
{
    TempDir dir;
    Outcome o = runMain({"3", "{fd}", packageWith(dir, "ui_print(\"hi\");\nui_print(\"there\")")});
    EXPECT_EQ(o.rc, UPDATER_OK);
    EXPECT_EQ(o.pipe, "progress 1.000 0\nui_print hi\nui_print\nui_print there\nui_print\n");
}

struct Refusal {
    const char *label;
    std::vector<std::string> args;  // "{pkg}" for a good package
    int rc;
    const char *reason;
};

void PrintTo(const Refusal &r, std::ostream *os) { *os << r.label; }

class Refused : public testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithItsReasonOnThePipe)
{
    TempDir dir;
    std::string pkg = packageWith(dir, "ui_print(\"x\")");
    std::vector<std::string> args;
    for (auto a : GetParam().args)
        args.push_back(a == "{pkg}" ? pkg : a == "{noscript}" ? packageWith(dir, "") : a);
    Outcome o = runMain(args);
    EXPECT_EQ(o.rc, GetParam().rc);
    EXPECT_NE(o.pipe.find(GetParam().reason), std::string::npos) << o.pipe;
    EXPECT_EQ(o.pipe.find("ui_print x\n"), std::string::npos) << "the script ran";
}

INSTANTIATE_TEST_SUITE_P(
    UpdaterMain, Refused,
    testing::Values(
        Refusal{"TooFewArguments", {"3", "{fd}"}, UPDATER_BAD_ARGUMENTS, "usage:"},
        Refusal{"TooManyArguments", {"3", "{fd}", "{pkg}", "x"}, UPDATER_BAD_ARGUMENTS, "usage:"},
        Refusal{"ApiVersion0", {"0", "{fd}", "{pkg}"}, UPDATER_BAD_ARGUMENTS, "API version 0"},
        Refusal{"ApiVersion4", {"4", "{fd}", "{pkg}"}, UPDATER_BAD_ARGUMENTS, "API version 4"},
        Refusal{"ApiVersionText", {"3x", "{fd}", "{pkg}"}, UPDATER_BAD_ARGUMENTS, "API version 3x"},
        Refusal{"MissingPackage", {"3", "{fd}", "/nonexistent.zip"}, UPDATER_BAD_PACKAGE,
                "cannot open package /nonexistent.zip"},
        Refusal{"NoScript", {"3", "{fd}", "{noscript}"}, UPDATER_NO_SCRIPT, "no updater script"}),
    [](const testing::TestParamInfo<Refusal> &info) { return std::string(info.param.label); });

TEST(UpdaterMain, ApiVersionsOneToThreeAreServed)
{
    TempDir dir;
    std::string pkg = packageWith(dir, "ui_print(\"x\")");
    for (const char *api : {"1", "2", "3"})
        EXPECT_EQ(runMain({api, "{fd}", pkg}).rc, UPDATER_OK) << api;
}

TEST(UpdaterMain, UnparsableScriptIsRefusedWithItsLine)
{
    TempDir dir;
    Outcome o = runMain({"3", "{fd}", packageWith(dir, "ui_print(\"x\");\n\nassert(")});
    EXPECT_EQ(o.rc, UPDATER_BAD_SCRIPT);
    EXPECT_NE(o.pipe.find("ui_print updater script: line 3, column 8: "), std::string::npos) << o.pipe;
}

TEST(UpdaterMain, AbortedScriptExitsNonZeroAfterItsReason)
{
    TempDir dir;
    Outcome o = runMain({"3", "{fd}", packageWith(dir, "ui_print(\"x\");\nassert(\"a\" == \"b\");")});
    EXPECT_EQ(o.rc, UPDATER_SCRIPT_ABORTED);
    EXPECT_NE(o.pipe.find("ui_print assert failed: \"a\" == \"b\"\nui_print\n"), std::string::npos) << o.pipe;
}

TEST(UpdaterMain, ClosedPipeNumberIsAWrongArgument)
{
    TempDir dir;
    std::vector<std::string> owned{"update-binary", "3", "999", packageWith(dir, "ui_print(\"x\")")};
    std::vector<char *> argv;
    for (auto &a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(updater_main(4, argv.data(), &mtd_system_places), UPDATER_BAD_ARGUMENTS);
}

}  // namespace
