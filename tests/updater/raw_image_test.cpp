#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "mtd_abi.h"
#include "raw_image.h"
#include "temp_file.h"

#if __has_include(<mtd/mtd-abi.h>)
#include <mtd/mtd-abi.h>
// The numbers spelled out for the phone's build must be the kernel's own.
static_assert(UPDATER_MEMGETINFO == MEMGETINFO);
static_assert(UPDATER_MEMERASE == MEMERASE);
static_assert(UPDATER_MEMGETBADBLOCK == MEMGETBADBLOCK);
static_assert(UPDATER_MEMSETBADBLOCK == MEMSETBADBLOCK);
static_assert(sizeof(updater_mtd_info) == sizeof(mtd_info_user));
static_assert(offsetof(updater_mtd_info, erasesize) == offsetof(mtd_info_user, erasesize));
#endif

namespace {

const char kTable[] =
    "dev:    size   erasesize  name\n"
    "mtd0: 00500000 00020000 \"boot\"\n"
    "mtd1: 00040000 00020000 \"logo2\"\n"
    "mtd2: 00040000 00020000 \"blogo\"\n"
    "mtd12: 00040000 00020000 \"logo\"\n"
    "mtd13: 00800000 00020000 \"log o\"\n";

struct Lookup {
    const char *name;
    int found;
    unsigned index;
    uint32_t size;
};

void PrintTo(const Lookup &l, std::ostream *os) { *os << '"' << l.name << '"'; }

class MtdTable : public testing::TestWithParam<Lookup> {};

TEST_P(MtdTable, FindsExactNamesOnly)
{
    mtd_partition_info info{};
    int rc = mtd_find_partition(kTable, sizeof kTable - 1, GetParam().name, &info);
    ASSERT_EQ(rc == 0, GetParam().found == 1);
    if (rc == 0) {
        EXPECT_EQ(info.index, GetParam().index);
        EXPECT_EQ(info.size, GetParam().size);
        EXPECT_EQ(info.erase_size, 0x20000u);
    }
}

INSTANTIATE_TEST_SUITE_P(RawImage, MtdTable,
                         testing::Values(Lookup{"logo", 1, 12, 0x40000}, Lookup{"boot", 1, 0, 0x500000},
                                         Lookup{"log o", 1, 13, 0x800000}, Lookup{"log", 0, 0, 0},
                                         Lookup{"Logo", 0, 0, 0}, Lookup{"name", 0, 0, 0},
                                         Lookup{"", 0, 0, 0}));

TEST(RawImage, MalformedTableLinesAreIgnored)
{
    const char table[] = "mtd: 00040000 00020000 \"logo\"\n"
                         "mtd1 00040000 00020000 \"logo\"\n"
                         "mtd2: zz 00020000 \"logo\"\n"
                         "mtd3: 100000000 00020000 \"logo\"\n"
                         "mtd4: 00040000 00020000 \"logo\n"
                         "mtd5: 00040000 00020000 \"logo\"";  // no line end: still read
    mtd_partition_info info{};
    ASSERT_EQ(mtd_find_partition(table, sizeof table - 1, "logo", &info), 0);
    EXPECT_EQ(info.index, 5u);
}

// A file system that looks like the phone's: a /proc/mtd and plain files as devices.
class FakePhone {
public:
    explicit FakePhone(uint32_t logoSize = 0x40000, bool flat = false)
    {
        std::filesystem::create_directories(dir_.path() / "dev/mtd");
        writeFile(dir_.file("mtd"), "dev:    size   erasesize  name\n"
                                    "mtd0: 00040000 00020000 \"boot\"\n"
                                    "mtd3: " + hex(logoSize) + " 00020000 \"logo\"\n");
        device_ = flat ? dir_.file("dev/mtd3") : dir_.file("dev/mtd/mtd3");
        writeFile(device_, std::vector<uint8_t>(logoSize, 0x33));
        proc_ = dir_.file("mtd");
        nested_ = dir_.file("dev/mtd/mtd");
        flat_ = dir_.file("dev/mtd");
        places_ = mtd_places{proc_.c_str(), {nested_.c_str(), flat_.c_str()}};
    }

    const mtd_places *places() const { return &places_; }
    std::vector<uint8_t> logo() const { return readFile(device_); }
    std::string image(const std::vector<uint8_t> &data) const
    {
        writeFile(dir_.file("image.img"), data);
        return dir_.file("image.img");
    }

private:
    static std::string hex(uint32_t v)
    {
        char buf[16];
        snprintf(buf, sizeof buf, "%08x", v);
        return buf;
    }
    TempDir dir_;
    std::string device_, proc_, nested_, flat_;
    mtd_places places_{};
};

std::vector<uint8_t> noise(size_t n)
{
    std::mt19937 rng(21);
    std::vector<uint8_t> v(n);
    for (auto &b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

TEST(RawImage, PlainDeviceGetsTheImageFromOffsetZero)
{
    FakePhone phone;
    auto data = noise(200000);  // not a multiple of any chunk size
    upd_error err{};
    ASSERT_EQ(raw_image_write(phone.places(), phone.image(data).c_str(), "logo", nullptr, &err), 0) << err.text;
    auto logo = phone.logo();
    ASSERT_EQ(logo.size(), 0x40000u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), logo.begin()));
    EXPECT_TRUE(std::all_of(logo.begin() + 200000, logo.end(), [](uint8_t b) { return b == 0x33; }));
}

TEST(RawImage, FlatDeviceNamesAreFound)
{
    FakePhone phone(0x40000, true);
    auto data = noise(0x40000);
    upd_error err{};
    ASSERT_EQ(raw_image_write(phone.places(), phone.image(data).c_str(), "logo", nullptr, &err), 0) << err.text;
    EXPECT_EQ(phone.logo(), data);
}

TEST(RawImage, ImageLargerThanThePartitionLeavesItAlone)
{
    FakePhone phone(0x20000);
    upd_error err{};
    EXPECT_NE(raw_image_write(phone.places(), phone.image(noise(0x20001)).c_str(), "logo", nullptr, &err), 0);
    EXPECT_NE(std::string(err.text).find("larger than the partition \"logo\""), std::string::npos) << err.text;
    EXPECT_EQ(phone.logo(), std::vector<uint8_t>(0x20000, 0x33));
}

TEST(RawImage, MissingPartitionIsNamed)
{
    FakePhone phone;
    upd_error err{};
    EXPECT_NE(raw_image_write(phone.places(), phone.image(noise(10)).c_str(), "splash", nullptr, &err), 0);
    EXPECT_NE(std::string(err.text).find("no partition named \"splash\""), std::string::npos) << err.text;
}

TEST(RawImage, MissingImageIsNamed)
{
    FakePhone phone;
    upd_error err{};
    EXPECT_NE(raw_image_write(phone.places(), "/nonexistent/logo.img", "logo", nullptr, &err), 0);
    EXPECT_NE(std::string(err.text).find("/nonexistent/logo.img"), std::string::npos) << err.text;
    EXPECT_EQ(phone.logo(), std::vector<uint8_t>(0x40000, 0x33));
}

}  // namespace
