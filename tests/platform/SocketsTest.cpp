#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/Sockets.h"

namespace {

TEST(Sockets, OperatingSystemErrorsMapToTheSocketLayerCodes) {
  const struct {
    int os;
    int32_t code;
  } cases[] = {{EINTR, 10004},
               {EACCES, 10013},
               {EINVAL, 10022},
               {EAGAIN, 10035},
               {EMSGSIZE, 10040},
               {EADDRINUSE, 10048},
               {EADDRNOTAVAIL, 10049},
               {ENETUNREACH, 10051},
               {ECONNREFUSED, 10061},
               {EHOSTUNREACH, 10065},
               {EREMOTE, 10071},
               {0, 0},
               {ENOENT, 0}};
  for (const auto& c : cases) EXPECT_EQ(SocketErrorCode(c.os), c.code) << c.os;
}

TEST(Sockets, DottedAddressesParseStrictly) {
  const uint8_t loop[4] = {127, 0, 0, 1};
  uint32_t expected;
  std::memcpy(&expected, loop, 4);
  EXPECT_EQ(ParseDottedAddress("127.0.0.1"), expected);
  const uint8_t high[4] = {10, 255, 0, 200};
  std::memcpy(&expected, high, 4);
  EXPECT_EQ(ParseDottedAddress("10.255.0.200"), expected);
  for (const char* bad : {"", "127.0.0", "127.0.0.1.", "256.0.0.1", "1.2.3.4x", "a.b.c.d", "1..2.3",
                          "0001.2.3.4", " 1.2.3.4", "255.255.255.255"})
    EXPECT_EQ(ParseDottedAddress(bad), kNoAddress) << bad;
}

TEST(Sockets, TakenPortCannotBeBoundTwice) {
  const int32_t a = SocketOpenUDP();
  const int32_t b = SocketOpenUDP();
  ASSERT_NE(a, kNoSocket);
  ASSERT_NE(b, kNoSocket);
  ASSERT_TRUE(SocketBindAny(a, 0));
  const uint16_t port = SocketLocalPort(a);
  ASSERT_NE(port, 0);
  EXPECT_FALSE(SocketBindAny(b, port));
  EXPECT_EQ(SocketLastError(), 10048);
  SocketClose(a);
  SocketClose(b);
}

}  // namespace
