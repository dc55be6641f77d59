#include "decision/MaulHolder.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "core/AuxState.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"

namespace {

constexpr int kLeftLine = 12;      // line slot 100
constexpr int kRightLine = 13;     // line slot 102
constexpr int kLeftSupport = 14;   // support grid row 1, cell 1
constexpr int kRightSupport = 15;  // support grid row 1, cell 7
constexpr int kMiddle = 11;        // line slot 101
constexpr f32 kLeftRelease = 0.3f;
constexpr f32 kRightRelease = 0.4f;

// The scene: a standing maul (phase 2, PackVelocityZ 0) of block 1 at the
// centre. Pack place s holds player s when the case fills it, bound as one
// who can take the ball (RuckRole 63), each on his spot; the carrier holds
// role 65 and is also the SetPieceHolder. The line has player 12 in slot
// 100, 11 in the middle and 13 in 102, on slots 0.5 m apart; the support
// grid (7 x 7) has 14 in row 1 cell 1 and 15 in row 1 cell 7. Everyone
// stands on his spot, facing up-field.
TWorld W;

TTeamBlock& Side() { return W.Teams[1]; }
TPlayer& P1(int n) { return W.Teams[1].Players[n]; }

class MaulHolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.Frame = true, .LastFrame = true});
    RandSeed = 66;
    W.gamestate = gsMaul;
    W.MaulPhase = 2;
    W.LiveWorld = kTrue32;
    AuxState.TurnRate = 400.0f;
    TTeamBlock& B = Side();
    B.DecisionsOn = kTrue32;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(p - 8), b == 1 ? -20.0f : 20.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
      P.FacingAngle = static_cast<f32>(180.0 * kDegToRad);
      P.Heading = 90.0f;
      SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0, 0.5);
    });
    for (int k = 1; k <= 201; ++k) B.SetPieceSlotPos[k] = {static_cast<f32>((k - 101) * 0.5), -5.0f};
    B.SetPieceLine[100] = kLeftLine;
    B.SetPieceLine[101] = kMiddle;
    B.SetPieceLine[102] = kRightLine;
    B.SupportGridSize = 7;
    B.SupportGridCells[1][1] = kLeftSupport;
    B.SupportGridCells[1][7] = kRightSupport;
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void TearDown() override { EXPECT_FALSE(FloatErrorRaised()); }

  // Fills the pack places listed (player s in place s, able to take) and
  // gives the ball to the player in place Carrier.
  static void Pack(std::initializer_list<int> Places, int Carrier) {
    for (int s = 1; s <= 10; ++s) Side().PackSpots.OccupantB[s] = 0;
    for (int s : Places) {
      Side().PackSpots.OccupantB[s] = s;
      P1(s).RuckRole = 63.0f;
      P1(s).RuckTimer = 1.0f;
    }
    Side().BallCarrier = Carrier;
    Side().SetPieceHolder = Carrier;
    P1(Carrier).RuckRole = 65.0f;
    SetDistribution(P1(Carrier).DummyhalfPassLeftReleaseTime, kLeftRelease, 1, kLeftRelease, kLeftRelease);
    SetDistribution(P1(Carrier).DummyhalfPassRightReleaseTime, kRightRelease, 1, kRightRelease, kRightRelease);
  }

  // Keeps the option given: no new draw and no transfer this frame.
  static void HoldOption(i32 Option) {
    Side().MaulOption = Option;
    Side().MaulPassTimer = 0.5f;
  }
};

// ------------------------------------------------------------------ option choice

