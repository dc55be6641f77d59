#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "RunFolder.h"
#include "ViewerScene.h"
#include "app/Easy_UDP1.h"
#include "app/ViewerLink.h"
#include "core/EngineError.h"
#include "core/ViewerFrame.h"
#include "platform/Platform.h"
#include "setup/AnimationCatalogue.h"

namespace {

// Positions of the datagram's fields with 15 players a side (0-based).
constexpr int kFirstTeam = 1, kSecondTeam = 76, kBall = 151, kPointOfInterest = 157, kClock = 159, kDirection = 160,
              kUserPlayer = 161, kPassTargets = 163, kMessage = 171, kKickMode = 176, kKick = 177, kRestart = 182;

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> f(1);
  for (char c : text) {
    if (c == ',')
      f.emplace_back();
    else
      f.back() += c;
  }
  return f;
}

class ViewerLink : public ::testing::Test {
 protected:
  static TWorld W;
  RunFolder run{false};

  static void SetUpTestSuite() { BuildAnimationCatalogue(); }
  void SetUp() override {
    MakeViewerScene(W);
    OutputDir = run.Dir() + "output/";
    ForceDirectories(OutputDir);
  }
  void TearDown() override {
    SetUDPRealtimeDefaults();
    Form1.Memo4.Clear();
    SimFinished = kFalse32;
  }

  // The frame's text, taken from the sim-ahead pane of a long request, so
  // nothing goes to a socket; at the end of the run the request ends and the
  // text is the last line of its file.
  std::string FrameText() {
    TUDPRealtime& R = UDPRealtime;
    R.SimAhead = kTrue32;
    R.SimAheadSeconds = 1e6f;
    const size_t before = Form1.Memo4.Count();
    SendFrameToViewer(W);
    R.SimAhead = kFalse32;
    if (Form1.Memo4.Count() == before + 1) return Form1.Memo4.Lines.back();
    const std::vector<std::string> saved = run.Lines("output/userRequestedSimAheadFrames.txt");
    EXPECT_FALSE(saved.empty());
    return saved.empty() ? std::string() : saved.back();
  }
  std::vector<std::string> Fields() { return Split(FrameText()); }
  static std::vector<std::string> Slice(const std::vector<std::string>& f, int from, int n) {
    return {f.begin() + from, f.begin() + from + n};
  }
  using V = std::vector<std::string>;
};

TWorld ViewerLink::W;

TEST_F(ViewerLink, FifteenASideFrameHas184FieldsWithTheViewersTeamFirst) {
  W.BallSpin = 1.0f;
  W.BallYaw = 0.5f;
  W.BallPitch = -0.25f;
  W.PointOfInterest = {3.126f, -7.5f};
  const std::vector<std::string> f = Fields();
  // 183 numbers, each followed by a comma: the 184th field is empty.
  ASSERT_EQ(f.size(), 184u);
  EXPECT_EQ(f[183], "");
  const std::string run = std::to_string(AnimNameToIndex("run"));
  EXPECT_EQ(f[0], "130000");
  EXPECT_EQ(Slice(f, kFirstTeam, 5), (V{"-700", "-500", "180", run, "25"}));
  EXPECT_EQ(Slice(f, kFirstTeam + 5 * 14, 5), (V{"700", "-500", "180", run, "25"}));
  EXPECT_EQ(Slice(f, kSecondTeam, 5), (V{"-700", "500", "360", run, "25"}));
  EXPECT_EQ(Slice(f, kBall, 6), (V{"200", "100", "-500", "57", "29", "-14"}));
  EXPECT_EQ(Slice(f, kPointOfInterest, 2), (V{"313", "-750"}));
  EXPECT_EQ(f[kClock], "125");
  EXPECT_EQ(f[kDirection], "1");
  // Nobody is user-controlled: no user's player, and unset targets go as -1.
  EXPECT_EQ(Slice(f, kUserPlayer, 2), (V{"0", "-1"}));
  EXPECT_EQ(Slice(f, kPassTargets, 8), (V{"10", "-1", "10", "-1", "10", "-1", "10", "-1"}));
  EXPECT_EQ(Slice(f, kMessage, 5), (V{"1", "0", "1000", "-1", "1000"}));
  EXPECT_EQ(f[kKickMode], "0");
  EXPECT_EQ(Slice(f, kKick, 5), (V{"0", "0", "0", "0", "50"}));
  EXPECT_EQ(f[kRestart], "-1000");

  // The viewer's team holding block 2 goes first and looks the other way.
  UDPRealtime.ViewerTeamId = 20;
  const std::vector<std::string> g = Fields();
  EXPECT_EQ(Slice(g, kFirstTeam, 3), (V{"-700", "500", "360"}));
  EXPECT_EQ(Slice(g, kSecondTeam, 3), (V{"-700", "-500", "180"}));
  EXPECT_EQ(g[kDirection], "-1");
}

