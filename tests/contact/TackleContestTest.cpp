#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "AllocationCounter.h"
#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "contact/BreakMoves.h"
#include "contact/ContactSteps.h"
#include "contact/TackleContest.h"
#include "core/Advantage.h"
#include "core/AuxState.h"
#include "core/DrawCount.h"
#include "core/Geometry.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"

namespace {

TWorld W;

constexpr int kCarrier = 10;
constexpr int kTackler = 4;
constexpr f32 kPi = static_cast<f32>(std::numbers::pi);

// Running play on a 100 x 70 pitch with 15 a side: block 1's player 10
// carries the ball at the centre spot, facing +z and standing; everyone else
// stands 40 m or more away, block 1 behind him, block 2 ahead. All players
// weigh 90 kg; every message slot is free.
// The move books and the strategy table live outside the world: tests that
// write them get them back as they were.
class TackleContestTest : public ::testing::Test {
 protected:
  static inline f32 SavedSinceSample;
  static inline TStrategyParams SavedParams;
  static void SetUpTestSuite() {
    SavedSinceSample = MoveBooks[1].TimeSinceSample;
    SavedParams = StrategyParams;
  }
  void TearDown() override {
    MoveBooks[1].TimeSinceSample = SavedSinceSample;
    StrategyParams = SavedParams;
  }

  void SetUp() override {
    MakeSmallWorld(W, {.InGoals = true, .Frame = true, .LastFrame = true});
    RandSeed = 4242;
    W.gamestate = gsRunning;
    W.LiveWorld = kTrue32;
    for (bool32& f : W.MessageSlotFree) f = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 100 * b;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.id = 100 * b + p;
        P.Weight = 90.0f;
        PutAt(P, static_cast<f32>(4 * p - 32), b == 1 ? -40.0f : 40.0f);
        P.FacingAngle = b == 1 ? kPi : 0.0f;
        P.maxspeed = 8.0f;
        P.MaxSpeedNonFatigued = 8.0f;
        P.BallSecurity = 500;
        P.MakeTackleProb = 500;
      }
    }
    W.Teams[1].BallCarrier = kCarrier;
    TPlayer& C = Carrier();
    PutAt(C, 0.0f, 0.0f);
    C.TacklerCountValue = 1.0f;
    C.Footprint = PointsOnCircle(0.0f, 0.0f, 0.4f);
    C.HoldBallOnContactProb = 1000;
    C.BreakTackleProb = 500;
    C.BreakTackleProb2 = 500;
    C.fend = 500;
    C.ElusivenessProb = 500;
  }

  static TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
  static TPlayer& Defender(int p = kTackler) { return W.Teams[2].Players[p]; }

  // The carrier runs straight up the pitch at v m/s over the last frame.
  static void CarrierRuns(f32 v) {
    TPlayer& C = Carrier();
    C.OldPos = {C.Pos.x, 0.0f, C.Pos.z - v * W.PrevTimeStep};
    C.speed = v;
    C.Velocity = {0.0f, v};
    C.MeasuredSpeed = v;
  }

  // Defender p stands at (x, z) on his way to the carrier, already launched.
  static TPlayer& Launched(f32 x, f32 z, int p = kTackler) {
    TPlayer& D = Defender(p);
    PutAt(D, x, z);
    D.target = kCarrier;
    D.TackleAttemptTimer = 10.0f;
    D.TackleAttemptKind = 1.0f;
    ++Carrier().numtargetting;
    return D;
  }

  // The carrier is already held by defender 5, who bound first.
  static void AlreadyHeld() {
    TPlayer& H = Launched(0.0f, -0.5f, 5);
    H.governedby = kCarrier;
    Carrier().numgoverning = 1;
    Carrier().GettingTackledTimer = 5.0f;
    Carrier().governedby = kCarrier;
    W.Teams[2].FirstTackler = 5;
    W.Teams[2].TackleMass = 180.0f;
  }

  static void Step(void (*stage)(TWorld&)) { RunFrameStep({"stage", stage}, W); }

  static std::vector<int> Codes() {
    std::vector<int> out;
    for (int k = 1; k <= 10; ++k) {
      if (W.MessageSlotFree[k] == 0) out.push_back(W.MessageQueue[k].message);
    }
    return out;
  }
};

// ---------------------------------------------------------------- Stage A

