#include "GbkText.h"
#include "IMCode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t Int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

// The options and length the update package's name is made with.
constexpr std::int32_t NameOptions = pyFullSyllable | pyKeepOthers;
constexpr std::int32_t NameLength = 100;

struct Case {
    std::string name;
    std::string text; // GBK bytes
    std::int32_t options;
    std::int32_t maxLength;
    std::string expected;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// Text written in UTF-8 here and handed over in GBK.
Case Chinese(std::string name, std::string_view utf8, std::int32_t options, std::int32_t maxLength,
             std::string expected)
{
    return {std::move(name), Gbk(utf8), options, maxLength, std::move(expected)};
}

Case Bytes(std::string name, std::string bytes, std::int32_t options, std::int32_t maxLength,
           std::string expected)
{
    return {std::move(name), std::move(bytes), options, maxLength, std::move(expected)};
}

std::vector<Case> Cases()
{
    using namespace std::string_literals;
    const std::string lowercase150 = [] {
        std::string s;
        for (int i = 0; i < 150; ++i)
            s.push_back(static_cast<char>('a' + i % 26));
        return s;
    }();
    std::string uppercase100 = lowercase150.substr(0, 100);
    for (char& c : uppercase100)
        c = static_cast<char>(c - 'a' + 'A');

    return {
        // File names as the update package's name is made from them.
        Chinese("NameAscii", "my pic.jpg", NameOptions, NameLength, "MY PIC.JPG"),
        Chinese("NameSample", "猛虎.jpg", NameOptions, NameLength, "MENGHU.JPG"),
        Chinese("NameWithSpaceAndDigit", "张三 2.bmp", NameOptions, NameLength, "ZHANGSAN 2.BMP"),
        Chinese("NameFirstReadingOfChang", "长城.jpg", NameOptions, NameLength, "ZHANGCHENG.JPG"),
        Chinese("NameFullWidthCapitals", "ＬＯＧＯ１.jpg", NameOptions, NameLength, "LOGO1.JPG"),
        Chinese("NameFullWidthSmallStaySmall", "ｌｏｇｏ.jpg", NameOptions, NameLength, "logo.JPG"),
        Chinese("NameNumberAndGreek", "①号α.bmp", NameOptions, NameLength, "1HAOA.BMP"),
        Chinese("NameCharacterWithoutReading", "佛.jpg", NameOptions, NameLength, ".JPG"),
        Chinese("NameFullWidthSpace", "　开机.jpg", NameOptions, NameLength, "KAIJI.JPG"),
        Chinese("NameLong", "手机开机画面(1).jpg", NameOptions, NameLength, "SHOUJIKAIJIHUAMIAN(1).JPG"),

        // First letters only; numbers and Greek letters stay whole.
        Chinese("InitialsDropOthers", "张三 2.bmp", 0, 100, "ZS2BMP"),
        Chinese("Initials", "中国人", 0, 100, "ZGR"),
        Chinese("InitialsKeepGreekWhole", "Θ", 0, 100, "TH"),
        Chinese("InitialsKeepNumberWhole", "Ⅻ", 0, 100, "12"),
        Chinese("FullSyllables", "中国人", pyFullSyllable, 100, "ZHONGGUOREN"),
        Chinese("FullSyllablesDropOthers", "手机开机画面(1).jpg", pyFullSyllable, 100, "SHOUJIKAIJIHUAMIAN1JPG"),

        // Characters without a conversion.
        Chinese("MarkMissing", "佛像", pyMarkMissing, 100, "?X"),
        Chinese("MarkMissingFull", "佛像", pyMarkMissing | pyFullSyllable, 100, "?XIANG"),
        Chinese("DropMissing", "佛像", 0, 100, "X"),
        Chinese("SymbolRowMarked", "　", pyMarkMissing, 100, "?"),
        Chinese("SymbolRowNotKept", "　", pyKeepOthers, 100, ""),
        Bytes("TrailByte7FMarked", "\xB0\x7F", pyMarkMissing, 100, "?"),
        Bytes("TrailByte7FIsOnePair", "\xB0\x7F" "A", pyFullSyllable | pyKeepOthers, 100, "A"),
        Bytes("LeadFFMarked", "\xFF\xA1", pyMarkMissing, 100, "?"),
        Bytes("LeadFFLowTrailMarked", "\xFF\x40", pyMarkMissing, 100, "?"),
        Bytes("LeadFFDropped", "\xFF\xA1", pyKeepOthers | pyFullSyllable, 100, ""),
        Bytes("TrailFFMarked", "\xB0\xFF", pyMarkMissing, 100, "?"),
        Bytes("TrailFFDropped", "\xB0\xFF", pyFullSyllable | pyKeepOthers, 100, ""),
        Bytes("UserDefinedMarked", "\xAA\xA1", pyMarkMissing, 100, "?"),
        Bytes("NoCharacterFE50Marked", "\xFE\x50", pyMarkMissing, 100, "?"),
        Bytes("CompatibilityIdeographMarked", "\xFE\x40", pyMarkMissing, 100, "?"),
        Bytes("AfterLevelOneMarked", "\xD7\xFA", pyMarkMissing, 100, "?"),

        // Full-width ASCII: the byte minus 0x80, never uppercased, never marked.
        Chinese("FullWidthLetterOnly", "ａ！", 0, 100, "a"),
        Chinese("FullWidthKeepOthers", "ａ！", pyKeepOthers, 100, "a!"),
        Chinese("FullWidthYenGivesDollar", "￥", pyKeepOthers, 100, "$"),
        Bytes("FullWidthOutOfRangeDropped", "\xA3\x80", pyMarkMissing, 100, ""),
        Bytes("FullWidthOutOfRangeWraps", "\xA3\x80", pyKeepOthers, 100, "\0"s),
        Bytes("FullWidthLowTrailWraps", "\xA3\x40", pyKeepOthers, 100, "\xC0"),
        Bytes("FullWidthTrailFF", "\xA3\xFF", pyKeepOthers, 100, "\x7F"),
        // A file name can hold full-width path separators: whoever builds a path from the
        // result has to deal with them.
        Chinese("FullWidthSolidusGivesSlash", "ａ／ｂ＼ｃ.jpg", NameOptions, NameLength, "a/b\\c.JPG"),

        // Greek row: letters, and the cells around them.
        Chinese("GreekCapitalOmega", "Ω", 0, 100, "O"),
        Chinese("GreekSmallPsi", "ψ", pyFullSyllable, 100, "PS"),
        Bytes("GreekBeforeCapitalsMarked", "\xA6\xA0", pyMarkMissing, 100, "?"),
        Bytes("GreekAfterCapitalsMarked", "\xA6\xB9", pyMarkMissing, 100, "?"),
        Bytes("GreekBeforeSmallMarked", "\xA6\xC0", pyMarkMissing, 100, "?"),
        Bytes("GreekAfterSmallMarked", "\xA6\xD9", pyMarkMissing, 100, "?"),
        Bytes("GreekVerticalFormMarked", "\xA6\xE0", pyMarkMissing, 100, "?"),
        Bytes("GreekVerticalFormDropped", "\xA6\xE0", pyKeepOthers | pyFullSyllable, 100, ""),
        Bytes("GreekTrailFFMarked", "\xA6\xFF", pyMarkMissing, 100, "?"),

        // Numbered symbols: cells without a character give nothing, even when marking.
        Bytes("NumeralEmptyAB", "\xA2\xAB", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyB0", "\xA2\xB0", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyE3", "\xA2\xE3", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyE4", "\xA2\xE4", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyEF", "\xA2\xEF", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyF0", "\xA2\xF0", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyFD", "\xA2\xFD", pyMarkMissing, 100, ""),
        Bytes("NumeralEmptyFE", "\xA2\xFE", pyMarkMissing | pyKeepOthers, 100, ""),
        Bytes("NumeralLowTrailMarked", "\xA2\xA0", pyMarkMissing, 100, "?"),
        Bytes("NumeralLowestTrailMarked", "\xA2\x40", pyMarkMissing, 100, "?"),
        Bytes("NumeralLowTrailDropped", "\xA2\xA0", 0, 100, ""),
        Bytes("NumeralTrailFFMarked", "\xA2\xFF", pyMarkMissing, 100, "?"),
        Chinese("NumeralsTwoDigits", "⒇Ⅹ", 0, 100, "2010"),

        // Where one character ends and the next begins.
        Bytes("LoneLeadAtEndDropped", "AB\xB0", pyFullSyllable, 100, "AB"),
        Bytes("LoneLeadAtEndKept", "AB\xB0", NameOptions, 100, "AB\xB0"),
        Bytes("LoneLeadBeforeDigit", "\xB0" "1", pyFullSyllable, 100, "1"),
        Bytes("LoneLeadBefore3FKept", "\xB0\x3F", NameOptions, 100, "\xB0?"),
        // B040 is 癅, liu.
        Bytes("TrailByte40StartsPair", "\xB0\x40", NameOptions, 100, "LIU"),
        Bytes("LoneLeadThenPair", "\xB0" "1\xB0\xA1", pyFullSyllable, 100, "1A"),
        Bytes("LoneLeadFFAtEndKept", "\xFF", pyKeepOthers, 100, "\xFF"),
        Bytes("LoneLeadNeverMarked", "\xFF", pyMarkMissing, 100, ""),
        Bytes("Byte80IsSingle", "\x80\xB0\xA1", pyFullSyllable | pyKeepOthers, 100, "\x80" "A"),
        Bytes("ZeroByteEndsNoPair", "\xB0\0\xB0\xA1"s, pyFullSyllable, 100, "A"),
        Bytes("ZeroByteKept", "A\0b"s, pyKeepOthers, 100, "A\0B"s),
        Bytes("ZeroByteDropped", "A\0b"s, 0, 100, "AB"),

        // Uppercasing is a-z only, by byte value, whatever the locale.
        Bytes("LetterBoundariesKept", "@AZ[`az{", pyKeepOthers, 100, "@AZ[`AZ{"),
        Bytes("DigitBoundariesDropped", "/09:", 0, 100, "09"),
        Bytes("HighSingleByteUnchanged", "\xE9.", pyKeepOthers, 100, "\xE9."),

        // Options: negative means nothing, bits above 2 mean nothing.
        Chinese("NegativeOptions", "中国", -1, 100, ""),
        Chinese("MostNegativeOptions", "中国", Int32Min, Int32Max, ""),
        Chinese("NegativeOptionsWithLowBitsClear", "中国", -8, 100, ""),
        Chinese("NegativeOptionsAllBits", "中国 1", Int32Min | 7, 100, ""),
        Chinese("HighBitsIgnored", "中国", 8, 100, "ZG"),
        Chinese("AllPositiveHighBitsIgnored", "中国 1", (Int32Max & ~7) | NameOptions, 100, "ZHONGGUO 1"),
        Chinese("HighBitsIgnoredMarking", "佛", 16 | pyMarkMissing, 100, "?"),

        // The cut applies to the result, after the whole text is converted.
        Chinese("CutInsideSyllable", "张三", NameOptions, 3, "ZHA"),
        Chinese("CutToZero", "张三", NameOptions, 0, ""),
        Chinese("CutNegative", "张三", NameOptions, -1, ""),
        Chinese("CutMostNegative", "张三", NameOptions, Int32Min, ""),
        Chinese("CutExact", "张三", NameOptions, 8, "ZHANGSAN"),
        Chinese("CutLonger", "张三", NameOptions, 9, "ZHANGSAN"),
        Chinese("CutLargest", "张三", NameOptions, Int32Max, "ZHANGSAN"),
        Chinese("CutCountsResultBytesNotText", "中国人", pyFullSyllable, 7, "ZHONGGU"),
        Bytes("CutLongText", lowercase150, 0, 100, uppercase100),
    };
}

class GetPinyinCase : public ::testing::TestWithParam<Case> {};

TEST_P(GetPinyinCase, GivesExpectedBytes)
{
    const Case& c = GetParam();
    EXPECT_EQ(GetPinyin(c.text, c.options, c.maxLength), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetPinyinCase, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(GetPinyin, EmptyTextGivesEmptyResultWhateverTheOptions)
{
    for (std::int32_t options : {Int32Min, -1, 0, 1, 2, 3, 4, 5, 6, 7, Int32Max})
        for (std::int32_t maxLength : {Int32Min, -1, 0, 1, 100, Int32Max})
            EXPECT_EQ(GetPinyin("", options, maxLength), "") << options << ' ' << maxLength;
}

// Reading past the text would show here under AddressSanitizer: the text is a heap copy
// with nothing after its last byte.
TEST(GetPinyin, ReadsNothingBeyondTheText)
{
    for (unsigned last = 0x81; last <= 0xFF; ++last) {
        const auto text = std::make_unique<char[]>(2);
        text[0] = 'x';
        text[1] = static_cast<char>(last);
        EXPECT_EQ(GetPinyin(std::string_view(text.get(), 2), NameOptions, 100), std::string("X") + text[1]);
    }
}

} // namespace