TEST_F(ViewerLink, AnimationWithoutLengthAndFarPlayersStillFormat) {
  W.Teams[1].Players[1].maxframes = 0.0f;
  W.Teams[1].Players[2].Pos.x = 1e30f;
  const std::vector<std::string> f = Fields();
  EXPECT_EQ(f[kFirstTeam + 4], "0");
  EXPECT_EQ(f[kFirstTeam + 5], std::to_string(INT64_MAX));
}

TEST_F(ViewerLink, SecondHalfTurnsTheSceneRound) {
  W.BallYaw = 0.5f;
  W.Teams[1].KickHeading = 30.0f;
  const std::vector<std::string> first = Fields();
  W.MatchPhase = 2;
  const std::vector<std::string> second = Fields();
  ASSERT_EQ(second.size(), first.size());
  auto num = [](const std::string& s) { return std::stoll(s); };
  for (int p = 0; p < 30; ++p) {
    const int at = kFirstTeam + 5 * p;
    EXPECT_EQ(num(second[at]), -num(first[at])) << p;
    EXPECT_EQ(num(second[at + 1]), -num(first[at + 1])) << p;
    EXPECT_EQ(num(second[at + 2]), num(first[at + 2]) + 180) << p;
    EXPECT_EQ(second[at + 3], first[at + 3]);
  }
  EXPECT_EQ(num(second[kBall]), -num(first[kBall]));
  EXPECT_EQ(second[kBall + 1], first[kBall + 1]);
  EXPECT_EQ(num(second[kBall + 2]), -num(first[kBall + 2]));
  EXPECT_EQ(num(second[kBall + 4]), num(first[kBall + 4]) + 180);
  EXPECT_EQ(num(second[kDirection]), -num(first[kDirection]));
  EXPECT_EQ(num(second[kKick + 3]), num(first[kKick + 3]) + 18000);
  // Possession changed hands as well: back to the first half's frame.
  W.Team1InFirstBlock = kFalse32;
  const std::vector<std::string> swapped = Fields();
  EXPECT_EQ(swapped[kFirstTeam], first[kFirstTeam]);
  EXPECT_EQ(swapped[kDirection], first[kDirection]);
}

TEST_F(ViewerLink, OneForwardedMessagePerFrameAndTheEndMarker) {
  TMatchStore& S = MatchStore;
  S.Messages[1] = {0, 0, 0.0f, msgPlayersPerTeam, 15.0f};  // not forwarded
  S.Messages[2] = {20, 7, 12.3456f, 1, 0.25f};
  S.Messages[3] = {10, 4, 13.0f, 14, 0.0f};
  S.Messages[4] = {20, 2, 14.0f, 40, 0.0f};  // not forwarded
  S.Messages[5] = {10, 9, 15.5f, 113, -1.5f};
  S.MessageCount = 5;
  EXPECT_EQ(Slice(Fields(), kMessage, 5), (V{"2", "7", "12346", "1", "250"}));
  EXPECT_EQ(UDPRealtime.MessagesSent, 2);
  EXPECT_EQ(Slice(Fields(), kMessage, 5), (V{"1", "4", "13000", "14", "0"}));
  EXPECT_EQ(Slice(Fields(), kMessage, 5), (V{"1", "9", "15500", "113", "-1500"}));
  EXPECT_EQ(UDPRealtime.MessagesSent, 5);
  EXPECT_EQ(Slice(Fields(), kMessage, 5), (V{"1", "0", "1000", "-1", "1000"}));
  S.Messages[6] = {10, 3, 16.0f, 18, 5.0f};
  S.MessageCount = 6;
  SimFinished = kTrue32;
  EXPECT_EQ(Slice(Fields(), kMessage, 5), (V{"1", "0", "1000", "-12345", "1000"}));
  EXPECT_EQ(UDPRealtime.MessagesSent, 5);
}