TEST_F(TackleContestTest, TacklersWantedIsTheDrawnCountRoundedHalfToEven) {
  struct Case {
    const char* what;
    f32 value;
    f32 heldTimer;
    i32 before;
    i32 expected;
  } cases[] = {
      {"2.5 brings 2", 2.5f, 0.0f, 0, 2},
      {"3.5 brings 4", 3.5f, 0.0f, 0, 4},
      {"the default draw 1.25 brings 1", 1.25f, 0.0f, 3, 1},
      {"held: a count of 2 stays", 1.0f, 1.0f, 2, 2},
      {"held: a count below 1 is renewed", 1.0f, 1.0f, 0, 1},
      {"0 brings no tackler", 0.4f, 0.0f, 2, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    Carrier().TacklerCountValue = c.value;
    Carrier().GettingTackledTimer = c.heldTimer;
    W.Teams[2].TacklersWanted = c.before;
    W.BallJolted = kTrue32;
    Step(StartTackleContest);
    EXPECT_EQ(W.Teams[2].TacklersWanted, c.expected) << c.what;
    EXPECT_EQ(W.BallJolted, kFalse32) << c.what;
  }
}

TEST_F(TackleContestTest, StartEndsATapKickAndGroundsACarrierNotCatching) {
  TPlayer& C = Carrier();
  C.SpecialAnimKind = 3.0f;
  C.SpecialAnimTimer = 1.0f;
  C.currentAnim.Assign("tapkick");
  C.maxframes = 1000.0f;
  C.AnimRate = 1000.0f;
  C.currentframe = 961.0f;  // + 40 frames this step pass the end
  W.MarkCalled = kTrue32;
  Step(StartTackleContest);
  EXPECT_EQ(C.SpecialAnimTimer, 0.0f);
  EXPECT_EQ(W.MarkCalled, kFalse32);
  EXPECT_EQ(W.CarrierGrounded, kTrue32);

  SetUp();
  Carrier().freeballcatchtimer = 0.5f;
  Step(StartTackleContest);
  EXPECT_EQ(W.CarrierGrounded, kFalse32) << "a carrier in a catch is left as he is";
}

TEST_F(TackleContestTest, JoinWindowCountsFreeDefendersNearTheHeldCarrierUpToThree) {
  AlreadyHeld();
  W.TackleJoinTime = 0.5f;
  W.Teams[2].TacklersWanted = 1;
  Defender(1).Pos = {0.2f, 0.0f, 1.0f};    // 1.02 m away
  Defender(2).Pos = {-0.2f, 0.0f, 1.0f};
  Defender(2).standuptimer = 0.3f;         // busy: not counted
  Defender(3).Pos = {0.0f, 0.0f, -1.04f};
  Defender(6).Pos = {0.0f, 0.0f, 1.06f};   // just too far
  Step(StartTackleContest);
  EXPECT_EQ(W.Teams[2].TacklersWanted, 3) << "1 + defenders 1 and 3";

  Defender(7).Pos = {0.0f, 0.0f, -1.0f};
  Step(StartTackleContest);
  EXPECT_EQ(W.Teams[2].TacklersWanted, 3) << "never above 3";

  SetUp();
  AlreadyHeld();
  W.TackleJoinTime = 0.5f;
  Carrier().Pos.z = 49.5f;
  Carrier().GettingTackledAngle = 90.0f;
  Carrier().GettingTackledSpeed = 1.0f;  // carried 0.95 m on: over the line
  Step(StartTackleContest);
  EXPECT_EQ(W.Teams[2].TacklersWanted, 3) << "a tackle carrying over the goal line wants 3";
}

// ---------------------------------------------------------------- Stage B

TEST_F(TackleContestTest, LaunchOnlyWhenTheChaseCatchesWithinAFifthOfASecond) {
  // The carrier runs straight at 7 m/s; a defender 1.2 m from him.
  struct Case {
    const char* what;
    f32 z;      // of the defender, on the carrier's line
    f32 speed;  // m/s
    bool launches;
  } cases[] = {
      {"ahead, running in at the least lunge speed", 1.2f, 0.0f, true},
      {"behind, lunge 9.75 m/s gains 2.75 m/s: caught in 0.16 s", -1.2f, 10.0f, true},
      {"behind, lunge 8.775 m/s gains 1.775 m/s: not before 0.24 s", -1.2f, 9.0f, false},
      {"behind, no faster than him", -1.2f, 7.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    CarrierRuns(7.0f);
    Carrier().maxspeed = 7.0f;
    Carrier().Acceleration = 2.0f;
    TPlayer& D = Defender();
    D.Pos = {0.0f, 0.0f, c.z};
    D.speed = c.speed;
    W.Teams[2].TacklersWanted = 1;
    W.CarrierGrounded = kTrue32;
    Step(LaunchTackleAttempts);
    EXPECT_EQ(D.target == kCarrier, c.launches) << c.what;
    EXPECT_EQ(Carrier().numtargetting, c.launches ? 1 : 0) << c.what;
  }
}

TEST_F(TackleContestTest, OnlyADefenderWithinOneAndAHalfReachesIsLaunched) {
  // The carrier runs at 2 m/s; the defender stands ahead of him, straight
  // or on the diagonal, where each difference alone is inside 1.5 m.
  struct Case {
    const char* what;
    f32 x, z;
    bool launches;
  } cases[] = {
      {"straight ahead 1.49 m", 0.0f, 1.49f, true},
      {"straight ahead 1.51 m", 0.0f, 1.51f, false},
      {"diagonal 1.49 m", 1.0536f, 1.0536f, true},
      {"diagonal 1.51 m", 1.0677f, 1.0677f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    CarrierRuns(2.0f);
    Carrier().maxspeed = 7.0f;
    TPlayer& D = Defender();
    D.Pos = {c.x, 0.0f, c.z};
    W.Teams[2].TacklersWanted = 1;
    W.CarrierGrounded = kTrue32;
    Step(LaunchTackleAttempts);
    EXPECT_EQ(D.target == kCarrier, c.launches) << c.what;
  }
}

TEST_F(TackleContestTest, TheLungeAimsAtWhereTheChaseFindsTheCarrierLedAlongHisRun) {
  // Headings: 90 is +z, 270 is -z, 0 is -x. The aim point is the carrier's
  // place at the catch, or 0.08 s of his run when that is farther, then
  // 0.25 m on along the run.
  struct Case {
    const char* what;
    f32 v;       // carrier's speed along +z, m/s (0: standing, heading 90)
    f32 x, z;    // defender
    f32 aim;     // degrees
  } cases[] = {
      {"standing carrier, defender 1 m ahead: aims at (0, 0.25), back at him", 0.0f, 0.0f, 1.0f, 270.0f},
      {"7 m/s carrier, defender 1.2 m ahead: caught at 0.04 s, aims at (0, 0.81)", 7.0f, 0.0f, 1.2f, 270.0f},
      {"standing carrier, defender 1 m to his -x side: aims at (0, 0.25)", 0.0f, -1.0f, 0.0f, 165.96376f},
  };
  for (const Case& c : cases) {
    SetUp();
    CarrierRuns(c.v);
    Carrier().maxspeed = c.v > 0 ? c.v : 8.0f;
    TPlayer& D = Defender();
    D.Pos = {c.x, 0.0f, c.z};
    W.Teams[2].TacklersWanted = 1;
    W.CarrierGrounded = kTrue32;
    const double before = Distance2D(D.Pos.x, D.Pos.z, 0.0f, 0.0f);
    Step(LaunchTackleAttempts);
    ASSERT_EQ(D.target, kCarrier) << c.what;
    EXPECT_NEAR(D.TackleAttemptAngle, c.aim, 1e-3) << c.what;
    // One frame of the lunge brings him nearer the carrier's next place.
    const TDirection u = HeadingDirection(D.TackleAttemptAngle);
    const double step = static_cast<double>(D.TackleAttemptSpeed) * W.TimeStep;
    const double after = Distance2D(ToF32(D.Pos.x + u.x * step), ToF32(D.Pos.z + u.z * step), 0.0f,
                                    ToF32(c.v * W.TimeStep));
    EXPECT_LT(after, before) << c.what;
  }
}

TEST_F(TackleContestTest, ATeamMateNearTheMidpointStopsTheLaunch) {
  struct Case {
    const char* what;
    f32 x;  // of the team-mate, level with the midpoint 0.6 m ahead
    bool launches;
  } cases[] = {
      {"0.55 m from the midpoint: within half the gap", 0.55f, false},
      {"0.65 m from it: clear", 0.65f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    CarrierRuns(7.0f);
    Defender().Pos = {0.0f, 0.0f, 1.2f};
    W.Teams[1].Players[3].Pos = {c.x, 0.0f, 0.6f};
    W.Teams[2].TacklersWanted = 1;
    W.CarrierGrounded = kTrue32;
    Step(LaunchTackleAttempts);
    EXPECT_EQ(Defender().target == kCarrier, c.launches) << c.what;
  }
}

TEST_F(TackleContestTest, ALaunchStartsTheAttemptAndClearsTheDefendersOtherActions) {
  CarrierRuns(5.0f);
  TPlayer& D = Defender();
  D.Pos = {0.3f, 0.0f, 1.0f};
  D.target = 7;
  W.Teams[1].Players[7].numtargetting = 1;
  D.governedby = 7;
  D.passtimer = D.KickTimer = D.shimmytimer = D.ForcedRunTimer = D.DefenderHoldTimer = 1.0f;
  D.WillAttemptPassInterCept = kTrue32;
  D.FatigueTimer = 4.0f;
  W.Teams[2].TacklersWanted = 1;
  W.CarrierGrounded = kTrue32;
  // Defender 5 is eligible too, but the loop ends once one targets him.
  Defender(5).Pos = {-0.3f, 0.0f, 1.0f};
  const u32 seed = RandSeed;
  Step(LaunchTackleAttempts);

  EXPECT_EQ(D.target, kCarrier);
  EXPECT_EQ(W.Teams[1].Players[7].numtargetting, 0);
  EXPECT_EQ(Carrier().numtargetting, 1);
  EXPECT_EQ(D.governedby, 0);
  EXPECT_EQ(D.TackleAttemptTimer, 10.0f);
  EXPECT_EQ(D.TackleAttemptKind, 1.0f);
  EXPECT_EQ(D.TackleAttemptSpeed, 4.5f) << "0.8 x 0 m/s, raised to the least lunge speed";
  EXPECT_EQ(D.TackleAttemptFacing, D.TackleAttemptAngle);
  for (f32 t : {D.passtimer, D.KickTimer, D.shimmytimer, D.ForcedRunTimer, D.DefenderHoldTimer}) EXPECT_EQ(t, 0.0f);
  EXPECT_EQ(D.WillAttemptPassInterCept, kFalse32);
  EXPECT_EQ(D.FatigueTimer, 0.01f) << "a fresh defender loses 10 s, floored";
  EXPECT_EQ(W.CarrierBrace, kTrue32) << "launched from in front of a carrier with nothing running";
  EXPECT_EQ(Defender(5).target, 0);
  EXPECT_EQ(DrawsSince(seed), 0);
}

TEST_F(TackleContestTest, ATiredDefenderGainsFatigueTimeAndNoBraceWhileACarrierPasses) {
  CarrierRuns(5.0f);
  Carrier().passtimer = 0.3f;
  TPlayer& D = Defender();
  D.Pos = {0.0f, 0.0f, 1.0f};
  D.Fatigued = kTrue32;
  D.FatigueTimer = 4.0f;
  W.Teams[2].TacklersWanted = 1;
  W.CarrierGrounded = kTrue32;
  Step(LaunchTackleAttempts);
  ASSERT_EQ(D.target, kCarrier);
  EXPECT_EQ(D.FatigueTimer, 14.0f);
  EXPECT_EQ(W.CarrierBrace, kFalse32);
}

TEST_F(TackleContestTest, NoLaunchWhileAMarkIsCalledOrTheCarrierIsInTheAir) {
  for (int k = 0; k < 2; ++k) {
    SetUp();
    Defender().Pos = {0.0f, 0.0f, 1.0f};
    W.Teams[2].TacklersWanted = 1;
    W.CarrierGrounded = Flag(k == 0);
    W.MarkCalled = Flag(k == 0);
    Step(LaunchTackleAttempts);
    EXPECT_EQ(Defender().target, 0) << k;
  }
}

TEST_F(TackleContestTest, AHeldCarriersFirstRunFrameRaisesNoFloatError) {
  // PrevTimeStep is 0 in the first frame of a run: the change of speed over
  // it is unknown, and the launch still judges the chase.
  W.PrevTimeStep = 0.0f;
  AlreadyHeld();
  Carrier().Acceleration = 3.0f;
  Carrier().Velocity = {0.0f, 2.0f};
  Defender().Pos = {0.0f, 0.0f, 0.9f};
  W.Teams[2].TacklersWanted = 2;
  W.CarrierGrounded = kTrue32;
  EXPECT_NO_THROW(Step(LaunchTackleAttempts));
  EXPECT_EQ(Defender().target, kCarrier);
}

TEST_F(TackleContestTest, AnOffsideTacklerEntersANewInfringementAndStartsTheAdvantage) {
  Defender().Pos = {0.0f, 0.0f, 1.0f};
  Defender().OffsideMark = 1.0f;
  W.Teams[2].TacklersWanted = 1;
  W.CarrierGrounded = kTrue32;
  W.clock = 1234.5f;
  W.BallPos = {1.0f, 1.0f, 2.0f};
  Step(LaunchTackleAttempts);
  const TInfringement& I = W.Infringements[1];
  EXPECT_EQ(I.Kind, 3);
  EXPECT_EQ(I.Major, kTrue32);
  EXPECT_EQ(I.AgainstDefence, kTrue32);
  EXPECT_EQ(I.Aux, 1234) << "the second rounded half to even";
  EXPECT_EQ(I.X, 1.0f);
  EXPECT_EQ(I.Z, 2.0f);
  EXPECT_EQ(I.Player, kTackler);
  EXPECT_EQ(W.InfringementIsNew, kTrue32);
  EXPECT_EQ(W.AdvantageHoldTimer, 12.5f);
  EXPECT_EQ(W.AdvantageTimer, 2.5f);
}

TEST_F(TackleContestTest, OffsideTacklerNewnessAgainstTheEntryBefore) {
  struct Case {
    const char* what;
    i32 prevKind;
    bool32 prevMajor;
    f32 prevX, prevZ;
    bool isNew;
  } cases[] = {
      {"same kind and flag, within 0.8 m in x", 3, kTrue32, 10.7f, 30.0f, false},
      {"same kind and flag, within 0.8 m in z only", 3, kTrue32, 30.0f, 20.75f, false},
      {"same kind and flag, over 0.8 m in both", 3, kTrue32, 11.0f, 21.0f, true},
      {"another kind", 1, kTrue32, 10.0f, 20.0f, true},
      {"another truth of the flag", 3, kFalse32, 10.0f, 20.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    W.BallPos = {10.0f, 0.0f, 20.0f};
    W.Infringements[1] = {c.prevKind, c.prevMajor, kTrue32, 0, c.prevX, c.prevZ, 2};
    W.AdvantageHoldTimer = 3.0f;
    W.AdvantageTimer = 1.0f;
    EnterOffsideTackler(W, 6);
    EXPECT_EQ(W.InfringementIsNew, Flag(c.isNew)) << c.what;
    EXPECT_EQ(W.Infringements[2].Kind, c.isNew ? 3 : 0) << c.what << ": an entry that is not new is freed";
    EXPECT_EQ(W.AdvantageHoldTimer, 3.0f) << c.what << ": an advantage already held goes on";
  }

  SetUp();
  for (TInfringement& I : W.Infringements) I.Kind = 1;
  W.InfringementIsNew = kTrue32;
  EnterOffsideTackler(W, 6);
  EXPECT_EQ(W.Infringements[10].Kind, 1) << "a full list takes nothing";
  EXPECT_EQ(W.AdvantageHoldTimer, 0.0f);
}

// ---------------------------------------------------------------- Stage C

TEST_F(TackleContestTest, BreakMoveBearingsAreMeasuredWithNinetyStraightAhead) {
  EXPECT_TRUE(InBreakBearing(1, 90.0));
  EXPECT_TRUE(InBreakBearing(2, 90.0));
  EXPECT_FALSE(InBreakBearing(3, 90.0)) << "its window begins above 90";
  for (double b : {0.0, 360.0}) {
    EXPECT_TRUE(InBreakBearing(5, b)) << b;
    EXPECT_FALSE(InBreakBearing(4, b)) << b;
  }
  EXPECT_FALSE(InBreakBearing(5, 337.5));
  EXPECT_TRUE(InBreakBearing(5, 22.5));
  EXPECT_FALSE(InBreakBearing(0, 90.0));
  EXPECT_EQ(BreakMove(10.0f), 10);
  EXPECT_EQ(BreakMove(11.0f), 0);
  EXPECT_EQ(BreakMove(2.5f), 0);
}

// The break roll decides at exactly the chance: R = chance breaks, one more
// binds. The defender meets the standing carrier from straight ahead.
TEST_F(TackleContestTest, TheFirstContactRollsAgainstTheBreakChance) {
  struct Case {
    const char* what;
    bool live;
    f32 speed;       // carrier, m/s
    f32 breakTimer;  // his break move
    f32 actionCode;
    f32 frame;       // of 1000
    bool fatiguedDefender;
    i32 chance;      // per mille
    f32 stepKind;    // his side-step, 0 none
  } cases[] = {
      {"look-ahead, no break move: never", false, 8.0f, 0.0f, 0.0f, 0.0f, false, 0, 0.0f},
      {"look-ahead, charge 2 in its window: 1.2 x 500", false, 8.0f, 1.0f, 2.0f, 500.0f, false, 600, 0.0f},
      {"match, flat out: (1000 - 500 + 500) / 2", true, 7.96f, 0.0f, 0.0f, 0.0f, false, 500, 0.0f},
      {"match, standing: a quarter of it", true, 0.0f, 0.0f, 0.0f, 0.0f, false, 125, 0.0f},
      {"match, 2 m/s: 0.5226 of it", true, 2.0f, 0.0f, 0.0f, 0.0f, false, 261, 0.0f},
      {"match, tired defender adds 50", true, 7.96f, 0.0f, 0.0f, 0.0f, true, 550, 0.0f},
      {"match, charge 2 in its window", true, 0.0f, 1.0f, 2.0f, 500.0f, false, 500, 0.0f},
      {"match, charge 3 misses a tackler straight ahead", true, 0.0f, 1.0f, 3.0f, 500.0f, false, 125, 0.0f},
      {"match, charge 2 before its window", true, 0.0f, 1.0f, 2.0f, 200.0f, false, 125, 0.0f},
      {"match, fend 5 misses a tackler straight ahead", true, 0.0f, 1.0f, 5.0f, 500.0f, false, 125, 0.0f},
      {"match, step kind 3 in place of the base", true, 0.0f, 0.0f, 0.0f, 0.0f, false, 500, 3.0f},
  };
  for (const Case& c : cases) {
    for (int extra : {0, 1}) {
      if (c.chance == 0 && extra == 0) continue;
      SetUp();
      W.LiveWorld = Flag(c.live);
      TPlayer& C = Carrier();
      C.speed = c.speed;
      C.BreakTackleTimer = c.breakTimer;
      C.ActionCode = c.actionCode;
      C.currentframe = c.frame;
      C.maxframes = 1000.0f;
      C.StepKind = c.stepKind;
      C.StepTimer = c.stepKind > 0 ? 1.0f : 0.0f;
      W.Teams[2].TacklersWanted = 1;
      TPlayer& D = Launched(0.0f, 0.7f);
      D.Fatigued = Flag(c.fatiguedDefender);
      RandSeed = SeedBeforeDraw(1, 1001, c.chance + extra);
      Step(ContestCarrierContacts);
      const bool broke = D.target == 0;
      EXPECT_EQ(broke, extra == 0) << c.what << ", roll " << c.chance + extra;
      EXPECT_EQ(W.BreakAttempt, Flag(c.breakTimer > 0)) << c.what;
    }
  }
}

TEST_F(TackleContestTest, ACarrierWhoHasBrokenTwoTacklesHasHalfTheMovesChance) {
  for (i32 roll : {250, 251}) {
    SetUp();
    TPlayer& C = Carrier();
    C.BreakCount = 2;
    C.BreakTackleTimer = 1.0f;
    C.ActionCode = 2.0f;
    C.currentframe = 500.0f;
    C.maxframes = 1000.0f;
    W.Teams[2].TacklersWanted = 1;
    TPlayer& D = Launched(0.0f, 0.7f);
    RandSeed = SeedBeforeDraw(1, 1001, roll);
    Step(ContestCarrierContacts);
    EXPECT_EQ(D.target == 0, roll == 250) << roll;
    EXPECT_EQ(C.BreakCount, roll == 250 ? 3 : 2) << roll;
  }
}

TEST_F(TackleContestTest, ABrokenTackleMissesTheDefenderAndCountsTheBreak) {
  TPlayer& C = Carrier();
  C.BreakTackleTimer = 1.0f;
  C.ActionCode = 10.0f;
  C.currentframe = 500.0f;
  C.maxframes = 1000.0f;
  C.OldPos = {0.0f, 0.0f, -0.2f};  // 5 m/s over the last frame
  C.BreakCount = 1;
  C.FacingAngle = 0.0f;  // the defender at -x is at bearing 270, in the spin's window
  W.Teams[2].TacklersWanted = 1;
  W.Teams[2].PressureTimerA = W.Teams[2].PressureTimerB = 1.0f;
  TPlayer& D = Launched(-0.7f, 0.0f);
  RandSeed = SeedBeforeDraw(1, 1001, 1);
  const u32 afterRoll = SeedAfter(RandSeed, 1);
  Step(ContestCarrierContacts);

  EXPECT_EQ(D.target, 0);
  EXPECT_EQ(C.numtargetting, 0);
  EXPECT_EQ(C.numgoverning, 0);
  EXPECT_EQ(C.BreakCount, 2);
  EXPECT_FLOAT_EQ(D.TackleAttemptSpeed, 3.25f) << "5 m/s - 1.75 after a spin";
  EXPECT_EQ(D.TackleAttemptKind, 3.0f);
  EXPECT_TRUE(D.currentAnim == "divetacklemissed");
  EXPECT_EQ(D.currentframe, 1.0f);
  EXPECT_EQ(D.maxframes, 4700.0f);
  EXPECT_EQ(D.TackleAttemptLungeFrame, 2820.0f);
  RandSeed = afterRoll;
  EXPECT_EQ(D.TackleAttemptTimer, static_cast<f32>(RandomRange(400, 1001) / 1000.0));
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_EQ(W.Teams[2].PressureTimerB, 0.0f);
  EXPECT_EQ(Codes(), (std::vector<int>{msgTackleImpact, msgTackleBreak, msgMissedTackle, msgDefenderBeaten}));
  EXPECT_EQ(W.MessageQueue[1].extravalue, 0.0f) << "a standing defender's impact";
  EXPECT_EQ(W.MessageQueue[2].playerID, C.id);
  EXPECT_EQ(W.MessageQueue[3].playerID, D.id);
  EXPECT_EQ(W.MessageQueue[3].teamID, 200);
}

TEST_F(TackleContestTest, ContactReachGrowsWhileHeldAndLooksHalfAFrameAhead) {
  struct Case {
    const char* what;
    f32 z;    // defender, straight ahead
    f32 vz;   // his velocity, m/s
    bool held;
    bool contact;
  } cases[] = {
      {"0.79 m: contact", 0.79f, 0.0f, false, true},
      {"0.85 m standing: none", 0.85f, 0.0f, false, false},
      {"0.85 m closing at 4 m/s: 0.77 m half a frame on", 0.85f, -4.0f, false, true},
      {"0.92 m closing fast: outside the band", 0.92f, -10.0f, false, false},
      {"1.25 m from a held carrier: contact", 1.25f, 0.0f, true, true},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.held) AlreadyHeld();
    W.Teams[2].TacklersWanted = 2;
    TPlayer& D = Launched(0.0f, c.z);
    D.Velocity = {0.0f, c.vz};
    Step(ContestCarrierContacts);
    EXPECT_EQ(Codes().empty(), !c.contact) << c.what;
  }
}

TEST_F(TackleContestTest, SecondAndThirdTacklersBindWithoutARoll) {
  AlreadyHeld();
  W.Teams[2].TacklersWanted = 3;
  TPlayer& D2 = Launched(0.7f, 0.0f);
  TPlayer& D3 = Launched(-0.7f, 0.0f, 6);
  const u32 seed = RandSeed;
  Step(ContestCarrierContacts);
  EXPECT_EQ(D2.governedby, kCarrier);
  EXPECT_EQ(D3.governedby, kCarrier);
  EXPECT_EQ(Carrier().numgoverning, 3);
  EXPECT_EQ(DrawsSince(seed), 2) << "one ball-security roll each, no break roll";
  EXPECT_EQ(W.Teams[2].FirstTackler, 5) << "the first tackler stays";
  EXPECT_EQ(W.Teams[2].TackleMass, 360.0f);
}

TEST_F(TackleContestTest, ATiredCarrierLosesTheBallOnRollsAbove905) {
  struct Case {
    i32 roll;
    bool lost;
  } cases[] = {{905, false}, {906, true}};
  for (const Case& c : cases) {
    SetUp();
    AlreadyHeld();
    Carrier().Fatigued = kTrue32;
    Carrier().HoldBallOnContactProb = 950;
    W.Teams[2].TacklersWanted = 2;
    Launched(0.7f, 0.0f);
    RandSeed = SeedBeforeDraw(1, 1001, c.roll);
    Step(ContestCarrierContacts);
    EXPECT_EQ(W.BallJolted, Flag(c.lost)) << c.roll;
  }

  // A carrier more secure than his tackler gets it back when a second roll
  // is below 500.
  for (i32 back : {499, 500}) {
    SetUp();
    AlreadyHeld();
    Carrier().HoldBallOnContactProb = 0;  // any first roll loses it
    Carrier().BallSecurity = 600;
    W.Teams[2].TacklersWanted = 2;
    Launched(0.7f, 0.0f);
    RandSeed = StepBack(SeedBeforeDraw(1, 1001, back));
    const u32 seed = RandSeed;
    Step(ContestCarrierContacts);
    EXPECT_EQ(W.BallJolted, Flag(back >= 500)) << "give-back roll " << back;
    EXPECT_EQ(DrawsSince(seed), 2);
  }
}

TEST_F(TackleContestTest, BallSecurityIsNotRolledOnTheLookAheadWorld) {
  AlreadyHeld();
  W.LiveWorld = kFalse32;
  Carrier().HoldBallOnContactProb = 0;
  W.Teams[2].TacklersWanted = 2;
  Launched(0.7f, 0.0f);
  const u32 seed = RandSeed;
  Step(ContestCarrierContacts);
  EXPECT_EQ(Carrier().numgoverning, 2);
  EXPECT_EQ(W.BallJolted, kFalse32);
  EXPECT_EQ(DrawsSince(seed), 0);
}

TEST_F(TackleContestTest, APassInTheHandsGoesOnOnlyWhenWellUnderWayOrAwayFromTheTackler) {
  struct Case {
    const char* what;
    f32 timeLeft, duration;  // s
    f32 heading;             // of the pass; the tackler is at heading 180 (+x)
    i32 receiver;
    i32 eventType;
    bool goesOn;
  } cases[] = {
      {"under 0.1 of its duration", 0.96f, 1.0f, 0.0f, 3, 0, false},
      {"past 0.9, thrown at the tackler", 0.05f, 1.0f, 180.0f, 3, 0, true},
      {"half way, thrown at the tackler", 0.5f, 1.0f, 190.0f, 3, 0, false},
      {"half way, thrown 540 degrees: at the tackler", 0.5f, 1.0f, 540.0f, 3, 0, false},
      {"half way, thrown away from him", 0.5f, 1.0f, 0.0f, 3, 0, true},
      {"no duration", 0.5f, 0.0f, 0.0f, 3, 0, false},
      {"no time left", 0.0f, 1.0f, 0.0f, 3, 0, false},
      {"no receiver", 0.5f, 1.0f, 0.0f, 0, 0, false},
      {"a receiver beyond the side", 0.5f, 1.0f, 0.0f, 16, 0, false},
      {"his current event is a kick", 0.5f, 1.0f, 0.0f, 3, 3, false},
  };
  for (const Case& c : cases) {
    SetUp();
    AlreadyHeld();
    TPlayer& C = Carrier();
    C.passtimer = 0.4f;
    C.ActionSeq.CurrEventIndex = 1;
    C.ActionSeq.EventArray[1].EventType = c.eventType;
    TTeamBlock& A = W.Teams[1];
    A.PassTimeLeft = c.timeLeft;
    A.PassDuration = c.duration;
    A.PassHeading = c.heading;
    A.PassReceiver = c.receiver;
    W.Teams[2].TacklersWanted = 2;
    Launched(0.7f, 0.0f);
    Step(ContestCarrierContacts);
    EXPECT_EQ(C.passtimer > 0, c.goesOn) << c.what;
    EXPECT_EQ(A.PassTimeLeft == c.timeLeft, c.goesOn || c.timeLeft == 0) << c.what;
  }
}

TEST_F(TackleContestTest, TheFirstBindStartsTheTackle) {
  TPlayer& C = Carrier();
  C.speed = 4.0f;
  C.Weight = 100.0f;
  C.LookForOffloadProb = 0;  // no offload window
  W.Teams[2].TacklersWanted = 1;
  W.Teams[1].PassTimeLeft = 0.3f;
  W.DefenceCycleTimer = 2.0f;
  TPlayer& D = Launched(0.0f, 0.7f);
  D.speed = 6.0f;
  D.Velocity = {0.0f, -6.0f};
  D.FacingAngle = 0.0f;  // heading -90: running at the carrier
  C.BreakTackleProb = 0;
  D.MakeTackleProb = 1000;  // the break chance is 0
  Step(ContestCarrierContacts);

  const TTeamBlock& T = W.Teams[2];
  EXPECT_EQ(D.governedby, kCarrier);
  EXPECT_EQ(C.governedby, kCarrier);
  EXPECT_EQ(C.numgoverning, 1);
  EXPECT_EQ(C.GettingTackledTimer, 10.0f);
  EXPECT_EQ(T.FirstTackler, kTackler);
  EXPECT_FLOAT_EQ(C.GettingTackledFacing, 90.0f);
  EXPECT_EQ(T.TackleMass, 190.0f);
  // 100 kg at 4 m/s up the pitch meets 90 kg at 6 m/s down it.
  EXPECT_NEAR(T.TackleSpeed, (540.0 - 400.0) / 190.0, 1e-5);
  EXPECT_NEAR(T.TackleHeading, 270.0, 1e-3);
  EXPECT_EQ(C.GettingTackledSpeed, T.TackleSpeed);
  EXPECT_EQ(C.GettingTackledAngle, T.TackleHeading);
  EXPECT_EQ(W.DefenceCycleTimer, 0.0f);
  EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.0f);
  EXPECT_EQ(W.Teams[1].OffloadTime, 0.0f);
  EXPECT_GE(W.TackleJoinTime, 0.4f);
  EXPECT_LT(W.TackleJoinTime, 1.1f);
  EXPECT_EQ(D.ContactPoint, 3) << "the footprint point at +z";
  EXPECT_EQ(C.FootprintHolder[3], kTackler);
}

TEST_F(TackleContestTest, HalfMomentumFromADefenderDrivingUpfieldOrTowardsTheField) {
  struct Case {
    const char* what;
    f32 carrierX, carrierZ;
    TVector2 velocity;  // of the defender
    bool half;
  } cases[] = {
      {"driving upfield short of the in-goal's end", 0.0f, 10.0f, {0.0f, 1.0f}, true},
      {"driving upfield beyond it", 0.0f, 55.5f, {0.0f, 1.0f}, false},
      {"near the -x touchline, pushing infield", -33.5f, 0.0f, {1.0f, 0.0f}, true},
      {"near the +x touchline, pushing infield", 33.5f, 0.0f, {-1.0f, 0.0f}, true},
      {"near the -x touchline, pushing out", -33.5f, 0.0f, {-1.0f, 0.0f}, false},
  };
  for (const Case& c : cases) {
    SetUp();
    AlreadyHeld();
    TPlayer& C = Carrier();
    C.Pos = {c.carrierX, 0.0f, c.carrierZ};
    W.Teams[2].TackleSpeed = 0.0f;
    W.Teams[2].TackleHeading = 90.0f;
    W.Teams[2].TackleMass = 90.0f;
    W.Teams[2].TacklersWanted = 2;
    TPlayer& D = Launched(c.carrierX + 0.7f, c.carrierZ);
    D.Velocity = c.velocity;
    D.speed = 4.0f;
    D.FacingAngle = kPi;  // heading 90
    Step(ContestCarrierContacts);
    EXPECT_NEAR(W.Teams[2].TackleSpeed, c.half ? 1.0 : 2.0, 1e-5) << c.what;
  }
}

TEST_F(TackleContestTest, AnOffloadWindowOpensOnAPassingRollAndRequestsADecision) {
  TPlayer& C = Carrier();
  C.LookForOffloadProb = 1000;
  C.BreakTackleProb = 0;
  W.Teams[2].TacklersWanted = 1;
  TPlayer& D = Launched(0.0f, 0.7f);
  D.MakeTackleProb = 1000;
  MoveBooks[1].TimeSinceSample = 0.0f;
  Step(ContestCarrierContacts);
  const f32 window = W.Teams[1].OffloadTime;
  EXPECT_GE(window, 1.2f);
  EXPECT_LT(window, 1.6f);
  EXPECT_GE(W.TackleJoinTime, window) << "the join window is at least the offload window";
  EXPECT_EQ(W.Teams[1].DecisionRequested, kTrue32);
  EXPECT_EQ(MoveBooks[1].TimeSinceSample, 10.0f);

  SetUp();
  W.LiveWorld = kFalse32;
  Carrier().LookForOffloadProb = 1000;
  W.Teams[2].TacklersWanted = 1;
  Launched(0.0f, 0.7f);
  MoveBooks[1].TimeSinceSample = 0.0f;
  Step(ContestCarrierContacts);
  EXPECT_GT(W.Teams[1].OffloadTime, 0.0f);
  EXPECT_EQ(W.Teams[1].DecisionRequested, kFalse32) << "the look-ahead requests nothing";
  EXPECT_EQ(MoveBooks[1].TimeSinceSample, 0.0f);
}

TEST_F(TackleContestTest, TheNearestFreeSupportPlayerBehindEachSideRunsToTheTackle) {
  TActionSeq& neg = StrategyParams.SupportTemplateNegX;
  TActionSeq& pos = StrategyParams.SupportTemplatePosX;
  neg = TActionSeq{};
  pos = TActionSeq{};
  neg.NumEvents = pos.NumEvents = 3;
  neg.EventArray[1].RelDistance = pos.EventArray[1].RelDistance = 1.0f;
  neg.EventArray[1].RelHeading = pos.EventArray[1].RelHeading = 90.0f;
  neg.EventArray[1].EventType = 21;
  pos.EventArray[1].EventType = 22;

  TPlayer& C = Carrier();
  C.speed = 3.0f;
  W.Teams[2].TacklersWanted = 1;
  TPlayer& D = Launched(0.0f, 0.7f);
  C.BreakTackleProb = 0;
  D.MakeTackleProb = 1000;
  TTeamBlock& A = W.Teams[1];
  auto place = [&](int p, f32 x, f32 z) {
    TPlayer& P = A.Players[p];
    PutAt(P, x, z);
    P.Acceleration = 3.0f;
    return &P;
  };
  TPlayer* left = place(1, -2.0f, -3.0f);
  place(2, -4.0f, -3.0f);                      // farther across
  TPlayer* busy = place(3, -1.0f, -3.0f);
  busy->passcatchtimer = 0.5f;                 // busy
  place(4, -0.5f, -7.0f);                      // too deep
  TPlayer* right = place(5, 6.0f, -2.0f);      // 6 m across: too wide
  Step(ContestCarrierContacts);

  EXPECT_EQ(left->ActionSeq.EventArray[1].EventType, 21) << "the smaller-x template, copied whole";
  for (const TActionEvent& e : left->ActionSeq.EventArray) EXPECT_EQ(e.RelPlayer, kCarrier);
  EXPECT_GE(left->ActionSeq.EventArray[1].DesSpeed, 0.05f);
  EXPECT_EQ(left->ActionSeq.EventArray[2].DesSpeed, 3.5f);
  EXPECT_GE(left->ActionSeq.EventArray[3].DistOrig, 0.5f);
  EXPECT_LT(left->ActionSeq.EventArray[3].DistOrig, 1.0f);
  EXPECT_EQ(right->ActionSeq.EventArray[1].EventType, 0) << "nobody within 5.5 m across on the larger-x side";
  EXPECT_EQ(A.Players[2].ActionSeq.EventArray[1].RelPlayer, 0);
}

TEST_F(TackleContestTest, ADiveLateInItsAnimationClosesTheTackle) {
  struct Case {
    const char* what;
    i32 kind;
    f32 frame;  // of 1000
    bool closes;
  } cases[] = {
      {"kind 1 at a quarter: stopped", 1, 250.0f, false},
      {"kind 1 past a quarter", 1, 260.0f, true},
      {"kind 3 at a fifth: stopped", 3, 200.0f, false},
      {"kind 3 past a fifth", 3, 210.0f, true},
      {"kind 5 at once", 5, 10.0f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& C = Carrier();
    C.DiveTimer = 0.5f;
    C.DiveKind = c.kind;
    C.currentframe = c.frame;
    C.maxframes = 1000.0f;
    C.LookForOffloadProb = 1000;
    C.BreakTackleProb = 0;
    W.Teams[2].TacklersWanted = 2;
    TPlayer& D = Launched(0.0f, 0.7f);
    D.MakeTackleProb = 1000;
    Step(ContestCarrierContacts);
    ASSERT_EQ(C.numgoverning, 1) << c.what;
    EXPECT_EQ(C.DiveTimer, c.closes ? 0.5f : 0.0f) << c.what;
    EXPECT_EQ(W.Teams[2].TacklersWanted, c.closes ? 1 : 2) << c.what << ": no joiners";
    EXPECT_EQ(W.TackleJoinTime == 0, c.closes) << c.what;
    EXPECT_EQ(W.Teams[1].OffloadTime == 0, c.closes) << c.what << ": no offload window";
  }
}

TEST_F(TackleContestTest, AStandUpOrATryLineDiveClosesTheTackle) {
  for (const char* anim : {"looseballdive", "trydivestandupbackflick", "trydivestandupbackflick180", ""}) {
    SetUp();
    AlreadyHeld();
    Carrier().currentAnim.Assign(anim);
    W.TackleJoinTime = 0.6f;
    W.Teams[2].TacklersWanted = 3;
    Launched(0.7f, 0.0f);
    Step(ContestCarrierContacts);
    const bool closes = anim[0] != '\0';
    EXPECT_EQ(W.Teams[2].TacklersWanted, closes ? 2 : 3) << anim;
    EXPECT_EQ(W.TackleJoinTime == 0, closes) << anim;
  }
}

// ---------------------------------------------------------------- Stage D

TEST_F(TackleContestTest, TheTackleCompletesOnlyWhenEveryConditionHolds) {
  struct Case {
    const char* what;
    void (*change)();
    bool completes;
  } cases[] = {
      {"all hold", [] {}, true},
      {"in the air", [] { W.CarrierGrounded = kFalse32; }, false},
      {"a mark", [] { W.MarkCalled = kTrue32; }, false},
      {"offload window open", [] { W.Teams[1].OffloadTime = 0.1f; }, false},
      {"a tackler short", [] { W.Teams[2].TacklersWanted = 2; }, false},
      {"a pass in the join window", [] {
         Carrier().passtimer = 0.2f;
         W.TackleJoinTime = 0.1f;
       }, false},
      {"a pass after the join window", [] { Carrier().passtimer = 0.2f; }, true},
      {"offload block", [] { W.OffloadBlockTimer = 0.1f; }, false},
  };
  for (const Case& c : cases) {
    SetUp();
    AlreadyHeld();
    W.CarrierGrounded = kTrue32;
    W.Teams[2].TacklersWanted = 1;
    c.change();
    Step(EnterGotTackled);
    EXPECT_EQ(W.gamestate == gsGotTackled, c.completes) << c.what;
  }
}

TEST_F(TackleContestTest, EnteringGotTackledDrawsTheTackleOffsetsInPlayerOrder) {
  AlreadyHeld();
  W.CarrierGrounded = kTrue32;
  W.Teams[2].TacklersWanted = 1;
  W.PhaseCount = 7;
  W.TimeSinceTackle = 3.0f;
  TTeamBlock& A = W.Teams[1];
  A.AttackSide = 2;
  A.AttackPhaseFlag = kTrue32;
  A.SidePlaySeq = 4;
  A.PassTimeLeft = A.PassDuration = 1.0f;
  W.Teams[2].Players[2].passtimer = 0.3f;
  W.Teams[2].StrategyTimer = 2.0f;
  W.Teams[2].SetPieceWorkList[4] = 9;
  W.Teams[1].Players[3].RuckJoinDelay = 1.0f;
  Carrier().FootprintHolder[2] = 5;
  AuxState.HalfTimeWords[3] = 8;
  const u32 seed = RandSeed;
  Step(EnterGotTackled);

  EXPECT_EQ(W.gamestate, gsGotTackled);
  EXPECT_EQ(W.TimeSinceTackle, 0.0f);
  EXPECT_EQ(W.PhaseCount, 8);
  EXPECT_EQ(W.GotTackledPhase, 1);
  EXPECT_EQ(A.TackledPlayer, kCarrier);
  EXPECT_EQ(A.CarryMaxZ, -100000.0f);
  EXPECT_EQ(A.CarryStartFlag, kTrue32);
  EXPECT_EQ(A.AttackPhaseFlag, kFalse32);
  EXPECT_EQ(A.SidePlaySeq, 0);
  EXPECT_EQ(A.AttackSide, 0);
  EXPECT_EQ(A.PassDuration, 0.0f);
  EXPECT_EQ(A.PassTimeLeft, 0.0f);
  EXPECT_EQ(W.Teams[2].StrategyTimer, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[2].passtimer, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[15].HoldPointLock, -1);
  EXPECT_EQ(W.Teams[1].Players[3].RuckJoinDelay, 0.0f);
  EXPECT_EQ(Carrier().FootprintHolder[2], 0);
  EXPECT_EQ(AuxState.HalfTimeWords[3], 0);
  EXPECT_EQ(W.Teams[2].SetPieceWorkList[4], 0);

  // The release time, then per index block 1's length and heading before
  // block 2's.
  RandSeed = seed;
  EXPECT_EQ(W.TackleReleaseTimer, static_cast<f32>(RandomRange(500, 1501) / 1000.0));
  for (int i = 1; i <= 15; ++i) {
    for (int b = 1; b <= 2; ++b) {
      const double m = RandomRange(0, 251) / 1000.0;
      const TDirection u = HeadingDirection(RandomRange(1, 361));
      const TVector2& o = W.Teams[b].Players[i].TackleOffset;
      EXPECT_EQ(o.x, static_cast<f32>(u.x * m)) << b << " " << i;
      EXPECT_EQ(o.z, static_cast<f32>(u.z * m)) << b << " " << i;
    }
  }
  EXPECT_EQ(DrawsSince(seed), 1 + 4 * 15);
  EXPECT_EQ(W.Teams[1].Players[16].HoldPointLock, 0) << "players beyond the side are left alone";
}

TEST_F(TackleContestTest, AFixtureTackleReachesGotTackledWithItsMessagesInOrder) {
  TPlayer& C = Carrier();
  C.TacklerCountValue = 2.0f;
  C.BreakTackleProb = 0;
  C.MetresRun = 12.5f;
  W.Teams[1].RunMetres = 40.0f;
  CarrierRuns(3.0f);
  C.Pos.z = 0.0f;
  TPlayer& D1 = Defender(3);
  TPlayer& D2 = Defender(8);
  D1.Pos = {0.3f, 0.0f, 1.0f};
  D2.Pos = {-0.3f, 0.0f, 1.0f};
  for (TPlayer* D : {&D1, &D2}) {
    D->OldPos = D->Pos;
    D->MakeTackleProb = 1000;
    D->speed = 4.0f;
  }
  // Frame 1: both launch. Frame 2: they are on him.
  RunFrameStep({"RunningContact", RunningContact}, W);
  ASSERT_EQ(C.numtargetting, 2);
  EXPECT_EQ(W.gamestate, gsRunning);
  // Frame 2: they are on him; the tackle is complete and takes him to
  // ground, but gottackled waits for the offload block.
  for (TPlayer* D : {&D1, &D2}) D->Pos.z = 0.6f;
  StartCountingAllocations();
  RunFrameStep({"RunningContact", RunningContact}, W);
  EXPECT_EQ(StopCountingAllocations(), 0) << "the frame path allocates nothing";
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_NE(C.GettingTackledKind, 0.0f) << "he falls";
  EXPECT_EQ(W.OffloadBlockTimer, 0.25f);
  // Frame 3, once the timer step has run the block out.
  W.OffloadBlockTimer = 0.0f;
  StartCountingAllocations();
  RunFrameStep({"RunningContact", RunningContact}, W);
  EXPECT_EQ(StopCountingAllocations(), 0) << "the frame path allocates nothing";

  EXPECT_EQ(W.gamestate, gsGotTackled);
  EXPECT_EQ(Codes(), (std::vector<int>{msgTackleImpact, msgTackleImpact, msgTackle, msgTackleAssist, msgCarryEnd,
                                       msgRunningMetres, msgHitUp}));
  EXPECT_EQ(W.MessageQueue[3].playerID, D1.id) << "the first to bind made the tackle";
  EXPECT_EQ(W.MessageQueue[4].playerID, D2.id);
  EXPECT_EQ(W.MessageQueue[6].extravalue, 12.5f);
  EXPECT_EQ(W.MessageQueue[7].extravalue, 40.0f);
  EXPECT_EQ(W.MessageQueue[5].teamID, 100);
  EXPECT_EQ(W.GotTackledPhase, 1);
  EXPECT_EQ(W.PhaseCount, 1);
}

TEST_F(TackleContestTest, WithoutACarrierOnlyTheJoltIsCleared) {
  for (i32 carrier : {0, 16, 26, -1}) {
    SetUp();
    W.Teams[1].BallCarrier = carrier;
    W.BallJolted = kTrue32;
    W.Teams[2].TacklersWanted = 3;
    Defender().Pos = {0.0f, 0.0f, 1.0f};
    RunFrameStep({"RunningContact", RunningContact}, W);
    EXPECT_EQ(W.BallJolted, kFalse32) << carrier;
    EXPECT_EQ(W.Teams[2].TacklersWanted, 3) << carrier;
    EXPECT_EQ(W.gamestate, gsRunning) << carrier;
  }
}

}  // namespace
