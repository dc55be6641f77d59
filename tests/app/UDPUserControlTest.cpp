#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ViewerScene.h"
#include "app/FrameSteps.h"
#include "app/UDPUserControlUnit.h"
#include "core/Geometry.h"

namespace {

class UserControl : public ::testing::Test {
 protected:
  static TWorld W;

  void SetUp() override { MakeViewerScene(W); }
  void TearDown() override { SetUDPRealtimeDefaults(); }

  static TPlayer& A(int p) { return W.Teams[1].Players[p]; }
  static TPlayer& D(int p) { return W.Teams[2].Players[p]; }
  // User 1 of block 1's team steering player p.
  static TUDPUserSlot& Steer(int p) {
    TUDPUserSlot& U = PresentUser(1, 10, p);
    U.ControlledPlayer = static_cast<i16>(p);
    A(p).ControllingUser = 1;
    return U;
  }
  static void Press(TUDPUserSlot& U, std::initializer_list<int> buttons) {
    for (bool32& b : U.Buttons) b = kFalse32;
    for (int b : buttons) U.Buttons[b] = kTrue32;
  }
  static void Decide(int p) { ApplyUserControl(W, A(p), ucDecision, W.Teams[1]); }
  static const TActionEvent& Event1(int p) { return A(p).ActionSeq.EventArray[1]; }
};

TWorld UserControl::W;

TEST_F(UserControl, EachPresentUserGetsAPlayer) {
  TUDPRealtime& R = UDPRealtime;
  TUDPUserSlot& auto1 = PresentUser(1, 10, 0);
  TUDPUserSlot& chosen2 = PresentUser(2, 10, 5);  // wants 5 but has no player yet
  TUDPUserSlot& def3 = PresentUser(3, 20, 0);
  R.Users[4].TeamId = 10;  // not present
  A(3).ControllingUser = 4;
  auto1.SwitchFlags[3] = kTrue32;
  auto1.ControlledPlayer = 6;
  UDPUserControl(W);
  EXPECT_EQ(A(10).ControllingUser, 1);  // the carrier, for the automatic pick
  EXPECT_EQ(auto1.ControlledPlayer, 6);
  EXPECT_EQ(auto1.PrevControlledPlayer, 6);
  EXPECT_EQ(auto1.SwitchFlags[3], kFalse32);
  EXPECT_EQ(A(3).ControllingUser, 0);
  EXPECT_EQ(chosen2.ControlledPlayer, 0);  // nobody in running
  EXPECT_EQ(def3.ControlledPlayer, 10);    // the defender nearest the ball
  EXPECT_EQ(D(10).ControllingUser, 3);
  int marked = 0;
  for (int b = 1; b <= 2; ++b)
    for (const TPlayer& P : W.Teams[b].Players) marked += P.ControllingUser != 0;
  EXPECT_EQ(marked, 2);

  // At a breakdown a user without a player takes the one nearest the ball,
  // the lower number of two equally near; switch flags stay.
  W.gamestate = gsGotTackled;
  W.BallPos.x = 2.5f;
  chosen2.SwitchFlags[2] = kTrue32;
  UDPUserControl(W);
  EXPECT_EQ(chosen2.ControlledPlayer, 10);
  EXPECT_EQ(chosen2.SwitchFlags[2], kTrue32);
  EXPECT_EQ(A(10).ControllingUser, 2);
  EXPECT_EQ(A(6).ControllingUser, 1);
}

TEST_F(UserControl, SticksTurnIntoPitchHeadings) {
  TUDPUserSlot& U = PresentUser(1, 10, 0);
  struct Case {
    f32 viewAngle;
    i32 viewerTeam;
    f32 s1, s2, s3, s4;
    f32 magnitude, heading1, heading2;
  };
  const Case cases[] = {
      {0.0f, 10, 0.0f, 0.5f, -0.3f, 0.0f, 0.5f, 270.0f, 180.0f},
      {0.0f, 20, 0.0f, 0.5f, -0.3f, 0.0f, 0.5f, 90.0f, 0.0f},  // the other side's view
      {45.0f, 10, 0.3f, 0.4f, 0.0f, 0.0f, 0.5f, 351.8699f, 315.0f},
      {0.0f, 10, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 270.0f, 270.0f},  // centred
  };
  f32 previous = 0.0f;
  for (const Case& c : cases) {
    UDPRealtime.ViewAngle = c.viewAngle;
    UDPRealtime.ViewerTeamId = c.viewerTeam;
    U.Sticks[1] = c.s1;
    U.Sticks[2] = c.s2;
    U.Sticks[3] = c.s3;
    U.Sticks[4] = c.s4;
    UDPUserControl(W);
    EXPECT_FLOAT_EQ(U.Stick1Magnitude, c.magnitude);
    EXPECT_EQ(U.PrevStick1Magnitude, previous);
    EXPECT_NEAR(HeadingDifference(U.Stick1Heading, c.heading1), 0.0f, 1e-3) << c.viewAngle;
    EXPECT_NEAR(HeadingDifference(U.Stick2Heading, c.heading2), 0.0f, 1e-3) << c.viewAngle;
    previous = U.Stick1Magnitude;
  }
}

TEST_F(UserControl, CentredStickRunsOnAt90AndACrawl) {
  TUDPUserSlot& U = Steer(10);
  Decide(10);
  EXPECT_EQ(A(10).ActionSeq.seqON, kTrue32);
  EXPECT_EQ(Event1(10).EventType, 0);
  EXPECT_EQ(Event1(10).Angle, 90.0f);
  EXPECT_EQ(Event1(10).DesSpeed, 0.01f);
  U.Stick1Magnitude = 0.8f;
  U.Stick1Heading = 120.0f;
  Decide(10);
  EXPECT_EQ(Event1(10).Angle, 120.0f);
  EXPECT_EQ(Event1(10).DesSpeed, 6.0f);
  Press(U, {2});
  Decide(10);
  EXPECT_EQ(Event1(10).DesSpeed, 8.0f);
}

TEST_F(UserControl, PassButtonsLaterInTheOrderWin) {
  TUDPRealtime& R = UDPRealtime;
  TUDPUserSlot& U = Steer(10);
  R.PassTargets[1] = 7;
  R.PassTargets[2] = 0;
  R.PassTargets[3] = 12;
  R.PassTargets[4] = 15;
  struct Case {
    std::vector<int> buttons;
    i32 subType, type;
  };
  const Case cases[] = {
      {{9}, 7, 1}, {{9, 11}, 12, 1}, {{11, 15}, 15, 1}, {{15, 9}, 15, 1}, {{9, 13}, 7, 1}, {{13}, 0, 0}, {{9, 6}, 7, 3},
  };
  for (const Case& c : cases) {
    A(10).ActionSeq.seqON = kFalse32;
    Press(U, {});
    for (int b : c.buttons) U.Buttons[b] = kTrue32;
    Decide(10);
    EXPECT_EQ(Event1(10).EventSubType, c.subType) << c.buttons.size();
    EXPECT_EQ(Event1(10).EventType, c.type) << c.buttons.size();
  }
  // In a tackle with the offload window open the pass is an offload; a pass
  // just after a catch holds a moment.
  A(10).ActionSeq.seqON = kFalse32;
  A(10).GettingTackledTimer = 0.4f;
  A(10).passcatchtimer = 0.1f;
  W.Teams[1].OffloadTime = 0.3f;
  Press(U, {9, 6});
  Decide(10);
  EXPECT_EQ(Event1(10).EventType, 12);
  EXPECT_EQ(A(10).UserActionTimer, 0.25f);
  // Kick mode (toggled by button 3) turns the pass buttons into kicks.
  A(10).ActionSeq.seqON = kFalse32;
  A(10).GettingTackledTimer = 0.0f;
  Press(U, {3, 9});
  Decide(10);
  EXPECT_EQ(R.KickMode, kTrue32);
  EXPECT_EQ(Event1(10).EventType, 5);
  Press(U, {3});
  Decide(10);
  EXPECT_EQ(R.KickMode, kFalse32);
}

TEST_F(UserControl, SpecialMovesByStickAndButtons) {
  TUDPUserSlot& U = Steer(10);
  struct Case {
    bool extra;
    f32 stick2;
    int button;
    f32 vx, vz;
    i32 attackSide;
    i32 type, code;
  };
  const Case cases[] = {
      {true, 35.0f, 0, 0, 0, 0, 8, 1},      {true, 35.5f, 0, 0, 0, 0, 10, 2},   {true, 145.0f, 0, 0, 0, 0, 10, 2},
      {true, 146.0f, 0, 0, 0, 0, 8, 2},     {true, 245.0f, 0, 0, 0, 0, 10, 10}, {true, 295.0f, 0, 0, 0, 0, 10, 10},
      {true, 296.0f, 0, 0, 0, 0, 8, 1},     {false, 0, 5, 0, 0, 0, 10, 5},      {false, 0, 17, -1.0f, 0, 0, 8, 4},
      {false, 0, 17, 1.0f, 0, 0, 8, 3},     {false, 0, 17, -1.0f, -1.0f, 0, 8, 3},
      {false, 0, 17, 0.05f, 0, 1, 8, 3},  // a float 0.05 is just above 0.05 m/s: the velocity decides
      {false, 0, 17, 0.0f, 0, 1, 8, 4},     {false, 0, 17, 0.0f, 0, 2, 8, 3},
  };
  for (const Case& c : cases) {
    A(10).ActionSeq.seqON = kFalse32;
    Press(U, {});
    if (c.button != 0) U.Buttons[c.button] = kTrue32;
    U.ExtraButton = Flag(c.extra);
    U.Stick2Heading = c.stick2;
    A(10).Velocity = {c.vx, c.vz};
    W.Teams[1].AttackSide = c.attackSide;
    const u32 seed = RandSeed;
    Decide(10);
    EXPECT_EQ(Event1(10).EventType, c.type) << c.stick2 << " " << c.button << " " << c.vx;
    EXPECT_EQ(Event1(10).EventCode, c.code) << c.stick2 << " " << c.button << " " << c.vx;
    EXPECT_EQ(RandSeed, seed);
  }
  // Standing still with no side to attack: one draw picks the side.
  W.Teams[1].AttackSide = 0;
  A(10).Velocity = {0.0f, 0.0f};
  RandSeed = 4242;
  const bool left = RandomRange(1, 1001) < 500;
  const u32 after = RandSeed;
  RandSeed = 4242;
  Decide(10);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(Event1(10).EventCode, left ? 4 : 3);
}

TEST_F(UserControl, KickStartSpeedsAreKeptWithinThePlayersRange) {
  TUDPRealtime& R = UDPRealtime;
  TUDPUserSlot& U = Steer(10);
  struct Case {
    std::vector<int> buttons;
    f32 maxKick;
    i32 kind;
    f32 top, start;
    i32 elevationLow, elevationHigh;
  };
  const Case cases[] = {
      {{11}, 30.0f, 1, 30.0f, 18.0f, 37, 47},   {{9}, 30.0f, 3, 19.0f, 13.0f, 45, 55},
      {{9}, 15.0f, 3, 15.0f, 9.0f, 45, 55},  // top above the player's best: cut to it
      {{13}, 5.0f, 2, 5.0f, 1.0f, -10, 10},  // a start below 1 m/s is raised to 1
      {{9}, 0.5f, 3, 0.5f, 0.45f, 45, 55},   // and one above the top is 0.9 of it
      {{9, 7}, 30.0f, 5, 30.0f, 20.0f, 40, 50},
  };
  for (const Case& c : cases) {
    A(10).MaxKickSpeed = c.maxKick;
    A(10).ActionSeq.seqON = kFalse32;
    R.KickMode = kTrue32;
    R.KickChargeTime = 2.0f;
    Press(U, {});
    for (int b : c.buttons) U.Buttons[b] = kTrue32;
    Decide(10);
    const TActionEvent& E = Event1(10);
    EXPECT_EQ(E.EventType, 5);
    EXPECT_EQ(E.EventCode, 0);
    EXPECT_EQ(E.EventSubType, c.kind);
    EXPECT_FLOAT_EQ(R.KickSpeedTop, c.top);
    EXPECT_FLOAT_EQ(R.KickSpeedStart, c.start);
    EXPECT_EQ(E.KickLaunchSpeed, R.KickSpeedStart);
    EXPECT_EQ(E.KickLaunchHeading, E.Angle);
    EXPECT_GE(E.KickLaunchElevation, c.elevationLow);
    EXPECT_LE(E.KickLaunchElevation, c.elevationHigh);
    EXPECT_EQ(R.KickChargeTime, -1.0f);
  }
}

TEST_F(UserControl, HoldingTheKickButtonChargesTheKick) {
  TUDPRealtime& R = UDPRealtime;
  TUDPUserSlot& U = Steer(10);
  TTeamBlock& B = W.Teams[1];
  A(10).KickTimer = 0.5f;
  A(10).KickKind = 1.0f;
  A(10).ActionSeq.EventArray[1].KickLaunchSpeed = 18.0f;
  B.KickTimeLeft = 0.55f;
  R.KickSpeedStart = 18.0f;
  R.KickSpeedTop = 30.0f;
  R.KickChargeTime = -1.0f;
  U.Stick1Magnitude = 1.0f;
  U.Stick1Heading = 100.0f;
  Press(U, {12});
  Decide(10);
  EXPECT_FLOAT_EQ(R.KickChargeTime, 0.5f);
  // 12 m/s over 0.5 s of charge: 1.2 m/s more each 0.05 s frame.
  EXPECT_FLOAT_EQ(Event1(10).KickLaunchSpeed, 19.2f);
  EXPECT_EQ(B.KickSpeed, Event1(10).KickLaunchSpeed);
  EXPECT_EQ(B.KickHeading, 100.0f);
  EXPECT_EQ(A(10).KickRunAngle, 100.0f);
  Press(U, {});
  Decide(10);
  EXPECT_FLOAT_EQ(Event1(10).KickLaunchSpeed, 19.2f);
  A(10).ActionSeq.EventArray[1].KickLaunchSpeed = 29.5f;
  A(10).KickKind = 8.0f;
  Press(U, {16});
  Decide(10);
  EXPECT_EQ(Event1(10).KickLaunchSpeed, 30.0f);  // never beyond his best
  EXPECT_FLOAT_EQ(A(10).KickRunAngle, 260.0f);
  EXPECT_FLOAT_EQ(A(10).KickFacing, 175.0f);
}

TEST_F(UserControl, DivesAtTheTryLine) {
  TUDPRealtime& R = UDPRealtime;
  TUDPUserSlot& U = Steer(10);
  U.Stick1Heading = 80.0f;
  A(10).Pos.z = 49.95f;
  A(10).speed = 6.0f;
  R.KickMode = kTrue32;
  Press(U, {7});
  Decide(10);
  EXPECT_EQ(A(10).DiveTimer, 1.8f);
  EXPECT_EQ(A(10).DiveKind, 4);
  EXPECT_EQ(A(10).DiveSpeed, 5.0f);
  EXPECT_EQ(A(10).DiveAngle, 80.0f);
  EXPECT_EQ(R.KickMode, kFalse32);
  // A dive under way: nothing restarts.
  const TActionSeq before = A(10).ActionSeq;
  Decide(10);
  EXPECT_EQ(std::memcmp(&before, &A(10).ActionSeq, sizeof before), 0);

  A(10).DiveTimer = 0.0f;
  A(10).speed = 2.0f;
  Press(U, {3});
  Decide(10);
  EXPECT_TRUE(A(10).DiveKind == 2 || A(10).DiveKind == 3);
  EXPECT_EQ(A(10).DiveSpeed, 4.0f);
  A(10).DiveTimer = 0.0f;
  A(10).numgoverning = 1;
  Decide(10);
  EXPECT_EQ(A(10).DiveTimer, 0.0f);
}

// Behind his own try line, about to run out of the in-goal: dive back in.
TEST_F(UserControl, DivesBackIntoTheInGoal) {
  TUDPUserSlot& U = Steer(10);
  U.Stick1Heading = 80.0f;
  A(10).Pos.z = -52.0f;
  A(10).Velocity.z = 100.0f;
  A(10).speed = 9.0f;
  Press(U, {7});
  Decide(10);
  EXPECT_EQ(A(10).DiveAngle, 270.0f);
  EXPECT_EQ(A(10).DiveSpeed, 5.0f);
  A(10).DiveTimer = 0.0f;
  A(10).Velocity.z = 0.0f;
  Decide(10);
  EXPECT_EQ(A(10).DiveAngle, 80.0f);
}

TEST_F(UserControl, SupportRunOntoAPassFromTheBreakdown) {
  TUDPRealtime& R = UDPRealtime;
  W.gamestate = gsGotTackled;
  W.MarkX = 0.0f;
  W.MarkZ = -3.0f;
  W.RestartDelay = 10.0f;
  TTeamBlock& B = W.Teams[1];
  B.SetPieceHolder = 9;
  A(9).DummyhalfPassRightReleaseTime.mean = 0.3f;
  R.PassTargets[1] = 7;
  R.PassTargets[4] = 13;
  TUDPUserSlot& U = Steer(13);
  Press(U, {2});
  RandSeed = 777;
  const i32 back = RandomRange(200, 301);
  const i32 aside = RandomRange(450, 701);
  RandSeed = 777;
  ApplyUserControl(W, A(13), ucDecision, B);
  const TActionSeq& S = A(13).ActionSeq;
  const f32 z0 = static_cast<f32>(-3.0 - back / 100.0);
  const f32 x0 = static_cast<f32>(aside / 100.0);
  EXPECT_EQ(S.seqON, kTrue32);
  EXPECT_EQ(S.HoldStartPos, kTrue32);
  EXPECT_EQ(S.StartX, x0);
  // 0.85 of 8 m/s reached at 4 m/s² in 1.7 s over 5.78 m.
  EXPECT_FLOAT_EQ(S.EventArray[1].DesSpeed, 6.8f);
  EXPECT_FLOAT_EQ(S.StartZ, z0 - 5.78f);
  EXPECT_FLOAT_EQ(S.EventArray[1].DistOrig, 7.78f);
  EXPECT_EQ(S.EventArray[1].Duration, 0.5f);
  const double passTime = Distance2D(0.0f, -3.0f, x0, z0) / 12.0 + 0.3;
  EXPECT_NEAR(S.SeqHeadValue, 1.7 - passTime, 1e-5);

  // No time for the full run-up before the ball comes out: a slower one.
  A(13).ActionSeq.seqON = kFalse32;
  W.RestartDelay = 0.0f;
  ApplyUserControl(W, A(13), ucDecision, B);
  EXPECT_FLOAT_EQ(A(13).ActionSeq.EventArray[1].DesSpeed, 5.2f);

  // Switches: to a receiver, to the holder; none while the holder passes.
  Press(U, {9});
  ApplyUserControl(W, A(13), ucDecision, B);
  EXPECT_EQ(U.ControlledPlayer, 7);
  EXPECT_EQ(U.SwitchFlags[2], kTrue32);
  Press(U, {5});
  A(9).passtimer = 0.2f;
  ApplyUserControl(W, A(13), ucDecision, B);
  EXPECT_EQ(U.ControlledPlayer, 7);
  A(9).passtimer = 0.0f;
  ApplyUserControl(W, A(13), ucDecision, B);
  EXPECT_EQ(U.ControlledPlayer, 9);
}

TEST_F(UserControl, PositioningSpeedAndRuckModes) {
  TUDPUserSlot& U = Steer(10);
  TTeamBlock& B = W.Teams[1];
  // Speed: three quarters of his top speed, all of it sprinting.
  ApplyUserControl(W, A(10), ucAttackSpeed, B);
  EXPECT_EQ(A(10).desiredspeed, 6.0f);
  Press(U, {2});
  ApplyUserControl(W, A(10), ucAttackSpeed, B);
  EXPECT_EQ(A(10).desiredspeed, 8.0f);
  A(10).TackleAttemptTimer = 0.5f;
  A(10).desiredspeed = 1.0f;
  ApplyUserControl(W, A(10), ucAttackSpeed, B);
  EXPECT_EQ(A(10).desiredspeed, 1.0f);
  Press(U, {8});
  ApplyUserControl(W, A(10), ucRuck, B);
  EXPECT_EQ(U.RuckButtonHeld, kTrue32);

  // Free ball: run along the stick; the nearest free team-mate on a side.
  U.Stick1Magnitude = 1.0f;
  U.Stick1Heading = 90.0f;
  A(10).RunningAngleReactionTime.value = 0.3f;
  Press(U, {13});
  ApplyUserControl(W, A(10), ucFreeBall, B);
  EXPECT_NEAR(A(10).DesiredPos.x, 2.0f, 1e-6);
  EXPECT_FLOAT_EQ(A(10).DesiredPos.z, -2.5f);
  EXPECT_EQ(A(10).RunningAngleReactionTime.value, 0.0f);
  EXPECT_EQ(U.ControlledPlayer, 9);
  A(11).RuckTimer = 1.0f;
  Press(U, {15});
  ApplyUserControl(W, A(10), ucFreeBall, B);
  EXPECT_EQ(U.ControlledPlayer, 12);
  W.BallPos.x = 5.4f;
  Press(U, {11});
  ApplyUserControl(W, A(10), ucFreeBall, B);
  EXPECT_EQ(U.ControlledPlayer, 13);
  // Stick let go: stop where this frame's run ends.
  U.PrevStick1Magnitude = 1.0f;
  U.Stick1Magnitude = 0.0f;
  A(10).Velocity = {2.0f, 4.0f};
  Press(U, {});
  ApplyUserControl(W, A(10), ucFreeBall, B);
  EXPECT_FLOAT_EQ(A(10).DesiredPos.x, 2.1f);
  EXPECT_FLOAT_EQ(A(10).DesiredPos.z, -4.8f);
}

TEST_F(UserControl, DefendingUserChasesAndRunsToTheLooseBall) {
  TUDPUserSlot& U = PresentUser(2, 20, 0);
  U.ControlledPlayer = 4;
  D(4).ControllingUser = 2;
  D(4).chasertimer = 1.0f;
  D(4).SpecialAnimTimer = 1.0f;
  D(4).SpecialAnimKind = 7.0f;
  W.Teams[2].BlockChaseTarget = 10;
  A(10).speed = 5.0f;
  A(10).MeasuredSpeed = 5.0f;
  A(10).OldPos = {2.0f, 0.0f, -5.2f};
  Press(U, {6});
  ApplyUserControl(W, D(4), ucDefence, W.Teams[2]);
  EXPECT_EQ(D(4).chasertimer, 0.0f);
  EXPECT_EQ(D(4).SpecialAnimTimer, 0.0f);
  EXPECT_EQ(D(4).DesiredPos.x, UDPRealtime.TargetPoint.x);
  EXPECT_EQ(D(4).DesiredPos.z, UDPRealtime.TargetPoint.z);
  EXPECT_GT(D(4).DesiredPos.z, A(10).Pos.z);  // ahead of the runner

  W.gamestate = gsFreeBall;
  W.BallPhase = 0;
  W.FlightPos[1] = {40.0f, 0.0f, 10.0f};
  W.FlightVel[1] = {1.0f, 0.0f, 2.0f};
  ApplyUserControl(W, D(4), ucDefence, W.Teams[2]);
  EXPECT_EQ(D(4).DesiredPos.x, 35.0f);  // kept on the pitch
  EXPECT_EQ(D(4).DesiredPos.z, 14.0f);

  // At a scrum the defending user's player is left to the engine.
  W.gamestate = gsScrum;
  D(4).chasertimer = 1.0f;
  ApplyUserControl(W, D(4), ucDefence, W.Teams[2]);
  EXPECT_EQ(D(4).chasertimer, 1.0f);
}

TEST_F(UserControl, PlayersWithoutAUserAreLeftAlone) {
  TUDPUserSlot& U = PresentUser(1, 10, 0);
  Press(U, {2, 3, 5, 6, 7, 8, 9, 11, 13, 15, 17});
  U.ExtraButton = kTrue32;
  U.Stick1Magnitude = 1.0f;
  static TPlayer before;
  before = A(10);
  for (u8 mode = ucDecision; mode <= ucRuck; ++mode) ApplyUserControl(W, A(10), mode, W.Teams[1]);
  EXPECT_EQ(std::memcmp(&before, &A(10), sizeof before), 0);
  EXPECT_EQ(U.ControlledPlayer, 0);
}

// Alone, and in a run of the frame's steps (which passes the step over out
// of real-time mode).
TEST_F(UserControl, FrameStepRunsOnlyInRealTimeMode) {
  ResetFrameSteps();
  using TRunner = void (*)();
  const TRunner runners[] = {[] { RunFrameStep(FrameSteps[kStepUserControl], World); },
                             [] { RunFrameSteps(World, kStepUserControl, kStepUserControl); }};
  for (const TRunner run : runners) {
    UDPRealtime.Active = kFalse32;
    MakeViewerScene(World);
    PresentUser(1, 10, 0);
    run();
    EXPECT_EQ(World.Teams[1].Players[10].ControllingUser, 0);
    UDPRealtime.Active = kTrue32;
    run();
    EXPECT_EQ(World.Teams[1].Players[10].ControllingUser, 1);
  }
}

}  // namespace
