#include "flow/FreeBallUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Random.h"
#include "flow/OpenPlayScene.h"

namespace {

constexpr f32 kDt = 0.04f;

// A ball in flight over the middle of the pitch, its eight points already
// built (all on the key point's spot unless a test moves them) with 5 s to
// go. Block 1's players stand in a row 40 m behind the ball, block 2's 40 m
// ahead; everyone already runs at his top speed of 8 m/s, so a reach time is
// the distance / 8. Free ball is under way (phase 3), no re-plan is due
// before the test says so, and nobody is reacting any more.
class FreeBallUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 4321;
    W.gamestate = gsFreeBall;
    W.FreeBallPhase = 3;
    W.Gravity = 9.81f;
    W.GroundFriction = 0.5f;
    W.BallPos = {0.0f, 10.0f, 0.0f};
    W.BallPhase = 1;
    W.FlightSegments = 2;
    W.FlightLandingStep = 2;
    W.FlightPos[1] = {0.0f, 10.0f, 0.0f};
    W.FlightPos[2] = {0.0f, 0.1f, 20.0f};
    W.FlightVel[1] = {0.0f, 0.0f, 10.0f};
    W.FlightVel[2] = {0.0f, -10.0f, 10.0f};
    W.FlightTimes[1] = 0.0f;
    W.FlightTimes[2] = 2.0f;
    W.FlightFirstDropStep = 2;
    W.ReleasePos = {0.0f, -20.0f};
    W.FreeBallPointCount = 8;
    W.FreeBallPointsTimer = 5.0f;
    W.FreeBallPlanTimer = 1.0f;
    SetPoints(0.0f, 20.0f, 5.0f);
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& B = W.Teams[b];
      B.ChaserCount = b == 1 ? 2 : 3;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = B.Players[p];
        Place(P, static_cast<f32>(4 * p - 32), b == 1 ? -40.0f : 40.0f);
        P.maxspeed = 8.0f;
        P.speed = 8.0f;
        P.Acceleration = 4.0f;
        P.JogSpeed = 3.0f;
        P.maxframes = 100.0f;
        P.LineSlot = {P.Pos.x, b == 1 ? -30.0f : 30.0f};
      }
    }
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void SetPoints(f32 x, f32 z, f32 t) {
    for (int k = 1; k <= 8; ++k) {
      W.FreeBallPoints[k] = {x, z};
      W.FreeBallPointTimes[k] = t;
      W.FreeBallTimeLeft[k] = t;
    }
  }
  TPlayer& P1(int i) { return W.Teams[1].Players[i]; }
  TPlayer& P2(int i) { return W.Teams[2].Players[i]; }

  static TWorld W;
};
TWorld FreeBallUnitTest::W;

TEST_F(FreeBallUnitTest, FirstFrameSetsUpAtPhaseTwoAndTheSecondEndsEverySequence) {
  W.FreeBallPhase = 1;
  for (TTeamBlock& B : W.Teams) {
    B.ChaserSlots[4] = 7;
    B.PrevChaserSlots[2] = 3;
    B.DefExtras[1] = 5;
    B.LeftEdgePlayer = 9;
    B.RightEdgePlayer = 11;
    B.SelectedPlayer = 4;
    for (int i = 1; i <= 15; ++i) {
      B.Players[i].ActionSeq.seqON = kTrue32;
      B.Players[i].chasertimer = 2.0f;
    }
  }
  W.Teams[1].DeepPlayerNumber = 14;
  W.FreeBallOutOfPlay = kTrue32;
  const u32 seed = RandSeed;
  DoFreeBall(W);
  EXPECT_EQ(W.FreeBallPhase, 2);
  // Two draws for each reaction, one each for x and z of the waiting spot.
  EXPECT_EQ(DrawsSince(seed), 30 * 4);
  for (int b = 1; b <= 2; ++b) {
    const TTeamBlock& B = W.Teams[b];
    EXPECT_EQ(B.PrevChaserSlots[2], 0);
    EXPECT_EQ(B.DefExtras[1], 0);
    EXPECT_EQ(B.SelectedPlayer, 0);
    EXPECT_EQ(B.Players[3].chasertimer, 0.0f);
    EXPECT_NE(B.Players[3].ActionSeq.seqON, 0) << "sequences end only on the second frame";
  }
  EXPECT_EQ(W.FreeBallOutOfPlay, 0);
  DoFreeBall(W);
  EXPECT_EQ(W.FreeBallPhase, 3);
  for (const TTeamBlock& B : W.Teams)
    for (int i = 1; i <= 15; ++i) EXPECT_EQ(B.Players[i].ActionSeq.seqON, 0) << i;
  W.Teams[1].Players[2].ActionSeq.seqON = kTrue32;
  DoFreeBall(W);
  EXPECT_EQ(W.FreeBallPhase, 3);
  EXPECT_NE(W.Teams[1].Players[2].ActionSeq.seqON, 0) << "later frames leave sequences alone";
  EXPECT_FALSE(FloatErrorRaised());
}

