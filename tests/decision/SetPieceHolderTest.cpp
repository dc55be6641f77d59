#include "decision/SetPieceHolder.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "SmallWorld.h"
#include "core/AuxState.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/StrategyShapes.h"

namespace {

constexpr int kHolder = 9;
constexpr int kLeft = 10;    // line slot 100
constexpr int kLeft2 = 11;   // line slot 99
constexpr int kRight = 12;   // line slot 102
constexpr int kKicker = 10;
constexpr f32 kLeftRelease = 0.3f;   // s, the holder's dummy-half release times
constexpr f32 kRightRelease = 0.4f;  // (a clamped draw gives them exactly)

// The scene: a scrum in phase 10 with the mark at x 0, in a 70 x 100 m
// pitch. Block 1's scrum-half, player 9, stands on his spot at (0, -1),
// facing up-field, hands free, with no sequence. Line slot 100 holds player
// 10 on his spot at (-5, -3), slot 99 player 11 at (-10, -3), slot 102
// player 12 at (5, -3). The scrum has no carrier. Every other player stands
// far away on his spot.
TWorld W;
TFieldStrategy SavedStrategy[2];

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& P1(int n) { return W.Teams[1].Players[n]; }

// Moves the player d m up-field of his spot.
void OffSpot(TPlayer& P, f32 d) { P.Pos.z = P.DesiredPos.z + d; }

class SetPieceHolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedStrategy[0] = FieldStrategy[1];
    SavedStrategy[1] = FieldStrategy[2];
    MakeSmallWorld(W, {.Frame = true, .LastFrame = true});
    RandSeed = 66;
    W.gamestate = gsScrum;
    W.ScrumPhase = 10;
    W.Team1InFirstBlock = kTrue32;
    AuxState.TurnRate = 400.0f;
    Side().DecisionsOn = kTrue32;
    Side().SetPieceHolder = kHolder;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(p - 8), b == 1 ? -500.0f : 500.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.FacingAngle = static_cast<f32>(180.0 * kDegToRad);  // heading 90
      P.PrevFacingAngle = P.FacingAngle;
      P.Heading = 90.0f;
    });
    Place(P1(kHolder), 0.0f, -1.0f);
    SetDistribution(P1(kHolder).DummyhalfPassLeftReleaseTime, kLeftRelease, 1, kLeftRelease, kLeftRelease);
    SetDistribution(P1(kHolder).DummyhalfPassRightReleaseTime, kRightRelease, 1, kRightRelease, kRightRelease);
    Place(P1(kLeft), -5.0f, -3.0f);
    Place(P1(kLeft2), -10.0f, -3.0f);
    Place(P1(kRight), 5.0f, -3.0f);
    Side().SetPieceLine[100] = kLeft;
    Side().SetPieceLine[99] = kLeft2;
    Side().SetPieceLine[102] = kRight;
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void TearDown() override {
    EXPECT_FALSE(FloatErrorRaised());
    FieldStrategy[1] = SavedStrategy[0];
    FieldStrategy[2] = SavedStrategy[1];
  }

  // Clears what a pass left, for the next draw of a table.
  static void Uncommit() {
    Side().HalfTimeAux = kFalse32;
    Side().PassReceiver = 0;
    P1(kHolder).passtimer = 0;
  }
};

// ------------------------------------------------------------------ scrum base pass

// The side follows one draw of 1..1000 against the share of the width left
// of the mark (at least 1 %): on the left touch line only draws 1 to 10 go
// left, on the right touch line every draw does.
TEST_F(SetPieceHolderTest, ScrumPassSideFollowsTheMark) {
  struct Case {
    f32 markX;
    int leftUpTo;  // draws up to this go left
  } cases[] = {{-35.0f, 10}, {35.0f, 1000}, {0.0f, 500}, {-17.5f, 250}};
  for (const Case& c : cases) {
    W.RuckOriginX = c.markX;
    int lefts = 0;
    for (int k = 0; k < 3000; ++k) {
      const u32 seed = SeedAfter(1066, k);
      RandSeed = seed;
      const i32 r = RandomRange(1, 1001);
      RandSeed = seed;
      Uncommit();
      ScrumBallCarrier(W);
      const bool left = r <= c.leftUpTo;
      ASSERT_EQ(Side().PassReceiver, left ? kLeft : kRight) << "mark " << c.markX << ", draw " << r;
      EXPECT_EQ(Side().PassSide, left ? 1 : 2);
      lefts += left;
    }
    EXPECT_GT(lefts, 0) << c.markX;  // both sides were seen
    if (c.leftUpTo < 1000) {
      EXPECT_LT(lefts, 3000) << c.markX;
    }
  }
}

