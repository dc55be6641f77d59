#include "motion/PassRelease.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"
#include "motion/DelayPlayersUnit.h"

namespace {

constexpr int kCarrier = 10;
constexpr int kReceiver = 12;

// The scene, in the look-ahead: block 1 in running, its player 10 carrying
// the ball (1 m up) at the centre spot; the receiver 5 m to his left (-x)
// and 1 m behind, standing, facing heading 10 (away across the pitch, a
// little forward). Everyone else is far away, over 100 m across the pitch:
// block 1 500 m behind, block 2 500 m ahead. Top speeds 8 m/s, pass speed 12 m/s, 100 candidates.
TWorld W;

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
TPlayer& Receiver() { return W.Teams[1].Players[kReceiver]; }
TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }
TThrowTarget& Entry(int j) { return W.Teams[1].ThrowTargets.Entries[j]; }

f32 Facing(double heading) { return static_cast<f32>((heading + 90.0) * kDegToRad); }

void MakeScene() {
  MakeOpenPlayPitch(W);
  RandSeed = 33;
  W.Gravity = 9.81f;
  W.ThrowTargetCount = 100;
  W.TimeSinceSetPiece = 100.0f;
  W.Team1InFirstBlock = kTrue32;
  for (bool32& f : W.MessageSlotFree) f = kTrue32;
  BuildActionSeqTemplates(W);
  for (int b = 1; b <= 2; ++b) {
    W.Teams[b].teamid = 100 + b;
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      Place(P, static_cast<f32>(100 + p), b == 1 ? -500.0f : 500.0f);
      P.id = 1000 * b + p;
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.Height = 1.8f;
      P.FacingAngle = Facing(90.0);
      P.maxpassspeed = 12.0f;
      P.maxpassspeed2 = 20.0f;
      P.AnimRate = 25.0f;
      P.maxframes = 50.0f;
      SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0.0, 0.5);
      SetDistribution(P.RunningAngleReactionTime, 0.2, 0.05, 0.1, 0.3);
    }
  }
  SetDistribution(W.PassDrawParams, 0.15, 0.1, 0.075, 0.4);
  Side().BallCarrier = kCarrier;
  Side().PassReceiver = kReceiver;
  Side().PassKind = 2;
  Side().PasserSpeedRef = 8.0f;
  Place(Carrier(), 0.0f, 0.0f);
  Carrier().MetresRun = 12.5f;
  W.BallPos = {0.0f, 1.0f, 0.0f};
  Place(Receiver(), -5.0f, -1.0f);
  Receiver().FacingAngle = Facing(10.0);
}

// Runs the release and checks that it raised no floating-point error;
// returns the number of draws it took.
int ReleaseDraws() {
  const u32 seed = RandSeed;
  std::feclearexcept(FE_ALL_EXCEPT);
  ReleasePass(W);
  EXPECT_FALSE(FloatErrorRaised());
  return DrawsSince(seed);
}

int CountMessages(u8 code) {
  int n = 0;
  for (int k = 1; k <= 10; ++k)
    if (W.MessageSlotFree[k] == kFalse32 && W.MessageQueue[k].message == code) ++n;
  return n;
}

const TMatchMessage* FindMessage(u8 code) {
  for (int k = 1; k <= 10; ++k)
    if (W.MessageSlotFree[k] == kFalse32 && W.MessageQueue[k].message == code) return &W.MessageQueue[k];
  return nullptr;
}

// A candidate of the table from the carrier at the origin (ball 1 m up).
TThrowTarget Candidate(f32 x, f32 z, f32 time, f32 vy) {
  const double t = time;
  return {static_cast<f32>(x / t), vy, static_cast<f32>(z / t), x, 1.2f, z, time, kTrue32};
}

void ClearTable() {
  for (TThrowTarget& e : Side().ThrowTargets.Entries) e = {};
}

class PassReleaseTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeScene(); }
  void TearDown() override { MoveBooks[1].HoldTimer = 0.0f; }
};