// The spread line: sorted by x, 7 m apart when the block fits, else evenly
// from one end (1 m inside the touchline) to the other, on the landing z.
TEST_F(FreeBallUnitTest, SetUpSpreadsEachBlockAcrossThePitchByX) {
  struct Case {
    const char* what;
    i32 players;
    f32 landingX;
    double start, gap;
  };
  const Case cases[] = {
      {"15 do not fit at 7 m", 15, 0.0f, -34.0, 68.0 / 14.0},
      {"5 centred on the landing x", 5, 10.0f, -4.0, 7.0},
      {"5 held inside the far touchline", 5, 30.0f, 34.0 - 28.0, 7.0},
  };
  for (const Case& c : cases) {
    SetUp();
    W.FreeBallPhase = 1;
    W.PlayersPerTeam = c.players;
    W.FlightPos[2] = {c.landingX, 0.1f, 20.0f};
    // Reverse the order in x of block 2 so the sort shows.
    for (int i = 1; i <= c.players; ++i) W.Teams[2].Players[i].Pos.x = static_cast<f32>(-3 * i);
    DoFreeBall(W);
    for (int b = 1; b <= 2; ++b) {
      const TTeamBlock& B = W.Teams[b];
      EXPECT_EQ(B.LineMinGap, 7.0f) << c.what;
      EXPECT_NEAR(B.LineStart, c.start, 1e-4) << c.what;
      EXPECT_NEAR(B.LineGap, c.gap, 1e-4) << c.what;
      for (int k = 1; k <= c.players; ++k) {
        const int p = B.FreeDefendersList[k];
        ASSERT_EQ(p, b == 1 ? k : c.players + 1 - k) << c.what << " place " << k;
        EXPECT_NEAR(B.Players[p].LineSlot.x, c.start + (k - 1) * c.gap, 1e-4) << c.what;
        EXPECT_EQ(B.Players[p].LineSlot.z, 20.0f) << c.what;
      }
      EXPECT_EQ(B.FreeDefendersList[c.players + 1], 0) << c.what;
    }
  }
}

// Reaction times by side, distance and the state before: the drawn value
// (pinned by a distribution of no spread) times a factor that grows with
// the distance from the ball, capped.
TEST_F(FreeBallUnitTest, SetUpReactionTimesByBlockDistanceAndCaps) {
  struct Case {
    const char* what;
    int block;
    f32 distance;  // m from the ball
    f32 drawn;     // s
    bool kicked;
    TGameState from;
    double expected;
  };
  const Case cases[] = {
      {"block 2 at the ball, kicked: x 1.5, 3.0 stays", 2, 0.0f, 2.0f, true, gsRunning, 3.0},
      {"block 2 at the ball, kicked: 6.0 becomes 1.5", 2, 0.0f, 4.0f, true, gsRunning, 1.5},
      {"block 2 at 40 m, not kicked: x 5.25", 2, 40.0f, 0.2f, false, gsRunning, 1.05},
      {"block 2 at 20 m, kicked: x 3.375", 2, 20.0f, 0.4f, true, gsRunning, 1.35},
      {"block 1 at the ball, kicked: x 1.0", 1, 0.0f, 0.5f, true, gsRunning, 0.5},
      {"block 1 capped at 0.75", 1, 80.0f, 0.5f, true, gsRunning, 0.75},
      {"block 1 not kicked, 20 m: x 3.25, capped", 1, 20.0f, 0.2f, false, gsRunning, 0.65},
      {"after a pass x 0.125", 2, 0.0f, 2.0f, true, gsPassing, 3.0 * 0.125},
      {"after a lineout x 0.125 after the cap", 2, 0.0f, 4.0f, true, gsLineout, 1.5 * 0.125},
  };
  for (const Case& c : cases) {
    SetUp();
    W.FreeBallPhase = 1;
    W.FromGameState = c.from;
    W.Teams[1].BallKicker = c.kicked ? 10 : 0;
    TPlayer& P = W.Teams[c.block].Players[6];
    Place(P, W.BallPos.x + c.distance, W.BallPos.z);
    P.RunningAngleReactionTime = {0.0f, c.drawn, 0.0f, c.drawn, c.drawn, kTrue32, kTrue32};
    DoFreeBall(W);
    EXPECT_NEAR(P.RunningAngleReactionTime.value, c.expected, 1e-5) << c.what;
  }
}

// The waiting spot: the landing point plus up to the spread in x and z (x
// drawn first), inside the touchlines, never behind the ball after a kick.
TEST_F(FreeBallUnitTest, SetUpWaitingSpotsAroundTheLandingPoint) {
  W.FreeBallPhase = 1;
  W.PlayersPerTeam = 1;
  W.Teams[1].BallKicker = 1;
  W.BallPos = {0.0f, 1.0f, 0.0f};
  W.FlightPos[2] = {34.5f, 0.1f, -3.0f};  // near touch and short of the ball
  TPlayer& K = P1(1);
  Place(K, 0.0f, 0.0f);  // the kicker at the ball: spread 0.25 x 0.8
  TPlayer& D = P2(1);
  Place(D, 0.0f, 40.0f);  // 40 m away: spread 5.5
  RandSeed = 99;
  DoFreeBall(W);
  RandSeed = 99;
  double dx[2], dz[2];
  for (int k = 0; k < 2; ++k) {
    GaussianRandom(0, 0, 0, 0, 0, 0);
    dx[k] = RandomRange(-100, 101);
    dz[k] = RandomRange(-100, 101);
  }
  EXPECT_NEAR(K.FreeBallWaitSpot.x, std::min(34.9, 34.5 + dx[0] * 0.2 / 100.0), 1e-4);
  EXPECT_NEAR(K.FreeBallWaitSpot.z, std::max(0.0, -3.0 + dz[0] * 0.2 / 100.0), 1e-4);
  EXPECT_NEAR(D.FreeBallWaitSpot.x, std::min(34.9, 34.5 + dx[1] * 5.5 / 100.0), 1e-4);
  EXPECT_NEAR(D.FreeBallWaitSpot.z, std::max(0.0, -3.0 + dz[1] * 5.5 / 100.0), 1e-4);
}