// The pass itself: commitment, the holder's wind-up along his own facing,
// the receiver's run and the release time of the side; one draw more when
// both sides were ready.
TEST_F(SetPieceHolderTest, ScrumPassSetsUpThePass) {
  W.RuckOriginX = 35.0f;  // always left
  P1(kHolder).FacingAngle = static_cast<f32>(170.0 * kDegToRad);
  P1(kLeft).shimmytimer = 1.0f;
  u32 before = RandSeed;
  ScrumBallCarrier(W);
  const int bothDraws = DrawsSince(before);
  const TTeamBlock& B = Side();
  EXPECT_NE(B.HalfTimeAux, 0);
  EXPECT_EQ(B.PassReceiver, kLeft);
  EXPECT_EQ(P1(kLeft).shimmytimer, 0.0f);
  EXPECT_EQ(P1(kHolder).passtimer, 10.0f);
  EXPECT_EQ(B.PassKind, 6);
  EXPECT_NEAR(B.PasserRunAngle, 80.0f, 1e-4);
  EXPECT_GE(B.ReceiverRunAngle, 45.0f);
  EXPECT_LE(B.ReceiverRunAngle, 90.0f);
  EXPECT_GT(B.ReceiverRunSpeed, 0.0f);
  EXPECT_LE(B.ReceiverRunSpeed, 0.25f * 8.0f);
  EXPECT_EQ(B.PassTimeLeft, kLeftRelease);
  EXPECT_EQ(B.PassDuration, kLeftRelease);
  EXPECT_EQ(P1(kHolder).DummyhalfPassLeftReleaseTime.value, kLeftRelease);  // paces his animation

  // Right side only: no side draw, the right release time, angle 90..134.
  Uncommit();
  Side().SetPieceLine[100] = 0;
  Side().SetPieceLine[99] = 0;
  before = RandSeed;
  ScrumBallCarrier(W);
  EXPECT_EQ(DrawsSince(before), bothDraws - 1);
  EXPECT_EQ(B.PassReceiver, kRight);
  EXPECT_EQ(B.PassSide, 2);
  EXPECT_GE(B.ReceiverRunAngle, 90.0f);
  EXPECT_LE(B.ReceiverRunAngle, 134.0f);
  EXPECT_EQ(B.PassTimeLeft, kRightRelease);
  EXPECT_EQ(P1(kHolder).DummyhalfPassRightReleaseTime.value, kRightRelease);
}

// A line player more than 0.95 m from his spot is passed over for the next
// one out; with none ready on either side the holder keeps the ball.
TEST_F(SetPieceHolderTest, ScrumPassSkipsLinePlayersOffTheirSpots) {
  W.RuckOriginX = 35.0f;  // always left when there is a left candidate
  struct Case {
    f32 off10, off11, off12;
    i32 receiver;
  } cases[] = {
      {0.94f, 0.0f, 0.0f, kLeft},
      {0.96f, 0.0f, 0.0f, kLeft2},
      {0.96f, 0.96f, 0.0f, kRight},
      {0.96f, 0.96f, 0.96f, 0},
  };
  for (const Case& c : cases) {
    Uncommit();
    OffSpot(P1(kLeft), c.off10);
    OffSpot(P1(kLeft2), c.off11);
    OffSpot(P1(kRight), c.off12);
    const u32 before = RandSeed;
    ScrumBallCarrier(W);
    EXPECT_EQ(Side().PassReceiver, c.receiver) << c.off10 << " " << c.off11 << " " << c.off12;
    if (c.receiver == 0) {
      EXPECT_EQ(Side().HalfTimeAux, 0);
      EXPECT_EQ(P1(kHolder).passtimer, 0.0f);
      EXPECT_EQ(DrawsSince(before), 0);
    }
  }
}

