#include "Gbk.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace {
class Converter {
public:
  Converter(const char* To, const char* From) : FHandle(iconv_open(To, From)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(FHandle); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts In; an input sequence that cannot be converted is skipped, SkipBytes(p) telling
  // how long it is.
  template <typename Skip>
  std::string Run(std::string_view In, Skip SkipBytes) {
    std::string Out;
    char Buffer[256];
    char* InPtr = const_cast<char*>(In.data());
    std::size_t InLeft = In.size();
    while (InLeft > 0) {
      char* OutPtr = Buffer;
      std::size_t OutLeft = sizeof Buffer;
      const std::size_t R = iconv(FHandle, &InPtr, &InLeft, &OutPtr, &OutLeft);
      Out.append(Buffer, static_cast<std::size_t>(OutPtr - Buffer));
      if (R == static_cast<std::size_t>(-1) && errno != E2BIG) {
        const std::size_t N = std::min(InLeft, SkipBytes(static_cast<unsigned char>(*InPtr)));
        InPtr += N;
        InLeft -= N;
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return Out;
  }

private:
  iconv_t FHandle;
};

std::size_t Utf8SequenceLength(unsigned char Lead) {
  if (Lead >= 0xF0 && Lead <= 0xF7) return 4;
  if (Lead >= 0xE0) return Lead <= 0xEF ? 3 : 1;
  if (Lead >= 0xC2) return 2;
  return 1;
}
}  // namespace

std::string Utf8ToGbk(std::string_view Utf8) {
  Converter C("CP936", "UTF-8");
  return C.Run(Utf8, Utf8SequenceLength);
}

std::string GbkToUtf8(std::string_view Gbk) {
  Converter C("UTF-8", "CP936");
  return C.Run(Gbk, [](unsigned char Lead) -> std::size_t { return Lead >= 0x81 ? 2 : 1; });
}
