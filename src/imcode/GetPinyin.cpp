#include "IMCode.h"

namespace {

// Bytes, not the C library's character classes: the result must not depend on the locale.
constexpr bool IsAsciiAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

void AppendUpper(std::string& out, std::string_view piece)
{
    for (char c : piece)
        out.push_back(AsciiUpper(c));
}

constexpr unsigned char NumeralLead = 0xA2;
constexpr unsigned char FullWidthLead = 0xA3;
constexpr unsigned char GreekLead = 0xA6;

// Greek capitals and small letters in row 0xA6.
constexpr unsigned GreekCapitalFirst = 0xA1;
constexpr unsigned GreekSmallFirst = 0xC1;

// Appends the conversion of the double-byte pair (b1, b2); false when the pair has none.
bool AppendPair(std::string& out, unsigned b1, unsigned b2, std::int32_t options)
{
    switch (b1) {
    case NumeralLead:
        if (b2 < 0xA1 || b2 > 0xFE)
            return false;
        // Empty cells give nothing, not even a mark: they are not characters with a number.
        out.append(NumeralTable[b2 - 0xA1]);
        return true;
    case FullWidthLead: {
        const auto c = static_cast<unsigned char>(b2 - 0x80);
        if ((options & pyKeepOthers) != 0 || IsAsciiAlnum(c))
            out.push_back(static_cast<char>(c));
        return true;
    }
    case GreekLead:
        if (b2 >= GreekCapitalFirst && b2 < GreekCapitalFirst + GreekTable.size())
            AppendUpper(out, GreekTable[b2 - GreekCapitalFirst]);
        else if (b2 >= GreekSmallFirst && b2 < GreekSmallFirst + GreekTable.size())
            AppendUpper(out, GreekTable[b2 - GreekSmallFirst]);
        else
            return false;
        return true;
    default:
        break;
    }
    // Lead 0xFF and trail 0xFF have no row or column in the index.
    if (b1 >= PinyinIndexFirstLead + PinyinIndexRows || b2 >= PinyinIndexFirstTrail + PinyinIndexColumns)
        return false;
    const std::uint16_t cell =
        PinyinIndex[(b1 - PinyinIndexFirstLead) * PinyinIndexColumns + (b2 - PinyinIndexFirstTrail)];
    if (cell == 0)
        return false;
    const std::string_view syllable = PinyinSyllables[cell];
    AppendUpper(out, (options & pyFullSyllable) != 0 ? syllable : syllable.substr(0, 1));
    return true;
}

} // namespace

std::string GetPinyin(std::string_view Text, std::int32_t Options, std::int32_t MaxLength)
{
    std::string result;
    // Cutting to MaxLength can only leave nothing here, so the text need not be read.
    if (Options < 0 || MaxLength <= 0)
        return result;

    // A pair gives at most 6 bytes and a single byte 1, so one allocation is enough.
    constexpr std::size_t MaxGrowth = 3;
    if (Text.size() <= result.max_size() / MaxGrowth)
        result.reserve(Text.size() * MaxGrowth);

    const std::size_t size = Text.size();
    std::size_t p = 0;
    while (p < size) {
        const auto b1 = static_cast<unsigned char>(Text[p]);
        // Past the end stands the terminating zero of the text, which ends no pair.
        const auto b2 = p + 1 < size ? static_cast<unsigned char>(Text[p + 1]) : 0u;
        if (b1 < 0x81 || b2 < 0x40) {
            if ((Options & pyKeepOthers) != 0 || IsAsciiAlnum(b1))
                result.push_back(AsciiUpper(static_cast<char>(b1)));
            p += 1;
            continue;
        }
        if (!AppendPair(result, b1, b2, Options) && (Options & pyMarkMissing) != 0)
            result.push_back('?');
        p += 2;
    }

    // The whole text is converted first: the cut is on the result, never on the text.
    if (result.size() > static_cast<std::size_t>(MaxLength))
        result.resize(static_cast<std::size_t>(MaxLength));
    return result;
}