// No pass before phase 10, while the holder is off his spot or busy, once
// he has committed, or with a slot that names no player.
TEST_F(SetPieceHolderTest, ScrumPassWaits) {
  auto expectNoPass = [](const char* what) {
    const u32 before = RandSeed;
    ScrumBallCarrier(W);
    EXPECT_EQ(P1(kHolder).passtimer, 0.0f) << what;
    EXPECT_EQ(DrawsSince(before), 0) << what;
  };
  W.ScrumPhase = 9;
  expectNoPass("phase 9");
  W.ScrumPhase = 10;
  OffSpot(P1(kHolder), 0.21f);
  expectNoPass("holder 0.21 m off");
  OffSpot(P1(kHolder), 0.0f);
  Side().HalfTimeAux = kTrue32;
  expectNoPass("committed");
  Side().HalfTimeAux = kFalse32;
  Side().SetPieceHolder = 26;
  expectNoPass("holder out of range");
  Side().SetPieceHolder = kHolder;
  Side().SetPieceLine[100] = 30;
  Side().SetPieceLine[99] = -1;
  Side().SetPieceLine[102] = 0;
  ScrumBallCarrier(W);
  EXPECT_EQ(Side().PassReceiver, 0);
  P1(kHolder).passtimer = 0.5f;
  Side().SetPieceLine[100] = kLeft;
  const u32 before = RandSeed;
  ScrumBallCarrier(W);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(Side().HalfTimeAux, 0);
}

// The decision step in scrum: a holder running a sequence goes to the
// carrier decision (its scrum release passes with angle 70 or 110); with
// DecisionsOn clear and no sequence nothing changes; else the base pass.
TEST_F(SetPieceHolderTest, ScrumStrategyDispatch) {
  W.RuckOriginX = 35.0f;
  Side().DecisionsOn = kFalse32;
  static TWorld before;
  before = W;
  ScrumStrategy(W);
  EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0);

  Side().DecisionsOn = kTrue32;
  ScrumStrategy(W);
  EXPECT_EQ(Side().PassReceiver, kLeft);
  EXPECT_NEAR(Side().PasserRunAngle, 90.0f, 1e-4);

  Uncommit();
  BuildActionSeqTemplates(W);
  TActionSeq& S = P1(kHolder).ActionSeq;
  S = StrategyParams.ActionSeqTemplate;
  S.EventArray[1].EventType = 1;
  S.EventArray[1].EventSubType = kRight;
  Side().DecisionsOn = kFalse32;
  ScrumStrategy(W);
  EXPECT_EQ(Side().PassReceiver, kRight);
  EXPECT_EQ(Side().PasserRunAngle, 110.0f);
}

// ------------------------------------------------------------------ carrier movement

