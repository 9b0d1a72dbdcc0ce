#include "data/resource_container.h"

#include <gtest/gtest.h>

#include "data/embedded_resources.h"

namespace velmor {
namespace {

using Inflater = std::optional<ResourceBuffer> (*)(std::string_view);

class Container : public ::testing::TestWithParam<Inflater> {};

TEST_P(Container, RoundTripAndSizePrefix) {
  std::string content(100000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7) % 251);
  std::string packed = PackResource(content);
  EXPECT_EQ(static_cast<unsigned char>(packed[4]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(packed[5]), 0xDA);
  EXPECT_EQ(static_cast<unsigned char>(packed[0]) | static_cast<unsigned char>(packed[1]) << 8 |
                static_cast<unsigned char>(packed[2]) << 16,
            100000);
  auto out = GetParam()(packed);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->View(), content);

  auto empty = GetParam()(PackResource(""));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size, 0u);
}

TEST_P(Container, BrokenContainersFail) {
  const std::string packed = PackResource(std::string(5000, 'x') + "tail");
  Inflater inflate = GetParam();
  EXPECT_FALSE(inflate(""));
  EXPECT_FALSE(inflate(packed.substr(0, 3)));
  EXPECT_FALSE(inflate(packed.substr(0, packed.size() - 3))) << "truncated stream";

  std::string damaged = packed;
  damaged[10] = static_cast<char>(damaged[10] ^ 0x55);
  EXPECT_FALSE(inflate(damaged));

  std::string claimsMore = packed;
  claimsMore[0] = static_cast<char>(claimsMore[0] + 1);
  EXPECT_FALSE(inflate(claimsMore)) << "inflates to fewer bytes than its prefix";

  std::string claimsLess = packed;
  claimsLess[0] = static_cast<char>(claimsLess[0] - 1);
  EXPECT_FALSE(inflate(claimsLess)) << "inflates to more bytes than its prefix";

  EXPECT_FALSE(inflate(packed + "junk")) << "stream must end at the end of the resource";

  std::string huge = packed;
  huge[3] = '\x7F';
  EXPECT_FALSE(inflate(huge));
}

std::string InflaterName(const ::testing::TestParamInfo<Inflater>& info) {
  static const char* const kNames[] = {"Zlib", "Libdeflate", "Chosen"};
  return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(Inflaters, Container,
                         ::testing::Values(&InflateResourceZlib, &InflateResourceLibdeflate,
                                           &InflateResource),
                         InflaterName);

TEST(EmbeddedResources, LookupIgnoresCase) {
  auto a = FindEmbeddedResource("SList", "me");
  auto b = FindEmbeddedResource("SLIST", "ME");
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_EQ(a->data(), b->data());
  EXPECT_FALSE(FindEmbeddedResource("SList", "RCDATA"));
  EXPECT_FALSE(FindEmbeddedResource("Nothing", "ME"));
  auto text = InflateResource(*FindEmbeddedResource("STrain", "me"));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->View().substr(0, 24), R"("@@FILE VERSION@@","251")");
}

}  // namespace
}  // namespace velmor
