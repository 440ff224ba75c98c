#include "Capacity.h"

#include <gtest/gtest.h>

namespace {
enum class TButton { Auto, Rb256, Rb160, Rb128, None };

const char* NameOf(TButton B) {
  switch (B) {
    case TButton::Auto: return "rbauto";
    case TButton::Rb256: return "RB256";
    case TButton::Rb160: return "rb160";
    case TButton::Rb128: return "rb128";
    default: return "none";
  }
}

TCapacityChoice Choose(TButton B, std::int64_t L) {
  // rb128 is never read: checking it is the same as checking none of the other three.
  return ChooseCapacity(B == TButton::Auto, B == TButton::Rb256, B == TButton::Rb160, L);
}

struct TChoiceCase {
  TButton Button;
  std::int64_t L;
  bool Accepted;
  const char* Label;  // the capacity taken, or the one whose limit the refusal names
  std::int64_t Limit;
};

class CapacityChoice : public testing::TestWithParam<TChoiceCase> {};

TEST_P(CapacityChoice, FollowsTheTable) {
  const TChoiceCase& C = GetParam();
  const TCapacityChoice R = Choose(C.Button, C.L);
  EXPECT_EQ(R.Accepted, C.Accepted);
  EXPECT_EQ(R.Capacity.Label, C.Label);
  EXPECT_EQ(R.Capacity.PayloadLimit, C.Limit);
  // An accepted frame always leaves at least one 0xFF byte in its slot.
  if (R.Accepted) {
    EXPECT_LT(C.L, R.Capacity.PayloadLimit);
  }
}

constexpr std::int64_t k128 = 131064, k160 = 163831, k256 = 262136;

std::vector<TChoiceCase> Cases() {
  std::vector<TChoiceCase> R;
  const std::int64_t Ls[] = {1,        12000,    k128 - 1, k128,     k128 + 1, 150000,   k160 - 1, k160,
                             k160 + 1, 200000,   k256 - 1, k256,     k256 + 1, 300000,   std::int64_t{1} << 33};
  for (const TButton B : {TButton::Auto, TButton::Rb256, TButton::Rb160, TButton::Rb128, TButton::None})
    for (const std::int64_t L : Ls) {
      const bool Wide = B == TButton::Auto || B == TButton::Rb256;
      const std::int64_t Largest = Wide ? k256 : B == TButton::Rb160 ? k160 : k128;
      TChoiceCase C{B, L, true, "128K", k128};
      if (L < k128) {
      } else if (L < k160 && Largest >= k160) {
        C.Label = "160K", C.Limit = k160;
      } else if (L < k256 && Largest >= k256) {
        C.Label = "256K", C.Limit = k256;
      } else {
        C.Accepted = false;
        C.Label = Largest == k256 ? "256K" : Largest == k160 ? "160K" : "128K";
        C.Limit = Largest;
      }
      R.push_back(C);
    }
  return R;
}

INSTANTIATE_TEST_SUITE_P(EveryButtonAndSize, CapacityChoice, testing::ValuesIn(Cases()), [](const auto& Info) {
  return std::string(NameOf(Info.param.Button)) + "_" + std::to_string(Info.param.L);
});

// The documented rows, written out, so that the generated table cannot drift from them.
TEST(CapacityChoice, TheDocumentedExamples) {
  EXPECT_EQ(Choose(TButton::Auto, 12000).Capacity.Label, "128K");
  EXPECT_EQ(Choose(TButton::Rb256, 12000).Capacity.Label, "128K");  // not 256K
  EXPECT_EQ(Choose(TButton::Auto, 131065).Capacity.Label, "160K");
  EXPECT_EQ(Choose(TButton::Auto, 163832).Capacity.Label, "256K");
  EXPECT_EQ(Choose(TButton::Rb160, 150000).Capacity.Label, "160K");
  // A frame of exactly a limit moves on where the button allows it.
  EXPECT_EQ(Choose(TButton::Auto, 131064).Capacity.Label, "160K");
  EXPECT_EQ(Choose(TButton::Rb256, 163831).Capacity.Label, "256K");
  EXPECT_EQ(Choose(TButton::Rb160, 131064).Capacity.Label, "160K");
  EXPECT_FALSE(Choose(TButton::Rb160, 163831).Accepted);
  EXPECT_FALSE(Choose(TButton::Rb128, 131064).Accepted);
  EXPECT_FALSE(Choose(TButton::Auto, 262136).Accepted);
}

struct TMessageCase {
  TButton Button;
  std::int64_t L;
  const char* Message;
};

class RefusalMessage : public testing::TestWithParam<TMessageCase> {};

TEST_P(RefusalMessage, NamesTheLimitAndTheSize) {
  const TCapacityChoice R = Choose(GetParam().Button, GetParam().L);
  ASSERT_FALSE(R.Accepted);
  EXPECT_EQ(TooLargeMessage(R.Capacity.PayloadLimit, GetParam().L), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalMessage,
    testing::Values(TMessageCase{TButton::Rb128, 140000, "文件太大了，压缩后需要小于131064\r现尺寸为140000"},
                    TMessageCase{TButton::Rb160, 200000, "文件太大了，压缩后需要小于163831\r现尺寸为200000"},
                    TMessageCase{TButton::Auto, 300000, "文件太大了，压缩后需要小于262136\r现尺寸为300000"},
                    TMessageCase{TButton::Auto, 262136, "文件太大了，压缩后需要小于262136\r现尺寸为262136"},
                    TMessageCase{TButton::Rb256, std::int64_t{1} << 33,
                                 "文件太大了，压缩后需要小于262136\r现尺寸为8589934592"}));
}  // namespace