// ------------------------------------------------------------------ the search

TEST_F(PassReleaseTest, ForwardAndLoftedCandidatesAreDropped) {
  struct Case {
    const char* what;
    TThrowTarget entry;
    bool kept;
  };
  const f32 nan = std::nanf("");
  const Case cases[] = {
      {"level with the ball", Candidate(-5.0f, 0.0f, 0.5f, 2.0f), true},
      {"0.0249 m ahead", Candidate(-5.0f, 0.0249f, 0.5f, 2.0f), true},
      {"0.0251 m ahead: forward", Candidate(-5.0f, 0.0251f, 0.5f, 2.0f), false},
      {"target z not a number", Candidate(-5.0f, nan, 0.5f, 2.0f), false},
      {"3 m, vy 6.0 (limit 6.3)", Candidate(-3.0f, 0.0f, 0.5f, 6.0f), true},
      {"1.5 m, vy 6.0 (limit 5.9)", Candidate(-1.5f, 0.0f, 0.5f, 6.0f), false},
      {"1.5 m, vy 5.4 is always allowed", Candidate(-1.5f, 0.0f, 0.5f, 5.4f), true},
      {"7 m, vy 7.7", Candidate(-7.0f, 0.0f, 0.5f, 7.7f), true},
      {"7 m, vy 7.8", Candidate(-7.0f, 0.0f, 0.5f, 7.8f), false},
      {"12 m, vy 8.7", Candidate(-12.0f, 0.0f, 0.5f, 8.7f), true},
      {"12 m, vy 8.8", Candidate(-12.0f, 0.0f, 0.5f, 8.8f), false},
  };
  for (const Case& c : cases) {
    ClearTable();
    Entry(1) = c.entry;
    FilterThrowTargets(W, Carrier());
    EXPECT_EQ(Entry(1).Valid != kFalse32, c.kept) << c.what;
  }
  // The carrier's accuracy bonus moves the forward limit.
  ClearTable();
  Entry(1) = Candidate(-5.0f, 0.1f, 0.5f, 2.0f);
  Carrier().PassAccuracyBonus = 0.1f;
  FilterThrowTargets(W, Carrier());
  EXPECT_NE(Entry(1).Valid, kFalse32);
}

TEST_F(PassReleaseTest, ReceiverRunningAwaySquareKeepsOnlyTargetsLevelWithTheBall) {
  // Level with the carrier, running away across the pitch a little forward:
  // the early points stay within 0.025 m of the ball's z, the rest go.
  Place(Receiver(), -5.0f, 0.0f);
  const TPassSearch S = PassSearchFor(W, Carrier());
  ThrowTargetsAlongRun(-5.0f, 0.0f, 1.17f, 0.0f, 4.0f, 6.0f, 1.0f, 0.0f, 0.0f, 1.0f, S.Limit, 5.0f, 100,
                       Side().ThrowTargets);
  int before = 0, after = 0;
  for (const TThrowTarget& e : Side().ThrowTargets.Entries) before += e.Valid != kFalse32;
  FilterThrowTargets(W, Carrier());
  for (const TThrowTarget& e : Side().ThrowTargets.Entries)
    if (e.Valid != kFalse32) {
      ++after;
      EXPECT_LE(e.z, 0.025f);
    }
  EXPECT_GT(after, 0);
  EXPECT_LT(after, before);
}