// With nobody excluded and no contest, the quickest take the slots; equal
// reach times go to the lower number; a busy player never chases.
TEST_F(FreeBallUnitTest, ChasersAreTheQuickestFreePlayersLowerNumberFirstOnATie) {
  W.FreeBallPlanTimer = 0;
  Place(P1(7), 0.0f, 12.0f);   // 8 m: 1.0 s
  Place(P1(3), 8.0f, 20.0f);   // 8 m: 1.0 s
  Place(P1(5), 0.0f, 16.0f);   // 4 m, but busy
  P1(5).passtimer = 0.5f;
  Place(P1(9), 0.0f, 10.0f);   // 10 m
  Place(P2(2), 0.0f, 29.0f);   // 9 m
  Place(P2(12), 0.0f, 31.0f);  // 11 m
  Place(P2(4), -9.0f, 20.0f);  // 9 m
  Place(P2(6), 0.0f, 25.0f);   // 5 m, but kicking
  P2(6).KickTimer = 0.3f;
  W.Teams[1].ChaserSlots[3] = 11;  // stale beyond ChaserCount: cleared
  DoFreeBall(W);
  EXPECT_EQ(W.FreeBallContested, 0);
  EXPECT_EQ(W.Teams[1].ChaserSlots[1], 3);
  EXPECT_EQ(W.Teams[1].ChaserSlots[2], 7);
  EXPECT_EQ(W.Teams[1].ChaserSlots[3], 0);
  EXPECT_EQ(W.Teams[2].ChaserSlots[1], 2);
  EXPECT_EQ(W.Teams[2].ChaserSlots[2], 4);
  EXPECT_EQ(W.Teams[2].ChaserSlots[3], 12);
  EXPECT_NEAR(P1(3).FreeBallReachTime, 1.0, 1e-6);
  EXPECT_EQ(P1(3).FreeBallPointIndex, 1);
  EXPECT_NEAR(W.FreeBallPlanTimer, 0.25, 1e-6);
  // The lead goes to his point, the follower beside the first point
  // towards the middle; both run flat out.
  EXPECT_EQ(P1(3).DesiredPos.x, 0.0f);
  EXPECT_EQ(P1(3).DesiredPos.z, 20.0f);
  EXPECT_NEAR(P1(7).DesiredPos.x, -1.5, 1e-6);
  EXPECT_NEAR(P1(7).DesiredPos.z, 19.75, 1e-6);
  EXPECT_NEAR(P2(4).DesiredPos.z, 20.25, 1e-6);
  EXPECT_EQ(P1(7).ChaseSpeed, 8.0f);
  EXPECT_EQ(P2(12).ChaseSpeed, 8.0f);
  // Between re-plans the reach times only run down, to 0.05 s at least.
  P1(3).FreeBallReachTime = 0.06f;
  DoFreeBall(W);
  EXPECT_NEAR(P1(7).FreeBallReachTime, 0.96, 1e-6);
  EXPECT_NEAR(P1(3).FreeBallReachTime, 0.05, 1e-6);
  EXPECT_EQ(W.Teams[1].ChaserSlots[1], 3);
  EXPECT_FALSE(FloatErrorRaised());
}

// A chaser who is still kicking is slower to his point: 0.15 s for a kick of
// kind 2 or 3, 0.75 s for another; a target is the first point he reaches in
// time.
TEST_F(FreeBallUnitTest, TargetIsTheFirstPointInTimeWithTheKickersDelay) {
  W.FreeBallPlanTimer = 0;
  W.FreeBallPoints[1] = {0.0f, 0.0f};  // behind the ball: no time left
  W.FreeBallPointTimes[1] = -1.0f;
  W.FreeBallPoints[2] = {0.0f, 30.0f};  // 2 s for a runner at 14 m: too far
  W.FreeBallPointTimes[2] = 1.0f;
  Place(P1(2), 0.0f, 14.0f);  // 16 m from point 2, 6 m from the rest
  P1(2).KickTimer = 0.2f;
  P1(2).KickKind = 3.0f;
  Place(P1(4), 0.0f, 14.0f);
  P1(4).KickTimer = 0.2f;
  P1(4).KickKind = 5.0f;
  DoFreeBall(W);
  EXPECT_EQ(P1(2).FreeBallPointIndex, 3);
  EXPECT_NEAR(P1(2).FreeBallReachTime, 0.75 + 0.15, 1e-6);
  EXPECT_NEAR(P1(4).FreeBallReachTime, 0.75 + 0.75, 1e-6);
  EXPECT_EQ(P1(4).InterceptZ, 20.0f);
}

// Block 1's player 15 stays back from a kick released at z 10 unless he is
// within 25 m in z of the flight's end or nobody is over 0.2 s quicker than
// him; a kick released at z 20 lets him chase.
TEST_F(FreeBallUnitTest, PlayerFifteenChasesADeepKickOnlyWhenNearOrNotOutrun) {
  struct Case {
    const char* what;
    f32 releaseZ;
    f32 fifteenZ;  // his z; the point and the flight's end are at z 20
    f32 twoZ;      // player 2's z: 8 m short of the point is 1.0 s
    i32 second;    // block 1's second chaser
  };
  const Case cases[] = {
      {"deep kick, 15 far back, 2 much quicker", 10.0f, -8.0f, 12.0f, 3},
      {"kick released at z 20", 20.0f, -8.0f, 12.0f, 15},
      {"15 within 25 m in z of the flight's end", 10.0f, -4.0f, 12.0f, 15},
      {"15 exactly 25 m away is not within", 10.0f, -5.0f, 12.0f, 3},
      {"2 only 0.15 s quicker", 10.0f, -8.0f, 20.0f - 3.35f * 8.0f, 15},
  };
  for (const Case& c : cases) {
    SetUp();
    W.FreeBallPlanTimer = 0;
    W.ReleasePos.z = c.releaseZ;
    W.FlightSegments = 2;
    Place(P1(15), 0.0f, c.fifteenZ);
    Place(P1(2), 0.0f, c.twoZ);
    Place(P1(3), 40.0f, 20.0f);  // 40 m: 5.0 s, slower than 15 in every case
    for (int i = 1; i <= 15; ++i) W.Teams[2].Players[i].Pos.z = 100.0f;  // nobody of block 2 near
    DoFreeBall(W);
    EXPECT_EQ(W.Teams[1].ChaserSlots[1], 2) << c.what;
    EXPECT_EQ(W.Teams[1].ChaserSlots[2], c.second) << c.what;
  }
}

