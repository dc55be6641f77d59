// Whole runs of the program with real datagrams over loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Datagrams.h"
#include "RunFolder.h"
#include "app/Easy_UDP1.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "app/UDPCommands.h"
#include "core/TypeDefs.h"
#include "platform/Sockets.h"

namespace {

const char* const kMarker = "this file contains nothing but this text!\r\n";

// Command "1" for slot 2 of team 10 with buttons, sticks, inputs 11..20, a
// sim-ahead of 2.5 s, the request (3, 7, 2) and user level 4.
std::vector<std::string> FullStep() {
  std::vector<std::string> f = {"1", "77", "45.5", "2", "10", "7"};
  for (int b = 1; b <= 20; ++b) f.push_back(b == 3 ? "1" : "0");
  for (int a = 1; a <= 6; ++a) f.push_back(std::to_string(100 * a));
  f.push_back("1");
  for (int w = 1; w <= 10; ++w) f.push_back(std::to_string(10 + w));
  for (const char* s : {"3", "7", "2", "2.5", "1", "4"}) f.push_back(s);
  return f;
}

// What the scripted frames saw of the control record.
struct TSeen {
  bool engineWasBound = false;
  i32 teamIdInsideSendingFrame = -1;
  bool32 pausedAfterStep = -1;
  i32 slotTeamId = 0, slotPlayer = 0, button3 = 0, input1 = 0, userLevel = 0;
  f32 stick6 = 0, simAheadSeconds = 0;
  bool32 simAhead = 0, present = 0;
  i32 request1[3] = {};
  bool32 pausedAfterPause = 0;
  i32 requestsAfterPause = 0;
  i32 input1AfterHostile = 0, requestsAfterHostile = 0, slotsWrittenAfterHostile = 0;
  i32 userLevelAfterHostile = 0;
  bool32 anyPresentAfterHostile = -1;
  int frames = 0;
  int waits = 0;
};

TSeen g_seen;
EUDPSocket* g_client = nullptr;
u16 g_enginePort = 0;

void WaitUntilEngineHasData() {
  for (int i = 0; i < 1000 && !SocketHasData(UDPSocket->SocketHandle); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void SendToEngine(const std::string& d) {
  g_client->SendData("127.0.0.1", g_enginePort, d.data(), static_cast<i32>(d.size()));
}

void Nothing(TWorld&) {}

// Frame step 1 of the scripted run: sends datagrams from inside one frame
// and looks in the next frame at what arrived between the two.
void Script(TWorld& W) {
  TSeen& s = g_seen;
  TUDPRealtime& R = UDPRealtime;
  switch (++s.frames) {
    case 1: {
      s.engineWasBound = UDPSocket && UDPSocket->Bound;
      // Port 2501 may be held by another program on this machine; the engine
      // then listens on a free port for the rest of this run.
      if (!s.engineWasBound) UDPSocket->Start(0);
      g_enginePort = UDPSocket->LocalPort();
      SendToEngine(Join(FullStep()));
      WaitUntilEngineHasData();
      s.teamIdInsideSendingFrame = R.Users[2].TeamId;
      break;
    }
    case 2:
      s.pausedAfterStep = R.Paused;
      s.slotTeamId = R.Users[2].TeamId;
      s.slotPlayer = R.Users[2].PlayerNum;
      s.present = R.Users[2].Present;
      s.button3 = R.Users[2].Buttons[3];
      s.stick6 = R.Users[2].Sticks[6];
      s.input1 = R.Input[1];
      s.simAhead = R.SimAhead;
      s.simAheadSeconds = R.SimAheadSeconds;
      s.userLevel = R.UserLevel;
      for (int w = 1; w <= 3; ++w) s.request1[w - 1] = R.Requests[1][w];
      SendToEngine("0");
      WaitUntilEngineHasData();
      break;
    case 3: {
      s.pausedAfterPause = R.Paused;
      s.requestsAfterPause = TakenRequests();
      SendToEngine("1,abc,3");
      SendToEngine("");
      auto sixty = FullStep();
      sixty[48] = "5";
      for (int k = 50; k <= 60; ++k) sixty.push_back("9");
      SendToEngine(Join(sixty));
      // Too long for the engine's 8192-byte datagrams: sent from a plain socket.
      const std::string big(9000, '1');
      const int32_t raw = SocketOpenUDP();
      SocketSendTo(raw, ResolveHost("127.0.0.1"), g_enginePort, big.data(), 9000);
      SocketClose(raw);
      auto slot9 = FullStep();
      slot9[3] = "9";
      slot9[33] = "42";
      slot9[43] = "0";
      slot9[48] = "3";
      SendToEngine(Join(slot9));
      WaitUntilEngineHasData();
      break;
    }
    case 4:
      // On a loaded machine the kernel may hand the later datagrams over a
      // little after the first: wait (bounded) for the last one, between
      // frames, before looking.
      if (R.UserLevel != 3 && s.waits < 2000) {
        ++s.waits;
        --s.frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        break;
      }
      s.input1AfterHostile = R.Input[1];
      s.userLevelAfterHostile = R.UserLevel;
      s.requestsAfterHostile = TakenRequests();
      s.slotsWrittenAfterHostile = 0;
      for (const TUDPUserSlot& u : R.Users) s.slotsWrittenAfterHostile += u.TeamId != 0;
      s.anyPresentAfterHostile = 0;
      for (const TUDPUserSlot& u : R.Users) s.anyPresentAfterHostile |= u.Present;
      W.MatchPhase = 3;
      break;
  }
}

class UDPLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameSteps();
    for (int i = 1; i <= kFrameStepCount; ++i) FrameSteps[i].Step = Nothing;
    g_seen = TSeen{};
  }
  void TearDown() override { ResetFrameSteps(); }
};

TEST_F(UDPLinkTest, DatagramsReachTheRunningEngineBetweenFramesAndTheRunEndsNormally) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  EUDPSocket client;
  client.OnError = IgnoreUDPError;
  client.Start(0);
  ASSERT_TRUE(client.Bound);
  g_client = &client;
  FrameSteps[1].Step = Script;

