#include "output/ReplayUnit.h"

#include <gtest/gtest.h>

#include <cfenv>

#include "core/FloatFlags.h"
#include "core/MatchStore.h"
#include "core/WorldDefaults.h"
#include "output/FrameScene.h"
#include "setup/AnimationCatalogue.h"

namespace {

TWorld W;

class ReplayUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameScene(W);
    PositionScale = 50.0f;
    TMatchStore& S = MatchStore;
    S.RecordPending = kTrue32;
    S.FrameCount = 1;
    S.FrameInterval = 0.0164f;
    S.FrameTimes[1] = S.FrameTimes[2] = S.FrameTimes[3] = 0;
    S.FrameBallPos[1] = {};
  }
  void TearDown() override {
    MatchStore.RecordClock = 0;
    PositionScale = 0;
  }

  // A free-ball frame on a one-segment flight from A (at time t0) to B (at t1).
  static void FreeBall(TVector3 A, TVector3 B, f32 t0, f32 t1, f32 clock) {
    W.gamestate = gsFreeBall;
    W.BallPhase = 1;
    W.FlightSegments = 2;
    W.FlightTimes[1] = t0;
    W.FlightTimes[2] = t1;
    W.FlightPos[1] = A;
    W.FlightPos[2] = B;
    W.BallFlightClock = clock;
  }
  static void ExpectBall(i16 x, i16 y, i16 z, const char* what) {
    EXPECT_EQ(MatchStore.FrameBallPos[1].x, x) << what;
    EXPECT_EQ(MatchStore.FrameBallPos[1].y, y) << what;
    EXPECT_EQ(MatchStore.FrameBallPos[1].z, z) << what;
  }
};

}  // namespace

TEST_F(ReplayUnitTest, EveryRecordedFrameGetsItsOwnSlotOnTheRecordingClock) {
  TMatchStore& S = MatchStore;
  W.clock = 7.5f;
  RecordReplayFrame(W, true);
  EXPECT_EQ(S.FrameTimes[1], 0.0f);
  EXPECT_EQ(S.FrameClock[1], 7.5f);
  EXPECT_EQ(S.RecordClock, 0.04f);
  EXPECT_EQ(S.FrameCount, 2);
  EXPECT_NE(S.RecordPending, 0);
  EXPECT_EQ(S.FrameCapacity, 300000);
  EXPECT_EQ(S.ReplayQuantum, 10);

  // The driver of real-time mode moves the clock itself: the due slot is
  // filled, but no new one opens, and the next call stores nothing.
  W.clock = 7.54f;
  RecordReplayFrame(W, false);
  EXPECT_EQ(S.FrameTimes[2], 0.04f);
  EXPECT_EQ(S.FrameClock[2], 7.54f);
  EXPECT_EQ(S.FrameCount, 2);
  EXPECT_EQ(S.RecordPending, 0);
  W.clock = 9.0f;
  RecordReplayFrame(W, false);
  EXPECT_EQ(S.FrameClock[2], 7.54f);
  EXPECT_EQ(S.FrameCount, 2);
  EXPECT_EQ(S.RecordClock, 0.04f);
}

