// The facing step on the small motion scene: look-at points, the facing of
// each block, its overrides, the body turn and the tackled side-step.
#include "motion/LookAtPositionUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "MotionScene.h"
#include "core/AuxState.h"
#include "core/DrawCount.h"
#include "core/Geometry.h"

namespace {

constexpr double kPi = std::numbers::pi;

f32 FacingOf(double HeadingDeg) { return ToF32((HeadingDeg + 90.0) * kDegToRad); }

class LookAtPositionTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    AuxState.TurnRate = 400.0f;
    MotionWorld.gamestate = gsLineout;  // no look-at nudges
  }
  static void Step() { RunStep(LookAtPosition); }
};

// Moves a player by (dx, dz) over the last frame.
void Moved(TPlayer& P, f32 dx, f32 dz) {
  P.OldPos = P.Pos;
  P.Pos.x += dx;
  P.Pos.z += dz;
  P.DesiredPos = P.Pos;
}

TEST_F(LookAtPositionTest, FacingFollowsTheLookDirectionOfEachBlock) {
  struct Case {
    const char* what;
    int b;
    f32 dx, dz;
    f32 facing;
  } cases[] = {
      {"block 1 standing still looks up-field", 1, 0.0f, 0.0f, ToF32(kPi)},
      {"block 2 standing still looks down-field", 2, 0.0f, 0.0f, ToF32(2.0 * kPi)},
      {"block 1 moving exactly along +x", 1, 0.2f, 0.0f, 4.712389f},
      {"block 1 moving exactly along -x", 1, -0.2f, 0.0f, 1.5707964f},
      {"block 1 moving along -z", 1, 0.0f, -0.2f, ToF32(2.0 * kPi)},
      {"block 1 moving up-field and to +x", 1, 0.2f, 0.2f, ToF32(std::atan(1.0) + kPi)},
      {"block 2 moving along +x", 2, 0.2f, 0.0f, FacingOf(180.0)},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = gsLineout;
    TPlayer& P = MotionWorld.Teams[c.b].Players[4];
    Moved(P, c.dx, c.dz);
    P.FacingAngle = 0.25f;
    Step();
    EXPECT_FLOAT_EQ(P.FacingAngle, c.facing) << c.what;
    EXPECT_EQ(P.PrevFacingAngle, 0.25f) << c.what;
  }
}

TEST_F(LookAtPositionTest, AHundredDegreeTurnTakesSevenFramesAndSetsTheTurnFlags) {
  TPlayer& P = Att(3);
  P.Heading = 90.0f;
  P.FacingAngle = FacingOf(190.0);
  int frames = 0;
  while (P.Heading != P.FacingHeading && frames < 20) {
    TurnBody(P, kSceneStep, true);
    ++frames;
    if (frames == 1) {
      EXPECT_FLOAT_EQ(P.Heading, 106.0f);
      EXPECT_EQ(P.TurnRightWithBall, kTrue32);
      EXPECT_EQ(P.TurnLeftWithBall, 0);
    }
  }
  EXPECT_EQ(frames, 7);
  EXPECT_FLOAT_EQ(P.Heading, 190.0f);

  // A falling turn past 0 is not brought back into 0..360; below 10 degrees
  // the flags are only cleared, and within 1 degree nothing changes.
  P.Heading = 5.0f;
  P.FacingAngle = FacingOf(330.0);
  TurnBody(P, kSceneStep, true);
  EXPECT_FLOAT_EQ(P.Heading, -11.0f);
  EXPECT_EQ(P.TurnLeftWithBall, kTrue32);
  EXPECT_EQ(P.TurnRightWithBall, 0);
  P.FacingAngle = FacingOf(-19.0);
  TurnBody(P, kSceneStep, true);
  EXPECT_FLOAT_EQ(P.Heading, -19.0f);
  EXPECT_EQ(P.TurnLeftWithBall, 0);
  P.TurnLeftWithBall = kTrue32;
  P.FacingAngle = FacingOf(-18.5);
  TurnBody(P, kSceneStep, true);
  EXPECT_FLOAT_EQ(P.Heading, -19.0f);
  EXPECT_EQ(P.TurnLeftWithBall, kTrue32);

  // Gaps a hair either side of the frame's 16-degree step: one snaps, the
  // other turns the step and no more.
  P.Heading = 100.0f;
  P.FacingAngle = FacingOf(115.995);
  TurnBody(P, kSceneStep, true);
  EXPECT_EQ(P.Heading, P.FacingHeading);
  P.Heading = 100.0f;
  P.FacingAngle = FacingOf(116.005);
  TurnBody(P, kSceneStep, true);
  EXPECT_FLOAT_EQ(P.Heading, 116.0f);
  EXPECT_NE(P.Heading, P.FacingHeading);

  // Block 2 turns without touching the flags.
  TPlayer& D = Def(3);
  D.Heading = 0.0f;
  D.FacingAngle = FacingOf(90.0);
  TurnBody(D, kSceneStep, false);
  EXPECT_FLOAT_EQ(D.Heading, 16.0f);
  EXPECT_EQ(D.TurnRightWithBall, 0);
}

