// Test-only bridge to glibc's iconv, an independent reading of code page 936.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-8 text in code page 936; throws std::runtime_error when a character has no GBK code.
std::string Gbk(std::string_view utf8);

// The code point of the double-byte pair (lead, trail) in code page 936, if it is a character.
std::optional<char32_t> GbkPairCodePoint(unsigned char lead, unsigned char trail);

// The two bytes of a pair, as GetPinyin reads them.
std::string Pair(unsigned lead, unsigned trail);