// In a contested race for the key point, a chaser who cannot get there in
// time gives up his slot; the lead goes for the key point at the speed that
// brings him there in time, or waits when that is a walk.
TEST_F(FreeBallUnitTest, ContestedRaceKeepsOnlyChasersWhoReachTheKeyPoint) {
  W.FreeBallPlanTimer = 0;
  W.FreeBallKeyPoint = 1;
  W.FlightDrop22Step = 1;
  W.FlightPos[1] = {0.0f, 2.2f, 0.0f};
  W.FlightTimes[1] = 1.0f;
  W.FreeBallPoints[1] = {0.0f, 0.0f};
  W.FreeBallPointTimes[1] = 1.0f;  // the key point: 1 s left
  for (int k = 2; k <= 8; ++k) {
    W.FreeBallPoints[k] = {20.0f, 0.0f};
    W.FreeBallPointTimes[k] = 5.0f;
  }
  Place(P1(6), 0.0f, -20.0f);  // 2.5 s to the key point: out
  Place(P1(8), 0.0f, -4.0f);   // 0.5 s: in
  Place(P1(11), 20.0f, -8.0f);  // 1 s to the other points
  Place(P2(5), 0.0f, 4.0f);    // block 2 can get there too
  W.Teams[1].ChaserSlots[1] = 6;
  W.Teams[1].ChaserSlots[2] = 8;
  DoFreeBall(W);
  ASSERT_NE(W.FreeBallContested, 0);
  EXPECT_EQ(W.FreeBallReachCounts[1], 1);
  EXPECT_EQ(W.FreeBallReachCounts[2], 1);
  EXPECT_EQ(W.Teams[1].ChaserSlots[1], 8);
  EXPECT_EQ(W.Teams[1].ChaserSlots[2], 11);
  EXPECT_EQ(P1(8).DesiredPos.x, 0.0f);
  EXPECT_EQ(P1(8).DesiredPos.z, 0.0f);
  EXPECT_NEAR(P1(8).ChaseSpeed, 4.0, 1e-5);  // 4 m in 1 s
  // The lead has "arrived" in the race: the follower spreads out.
  EXPECT_NEAR(P1(11).DesiredPos.x, -6.0, 1e-5);
  EXPECT_NEAR(P1(11).DesiredPos.z, -3.0, 1e-5);
  EXPECT_EQ(P1(11).ChaseSpeed, 8.0f);

  struct Case {
    f32 distance;
    f32 speed;
  };
  for (const Case c : {Case{2.5f, 0.0f}, Case{3.0f, 0.0f}, Case{3.2f, 3.2f}}) {
    W.FreeBallPlanTimer = 0;
    W.BallFlightClock = 0;
    Place(P1(8), 0.0f, -c.distance);
    DoFreeBall(W);
    ASSERT_EQ(W.Teams[1].ChaserSlots[1], 8);
    EXPECT_NEAR(P1(8).ChaseSpeed, c.speed, 1e-5) << c.distance;
  }
  EXPECT_FALSE(FloatErrorRaised());
}

// A ball ending 4 m beyond a touchline is chased; 6 m beyond (or more than
// 3 m beyond a dead-ball line) it is out of play: the chasers keep their
// slots but are neither placed nor given a speed, and the re-plan waits;
// only a chaser still reacting walks towards his waiting spot.
TEST_F(FreeBallUnitTest, OutOfPlayBallKeepsChasersUnsteered) {
  struct Case {
    const char* what;
    TVector3 landing;
    TVector3 current;
    bool out;
    bool rolling = false;  // then judged at `ball`, not on its flight table
    TVector3 ball = {};
  };
  const Case cases[] = {
      {"4 m beyond touch", {39.0f, 0.1f, 20.0f}, {0.0f, 10.0f, 0.0f}, false},
      {"6 m beyond touch", {41.0f, 0.1f, 20.0f}, {0.0f, 10.0f, 0.0f}, true},
      {"6 m beyond the other touchline", {-41.0f, 0.1f, 20.0f}, {0.0f, 10.0f, 0.0f}, true},
      {"2 m beyond a dead-ball line", {0.0f, 0.1f, 62.0f}, {0.0f, 10.0f, 0.0f}, false},
      {"4 m beyond a dead-ball line", {0.0f, 0.1f, 64.0f}, {0.0f, 10.0f, 0.0f}, true},
      {"the ball now beyond the own dead-ball line", {0.0f, 0.1f, 20.0f}, {0.0f, 10.0f, -64.0f}, true},
      // A rolling ball has left its flight table: one that came to rest in
      // the field is chased although its old flight ended far beyond touch.
      {"rolling, at rest in the field", {41.0f, 0.1f, 20.0f}, {41.0f, 0.1f, 20.0f}, false, true,
       {32.44f, 0.2f, 23.94f}},
      {"rolling 6 m beyond touch", {0.0f, 0.1f, 20.0f}, {0.0f, 10.0f, 0.0f}, true, true, {41.0f, 0.2f, 20.0f}},
  };
  for (const Case& c : cases) {
    SetUp();
    W.FreeBallPlanTimer = 0;
    W.FlightPos[2] = c.landing;
    W.FlightPos[1] = c.current;
    W.Teams[1].ChaserSlots[1] = 4;
    W.Teams[1].ChaserSlots[2] = 5;
    P1(4).ChaseSpeed = 1.25f;
    P1(5).ChaseSpeed = 1.25f;
    P1(4).CanReachKeyPoint = kTrue32;
    // Player 5 still reacts; his waiting spot is ahead of him.
    P1(5).RunningAngleReactionTime.value = 0.5f;
    P1(5).FreeBallWaitSpot = {P1(5).Pos.x, P1(5).Pos.z + 10.0f};
    W.BallPos.z = 10.0f;
    if (c.rolling) {
      W.LooseBallRolling = kTrue32;
      W.BallPos = c.ball;
    }
    DoFreeBall(W);
    EXPECT_EQ(W.FreeBallOutOfPlay != 0, c.out) << c.what;
    if (c.out) {
      EXPECT_EQ(W.Teams[1].ChaserSlots[1], 4) << c.what;
      EXPECT_EQ(W.Teams[1].ChaserSlots[2], 5) << c.what;
      EXPECT_NEAR(W.FreeBallPlanTimer, 0.25, 1e-6) << c.what;
      EXPECT_EQ(P1(4).CanReachKeyPoint, 0) << c.what;
      EXPECT_EQ(P1(4).ChaseSpeed, 1.25f) << c.what;
      EXPECT_EQ(P1(4).DesiredPos.x, P1(4).LineSlot.x) << c.what << ": on his line slot";
    } else {
      EXPECT_NE(W.Teams[1].ChaserSlots[1], 0) << c.what;
      EXPECT_EQ(P1(W.Teams[1].ChaserSlots[1]).ChaseSpeed, 8.0f) << c.what;
    }
    // The reacting chaser (when still one) walks on at jogging speed.
    if (W.Teams[1].ChaserSlots[2] == 5) {
      EXPECT_NEAR(P1(5).DesiredPos.z, P1(5).Pos.z + 3.0 * kDt, 1e-5) << c.what;
      EXPECT_EQ(P1(5).DesiredPos.x, P1(5).Pos.x) << c.what;
    }
  }
}