TEST_F(PassReleaseTest, ReachOfAReceiverBehindRunningForwardEndsAMetreAheadOfTheCarrier) {
  Place(Receiver(), -5.0f, -4.0f);
  Side().ReceiverRunAngle = 60.0f;
  Side().ReceiverRunSpeed = 6.0f;
  const TPassSearch S = PassSearchFor(W, Carrier());
  const f32 reach = PassReach(W, Carrier(), Receiver(), S);
  const TDirection u = HeadingDirection(60.0);
  EXPECT_NEAR(-4.0 + u.z * reach, 1.0, 1e-4);
  // In passing the limit does not apply: speed x flight estimate x 1.2.
  W.gamestate = gsPassing;
  const double flight = Distance2D(-5.0f, -4.0f, 0.0f, 0.0f) / 12.0;
  EXPECT_NEAR(PassReach(W, Carrier(), Receiver(), S), 6.0 * flight * 1.2, 1e-4);
  // A long pass reaches twice as far plus 7.5 m.
  Carrier().ActionSeq.seqON = kTrue32;
  Carrier().ActionSeq.CurrEventIndex = 1;
  Carrier().ActionSeq.EventArray[1].LongPass = kTrue32;
  const TPassSearch L = PassSearchFor(W, Carrier());
  EXPECT_TRUE(L.LongPass);
  EXPECT_EQ(L.Limit, 20.0f);
  EXPECT_NEAR(PassReach(W, Carrier(), Receiver(), L), 2.0 * 6.0 * (Distance2D(-5.0f, -4.0f, 0.0f, 0.0f) / 20.0) + 7.5,
              1e-4);
}

TEST_F(PassReleaseTest, AThrowOfAtMostThreeTenthsAndAHalfSecondsIsNeverChosen) {
  ClearTable();
  Entry(1) = Candidate(-4.0f, 0.0f, 0.35f, 2.0f);
  Entry(2) = Candidate(-5.0f, 0.0f, 0.5f, 2.0f);
  const TPassSearch S = PassSearchFor(W, Carrier());
  ASSERT_TRUE(ChooseThrow(W, Carrier(), S));
  EXPECT_EQ(Side().ThrowTargets.Chosen, 2);
  // Alone, it is no throw at all: the try fails.
  ClearTable();
  Entry(1) = Candidate(-4.0f, 0.0f, 0.35f, 2.0f);
  EXPECT_FALSE(ChooseThrow(W, Carrier(), S));
  Side().ThrowTargets.Chosen = 1;
  Carrier().ActionSeq.seqON = kTrue32;
  Carrier().ActionSeq.CurrEventIndex = 1;
  Carrier().ActionSeq.EventArray[1].LongPass = kTrue32;
  EXPECT_FALSE(ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier())));
}

TEST_F(PassReleaseTest, TooFastThrowsFailUnlessDragBringsThemUnderTheLimit) {
  // Limit 0.7 x 12 = 8.4 m/s (0.5 x 12 = 6 for an offload).
  struct Case {
    const char* what;
    f32 x, time;
    bool offload, chosen;
  };
  const Case cases[] = {
      {"8 m/s", -4.0f, 0.5f, false, true},
      {"10 m/s over 0.5 s: 10 / 1.25 = 8", -5.0f, 0.5f, false, true},
      {"10 m/s over 0.36 s: 10 / 1.18", -3.6f, 0.36f, false, false},
      {"8 m/s in an offload", -4.0f, 0.5f, true, false},
      {"5 m/s in an offload", -2.5f, 0.5f, true, true},
  };
  for (const Case& c : cases) {
    ClearTable();
    Entry(1) = Candidate(c.x, 0.0f, c.time, 2.0f);
    Carrier().OffloadPending = c.offload ? 10.0f : 0.0f;
    EXPECT_EQ(ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier())), c.chosen) << c.what;
  }
}

