#pragma once
// Conversion between the file system's UTF-8 and GBK (code page 936), the encoding that the
// transliteration reads.
#include <string>
#include <string_view>

// A character that GBK cannot hold is dropped, as are malformed UTF-8 bytes.
std::string Utf8ToGbk(std::string_view Utf8);
// A byte sequence that is not GBK is dropped.
std::string GbkToUtf8(std::string_view Gbk);
