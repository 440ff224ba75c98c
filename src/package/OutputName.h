#pragma once
// The update package's file name: the picked file's name in pinyin letters, the capacity's
// suffix and ".supk".
#include <string>
#include <string_view>

// First stage, as soon as a file is picked: the file name (UTF-8, no directory) in GBK, through
// GetPinyin(name, 5, 100), with every space removed. Also every '/' (a full-width solidus gives
// one) and control byte: they would move the package out of the program directory or put
// unprintable bytes into its name. The result is GBK.
std::string OutputNameBase(std::string_view PickedFileName);

// Second stage, once the capacity is known: the extension cut off (the last of '.', '\' and ':'
// decides), then "_" + label + ".supk"; converted to UTF-8 for the file system.
std::string OutputName(std::string_view NameBase, std::string_view CapacityLabel);