TEST_F(PassReleaseTest, LongPassTakesTheFurthestPointInsideTheFieldLessFortyCentimetres) {
  Carrier().ActionSeq.seqON = kTrue32;
  Carrier().ActionSeq.CurrEventIndex = 1;
  Carrier().ActionSeq.EventArray[1].LongPass = kTrue32;
  Carrier().Pos = {30.0f, 0.0f, 55.0f};
  W.BallPos = {30.0f, 1.0f, 55.0f};
  const TPassSearch S = PassSearchFor(W, Carrier());
  struct Case {
    const char* what;
    TThrowTarget furthest;
    int chosen;
  };
  // Entry 1 (z 50) and entry 2 (z 52) are inside; entry 3 is the furthest.
  const Case cases[] = {
      {"inside: the furthest", {-10, 2, 1, 33.0f, 1.2f, 54.0f, 0.5f, kTrue32}, 3},
      {"0.399 m from touch", {-10, 2, 1, 34.601f, 1.2f, 54.0f, 0.5f, kTrue32}, 2},
      {"beyond touch", {-10, 2, 1, 36.0f, 1.2f, 54.0f, 0.5f, kTrue32}, 2},
      {"0.399 m short of the dead-ball line", {-10, 2, 1, 33.0f, 1.2f, 59.601f, 0.5f, kTrue32}, 2},
  };
  W.TimeSinceSetPiece = 1.0f;  // no risk check
  for (const Case& c : cases) {
    ClearTable();
    Entry(1) = {-10, 2, 1, 30.0f, 1.2f, 50.0f, 0.5f, kTrue32};
    Entry(2) = {-10, 2, 1, 31.0f, 1.2f, 52.0f, 0.5f, kTrue32};
    Entry(3) = c.furthest;
    ASSERT_TRUE(ChooseThrow(W, Carrier(), S)) << c.what;
    EXPECT_EQ(Side().ThrowTargets.Chosen, c.chosen) << c.what;
  }
  // The nearest mode takes entry 1.
  Carrier().ActionSeq.EventArray[1].LongPass = kFalse32;
  ClearTable();
  Entry(1) = {-10, 2, 1, 30.0f, 1.2f, 50.0f, 0.5f, kTrue32};
  Entry(2) = {-10, 2, 1, 31.0f, 1.2f, 52.0f, 0.5f, kTrue32};
  ASSERT_TRUE(ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier())));
  EXPECT_EQ(Side().ThrowTargets.Chosen, 1);
}

TEST_F(PassReleaseTest, RiskCheckSwapsForTheNextPointOverADefenderExceptAfterASetPieceOrForKindSix) {
  // A defender 2.5 m along the pass and 0.8 m off it reaches the line in
  // 0.2 s, before the ball (0.25 s): entry 1 flies under his height, the
  // lofted entry 2 over it. A second defender with no speed at all must not
  // divide by zero.
  Place(Defender(3), -2.5f, 0.8f);
  Defender(3).Height = 1.7f;
  Place(Defender(4), 20.0f, 20.0f);
  Defender(4).maxspeed = 0.0f;
  struct Case {
    const char* what;
    f32 sinceSetPiece;
    i32 kind;
    int chosen;
  };
  const Case cases[] = {
      {"open play", 100.0f, 2, 2},
      {"3.7 s after a set piece", 3.7f, 2, 1},
      {"3.75 s after a set piece", 3.75f, 2, 2},
      {"kind 6", 100.0f, 6, 1},
  };
  for (const Case& c : cases) {
    ClearTable();
    Entry(1) = Candidate(-5.0f, 0.0f, 0.5f, 2.85f);
    Entry(2) = Candidate(-6.0f, 0.0f, 0.6f, 6.0f);
    W.TimeSinceSetPiece = c.sinceSetPiece;
    Side().PassKind = c.kind;
    std::feclearexcept(FE_ALL_EXCEPT);
    ASSERT_TRUE(ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier()))) << c.what;
    EXPECT_FALSE(FloatErrorRaised()) << c.what;
    EXPECT_EQ(Side().ThrowTargets.Chosen, c.chosen) << c.what;
    EXPECT_EQ(Side().ThrowTargets.FirstChosen, 1) << c.what;
  }
  // In open play the first point scored the defender's lead, 0.05 s.
  ClearTable();
  Entry(1) = Candidate(-5.0f, 0.0f, 0.5f, 2.85f);
  W.TimeSinceSetPiece = 100.0f;
  Side().PassKind = 2;
  ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier()));
  EXPECT_NEAR(Side().ThrowTargets.BestRiskScore, -0.05, 1e-4);
  // A busy defender is no threat.
  Defender(3).OldTackleTimer = 1.0f;
  ChooseThrow(W, Carrier(), PassSearchFor(W, Carrier()));
  EXPECT_EQ(Side().ThrowTargets.BestRiskScore, 0.0f);
}