// Weights by the carrier's place and who can take: moves back and to the
// sides at 50, passes out and the break-off at 70.
TEST_F(MaulHolderTest, OptionWeightsByPlace) {
  struct Case {
    const char* what;
    std::initializer_list<int> places;
    int carrier;
    int notTaker;  // a filled place whose player faces back (64), 0 none
    Arr1<i16, 8> w;
  } cases[] = {
      {"front, 4 and 5 behind", {1, 4, 5}, 1, 0, {{50, 0, 0, 0, 0, 0, 0, 0}}},
      {"front, 4 faces back", {1, 4}, 1, 4, {{0, 0, 0, 0, 0, 0, 0, 0}}},
      {"4, 5 and 7 beside", {4, 5, 7}, 4, 0, {{0, 50, 50, 70, 70, 70, 70, 0}}},
      {"4, 7 faces back", {4, 7}, 4, 7, {{0, 0, 0, 70, 70, 70, 70, 0}}},
      {"4, 9 behind", {4, 9}, 4, 0, {{50, 0, 0, 0, 0, 0, 0, 70}}},
      {"6, 9 and 10", {6, 9, 10}, 6, 0, {{0, 50, 50, 70, 70, 70, 70, 70}}},
      {"5, 8 behind", {5, 8}, 5, 0, {{0, 0, 50, 70, 70, 70, 70, 0}}},
      {"7, 9 behind", {7, 9}, 7, 0, {{50, 0, 0, 0, 0, 0, 0, 70}}},
  };
  for (const Case& c : cases) {
    SetUp();
    Pack(c.places, c.carrier);
    if (c.notTaker != 0) P1(c.notTaker).RuckRole = 64.0f;
    MaulBallCarrier(W);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(W.ChoiceWeights[k], c.w[k]) << c.what << ", option " << k;
    TearDown();
  }
}

