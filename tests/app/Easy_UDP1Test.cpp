#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/Easy_UDP1.h"
#include "app/MainUnit.h"
#include "app/UDPCommands.h"
#include "platform/Sockets.h"

namespace {

struct TReceived {
  std::string host;
  u16 port;
  std::string data;
};

std::vector<TReceived> g_received;
std::vector<std::string> g_errors;

void Collect(const std::string& Host, u16 Port, const void* Data, i32 Size) {
  g_received.push_back({Host, Port, std::string(static_cast<const char*>(Data), Size)});
}
void CollectError(const std::string& Msg) { g_errors.push_back(Msg); }

// Reads until Count datagrams have arrived, waiting a bounded time: on a
// loaded machine the kernel may hand later datagrams over a little after the
// first.
void ReceiveUntil(EUDPSocket& s, size_t Count) {
  for (int i = 0; i < 2000; ++i) {
    s.ReceiveWaiting();
    if (g_received.size() >= Count) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

class EUDPSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    g_errors.clear();
    for (EUDPSocket* s : {&receiver, &sender}) {
      s->OnReceive = Collect;
      s->OnError = CollectError;
      s->Start(0);
      ASSERT_TRUE(s->Bound);
    }
    port = receiver.LocalPort();
    ASSERT_NE(port, 0);
  }
  EUDPSocket receiver;
  EUDPSocket sender;
  u16 port = 0;
};

TEST_F(EUDPSocketTest, DatagramsOverLoopbackReachOnReceiveWithTheSender) {
  EXPECT_EQ(receiver.MaxPacket, 8192);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, "0", 1), 1);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, "1,2,3", 5), 5);
  ReceiveUntil(receiver, 2);
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].host, "127.0.0.1");
  EXPECT_EQ(g_received[0].port, sender.LocalPort());
  EXPECT_EQ(g_received[0].data, "0");
  EXPECT_EQ(g_received[1].data, "1,2,3");
  // Nothing waits any more: a further poll reads nothing and reports nothing.
  receiver.ReceiveWaiting();
  EXPECT_EQ(g_received.size(), 2u);
  EXPECT_TRUE(g_errors.empty());
}

TEST_F(EUDPSocketTest, OversizeDatagramIsReportedAndDroppedAndTheNextStillArrives) {
  // The sender's own limit is the same 8192 bytes, so the oversize datagram
  // comes from a plain socket.
  const int32_t raw = SocketOpenUDP();
  ASSERT_NE(raw, kNoSocket);
  const std::string big(9000, '1');
  const std::string full(8192, '2');
  ASSERT_EQ(SocketSendTo(raw, ResolveHost("127.0.0.1"), port, big.data(), 9000), 9000);
  ASSERT_EQ(SocketSendTo(raw, ResolveHost("127.0.0.1"), port, full.data(), 8192), 8192);
  ASSERT_EQ(SocketSendTo(raw, ResolveHost("127.0.0.1"), port, "0", 1), 1);
  SocketClose(raw);
  ReceiveUntil(receiver, 2);
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0], "OnReceive: Message too long");
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].data, full);
  EXPECT_EQ(g_received[1].data, "0");
}

TEST_F(EUDPSocketTest, SendDataChecksInOrder) {
  std::vector<char> data(8193, 'x');
  EXPECT_EQ(sender.SendData("", port, data.data(), 1), 0);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, data.data(), 8193), 0);
  EXPECT_EQ(sender.SendData("255.255.255.255", port, data.data(), 1), 0);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, data.data(), -1), 0);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, nullptr, 4), 0);
  EXPECT_EQ(sender.SendData("127.0.0.1", port, data.data(), 8192), 8192);
  const std::vector<std::string> expected = {
      "SendData: No Host Specified.", "SendData: Packet Too Big (8192 Bytes Max).",
      "SendData: Host Not Found.", "SendData: Bad address", "SendData: Bad address"};
  EXPECT_EQ(g_errors, expected);
  ReceiveUntil(receiver, 1);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].data.size(), 8192u);
}

TEST_F(EUDPSocketTest, TakenPortIsReportedAndLeavesTheSocketUnbound) {
  EUDPSocket second;
  second.OnError = CollectError;
  second.OnReceive = Collect;
  second.Start(port);
  EXPECT_FALSE(second.Bound);
  EXPECT_EQ(second.LocalPort(), 0);
  EXPECT_EQ(second.SendData("127.0.0.1", port, "0", 1), 0);
  second.ReceiveWaiting();
  const std::vector<std::string> expected = {"Start: Cannot Bind Socket.",
                                             "SendData: Socket Not Bound."};
  EXPECT_EQ(g_errors, expected);
  EXPECT_TRUE(g_received.empty());
}

TEST(EasyUDP, CreateUDPSocketListensOnTheListenPortWithTheProgramsCallbacks) {
  // A free port for the test: bind one, note it, let it go.
  const int32_t probe = SocketOpenUDP();
  ASSERT_TRUE(SocketBindLoopback(probe, 0));
  const u16 free = SocketLocalPort(probe);
  SocketClose(probe);
  const i32 saved = UDPListenPort;
  UDPListenPort = free;
  CreateUDPSocket();
  ASSERT_TRUE(UDPSocket);
  EXPECT_TRUE(UDPSocket->Bound);
  EXPECT_EQ(UDPSocket->LocalPort(), free);
  EXPECT_EQ(UDPSocket->OnReceive, &ReceiveUDPCommand);
  EXPECT_EQ(UDPSocket->OnError, &IgnoreUDPError);

  // Start-up again while the port is held elsewhere: no raise, no socket.
  const int32_t holder = SocketOpenUDP();
  UDPSocket.reset();
  ASSERT_TRUE(SocketBindLoopback(holder, free));
  EXPECT_NO_THROW(CreateUDPSocket());
  ASSERT_TRUE(UDPSocket);
  EXPECT_FALSE(UDPSocket->Bound);
  SocketClose(holder);
  UDPSocket.reset();
  UDPListenPort = saved;
}

TEST(EasyUDP, TextsAndAddresses) {
  const struct {
    i32 code;
    const char* text;
  } cases[] = {{10004, "Interrupted system call"},
               {10040, "Message too long"},
               {10047, "Address family not supported by protocol family"},
               {10048, "Address already in use"},
               {10071, "Too many levels of remote in path"},
               {10091, "Network sub-system is unusable"},
               {10093, "WinSock not initialized"},
               {11004, "No Data"},
               {0, "Not a WinSock error."},
               {10005, "Not a WinSock error."},
               {-1, "Not a WinSock error."}};
  for (const auto& c : cases) EXPECT_EQ(WinSockErrorText(c.code), c.text) << c.code;

  EXPECT_EQ(IPToText(ResolveHost("127.0.0.1")), "127.0.0.1");
  EXPECT_EQ(IPToText(ResolveHost("192.168.10.254")), "192.168.10.254");
  EXPECT_EQ(IPToText(0), "0.0.0.0");
  EXPECT_EQ(ResolveHost("255.255.255.255"), 0xFFFFFFFFu);
}

TEST(EasyUDP, DefaultCallbacksWriteToStandardError) {
  testing::internal::CaptureStderr();
  DefaultOnError("Start: Cannot Bind Socket.");
  DefaultOnReceive("127.0.0.1", 2504, "abc", 3);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "Easy_UDP: Error:\nStart: Cannot Bind Socket.\n"
            "Easy_UDP: Data Received\nOnReiceive not Assigned\nHost: 127.0.0.1\nPort: 2504\n"
            "Size: 3\n");
}

}  // namespace