// ------------------------------------------------------------------ the release

TEST_F(PassReleaseTest, ReleaseStartsPassingAndArmsTheFlight) {
  ReleaseDraws();
  const TTeamBlock& A = Side();
  ASSERT_EQ(W.gamestate, gsPassing);
  const TThrowTarget& e = A.ThrowTargets.Entries[A.ThrowTargets.Chosen];
  EXPECT_NE(e.Valid, kFalse32);
  EXPECT_EQ(W.PassingPhase, 1);
  EXPECT_EQ(A.BallCarrier, 0);
  EXPECT_EQ(A.Passer, kCarrier);
  EXPECT_EQ(W.LastPasser, kCarrier);
  EXPECT_EQ(A.PassFlightLeft, e.Time);
  EXPECT_EQ(A.PassFlightTotal, e.Time);
  EXPECT_EQ(A.PassCountdown, A.PassFlightLeft);
  EXPECT_GT(e.Time, 0.35f);
  EXPECT_LE(e.z, 0.025f);
  EXPECT_LE(A.ReceiverReaimTimer, 0.99f * A.PassFlightLeft);
  EXPECT_EQ(W.ReleasePos.x, 0.0f);
  EXPECT_NEAR(W.ReleasePos.z, 0.1025, 1e-6);
  EXPECT_NE(W.PassDrawSet, kFalse32);
  // The ground point: where the throw falls to the ground from 1 m up.
  const double t = A.PassGroundTime;
  EXPECT_NEAR(1.0 + W.PassVel.y * t - 0.5 * 9.81 * t * t, 0.0, 1e-4);
  EXPECT_NEAR(A.PassGroundPoint.x, W.PassVel.x * t, 1e-4);
  // Messages in running: pass (receiver), carry end, running metres.
  const TMatchMessage* pass = FindMessage(msgPass);
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->extravalue, static_cast<f32>(kReceiver));
  EXPECT_EQ(pass->playerID, Carrier().id);
  EXPECT_EQ(pass->teamID, 101);
  EXPECT_EQ(CountMessages(msgCarryEnd), 1);
  ASSERT_NE(FindMessage(msgRunningMetres), nullptr);
  EXPECT_EQ(FindMessage(msgRunningMetres)->extravalue, 12.5f);
  // The receiver runs to the target; defenders read the pass.
  EXPECT_EQ(Receiver().DesiredPos.x, A.PassLaunch.x);
  EXPECT_EQ(Receiver().desiredspeed, A.ReceiverRunSpeed);
  EXPECT_GT(Defender(1).PassReadTimer, 0.0f);
}

TEST_F(PassReleaseTest, LookAheadPassFliesExactlyAlongTheChosenThrowAndMatchPassDrawsItsError) {
  for (TPlayer& P : Side().Players) {
    P.passAccuracySDDir = 3.0f;
    P.passAccuracySDLaunch = 3.0f;
  }
  const u32 seed = RandSeed;
  const int lookAheadDraws = ReleaseDraws();
  const TTeamBlock& A = Side();
  const TThrowTarget e = A.ThrowTargets.Entries[A.ThrowTargets.Chosen];
  EXPECT_EQ(W.PassVel.x, e.vx);
  EXPECT_EQ(W.PassVel.y, e.vy);
  EXPECT_EQ(W.PassVel.z, e.vz);
  EXPECT_EQ(A.PassLaunch.x, e.x);
  EXPECT_EQ(A.PassLaunch.z, e.z);
  // The same release in the match world draws the error and moves the ball.
  MakeScene();
  for (TPlayer& P : Side().Players) {
    P.passAccuracySDDir = 3.0f;
    P.passAccuracySDLaunch = 3.0f;
  }
  W.LiveWorld = kTrue32;
  RandSeed = seed;
  const int matchDraws = ReleaseDraws();
  EXPECT_GT(matchDraws, lookAheadDraws);
  EXPECT_EQ(A.ThrowTargets.Entries[A.ThrowTargets.Chosen].vx, e.vx);
  EXPECT_NE(W.PassVel.x, e.vx);
  EXPECT_EQ(Receiver().DesiredPos.x, A.PassLaunch.x);
}