TEST_F(ViewerLink, OpenPlayPassTargetsForAUserCarrier) {
  TTeamBlock& B = W.Teams[1];
  B.Players[10].ControllingUser = 1;
  // Carrier at x 2; team-mates one metre apart on his line. Player 8 steps
  // ahead of him, so 7 and 9 tie for the near left target: the lower wins.
  B.Players[8].Pos.z = -4.9f;
  B.Players[13].standuptimer = 0.5f;
  std::vector<std::string> f = Fields();
  EXPECT_EQ(UDPRealtime.UserHasBall, kTrue32);
  EXPECT_EQ(Slice(f, kUserPlayer, 2), (V{"10", "9"}));
  EXPECT_EQ(UDPRealtime.PassTargets[1], 7);
  EXPECT_EQ(UDPRealtime.PassTargets[3], 12);
  EXPECT_EQ(UDPRealtime.PassTargets[2], 5);
  EXPECT_EQ(UDPRealtime.PassTargets[4], 15);
  EXPECT_EQ(Slice(f, kPassTargets, 8), (V{"10", "6", "10", "4", "10", "11", "10", "14"}));

  // Tackled with the offload window open: only those close behind count.
  B.Players[10].GettingTackledTimer = 1.0f;
  B.OffloadTime = 0.5f;
  B.Players[9].Pos.z = -6.0f;
  B.Players[3].Pos.z = -7.0f;  // too far across
  Fields();
  EXPECT_EQ(UDPRealtime.PassTargets[1], 9);
  EXPECT_EQ(UDPRealtime.PassTargets[2], 0);
  EXPECT_EQ(UDPRealtime.PassTargets[3], 0);
  // Window shut: not recomputed, and with no user holding them they clear.
  B.OffloadTime = 0.0f;
  Fields();
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(UDPRealtime.PassTargets[k], 0);

  // A carrier number of 0 is no carrier.
  B.Players[10].GettingTackledTimer = 0.0f;
  B.BallCarrier = 0;
  f = Fields();
  EXPECT_EQ(UDPRealtime.UserHasBall, kFalse32);
  EXPECT_EQ(Slice(f, kUserPlayer, 2), (V{"10", "9"}));  // the first user-controlled player
}

TEST_F(ViewerLink, SetPieceTargetsAreFixedOncePerUser) {
  W.gamestate = gsGotTackled;
  W.GotTackledPhase = 2;
  TTeamBlock& B = W.Teams[1];
  B.SetPieceHolder = 9;
  B.SetPieceLine[101] = 9;
  B.SetPieceLine[95] = 12;
  B.SetPieceLine[60] = 3;
  B.SetPieceLine[105] = 7;
  B.SetPieceLine[150] = 13;
  B.SupportGridSize = 2;
  B.SupportGridCells[1][1] = 4;
  B.SupportGridSpots[1][1] = {-3.0f, -10.0f};
  B.SupportGridCells[1][2] = 6;
  B.SupportGridSpots[1][2] = {-2.0f, -8.0f};
  B.SupportGridCells[2][1] = 11;
  B.SupportGridSpots[2][1] = {3.0f, -9.0f};
  B.SupportGridSpots[2][2] = {4.0f, 0.0f};  // empty cell
  TUDPUserSlot& U = PresentUser(1, 10, 0);
  std::vector<std::string> f = Fields();
  EXPECT_EQ(U.SwitchFlags[3], kTrue32);
  EXPECT_EQ(UDPRealtime.PassTargets[1], 12);
  EXPECT_EQ(UDPRealtime.PassTargets[2], 6);
  EXPECT_EQ(UDPRealtime.PassTargets[3], 7);
  EXPECT_EQ(UDPRealtime.PassTargets[4], 11);
  EXPECT_EQ(Slice(f, kUserPlayer, 2), (V{"10", "8"}));  // the set-piece holder
  // Held for the rest of the set piece.
  B.SetPieceLine[95] = 0;
  Fields();
  EXPECT_EQ(UDPRealtime.PassTargets[1], 12);
  // A scrum has no support grid.
  U.SwitchFlags[3] = kFalse32;
  W.gamestate = gsScrum;
  W.ScrumPhase = 2;
  Fields();
  EXPECT_EQ(UDPRealtime.PassTargets[1], 3);
  EXPECT_EQ(UDPRealtime.PassTargets[2], 0);
  EXPECT_EQ(UDPRealtime.PassTargets[4], 0);
}