TEST_F(LookAtPositionTest, TheRunningCarrierKeepsHisFacingAndHeading) {
  TWorld& W = MotionWorld;
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 10;
  TPlayer& C = Att(10);
  Moved(C, 0.3f, 0.0f);
  C.FacingAngle = 1.0f;
  C.PrevFacingAngle = 0.5f;
  C.Heading = 33.0f;
  Step();
  EXPECT_EQ(C.FacingAngle, 1.0f);
  EXPECT_EQ(C.PrevFacingAngle, 0.5f);
  EXPECT_EQ(C.Heading, 33.0f);
  EXPECT_FLOAT_EQ(Att(9).FacingAngle, ToF32(kPi));  // the others are faced
}

TEST_F(LookAtPositionTest, QbPassKeepsLastFramesFacingWhileMoving) {
  TPlayer& P = Att(9);
  Moved(P, 0.3f, 0.0f);
  P.FacingAngle = 2.0f;
  Playing(P, "qbpass1", 3.0f, 20.0f, false);
  Step();
  EXPECT_EQ(P.FacingAngle, 2.0f);
  Playing(P, "qbbreath1", 3.0f, 20.0f);
  Step();
  EXPECT_FLOAT_EQ(P.FacingAngle, FacingOf(180.0));
}

TEST_F(LookAtPositionTest, BackingOffKeepsLookingUpField) {
  TWorld& W = MotionWorld;
  W.gamestate = gsRunning;
  W.Teams[1].BallCarrier = 10;
  Att(10).Pos.z = 10.0f;  // ahead of everyone
  TPlayer& P = Att(4);
  Moved(P, 0.02f, -0.1f);
  P.Velocity = {0.5f, -2.5f};
  Step();
  EXPECT_FLOAT_EQ(P.LookAtPos.z, ToF32(P.OldPos.z + 0.7 * kSceneStep));
  EXPECT_GT(P.FacingAngle, kPi / 2);
  EXPECT_LT(P.FacingAngle, kPi * 1.5);  // up-field, though he moves back

  // Too fast backwards: he faces the way he moves.
  P.Velocity = {0.5f, -4.5f};
  Step();
  EXPECT_EQ(P.LookAtPos.z, P.Pos.z);
  EXPECT_GT(P.FacingAngle, kPi * 1.5);
}

TEST_F(LookAtPositionTest, ASlowDefenderMovingAwayFromTheBallBacksOffFacingIt) {
  TWorld& W = MotionWorld;
  W.gamestate = gsRunning;
  TPlayer& D = Def(6);
  Moved(D, -0.1f, 0.0f);  // towards -x
  D.DesiredPos.x = D.Pos.x - 3.0f;
  W.BallPos = {ToF32(D.Pos.x + 10.0f), 0.0f, D.Pos.z};  // the ball at +x
  D.speed = 2.0f;
  Step();
  EXPECT_FLOAT_EQ(D.FacingAngle, FacingOf(180.0));
  D.speed = 6.0f;  // at 0.62 x maxspeed or more he faces the way he runs
  Step();
  EXPECT_FLOAT_EQ(D.FacingAngle, FacingOf(0.0));

  // The edges of the 240..300 window of the ball's side, just clear of them
  // and within a hundredth of a degree.
  const struct {
    double ballHeading;  // from him; the window is the ball at 150..210
    bool backsOff;
  } edges[] = {{209.98, true}, {210.02, false}, {209.995, true}, {210.005, false},
               {150.02, true}, {149.98, false}, {150.005, true}, {149.995, false}};
  for (const auto& e : edges) {
    Moved(D, -0.1f, 0.0f);
    D.DesiredPos = {ToF32(D.Pos.x - 3.0f), D.Pos.y, D.Pos.z};
    D.speed = 2.0f;
    const TDirection u = HeadingDirection(e.ballHeading);
    W.BallPos = {ToF32(D.Pos.x + 20.0 * u.x), 0.0f, ToF32(D.Pos.z + 20.0 * u.z)};
    Step();
    EXPECT_FLOAT_EQ(D.FacingAngle, FacingOf(e.backsOff ? 180.0 : 0.0)) << e.ballHeading;
  }
}