TEST_F(PassReleaseTest, NoTargetInTwentyTriesLeavesTheBallWithTheCarrier) {
  Carrier().maxpassspeed = 0.5f;  // no throw is fast enough
  ReleaseDraws();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(Side().BallCarrier, kCarrier);
  EXPECT_EQ(CountMessages(msgPass), 0);
  EXPECT_NE(W.PassDrawSet, kFalse32);  // the set-up ran
}

TEST_F(PassReleaseTest, ReceiverOrCarrierNamingNoPlayerReleasesNothing) {
  for (i32 bad : {0, -1, 16, 26}) {
    MakeScene();
    Side().PassReceiver = bad;
    EXPECT_EQ(ReleaseDraws(), 0) << bad;
    EXPECT_EQ(W.gamestate, gsRunning) << bad;
  }
  MakeScene();
  Side().BallCarrier = 30;
  EXPECT_EQ(ReleaseDraws(), 0);
}

TEST_F(PassReleaseTest, PassOutOfARuckAlwaysSpiralsAndReleasesTheBreakdown) {
  // Kind 1 has a spiral chance of 0 per mille.
  Side().PassKind = 1;
  ReleaseDraws();
  ASSERT_EQ(W.gamestate, gsPassing);
  EXPECT_EQ(W.PassSpiral, kFalse32);
  MakeScene();
  Side().PassKind = 1;
  TPlayer& bound = W.Teams[1].Players[4];
  bound.RuckTimer = 2.0f;
  bound.RuckRole = 3.0f;
  Side().PackSpots.OccupantB[1] = 4;
  TPlayer& tackled = W.Teams[2].Players[6];
  tackled.GettingTackledTimer = 1.0f;
  tackled.GettingTackledKind = 2.0f;
  tackled.GettingTackledFacing = 33.0f;
  tackled.governedby = 5;
  W.Teams[2].PressureTimerA = 1.0f;
  ReleaseDraws();
  ASSERT_EQ(W.gamestate, gsPassing);
  EXPECT_NE(W.PassSpiral, kFalse32);
  EXPECT_EQ(bound.RuckTimer, 0.0f);
  EXPECT_GT(bound.RuckTimer2, 0.0f);
  EXPECT_EQ(bound.RuckTimer2, Side().PackSpots.ReleaseDelay[1]);
  EXPECT_EQ(tackled.GettingTackledTimer, 0.0f);
  EXPECT_EQ(tackled.governedby, 0);
  EXPECT_EQ(tackled.GroundPosture, 2);
  EXPECT_EQ(tackled.OldTackleFacing, 33.0f);
  EXPECT_NEAR(tackled.OldTackleTimer, bound.RuckTimer2 + 0.25, 1e-6);
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_NEAR(W.ReleasePos.z, 0.2025, 1e-6);
}

