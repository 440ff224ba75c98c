#include "GbkText.h"
#include "IMCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

namespace {

std::uint16_t Cell(unsigned lead, unsigned trail)
{
    return PinyinIndex.at((lead - 0x81) * 191 + (trail - 0x40));
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Cells that names are most likely to show, and characters with several readings.
struct TellingCell {
    unsigned code;
    const char* character; // UTF-8
    unsigned entry;
    const char* syllable; // empty for no reading
};

void PrintTo(const TellingCell& c, std::ostream* os)
{
    *os << std::hex << c.code << ' ' << c.character;
}

const TellingCell TellingCells[] = {
    {0x8140, "丂", 354, "yu"},     {0xB0A1, "啊", 1, "a"},       {0xD7F9, "座", 393, "zuo"},
    {0xD8A1, "亍", 40, "chu"},     {0xF7FE, "齄", 367, "zha"},   {0xFD9B, "龥", 356, "yue"},
    {0xD6D0, "中", 376, "zhong"},  {0xB9FA, "国", 104, "guo"},   {0xB3A4, "长", 370, "zhang"},
    {0xD0D0, "行", 108, "hang"},   {0xD6D8, "重", 376, "zhong"}, {0xC0D6, "乐", 161, "le"},
    {0xBEF5, "觉", 128, "jiao"},   {0xCFC3, "厦", 276, "sha"},   {0xB3AF, "朝", 33, "chao"},
    {0xB5A5, "单", 57, "dan"},     {0xD4F8, "曾", 28, "ceng"},   {0xCBC6, "似", 284, "shi"},
    {0xCBDE, "宿", 339, "xiu"},    {0xC1A9, "俩", 167, "liang"}, {0xC2CA, "率", 404, "lv"},
    {0xC2CC, "绿", 404, "lv"},     {0xC5AE, "女", 405, "nv"},    {0xE0C5, "嗯", 76, "en"},
    {0xDAC0, "诶", 395, "ei"},     {0xB7F0, "佛", 0, ""},        {0xB8F8, "给", 0, ""},
    {0xF7D4, "髟", 0, ""},
};

class TellingCellTest : public ::testing::TestWithParam<TellingCell> {};

TEST_P(TellingCellTest, HoldsItsSyllable)
{
    const TellingCell& c = GetParam();
    const unsigned lead = c.code >> 8;
    const unsigned trail = c.code & 0xFF;
    ASSERT_EQ(Gbk(c.character), Pair(lead, trail));
    EXPECT_EQ(Cell(lead, trail), c.entry);
    EXPECT_EQ(PinyinSyllables.at(c.entry), c.syllable);

    const std::string syllable = Upper(c.syllable);
    const std::string text = Gbk(c.character);
    EXPECT_EQ(GetPinyin(text, pyFullSyllable, 100), syllable);
    EXPECT_EQ(GetPinyin(text, 0, 100), syllable.substr(0, 1));
    EXPECT_EQ(GetPinyin(text, pyMarkMissing, 100), c.entry == 0 ? "?" : syllable.substr(0, 1));
}

INSTANTIATE_TEST_SUITE_P(Cells, TellingCellTest, ::testing::ValuesIn(TellingCells),
                         [](const ::testing::TestParamInfo<TellingCell>& info) {
                             char name[8];
                             std::snprintf(name, sizeof name, "%04X", info.param.code);
                             return std::string(name);
                         });

struct Area {
    const char* name;
    unsigned leadFirst, leadLast, trailFirst, trailLast;
    int nonZero; // the committed table's count
};

// The readings' data give a few more GBK/3 and GBK/4 characters a syllable than the
// bare minimum; those readings are kept.
const Area Areas[] = {
    {"GB2312 level 1", 0xB0, 0xD7, 0xA1, 0xFE, 3753},
    {"GB2312 level 2", 0xD8, 0xF7, 0xA1, 0xFE, 3007},
    {"GBK/3", 0x81, 0xA0, 0x40, 0xFE, 6065},
    {"GBK/4", 0xAA, 0xFE, 0x40, 0xA0, 8050},
};

const Area* AreaOf(unsigned lead, unsigned trail)
{
    if (trail == 0x7F || (lead == 0xD7 && trail > 0xF9))
        return nullptr;
    for (const Area& a : Areas)
        if (lead >= a.leadFirst && lead <= a.leadLast && trail >= a.trailFirst && trail <= a.trailLast)
            return &a;
    return nullptr;
}

TEST(PinyinIndexTable, CountsPerAreaAndNothingOutside)
{
    std::map<const Area*, int> counts;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
            if (Cell(lead, trail) != 0)
                ++counts[AreaOf(lead, trail)];
    EXPECT_EQ(counts.count(nullptr), 0u) << counts[nullptr] << " cells outside the character areas";
    for (const Area& a : Areas)
        EXPECT_EQ(counts[&a], a.nonZero) << a.name;
}

TEST(PinyinIndexTable, CellsWithoutCharacterAreZero)
{
    for (unsigned trail = 0x50; trail <= 0xA0; ++trail)
        EXPECT_EQ(Cell(0xFE, trail), 0) << std::hex << trail;
    // Compatibility ideographs.
    for (unsigned trail = 0x9C; trail <= 0xA0; ++trail)
        EXPECT_EQ(Cell(0xFD, trail), 0) << std::hex << trail;
    for (unsigned trail = 0x40; trail <= 0x4F; ++trail)
        EXPECT_EQ(Cell(0xFE, trail), 0) << std::hex << trail;
    for (unsigned trail = 0xFA; trail <= 0xFE; ++trail)
        EXPECT_EQ(Cell(0xD7, trail), 0) << std::hex << trail;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
        EXPECT_EQ(Cell(lead, 0x7F), 0) << std::hex << lead;
}

// Checked against glibc's code page 936: the index must not give a syllable to a cell
// that is not a Chinese character.
TEST(PinyinIndexTable, NonZeroCellsAreIdeographsWithASyllable)
{
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const std::uint16_t cell = Cell(lead, trail);
            if (cell == 0)
                continue;
            SCOPED_TRACE(::testing::Message() << std::hex << lead << trail);
            const std::optional<char32_t> cp = GbkPairCodePoint(static_cast<unsigned char>(lead),
                                                                static_cast<unsigned char>(trail));
            ASSERT_TRUE(cp.has_value());
            EXPECT_TRUE((*cp >= 0x4E00 && *cp <= 0x9FFF) || (*cp >= 0x3400 && *cp <= 0x4DBF));
            ASSERT_LE(cell, PinyinSyllableCount);
            EXPECT_FALSE(PinyinSyllables[cell].empty());
        }
    }
}