// A reacting chaser walks towards his spot, but never away from the landing
// point and never past the ball.
TEST_F(FreeBallUnitTest, ReactingChaserWalksToHisSpotTowardsTheBall) {
  W.FreeBallOutOfPlay = 0;
  W.BallPos = {0.0f, 5.0f, 0.0f};
  W.FlightPos[2] = {0.0f, 0.1f, 20.0f};
  W.Teams[2].ChaserSlots[1] = 3;
  TPlayer& D = P2(3);
  D.RunningAngleReactionTime.value = 1.0f;
  struct Case {
    const char* what;
    TVector2 pos, spot;
    TVector2 expected;
  };
  const double step = 3.0 * kDt;
  const Case cases[] = {
      {"straight at the spot", {0.0f, 30.0f}, {0.0f, 25.0f}, {0.0f, ToF32(30.0 - step)}},
      {"the spot within a step", {0.0f, 25.05f}, {0.0f, 25.0f}, {0.0f, 25.0f}},
      {"x away from the landing point held", {2.0f, 30.0f}, {10.0f, 30.0f}, {2.0f, 30.0f}},
      {"z away from the landing point held", {0.0f, 0.05f}, {0.0f, -5.0f}, {0.0f, 0.05f}},
      {"never short of the ball: block 2 raised to it", {0.0f, -1.0f}, {0.0f, 10.0f}, {0.0f, 0.0f}},
  };
  for (const Case& c : cases) {
    Place(D, c.pos.x, c.pos.z);
    D.FreeBallWaitSpot = c.spot;
    D.RunningAngleReactionTime.value = 1.0f;
    W.FreeBallPlanTimer = 1.0f;
    DoFreeBall(W);
    EXPECT_NEAR(D.DesiredPos.x, c.expected.x, 1e-5) << c.what;
    EXPECT_NEAR(D.DesiredPos.z, c.expected.z, 1e-5) << c.what;
  }
}

// A rolling ball: eight points 0.04 s apart along the roll, timed from a
// flight clock set back to 0, rebuilt every 0.15 s of roll with a re-plan.
TEST_F(FreeBallUnitTest, RollingBallPointsEveryFourHundredthsRebuiltEveryFifteenHundredths) {
  W.LooseBallRolling = kTrue32;
  W.LooseBallSpeed = 2.0f;
  W.LooseBallHeading = 90.0f;  // up the pitch
  W.BallPos = {1.0f, 0.2f, 10.0f};
  W.BallFlightClock = 3.0f;
  W.FreeBallPointsTimer = 0;
  W.FreeBallKeyPoint = 1;
  DoFreeBall(W);
  EXPECT_EQ(W.BallFlightClock, 0.0f);
  EXPECT_EQ(W.FreeBallKeyPoint, 0);
  EXPECT_NEAR(W.FreeBallPointsTimer, 0.15, 1e-6);
  EXPECT_NEAR(W.FreeBallPlanTimer, 0.25, 1e-6) << "re-planned at once";
  for (int k = 1; k <= 8; ++k) {
    EXPECT_NEAR(W.FreeBallPoints[k].x, 1.0, 1e-5) << k;
    EXPECT_NEAR(W.FreeBallPoints[k].z, 10.0 + 2.0 * 0.04 * k, 1e-5) << k;
    EXPECT_NEAR(W.FreeBallPointTimes[k], 0.04 * k, 1e-6) << k;
    EXPECT_NEAR(W.FreeBallTimeLeft[k], 0.04 * k, 1e-6) << k;
  }
  // 0.15 s of roll is four more frames; the ball has rolled on meanwhile.
  for (int f = 1; f <= 3; ++f) {
    W.BallPos.z = ToF32(W.BallPos.z + 0.08);
    DoFreeBall(W);
    EXPECT_NEAR(W.FreeBallPoints[1].z, 10.08, 1e-5) << f;
  }
  W.BallPos.z = 11.0f;
  DoFreeBall(W);
  EXPECT_NEAR(W.FreeBallPoints[1].z, 11.08, 1e-5);
  EXPECT_NEAR(W.FreeBallPointsTimer, 0.15, 1e-6);
}