TEST_F(PassReleaseTest, OffloadPostsItsMessageOnlyWhenThePassTimerHadRunOut) {
  struct Case {
    const char* what;
    f32 passtimer, offload;
    bool message;
  };
  const Case cases[] = {
      {"offload decided before, pass timer run out", 0.0f, 10.0f, true},
      {"tackled with the pass timer running: offload now", 1.0f, 0.0f, false},
  };
  for (const Case& c : cases) {
    MakeScene();
    TPlayer& C = Carrier();
    C.passtimer = c.passtimer;
    C.OffloadPending = c.offload;
    C.GettingTackledTimer = 1.0f;
    C.GettingTackledFacing = 90.0f;  // facing into a tackle from ahead
    W.Teams[2].TackleHeading = 270.0f;
    W.Teams[2].TackleSpeed = 5.0f;
    W.Teams[2].TackleMass = 180.0f;
    TPlayer& front = Defender(2);  // holds him at the impact
    front.governedby = kCarrier;
    front.ContactPoint = 7;
    TPlayer& side = Defender(3);  // away from it
    side.governedby = kCarrier;
    side.ContactPoint = 3;
    TPlayer& stray = Defender(4);  // a contact point naming no slot
    stray.governedby = kCarrier;
    stray.ContactPoint = 0;
    ReleaseDraws();
    ASSERT_EQ(W.gamestate, gsPassing) << c.what;
    EXPECT_EQ(FindMessage(msgOffload) != nullptr, c.message) << c.what;
    EXPECT_EQ(FindMessage(msgPass) != nullptr, c.offload == 0.0f) << c.what;
    if (c.message) {
      EXPECT_EQ(W.PassSpiral, kFalse32) << c.what;
    }
    EXPECT_EQ(C.OffloadPending, 0.0f) << c.what;
    EXPECT_EQ(C.passtimer, 0.0f) << c.what;
    // Momentum capped at 3 m/s; facing against it he falls back (kind 7).
    EXPECT_EQ(C.ImpactSpeed, 3.0f) << c.what;
    EXPECT_EQ(C.GettingTackledKind, 7.0f) << c.what;
    EXPECT_EQ(W.Teams[2].CarrierFallsForward, kFalse32) << c.what;
    EXPECT_GE(C.GettingTackledTimer, 0.45f) << c.what;
    EXPECT_LE(C.GettingTackledTimer, 0.55f) << c.what;
    // Heading 270 is -z: circle point 7, with 6 and 8 at the impact.
    EXPECT_EQ(W.Teams[2].ImpactSlot, 7) << c.what;
    for (int k = 1; k <= 8; ++k)
      EXPECT_EQ(W.Teams[2].ImpactSlotFree[k], (k >= 6 ? 0 : -1)) << c.what << " slot " << k;
    EXPECT_EQ(front.TackleAttemptKind, 6.0f) << c.what;
    EXPECT_TRUE(front.currentAnim == "divetacklefallback") << c.what;
    EXPECT_EQ(side.TackleAttemptKind, 5.0f) << c.what;
    EXPECT_EQ(stray.TackleAttemptKind, 5.0f) << c.what;
    EXPECT_GE(side.GroundTime, 0.05f) << c.what;
    EXPECT_EQ(side.TackleAttemptTimer, C.GettingTackledTimer) << c.what;
  }
}

TEST_F(PassReleaseTest, SupportCallsByWhoIsNearTheReceiver) {
  struct Case {
    const char* what;
    f32 mateX;  // a team-mate at the receiver's z; 500 m away for none
    f32 passerX;
    bool passerCalled;
    u16 side;
    bool mateCalled;
  };
  const Case cases[] = {
      {"nobody within 5.5 m: the passer, side 0", 500.0f, 0.0f, true, 0, false},
      {"one to the receiver's right, passer right of him", -3.0f, 0.0f, true, 1, true},
      {"one to the receiver's left, passer right of him", -8.0f, 0.0f, true, 2, false},
      {"one to his left, passer within 4 m: withdrawn", -8.0f, -2.0f, false, 2, false},
  };
  for (const Case& c : cases) {
    MakeScene();
    Place(Carrier(), c.passerX, 0.0f);
    W.BallPos = {c.passerX, 1.0f, 0.0f};
    Place(W.Teams[1].Players[5], c.mateX, -1.0f);
    ReleaseDraws();
    ASSERT_EQ(W.gamestate, gsPassing) << c.what;
    EXPECT_EQ(Carrier().SupportRunCall != kFalse32, c.passerCalled) << c.what;
    EXPECT_EQ(Carrier().SupportSide, c.side) << c.what;
    EXPECT_EQ(W.Teams[1].Players[5].SupportRunCall != kFalse32, c.mateCalled) << c.what;
  }
}

