#include "OutputName.h"

#include "Gbk.h"
#include "IMCode.h"

std::string OutputNameBase(std::string_view PickedFileName) {
  const std::string Pinyin = GetPinyin(Utf8ToGbk(PickedFileName), pyFullSyllable | pyKeepOthers, 100);
  std::string Name;
  for (const char C : Pinyin)
    if (C != ' ' && C != '/' && static_cast<unsigned char>(C) >= 0x20) Name += C;
  return Name;
}

std::string OutputName(std::string_view NameBase, std::string_view CapacityLabel) {
  const std::size_t Last = NameBase.find_last_of(".\\:");
  const std::string_view Stem =
      (Last != std::string_view::npos && NameBase[Last] == '.') ? NameBase.substr(0, Last) : NameBase;
  return GbkToUtf8(std::string(Stem) + "_" + std::string(CapacityLabel) + ".supk");
}
