#include "GbkText.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter Open(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    return Converter(cd);
}

// Converts all of in, or returns nothing when a sequence does not convert.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in)
{
    Converter cd = Open(to, from);
    std::string out(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::string Gbk(std::string_view utf8)
{
    std::optional<std::string> gbk = Convert("CP936", "UTF-8", utf8);
    if (!gbk)
        throw std::runtime_error("no GBK code for \"" + std::string(utf8) + "\"");
    return *gbk;
}

std::optional<char32_t> GbkPairCodePoint(unsigned char lead, unsigned char trail)
{
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    std::optional<std::string> utf32 = Convert("UTF-32LE", "CP936", std::string_view(pair, 2));
    if (!utf32 || utf32->size() != 4)
        return std::nullopt;
    char32_t cp = 0;
    for (int i = 3; i >= 0; --i)
        cp = (cp << 8) | static_cast<unsigned char>((*utf32)[static_cast<std::size_t>(i)]);
    return cp;
}

std::string Pair(unsigned lead, unsigned trail)
{
    return {static_cast<char>(lead), static_cast<char>(trail)};
}
