#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "temp_file.h"
#include "zip_builder.h"
#include "zip_reader.h"

namespace {

std::vector<uint8_t> bytes(const std::string &s)
{
    return {s.begin(), s.end()};
}

std::vector<uint8_t> noise(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto &b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

// An archive on disk, opened with zip_open.
class OpenZip {
public:
    explicit OpenZip(const std::vector<uint8_t> &archive)
    {
        writeFile(path(), archive);
        ok_ = zip_open(&za_, path().c_str(), &err_) == 0;
    }
    explicit OpenZip(const std::string &existing) : external_(existing)
    {
        ok_ = zip_open(&za_, existing.c_str(), &err_) == 0;
    }
    ~OpenZip()
    {
        if (ok_)
            zip_close(&za_);
    }
    OpenZip(const OpenZip &) = delete;
    OpenZip &operator=(const OpenZip &) = delete;

    bool ok() const { return ok_; }
    std::string error() const { return err_.text; }
    const zip_archive *get() const { return &za_; }
    std::string path() const { return external_.empty() ? dir_.file("a.zip") : external_; }

    // The entry's bytes, or the reason it was refused.
    bool extract(const std::string &name, std::vector<uint8_t> &out, std::string &why) const
    {
        const zip_entry *e = zip_find(&za_, name.c_str());
        if (!e) {
            why = "not found";
            return false;
        }
        char *data = nullptr;
        size_t len = 0;
        upd_error err{};
        if (zip_extract_to_memory(&za_, e, 64u << 20, &data, &len, &err) != 0) {
            why = err.text;
            return false;
        }
        out.assign(data, data + len);
        free(data);
        return true;
    }

private:
    TempDir dir_;
    std::string external_;
    zip_archive za_{};
    upd_error err_{};
    bool ok_ = false;
};

TEST(ZipReader, ReadsStoredDeflatedAndEmptyEntries)
{
    auto big = noise(200000, 1);
    std::vector<uint8_t> text(100000, 'a');
    OpenZip z(buildZip({{"dir/", {}, false}, {"big.bin", big, true}, {"text", text, true},
                        {"stored", bytes("plain"), false}, {"empty", {}, true}},
                       "an archive comment"));
    ASSERT_TRUE(z.ok()) << z.error();
    EXPECT_EQ(z.get()->count, 5u);
    std::vector<uint8_t> out;
    std::string why;
    ASSERT_TRUE(z.extract("big.bin", out, why)) << why;
    EXPECT_EQ(out, big);
    ASSERT_TRUE(z.extract("text", out, why)) << why;
    EXPECT_EQ(out, text);
    ASSERT_TRUE(z.extract("stored", out, why)) << why;
    EXPECT_EQ(out, bytes("plain"));
    ASSERT_TRUE(z.extract("empty", out, why)) << why;
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(zip_find(z.get(), "missing"), nullptr);
    EXPECT_EQ(zip_find(z.get(), "big"), nullptr);  // names match whole, not as prefixes
}

TEST(ZipReader, ReadsTheTemplatePackage)
{
    OpenZip z(std::string(SUPK_FILE));
    ASSERT_TRUE(z.ok()) << z.error();
    ASSERT_EQ(z.get()->count, 9u);
    std::vector<uint8_t> out;
    std::string why;
    ASSERT_TRUE(z.extract("META-INF/com/google/android/updater-script", out, why)) << why;
    EXPECT_EQ(out, readFile(UPDATER_SOURCE_DIR "/updater-script"));
    ASSERT_TRUE(z.extract("version.xml", out, why)) << why;
    EXPECT_EQ(out, readFile(UPDATER_SOURCE_DIR "/version-template.xml"));
    ASSERT_TRUE(z.extract("logo_new.img", out, why)) << why;
    EXPECT_EQ(out.size(), 262144u);
}

TEST(ZipReader, ReadsWhatInfoZipWrites)
{
    if (std::system("command -v zip >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "zip is not installed";
    TempDir dir;
    auto data = noise(70000, 7);
    data.insert(data.end(), 70000, 'z');
    writeFile(dir.file("one.bin"), data);
    writeFile(dir.file("two.txt"), std::string("hello\n"));
    std::string cmd = "cd '" + dir.path().string() + "' && zip -q -9 a.zip one.bin two.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    OpenZip z(dir.file("a.zip"));
    ASSERT_TRUE(z.ok()) << z.error();
    std::vector<uint8_t> out;
    std::string why;
    ASSERT_TRUE(z.extract("one.bin", out, why)) << why;
    EXPECT_EQ(out, data);
    ASSERT_TRUE(z.extract("two.txt", out, why)) << why;
    EXPECT_EQ(out, bytes("hello\n"));
}

TEST(ZipReader, EveryTruncationIsRefused)
{
    auto archive = buildZip({{"a", noise(3000, 2), true}, {"b", bytes("bbbb"), false}});
    for (size_t cut = 0; cut < archive.size(); cut++) {
        std::vector<uint8_t> part(archive.begin(), archive.begin() + static_cast<long>(cut));
        OpenZip z(part);
        if (!z.ok())
            continue;
        std::vector<uint8_t> out;
        std::string why;
        EXPECT_FALSE(z.extract("a", out, why) && z.extract("b", out, why)) << "cut at " << cut;
    }
}

TEST(ZipReader, RandomDamageNeverYieldsWrongBytes)
{
    auto data = noise(5000, 3);
    auto archive = buildZip({{"x", data, true}});
    std::mt19937 rng(4);
    for (int round = 0; round < 300; round++) {
        auto damaged = archive;
        damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        OpenZip z(damaged);
        if (!z.ok())
            continue;
        std::vector<uint8_t> out;
        std::string why;
        if (z.extract("x", out, why)) {
            EXPECT_EQ(out, data) << "round " << round;
        }
    }
}

struct Damage {
    const char *label;
    std::function<void(ZipItem &)> apply;
    const char *reason;
};

void PrintTo(const Damage &d, std::ostream *os) { *os << d.label; }

class DamagedEntry : public testing::TestWithParam<Damage> {};

TEST_P(DamagedEntry, IsRefusedWithItsName)
{
    ZipItem bad{"logo_new.img", noise(4000, 5), true};
    GetParam().apply(bad);
    OpenZip z(buildZip({{"ok", bytes("fine"), true}, bad}));
    ASSERT_TRUE(z.ok()) << z.error();
    std::vector<uint8_t> out;
    std::string why;
    EXPECT_FALSE(z.extract("logo_new.img", out, why));
    EXPECT_NE(why.find("\"logo_new.img\""), std::string::npos) << why;
    EXPECT_NE(why.find(GetParam().reason), std::string::npos) << why;
    ASSERT_TRUE(z.extract("ok", out, why)) << why;  // the others stay readable
}

INSTANTIATE_TEST_SUITE_P(
    ZipReader, DamagedEntry,
    testing::Values(
        Damage{"CorruptCrc", [](ZipItem &s) { s.crcDelta = 1; }, "CRC mismatch"},
        Damage{"Encrypted", [](ZipItem &s) { s.flags = 0x0001; }, "encrypted"},
        Damage{"UnknownMethod", [](ZipItem &s) { s.method = 12; }, "method 12"},
        Damage{"SizeTooLarge", [](ZipItem &s) { s.sizeDelta = 1; }, "shorter than"},
        Damage{"SizeTooSmall", [](ZipItem &s) { s.sizeDelta = -1; }, "larger than"},
        Damage{"StoredSizesDisagree", [](ZipItem &s) { s.deflate = false; s.sizeDelta = 2; },
               "stored sizes disagree"},
        Damage{"CompressedSizeTooSmall", [](ZipItem &s) { s.compressedDelta = -10; }, "truncated"},
        Damage{"OtherLocalName", [](ZipItem &s) { s.localName = "logo_old.img"; }, "another file"},
        Damage{"DataRunsIntoDirectory", [](ZipItem &s) { s.compressedDelta = 100; }, "truncated"},
        Damage{"BrokenDeflateData",
               [](ZipItem &s) { s.deflate = false; s.method = 8; s.data = std::vector<uint8_t>(64, 0xff); },
               "corrupt"}),
    [](const testing::TestParamInfo<Damage> &info) { return std::string(info.param.label); });

TEST(ZipReader, DataDescriptorFlagIsReadFromTheDirectory)
{
    ZipItem e{"d", noise(1000, 6), true};
    e.flags = 0x0008;
    OpenZip z(buildZip({e}));
    ASSERT_TRUE(z.ok()) << z.error();
    std::vector<uint8_t> out;
    std::string why;
    ASSERT_TRUE(z.extract("d", out, why)) << why;
    EXPECT_EQ(out, e.data);
}

TEST(ZipReader, NotAnArchiveIsRefused)
{
    OpenZip a(bytes("PK\x03\x04 but nothing else of a zip archive, really"));
    EXPECT_FALSE(a.ok());
    EXPECT_NE(a.error().find("not a zip archive"), std::string::npos);
    OpenZip b(std::vector<uint8_t>{});
    EXPECT_FALSE(b.ok());
    OpenZip c(std::string("/nonexistent/package.zip"));
    EXPECT_FALSE(c.ok());
    EXPECT_NE(c.error().find("/nonexistent/package.zip"), std::string::npos);
}

TEST(ZipReader, DirectoryClaimingMoreEntriesThanItHoldsIsRefused)
{
    auto archive = buildZip({{"a", bytes("x"), false}});
    archive[archive.size() - 22 + 8] = 200;  // entries on this disk
    archive[archive.size() - 22 + 10] = 200; // entries in total
    OpenZip z(archive);
    EXPECT_FALSE(z.ok());
    EXPECT_NE(z.error().find("central directory"), std::string::npos) << z.error();
}

TEST(ZipReader, EntryLargerThanTheCallerAllowsIsRefused)
{
    OpenZip z(buildZip({{"s", std::vector<uint8_t>(5000, 'x'), true}}));
    ASSERT_TRUE(z.ok());
    char *data = nullptr;
    size_t len = 0;
    upd_error err{};
    EXPECT_NE(zip_extract_to_memory(z.get(), zip_find(z.get(), "s"), 4999, &data, &len, &err), 0);
    EXPECT_NE(std::string(err.text).find("too large"), std::string::npos);
}

TEST(ZipReader, FailedExtractLeavesNoFile)
{
    ZipItem bad{"img", noise(100000, 8), true};
    bad.crcDelta = 5;
    OpenZip z(buildZip({bad}));
    ASSERT_TRUE(z.ok());
    TempDir dir;
    upd_error err{};
    std::string dest = dir.file("out.img");
    EXPECT_NE(zip_extract_to_file(z.get(), zip_find(z.get(), "img"), dest.c_str(), &err), 0);
    EXPECT_FALSE(std::filesystem::exists(dest));
}

TEST(ZipReader, ExtractReplacesALongerFile)
{
    OpenZip z(buildZip({{"f", bytes("short"), true}}));
    ASSERT_TRUE(z.ok());
    TempDir dir;
    std::string dest = dir.file("f");
    writeFile(dest, std::string(1000, 'o'));
    upd_error err{};
    ASSERT_EQ(zip_extract_to_file(z.get(), zip_find(z.get(), "f"), dest.c_str(), &err), 0) << err.text;
    EXPECT_EQ(readFile(dest), bytes("short"));
}

}  // namespace