TEST(PinyinSyllableList, EntriesAreToneFreeLowercaseSyllables)
{
    ASSERT_EQ(PinyinSyllables.size(), 406u);
    EXPECT_EQ(PinyinSyllables[0], "");
    EXPECT_EQ(PinyinSyllables[394], "");
    std::set<std::string_view> seen;
    std::set<std::string_view> longest, oneLetter;
    for (std::size_t n = 1; n <= 405; ++n) {
        const std::string_view s = PinyinSyllables[n];
        if (n == 394)
            continue;
        SCOPED_TRACE(n);
        EXPECT_GE(s.size(), 1u);
        EXPECT_LE(s.size(), 6u);
        EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
        EXPECT_TRUE(seen.insert(s).second) << s << " twice";
        if (s.size() == 6)
            longest.insert(s);
        if (s.size() == 1)
            oneLetter.insert(s);
    }
    EXPECT_EQ(longest, (std::set<std::string_view>{"chuang", "shuang", "zhuang"}));
    EXPECT_EQ(oneLetter, (std::set<std::string_view>{"a", "e", "o", "m", "n"}));
    EXPECT_EQ(seen.count("fo"), 0u);
    EXPECT_EQ(seen.count("gei"), 0u);
}

// GetPinyin copies a syllable as one word: what follows the letters must be zero bytes,
// or they would show in the result.
TEST(PinyinSyllableList, EntriesArePaddedWithZeroBytes)
{
    for (std::size_t n = 0; n <= PinyinSyllableCount; ++n) {
        const std::string_view s = PinyinSyllables[n];
        ASSERT_LT(s.size(), PinyinSyllableStride) << n;
        for (std::size_t i = s.size(); i < PinyinSyllableStride; ++i)
            EXPECT_EQ(s.data()[i], '\0') << n << ' ' << i;
    }
}

// The index is numbered by this order: an entry moved or inserted would shift every
// syllable after it.
TEST(PinyinSyllableList, OrderIsAlphabeticalButForFourAndTheTail)
{
    EXPECT_EQ(PinyinSyllables[85], "fou");
    EXPECT_EQ(PinyinSyllables[92], "ji");
    EXPECT_EQ(PinyinSyllables[127], "qiao");
    EXPECT_EQ(PinyinSyllables[220], "yao");
    std::string_view previous;
    for (std::size_t n = 1; n <= 393; ++n) {
        if (n == 85 || n == 92 || n == 127 || n == 220)
            continue;
        EXPECT_LT(previous, PinyinSyllables[n]) << n;
        previous = PinyinSyllables[n];
    }
    const std::string_view tail[] = {"ei", "m", "n", "dia", "cen", "nou", "jv", "qv", "xv", "lv", "nv"};
    for (std::size_t i = 0; i < std::size(tail); ++i)
        EXPECT_EQ(PinyinSyllables[395 + i], tail[i]);
    EXPECT_EQ(PinyinSyllables[177], "lue");
    EXPECT_EQ(PinyinSyllables[219], "nue");
}