TEST_F(LookAtPositionTest, OverridesApplyInOrderTheLaterWinning) {
  struct Case {
    const char* what;
    int b;
    void (*set)(TWorld&, TPlayer&);
    f32 facing;
  } cases[] = {
      {"kick facing", 1, [](TWorld&, TPlayer& P) { P.KickTimer = 1.0f; P.KickFacing = 30.0f; }, FacingOf(30.0)},
      {"stand-up beats the kick", 1,
       [](TWorld&, TPlayer& P) {
         P.KickTimer = 1.0f; P.KickFacing = 30.0f; P.standuptimer = 1.0f; P.StandUpFacing = 200.0f;
       },
       FacingOf(200.0)},
      {"a gesture waits for the kick", 1,
       [](TWorld&, TPlayer& P) {
         P.KickTimer = 1.0f; P.KickFacing = 30.0f; P.SpecialAnimTimer = 1.0f; P.SpecialAnimFacing = 120.0f;
       },
       FacingOf(30.0)},
      {"engaged block needs both halves", 1,
       [](TWorld&, TPlayer& P) { P.BlockEngaged[1] = 3; P.BlockFacing = 45.0f; }, ToF32(kPi)},
      {"engaged block", 1,
       [](TWorld&, TPlayer& P) { P.BlockEngaged[1] = 3; P.BlockEngaged[2] = 1; P.BlockFacing = 45.0f; },
       FacingOf(45.0)},
      {"ruck role faces the ruck", 1, [](TWorld&, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 5.0f; },
       ToF32(kPi)},
      {"ruck roles 0, 1, 60, 61 do not", 1,
       [](TWorld&, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 61.0f; P.Pos.z += 1.0f; P.DesiredPos = P.Pos; },
       ToF32(kPi)},
      {"flank A with no opposite flank", 1,
       [](TWorld& W, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 5.0f; W.Teams[1].RuckFlankA = 4; },
       ToF32(210.0 * kDegToRad)},
      {"flank A opposed", 1,
       [](TWorld& W, TPlayer& P) {
         P.RuckTimer = 1.0f; P.RuckRole = 5.0f; W.Teams[1].RuckFlankA = 4; W.Teams[2].RuckFlankA = 7;
       },
       ToF32(kPi)},
      {"role 64", 1, [](TWorld&, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 64.0f; },
       ToF32(2.0 * kPi)},
      {"block 2 flank B", 2,
       [](TWorld& W, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 5.0f; W.Teams[2].RuckFlankB = 4; },
       ToF32(390.0 * kDegToRad)},
      {"block 2 role 64", 2, [](TWorld&, TPlayer& P) { P.RuckTimer = 1.0f; P.RuckRole = 64.0f; },
       ToF32(kPi)},
      {"lineout facing near his spot", 1,
       [](TWorld&, TPlayer& P) { P.LineOutTimer = 1.0f; P.LineoutFacing = 0.0f; P.DesiredPos.x += 0.3f; },
       FacingOf(0.0)},
      {"lineout facing off his spot", 1,
       [](TWorld&, TPlayer& P) { P.LineOutTimer = 1.0f; P.LineoutFacing = 0.0f; P.DesiredPos.x += 0.5f; },
       ToF32(kPi)},
      {"block 2 side-step", 2, [](TWorld&, TPlayer& P) { P.shimmytimer = 1.0f; P.ShimmyFacing = 250.0f; },
       FacingOf(250.0)},
      {"block 2 forced run before the lunge", 2,
       [](TWorld&, TPlayer& P) {
         P.TackleAttemptTimer = 1.0f; P.TackleAttemptFacing = 10.0f; P.ForcedRunTimer = 1.0f;
         P.ForcedRunFacing = 20.0f; P.TackleAttemptLungeFrame = 5.0f; P.currentframe = 2.0f;
       },
       FacingOf(20.0)},
      {"block 2 forced run after the lunge", 2,
       [](TWorld&, TPlayer& P) {
         P.TackleAttemptTimer = 1.0f; P.TackleAttemptFacing = 10.0f; P.ForcedRunTimer = 1.0f;
         P.ForcedRunFacing = 20.0f; P.TackleAttemptLungeFrame = 5.0f; P.currentframe = 6.0f;
       },
       FacingOf(10.0)},
      {"sequence event towards a team-mate, offset", 1,
       [](TWorld& W, TPlayer& P) {
         W.Teams[1].Players[5].Pos = {P.Pos.x, 0.0f, ToF32(P.Pos.z + 5.0f)};
         TActionSeq& S = P.ActionSeq;
         S.seqON = kTrue32; S.NumEvents = 1; S.CurrEventIndex = 1;
         S.EventArray[1].FaceMode = 2; S.EventArray[1].FaceTarget = 5; S.EventArray[1].FaceOffset = 10.0f;
       },
       FacingOf(100.0)},
      {"sequence event of another type", 1,
       [](TWorld&, TPlayer& P) {
         TActionSeq& S = P.ActionSeq;
         S.seqON = kTrue32; S.NumEvents = 1; S.CurrEventIndex = 1; S.EventArray[1].EventType = 3;
         S.EventArray[1].FaceMode = 1; S.EventArray[1].FaceAngle = 10.0f;
       },
       ToF32(kPi)},
      {"animation sequence towards an opponent beats the event", 2,
       [](TWorld& W, TPlayer& P) {
         W.Teams[1].Players[2].Pos = {ToF32(P.Pos.x + 5.0f), 0.0f, P.Pos.z};
         TActionSeq& S = P.ActionSeq;
         S.seqON = kTrue32; S.CurrEventIndex = 1; S.EventArray[1].FaceMode = 1; S.EventArray[1].FaceAngle = 10.0f;
         P.AnimSeq.Playing = kTrue32; P.AnimSeq.CurrEntry = 2;
         P.AnimSeq.Entries[2].FaceMode = 3; P.AnimSeq.Entries[2].FaceTarget = 2;
       },
       FacingOf(180.0)},
      {"a scripted target that names nobody", 1,
       [](TWorld&, TPlayer& P) {
         P.AnimSeq.Playing = kTrue32; P.AnimSeq.CurrEntry = 1;
         P.AnimSeq.Entries[1].FaceMode = 2; P.AnimSeq.Entries[1].FaceTarget = 26;
       },
       ToF32(kPi)},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = gsLineout;
    TPlayer& P = MotionWorld.Teams[c.b].Players[4];
    c.set(MotionWorld, P);
    Step();
    EXPECT_FLOAT_EQ(P.FacingAngle, c.facing) << c.what;
  }
}