TEST_F(ViewerLink, KickModeKickAndRestartFields) {
  TUDPRealtime& R = UDPRealtime;
  TTeamBlock& B = W.Teams[1];
  R.Input[1] = 10;
  R.AuxUserControl = kTrue32;
  R.KickMode = kTrue32;
  B.Players[10].KickTimer = 0.5f;
  B.Players[10].KickKind = 3.0f;
  B.KickTimeLeft = 0.2f;
  B.KickSpeed = 25.5f;
  B.KickElevation = 40.0f;
  B.KickHeading = 80.0f;
  std::vector<std::string> f = Fields();
  EXPECT_EQ(f[kKickMode], "1");
  EXPECT_EQ(Slice(f, kKick, 5), (V{"3", "2550", "4000", "8000", "50"}));
  // Another side's choice: kick mode cleared, no kind.
  R.Input[1] = 20;
  f = Fields();
  EXPECT_EQ(R.KickMode, kFalse32);
  EXPECT_EQ(f[kKickMode], "0");
  EXPECT_EQ(f[kKick], "0");

  W.gamestate = gsGotTackled;
  W.RestartDelay = 1.25f;
  EXPECT_EQ(Fields()[kRestart], "1250");
  W.RestartDelay = -0.5f;
  EXPECT_EQ(Fields()[kRestart], "0");
  EXPECT_EQ(R.FrameDelayValue, 0.0f);
}