// No option is drawn while the maul drives on at 0.8 m/s or more, while the
// last transfer's timer runs, outside phase 2 or once the holder committed.
TEST_F(MaulHolderTest, NoOptionWhileDrivingOrBusy) {
  struct Case {
    const char* what;
    f32 velocity, timer;
    int phase;
    bool32 committed;
    bool draws;
  } cases[] = {
      {"0.79 m/s", 0.79f, 0, 2, kFalse32, true},
      {"0.8 m/s", 0.8f, 0, 2, kFalse32, false},
      {"timer", 0, 0.1f, 2, kFalse32, false},
      {"phase 3", 0, 0, 3, kFalse32, false},
      {"committed", 0, 0, 2, kTrue32, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Pack({4, 7}, 4);
    P1(7).RuckRole = 64.0f;  // no transfer: the draw is the option's alone
    W.PackVelocityZ = c.velocity;
    Side().MaulPassTimer = c.timer;
    W.MaulPhase = c.phase;
    Side().HalfTimeAux = c.committed;
    const u32 before = RandSeed;
    MaulBallCarrier(W);
    EXPECT_EQ(DrawsSince(before) > 0, c.draws) << c.what;
    EXPECT_EQ(Side().MaulOption != 0, c.draws) << c.what;
    TearDown();
  }
}

// ------------------------------------------------------------------ transfers

// From the front with 4 and 5 able to take, the ball goes to 5 on a draw
// above 500 and to 4 otherwise; the old holder can take again, the new one
// holds, and the next transfer waits 0.4..0.999 s.
TEST_F(MaulHolderTest, BackFromTheFrontByDraw) {
  int fives = 0;
  for (int k = 0; k < 400; ++k) {
    SetUp();
    Pack({1, 4, 5}, 1);
    Side().HalfTimeAux = kTrue32;  // no option draw: the slot draw comes first
    Side().MaulOption = 1;
    const u32 seed = SeedAfter(366, k);
    RandSeed = seed;
    const i32 r = RandomRange(1, 1001);
    RandSeed = seed;
    MaulBallCarrier(W);
    const int to = r > 500 ? 5 : 4;
    ASSERT_EQ(Side().BallCarrier, to) << "draw " << r;
    EXPECT_EQ(P1(to).RuckRole, 65.0f);
    EXPECT_EQ(P1(1).RuckRole, 63.0f);
    EXPECT_EQ(P1(9 - to).RuckRole, 63.0f);
    EXPECT_GE(Side().MaulPassTimer, 0.4f);
    EXPECT_LE(Side().MaulPassTimer, 0.999f);
    EXPECT_EQ(DrawsSince(seed), 2);
    fives += to == 5;
    TearDown();
  }
  EXPECT_GT(fives, 0);
  EXPECT_LT(fives, 400);
}

// In the maul state the decision step of the frame runs the maul control:
// with option 1 held, one decision frame moves the ball back from the front.
TEST_F(MaulHolderTest, TheDecisionStepRunsTheMaulControl) {
  Pack({1, 5}, 1);
  Side().HalfTimeAux = kTrue32;
  Side().MaulOption = 1;
  RunFrameStep(FrameSteps[kStepStrategy], W);
  EXPECT_EQ(Side().BallCarrier, 5);
  EXPECT_EQ(P1(5).RuckRole, 65.0f);
  EXPECT_GE(Side().MaulPassTimer, 0.4f);
}

// Options 1 to 3 by place; only a player who can take receives; one
// transfer a frame.
TEST_F(MaulHolderTest, TransfersByOption) {
  struct Case {
    int option, from;
    std::initializer_list<int> places;
    int to;  // 0: the ball stays
  } cases[] = {
      {1, 1, {1, 5}, 5},  {1, 4, {4, 9}, 9},   {1, 7, {7, 9}, 9},   {1, 8, {8, 10}, 10}, {1, 6, {6, 9}, 0},
      {2, 4, {4, 7}, 7},  {2, 5, {4, 5}, 4},   {2, 6, {6, 9}, 9},   {2, 8, {5, 8}, 5},   {2, 10, {6, 10}, 6},
      {3, 4, {4, 5}, 5},  {3, 5, {5, 8}, 8},   {3, 6, {6, 10}, 10}, {3, 7, {4, 7}, 4},   {3, 9, {6, 9}, 6},
      {2, 7, {4, 7}, 0},  {3, 10, {6, 10}, 0},
  };
  for (const Case& c : cases) {
    SetUp();
    Pack(c.places, c.from);
    Side().HalfTimeAux = kTrue32;
    Side().MaulOption = c.option;
    MaulBallCarrier(W);
    EXPECT_EQ(Side().BallCarrier, c.to == 0 ? c.from : c.to) << "option " << c.option << " from " << c.from;
    EXPECT_EQ(Side().MaulPassTimer > 0, c.to != 0);
    TearDown();
  }
  // A taker facing back (64) does not receive.
  Pack({4, 7}, 4);
  P1(7).RuckRole = 64.0f;
  Side().HalfTimeAux = kTrue32;
  Side().MaulOption = 2;
  MaulBallCarrier(W);
  EXPECT_EQ(Side().BallCarrier, 4);
}

// ------------------------------------------------------------------ pass out and break-off

// From place 4 with 6, 9 and 10 empty the carrier may pass to the line (the
// holder commits, phase 3); with 9 filled he may not. He cannot break off
// while 7 is filled.
TEST_F(MaulHolderTest, PassAndBreakOffFromPlaceFour) {
  struct Case {
    const char* what;
    std::initializer_list<int> places;
    int option;
    i32 receiver;
    bool breaks;
  } cases[] = {
      {"line, left", {4}, 4, kLeftLine, false},
      {"support, left", {4}, 5, kLeftSupport, false},
      {"line, right", {4}, 6, kRightLine, false},
      {"support, right", {4}, 7, kRightSupport, false},
      {"line with 9 filled", {4, 9}, 4, 0, false},
      {"break with 7 filled", {4, 7}, 8, 0, false},
      {"break with 7 empty", {4}, 8, 0, true},
  };
  for (const Case& c : cases) {
    SetUp();
    Pack(c.places, 4);
    Side().MaulOption = c.option;
    if (c.option == 8) {
      Side().HalfTimeAux = kTrue32;  // keep the option: no new draw
    } else {
      HoldOption(c.option);
    }
    MaulBallCarrier(W);
    EXPECT_EQ(Side().PassReceiver, c.receiver) << c.what;
    EXPECT_EQ(W.MaulPhase, c.receiver != 0 ? 3 : 2) << c.what;
    if (c.option != 8) {
      EXPECT_EQ(Side().HalfTimeAux != 0, c.receiver != 0) << c.what;
    }
    EXPECT_EQ(W.gamestate, c.breaks ? gsRunning : gsMaul) << c.what;
    TearDown();
  }
}

// The break-off: the carrier takes the middle of the line and leaves the
// grid, the middle player moves to another free slot, the defence redraws
// its read delays, both packs release after staggered delays (not roles 60
// and 61), the carrier at once.
TEST_F(MaulHolderTest, BreakOffReturnsToRunning) {
  Pack({4, 6, 8}, 6);
  P1(8).RuckRole = 60.0f;
  Side().SupportGridCells[3][2] = 6;
  Side().MaulOption = 8;
  Side().HalfTimeAux = kTrue32;
  Side().SampleTimer = 1.0f;
  W.Teams[2].PackSpots.OccupantB[1] = 3;
  W.Teams[2].Players[3].RuckTimer = 1.0f;
  W.Teams[2].PressureTimerA = 1.0f;
  const f32 width = World.PitchWidth;  // the slot placement reads the match pitch
  World.PitchWidth = 70.0f;
  MaulBallCarrier(W);
  World.PitchWidth = width;
  const TTeamBlock& B = Side();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(B.BallCarrier, 6);
  EXPECT_EQ(B.SetPieceLine[101], 6);
  EXPECT_NE(P1(6).LineFlag, 0);
  EXPECT_EQ(B.SupportGridCells[3][2], 0);
  int middle = 0;
  for (int k = 1; k <= 201; ++k) middle += B.SetPieceLine[k] == kMiddle;
  EXPECT_EQ(middle, 1);
  EXPECT_NE(P1(kMiddle).LineFlag, 0);
  EXPECT_EQ(B.SampleTimer, 0.0f);
  EXPECT_NE(B.SampleRequest, 0);
  EXPECT_EQ(W.Teams[2].PressureTimerA, 0.0f);
  EXPECT_NE(W.PassSpiral, 0);
  EXPECT_GT(W.Teams[2].Players[1].PassReadTimer, 0.0f);
  EXPECT_GT(P1(4).RuckTimer2, 0.0f);
  EXPECT_EQ(P1(4).RuckTimer2, B.PackSpots.ReleaseDelay[4]);
  EXPECT_EQ(P1(8).RuckTimer2, 0.0f);  // role 60
  EXPECT_EQ(P1(8).RuckTimer, 0.0f);
  EXPECT_EQ(P1(6).RuckTimer2, 0.0f);
  EXPECT_EQ(W.Teams[2].Players[3].RuckTimer2, W.Teams[2].PackSpots.ReleaseDelay[1]);
}

// In phase 4, with holder and receiver on their spots, the pass out starts:
// to a support player straight (90) at his top speed, to a line player at
// up to a quarter of it; the holder's release time by the side.
TEST_F(MaulHolderTest, PassOut) {
  struct Case {
    int option;
    f32 holderOff, receiverOff;
    bool passes;
  } cases[] = {
      {5, 0.3f, 0.09f, true},   {7, 0, 0, true},        {4, 0, 0, true}, {6, 0, 0, true},
      {5, 0.31f, 0.0f, false}, {5, 0.0f, 0.11f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Pack({4}, 4);
    const i32 r = c.option == 4 ? kLeftLine : c.option == 5 ? kLeftSupport : c.option == 6 ? kRightLine : kRightSupport;
    HoldOption(c.option);
    Side().HalfTimeAux = kTrue32;
    Side().PassReceiver = r;
    W.MaulPhase = 4;
    P1(4).DesiredPos.z += c.holderOff;
    P1(r).DesiredPos.z += c.receiverOff;
    P1(r).shimmytimer = 1.0f;
    P1(4).RuckTimer = 0;  // he walks to his spot from standing
    MaulBallCarrier(W);
    const TTeamBlock& B = Side();
    EXPECT_EQ(P1(4).passtimer > 0, c.passes) << c.option << " " << c.holderOff << " " << c.receiverOff;
    if (!c.passes) {
      TearDown();
      continue;
    }
    const bool left = c.option <= 5;
    const bool support = c.option == 5 || c.option == 7;
    EXPECT_EQ(P1(r).shimmytimer, 0.0f);
    EXPECT_EQ(B.PassKind, 6);
    EXPECT_EQ(B.PasserSpeedRef, 0.0f);
    EXPECT_EQ(B.PassSide, left ? 1 : 2);
    EXPECT_EQ(B.PasserRunAngle, left ? 80.0f : 100.0f);
    EXPECT_EQ(B.PassTimeLeft, left ? kLeftRelease : kRightRelease);
    EXPECT_EQ(B.PassDuration, B.PassTimeLeft);
    // The draw is also the distribution's value, which paces his animation.
    EXPECT_EQ((left ? P1(4).DummyhalfPassLeftReleaseTime : P1(4).DummyhalfPassRightReleaseTime).value,
              B.PassTimeLeft);
    if (support) {
      EXPECT_EQ(B.ReceiverRunAngle, 90.0f);
      EXPECT_EQ(B.ReceiverRunSpeed, 8.0f);
    } else {
      EXPECT_LE(B.ReceiverRunSpeed, 2.0f);
      EXPECT_GE(B.ReceiverRunAngle, left ? 45.0f : 90.0f);
      EXPECT_LE(B.ReceiverRunAngle, left ? 90.0f : 135.0f);
    }
    TearDown();
  }
}

// While the holder's pass is wound up the line's profile values are
// renewed (the middle slot 0), and the carrier holds his start point and
// moves along the pass's run angle at most at PasserSpeedRef.
TEST_F(MaulHolderTest, WindUpRefreshesLineAndMovesCarrier) {
  Pack({4}, 4);
  HoldOption(0);
  Side().HalfTimeAux = kTrue32;
  TStrategyShape& S = Side().CurrentStrategy;
  S.SegmentCount = 1;
  S.Capacity = 20;
  S.Durations[1] = 100.0f;
  S.StartValues[1] = 0.0f;
  S.EndValues[1] = 10.0f;
  for (int k = 1; k <= 201; ++k) Side().LineSlotPos[k] = {static_cast<f32>(k - 101), 99.0f};
  TPlayer& C = P1(4);
  C.passtimer = 1.0f;
  C.OldPos.z = C.Pos.z - 0.04f;  // 1 m/s last frame
  C.DesiredPos.z = C.Pos.z + 5.0f;
  Side().PasserRunAngle = 40.0f;
  Side().PasserSpeedRef = 0.5f;
  const TVector3 start = C.Pos;
  MaulBallCarrier(W);
  for (int k : {1, 60, 100, 102, 201}) {
    const TVector2& e = Side().LineSlotPos[k];
    EXPECT_EQ(e.z, ProfileValueAt(S, e.x, 0, 0)) << k;
  }
  EXPECT_EQ(Side().LineSlotPos[101].z, 0.0f);
  const TDirection d = HeadingDirection(40.0);
  EXPECT_EQ(C.speed, 0.5f);
  EXPECT_NEAR(C.Pos.x, start.x + d.x * 0.02, 1e-6);
  EXPECT_NEAR(C.Pos.z, start.z + d.z * 0.02, 1e-6);
  EXPECT_NEAR(C.FacingHeading, 40.0f, 1e-4);
  EXPECT_NEAR(C.Heading, 90.0f - 16.0f, 1e-4);  // 400 deg/s for 0.04 s
}

// Without a wound-up pass the carrier runs to his spot at his top speed,
// facing up-field, or back with role 64; in the first frames of his run
// with RuckTimer he starts at the speed that covers the gap in one step.
TEST_F(MaulHolderTest, CarrierMovement) {
  struct Case {
    f32 role, ruckTimer, gap;
    f32 facing, speed;
  } cases[] = {
      {65, 0, 2.0f, 90.0f, 0.16f},
      {64, 0, 2.0f, 270.0f, 0.16f},
      {65, 1.0f, 0.2f, 90.0f, 5.0f},   // 0.2 m in one step: 5 m/s, exact arrival
      {65, 1.0f, 2.0f, 90.0f, 8.0f},   // capped at maxspeed, then no more
  };
  for (const Case& c : cases) {
    SetUp();
    Pack({4}, 4);
    HoldOption(0);
    Side().HalfTimeAux = kTrue32;
    TPlayer& C = P1(4);
    C.RuckRole = c.role;
    C.RuckTimer = c.ruckTimer;
    C.DesiredPos.x = C.Pos.x + c.gap;
    MaulBallCarrier(W);
    EXPECT_NEAR(C.FacingHeading, c.facing, 1e-4) << c.role << " " << c.ruckTimer << " " << c.gap;
    EXPECT_NEAR(C.speed, c.speed, 1e-4) << c.role << " " << c.ruckTimer << " " << c.gap;
    TearDown();
  }
}

// Before phase 2, without a carrier or with DecisionsOn clear nothing
// changes; a frame allocates nothing.
TEST_F(MaulHolderTest, InactiveCasesAndNoAllocation) {
  Pack({1, 4, 5}, 1);
  static TWorld before;
  W.MaulPhase = 1;
  before = W;
  MaulStrategy(W);
  EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0);
  W.MaulPhase = 2;
  Side().DecisionsOn = kFalse32;
  before = W;
  MaulStrategy(W);
  EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0);
  Side().DecisionsOn = kTrue32;
  for (i32 c : {0, 26}) {
    Side().BallCarrier = c;
    before = W;
    MaulStrategy(W);
    EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0) << c;
  }
  Side().BallCarrier = 1;
  StartCountingAllocations();
  for (int f = 0; f < 50; ++f) MaulStrategy(W);
  EXPECT_EQ(StopCountingAllocations(), 0);
}

}  // namespace
