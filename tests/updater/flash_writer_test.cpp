#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "flash_writer.h"
#include "nand_sim.h"

namespace {

constexpr uint32_t kBlock = 16384;
constexpr uint32_t kPage = 2048;
constexpr uint8_t kFill = 0x00;  // what an older image left in the flash

std::vector<uint8_t> noise(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto &b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

enum : int { Untouched = -1, Erased = -2, Unknown = -3 };

struct Layout {
    const char *label;
    uint32_t imageSize;
    std::set<uint32_t> bad;
    std::map<uint32_t, int> failWrites;
    std::map<uint32_t, int> failErases;
    std::vector<int> blocks;        // per block: the image's chunk it holds, Untouched, Erased or Unknown
    std::set<uint32_t> badAfter;    // blocks marked bad afterwards
};

void PrintTo(const Layout &c, std::ostream *os) { *os << c.label; }

class FlashLayout : public testing::TestWithParam<Layout> {};

TEST_P(FlashLayout, PutsEachChunkWhereExpected)
{
    const Layout &c = GetParam();
    NandSim nand(static_cast<uint32_t>(c.blocks.size()), kBlock, kPage, kFill);
    nand.bad = c.bad;
    nand.failWrites = c.failWrites;
    nand.failErases = c.failErases;
    MemoryImage image(noise(c.imageSize, 11));
    image_source src = image.source();
    flash_partition part = nand.partition();
    upd_error err{};
    ASSERT_EQ(flash_write_image(&part, &src, nullptr, &err), 0) << err.text;

    for (size_t b = 0; b < c.blocks.size(); b++) {
        std::vector<uint8_t> expected;
        if (c.blocks[b] == Unknown)
            continue;  // a block that failed: whatever it holds, it is marked bad
        if (c.blocks[b] == Untouched) {
            expected.assign(kBlock, kFill);
        } else if (c.blocks[b] == Erased) {
            expected.assign(kBlock, 0xff);
        } else {
            size_t from = static_cast<size_t>(c.blocks[b]) * kBlock;
            size_t to = std::min<size_t>(from + kBlock, image.data.size());
            expected.assign(image.data.begin() + static_cast<long>(from),
                            image.data.begin() + static_cast<long>(to));
            expected.resize(kBlock, 0xff);  // the last chunk is padded
        }
        EXPECT_TRUE(nand.block(static_cast<uint32_t>(b)) == expected) << "block " << b;
    }
    EXPECT_EQ(nand.bad, c.badAfter);
}

INSTANTIATE_TEST_SUITE_P(
    FlashWriter, FlashLayout,
    testing::Values(
        Layout{"PadsTheLastBlockAndErasesTheRest", 40000, {}, {}, {}, {0, 1, 2, Erased}, {}},
        Layout{"FillsThePartitionExactly", 4 * kBlock, {}, {}, {}, {0, 1, 2, 3}, {}},
        Layout{"SkipsFactoryBadBlocks", 40000, {0, 2}, {}, {}, {Untouched, 0, Untouched, 1, 2, Erased}, {0, 2}},
        Layout{"RetriesABlockThatFailsOnce", 40000, {}, {{0, 1}}, {{1, 1}}, {0, 1, 2, Erased}, {}},
        Layout{"MarksABlockThatFailsTwiceAndMovesOn", 40000, {}, {{1, 2}}, {},
               {0, Unknown, 1, 2, Erased}, {1}},
        Layout{"GivesUpOnABlockWhoseEraseFailsTwice", 20000, {}, {}, {{0, 2}}, {Untouched, 0, 1, Erased}, {0}},
        Layout{"EmptyImageErasesEverything", 0, {1}, {}, {}, {Erased, Untouched, Erased}, {1}},
        Layout{"RemainingBlockThatWillNotEraseIsMarked", kBlock, {}, {}, {{2, 2}}, {0, Erased, Untouched}, {2}}),
    [](const testing::TestParamInfo<Layout> &info) { return std::string(info.param.label); });

TEST(FlashWriter, ImageLargerThanThePartitionTouchesNothing)
{
    NandSim nand(4, kBlock, kPage, kFill);
    MemoryImage image(noise(4 * kBlock + 1, 12));
    image_source src = image.source();
    flash_partition part = nand.partition();
    upd_error err{};
    EXPECT_NE(flash_write_image(&part, &src, nullptr, &err), 0);
    EXPECT_NE(std::string(err.text).find("larger than the partition"), std::string::npos) << err.text;
    EXPECT_EQ(nand.operations, 0);
}

TEST(FlashWriter, TooManyBadBlocksForTheImageFails)
{
    NandSim nand(4, kBlock, kPage, kFill);
    nand.bad = {1, 3};
    nand.failWrites = {{2, 2}};
    MemoryImage image(noise(2 * kBlock, 13));
    image_source src = image.source();
    flash_partition part = nand.partition();
    upd_error err{};
    EXPECT_NE(flash_write_image(&part, &src, nullptr, &err), 0);
    EXPECT_NE(std::string(err.text).find("not enough good blocks"), std::string::npos) << err.text;
    EXPECT_NE(std::string(err.text).find("block 2: compare failed"), std::string::npos) << err.text;
    EXPECT_EQ(nand.bad, (std::set<uint32_t>{1, 2, 3}));
}

TEST(FlashWriter, EachBlockIsErasedWrittenAndReadBackInThatOrder)
{
    NandSim nand(2, kBlock, kPage, kFill);
    nand.failWrites = {{0, 1}};
    MemoryImage image(noise(kBlock, 14));
    image_source src = image.source();
    flash_partition part = nand.partition();
    upd_error err{};
    ASSERT_EQ(flash_write_image(&part, &src, nullptr, &err), 0) << err.text;
    EXPECT_EQ(nand.log, (std::vector<std::string>{"isbad 0", "erase 0", "write 0", "read 0", "erase 0",
                                                  "write 0", "read 0", "isbad 1", "erase 1"}));
}

TEST(FlashWriter, ReportsProgressUpToTheWholeImage)
{
    NandSim nand(4, kBlock, kPage, kFill);
    MemoryImage image(noise(40000, 15));
    image_source src = image.source();
    flash_partition part = nand.partition();
    std::vector<uint64_t> seen;
    progress_sink progress{&seen, [](void *ctx, uint64_t done, uint64_t total) {
                               EXPECT_EQ(total, 40000u);
                               static_cast<std::vector<uint64_t> *>(ctx)->push_back(done);
                           }};
    upd_error err{};
    ASSERT_EQ(flash_write_image(&part, &src, &progress, &err), 0) << err.text;
    EXPECT_EQ(seen, (std::vector<uint64_t>{0, kBlock, 2 * kBlock, 40000}));
}

TEST(FlashWriter, EraseSizeThatDoesNotDivideThePartitionIsRefused)
{
    NandSim nand(4, kBlock, kPage, kFill);
    MemoryImage image(noise(100, 16));
    image_source src = image.source();
    flash_partition part = nand.partition();
    part.size -= kPage;
    upd_error err{};
    EXPECT_NE(flash_write_image(&part, &src, nullptr, &err), 0);
    part = nand.partition();
    part.erase_size = 0;
    EXPECT_NE(flash_write_image(&part, &src, nullptr, &err), 0);
    EXPECT_EQ(nand.operations, 0);
}

}  // namespace