// Block 2's fixed facings replace the facing of the way he moves, and
// conditions a hair short of them leave it; a scripted facing after a fixed
// one starts from the fixed one (its default for a target on his spot).
TEST_F(LookAtPositionTest, Block2FixedFacingsReplaceTheWayHeMovesOnlyWhenTheyApply) {
  struct Case {
    const char* what;
    void (*set)(TWorld&, TPlayer&);
    double fixed;  // heading of the fixed facing; NaN: the way he moves
  } cases[] = {
      {"block exit", [](TWorld&, TPlayer& P) { P.BlockExitTimer = 0.5f; P.BlockExitFacing = 40.0f; }, 40.0},
      {"exited on", [](TWorld&, TPlayer& P) { P.BlockExitedOnTimer = 0.5f; P.BlockExitedOnFacing = 50.0f; }, 50.0},
      {"engaged", [](TWorld&, TPlayer& P) { P.BlockEngaged[1] = 1; P.BlockEngaged[2] = 2; P.BlockFacing = 60.0f; }, 60.0},
      {"engaged one half", [](TWorld&, TPlayer& P) { P.BlockEngaged[2] = 2; P.BlockFacing = 60.0f; }, NAN},
      {"side-step", [](TWorld&, TPlayer& P) { P.shimmytimer = 0.5f; P.ShimmyFacing = 70.0f; }, 70.0},
      {"tackle attempt", [](TWorld&, TPlayer& P) { P.TackleAttemptTimer = 0.5f; P.TackleAttemptFacing = 80.0f; }, 80.0},
      {"ruck role", [](TWorld&, TPlayer& P) { P.RuckTimer = 0.5f; P.RuckRole = 2.0f; }, 270.0},
      {"ruck role 60", [](TWorld&, TPlayer& P) { P.RuckTimer = 0.5f; P.RuckRole = 60.0f; }, NAN},
      {"ruck role 1", [](TWorld&, TPlayer& P) { P.RuckTimer = 0.5f; P.RuckRole = 1.0f; }, NAN},
      {"ruck role, timer run out", [](TWorld&, TPlayer& P) { P.RuckTimer = 0.0f; P.RuckRole = 2.0f; }, NAN},
      {"standing up", [](TWorld&, TPlayer& P) { P.standuptimer = 0.5f; P.StandUpFacing = 100.0f; }, 100.0},
      {"old tackle", [](TWorld&, TPlayer& P) { P.OldTackleTimer = 0.5f; P.OldTackleFacing = 110.0f; }, 110.0},
      {"free-ball catch", [](TWorld&, TPlayer& P) { P.freeballcatchtimer = 0.5f; P.FreeBallCatchFacing = 120.0f; }, 120.0},
      {"being tackled", [](TWorld&, TPlayer& P) { P.GettingTackledTimer = 0.5f; P.GettingTackledFacing = 130.0f; }, 130.0},
      {"a timer below zero", [](TWorld&, TPlayer& P) { P.standuptimer = -0.5f; P.StandUpFacing = 100.0f; }, NAN},
      {"gesture", [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 0.5f; P.SpecialAnimFacing = 140.0f; }, 140.0},
      {"gesture while kicking", [](TWorld&, TPlayer& P) {
         P.SpecialAnimTimer = 0.5f; P.SpecialAnimFacing = 140.0f; P.KickTimer = 0.5f;
       }, NAN},
      {"forced run", [](TWorld&, TPlayer& P) { P.ForcedRunTimer = 0.5f; P.ForcedRunFacing = 150.0f; }, 150.0},
      {"lineout on his spot", [](TWorld&, TPlayer& P) { P.LineOutTimer = 0.5f; P.LineoutFacing = 160.0f; }, 160.0},
      {"lineout off his spot", [](TWorld&, TPlayer& P) {
         P.LineOutTimer = 0.5f; P.LineoutFacing = 160.0f; P.DesiredPos.x += 0.5f;
       }, NAN},
      {"a tackle then a scripted target on his spot", [](TWorld& W, TPlayer& P) {
         P.TackleAttemptTimer = 0.5f; P.TackleAttemptFacing = 80.0f;
         W.Teams[2].Players[5].Pos = P.Pos;
         P.AnimSeq.Playing = kTrue32; P.AnimSeq.CurrEntry = 1;
         P.AnimSeq.Entries[1].FaceMode = 2; P.AnimSeq.Entries[1].FaceTarget = 5; P.AnimSeq.Entries[1].FaceOffset = 5.0f;
       }, 85.0},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = gsLineout;
    TPlayer& P = MotionWorld.Teams[2].Players[4];
    Moved(P, 0.2f, 0.1f);
    P.FacingAngle = 0.25f;
    P.Heading = 200.0f;
    c.set(MotionWorld, P);
    Step();
    const double moves = HeadingToPoint(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, 0.0f);
    EXPECT_FLOAT_EQ(P.FacingAngle, FacingOf(std::isnan(c.fixed) ? moves : c.fixed)) << c.what;
  }
}