TEST_F(ViewerLink, SimAheadLinesGoToAFileWhenTheRequestEnds) {
  TUDPRealtime& R = UDPRealtime;
  R.SimAhead = kTrue32;
  R.SimAheadSeconds = 0.1f;
  R.SimAheadStartGameClock = W.clock;
  R.SimAheadStartUdpClock = MatchStore.RecordClock;
  R.FramesAllowed = 3;
  SendFrameToViewer(W);
  EXPECT_EQ(R.SimAhead, kTrue32);
  EXPECT_EQ(R.FramesAllowed, 4);
  const std::string line1 = Form1.Memo4.Lines.at(0);
  EXPECT_FALSE(run.Exists("output/userRequestedSimAheadFrames.txt"));
  W.clock += 0.2f;
  SendFrameToViewer(W);
  EXPECT_EQ(R.SimAhead, kFalse32);
  EXPECT_EQ(R.FramesAllowed, 4);
  EXPECT_EQ(Form1.Memo4.Count(), 0u);
  const std::vector<std::string> lines = run.Lines("output/userRequestedSimAheadFrames.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], line1);
  EXPECT_EQ(Split(lines[1])[kClock], "126");

  // The run's end closes a request too; a file that cannot be made raises.
  R.SimAhead = kTrue32;
  R.SimAheadSeconds = 1e6f;
  SimFinished = kTrue32;
  OutputDir = run.Dir() + "no/such/folder/";
  EXPECT_THROW(SendFrameToViewer(W), EEngineError);
}

// Collects what the engine's socket sends to the test's viewer socket;
// anything else on the machine that sends to the viewer's port is left out.
std::vector<std::string> g_arrived;
u16 g_enginePort = 0;
void Arrive(const std::string& Host, u16 Port, const void* Data, i32 Size) {
  if (Host == "127.0.0.1" && Port == g_enginePort) g_arrived.emplace_back(static_cast<const char*>(Data), Size);
}
void Drop(const std::string&) {}

TEST_F(ViewerLink, DatagramArrivesAtTheViewersPortAndAnOversizeFrameIsNotSent) {
  EUDPSocket viewer;
  viewer.OnReceive = Arrive;
  viewer.OnError = Drop;
  viewer.Start(2504);
  // Another program may hold the viewer's port: then listen anywhere and
  // send there.
  if (!viewer.Bound) viewer.Start(0);
  ASSERT_TRUE(viewer.Bound);
  const i32 savedPort = UDPSendPort;
  UDPSendPort = viewer.LocalPort();
  std::unique_ptr<EUDPSocket> engine = std::make_unique<EUDPSocket>();
  engine->OnError = Drop;
  engine->Start(0);
  ASSERT_TRUE(engine->Bound);
  g_enginePort = engine->LocalPort();
  std::swap(engine, UDPSocket);
  g_arrived.clear();
  auto waitAndRead = [&] {
    const size_t before = g_arrived.size();
    for (int i = 0; i < 2000 && g_arrived.size() == before; ++i) {
      viewer.ReceiveWaiting();
      if (g_arrived.size() == before) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };

  const std::string expected = FrameText();
  SendFrameToViewer(W);
  waitAndRead();
  ASSERT_EQ(g_arrived.size(), 1u);
  EXPECT_EQ(g_arrived[0], expected);
  EXPECT_EQ(Split(g_arrived[0]).size(), 184u);

  // 25 a side far off the pitch: too long for the send buffer, not sent.
  static TWorld normal;
  normal = W;
  W.PlayersPerTeam = 25;
  for (int b = 1; b <= 2; ++b)
    for (TPlayer& P : W.Teams[b].Players) P.Pos = {-123456.0f, 0.0f, -654321.0f};
  const std::string big = FrameText();
  EXPECT_GT(big.size(), static_cast<size_t>(kFrameSendBufferSize));
  SendFrameToViewer(W);
  W = normal;
  SendFrameToViewer(W);
  waitAndRead();
  ASSERT_EQ(g_arrived.size(), 2u);
  EXPECT_EQ(g_arrived[1], expected);

  std::swap(engine, UDPSocket);
  UDPSendPort = savedPort;
}

// ---------------------------------------------------------------- summary

template <class T>
T At(int offset) {
  T v;
  std::memcpy(&v, reinterpret_cast<const unsigned char*>(&ViewerFrame) + offset, sizeof v);
  return v;
}

class ViewerSummary : public ViewerLink {};

TEST_F(ViewerSummary, FieldsAtTheirOffsets) {
  TTeamBlock& B1 = W.Teams[1];
  std::memset(&ViewerFrame, 0, sizeof ViewerFrame);
  ViewerFrame.StartWord = 77;
  ViewerFrame.Head = 5;
  B1.score = 70000;
  W.Teams[2].score = 12;
  W.PointOfInterest = {1.5f, -2.0f};
  W.BallAttached = kTrue32;
  W.LastKnownHasBall = 3;
  W.BallSpin = 0.75f;
  B1.Players[1].Pos = {10.0f, 0.5f, -5.0f};
  B1.Players[10].ControllingUser = 2;
  W.Teams[2].Players[4].ControllingUser = 3;
  B1.KickSpeed = 21.0f;
  B1.KickHeading = 33.0f;
  B1.Players[10].MaxKickSpeed = 28.0f;
  W.ElapsedTime = 0.5f;
  SendStateToViewerWindow(W);

  EXPECT_EQ(ViewerDataKind, 1);
  EXPECT_EQ(At<i32>(0), 0);
  EXPECT_EQ(At<i32>(4), 77);  // start-up's word is not written here
  EXPECT_EQ(At<f32>(8), 130.0f);
  EXPECT_EQ(At<f32>(12), 125.4f);
  EXPECT_EQ(At<i16>(16), static_cast<i16>(70000 & 0xFFFF));
  EXPECT_EQ(At<i16>(18), 12);
  EXPECT_EQ(At<u8>(20), gsRunning);
  EXPECT_EQ(At<f32>(21), 75.0f);
  EXPECT_EQ(At<f32>(25), -100.0f);
  EXPECT_EQ(At<i16>(29), 10);
  EXPECT_EQ(At<i32>(31), -1);
  EXPECT_EQ(At<i32>(35), -1);
  EXPECT_EQ(At<i16>(39), 3);
  EXPECT_EQ(At<f32>(41), 100.0f);
  EXPECT_EQ(At<f32>(49), -250.0f);
  EXPECT_EQ(At<f32>(53), 0.75f);
  // Player 1 of block 1 at x = 10 m goes as 500.
  EXPECT_EQ(At<f32>(65), 500.0f);
  EXPECT_EQ(At<f32>(65 + 4), 25.0f);
  EXPECT_EQ(At<f32>(65 + 12), 90.0f);
  EXPECT_EQ(At<u8>(65 + 16), 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ViewerFrame) + 65 + 17, 3), "run");
  EXPECT_EQ(At<f32>(65 + 48), 5.0f);
  EXPECT_EQ(At<f32>(905 + 56 * 3 + 8), 250.0f);  // player 4 of block 2, z
  EXPECT_EQ(At<f32>(905 + 56 * 3 + 12), 270.0f);
  // Users 2 and 3 and the carrier's team-mates as receivers.
  EXPECT_EQ(At<i16>(1753 + 8), 10);
  EXPECT_EQ(At<i32>(1753 + 8 + 4), -1);
  EXPECT_EQ(At<i16>(1753 + 16), 4);
  EXPECT_EQ(At<i32>(1753 + 16 + 4), 0);
  EXPECT_EQ(At<i16>(1753), 0);
  EXPECT_EQ(At<i32>(1785), -1);
  EXPECT_EQ(At<i16>(1745), 8);
  EXPECT_EQ(At<i16>(1747), 5);
  EXPECT_EQ(At<i16>(1749), 12);
  EXPECT_EQ(At<i16>(1751), 15);
  EXPECT_EQ(At<i32>(1789), 0);
  EXPECT_EQ(At<i32>(1793), 0);
  EXPECT_EQ(At<f32>(1797), 21.0f);
  EXPECT_EQ(At<f32>(1801), 28.0f);
  EXPECT_EQ(At<f32>(1805), 33.0f);
  EXPECT_EQ(At<i32>(1809), -1);
  EXPECT_EQ(At<i32>(1813), 0);
  EXPECT_EQ(At<u8>(1817 + 16), kViewerEmptyMessage);

  // Out of running: no carrier, the carrier's kick speed of the last send.
  W.gamestate = gsPassing;
  W.Teams[1].PassReceiver = 7;
  B1.Players[10].MaxKickSpeed = 1.0f;
  SendStateToViewerWindow(W);
  EXPECT_EQ(At<i16>(29), 7);
  EXPECT_EQ(At<f32>(1801), 28.0f);
  EXPECT_EQ(At<i32>(1785), 0);
  EXPECT_EQ(At<i16>(1745), 0);
}