// The number each numbered symbol stands for, from its code point.
std::string NumberOf(char32_t cp)
{
    struct Run {
        char32_t first;
        int count;
    };
    // Small Roman, full stop, parentheses, circled, parenthesised ideographs, Roman.
    const Run runs[] = {{0x2170, 10}, {0x2488, 20}, {0x2474, 20}, {0x2460, 10}, {0x3220, 10}, {0x2160, 12}};
    for (const Run& r : runs)
        if (cp >= r.first && cp < r.first + static_cast<char32_t>(r.count))
            return std::to_string(cp - r.first + 1);
    return "";
}

TEST(NumeralRow, MatchesTheCodePointsOfCodePage936)
{
    ASSERT_EQ(NumeralTable.size(), 94u);
    int numbered = 0;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
        SCOPED_TRACE(::testing::Message() << "A2" << std::hex << trail);
        const std::optional<char32_t> cp = GbkPairCodePoint(0xA2, static_cast<unsigned char>(trail));
        const std::string expected = cp ? NumberOf(*cp) : "";
        numbered += !expected.empty();
        EXPECT_EQ(NumeralTable[trail - 0xA1], expected);
        // Numbers are whole under any options, and an empty cell is never marked.
        for (std::int32_t options : {0, 7})
            EXPECT_EQ(GetPinyin(Pair(0xA2, trail), options, 100), expected);
    }
    EXPECT_EQ(numbered, 82);
}

TEST(GreekRow, MatchesTheLettersOfCodePage936)
{
    // Capital letters in code point order; U+03A2 is unassigned.
    const std::map<char32_t, std::string> latin = {
        {0x391, "A"}, {0x392, "B"}, {0x393, "G"},  {0x394, "D"},  {0x395, "E"},  {0x396, "Z"},
        {0x397, "E"}, {0x398, "TH"}, {0x399, "I"}, {0x39A, "K"},  {0x39B, "L"},  {0x39C, "M"},
        {0x39D, "N"}, {0x39E, "X"}, {0x39F, "O"},  {0x3A0, "P"},  {0x3A1, "R"},  {0x3A3, "S"},
        {0x3A4, "T"}, {0x3A5, "U"}, {0x3A6, "PH"}, {0x3A7, "KH"}, {0x3A8, "PS"}, {0x3A9, "O"},
    };
    ASSERT_EQ(GreekTable.size(), 24u);
    int letters = 0;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
        SCOPED_TRACE(::testing::Message() << "A6" << std::hex << trail);
        const std::optional<char32_t> cp = GbkPairCodePoint(0xA6, static_cast<unsigned char>(trail));
        std::string expected = "?";
        if (cp && *cp >= 0x391 && *cp <= 0x3A9)
            expected = latin.at(*cp);
        else if (cp && *cp >= 0x3B1 && *cp <= 0x3C9 && *cp != 0x3C2)
            expected = latin.at(*cp - 0x20);
        letters += expected != "?";
        EXPECT_EQ(GetPinyin(Pair(0xA6, trail), pyMarkMissing, 100), expected);
    }
    EXPECT_EQ(letters, 48);
}

TEST(FullWidthRow, GivesTheAsciiOfCodePage936)
{
    int others = 0;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
        SCOPED_TRACE(::testing::Message() << "A3" << std::hex << trail);
        const std::optional<char32_t> cp = GbkPairCodePoint(0xA3, static_cast<unsigned char>(trail));
        ASSERT_TRUE(cp.has_value());
        char ascii = 0;
        if (*cp >= 0xFF01 && *cp <= 0xFF5E) {
            ascii = static_cast<char>(*cp - 0xFEE0);
        } else {
            // The yen and macron signs stand where ASCII has $ and ~.
            ++others;
            ascii = *cp == 0xFFE5 ? '$' : *cp == 0xFFE3 ? '~' : '\0';
        }
        const bool alnum = (ascii >= '0' && ascii <= '9') || (ascii >= 'A' && ascii <= 'Z') ||
                           (ascii >= 'a' && ascii <= 'z');
        EXPECT_EQ(GetPinyin(Pair(0xA3, trail), pyKeepOthers, 100), std::string(1, ascii));
        EXPECT_EQ(GetPinyin(Pair(0xA3, trail), pyMarkMissing, 100), alnum ? std::string(1, ascii) : "");
    }
    EXPECT_EQ(others, 2);
}

} // namespace
