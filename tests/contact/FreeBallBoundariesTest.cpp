// The free ball at the boundaries, through the free-ball contact step: touch
// (strict at the line), the lineout check, both dead-ball lines with the
// restart each gives, and a catch on or beyond a boundary.
#include "contact/FreeBallBoundaries.h"

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/DrawCount.h"

namespace {

using namespace running_scene;

constexpr int kBack = 12;

// A loose ball 1 m up, nobody near it, no chase running; block 1 kicked it
// from (10, -20).
class FreeBallBoundariesTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    LooseBallScene();
    W.BallPhase = 3;
    W.BlocksSwapped = kTrue32;
    W.ReleasePos = {10.0f, -20.0f};
    W.KickTouchPos = {-99.0f, -99.0f};  // left from an earlier kick
  }

  static void Ball(f32 x, f32 z) {
    W.BallPos = {x, 1.0f, z};
    W.PrevBallPos = W.BallPos;
  }

  // Runs the step; returns the draws it made.
  static int StepCountingDraws() {
    const u32 before = RandSeed;
    Step();
    return DrawsSince(before);
  }

  static void Step() { RunFrameStep({"FreeBallContact", FreeBallContact}, W); }

  // Block-1 player p holding a ball he has just caught at (x, z).
  static void CaughtAt(int p, f32 x, f32 z) {
    W.gamestate = gsRunning;
    W.Teams[1].BallCarrier = p;
    Place(Attacker(p), x, z);
  }
};

// What a stoppage leaves for the transition handler.
struct TStop {
  i32 Kind;
  TGameState Pending;
  bool32 ToOpponents;
  TVector2 Spot;  // ScrumSpot
};

void ExpectStop(const TStop& S, bool32 Held, const char* what) {
  EXPECT_EQ(W.gamestate, gsTransition) << what;
  EXPECT_EQ(W.RestartKind, S.Kind) << what;
  EXPECT_EQ(W.PendingGameState, S.Pending) << what;
  EXPECT_EQ(W.PossessionChangePending, S.ToOpponents) << what;
  EXPECT_EQ(W.TransitionBallHeld, Held) << what;
  EXPECT_EQ(W.TransitionHolderFirstBlock, kTrue32) << what;
  EXPECT_EQ(W.TransitionStep, 1) << what;
  EXPECT_GE(W.TransitionTimeLeft, 2.0f) << what;
  EXPECT_LE(W.TransitionTimeLeft, 3.49f) << what;
  if (S.Pending == gsScrum) {
    EXPECT_EQ(W.ScrumSpot.x, S.Spot.x) << what;
    EXPECT_EQ(W.ScrumSpot.z, S.Spot.z) << what;
  }
  EXPECT_EQ(W.KickRestartSetPhase, S.Pending == gsLineout ? 1 : 0) << what;
}

TEST_F(FreeBallBoundariesTest, TheBallIsInTouchOnlyStrictlyBeyondTheLineAndPlayGoesOn) {
  Ball(35.0f, 10.0f);
  Step();
  EXPECT_EQ(W.KickTouchFlag2, kFalse32) << "on the line is not in touch";
  EXPECT_EQ(W.gamestate, gsFreeBall);

  Ball(35.01f, 10.0f);
  Step();
  EXPECT_EQ(W.KickTouchFlag2, kTrue32);
  EXPECT_EQ(W.KickTouchPos.x, 35.01f);
  EXPECT_EQ(W.KickTouchPos.z, 10.0f);
  EXPECT_EQ(W.gamestate, gsFreeBall) << "in touch in the air, not yet touched in touch";

  Ball(36.0f, 12.0f);
  Step();
  EXPECT_EQ(W.KickTouchPos.z, 10.0f) << "the first crossing is kept";

  W.KickTouchFlag2 = kFalse32;
  Ball(-35.01f, -3.0f);
  Step();
  EXPECT_EQ(W.KickTouchFlag2, kTrue32) << "either touch line";
  EXPECT_EQ(W.KickTouchPos.x, -35.01f);
}

TEST_F(FreeBallBoundariesTest, TouchedInTouchOrDeadInTouchStopsForALineoutWhereItCrossedTheFieldOfPlay) {
  struct TCase {
    const char* what;
    bool32 Touched, Swapped;
    i32 KickType;
    f32 BallZ, CrossedZ;
    bool32 ToOpponents;
  };
  const TCase cases[] = {
      {"bounced in touch after block 1's kick", kTrue32, kTrue32, 0, 10.0f, 10.0f, kTrue32},
      {"bounced in touch, the opponents played it last", kTrue32, kFalse32, 0, 10.0f, 10.0f, kFalse32},
      {"a penalty kick to touch keeps the throw", kTrue32, kTrue32, 5, 10.0f, 10.0f, kFalse32},
      {"crossed on the goal line, dead beyond the far dead-ball line", kFalse32, kTrue32, 0, 60.0f, 50.0f, kTrue32},
      {"crossed on the near goal line, dead at the near line", kFalse32, kTrue32, 0, -60.0f, -50.0f, kTrue32},
  };
  for (const TCase& c : cases) {
    SetUp();
    W.KickTouchFlag1 = c.Touched;
    W.KickTouchFlag2 = kTrue32;
    W.KickTouchPos = {35.5f, c.CrossedZ};
    W.BlocksSwapped = c.Swapped;
    W.KickType = c.KickType;
    Ball(36.0f, c.BallZ);
    EXPECT_EQ(StepCountingDraws(), 1) << c.what;
    ExpectStop({7, gsLineout, c.ToOpponents, {}}, kFalse32, c.what);
  }
}

