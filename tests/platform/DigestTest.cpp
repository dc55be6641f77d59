#include "platform/Digest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DigestTest, Md5GivesTheVectorsOfRfc1321) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(Md5Hex(c.text), c.digest) << '"' << c.text << '"';
}

TEST(DigestTest, TwoTextsDigestAsTheirJoinedBytes) {
  EXPECT_EQ(Md5Hex("ab", "c"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("", "abc"), Md5Hex("abc"));
  // Bytes beyond 127 and a zero byte count as they are.
  const std::string bytes("\xff\x00z", 3);
  EXPECT_EQ(Md5Hex(bytes.substr(0, 1), bytes.substr(1)), Md5Hex(bytes));
  EXPECT_NE(Md5Hex(bytes), Md5Hex("\xff"));
}

}  // namespace