// Each control moves its carrier the shared way and faces him by its own
// overrides.
TEST_F(SetPieceHolderTest, CarrierFacingOverrides) {
  enum Control { kScrum, kLineout, kRestart };
  struct Case {
    const char* what;
    Control control;
    int phase;
    f32 spotAhead;   // m along +x to his spot (heading 180 when he runs to it)
    f32 timer;       // passtimer, LineOutTimer or KickTimer
    f32 facing;      // expected heading faced
  } cases[] = {
      {"scrum runs", kScrum, 2, 3.0f, 0, 180.0f},
      {"scrum phase 7", kScrum, 7, 3.0f, 0, 33.0f},
      {"scrum passing", kScrum, 7, 3.0f, 1.0f, 90.0f},
      {"lineout runs", kLineout, 2, 3.0f, 1.0f, 180.0f},
      {"lineout on spot", kLineout, 2, 0.1f, 1.0f, 44.0f},
      {"lineout on spot, timer out", kLineout, 2, 0.1f, 0, 180.0f},
      {"restart runs", kRestart, 3, 3.0f, 0, 180.0f},
      {"restart kicking", kRestart, 3, 3.0f, 1.0f, 55.0f},
      {"restart on spot", kRestart, 3, 0.1f, 0, 90.0f},
      {"restart on spot, phase 2", kRestart, 2, 0.1f, 0, 180.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& C = P1(kKicker);
    Side().BallCarrier = kKicker;
    Side().RestartType = 7;
    Place(C, 0.0f, 0.0f);
    C.DesiredPos.x = c.spotAhead;
    C.ChaseSpeed = 6.0f;
    C.SpecialAnimAngle = 33.0f;
    C.LineoutFacing = 44.0f;
    C.KickFacing = 55.0f;
    Side().RestartAimPoint = {0.0f, 10.0f};  // straight up-field
    if (c.control == kScrum) {
      W.ScrumPhase = c.phase;
      C.passtimer = c.timer;
      ScrumBallCarrier(W);
    } else if (c.control == kLineout) {
      W.gamestate = gsLineout;
      W.LineoutPhase = c.phase;
      C.LineOutTimer = c.timer;
      LineoutStrategy(W);
    } else {
      W.gamestate = gsKickRestartSet;
      W.KickRestartSetPhase = c.phase;
      C.KickTimer = c.timer;
      KickRestartStrategy(W);
    }
    EXPECT_NEAR(C.FacingHeading, c.facing, 0.05) << c.what;
    const double reach = std::min<double>(c.spotAhead, 4.0 * 0.04 * 0.04);  // from standing, one step
    EXPECT_NEAR(C.Pos.x, reach, 1e-5) << c.what;
    TearDown();
  }
}

// The kick-restart carrier runs up to his ChaseSpeed, the others up to 5 m/s.
TEST_F(SetPieceHolderTest, CarrierSpeedCaps) {
  TPlayer& C = P1(kKicker);
  Side().BallCarrier = kKicker;
  Side().RestartType = 7;
  C.Acceleration = 1000.0f;
  for (int control = 0; control < 3; ++control) {
    Place(C, 0.0f, 0.0f);
    C.DesiredPos.x = 50.0f;
    C.ChaseSpeed = 7.0f;
    if (control == 0) ScrumBallCarrier(W);
    W.LineoutPhase = 2;
    if (control == 1) LineoutStrategy(W);
    W.KickRestartSetPhase = 2;
    if (control == 2) KickRestartBallCarrier(W);
    EXPECT_EQ(C.speed, control == 2 ? 7.0f : 5.0f) << control;
  }
}

// ------------------------------------------------------------------ restart kick

class RestartKickTest : public SetPieceHolderTest {
 protected:
  void SetUp() override {
    SetPieceHolderTest::SetUp();
    W.gamestate = gsKickRestartSet;
    W.KickRestartSetPhase = 4;
    Side().KickerIndex = kKicker;
    Side().BallCarrier = 0;
    Side().RestartBallPos = {0.0f, 0.0f, 0.0f};
    TPlayer& K = P1(kKicker);
    Place(K, 0.0f, -2.0f);
    K.MaxKickSpeed = 30.0f;
    K.MaxGoalKickSpeed = 28.0f;
    K.GoalKickRange = 40.0f;
    K.KickAccuracyProb = 750;
  }

  // One weight of 1000 on Option in zone 1 of family Family of a half.
  static void Favour(TFieldStrategyHalf& H, int Family, int Option) {
    H.Families[Family].OptionCount = 3;
    for (int j = 1; j <= 3; ++j) H.Families[Family].Weights[1][j] = j == Option ? 1000 : 0;
  }

  // The search request must be what FindKick was given: replayed from the
  // seed before the call, it gives the launch stored.
  static void ExpectLaunchFromRequest(u32 seed) {
    const TTeamBlock& B = Side();
    RandSeed = seed;
    const TLaunchParams L =
        FindKick(25, B.KickSearchGrid != 0, B.KickSearchSpeedCap != 0, B.RestartBallPos.x, B.RestartBallPos.y,
                 B.RestartBallPos.z, B.KickSearchSpeedMin, B.KickSearchSpeedMax, B.KickSearchElevationMin,
                 B.KickSearchElevationMax, B.KickSearchHeadingMin, B.KickSearchHeadingMax, B.KickSearchMode,
                 B.KickSearchTargetX, B.KickSearchTargetZ, 5.0f, W.PitchWidth, W.PitchLength, 30.0f);
    EXPECT_EQ(B.KickSpeed, L.Speed);
    EXPECT_EQ(B.KickElevation, L.Elevation);
    EXPECT_EQ(B.KickHeading, L.Heading);
  }
};

// A kick at goal beyond 0.75 of the kicker's range may go 0.125 x his goal
// kick speed + 1 m/s faster and 2 degrees lower; within it, not. No speed
// cap; 7 degrees either side of the posts.
TEST_F(RestartKickTest, GoalKickRangeWidensBeyondThreeQuarters) {
  struct Case {
    i32 type;
    f32 z;  // kicker 0 across; the posts at z 50
    f32 top, lowElevation;
  } cases[] = {
      {8, 20.0f, 28.0f, 40.0f},                      // 30 m: 0.75 of 40
      {8, 19.9f, 28.0f * 1.125f + 1.0f, 38.0f},      // 30.1 m
      {9, 0.0f, 28.0f * 1.125f + 1.0f, 38.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    Side().RestartType = c.type;
    P1(kKicker).Pos.z = c.z;
    const u32 seed = RandSeed;
    KickRestartBallCarrier(W);
    const TTeamBlock& B = Side();
    EXPECT_NE(B.KickChosen, 0);
    EXPECT_FLOAT_EQ(B.KickSearchSpeedMin, 0.95f * 28.0f);
    EXPECT_FLOAT_EQ(B.KickSearchSpeedMax, c.top) << c.z;
    EXPECT_EQ(B.KickSearchElevationMin, c.lowElevation) << c.z;
    EXPECT_EQ(B.KickSearchElevationMax, 50.0f);
    EXPECT_FLOAT_EQ(B.KickSearchHeadingMin, 83.0f);
    EXPECT_FLOAT_EQ(B.KickSearchHeadingMax, 97.0f);
    EXPECT_EQ(B.KickSearchMode, 3.0f);
    EXPECT_EQ(B.KickSearchSpeedCap, 0);
    EXPECT_EQ(B.KickSearchGrid, 0);
    ExpectLaunchFromRequest(seed);
    TearDown();
  }
}

// A penalty to touch aims 3 to 8.5 m beyond touch by the kicker's rating,
// 10 m from inside the opponents' 25 whatever the rating; the side by where
// he stands.
TEST_F(RestartKickTest, TouchKickTarget) {
  struct Case {
    f32 x, z;
    i16 rating;
    f32 targetX, headingLow, headingHigh;
  } cases[] = {
      {-10.0f, 0.0f, 750, -35.0f - 4.375f, 1.0f, 90.0f},
      {0.0f, 0.0f, 1000, -38.0f, 1.0f, 90.0f},
      {10.0f, 0.0f, 0, 35.0f + 8.5f, 90.0f, 179.0f},
      {-10.0f, 25.0f, 750, -35.0f - 4.375f, 1.0f, 90.0f},  // on the 25
      {-10.0f, 25.5f, 750, -45.0f, 1.0f, 90.0f},
      {10.0f, 40.0f, 0, 45.0f, 90.0f, 179.0f},
      {10.0f, 40.0f, 900, 45.0f, 90.0f, 179.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    Side().RestartType = 5;
    P1(kKicker).Pos.x = c.x;
    P1(kKicker).Pos.z = c.z;
    P1(kKicker).KickAccuracyProb = c.rating;
    const u32 seed = RandSeed;
    KickRestartBallCarrier(W);
    const TTeamBlock& B = Side();
    EXPECT_FLOAT_EQ(B.KickSearchTargetX, c.targetX) << c.x << " " << c.z << " " << c.rating;
    EXPECT_EQ(B.KickSearchTargetZ, 50.0f);
    EXPECT_EQ(B.KickSearchHeadingMin, c.headingLow);
    EXPECT_EQ(B.KickSearchHeadingMax, c.headingHigh);
    EXPECT_EQ(B.KickSearchSpeedMin, 28.0f);
    EXPECT_EQ(B.KickSearchSpeedMax, 32.0f);
    EXPECT_EQ(B.KickSearchElevationMin, 38.0f);
    EXPECT_EQ(B.KickSearchElevationMax, 43.0f);
    EXPECT_EQ(B.KickSearchMode, 5.0f);
    EXPECT_NE(B.KickSearchGrid, 0);
    EXPECT_NE(B.KickSearchSpeedCap, 0);
    ExpectLaunchFromRequest(seed);
    TearDown();
  }
}

// Kick-offs (types 1, 2) and drop-outs (4) take their ranges from the option
// drawn from family 4 or 5 of the side's normal or catch-up half, which is
// copied into FieldHalf; other types keep the defaults.
TEST_F(RestartKickTest, RestartRangesByDrawnOption) {
  struct Case {
    i32 type;
    bool catchingUp;
    int option;  // favoured in the half in use; the other half favours another
    f32 s0, s1, h0, h1, e0, e1, mode;
  } cases[] = {
      {1, false, 1, 10, 15, 25, 155, 45, 60, 2},
      {2, false, 2, 15, 25, 30, 150, 45, 60, 2},
      {1, true, 3, 0.95f * 28.0f, 28, 40, 140, 45, 60, 2},
      {2, true, 3, 25, 32, 40, 140, 45, 60, 2},
      {2, false, 0, 10, 32, 20, 170, 45, 60, 2},  // no weights: option 0
      {4, false, 1, 7, 15, 20, 160, 45, 65, 1},
      {4, true, 2, 15, 25, 25, 155, 45, 65, 1},
      {4, false, 3, 25, 32, 35, 145, 45, 65, 1},
      {3, false, 1, 15, 32, 20, 160, 40, 50, 3},  // defaults
  };
  for (const Case& c : cases) {
    SetUp();
    TFieldStrategy& F = FieldStrategy[1];
    F.Normal = TFieldStrategyHalf{};
    F.CatchUp = TFieldStrategyHalf{};
    const int family = c.type == 4 ? 5 : 4;
    TFieldStrategyHalf& used = c.catchingUp ? F.CatchUp : F.Normal;
    TFieldStrategyHalf& other = c.catchingUp ? F.Normal : F.CatchUp;
    if (c.option != 0) Favour(used, family, c.option);
    Favour(other, family, c.option == 1 ? 2 : 1);
    FieldStrategy[2] = TFieldStrategy{};
    Favour(FieldStrategy[2].Normal, family, c.option == 1 ? 2 : 1);
    Favour(FieldStrategy[2].CatchUp, family, c.option == 1 ? 2 : 1);
    used.ZoneCount = 7;  // marks the half copied
    Side().CatchingUp = c.catchingUp ? kTrue32 : kFalse32;
    Side().RestartType = c.type;
    KickRestartBallCarrier(W);
    const TTeamBlock& B = Side();
    EXPECT_FLOAT_EQ(B.KickSearchSpeedMin, c.s0) << c.type << " option " << c.option;
    EXPECT_FLOAT_EQ(B.KickSearchSpeedMax, c.s1) << c.type << " option " << c.option;
    EXPECT_EQ(B.KickSearchHeadingMin, c.h0) << c.type << " option " << c.option;
    EXPECT_EQ(B.KickSearchHeadingMax, c.h1) << c.type << " option " << c.option;
    EXPECT_EQ(B.KickSearchElevationMin, c.e0);
    EXPECT_EQ(B.KickSearchElevationMax, c.e1);
    EXPECT_EQ(B.KickSearchMode, c.mode);
    EXPECT_EQ(B.KickSearchTargetX, 30.0f);
    EXPECT_NE(B.KickSearchSpeedCap, 0);
    if (c.type != 3) {
      EXPECT_EQ(W.FieldHalf.ZoneCount, 7) << c.type;
    }
    TearDown();
  }
}

// The search runs once per restart: not again in the next frame of phase
// 4, not before phase 4, never for a tap penalty or without a kicker.
TEST_F(RestartKickTest, KickChosenOnce) {
  Side().RestartType = 8;
  W.KickRestartSetPhase = 3;
  u32 before = RandSeed;
  KickRestartBallCarrier(W);
  EXPECT_EQ(Side().KickChosen, 0);
  EXPECT_EQ(DrawsSince(before), 0);

  W.KickRestartSetPhase = 4;
  KickRestartBallCarrier(W);
  EXPECT_NE(Side().KickChosen, 0);
  const f32 speed = Side().KickSpeed;
  Side().KickSearchSpeedMin = -1.0f;
  before = RandSeed;
  StartCountingAllocations();
  KickRestartBallCarrier(W);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(Side().KickSpeed, speed);
  EXPECT_EQ(Side().KickSearchSpeedMin, -1.0f);

  for (i32 kicker : {0, 26}) {
    Side().KickChosen = kFalse32;
    Side().KickerIndex = kicker;
    KickRestartBallCarrier(W);
    EXPECT_EQ(Side().KickChosen, 0) << kicker;
  }
  Side().KickerIndex = kKicker;
  Side().RestartType = 7;
  KickRestartBallCarrier(W);
  EXPECT_EQ(Side().KickChosen, 0);
  Side().RestartType = 8;
  Side().DecisionsOn = kFalse32;
  KickRestartStrategy(W);
  EXPECT_EQ(Side().KickChosen, 0);
}

}  // namespace