TEST_F(FreeBallBoundariesTest, InTouchShortOfTheDeadBallLineAndUntouchedPlayGoesOn) {
  W.KickTouchFlag2 = kTrue32;
  W.KickTouchPos = {35.5f, 20.0f};
  Ball(38.0f, 59.9f);
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall);
}

TEST_F(FreeBallBoundariesTest, APlayerInTouchTouchingTheBallPutsItInTouchWhereItIs) {
  W.KickTouchFlag1 = kTrue32;  // a player standing in touch played it
  Ball(34.9f, 25.0f);
  Step();
  EXPECT_EQ(W.KickTouchFlag2, kTrue32);
  EXPECT_EQ(W.KickTouchPos.z, 25.0f) << "not the crossing point of an earlier kick";
  ExpectStop({7, gsLineout, kTrue32, {}}, kFalse32, "touched in touch");
}

TEST_F(FreeBallBoundariesTest, DeadOverEitherDeadBallLineGivesTheRestartOfWhoPlayedItLast) {
  struct TCase {
    const char* what;
    f32 BallZ;
    bool32 Swapped, OwnInGoal;
    i32 KickType;
    TStop Stop;
  };
  const TCase cases[] = {
      {"own kick dead at the far line: their scrum at the kick point", 60.0f, kTrue32, kFalse32, 0,
       {0, gsScrum, kTrue32, {10.0f, -20.0f}}},
      {"the same from a kick-off", 61.0f, kTrue32, kFalse32, 1, {0, gsScrum, kTrue32, {10.0f, -20.0f}}},
      {"own penalty goal attempt dead: their drop-out", 60.0f, kTrue32, kFalse32, 8, {2, gsKickRestartSet, kTrue32, {}}},
      {"own drop goal dead: their drop-out", 60.0f, kTrue32, kFalse32, 10, {2, gsKickRestartSet, kTrue32, {}}},
      {"their last touch, dead at the far line: their drop-out", 60.0f, kFalse32, kFalse32, 0,
       {2, gsKickRestartSet, kTrue32, {}}},
      {"dead at the near line: block 1's drop-out", -60.0f, kFalse32, kFalse32, 0, {2, gsKickRestartSet, kFalse32, {}}},
      {"own last touch at the near line, not carried in: block 1's drop-out", -60.0f, kTrue32, kFalse32, 0,
       {2, gsKickRestartSet, kFalse32, {}}},
      {"own last touch after carrying it into the own in-goal: their 5 m scrum", -60.0f, kTrue32, kTrue32, 0,
       {0, gsScrum, kTrue32, {3.0f, -45.0f}}},
  };
  for (const TCase& c : cases) {
    SetUp();
    W.BlocksSwapped = c.Swapped;
    W.Teams[1].CarriedIntoOwnInGoal = c.OwnInGoal;
    W.KickType = c.KickType;
    Ball(3.0f, c.BallZ);
    EXPECT_EQ(StepCountingDraws(), 1) << c.what;
    ExpectStop(c.Stop, kFalse32, c.what);
  }

  SetUp();
  Ball(3.0f, 59.99f);
  Step();
  EXPECT_EQ(W.gamestate, gsFreeBall) << "short of the dead-ball line";
}

TEST_F(FreeBallBoundariesTest, TouchedInTouchBeyondAGoalLineIsDeadAtThatEnd) {
  W.KickTouchFlag1 = kTrue32;
  W.KickTouchFlag2 = kTrue32;
  W.KickTouchPos = {35.5f, 52.0f};
  Ball(36.0f, 53.0f);
  Step();
  ExpectStop({0, gsScrum, kTrue32, {10.0f, -20.0f}}, kFalse32, "touch-in-goal at the far end");

  SetUp();
  W.KickTouchFlag1 = kTrue32;
  W.KickTouchFlag2 = kTrue32;
  W.KickTouchPos = {-35.5f, -52.0f};
  Ball(-36.0f, -53.0f);
  Step();
  ExpectStop({2, gsKickRestartSet, kFalse32, {}}, kFalse32, "touch-in-goal at the near end");
}

// ------------------------------------------------- a catch on a boundary

TEST_F(FreeBallBoundariesTest, ACatchWithinTheMarginsLeavesPlayRunning) {
  for (const TVector2 at : {TVector2{34.7f, 0.0f}, TVector2{-34.7f, 0.0f}, TVector2{0.0f, 59.7f},
                            TVector2{0.0f, -59.7f}}) {
    SetUp();
    CaughtAt(kBack, at.x, at.z);
    StopCatchAtBoundary(W);
    EXPECT_EQ(W.gamestate, gsRunning) << at.x << ", " << at.z;
  }
}