// Points of a high ball start at its current mark: the three marked steps
// (the first the key point), or fewer further on, then the path on from the
// landing every 0.125 s; a low ball's run every 0.05 s from the launch.
TEST_F(FreeBallUnitTest, FlightPointsFromTheMarkedStepsOrTheLaunch) {
  for (int k = 1; k <= 6; ++k) {
    W.FlightPos[k] = {static_cast<f32>(k), 5.0f, static_cast<f32>(10 * k)};
    W.FlightTimes[k] = 0.5f * k;
  }
  W.FlightVel[1] = {1.0f, 2.0f, 4.0f};
  W.FlightVel[6] = {2.0f, -3.0f, 8.0f};
  W.FlightDrop22Step = 3;
  W.FlightDrop145Step = 4;
  W.FlightLandingStep = 6;
  W.FlightSegments = 6;
  struct Case {
    const char* what;
    i32 mark;
    bool low;
    int marked;
    int steps[3];
  };
  for (const Case c : {Case{"from the first mark", 3, false, 3, {3, 4, 6}},
                       Case{"from the second mark", 4, false, 2, {4, 6, 0}},
                       Case{"from the landing", 6, false, 1, {6, 0, 0}}, Case{"a low ball", 6, true, 0, {}}}) {
    W.FreeBallPointsTimer = 0;
    W.FreeBallKeyPoint = 0;
    W.FlightFirstDropStep = c.mark;
    W.FlightNoDrop = c.low ? kTrue32 : kFalse32;
    W.BallFlightClock = 0.25f;
    DoFreeBall(W);
    EXPECT_NEAR(W.FreeBallPointsTimer, 10.0, 1e-6) << c.what;
    EXPECT_EQ(W.FreeBallKeyPoint, c.marked == 3 ? 1 : 0) << c.what;
    for (int k = 1; k <= c.marked; ++k) {
      const int step = c.steps[k - 1];
      EXPECT_EQ(W.FreeBallPoints[k].z, W.FlightPos[step].z) << c.what << k;
      EXPECT_EQ(W.FreeBallPointTimes[k], W.FlightTimes[step]) << c.what << k;
    }
    for (int k = c.marked + 1; k <= 8 && !c.low; ++k) {
      const double t = 0.125 * k;
      EXPECT_NEAR(W.FreeBallPoints[k].x, 6.0 + 2.0 * t, 1e-5) << c.what << k;
      EXPECT_NEAR(W.FreeBallPoints[k].z, 60.0 + 8.0 * t, 1e-4) << c.what << k;
      EXPECT_NEAR(W.FreeBallPointTimes[k], 3.0 + t, 1e-5) << c.what << k;
    }
    for (int k = 1; k <= 8 && c.low; ++k) {
      const double t = k == 8 ? 0.1 + 3.0 : 0.05 * k;
      EXPECT_NEAR(W.FreeBallPoints[k].z, 10.0 + 4.0 * t, 1e-4) << c.what << k;
      EXPECT_NEAR(W.FreeBallPointTimes[k], 0.5 + t, 1e-5) << c.what << k;
    }
    EXPECT_NEAR(W.FreeBallTimeLeft[1], W.FreeBallPointTimes[1] - 0.25, 1e-6) << c.what;
  }
  // The points stay until every one is behind the ball.
  W.FreeBallPointsTimer = 9.0f;
  W.BallFlightClock = 3.0f;
  DoFreeBall(W);
  EXPECT_EQ(W.FreeBallPointsTimer, 9.0f);
  W.BallFlightClock = 4.0f;
  DoFreeBall(W);
  W.BallFlightClock = 4.04f;
  DoFreeBall(W);
  EXPECT_NEAR(W.FreeBallPointsTimer, 10.0, 1e-6) << "all behind the ball: rebuilt";
}

// Slides and lunges: a kind 7 slide slows from 0.55 of its animation in
// either block; a tackler held by an opponent goes to that opponent's
// contact point, and keeps his lunge when the point names none of the eight.
TEST_F(FreeBallUnitTest, TackleSlidesAndLunges) {
  TPlayer& S = P2(3);
  S.GettingTackledTimer = 1.0f;
  S.GettingTackledKind = 7;
  S.GettingTackledAngle = 90.0f;
  TPlayer& T = P1(4);
  T.TackleAttemptTimer = 1.0f;
  T.TackleAttemptKind = 3.0f;
  T.TackleAttemptLungeFrame = 55.0f;
  T.TackleAttemptAngle = 0.0f;
  T.governedby = 2;
  P2(2).Footprint[2] = {7.0f, 9.0f};
  struct Case {
    f32 frame;
    i32 contactPoint;
    double slideSpeed, lungeSpeed;
    TVector2 lunge;
  };
  const double slowed = 5.0 - 0.5 * 9.81 * kDt;
  const double lungeSlowed = 4.0 - 0.5 * 9.81 * kDt;
  const Case cases[] = {
      {54.0f, 9, 5.0, 4.0, {ToF32(-16.0 - 4.0 * kDt), -40.0f}},
      {55.0f, 0, slowed, lungeSlowed, {ToF32(-16.0 - lungeSlowed * kDt), -40.0f}},
      {55.0f, 2, slowed, lungeSlowed, {7.0f, 9.0f}},
  };
  for (const Case& c : cases) {
    S.currentframe = c.frame;
    S.GettingTackledSpeed = 5.0f;
    T.currentframe = c.frame;
    T.TackleAttemptSpeed = 4.0f;
    T.ContactPoint = c.contactPoint;
    DoFreeBall(W);
    EXPECT_NEAR(S.GettingTackledSpeed, c.slideSpeed, 1e-5) << c.frame;
    EXPECT_NEAR(S.DesiredPos.z, S.Pos.z + c.slideSpeed * kDt, 1e-5) << c.frame;
    EXPECT_NEAR(T.TackleAttemptSpeed, c.lungeSpeed, 1e-5) << c.contactPoint;
    EXPECT_NEAR(T.DesiredPos.x, c.lunge.x, 1e-5) << c.contactPoint;
    EXPECT_NEAR(T.DesiredPos.z, c.lunge.z, 1e-5) << c.contactPoint;
  }
}

