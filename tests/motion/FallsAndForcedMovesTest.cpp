// The timer step's actions on players: dives, block exits, ended tackles,
// lying with the injury roll, getting up, the breakdown release and the
// rejoin of block 1 players; then the forced movements.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "MotionScene.h"
#include "core/DrawCount.h"
#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "motion/DelayPlayersUnit.h"

namespace {

class FallsTest : public MotionSceneTest {
 protected:
  void SetUp() override {
    MotionSceneTest::SetUp();
    SavedMatchType = MatchStore.MatchInfo.matchtype;
    MatchStore.MatchInfo.matchtype = mtLeague;
    for (int k = 1; k <= 10; ++k) MotionWorld.MessageSlotFree[k] = kTrue32;
    MotionWorld.Teams[1].teamid = 11;
    MotionWorld.Teams[2].teamid = 22;
    MotionWorld.injurieson = kTrue32;
  }
  void TearDown() override {
    MatchStore.MatchInfo.matchtype = SavedMatchType;
    MotionSceneTest::TearDown();
  }
  TMatchType SavedMatchType = mtNone;
};

// The first seed from which the draws that Want makes meet it.
template <class F>
u32 SeedWhere(F Want) {
  for (u32 s = 1;; ++s) {
    RandSeed = s;
    if (Want()) return s;
  }
}

// A block 2 player (no rejoin draws) whose lie ends this frame.
TPlayer& LyingDefender(i16 injury) {
  TPlayer& P = Def(5);
  P.id = 505;
  P.OldTackleTimer = 0.02f;
  P.OldTackleFacing = 30.0f;
  P.GroundPosture = 1;
  P.injury = injury;
  P.BreakTackleProb = 501;
  P.MakeTackleProb = 700;
  P.ScrumPower.mean = 800.0f;
  return P;
}

// ---------------------------------------------------------------- injuries
TEST_F(FallsTest, InjuryRollIsDrawnEvenWithInjuriesOffAndInjuresNobody) {
  MotionWorld.injurieson = kFalse32;
  TPlayer& P = LyingDefender(1000);
  const u32 before = RandSeed;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(DrawsSince(before), 1);
  EXPECT_EQ(P.Unavailable, kFalse32);
  EXPECT_EQ(P.standuptimer, 10.0f) << "he gets up at once";
}

TEST_F(FallsTest, InjuryChanceOfNoneNeverInjures) {
  for (u32 seed = 1; seed <= 50; ++seed) {
    SetUp();
    RandSeed = seed;
    TPlayer& P = LyingDefender(0);
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(P.Unavailable, kFalse32) << seed;
  }
}

TEST_F(FallsTest, FullInjuryChanceInjuresUnlessTheRollIsExactly1000) {
  struct Case {
    const char* what;
    i32 roll;
    bool injured;
  };
  for (const Case& c : {Case{"roll 1000", 1000, false}, Case{"roll 999", 999, true}}) {
    SetUp();
    const u32 seed = SeedWhere([&] { return RandomRange(1, 1001) == c.roll; });
    RandSeed = seed;
    TPlayer& P = LyingDefender(1000);
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(P.Unavailable != kFalse32, c.injured) << c.what;
    EXPECT_EQ(P.standuptimer > 0.0f, !c.injured) << c.what;
  }
}

// Seeds whose injury roll injures and whose second roll calls for a
// serious injury (925 or more).
u32 SeriousInjurySeed() {
  return SeedWhere([] { return RandomRange(1, 1001) < 1000 && RandomRange(1, 1001) >= 925; });
}

TEST_F(FallsTest, SeriousInjuryCutsThePlayerAndIsPostedWithHisIndex) {
  TWorld& W = MotionWorld;
  RandSeed = SeriousInjurySeed();
  TPlayer& P = LyingDefender(1000);
  P.GroundPosture = 2;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(P.Unavailable, kTrue32);
  EXPECT_EQ(P.UnavailableKind, 1);
  EXPECT_GE(P.OldTackleTimer, 6.0f);
  EXPECT_LE(P.OldTackleTimer, 14.85f + 1e-5f);
  EXPECT_EQ(P.MaxSpeedNonFatigued, 6.0f);
  EXPECT_EQ(P.maxspeed, 6.0f);
  EXPECT_EQ(P.AccelerationInit, 3.0f);
  EXPECT_EQ(P.Acceleration, 3.0f);
  EXPECT_EQ(P.BreakTackleProb, 376) << "375.75 rounds to 376";
  EXPECT_EQ(P.MakeTackleProb, 525);
  EXPECT_EQ(P.ScrumPower.mean, 600.0f);
  EXPECT_EQ(P.currentAnim.View(), "injuryloopfaceup");
  EXPECT_EQ(P.BallTrack, 67);
  EXPECT_EQ(P.maxframes, 1900.0f);
  EXPECT_EQ(P.AnimLoop, kTrue32);
  EXPECT_EQ(W.MessageSlotFree[1], kFalse32);
  EXPECT_EQ(W.MessageQueue[1].message, msgInjury);
  EXPECT_EQ(W.MessageQueue[1].teamID, 22);
  EXPECT_EQ(W.MessageQueue[1].playerID, 505);
  EXPECT_EQ(W.MessageQueue[1].extravalue, 5.0f);

  // He gets up still injured and is never rolled again.
  P.OldTackleTimer = 0.02f;
  const u32 before = RandSeed;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(P.Unavailable, kTrue32);
  EXPECT_EQ(P.standuptimer, 10.0f);
  EXPECT_EQ(P.StandUpFacing, 210.0f) << "on his back he gets up turned round";
  EXPECT_EQ(P.Heading, 210.0f);
  EXPECT_EQ(P.FacingHeading, 210.0f);
  EXPECT_EQ(P.FacingAngle, ToF32(300.0 * kDegToRad));
}

TEST_F(FallsTest, RankedAndAcademyMatchesHaveKnocksOnlyThatHealAtTheGetUp) {
  for (TMatchType type : {mtRanked, mtAcademy}) {
    SetUp();
    MatchStore.MatchInfo.matchtype = type;
    RandSeed = SeriousInjurySeed();
    TPlayer& P = LyingDefender(1000);
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(P.Unavailable, kTrue32) << type;
    EXPECT_EQ(P.UnavailableKind, 0) << type;
    EXPECT_GE(P.OldTackleTimer, 4.5f) << type;
    EXPECT_LE(P.OldTackleTimer, 8.91f + 1e-5f) << type;
    EXPECT_EQ(P.maxspeed, kSceneMaxSpeed) << type;
    EXPECT_EQ(MotionWorld.MessageSlotFree[1], kTrue32) << "a knock posts nothing";
    int frames = 0;
    while (P.standuptimer <= 0.0f && frames < 300) {
      RunStep(FallsStandUpsAndInjuries);
      ++frames;
    }
    EXPECT_EQ(P.standuptimer, 10.0f) << type;
    EXPECT_EQ(P.Unavailable, kFalse32) << "the knock heals as he gets up";
  }
}

TEST_F(FallsTest, LyingIsHeldStillAndCutToASecondInTryScoredAndTransition) {
  for (TGameState state : {gsTryScored, gsTransition, gsRunning}) {
    SetUp();
    MotionWorld.gamestate = state;
    TPlayer& P = Att(12);
    P.OldTackleTimer = 5.0f;
    P.DesiredPos = {0.0f, 0.0f, 40.0f};
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(P.OldTackleTimer, StepDown(state == gsRunning ? 5.0f : 1.0f)) << int(state);
    EXPECT_EQ(P.DesiredPos.z, P.Pos.z);
  }
}

// ---------------------------------------------------------------- dives, blocks, tackles
TEST_F(FallsTest, DivesOfKinds1And5MoveButNeverEndHere) {
  for (i32 kind : {1, 5}) {
    SetUp();
    TPlayer& P = Att(4);
    P.DiveTimer = 0.02f;
    P.DiveKind = kind;
    P.DiveAngle = 90.0f;
    P.DiveSpeed = 5.0f;
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(P.DiveTimer, 0.02f) << kind;
    EXPECT_EQ(P.DiveSpeed, 5.0f) << kind;
    EXPECT_EQ(P.standuptimer, 0.0f) << kind;
    EXPECT_NEAR(P.DesiredPos.z, P.Pos.z + 0.2f, 1e-5f) << kind;
    EXPECT_NEAR(P.DesiredPos.x, P.Pos.x, 1e-5f) << kind;
  }
}

TEST_F(FallsTest, DiveOfKind2SlowsInItsSecondHalfAndEndsInAGetUpOrCelebration) {
  TWorld& W = MotionWorld;
  W.Gravity = 9.81f;
  W.GroundFriction = 0.5f;
  TPlayer& P = Att(4);
  P.DiveKind = 2;
  P.DiveTimer = 0.1f;
  P.DiveAngle = 180.0f;
  P.DiveSpeed = 5.0f;
  P.maxframes = 100.0f;
  P.currentframe = 49.0f;
  P.trycelebration = 9;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(P.DiveSpeed, 5.0f) << "before half of the animation";
  EXPECT_NEAR(P.DesiredPos.x, P.Pos.x + 0.2f, 1e-5f) << "heading 180 points to +x";
  P.currentframe = 50.0f;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_NEAR(P.DiveSpeed, 5.0f - 9.81f * 0.5f * 0.04f, 1e-5f);
  EXPECT_EQ(P.standuptimer, 0.0f);
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(P.standuptimer, 10.0f);
  EXPECT_EQ(P.StandUpFacing, 180.0f);
  EXPECT_EQ(P.StandUpKind, 1);

  // Diving for the line: his celebration, when he chose one or when his side
  // now leads by at most five late in the match.
  struct Case {
    const char* what;
    bool32 celebrates;
    f32 clock;
    i32 own, other;
    i32 kind;
  };
  const Case cases[] = {
      {"chose to celebrate", kTrue32, 10.0f, 0, 30, 9},
      {"late, ahead by five", kFalse32, 4200.0f, 12, 7, 9},
      {"late, level", kFalse32, 4200.0f, 12, 12, 9},
      {"late, ahead by six", kFalse32, 4200.0f, 13, 7, 1},
      {"late, behind", kFalse32, 4200.0f, 7, 12, 1},
      {"early, ahead by five", kFalse32, 4199.0f, 12, 7, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = gsTryScored;
    W.halflength = 2400.0f;  // 87.5 % of the match is 4200 s
    W.clock = c.clock;
    W.Teams[1].score = c.own;
    W.Teams[2].score = c.other;
    TPlayer& D = Att(4);
    D.DiveKind = 3;
    D.DiveTimer = 0.02f;
    D.CelebratesTry = c.celebrates;
    D.trycelebration = 9;
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(D.StandUpKind, c.kind) << c.what;
  }
}

TEST_F(FallsTest, BlockerGotPastRollsOverForAMomentThenGetsUpTurned) {
  TPlayer& P = Def(6);
  P.TackleAttemptKind = 3.0f;
  P.TackleAttemptTimer = 0.03f;
  P.TackleAttemptFacing = 45.0f;
  P.currentAnim.Assign("blockgotexitedon8");
  P.currentframe = 70.0f;
  P.AnimLoop = kTrue32;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(P.currentAnim.View(), "rolloverfromback");
  EXPECT_EQ(P.TackleAttemptTimer, 0.3f);
  EXPECT_EQ(P.currentframe, 0.0f);
  EXPECT_EQ(P.maxframes, 100.0f);
  EXPECT_EQ(P.TackleAttemptLungeFrame, 10.0f);
  EXPECT_EQ(P.AnimLoop, kFalse32);
  EXPECT_EQ(P.standuptimer, 0.0f);
  int frames = 0;
  while (P.standuptimer <= 0.0f && frames < 20) {
    RunStep(FallsStandUpsAndInjuries);
    ++frames;
  }
  EXPECT_EQ(frames, 8) << "0.3 s at 0.04 s a frame";
  EXPECT_EQ(P.StandUpKind, 17);
  EXPECT_EQ(P.StandUpFacing, 45.0f);

  // Another exit animation gets the ordinary get-up at once.
  SetUp();
  TPlayer& Q = Def(7);
  Q.TackleAttemptKind = 3.0f;
  Q.TackleAttemptTimer = 0.03f;
  Q.currentAnim.Assign("blockgotexitedon3");
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(Q.StandUpKind, 1);
  EXPECT_EQ(Q.standuptimer, 10.0f);
}

TEST_F(FallsTest, EndedTacklesPutPlayersOnTheGround) {
  struct Case {
    const char* what;
    TGameState state;
    bool tackled;  // else the tackler's attempt
    f32 kind;
    bool ends;
    i16 posture;
  };
  const Case cases[] = {
      {"tackled kind 7 falls on his back", gsRunning, true, 7.0f, true, 2},
      {"tackled kind 4 falls face down", gsRunning, true, 4.0f, true, 1},
      {"tackled kind 1 is left to its step", gsRunning, true, 1.0f, false, 0},
      {"tackled kind 2 in transition, on his back", gsTransition, true, 2.0f, true, 2},
      {"tackler kind 6 falls on his back", gsRunning, false, 6.0f, true, 2},
      {"tackler kind 5 face down", gsRunning, false, 5.0f, true, 1},
      {"tackler kind 7 is left to its step", gsRunning, false, 7.0f, false, 0},
      {"tackler kind 0 in transition", gsTransition, false, 0.0f, true, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    MotionWorld.gamestate = c.state;
    TPlayer& P = Def(8);
    P.GroundTime = 0.5f;
    P.target = 3;
    P.numtargetting = 1;
    P.governedby = 4;
    P.numgoverning = 2;
    f32& timer = c.tackled ? P.GettingTackledTimer : P.TackleAttemptTimer;
    (c.tackled ? P.GettingTackledKind : P.TackleAttemptKind) = c.kind;
    (c.tackled ? P.GettingTackledFacing : P.TackleAttemptFacing) = 75.0f;
    timer = 0.03f;
    RunStep(FallsStandUpsAndInjuries);
    if (!c.ends) {
      EXPECT_EQ(timer, 0.03f) << c.what;
      EXPECT_EQ(P.OldTackleTimer, 0.0f) << c.what;
      continue;
    }
    // He lies from this frame on: the lie is counted in the same call.
    EXPECT_EQ(P.OldTackleTimer, StepDown(0.5f)) << c.what;
    EXPECT_EQ(P.OldTackleFacing, 75.0f) << c.what;
    EXPECT_EQ(P.GroundPosture, c.posture) << c.what;
    EXPECT_EQ(P.target + P.numtargetting + P.governedby + P.numgoverning, 0) << c.what;
  }
}

// ---------------------------------------------------------------- holds and rejoin
TEST_F(FallsTest, GettingUpAndBoundPlayersStayOnTheirSpot) {
  TPlayer& U = Def(2);
  U.standuptimer = 3.0f;
  U.DesiredPos.z = 30.0f;
  TPlayer& R = Def(3);
  R.RuckTimer2 = 1.0f;
  R.DesiredPos.z = 30.0f;
  // A slide that ends this frame starts the get-up, which holds him at once.
  TPlayer& D = Att(4);
  D.DiveKind = 2;
  D.DiveTimer = 0.02f;
  D.DiveAngle = 180.0f;
  D.DiveSpeed = 5.0f;
  D.maxframes = 100.0f;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(U.DesiredPos.z, U.Pos.z);
  EXPECT_EQ(U.standuptimer, 3.0f) << "the get-up is ended by the animation step";
  EXPECT_EQ(R.DesiredPos.z, R.Pos.z);
  EXPECT_EQ(R.RuckTimer2, StepDown(1.0f));
  EXPECT_EQ(D.standuptimer, 10.0f);
  EXPECT_EQ(D.DesiredPos.x, D.Pos.x);
}

TEST_F(FallsTest, ATimerThatIsNotANumberRaisesTheFloatingPointError) {
  struct Case {
    const char* what;
    f32 TPlayer::*timer;
    f32 value;
  };
  const f32 nan = std::numeric_limits<f32>::quiet_NaN();
  const Case cases[] = {
      {"lying", &TPlayer::OldTackleTimer, nan},
      {"lying, negative", &TPlayer::OldTackleTimer, -nan},
      {"getting up", &TPlayer::standuptimer, -nan},
      {"in a breakdown", &TPlayer::RuckTimer2, nan},
      {"tackling", &TPlayer::TackleAttemptTimer, -nan},
  };
  for (const Case& c : cases) {
    SetUp();
    Def(7).*c.timer = c.value;
    ClearFloatFlags();
    FallsStandUpsAndInjuries(MotionWorld);
    EXPECT_TRUE(FloatErrorRaised()) << c.what;
    ClearFloatFlags();
  }
}

TEST_F(FallsTest, ReleasedBlock1PlayersRejoinByATemplateRunOrASupportCell) {
  TWorld& W = MotionWorld;
  // A back always runs the template: no even-chance draw first.
  TPlayer& B = Att(12);
  B.RuckTimer2 = 0.02f;
  u32 before = RandSeed;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(B.ActionSeq.seqON, kTrue32);
  EXPECT_EQ(B.ActionSeq.EventArray[1].EventType, 14);
  const int templateDraws = DrawsSince(before);

  // A forward runs it when the even chance says so, one draw more.
  for (bool takenOut : {false, true}) {
    SetUp();
    W.Teams[1].SupportGridSize = 3;
    W.Teams[1].SupportGridWeightsAlt1[1][1] = 1;
    TPlayer& F = Att(6);
    F.RuckTimer2 = 0.02f;
    RandSeed = SeedWhere([&] { return (RandomRange(1, 1001) < 500) == takenOut; });
    before = RandSeed;
    RunStep(FallsStandUpsAndInjuries);
    EXPECT_EQ(F.ActionSeq.seqON != kFalse32, !takenOut) << takenOut;
    EXPECT_EQ(W.Teams[1].SupportGridCells[1][1], takenOut ? 6 : 0) << takenOut;
    EXPECT_EQ(DrawsSince(before), takenOut ? 2 : 1 + templateDraws) << takenOut;
  }

  // Block 2 players make no draws.
  SetUp();
  Def(6).RuckTimer2 = 0.02f;
  before = RandSeed;
  RunStep(FallsStandUpsAndInjuries);
  EXPECT_EQ(DrawsSince(before), 0);
}

// ---------------------------------------------------------------- forced movements
class ForcedMovesTest : public MotionSceneTest {};

// The point d m from P along heading h.
TVector2 Along(const TPlayer& P, double h, double d) {
  return {ToF32(P.Pos.x - std::cos(h * kDegToRad) * d), ToF32(P.Pos.z + std::sin(h * kDegToRad) * d)};
}

void ExpectDesiredAt(const TPlayer& P, TVector2 want, const char* what) {
  EXPECT_NEAR(P.DesiredPos.x, want.x, 1e-5f) << what;
  EXPECT_NEAR(P.DesiredPos.z, want.z, 1e-5f) << what;
}

TEST_F(ForcedMovesTest, KickersCreepNearTheStrikeByKickKind) {
  struct Case {
    const char* what;
    f32 kind, frame, maxframes, wantSpeed;
  };
  const Case cases[] = {
      {"drop kick at 80 %", 5.0f, 80.0f, 100.0f, 0.05f}, {"drop kick before 80 %", 5.0f, 79.0f, 100.0f, 6.0f},
      {"place kick at 80 %", 6.0f, 80.0f, 100.0f, 6.0f}, {"place kick at 90 %", 6.0f, 90.0f, 100.0f, 0.05f},
      {"punt at 95 %", 1.0f, 95.0f, 100.0f, 6.0f},        {"no frames counts as 0", 5.0f, 80.0f, 0.0f, 6.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& K = Att(10);
    K.KickTimer = 10.0f;
    K.KickKind = c.kind;
    K.KickRunAngle = 60.0f;
    K.KickRunSpeed = 6.0f;
    K.currentframe = c.frame;
    K.maxframes = c.maxframes;
    RunStep(ForcedMovements);
    EXPECT_EQ(K.KickRunSpeed, c.wantSpeed) << c.what;
    ExpectDesiredAt(K, Along(K, 60.0, c.wantSpeed * 0.04), c.what);
    EXPECT_EQ(K.KickTimer, 10.0f) << "ended by its animation";
  }
  // A block 2 kicker takes his path without slowing.
  TPlayer& D = Def(10);
  D.KickTimer = 10.0f;
  D.KickKind = 5.0f;
  D.KickRunAngle = 270.0f;
  D.KickRunSpeed = 6.0f;
  D.currentframe = 99.0f;
  D.maxframes = 100.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(D.KickRunSpeed, 6.0f);
  ExpectDesiredAt(D, Along(D, 270.0, 0.24), "block 2 kicker");
}

TEST_F(ForcedMovesTest, LooseBallRunnerIsSlowedAtOnceAndAimsTwoMetresAhead) {
  TPlayer& P = Def(3);
  P.freeballcatchtimer = 10.0f;
  P.FreeBallCatchSpeed = 3.0f;
  P.FreeBallCatchAngle = 135.0f;
  P.speed = 7.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(P.speed, 3.0f);
  EXPECT_EQ(P.desiredspeed, 3.0f);
  EXPECT_EQ(P.freeballcatchtimer, 10.0f);
  ExpectDesiredAt(P, Along(P, 135.0, 2.0), "2 m ahead");
  P.speed = 1.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(P.speed, 1.0f) << "a slower runner keeps his speed";
}

TEST_F(ForcedMovesTest, FollowersAimOneFrameAheadOfTheFollowedPlayer) {
  TWorld& W = MotionWorld;
  PlaceAt(Def(7), 10.0f, 20.0f);
  Def(7).Velocity = {1.0f, -2.0f};
  PlaceAt(Att(7), -10.0f, -20.0f);
  Att(7).Velocity = {3.0f, 4.0f};
  TPlayer& A = Att(2);
  A.playertofollow = 7;
  A.playertofollowtimer = 1.0f;
  TPlayer& D = Def(2);
  D.playertofollow = 7;
  D.playertofollowtimer = 1.0f;
  W.Teams[2].DecisionsOn = kTrue32;
  RunStep(ForcedMovements);
  EXPECT_EQ(A.playertofollowtimer, StepDown(1.0f));
  ExpectDesiredAt(A, {10.04f, 20.0f - 0.08f - 0.25f}, "block 1 behind");
  ExpectDesiredAt(D, {-10.0f + 0.12f, -20.0f + 0.16f + 0.25f}, "block 2 in front");

  // Block 2's exempt player follows only while the side's decisions are on
  // (or at a set piece in the look-ahead).
  struct Case {
    const char* what;
    bool32 decisionsOn, setPiece, live;
    bool follows;
  };
  const Case cases[] = {
      {"exempt, decisions off", kFalse32, kFalse32, kTrue32, false},
      {"exempt, set piece in the match", kFalse32, kTrue32, kTrue32, false},
      {"exempt, set piece in the look-ahead", kFalse32, kTrue32, kFalse32, true},
      {"exempt, decisions on", kTrue32, kFalse32, kTrue32, true},
  };
  for (const Case& c : cases) {
    W.Teams[2].DecisionsOn = c.decisionsOn;
    W.SetPieceFlag = c.setPiece;
    W.LiveWorld = c.live;
    W.Teams[2].FollowExempt = 2;
    D.playertofollowtimer = 1.0f;
    D.DesiredPos = D.Pos;
    RunStep(ForcedMovements);
    EXPECT_EQ(D.DesiredPos.x != D.Pos.x, c.follows) << c.what;
  }

  // A number that names no record is nobody; the timer still counts.
  for (i32 who : {26, -3}) {
    A.playertofollow = who;
    A.playertofollowtimer = 1.0f;
    A.DesiredPos = A.Pos;
    RunStep(ForcedMovements);
    EXPECT_EQ(A.DesiredPos.x, A.Pos.x) << who;
    EXPECT_EQ(A.playertofollowtimer, StepDown(1.0f)) << who;
  }
}

TEST_F(ForcedMovesTest, ScriptedRunsAndTheLungeOfABlock2Tackler) {
  TPlayer& A = Att(5);
  A.ForcedRunTimer = 0.03f;
  A.ForcedRunAngle = 90.0f;
  A.ForcedRunSpeed = 5.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(A.speed, 5.0f);
  ExpectDesiredAt(A, Along(A, 90.0, 0.2), "scripted run");
  RunStep(ForcedMovements);
  EXPECT_EQ(A.ForcedRunTimer, StepDown(StepDown(0.03f))) << "block 1's timer falls every frame";

  TPlayer& D = Def(5);
  D.ForcedRunTimer = 1.0f;
  D.ForcedRunAngle = 270.0f;
  D.ForcedRunSpeed = 5.0f;
  D.TackleAttemptTimer = 10.0f;
  D.TackleAttemptLungeFrame = 20.0f;
  D.currentframe = 20.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(D.ForcedRunTimer, StepDown(1.0f));
  EXPECT_EQ(D.DesiredPos.z, D.Pos.z) << "past his lunge he no longer moves along it";
  EXPECT_EQ(D.speed, 0.0f);
  D.currentframe = 19.0f;
  RunStep(ForcedMovements);
  ExpectDesiredAt(D, Along(D, 270.0, 0.2), "before the lunge frame");
  D.ForcedRunTimer = 0.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(D.ForcedRunTimer, 0.0f) << "block 2's counts only while above 0";
}

// One player on two forced moves ends where the later stage puts him: a
// kicker who follows aims at the followed player, a loose-ball runner on a
// scripted run takes the run's path and speed; and a followed player's own
// kick run does not move the follower's aim.
TEST_F(ForcedMovesTest, LaterStageWinsForAPlayerOnTwoForcedMoves) {
  PlaceAt(Def(6), 4.0f, 8.0f);
  Def(6).Velocity = {0.0f, 0.0f};
  Def(6).KickTimer = 10.0f;  // kicks too: his DesiredPos moves, not his Pos
  Def(6).KickRunAngle = 0.0f;
  Def(6).KickRunSpeed = 6.0f;
  TPlayer& K = Att(4);
  K.KickTimer = 10.0f;
  K.KickKind = 1.0f;
  K.KickRunAngle = 90.0f;
  K.KickRunSpeed = 6.0f;
  K.playertofollow = 6;
  K.playertofollowtimer = 1.0f;
  TPlayer& R = Def(3);
  R.freeballcatchtimer = 10.0f;
  R.FreeBallCatchSpeed = 3.0f;
  R.FreeBallCatchAngle = 135.0f;
  R.speed = 7.0f;
  R.ForcedRunTimer = 1.0f;
  R.ForcedRunAngle = 270.0f;
  R.ForcedRunSpeed = 5.0f;
  RunStep(ForcedMovements);
  ExpectDesiredAt(K, {4.0f, 8.0f - 0.25f}, "the follow after the kick run");
  ExpectDesiredAt(R, Along(R, 270.0, 0.2), "the scripted run after the loose-ball run");
  EXPECT_EQ(R.speed, 5.0f);
  EXPECT_EQ(R.desiredspeed, 3.0f);
  ExpectDesiredAt(Def(6), Along(Def(6), 0.0, 0.24), "the followed kicker's own run");
}

TEST_F(ForcedMovesTest, LineoutHoldKeepsTheLineoutsPlaceOnlyInTheLineout) {
  TWorld& W = MotionWorld;
  TPlayer& L = Def(4);
  L.LineOutTimer = 2.0f;
  L.DesiredPos.z = 40.0f;
  W.gamestate = gsLineout;
  RunStep(ForcedMovements);
  EXPECT_EQ(L.DesiredPos.z, 40.0f) << "in the lineout he goes where it puts him";
  W.gamestate = gsRunning;
  RunStep(ForcedMovements);
  EXPECT_EQ(L.DesiredPos.z, L.Pos.z);
}

TEST_F(ForcedMovesTest, MaulHoldOfKind1StandsBehindTheCarrierAndEndsOutsideTheMaul) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 8;
  PlaceAt(Att(8), 3.0f, 12.0f);
  TPlayer& M = Att(6);
  M.MaulHoldTimer = 1.0f;
  M.MaulHoldKind = 1;
  Att(7).MaulHoldTimer = 1.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(M.DesiredPos.x, 3.0f);
  EXPECT_EQ(M.DesiredPos.z, 11.5f);
  EXPECT_EQ(Att(7).DesiredPos.x, Att(7).Pos.x) << "kind 0 is left to the maul holder";
  W.Teams[1].BallCarrier = 40;
  RunStep(ForcedMovements);  // no carrier record: nothing to hold behind
  W.gamestate = gsScrum;
  RunStep(ForcedMovements);
  EXPECT_EQ(M.MaulHoldTimer, 0.0f);
  EXPECT_EQ(Att(7).MaulHoldTimer, 0.0f);
}

TEST_F(ForcedMovesTest, RuckPassHoldKeepsATackledPlayerOnlyWhileTheHolderPasses) {
  TWorld& W = MotionWorld;
  W.gamestate = gsGotTackled;
  W.Teams[1].SetPieceHolder = 9;
  Att(9).passtimer = 10.0f;
  TPlayer& T = Def(11);
  T.GettingTackledTimer = 1.0f;
  T.DesiredPos.z = 40.0f;
  RunStep(ForcedMovements);
  EXPECT_EQ(T.DesiredPos.z, T.Pos.z);
  T.DesiredPos.z = 40.0f;
  W.Teams[1].SetPieceHolder = 0;
  RunStep(ForcedMovements);
  EXPECT_EQ(T.DesiredPos.z, 40.0f) << "no holder, no hold";
}

TEST_F(ForcedMovesTest, SpecialActionsOfKind0CountDownAndKickersAndTheWaitingReceiverKeepTheirPaths) {
  TWorld& W = MotionWorld;
  TPlayer& S = Def(3);
  S.SpecialAnimTimer = 1.0f;
  S.SpecialAnimAngle = 0.0f;
  S.SpecialAnimSpeed = 2.5f;
  TPlayer& K = Def(4);
  K.SpecialAnimTimer = 1.0f;
  K.SpecialAnimKind = 6.0f;
  K.SpecialAnimSpeed = 2.5f;
  K.KickTimer = 1.0f;
  K.KickRunAngle = 90.0f;
  TPlayer& R = Att(12);
  R.SpecialAnimTimer = 1.0f;
  R.SpecialAnimSpeed = 2.5f;
  R.DesiredPos.z = 30.0f;
  W.Teams[1].PassReceiver = 12;
  W.Teams[1].PassTimeLeft = 0.5f;
  RunStep(ForcedMovements);
  EXPECT_EQ(S.SpecialAnimTimer, StepDown(1.0f));
  ExpectDesiredAt(S, Along(S, 0.0, 0.1), "special action path");
  EXPECT_EQ(K.SpecialAnimTimer, 1.0f) << "other kinds end elsewhere";
  ExpectDesiredAt(K, Along(K, 90.0, 0.0), "a kicker keeps his kick path (here at 0 m/s)");
  EXPECT_EQ(R.DesiredPos.z, 30.0f) << "the receiver waits for the release";
  W.Teams[1].PassTimeLeft = 0.0f;
  RunStep(ForcedMovements);
  ExpectDesiredAt(R, Along(R, 0.0, 0.1), "receiver after the release");
}

TEST_F(ForcedMovesTest, Block1ShimmyIsCancelledOutsideABreakdownBlock2sGoesOn) {
  TWorld& W = MotionWorld;
  for (TPlayer* P : {&Att(5), &Def(5)}) {
    P->shimmytimer = 2.0f;
    P->ShimmyAngle = 45.0f;
    P->ShimmySpeed = 4.0f;
  }
  W.gamestate = gsGotTackled;
  RunStep(ForcedMovements);
  ExpectDesiredAt(Att(5), Along(Att(5), 45.0, 0.16), "block 1 in gottackled");
  W.gamestate = gsRunning;
  Att(5).DesiredPos = Att(5).Pos;
  RunStep(ForcedMovements);
  EXPECT_EQ(Att(5).shimmytimer, 0.0f);
  EXPECT_EQ(Att(5).DesiredPos.x, Att(5).Pos.x);
  EXPECT_EQ(Def(5).shimmytimer, 2.0f);
  ExpectDesiredAt(Def(5), Along(Def(5), 45.0, 0.16), "block 2 in running");
}

}  // namespace