// Block 1's fixed facings replace the facing along his look, each alone.
TEST_F(LookAtPositionTest, Block1FixedFacingsReplaceTheFacingAlongHisLook) {
  struct Case {
    const char* what;
    void (*set)(TPlayer&);
    double fixed;  // heading of the fixed facing; NaN: along his look
  } cases[] = {
      {"block exit", [](TPlayer& P) { P.BlockExitTimer = 0.5f; P.BlockExitFacing = 40.0f; }, 40.0},
      {"exited on", [](TPlayer& P) { P.BlockExitedOnTimer = 0.5f; P.BlockExitedOnFacing = 50.0f; }, 50.0},
      {"tackle attempt", [](TPlayer& P) { P.TackleAttemptTimer = 0.5f; P.TackleAttemptFacing = 80.0f; }, 80.0},
      {"ruck role", [](TPlayer& P) { P.RuckTimer = 0.5f; P.RuckRole = 2.0f; }, 90.0},
      {"ruck role 0", [](TPlayer& P) { P.RuckTimer = 0.5f; P.RuckRole = 0.0f; }, NAN},
      {"being tackled", [](TPlayer& P) { P.GettingTackledTimer = 0.5f; P.GettingTackledFacing = 130.0f; }, 130.0},
      {"old tackle", [](TPlayer& P) { P.OldTackleTimer = 0.5f; P.OldTackleFacing = 110.0f; }, 110.0},
      {"dive", [](TPlayer& P) { P.DiveTimer = 0.5f; P.DiveAngle = 100.0f; }, 100.0},
      {"free-ball catch", [](TPlayer& P) { P.freeballcatchtimer = 0.5f; P.FreeBallCatchFacing = 120.0f; }, 120.0},
      {"forced run", [](TPlayer& P) { P.ForcedRunTimer = 0.5f; P.ForcedRunFacing = 150.0f; }, 150.0},
      {"celebration", [](TPlayer& P) { P.CelebrateTimer = 0.5f; P.CelebrateFacing = 170.0f; }, 170.0},
      {"a timer run out", [](TPlayer& P) { P.CelebrateTimer = 0.0f; P.CelebrateFacing = 170.0f; }, NAN},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = gsLineout;
    TPlayer& P = Att(4);
    Moved(P, 0.2f, 0.1f);
    P.FacingAngle = 0.25f;
    P.Heading = 200.0f;
    c.set(P);
    Step();
    const f32 along = ToF32(std::atan(static_cast<double>(P.Direction.x) / P.Direction.z) + kPi);
    EXPECT_FLOAT_EQ(P.FacingAngle, std::isnan(c.fixed) ? along : FacingOf(c.fixed)) << c.what;
  }
}