TEST_F(ViewerSummary, AtMostThreeNewMessagesASend) {
  TMatchStore& S = MatchStore;
  for (int k = 1; k <= 5; ++k) S.Messages[k] = {k, 100 + k, 0.5f * k, static_cast<u8>(k), 2.0f * k};
  S.MessageCount = 5;
  SendStateToViewerWindow(W);
  EXPECT_EQ(ViewerMessagesSent, 3);
  for (int e = 0; e < 3; ++e) {
    const int at = 1817 + 24 * e;
    EXPECT_EQ(At<i32>(at), 0);
    EXPECT_EQ(At<u32>(at + 4), static_cast<u32>(e + 1));
    EXPECT_EQ(At<u32>(at + 8), 101u + e);
    EXPECT_EQ(At<f32>(at + 12), 0.5f * (e + 1));
    EXPECT_EQ(At<u8>(at + 16), e + 1);
    EXPECT_EQ(At<f32>(at + 20), 2.0f * (e + 1));
  }
  SendStateToViewerWindow(W);
  EXPECT_EQ(ViewerMessagesSent, 5);
  S.Messages[6] = {9, 9, 9.0f, 45, 9.0f};
  S.MessageCount = 6;
  SendStateToViewerWindow(W);
  EXPECT_EQ(ViewerMessagesSent, 6);
  EXPECT_EQ(At<u8>(1817 + 16), 45);
  EXPECT_EQ(At<u8>(1817 + 24 + 16), kViewerEmptyMessage);
  EXPECT_EQ(At<u8>(1817 + 48 + 16), kViewerEmptyMessage);
}

TEST_F(ViewerSummary, AnimationNameKeepsTheRestOfItsField) {
  std::memset(&ViewerFrame, 0xAB, sizeof ViewerFrame);
  const std::string name = "abcdefghijklmnopqrstuvwxyz";
  W.Teams[1].Players[2].currentAnim.Assign(name);
  SendStateToViewerWindow(W);
  const int entry = 65 + 56;
  EXPECT_EQ(At<u8>(entry + 16), 26);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ViewerFrame) + entry + 17, 26), name);
  for (int b = entry + 43; b <= entry + 47; ++b) EXPECT_EQ(At<u8>(b), 0xAB) << b;
}

TEST_F(ViewerSummary, MoreThanFifteenASideStayInTheirEntries) {
  W.PlayersPerTeam = 25;
  for (int p = 16; p <= 25; ++p) W.Teams[1].Players[p].Pos = {99.0f, 99.0f, 99.0f};
  W.Teams[1].Players[20].ControllingUser = 1;
  SendStateToViewerWindow(W);
  EXPECT_EQ(At<f32>(905), -350.0f);  // block 2's first entry is block 2's player 1
  EXPECT_EQ(At<f32>(905 + 8), 250.0f);
  EXPECT_EQ(At<i16>(1745), 0);
  EXPECT_EQ(At<i16>(1753), 20);
}

}  // namespace