// Block 1 keeps a sweeper (player 15, or the first free player of its cover
// order when 15 chases) and two flank covers (the backs furthest out on each
// side) 30 m behind the ball, no deeper than the kick's release and at least
// 5 m in front of the own goal line.
TEST_F(FreeBallUnitTest, BlockOneSweeperAndCoversHoldTheBackField) {
  struct Case {
    const char* what;
    i32 chaser;  // block 1's second chaser
    TVector3 ball;
    f32 releaseZ;
    i16 sweeper, left, right;
    double sweeperX, leftX, rightX, z;
  };
  const Case cases[] = {
      {"15 sweeps, 9 and 14 cover", 3, {0.0f, 10.0f, 10.0f}, -25.0f, 15, 9, 14, 0.0, -17.5, 17.5, -25.0},
      {"15 chases: 14 sweeps", 15, {10.0f, 10.0f, 10.0f}, -15.0f, 14, 9, 13, 5.0, -12.5, 22.5, -20.0},
      {"never within 5 m of the own goal line", 3, {-20.0f, 10.0f, -30.0f}, 0.0f, 15, 9, 14, -10.0, -27.5, 7.5, -45.0},
  };
  for (const Case& c : cases) {
    SetUp();
    TTeamBlock& A = W.Teams[1];
    A.BackfieldOrder = {14, 11, 10, 12, 13, 9, 8, 0, 0, 0};
    A.ChaserSlots[1] = 2;
    A.ChaserSlots[2] = c.chaser;
    W.BallPos = c.ball;
    W.ReleasePos.z = c.releaseZ;
    DoFreeBall(W);
    EXPECT_EQ(A.DeepPlayerNumber, c.sweeper) << c.what;
    EXPECT_EQ(A.LeftEdgePlayer, c.left) << c.what;
    EXPECT_EQ(A.RightEdgePlayer, c.right) << c.what;
    EXPECT_NEAR(P1(c.sweeper).DesiredPos.x, c.sweeperX, 1e-5) << c.what;
    EXPECT_NEAR(P1(c.left).DesiredPos.x, c.leftX, 1e-5) << c.what;
    EXPECT_NEAR(P1(c.right).DesiredPos.x, c.rightX, 1e-5) << c.what;
    for (const i16 p : {c.sweeper, c.left, c.right}) EXPECT_NEAR(P1(p).DesiredPos.z, c.z, 1e-5) << c.what;
  }
  // Once chosen they stay, wherever the others go.
  P1(11).Pos.x = -34.0f;
  DoFreeBall(W);
  EXPECT_EQ(W.Teams[1].LeftEdgePlayer, 9);
}

// Block 2's covers: the non-chasers on either side of the ball nearest to
// 2.5 m beside where the ball is in 5 s; they stand 2.5 m either side of
// where it is in 3 s and 4.5 m behind, inside the touchlines and no deeper
// than 5 m beyond the goal line.
TEST_F(FreeBallUnitTest, BlockTwoCoversStandBesideAndBehindTheBall) {
  struct Case {
    const char* what;
    TVector3 ball;
    i32 chaser;
    i16 left, right;
    TVector2 leftAt, rightAt;
  };
  // The ball moves 10 m/s up the pitch; block 2 stands on z 40, x = 4p - 32.
  const Case cases[] = {
      {"nearest on each side", {0.0f, 10.0f, 10.0f}, 0, 7, 9, {-2.5f, 44.5f}, {2.5f, 44.5f}},
      {"a chaser is no cover", {0.0f, 10.0f, 10.0f}, 7, 8, 9, {-2.5f, 44.5f}, {2.5f, 44.5f}},
      {"held inside the touchline", {-34.0f, 10.0f, 10.0f}, 0, 1, 2, {-35.0f, 44.5f}, {-31.5f, 44.5f}},
      {"no deeper than the goal line + 5", {0.0f, 10.0f, 30.0f}, 0, 7, 9, {-2.5f, 55.0f}, {2.5f, 55.0f}},
  };
  for (const Case& c : cases) {
    SetUp();
    W.BallPos = c.ball;
    W.Teams[2].ChaserSlots[3] = c.chaser;
    P2(1).Pos.x = -35.0f;  // the only one on the touchline side of a ball at x -34
    DoFreeBall(W);
    EXPECT_EQ(W.Teams[2].LeftEdgePlayer, c.left) << c.what;
    EXPECT_EQ(W.Teams[2].RightEdgePlayer, c.right) << c.what;
    EXPECT_NEAR(P2(c.left).DesiredPos.x, c.leftAt.x, 1e-5) << c.what;
    EXPECT_NEAR(P2(c.left).DesiredPos.z, c.leftAt.z, 1e-5) << c.what;
    EXPECT_NEAR(P2(c.right).DesiredPos.x, c.rightAt.x, 1e-5) << c.what;
    EXPECT_NEAR(P2(c.right).DesiredPos.z, c.rightAt.z, 1e-5) << c.what;
  }
}

