// The transition handler: the dead-ball interval after a stoppage, from its
// set-up through the holder's throw-away to the entry into the restart.
#include "flow/TransitionUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/FloatGuard.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "flow/OpenPlayScene.h"
#include "platform/Form.h"

namespace {

constexpr int kN = 15;

// Play stopped in running at 10:00 of the first half, a scrum to follow.
// Block 1 stands in a row at z = -10, block 2 at z = +10, 2 m apart in x,
// every player facing +z (heading 90) with nothing under way; the ball lies
// at rest at the centre spot, and nobody holds it.
class TransitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeOpenPlayPitch(W);
    RandSeed = 2024;
    Form1.Memo1.Clear();
    W.gamestate = gsTransition;
    W.TransitionStep = 1;
    W.TransitionTimeLeft = 2.0f;
    W.StoppedGameState = gsRunning;
    W.PendingGameState = gsScrum;
    W.RestartKind = 0;
    W.Gravity = 9.81f;
    W.GroundFriction = 1.06f;
    W.Team1InFirstBlock = kTrue32;
    W.MatchPhase = 1;
    W.halflength = 2400.0f;
    W.clock = 600.0f;
    W.TimeSinceSetPiece = 100.0f;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].teamid = 11 * b;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.id = 100 * b + p;
        Place(P, static_cast<f32>(2 * p - 16), b == 1 ? -10.0f : 10.0f);
        P.FacingAngle = static_cast<f32>(std::numbers::pi);  // heading 90
        P.Heading = 90.0f;
        P.Height = 1.8f;
        P.maxframes = 100.0f;
      }
    }
    for (TVector3& p : W.FlightPos) p = kUntouched;
  }

  static TPlayer& Player(int b, int p) { return W.Teams[b].Players[p]; }
  static void Frame() {
    ClearFloatFlags();
    DoTransition(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
  // The timer step's part: every reaction of the set-up has run out.
  static void EndReactions() {
    for (TTeamBlock& T : W.Teams)
      for (TPlayer& P : T.Players) P.SpecialAnimTimer = 0;
  }
  static bool Logged(const std::string& line) {
    for (const std::string& l : Form1.Memo1.Lines)
      if (l == line) return true;
    return false;
  }
  static bool Launched() { return W.BallPhase == 1 && W.FlightPos[1].x != kUntouched.x; }

  static constexpr TVector3 kUntouched{999.0f, 999.0f, 999.0f};
  static inline TWorld W;
};

// Block 1's player 10 holds the ball at (0, 0), facing +z.
void HoldBall(TWorld& W, bool FirstBlock = true) {
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolderFirstBlock = Flag(FirstBlock);
  W.TransitionHolder = 10;
  TPlayer& H = W.Teams[FirstBlock ? 1 : 2].Players[10];
  H.Pos = {0.0f, 0.0f, 0.0f};
  W.BallPos = {0.3f, 1.0f, 0.2f};
  W.PrevBallPos = W.BallPos;
}

TEST_F(TransitionTest, HeldBallLeavesOnlyByTheThrowAwayRelease) {
  HoldBall(W);
  Frame();
  EXPECT_EQ(W.TransitionStep, 2);
  EXPECT_FALSE(Launched()) << "nothing is launched at the set-up";
  EXPECT_FALSE(Logged("Ball Launch meters x y z"));
  EXPECT_TRUE(Logged("From Running"));
  EXPECT_GE(W.TransitionAux, 0.25f - 1e-6f);
  EXPECT_LE(W.TransitionAux, 0.499f + 1e-6f);

  // His run-on is over; he waits out the hold, then throws the ball away.
  TPlayer& H = Player(1, 10);
  EndReactions();
  for (int frames = 0; H.SpecialAnimTimer != 10.0f && frames < 20; ++frames) {
    ASSERT_GT(W.TransitionAux, 0.0f) << "the hold is over and he has not started";
    Frame();
  }
  ASSERT_EQ(H.SpecialAnimTimer, 10.0f);
  EXPECT_LE(W.TransitionAux, 0.0f) << "not before the hold is over";
  EXPECT_EQ(H.SpecialAnimKind, 2.0f);
  EXPECT_EQ(H.SpecialAnimSpeed, 0.0f);
  EXPECT_FLOAT_EQ(H.SpecialAnimFacing, 90.0f);
  EXPECT_EQ(H.SpecialAnimAngle, H.SpecialAnimFacing);

  H.currentframe = 77.0f;  // 0.77 of the animation: still in his hands
  Frame();
  EXPECT_NE(W.TransitionBallHeld, 0);
  EXPECT_FALSE(Launched());

  H.currentframe = 78.0f;
  const u32 before = RandSeed;
  Frame();
  EXPECT_EQ(DrawsSince(before), 2);
  EXPECT_EQ(W.TransitionBallHeld, 0);
  ASSERT_TRUE(Launched());
  EXPECT_EQ(W.BallFlightClock, 0.0f);
  // 0.7 m from his body at 55 degrees to his heading, at 0.55 of his height.
  const double a = (90.0 + 55.0) * std::numbers::pi / 180.0;
  EXPECT_NEAR(W.FlightPos[1].x, -std::cos(a) * 0.7, 1e-5);
  EXPECT_NEAR(W.FlightPos[1].y, 0.99, 1e-5);
  EXPECT_NEAR(W.FlightPos[1].z, std::sin(a) * 0.7, 1e-5);
  const TVector3 v = W.FlightVel[1];
  const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  EXPECT_GE(speed, 3.0 - 1e-5);
  EXPECT_LE(speed, 4.0 + 1e-5);
  const double elevation = std::asin(v.y / speed) * 180.0 / std::numbers::pi;
  EXPECT_GE(elevation, -15.0 - 1e-3);
  EXPECT_LE(elevation, 10.0 + 1e-3);
  EXPECT_NEAR(v.x, 0.0, 1e-5) << "along his heading, +z";
  EXPECT_GT(v.z, 0.0f);
}

TEST_F(TransitionTest, HolderStartsTheThrowAwayOnlyWhenFree) {
  struct Case {
    const char* what;
    bool firstBlock;
    f32 TPlayer::*busy;
    bool starts;
  };
  const Case cases[] = {
      {"free block-1 holder", true, nullptr, true},
      {"getting up", true, &TPlayer::standuptimer, false},
      {"stepping", true, &TPlayer::StepTimer, false},
      {"diving", false, &TPlayer::DiveTimer, false},
      {"block 1 breaking a tackle", true, &TPlayer::BreakTackleTimer, false},
      {"block 2 breaking a tackle", false, &TPlayer::BreakTackleTimer, true},
  };
  for (const Case& c : cases) {
    SetUp();
    HoldBall(W, c.firstBlock);
    W.TransitionStep = 2;
    W.TransitionAux = 0.0f;
    TPlayer& H = Player(c.firstBlock ? 1 : 2, 10);
    if (c.busy != nullptr) H.*c.busy = 0.5f;
    Frame();
    EXPECT_EQ(H.SpecialAnimTimer == 10.0f, c.starts) << c.what;
  }
}

TEST_F(TransitionTest, BlockTwoHolderThrowsFromTheBallAlongHisAction) {
  HoldBall(W, false);
  W.TransitionStep = 2;
  TPlayer& H = Player(2, 10);
  H.SpecialAnimTimer = 10.0f;
  H.SpecialAnimKind = 2.0f;
  H.SpecialAnimFacing = 180.0f;  // towards +x
  H.currentframe = 80.0f;
  Frame();
  ASSERT_TRUE(Launched());
  EXPECT_EQ(W.FlightPos[1].x, W.BallPos.x);
  EXPECT_EQ(W.FlightPos[1].y, W.BallPos.y);
  EXPECT_EQ(W.FlightPos[1].z, W.BallPos.z);
  EXPECT_GT(W.FlightVel[1].x, 0.0f);
  EXPECT_NEAR(W.FlightVel[1].z, 0.0, 1e-5);
}

TEST_F(TransitionTest, LooseBallIsLaunchedOnlyOutsideFreeBallAndTries) {
  struct Case {
    TGameState stopped;
    bool launched;
    const char* line;  // the look-ahead log's "From" line, or empty
  };
  const Case cases[] = {
      {gsRunning, true, "From Running"},     {gsPassing, true, "From passing"},
      {gsGotTackled, true, "From gottackled"}, {gsFreeBall, false, "From freeball"},
      {gsTryScored, false, ""},               {gsKickRestartSet, true, ""},
  };
  for (const Case& c : cases) {
    SetUp();
    W.StoppedGameState = c.stopped;
    W.PassVel = {1.0f, 1.0f, 1.0f};
    Frame();
    EXPECT_EQ(Launched(), c.launched) << int(c.stopped);
    EXPECT_EQ(Logged("Ball Launch meters x y z"), c.launched) << int(c.stopped);
    if (c.line[0] != '\0') {
      EXPECT_TRUE(Logged(c.line)) << c.line;
    }
    EXPECT_EQ(Form1.Memo1.Count(), (c.launched ? 4u : 0u) + (c.line[0] != '\0' ? 1u : 0u)) << int(c.stopped);
  }
}

TEST_F(TransitionTest, LooseBallVelocityIsHeldWithinATenthAndFiveMetresASecondPerAxis) {
  struct Case {
    const char* what;
    TVector3 moved;  // m in the last 0.04 s frame
    TGameState stopped;
    TVector3 vel;    // m/s at launch
  };
  const Case cases[] = {
      {"at rest", {0, 0, 0}, gsRunning, {0.1f, 0.1f, 0.1f}},
      {"0.4 m in x", {0.4f, 0, 0}, gsRunning, {5.0f, 0.1f, 0.1f}},
      {"slowly back and down", {0, -0.002f, -0.002f}, gsGotTackled, {0.1f, -0.1f, -0.1f}},
      {"in between", {0.08f, -0.12f, 0}, gsRunning, {2.0f, -3.0f, 0.1f}},
      {"a pass keeps its own velocity", {0, 0, 0}, gsPassing, {8.0f, 2.0f, 12.0f}},
  };
  for (const Case& c : cases) {
    SetUp();
    W.StoppedGameState = c.stopped;
    W.BallPos = {1.25f, 0.5f, -3.0f};
    W.PrevBallPos = {W.BallPos.x - c.moved.x, W.BallPos.y - c.moved.y, W.BallPos.z - c.moved.z};
    W.PassVel = {8.0f, 2.0f, 12.0f};
    Frame();
    ASSERT_TRUE(Launched()) << c.what;
    EXPECT_NEAR(W.FlightVel[1].x, c.vel.x, 2e-4) << c.what;
    EXPECT_NEAR(W.FlightVel[1].y, c.vel.y, 2e-4) << c.what;
    EXPECT_NEAR(W.FlightVel[1].z, c.vel.z, 2e-4) << c.what;
    EXPECT_EQ(W.FlightPos[1].x, W.BallPos.x) << c.what;
    EXPECT_EQ(W.LooseBallRolling, 0) << c.what;
  }
  const std::string expected[] = {"Ball Launch meters x y z", "1.25", "0.50", "-3.00"};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(Form1.Memo1.Lines[k], expected[k]);
}

TEST_F(TransitionTest, HolderWhoNamesNoPlayerHoldsNothing) {
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolderFirstBlock = kTrue32;
  W.TransitionHolder = 0;
  Frame();
  EXPECT_EQ(W.TransitionBallHeld, 0);
  EXPECT_TRUE(Launched());
}

TEST_F(TransitionTest, FreePlayersRunOnAndScrumHalvesWalkBackOrStand) {
  struct Case {
    const char* what;
    int b, p;
    f32 TPlayer::*timer;  // set above 0 before the set-up, or null
    bool setPieceHolder;
    f32 sinceSetPiece;
    f32 facing, speed, minTime, maxTime;  // speed < 0: 3.0 .. 4.9
  };
  const Case cases[] = {
      {"free", 1, 5, nullptr, false, 100.0f, 90.0f, -1.0f, 0.40f, 0.74f},
      {"free, block 2", 2, 5, nullptr, false, 100.0f, 90.0f, -1.0f, 0.40f, 0.74f},
      {"scrum-half", 1, 9, nullptr, true, 100.0f, 270.0f, 2.0f, 0.55f, 0.74f},
      {"scrum-half, block 2", 2, 9, nullptr, true, 100.0f, 450.0f, 2.0f, 0.55f, 0.74f},
      {"in the ruck", 2, 3, &TPlayer::RuckTimer, false, 100.0f, 450.0f, 2.0f, 0.55f, 0.74f},
      {"in the breakdown", 1, 3, &TPlayer::RuckTimer2, false, 100.0f, 270.0f, 2.0f, 0.55f, 0.74f},
      {"scrum-half 3.9 s after a set piece", 1, 9, nullptr, true, 3.9f, 90.0f, 0.0f, 0.55f, 0.74f},
      {"block 2's, 3.9 s after", 2, 9, nullptr, true, 3.9f, 270.0f, 0.0f, 0.55f, 0.74f},
      {"scrum-half 4.0 s after", 1, 9, nullptr, true, 4.0f, 270.0f, 2.0f, 0.55f, 0.74f},
      {"getting up", 1, 6, &TPlayer::standuptimer, false, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f},
      {"passing", 2, 6, &TPlayer::passtimer, false, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f},
      {"celebrating", 2, 7, &TPlayer::CelebrateTimer, false, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    W.TimeSinceSetPiece = c.sinceSetPiece;
    TPlayer& P = Player(c.b, c.p);
    P.SpecialAnimKind = 5.0f;
    if (c.timer != nullptr) P.*c.timer = 0.5f;
    if (c.setPieceHolder) W.Teams[c.b].SetPieceHolder = c.p;
    for (int b = 1; b <= 2; ++b) Player(b, 1).standuptimer = 0.3f;  // busy in both blocks
    const u32 before = RandSeed;
    Frame();
    const bool busy = c.maxTime == 0.0f;
    const bool walker = !busy && c.speed >= 0.0f;
    // DeepFlag, options and hold; two reaction draws for 28 free players,
    // one more for a walker.
    EXPECT_EQ(DrawsSince(before), 2 + 2 * kN + 1 + 2 * (2 * kN - 2 - (busy ? 1 : 0)) + (walker ? 1 : 0))
        << c.what;
    if (busy) {
      EXPECT_EQ(P.SpecialAnimTimer, 0.0f) << c.what;
      EXPECT_EQ(P.SpecialAnimKind, 5.0f) << c.what;
      continue;
    }
    EXPECT_EQ(P.SpecialAnimKind, 0.0f) << c.what;
    EXPECT_GE(P.SpecialAnimTimer, c.minTime - 1e-6f) << c.what;
    EXPECT_LE(P.SpecialAnimTimer, c.maxTime + 1e-6f) << c.what;
    EXPECT_FLOAT_EQ(P.SpecialAnimFacing, c.facing) << c.what;
    EXPECT_EQ(P.SpecialAnimAngle, P.SpecialAnimFacing) << c.what;
    if (c.speed < 0.0f) {
      EXPECT_GE(P.SpecialAnimSpeed, 3.0f) << c.what;
      EXPECT_LE(P.SpecialAnimSpeed, 4.9f + 1e-6f) << c.what;
    } else {
      EXPECT_EQ(P.SpecialAnimSpeed, c.speed) << c.what;
    }
    EXPECT_EQ(P.RuckTimer, 0.0f) << c.what;
    EXPECT_EQ(P.RuckTimer2, 0.0f) << c.what;
  }
}

TEST_F(TransitionTest, SetUpEndsEveryonesOwnActionsAndBreaksOffBlocks) {
  TPlayer& P = Player(2, 4);
  for (f32* t : {&P.LineOutTimer, &P.passtimer, &P.KickTimer, &P.playertofollowtimer, &P.ChaseTimer,
                 &P.OffloadPending})
    *t = 0.5f;
  P.ActionsMade = 3;
  P.BlockReady = 2;
  P.BlockEngaged[1] = 4;
  P.BlockEngaged[2] = 1;
  P.BlockExitTimer = 0.2f;
  W.BlockRecords[4].Words[3] = 7;
  P.ActionSeq.seqON = kTrue32;
  P.OldTackleTimer = 2.0f;
  P.Unavailable = kTrue32;
  P.DesiredPos = {5.0f, 0.0f, 5.0f};
  W.Teams[1].BallCarrier = 10;
  W.Teams[1].PassTimeLeft = 0.3f;
  W.Teams[2].KickTimeLeft = 0.3f;
  W.MarkCalled = kTrue32;
  Frame();
  for (f32 t : {P.LineOutTimer, P.passtimer, P.KickTimer, P.playertofollowtimer, P.ChaseTimer, P.OffloadPending})
    EXPECT_EQ(t, 0.0f);
  EXPECT_EQ(P.ActionsMade, -1);
  EXPECT_EQ(P.BlockReady, 0);
  EXPECT_EQ(P.BlockEngaged[1], 0);
  EXPECT_EQ(P.BlockEngaged[2], 0);
  EXPECT_EQ(P.BlockExitTimer, 0.0f);
  EXPECT_EQ(W.BlockRecords[4].Words[3], 0);
  EXPECT_EQ(P.ActionSeq.seqON, 0);
  EXPECT_EQ(P.OldTackleTimer, 1.0f) << "an injured player lies 1.0 s at most";
  EXPECT_EQ(P.DesiredPos.x, P.Pos.x) << "a lying player is held where he is";
  EXPECT_EQ(P.DesiredPos.z, P.Pos.z);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  EXPECT_EQ(W.Teams[1].PassTimeLeft, 0.0f);
  EXPECT_EQ(W.Teams[2].KickTimeLeft, 0.0f);
  EXPECT_EQ(W.MarkCalled, 0);
  EXPECT_TRUE(W.Teams[1].PlayOption == 1 || W.Teams[1].PlayOption == 2);
  EXPECT_TRUE(W.Teams[2].PlayOption == 1 || W.Teams[2].PlayOption == 2);
}

TEST_F(TransitionTest, PlayersCloseToTheHolderTurnAwayFromHim) {
  HoldBall(W);
  struct Case {
    const char* what;
    int b, p;
    TVector2 at;
    bool turns;
    f32 away;
  };
  const Case cases[] = {
      {"1.7 m to his +x", 2, 4, {1.7f, 0.0f}, true, 180.0f},
      {"1.7 m behind him", 1, 11, {0.0f, -1.7f}, true, 270.0f},
      {"1.75 m ahead", 2, 5, {0.0f, 1.75f}, false, 0.0f},
      {"on top of him", 2, 6, {0.0f, 0.0f}, true, 270.0f},  // no heading: 90 + 180
  };
  for (const Case& c : cases) Place(Player(c.b, c.p), c.at.x, c.at.z);
  Frame();
  for (const Case& c : cases) {
    const TPlayer& P = Player(c.b, c.p);
    if (c.turns) {
      EXPECT_FLOAT_EQ(P.SpecialAnimFacing, c.away) << c.what;
      EXPECT_EQ(P.SpecialAnimAngle, P.SpecialAnimFacing) << c.what;
    } else {
      EXPECT_FLOAT_EQ(P.SpecialAnimFacing, 90.0f) << c.what << ": keeps his run-on";
    }
  }
  EXPECT_FLOAT_EQ(Player(1, 10).SpecialAnimFacing, 90.0f) << "the holder himself";
}

TEST_F(TransitionTest, TacklesUnderWayEndOrAreCancelled) {
  TPlayer& A3 = Player(1, 3);  // tackled, kind by case
  TPlayer& D4 = Player(2, 4);  // his tackler
  struct Case {
    const char* what;
    f32 tackledKind, tacklerKind;
    f32 wantTackled, wantTackler;  // kinds after; -1: cancelled
  };
  const Case cases[] = {
      {"kind 1", 1.0f, 1.0f, 6.0f, 5.0f},
      {"kind 2", 2.0f, 2.0f, 7.0f, 6.0f},
      {"kind 0 both ways", 0.0f, 0.0f, -1.0f, -1.0f},
      {"kind 0 tackled, kind 1 tackler", 0.0f, 1.0f, -1.0f, 5.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    A3.GettingTackledTimer = 1.0f;
    A3.GettingTackledKind = c.tackledKind;
    A3.numtargetting = 1;
    A3.numgoverning = 1;
    D4.TackleAttemptTimer = 1.0f;
    D4.TackleAttemptKind = c.tacklerKind;
    D4.governedby = 3;
    D4.target = 3;
    D4.ContactPoint = 2;
    Player(2, 7).governedby = 2;  // holds someone else
    Player(2, 7).target = 2;
    Frame();
    if (c.wantTackled < 0) {
      EXPECT_EQ(A3.GettingTackledTimer, 0.0f) << c.what;
      EXPECT_EQ(A3.numtargetting, 0) << c.what;
      EXPECT_EQ(A3.numgoverning, 0) << c.what;
      EXPECT_EQ(D4.governedby, 0) << c.what << ": released by the tackled player";
      EXPECT_EQ(D4.target, 0) << c.what;
    } else {
      EXPECT_EQ(A3.GettingTackledKind, c.wantTackled) << c.what;
      EXPECT_EQ(A3.GettingTackledTimer, 0.35f) << c.what;
      EXPECT_EQ(A3.GroundTime, 0.25f) << c.what;
    }
    if (c.wantTackler < 0) {
      EXPECT_EQ(D4.TackleAttemptTimer, 0.0f) << c.what;
    } else {
      EXPECT_EQ(D4.TackleAttemptKind, c.wantTackler) << c.what;
      EXPECT_EQ(D4.TackleAttemptTimer, 0.35f) << c.what;
      EXPECT_EQ(D4.GroundTime, 0.25f) << c.what;
    }
    EXPECT_EQ(Player(2, 7).governedby, 2) << c.what;
  }
}

TEST_F(TransitionTest, CancelledTacklerReleasesThePlayerHeHeld) {
  TPlayer& D4 = Player(2, 4);
  D4.TackleAttemptTimer = 1.0f;
  D4.TackleAttemptKind = 0.0f;
  D4.governedby = 3;
  D4.target = 5;
  Player(1, 3).numgoverning = 1;
  Player(1, 5).numtargetting = 2;
  TPlayer& D6 = Player(2, 6);  // links that name no player are only cleared
  D6.TackleAttemptTimer = 1.0f;
  D6.governedby = 40;
  D6.target = -1;
  Frame();
  EXPECT_EQ(D4.TackleAttemptTimer, 0.0f);
  EXPECT_EQ(D4.governedby, 0);
  EXPECT_EQ(D4.target, 0);
  EXPECT_EQ(Player(1, 3).numgoverning, 0);
  EXPECT_EQ(Player(1, 5).numtargetting, 1);
  EXPECT_EQ(D6.governedby, 0);
  EXPECT_EQ(D6.target, 0);
}

TEST_F(TransitionTest, TacklersAndTackledPlayersSlideEveryFrame) {
  W.TransitionStep = 2;
  TPlayer& A3 = Player(1, 3);
  A3.GettingTackledTimer = 0.3f;
  A3.GettingTackledKind = 6.0f;
  A3.GettingTackledSpeed = 4.0f;
  A3.GettingTackledAngle = 90.0f;
  A3.currentframe = 92.0f;  // slows from 0.92 of the animation
  TPlayer& D4 = Player(2, 4);
  D4.TackleAttemptTimer = 0.3f;
  D4.TackleAttemptKind = 5.0f;
  D4.TackleAttemptSpeed = 3.0f;
  D4.TackleAttemptAngle = 180.0f;
  D4.governedby = 3;
  D4.ContactPoint = 0;  // no point to take: keeps his lunge
  Frame();
  const double slowed = 4.0 - 1.06 * 9.81 * 0.04;
  EXPECT_NEAR(A3.GettingTackledSpeed, slowed, 1e-5);
  EXPECT_NEAR(A3.DesiredPos.z, A3.Pos.z + slowed * 0.04, 1e-5);
  EXPECT_NEAR(D4.DesiredPos.x, D4.Pos.x + 3.0 * 0.04, 1e-5);
  EXPECT_NEAR(D4.DesiredPos.z, D4.Pos.z, 1e-5);
}

TEST_F(TransitionTest, PlayersGoingForThePassMayStillCatchIt) {
  struct Case {
    const char* what;
    int b;
    TVector3 passVel;
    f32 TPlayer::*busy;
    bool armed;
  };
  const Case cases[] = {
      {"block 1, 0.1 s from the point", 1, {0.0f, 0.0f, 10.0f}, nullptr, true},
      {"block 2", 2, {0.0f, 0.0f, 10.0f}, nullptr, true},
      {"0.4 s from the point", 1, {0.0f, 0.0f, 2.5f}, nullptr, false},
      {"a pass with no planar speed", 1, {0.0f, 3.0f, 0.0f}, nullptr, false},
      {"busy getting up", 1, {0.0f, 0.0f, 10.0f}, &TPlayer::standuptimer, false},
      {"busy in a ruck", 2, {0.0f, 0.0f, 10.0f}, &TPlayer::RuckTimer, false},
      // Armed, his catch and his shimmy restarted each other's animation
      // every frame and the transition never ended.
      {"busy in a shimmy", 2, {0.0f, 0.0f, 10.0f}, &TPlayer::shimmytimer, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.TransitionStep = 2;
    W.TransitionTimeLeft = 5.0f;
    W.BallPos = {0.0f, 1.5f, 0.0f};
    W.PassVel = c.passVel;
    TPlayer& P = Player(c.b, 11);
    P.WillAttemptPassInterCept = kTrue32;
    P.CanInterceptPassOnFull = kTrue32;
    P.BallCatchPoint = {1.0f, 0.0f};
    if (c.busy != nullptr) P.*c.busy = 0.5f;
    Frame();
    EXPECT_EQ(P.passcatchtimer == 10.0f, c.armed) << c.what;
    if (c.busy != nullptr) {
      EXPECT_EQ(P.WillAttemptPassInterCept, 0) << c.what;
      EXPECT_NE(P.PassCatchArmed, 0) << c.what;
      EXPECT_NE(P.DesiredPos.x, 1.0f) << c.what;
      continue;
    }
    EXPECT_EQ(P.DesiredPos.x, 1.0f) << c.what;
    EXPECT_EQ(P.DesiredPos.z, 0.0f) << c.what;
    EXPECT_EQ(P.PassCatchArmed != 0, c.armed) << c.what;
    if (c.armed) {
      EXPECT_EQ(W.Teams[c.b].CatchSide, 2) << c.what;
      // No receiver: his own height, 1.5 m between 0.4 and 0.9 of 1.8 m.
      EXPECT_EQ(W.Teams[c.b].CatchHeight, 1) << c.what;
    }
  }
}

TEST_F(TransitionTest, DefendersReadingAPassRunOnTheWayTheyFace) {
  W.TransitionStep = 2;
  TPlayer& D = Player(2, 8);
  D.PassReadTimer = 0.2f;
  D.FacingAngle = 0.0f;  // heading -90: towards -z
  Frame();
  EXPECT_NEAR(D.DesiredPos.x, D.Pos.x, 1e-5);
  EXPECT_NEAR(D.DesiredPos.z, D.Pos.z - 1.5, 1e-5);
  EXPECT_EQ(Player(2, 9).DesiredPos.z, Player(2, 9).Pos.z);
}

TEST_F(TransitionTest, EndWaitsForTheLeastTimeAndForEveryAction) {
  f32 TPlayer::*const timers[] = {
      &TPlayer::GettingTackledTimer, &TPlayer::TackleAttemptTimer, &TPlayer::OldTackleTimer,
      &TPlayer::RuckTimer,           &TPlayer::RuckTimer2,         &TPlayer::shimmytimer,
      &TPlayer::standuptimer,        &TPlayer::passtimer,          &TPlayer::passcatchtimer,
      &TPlayer::freeballcatchtimer,  &TPlayer::SpecialAnimTimer,
  };
  for (f32 TPlayer::*t : timers) {
    SetUp();
    W.TransitionTimeLeft = 0.05f;
    Frame();
    EndReactions();
    Player(2, 7).*t = 0.3f;
    Frame();
    EXPECT_EQ(W.gamestate, gsTransition) << "a player still has an action";
    Player(2, 7).*t = 0.0f;
    Frame();
    EXPECT_EQ(W.gamestate, gsScrum);
  }
  SetUp();  // the least time alone
  W.TransitionTimeLeft = 0.09f;
  Frame();
  EndReactions();
  Frame();
  EXPECT_EQ(W.gamestate, gsTransition) << "0.01 s left";
  Frame();
  EXPECT_EQ(W.gamestate, gsScrum);
}

TEST_F(TransitionTest, EndEntersTheRestartWithTheBlocksSwappedFirst) {
  struct Case {
    bool change;
    bool32 team1First;
    TVector2 mark;
  };
  const Case cases[] = {{false, kTrue32, {10.0f, 20.0f}}, {true, kFalse32, {-10.0f, -20.0f}}};
  for (const Case& c : cases) {
    SetUp();
    W.TransitionStep = 2;
    W.TransitionTimeLeft = 0.0f;
    W.PossessionChangePending = Flag(c.change);
    W.TransitionBallHeld = kTrue32;
    W.ScrumSpot = {10.0f, 20.0f};
    W.Teams[1].StrategyTimer = 3.0f;
    W.Teams[2].AttackSide = 1;
    W.Teams[1].CarriedIntoOwn22 = kTrue32;
    W.LastPasser = 4;
    W.PhaseCount = 6;
    Player(1, 2).governedby = 3;
    Player(2, 2).OffsideMark = 1.0f;
    Frame();
    EXPECT_EQ(W.gamestate, gsScrum);
    EXPECT_EQ(W.TransitionBallHeld, 0);
    EXPECT_EQ(W.Team1InFirstBlock, c.team1First);
    EXPECT_EQ(W.MarkX, c.mark.x) << "the scrum is set up on the mirrored spot";
    EXPECT_EQ(W.MarkZ, c.mark.z);
    for (const TTeamBlock& T : W.Teams) {
      EXPECT_EQ(T.StrategyTimer, 0.0f);
      EXPECT_EQ(T.AttackSide, 0);
      EXPECT_EQ(T.CarryMaxZ, -100000.0f);
      EXPECT_EQ(T.CarriedIntoOwn22, 0);
      EXPECT_EQ(T.Players[2].governedby, 0);
      EXPECT_EQ(T.Players[2].OffsideMark, 0.0f);
    }
    EXPECT_EQ(W.LastPasser, 0);
    EXPECT_EQ(W.PhaseCount, 0);
  }
}

TEST_F(TransitionTest, KickAtGoalIsTakenAtLeastTenMetresOut) {
  for (f32 z : {45.0f, 30.0f}) {
    SetUp();
    W.TransitionStep = 2;
    W.TransitionTimeLeft = 0.0f;
    W.PendingGameState = gsKickRestartSet;
    W.RestartKind = 4;
    W.RestartSpot = {12.0f, z};
    Frame();
    EXPECT_EQ(W.gamestate, gsKickRestartSet);
    EXPECT_EQ(W.Teams[1].RestartType, 8);
    EXPECT_EQ(W.RestartSpot.z, std::min(z, 40.0f));
    EXPECT_EQ(W.RestartSpot.x, 12.0f);
  }
}

TEST_F(TransitionTest, PenaltyKicksAndConversionsAreTakenBeforeTheHalfEnds) {
  struct Case {
    const char* what;
    i32 phase;
    f32 clock;
    TGameState pending;
    i32 kind;
    i32 typeBefore;  // a restart type already set up (kind 0 keeps it)
    i32 phaseAfter;
  };
  const Case cases[] = {
      {"penalty to touch at half time", 1, 2400.0f, gsKickRestartSet, 3, 0, 1},
      {"penalty goal at half time", 1, 2401.0f, gsKickRestartSet, 4, 0, 1},
      {"tap penalty at half time", 1, 2400.0f, gsKickRestartSet, 5, 0, 1},
      {"conversion at half time", 1, 2400.0f, gsKickRestartSet, 0, 9, 1},
      {"drop-out at half time", 1, 2400.0f, gsKickRestartSet, 2, 0, 2},
      {"scrum at half time", 1, 2400.0f, gsScrum, 0, 8, 2},
      {"scrum before half time", 1, 2399.0f, gsScrum, 0, 0, 1},
      {"penalty to touch at full time", 2, 4800.0f, gsKickRestartSet, 3, 0, 2},
      {"scrum at full time", 2, 4800.0f, gsScrum, 0, 0, 3},
  };
  for (const Case& c : cases) {
    SetUp();
    W.TransitionStep = 2;
    W.TransitionTimeLeft = 0.0f;
    W.MatchPhase = c.phase;
    W.clock = c.clock;
    W.PendingGameState = c.pending;
    W.RestartKind = c.kind;
    W.Teams[1].RestartType = c.typeBefore;
    W.Teams[2].RestartType = c.typeBefore;
    Frame();
    EXPECT_EQ(W.MatchPhase, c.phaseAfter) << c.what;
  }
}

TEST_F(TransitionTest, SetUpFrameDrawsInOrder) {
  // Options, depths, the hold and the reactions, nothing else: replayed by hand.
  for (int b = 1; b <= 2; ++b)
    for (int p = 2; p <= kN; ++p) Player(b, p).standuptimer = 0.3f;  // only player 1 of each reacts
  const u32 seed = RandSeed;
  Frame();
  RandSeed = seed;
  const i32 option1 = RandomRange(1, 3), option2 = RandomRange(1, 3);
  EXPECT_EQ(W.Teams[1].PlayOption, option1);
  EXPECT_EQ(W.Teams[2].PlayOption, option2);
  for (int p = 1; p <= kN; ++p) {
    EXPECT_EQ(Player(1, p).DeepFlag, Flag(RandomRange(1, 1001) < 500)) << p;
    EXPECT_EQ(Player(2, p).DeepFlag, Flag(RandomRange(1, 1001) < 500)) << p;
  }
  EXPECT_EQ(W.TransitionAux, static_cast<f32>(RandomRange(250, 500) / 1000.0));
  for (int b = 1; b <= 2; ++b) {
    EXPECT_EQ(Player(b, 1).SpecialAnimTimer, static_cast<f32>(RandomRange(40, 75) / 100.0)) << b;
    EXPECT_EQ(Player(b, 1).SpecialAnimSpeed, static_cast<f32>(RandomRange(30, 50) / 10.0)) << b;
  }
}

}  // namespace