// A NaN in block 1's look direction raises its invalid tests with a fixed
// facing as without.
TEST_F(LookAtPositionTest, AFixedFacingStillRaisesTheErrorsOfALookThatIsNotANumber) {
  for (bool fixed : {false, true}) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = gsRunning;
    TPlayer& P = Att(4);
    P.Pos.x = std::numeric_limits<f32>::quiet_NaN();
    if (fixed) P.DiveTimer = 0.5f;
    ClearFloatFlags();
    LookAtPosition(MotionWorld);
    EXPECT_TRUE(FloatErrorRaised()) << fixed;
  }
  ClearFloatFlags();
}

// A fixed facing spares block 2 the way he moves, but not its float errors:
// infinite or overflowing positions and a speed that is not a number raise
// with a fixed facing as without.
TEST_F(LookAtPositionTest, AFixedFacingStillRaisesTheErrorsOfTheWayHeMoves) {
  constexpr f32 kInf = std::numeric_limits<f32>::infinity();
  struct Case {
    const char* what;
    void (*set)(TPlayer&);
  } cases[] = {
      {"infinite position", [](TPlayer& P) { P.Pos.x = kInf; P.OldPos.x = kInf; P.DesiredPos = P.Pos; }},
      {"a step that overflows", [](TPlayer& P) { P.OldPos.x = -3e38f; P.Pos.x = 3e38f; P.DesiredPos = P.Pos; }},
      {"speed not a number", [](TPlayer& P) { P.speed = std::numeric_limits<f32>::quiet_NaN(); }},
  };
  for (const Case& c : cases)
    for (bool fixed : {false, true}) {
      MakeMotionScene(MotionWorld);
      MotionWorld.gamestate = gsRunning;  // no distance to his spot is measured
      TPlayer& D = Def(4);
      c.set(D);
      if (fixed) {
        D.RuckTimer = 0.5f;
        D.RuckRole = 2.0f;
      }
      ClearFloatFlags();
      LookAtPosition(MotionWorld);
      EXPECT_TRUE(FloatErrorRaised()) << c.what << (fixed ? ", fixed facing" : "");
      if (fixed) {
        EXPECT_FLOAT_EQ(D.FacingAngle, FacingOf(270.0)) << c.what;
      }
    }
  ClearFloatFlags();
}

TEST_F(LookAtPositionTest, ASetPiecePassFacesTheRuckThenTheWayOfThePass) {
  TWorld& W = MotionWorld;
  W.gamestate = gsPassing;
  W.Teams[1].PassKind = 6;
  W.Teams[1].PassSide = 1;
  TPlayer& P = Att(9);
  P.passtimer = 1.0f;
  P.Heading = 0.0f;
  Playing(P, "dummyhalfpassleft", 5.0f, 20.0f, false);
  P.AnimRate = 25.0f;
  Step();
  EXPECT_FLOAT_EQ(P.FacingAngle, ToF32(kPi));  // up-field, towards the ruck
  EXPECT_FLOAT_EQ(P.Heading, 90.0f);            // at once, no turn
  P.currentframe = 19.5f;  // ends this frame
  Step();
  EXPECT_NEAR(P.FacingAngle, kPi / 2, 1e-6);  // heading 0: to the left
  EXPECT_NEAR(P.Heading, 0.0f, 1e-4);
  W.gamestate = gsFreeBall;  // faces the ruck, turns at the turn rate
  Step();
  EXPECT_FLOAT_EQ(P.FacingAngle, ToF32(kPi));
  EXPECT_NEAR(P.Heading, 16.0f, 1e-4);
}

