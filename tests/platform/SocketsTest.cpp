#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

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
  ASSERT_TRUE(SocketBindLoopback(a, 0));
  const uint16_t port = SocketLocalPort(a);
  ASSERT_NE(port, 0);
  EXPECT_FALSE(SocketBindLoopback(b, port));
  EXPECT_EQ(SocketLastError(), 10048);
  SocketClose(a);
  SocketClose(b);
}

// The IPv4 addresses of this machine's interfaces that are up, other than loopback.
std::vector<uint32_t> OwnOtherAddresses() {
  std::vector<uint32_t> found;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return found;
  for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) continue;
    found.push_back(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
  }
  ::freeifaddrs(list);
  return found;
}

bool DatagramArrives(int32_t sock, int waitMs) {
  pollfd p{sock, POLLIN, 0};
  return ::poll(&p, 1, waitMs) == 1 && (p.revents & POLLIN) != 0;
}

// The viewer runs on this machine, so the port is bound to the loopback
// address: a datagram sent to another address of the machine (as one from
// the network would come) is not received, while a socket bound to every
// address takes the same datagram. Only this machine's own addresses are
// sent to.
TEST(Sockets, BoundPortTakesOnlyDatagramsSentToLoopback) {
  const int32_t port = SocketOpenUDP();
  const int32_t sender = SocketOpenUDP();
  ASSERT_NE(port, kNoSocket);
  ASSERT_NE(sender, kNoSocket);
  ASSERT_TRUE(SocketBindLoopback(port, 0));
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  ASSERT_EQ(::getsockname(port, reinterpret_cast<sockaddr*>(&bound), &len), 0);
  EXPECT_EQ(bound.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
  const uint16_t number = SocketLocalPort(port);
  char byte = 'x';
  uint32_t from = 0;
  uint16_t fromPort = 0;
  int32_t size = 0;
  ASSERT_EQ(SocketSendTo(sender, htonl(INADDR_LOOPBACK), number, &byte, 1), 1);
  ASSERT_TRUE(DatagramArrives(port, 2000));
  ASSERT_EQ(SocketReceive(port, &byte, 1, size, from, fromPort), TReceiveResult::Received);

  // A port of every address, as the link had: it shows the datagram would arrive.
  const int32_t open = SocketOpenUDP();
  ASSERT_NE(open, kNoSocket);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_ANY);
  ASSERT_EQ(::bind(open, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
  const uint16_t openNumber = SocketLocalPort(open);
  const std::vector<uint32_t> others = OwnOtherAddresses();
  if (others.empty()) std::puts("no address but loopback: only the bound address is checked");
  for (const uint32_t addr : others) {
    char text[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &addr, text, sizeof text);
    SCOPED_TRACE(text);
    ASSERT_EQ(SocketSendTo(sender, addr, number, &byte, 1), 1);
    ASSERT_EQ(SocketSendTo(sender, addr, openNumber, &byte, 1), 1);
    ASSERT_TRUE(DatagramArrives(open, 2000));
    ASSERT_EQ(SocketReceive(open, &byte, 1, size, from, fromPort), TReceiveResult::Received);
    EXPECT_FALSE(DatagramArrives(port, 100));
  }
  SocketClose(open);
  SocketClose(sender);
  SocketClose(port);
}

}  // namespace