TEST_F(PassReleaseTest, PasserRunsOnForTheRestOfHisAnimation) {
  TPlayer& C = Carrier();
  C.OldPos = {0.0f, 0.0f, -0.2f};  // 5 m/s up-field
  C.currentframe = 25.0f;           // 1 s left at 25 frames a second
  ReleaseDraws();
  ASSERT_EQ(W.gamestate, gsPassing);
  const TActionEvent& E = C.ActionSeq.EventArray[1];
  EXPECT_NEAR(E.DesSpeed, 5.0, 1e-4);
  EXPECT_NEAR(E.DistOrig, 5.0, 1e-3);
  EXPECT_NEAR(E.Angle, 90.0, 1e-4);
  // In a sequence: the current event, 0.9 x his speed, at most 0.75 x
  // PasserSpeedRef; an animation with no rate counts 0.01 s.
  MakeScene();
  TPlayer& D = Carrier();
  D.OldPos = {0.0f, 0.0f, -0.2f};
  D.ActionSeq = StrategyParams.ActionSeqTemplate;
  D.ActionSeq.seqON = kTrue32;
  D.ActionSeq.NumEvents = 2;
  D.ActionSeq.CurrEventIndex = 2;
  D.ActionSeq.EventArray[2].DistTravelled = 3.0f;
  D.AnimRate = 0.0f;
  Side().PasserSpeedRef = 4.0f;
  ReleaseDraws();
  ASSERT_EQ(W.gamestate, gsPassing);
  const TActionEvent& F = D.ActionSeq.EventArray[2];
  EXPECT_EQ(F.DistTravelled, 0.0f);
  EXPECT_NEAR(F.DesSpeed, 3.0, 1e-5);
  EXPECT_NEAR(F.DistOrig, 0.03, 1e-6);
}

TEST_F(PassReleaseTest, SetPieceReceiverRunsTheMoveScriptInTheMatchWorld) {
  struct Case {
    u16 option;
    i32 code, subType;
  };
  const Case cases[] = {{3, 1, 0}, {4, 2, 0}, {5, 3, 0}, {6, 4, 5}, {7, 0, 0}};
  for (const Case& c : cases) {
    MakeScene();
    W.LiveWorld = kTrue32;
    W.TimeSinceSetPiece = 2.0f;
    Side().PlayOption = c.option;
    ReleaseDraws();
    const TActionEvent& E = Receiver().ActionSeq.EventArray[1];
    EXPECT_EQ(E.EventType, 5) << c.option;
    EXPECT_EQ(E.EventCode, c.code) << c.option;
    EXPECT_EQ(E.EventSubType, c.subType) << c.option;
    EXPECT_NEAR(E.DesSpeed, 1.2, 1e-6) << c.option;
    EXPECT_EQ(Receiver().ActionSeq.Mode, 2) << c.option;
    EXPECT_EQ(MoveBooks[1].HoldTimer, 50.0f) << c.option;
    if (c.option == 7) {
      EXPECT_EQ(E.RangeLow, 30.0f);
      EXPECT_EQ(E.AimAngle, 175.0f);
    }
    MoveBooks[1].HoldTimer = 0.0f;
  }
  // Not in the look-ahead.
  MakeScene();
  W.TimeSinceSetPiece = 2.0f;
  Side().PlayOption = 3;
  ReleaseDraws();
  EXPECT_EQ(MoveBooks[1].HoldTimer, 0.0f);
  EXPECT_NE(Receiver().ActionSeq.EventArray[1].EventType, 5);
}

TEST_F(PassReleaseTest, TimerStepReleasesWhenPassTimeRunsOutWithoutAllocating) {
  Side().PassTimeLeft = 0.03f;
  std::feclearexcept(FE_ALL_EXCEPT);
  StartCountingAllocations();
  DelayPlayers(W);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_EQ(W.gamestate, gsPassing);
  EXPECT_EQ(Side().BallCarrier, 0);
}

}  // namespace