TEST_F(ReplayUnitTest, FrameFieldsAndPlayerTracksInTenths) {
  BuildAnimationCatalogue();
  TMatchStore& S = MatchStore;
  W.Teams[1].score = 12;
  W.Teams[2].score = 7;
  W.Team1InFirstBlock = kTrue32;
  W.BallAttached = kTrue32;
  W.LastKnownHasBall = 9;
  W.PointOfInterest = {1.5f, -60.0f};  // outside free ball it is not clamped
  W.BallPos = {1.0f, 0.5f, -2.25f};
  W.BallSpin = 1.25f;
  W.BallYaw = -0.36f;
  TPlayer& P = W.Teams[2].Players[15];
  P.Pos = {-3.0f, 1.0f, 20.0f};
  P.Heading = 12.25f;  // 122.5 tenths: the tie goes to the even neighbour
  P.currentAnim.Assign("sprintwithball");
  P.currentframe = 3.36f;
  P.AnimLoop = kTrue32;
  P.Fatigued = kTrue32;
  W.Teams[1].Players[1].currentAnim.Assign("no such animation");
  S.PlayerTracks[1][15].AnimIndex[1] = 0;
  RecordReplayFrame(W, true);

  EXPECT_EQ(S.FrameGameState[1], gsRunning);
  EXPECT_EQ(S.FrameScore1[1], 12);
  EXPECT_EQ(S.FrameScore2[1], 7);
  EXPECT_NE(S.FrameTeam1InFirstBlock[1], 0);
  EXPECT_NE(S.FrameBallAttached[1], 0);
  EXPECT_EQ(S.FrameBallHolder[1], 9);
  EXPECT_EQ(S.FramePointOfInterest[1].x, 75.0f);
  EXPECT_EQ(S.FramePointOfInterest[1].z, -3000.0f);
  ExpectBall(500, 250, -1125, "ball in hand");
  EXPECT_EQ(S.FrameBallAngles[1].x, 12);  // 12.5 tenths: ties to even
  EXPECT_EQ(S.FrameBallAngles[1].y, -4);
  const TPlayerTrack& T = S.PlayerTracks[2][15];
  EXPECT_EQ(T.Pos[1].x, -1500);
  EXPECT_EQ(T.Pos[1].y, 500);
  EXPECT_EQ(T.Pos[1].z, 10000);
  EXPECT_EQ(T.Heading[1], 122);
  EXPECT_EQ(T.AnimIndex[1], 8);
  EXPECT_EQ(T.AnimFrame[1], 34);
  EXPECT_NE(T.AnimLoop[1], 0);
  EXPECT_NE(T.Fatigued[1], 0);
  EXPECT_EQ(S.PlayerTracks[1][1].AnimIndex[1], 1);  // a name the catalogue lacks
  EXPECT_EQ(S.PlayerTracks[1][15].AnimIndex[1], AnimNameToIndex(""));
}

TEST_F(ReplayUnitTest, FreeBallIsTakenFromItsFlightAndThePointOfInterestFollowsIt) {
  TMatchStore& S = MatchStore;
  FreeBall({40.0f, 2.0f, 62.0f}, {40.0f, 2.0f, 62.0f}, 1.0f, 2.0f, 1.5f);
  W.BallPos = {0, 0, 0};  // the flight path holds, not BallPos
  RecordReplayFrame(W, true);
  ExpectBall(20000, 1000, 31000, "ball at z 62");
  EXPECT_EQ(S.FramePointOfInterest[1].z, 3000.0f);        // (50 + 10) x 50
  EXPECT_EQ(S.FramePointOfInterest[1].x, (35.0f + 2.0f) * 50.0f);
}

TEST_F(ReplayUnitTest, FreeBallAlongItsSegment) {
  struct Case {
    f32 t0, t1, clock;
    i16 x, z;
    const char* what;
  } cases[] = {
      {1.0f, 2.0f, 1.5f, 1500, 4000, "halfway"},
      {1.0f, 2.0f, 0.5f, 500, 1500, "before the segment: its start point"},
      {1.0f, 1.0f, 1.5f, 500, 1500, "a segment of no length: its start point"},
  };
  for (const Case& c : cases) {
    SetUp();
    FreeBall({1.0f, 0, 3.0f}, {5.0f, 0, 13.0f}, c.t0, c.t1, c.clock);
    std::feclearexcept(FE_ALL_EXCEPT);
    RecordReplayFrame(W, true);
    EXPECT_FALSE(FloatErrorRaised()) << c.what;
    ExpectBall(c.x, 0, c.z, c.what);
  }
}