TEST_F(FreeBallBoundariesTest, ACatchOnOrBeyondABoundaryStopsPlayWithTheBallHeld) {
  struct TCase {
    const char* what;
    f32 x, z;
    bool32 Swapped, InTouch;
    i32 KickType;
    bool32 OwnInGoal1, OwnInGoal2;
    TStop Stop;
  };
  const TCase cases[] = {
      {"in touch on the full, block 1's kick", 34.75f, 10.0f, kTrue32, kFalse32, 0, 0, 0, {7, gsLineout, kTrue32, {}}},
      {"in touch, the opponents' kick", -35.5f, 10.0f, kFalse32, kFalse32, 0, 0, 0, {7, gsLineout, kFalse32, {}}},
      {"a penalty kick to touch: the reverse", 35.5f, 10.0f, kTrue32, kFalse32, 5, 0, 0, {7, gsLineout, kFalse32, {}}},
      {"a penalty kick to touch, their kick", 35.5f, 10.0f, kFalse32, kFalse32, 5, 0, 0, {7, gsLineout, kTrue32, {}}},
      {"far in-goal beyond touch, own kick", 35.5f, 55.0f, kTrue32, kFalse32, 0, 0, 0,
       {0, gsScrum, kTrue32, {10.0f, -20.0f}}},
      {"far dead-ball margin, own drop goal", 0.0f, 59.8f, kTrue32, kFalse32, 10, 0, 0,
       {2, gsKickRestartSet, kTrue32, {}}},
      {"far dead-ball margin, their kick", 0.0f, 59.8f, kFalse32, kFalse32, 0, 0, 0, {2, gsKickRestartSet, kTrue32, {}}},
      {"far dead-ball margin, their kick, they carried it in", 0.0f, 59.8f, kFalse32, kFalse32, 0, 0, kTrue32,
       {0, gsScrum, kFalse32, {0.0f, 59.8f}}},
      {"near dead-ball margin, their kick: scrum at the kick point", 0.0f, -59.8f, kFalse32, kFalse32, 0, 0, 0,
       {0, gsScrum, kFalse32, {10.0f, -20.0f}}},
      {"near dead-ball margin, own last touch", 0.0f, -59.8f, kTrue32, kFalse32, 0, 0, 0,
       {2, gsKickRestartSet, kFalse32, {}}},
      {"near dead-ball margin, own last touch, carried in", 0.0f, -59.8f, kTrue32, kFalse32, 0, kTrue32, 0,
       {0, gsScrum, kTrue32, {0.0f, -59.8f}}},
  };
  for (const TCase& c : cases) {
    SetUp();
    CaughtAt(kBack, c.x, c.z);
    W.BlocksSwapped = c.Swapped;
    W.KickType = c.KickType;
    W.Teams[1].CarriedIntoOwnInGoal = c.OwnInGoal1;
    W.Teams[2].CarriedIntoOwnInGoal = c.OwnInGoal2;
    Attacker(kBack).KickTimer = 0.5f;
    StopCatchAtBoundary(W);
    ExpectStop(c.Stop, kTrue32, c.what);
    EXPECT_EQ(W.TransitionHolder, kBack) << c.what;
    EXPECT_EQ(Attacker(kBack).KickTimer, 0.0f) << c.what;
    EXPECT_EQ(W.KickTouchPos.x, c.x) << c.what;
    EXPECT_EQ(W.KickTouchPos.z, c.z) << c.what;
    if (c.Stop.Pending == gsLineout) {
      EXPECT_EQ(W.TouchPos.x, c.x) << c.what;
      EXPECT_EQ(W.TouchPos.z, c.z) << c.what;
    }
  }
}

TEST_F(FreeBallBoundariesTest, ACatchInTouchAfterTheBallCrossedKeepsTheCrossingPoint) {
  CaughtAt(kBack, 36.0f, 58.0f);
  W.KickTouchFlag2 = kTrue32;
  W.KickTouchPos = {35.2f, 48.0f};
  StopCatchAtBoundary(W);
  ExpectStop({7, gsLineout, kTrue32, {}}, kTrue32, "crossed in the field of play, caught in touch-in-goal");
  EXPECT_EQ(W.KickTouchPos.z, 48.0f);
  EXPECT_EQ(W.TouchPos.z, 58.0f);
}

TEST_F(FreeBallBoundariesTest, TheContactStepJudgesACatchInTouchInTheFrameOfTheCatch) {
  Catching(Attacker(kBack), 35.2f, 10.0f).CleanCatchProb = 1000;
  Ball(35.2f, 10.2f);
  W.KickTouchFlag2 = kTrue32;
  W.KickTouchPos = {35.1f, 9.0f};
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.Teams[1].BallCarrier, kBack);
  ExpectStop({7, gsLineout, kTrue32, {}}, kTrue32, "caught beyond touch");
}

}  // namespace