  EXPECT_EQ(RunProgram(), 0);
  g_client = nullptr;
  const TSeen& s = g_seen;
  EXPECT_EQ(s.frames, 4);
  if (s.engineWasBound) {
    EXPECT_EQ(g_enginePort, 2501);
  }
  // The datagram sent inside frame 1 was not read inside it.
  EXPECT_EQ(s.teamIdInsideSendingFrame, 0);
  // "1,...": the slot, the inputs, the sim-ahead values and the request.
  EXPECT_EQ(s.pausedAfterStep, 0);
  EXPECT_EQ(s.slotTeamId, 10);
  EXPECT_EQ(s.slotPlayer, 7);
  EXPECT_EQ(s.present, kTrue32);
  EXPECT_EQ(s.button3, kTrue32);
  EXPECT_EQ(s.stick6, static_cast<f32>(600 * 0.001));
  EXPECT_EQ(s.input1, 11);
  EXPECT_EQ(s.simAhead, kTrue32);
  EXPECT_FLOAT_EQ(s.simAheadSeconds, 2.5f);
  EXPECT_EQ(s.userLevel, 4);
  EXPECT_EQ(s.request1[0], 3);
  EXPECT_EQ(s.request1[1], 7);
  EXPECT_EQ(s.request1[2], 2);
  // "0" pauses; it reaches only field 1, so the request left in fields 44
  // to 46 is queued once more.
  EXPECT_EQ(s.pausedAfterPause, kTrue32);
  EXPECT_EQ(s.requestsAfterPause, 2);
  // Malformed, empty, 60-field, 9000-byte and slot-9 datagrams: the
  // 60-field one applies its first 49 fields (one more request, user level
  // 5), the slot-9 one its inputs and user level but no slot and no request.
  EXPECT_EQ(s.input1AfterHostile, 42);
  EXPECT_EQ(s.userLevelAfterHostile, 3);
  EXPECT_EQ(s.requestsAfterHostile, 3);
  EXPECT_EQ(s.slotsWrittenAfterHostile, 1);
  EXPECT_EQ(s.anyPresentAfterHostile, 0);
  EXPECT_EQ(UDPRealtime.Active, 0);

  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasNoErrors.txt"), kMarker);
  EXPECT_FALSE(run.Exists("output/ThisSimHasErrors.txt"));
}

TEST_F(UDPLinkTest, EngineWhosePortIsTakenStillRunsItsMatch) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  // Hold the listen port as another engine would (if something else already
  // holds it, the port is taken all the same).
  const int32_t holder = SocketOpenUDP();
  const bool held = SocketBindLoopback(holder, 2501);
  FrameSteps[13].Step = [](TWorld& W) {
    W.clock += W.TimeStep;
    if (W.clock >= 0.2f) W.MatchPhase = 3;
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  SocketClose(holder);
  if (held) {
    EXPECT_FALSE(UDPSocket->Bound);
  }
  // The failure went to the program's silent error callback.
  EXPECT_EQ(err.find("Easy_UDP"), std::string::npos) << err;
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasNoErrors.txt"), kMarker);
}

}  // namespace