TEST_F(LookAtPositionTest, TheScrumHalfFacesTheRuckInTheTackledState) {
  TWorld& W = MotionWorld;
  W.gamestate = gsGotTackled;
  W.Teams[1].SetPieceHolder = 9;
  TPlayer& H = Att(9);
  Moved(H, 0.3f, 0.0f);
  H.DesiredPos.x += 2.0f;  // off his spot
  Step();
  EXPECT_FLOAT_EQ(H.FacingAngle, 4.712389f);
  H.passtimer = 1.0f;
  Step();
  EXPECT_FLOAT_EQ(H.FacingAngle, ToF32(kPi));
  // With no scrum-half nobody gets his facing.
  W.Teams[1].SetPieceHolder = 0;
  Step();
  EXPECT_FLOAT_EQ(H.FacingAngle, 4.712389f);
}

// The scrum-half's facing is put on him at every player's turn: before his
// own (the facing he starts his turn from, unless he is player 1) and after
// it (over a scripted facing he turned towards, unless he is the last).
TEST_F(LookAtPositionTest, TheScrumHalfsFacingIsPutOnHimAtEveryPlayersTurn) {
  const struct {
    int holder;
    bool startsFromRuck, endsOnRuck;
  } cases[] = {{9, true, true}, {1, false, true}, {15, true, false}};
  const f32 ruck = ToF32(kPi);
  for (const auto& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = gsGotTackled;
    W.Teams[1].SetPieceHolder = c.holder;
    TPlayer& H = Att(c.holder);
    H.passtimer = 1.0f;
    H.FacingAngle = 0.25f;
    H.Heading = 90.0f;
    H.AnimSeq.Playing = kTrue32;
    H.AnimSeq.CurrEntry = 1;
    H.AnimSeq.Entries[1].FaceMode = 1;
    H.AnimSeq.Entries[1].FaceAngle = 30.0f;
    Step();
    EXPECT_EQ(H.PrevFacingAngle, c.startsFromRuck ? ruck : 0.25f) << c.holder;
    EXPECT_EQ(H.FacingAngle, c.endsOnRuck ? ruck : FacingOf(30.0)) << c.holder;
    EXPECT_FLOAT_EQ(H.Heading, 74.0f) << c.holder;  // turned 16 degrees towards 30
  }
}