TEST_F(ReplayUnitTest, FreeBallOffItsPathKeepsBallPos) {
  for (i32 phase : {0, -3, 2, 5}) {
    SetUp();
    FreeBall({1.0f, 0, 3.0f}, {5.0f, 0, 13.0f}, 1.0f, 2.0f, 1.5f);
    W.BallPhase = phase;
    W.BallPos = {-2.0f, 1.0f, -70.0f};
    RecordReplayFrame(W, true);
    ExpectBall(-1000, 500, -32768, "phase off the path");  // -35000 held at the 16-bit edge
    EXPECT_EQ(MatchStore.FramePointOfInterest[1].z, -3000.0f) << phase;
  }
}

TEST_F(ReplayUnitTest, PositionsBeyondTheStoreStayAtItsEdge) {
  W.BallPos = {0, 0, 66.0f};  // 33000 units
  W.Teams[1].Players[3].Pos = {-70.0f, 0, 0};
  RecordReplayFrame(W, true);
  ExpectBall(0, 0, 32767, "ball beyond 65.5 m");
  EXPECT_EQ(MatchStore.PlayerTracks[1][3].Pos[1].x, -32768);
}

TEST_F(ReplayUnitTest, BeyondTheLastSlotNothingIsStoredButTheCountRunsOn) {
  TMatchStore& S = MatchStore;
  S.FrameCount = kFrameCapacity + 1;
  S.RecordClock = 100.0f;
  S.FrameTimes[kFrameCapacity] = 99.0f;
  S.FrameClock[kFrameCapacity] = 1.0f;
  W.clock = 2.0f;
  RecordReplayFrame(W, true);
  EXPECT_EQ(S.FrameClock[kFrameCapacity], 1.0f);
  EXPECT_EQ(S.FrameCount, kFrameCapacity + 2);
  EXPECT_EQ(S.RecordClock, 100.04f);
  S.FrameTimes[kFrameCapacity] = 0;
  S.FrameClock[kFrameCapacity] = 0;
}

TEST_F(ReplayUnitTest, FifteenTracksPerBlockWhateverThePlayerCount) {
  W.PlayersPerTeam = 25;
  W.Teams[2].Players[15].Heading = 90.0f;
  W.Teams[2].Players[16].Heading = 45.0f;
  RecordReplayFrame(W, true);
  EXPECT_EQ(MatchStore.PlayerTracks[2][15].Heading[1], 900);
}

// A track's animation index follows every change of name, and a name that
// stays follows a new index of the catalogue (the recorder keeps the last
// index of each track between frames).
TEST_F(ReplayUnitTest, AnimationIndexFollowsTheNameAndTheCatalogue) {
  TMatchStore& S = MatchStore;
  BuildAnimationCatalogue();
  TPlayer& P = W.Teams[2].Players[4];
  const TPlayerTrack& T = S.PlayerTracks[2][4];
  const i32 run = AnimNameToIndex("run");
  const i32 walk = AnimNameToIndex("walk");
  ASSERT_GT(walk, 2);
  ASSERT_NE(run, walk);
  struct Step {
    const char* name;
    bool moveWalkToTwo;  // "walk" also at entry 2, which is then its index
    i32 expected;
  };
  const Step steps[] = {{"run", false, run}, {"run", false, run}, {"walk", false, walk},
                        {"walk", true, 2},   {"run", false, run}, {"no such one", false, 1}};
  for (int n = 1; n <= 6; ++n) {
    const Step& s = steps[n - 1];
    if (s.moveWalkToTwo) {
      AnimNames[2].Assign("walk");
      IndexAnimationNames();
    }
    P.currentAnim.Assign(s.name);
    S.FrameCount = n;
    S.RecordPending = kTrue32;
    RecordReplayFrame(W, false);
    EXPECT_EQ(T.AnimIndex[n], s.expected) << "frame " << n << " " << s.name;
  }
  BuildAnimationCatalogue();  // its own names again
  EXPECT_EQ(AnimNameToIndex("walk"), walk);
}