// Everybody else stands on his line slot at the depth of his block's shape
// round where the ball ends (or the rolling ball), shifted by the block's
// shape offset; block 1's offside players are held at their offside line;
// a player still reacting runs on up the pitch, the kicker's team-mates
// behind the ball a little quicker, and a low ball close by cuts a reaction
// short.
TEST_F(FreeBallUnitTest, LineDepthOffsideHoldAndReactionRun) {
  for (TTeamBlock& B : W.Teams) {
    B.CurrentStrategy.SegmentCount = 1;
    B.CurrentStrategy.Durations[1] = 20.0f;
    B.CurrentStrategy.StartValues[1] = 0.0f;
    B.CurrentStrategy.EndValues[1] = -10.0f;
  }
  W.Teams[1].DefenceLineOffset = -3.5f;
  W.Teams[1].DefenceLineAux = 1.0f;
  W.Teams[1].BallKicker = 10;
  W.BallPos = {0.0f, 1.0f, 10.0f};
  P1(2).LineSlot = {-10.0f, 0.0f};  // before the shape: its start
  P1(3).LineSlot = {11.0f, 0.0f};   // half-way along it
  P1(4).LineSlot = {-10.0f, 0.0f};
  P1(4).OffsideMark = 1.0f;
  P1(4).OffsideLineZ = 0.0f;
  P2(4).LineSlot = {-10.0f, 0.0f};
  P2(4).OffsideMark = 1.0f;
  P2(4).OffsideLineZ = 0.0f;
  P1(5).RunningAngleReactionTime.value = 0.5f;
  P2(5).RunningAngleReactionTime.value = 0.5f;
  Place(P2(6), 2.0f, 10.0f);
  P2(6).RunningAngleReactionTime.value = 0.05f;
  DoFreeBall(W);
  EXPECT_EQ(P1(2).DesiredPos.x, -10.0f);
  EXPECT_NEAR(P1(2).DesiredPos.z, 20.0 - 3.5, 1e-5);
  EXPECT_NEAR(P1(3).DesiredPos.z, 20.0 - 3.5 - 5.0, 1e-5);
  EXPECT_NEAR(P2(4).DesiredPos.z, 20.0, 1e-5) << "block 2 is not held";
  EXPECT_EQ(P1(4).DesiredPos.z, 0.0f);
  EXPECT_EQ(P1(5).DesiredPos.x, P1(5).Pos.x);
  EXPECT_NEAR(P1(5).DesiredPos.z, -40.0 + 3.0 * kDt + 4.0 * kDt * kDt, 1e-5);
  EXPECT_NEAR(P2(5).DesiredPos.z, 40.0 + 3.0 * kDt, 1e-5);
  EXPECT_NEAR(P2(6).RunningAngleReactionTime.value, 0.05 - 2 * kDt, 1e-6);
  EXPECT_NEAR(P2(6).DesiredPos.z, 20.0, 1e-5) << "no longer reacting: on his line";
  // A rolling ball is its own end point.
  W.LooseBallRolling = kTrue32;
  W.LooseBallSpeed = 0.0f;
  W.BallPos = {0.0f, 0.2f, 6.0f};
  DoFreeBall(W);
  EXPECT_NEAR(P1(2).DesiredPos.z, 6.0 - 3.5, 1e-5);
  EXPECT_FALSE(FloatErrorRaised());
}

// After a change of possession, block 2 falls back over its in-goal when
// block 1's chasers would meet the ball only beyond the dead-ball line (or,
// for a ball landing just short of the try line, beyond the try line) and
// one of block 2's chasers is nearer the ball than all of them by a margin.
TEST_F(FreeBallUnitTest, BlockTwoCoversItsInGoalWhenItIsNearerTheBall) {
  struct Case {
    const char* what;
    bool swapped;
    f32 landingZ;
    f32 reach;    // block 1's chaser, s
    f32 blockTwoZ;  // block 2's lead; block 1's chaser is 10 m from the ball
    bool covers;
  };
  const Case cases[] = {
      {"block 1 meets it in goal", true, 55.0f, 1.0f, 39.0f, false},
      {"block 1 too late, block 2 nearer by more than 0.25 m", true, 55.0f, 3.5f, 39.0f, true},
      {"block 2 nearer by less than 0.25 m", true, 55.0f, 3.5f, 39.9f, false},
      {"without a change of possession", false, 55.0f, 3.5f, 39.0f, false},
      {"short of the line: block 1 in time", true, 47.0f, 1.0f, 38.5f, false},
      {"short of the line: nearer by under 1.25 m", true, 47.0f, 2.5f, 39.0f, false},
      {"short of the line: nearer by over 1.25 m", true, 47.0f, 2.5f, 38.5f, true},
      {"landing further short", true, 44.0f, 2.5f, 38.5f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.BlocksSwapped = c.swapped ? kTrue32 : kFalse32;
    W.FlightPos[1] = {0.0f, 10.0f, 30.0f};
    W.FlightPos[2] = {0.0f, 0.1f, c.landingZ};
    W.BallPos = W.FlightPos[1];
    W.Teams[1].ChaserSlots[1] = 3;
    Place(P1(3), 0.0f, 20.0f);
    P1(3).FreeBallReachTime = c.reach;
    W.Teams[2].ChaserSlots[1] = 4;
    W.Teams[2].ChaserSlots[2] = 7;
    Place(P2(4), 0.0f, c.blockTwoZ);
    P2(4).InterceptX = 0.0f;
    P2(4).InterceptZ = 35.0f;
    DoFreeBall(W);
    if (c.covers) {
      EXPECT_NEAR(P2(4).DesiredPos.z, 30.0 - 0.25 - 1.5, 1e-5) << c.what;
      EXPECT_NEAR(P2(7).DesiredPos.z, 30.0 - 0.25 - 3.0, 1e-5) << c.what;
      EXPECT_NEAR(P2(7).DesiredPos.x, 0.0, 1e-5) << c.what;
    } else {
      EXPECT_EQ(P2(4).DesiredPos.z, 35.0f) << c.what;
    }
  }
}

}  // namespace