TEST_F(LookAtPositionTest, TackledStateStartsSideStepsAcrossThePitch) {
  struct Case {
    const char* what;
    int b, i;
    f32 d, bearing;
    void (*set)(TWorld&, TPlayer&);
    int kind;  // 0: no side-step, no draw
    f32 speed, stepCap;
  } cases[] = {
      {"block 1 short step, side A", 1, 4, 0.6f, 10.0f, nullptr, 3, 0.75f, 2.0f},
      {"block 1 long step, side B", 1, 4, 2.0f, 180.0f, nullptr, 2, 1.25f, 3.0f},
      {"block 1 spot up-field", 1, 4, 2.0f, 90.0f, nullptr, 0, 0.0f, 0.0f},
      {"block 2 short step, side A", 2, 4, 0.5f, 185.0f, nullptr, 3, 0.75f, 2.0f},
      {"block 2 long step, side B", 2, 4, 1.0f, 355.0f, nullptr, 2, 1.25f, 3.0f},
      // The windows' edges: 20 degrees off the x axis for block 1, 10 for
      // block 2, a hair inside and outside.
      {"block 1 just inside side A", 1, 4, 2.0f, 19.995f, nullptr, 1, 1.25f, 3.0f},
      {"block 1 just outside side A", 1, 4, 2.0f, 20.005f, nullptr, 0, 0.0f, 0.0f},
      {"block 1 just inside side B", 1, 4, 2.0f, 160.02f, nullptr, 2, 1.25f, 3.0f},
      {"block 1 well outside side B", 1, 4, 2.0f, 159.9f, nullptr, 0, 0.0f, 0.0f},
      {"block 2 just inside side B", 2, 4, 2.0f, 350.005f, nullptr, 2, 1.25f, 3.0f},
      {"block 2 just outside side B", 2, 4, 2.0f, 349.995f, nullptr, 0, 0.0f, 0.0f},
      {"block 2 just inside side A", 2, 4, 2.0f, 170.02f, nullptr, 1, 1.25f, 3.0f},
      {"block 2 fresh start near his spot", 2, 4, 0.5f, 185.0f,
       [](TWorld&, TPlayer& P) { P.AnimFreshStart = kTrue32; }, 0, 0.0f, 0.0f},
      {"passing", 1, 4, 2.0f, 180.0f, [](TWorld&, TPlayer& P) { P.passtimer = 1.0f; }, 0, 0.0f, 0.0f},
      {"marking a ruck runner", 1, 4, 2.0f, 180.0f, [](TWorld&, TPlayer& P) { P.RuckMarking = kTrue32; }, 0,
       0.0f, 0.0f},
      {"the scrum-half", 1, 4, 2.0f, 180.0f, [](TWorld& W, TPlayer&) { W.Teams[1].SetPieceHolder = 4; }, 0,
       0.0f, 0.0f},
      {"a side-step still playing", 1, 4, 2.0f, 180.0f,
       [](TWorld&, TPlayer& P) { P.shimmytimer = 5.0f; P.currentframe = 1.0f; P.maxframes = 20.0f; P.AnimRate = 25.0f; },
       0, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = gsGotTackled;
    TPlayer& P = W.Teams[c.b].Players[c.i];
    const TDirection u = HeadingDirection(c.bearing);
    P.DesiredPos = {ToF32(P.Pos.x + u.x * c.d), 0.0f, ToF32(P.Pos.z + u.z * c.d)};
    P.speed = 3.0f;
    if (c.set != nullptr) c.set(W, P);
    const f32 timer = P.shimmytimer;
    const u32 seed = RandSeed;
    Step();
    if (c.kind == 0) {
      EXPECT_EQ(P.shimmytimer, timer) << c.what;
      EXPECT_EQ(DrawsSince(seed), 0) << c.what;
      continue;
    }
    EXPECT_EQ(DrawsSince(seed), 1) << c.what;
    EXPECT_EQ(P.shimmytimer, 10.0f) << c.what;
    EXPECT_EQ(P.ShimmyKind, c.kind) << c.what;
    EXPECT_EQ(P.ShimmyFacing, c.b == 1 ? 90.0f : 270.0f) << c.what;
    EXPECT_NEAR(P.ShimmyAngle, c.bearing, 1e-3) << c.what;
    EXPECT_EQ(P.currentframe, 0.0f) << c.what;
    EXPECT_GE(P.ShimmyDuration, 0.55f) << c.what;
    EXPECT_LE(P.ShimmyDuration, 0.65f) << c.what;
    const double cap = std::fmin(c.stepCap, Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) / P.ShimmyDuration);
    EXPECT_FLOAT_EQ(P.ShimmySpeed, ToF32(cap)) << c.what;
    EXPECT_EQ(P.speed, std::fmin(c.speed, P.ShimmySpeed)) << c.what;
  }
}

TEST_F(LookAtPositionTest, SettlingPlayersLookUpFieldByState) {
  struct Case {
    const char* what;
    TGameState s;
    int b;
    f32 off;  // m from his spot along x
    f32 lookZ;
  } cases[] = {
      {"free ball, near", gsFreeBall, 1, 0.5f, 0.25f},
      {"free ball, far", gsFreeBall, 1, 1.0f, 0.0f},
      {"tackled, on his spot", gsGotTackled, 2, 0.1f, -0.25f},
      {"scrum block 2", gsScrum, 2, 0.4f, -0.25f},
      {"kick restart", gsKickRestartSet, 1, 0.2f, 0.35f},
      {"try scored", gsTryScored, 2, 0.7f, -0.25f},
      {"lineout", gsLineout, 1, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    MotionWorld.gamestate = c.s;
    TPlayer& P = MotionWorld.Teams[c.b].Players[4];
    P.DesiredPos.x += c.off;
    Step();
    EXPECT_EQ(P.LookAtPos.x, P.Pos.x) << c.what;
    EXPECT_FLOAT_EQ(P.LookAtPos.z, ToF32(P.Pos.z + c.lookZ) + (c.b == 1 && c.lookZ == 0.0f ? 10.0f : 0.0f))
        << c.what;
  }
  // The restart kicker on his spot looks at the aim point.
  MakeMotionScene(MotionWorld);
  TWorld& W = MotionWorld;
  W.gamestate = gsKickRestartSet;
  W.KickRestartSetPhase = 3;
  W.Teams[1].KickerIndex = 10;
  W.Teams[1].RestartAimPoint = {3.0f, 20.0f};
  Step();
  EXPECT_EQ(Att(10).LookAtPos.x, 3.0f);
  EXPECT_EQ(Att(10).LookAtPos.z, 20.0f);
}

}  // namespace
