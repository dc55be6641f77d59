// The ruck contact step (binding, roles, the ruck's time, the penalty, the
// ball in touch, the pick-up) and the small contact steps of the scrum, the
// transition, the kick restart and tryscored. The gottackled, scrum and
// restart handlers are stood in for by the fixtures.
#include <cmath>

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/UDPRealtime.h"

namespace {

using namespace running_scene;

constexpr int kTackled = 10;
constexpr int kHolder = 9;  // the scrum-half

// A breakdown set up: the tackled attacker 10 down at the centre spot with
// the ball, scrum-half 9 behind it; ten pack spots a side at 0.5 m steps
// across, block 1's at z -1, block 2's at z +1; nobody bound, nobody arriving;
// RestartDelay 2.0 s of a RuckTime with a maximum of 6.675 s.
class RuckContactTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 2;
    W.RuckDepthUnit = 0.5f;
    W.RestartDelay = 2.0f;
    W.DefendersAloneLimit = 0.6f;
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = 0;
    A.TackledPlayer = kTackled;
    A.SetPieceHolder = kHolder;
    SetDistribution(A.RuckTime, 2.9, 1.51, 0.62, 2.9 + 2.5 * 1.51);
    W.BallPos = {0.0f, 0.1f, 0.0f};
    for (int b = 1; b <= 2; ++b) {
      for (int k = 1; k <= 10; ++k)
        W.Teams[b].PackSpots.PosB[k] = {static_cast<f32>(0.5 * (k - 1)), b == 1 ? -1.0f : 1.0f};
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].RuckFactor.value = 1.0f;
    }
  }

  static TSpotTable& Pack(int b) { return W.Teams[b].PackSpots; }
  static TPlayer& Player(int b, int p) { return W.Teams[b].Players[p]; }

  // Player p of block b stands at spot k with role 1, ready to bind.
  static TPlayer& AtSpot(int b, int p, int k) {
    Pack(b).OccupantB[k] = p;
    TPlayer& P = Player(b, p);
    Place(P, Pack(b).PosB[k].x, Pack(b).PosB[k].z);
    P.RuckRole = 1.0f;
    return P;
  }

  // Player p of block b already bound at spot k with the given role.
  static void Bound(int b, int p, int k, f32 role) {
    AtSpot(b, p, k).RuckRole = role;
    Pack(b).BoundCount += 1;
  }

  static void Step() { RunFrameStep({"RuckContact", RuckContact}, W); }
};

TEST_F(RuckContactTest, ArrivalsTakeTheFirstFreeSpotOnlyWithinReach) {
  TSpotTable& S = Pack(1);
  S.OccupantB[1] = 5;  // taken
  S.OccupantA[3] = 6;
  S.PosA[3] = {2.0f, -3.0f};
  Place(Player(1, 6), 2.0f, -3.39f);
  S.OccupantA[4] = 7;
  S.PosA[4] = {4.0f, -3.0f};
  Place(Player(1, 7), 4.0f, -3.4f);  // 0.4 m away: not yet
  Step();
  EXPECT_EQ(S.OccupantB[3], 6);  // of the free pair 2-3, the nearer
  EXPECT_EQ(S.OccupantA[3], 0);
  EXPECT_FLOAT_EQ(Player(1, 6).RuckRole, 1.0f);
  EXPECT_EQ(S.OccupantA[4], 7);
  EXPECT_FLOAT_EQ(Player(1, 7).RuckRole, 0.0f);
  EXPECT_EQ(S.BoundCount, 0);  // reaching the spot and binding are separate frames
}

TEST_F(RuckContactTest, FirstThreeAttackersJackleAndTheFourthClearsOutTheFrontRow) {
  Player(1, 1).Weight = 100.0f;
  Player(1, 1).speed = 2.0f;
  AtSpot(1, 1, 1);
  Step();
  EXPECT_FLOAT_EQ(Player(1, 1).RuckRole, 2.0f);
  EXPECT_EQ(Pack(1).FirstBinder, 1);
  EXPECT_EQ(Pack(1).BoundFirst, kTrue32);
  EXPECT_EQ(Pack(2).BoundFirst, kFalse32);
  EXPECT_FLOAT_EQ(Pack(1).Depth, 0.5f);
  EXPECT_FLOAT_EQ(W.PackMass, 100.0f);
  EXPECT_FLOAT_EQ(W.PackVelocityZ, 0.0f);  // a jackler does not push

  AtSpot(1, 2, 2);
  AtSpot(1, 3, 3);
  Step();
  EXPECT_FLOAT_EQ(Player(1, 2).RuckRole, 2.0f);
  EXPECT_FLOAT_EQ(Player(1, 3).RuckRole, 2.0f);

  Player(1, 4).speed = 1.5f;
  AtSpot(1, 4, 4);
  Step();
  for (int p = 1; p <= 4; ++p) EXPECT_FLOAT_EQ(Player(1, p).RuckRole, 3.0f) << "player " << p;
  EXPECT_EQ(Pack(1).BoundCount, 4);
  EXPECT_EQ(Pack(1).FirstBinder, 1);
  EXPECT_FLOAT_EQ(Pack(1).Depth, 1.0f);
  // (280 x 0 + 0.8 x 90 x 1.5) / (280 + 90)
  EXPECT_FLOAT_EQ(W.PackVelocityZ, static_cast<f32>(0.8 * 90 * 1.5 / 370.0));
  EXPECT_FLOAT_EQ(W.PackMass, 370.0f);

  const std::vector<TPosted> joined = {{10, 101, 82, 1.0f}, {10, 102, 82, 2.0f}, {10, 103, 82, 3.0f},
                                       {10, 104, 82, 4.0f}};
  EXPECT_EQ(Posted(), joined);
}

TEST_F(RuckContactTest, AnAttackerAtAFrontSpotClearsOutTheDefenderOppositeOnceInTheRuck) {
  struct Case {
    int spot;
    f32 defenderRole, expected;
  };
  for (const Case c : {Case{2, 2.0f, 4.0f}, Case{2, 3.0f, 4.0f}, Case{2, 0.0f, 0.0f}, Case{2, 1.0f, 1.0f},
                       Case{4, 2.0f, 2.0f}}) {
    SetUp();
    Bound(2, 5, c.spot, c.defenderRole);
    Place(Player(2, 5), 10.0f, 10.0f);  // away from his spot: he does not bind now
    AtSpot(1, 6, c.spot);
    Step();
    EXPECT_FLOAT_EQ(Player(1, 6).RuckRole, 3.0f) << "spot " << c.spot;
    EXPECT_FLOAT_EQ(Player(2, 5).RuckRole, c.expected) << "spot " << c.spot << " role " << c.defenderRole;
    EXPECT_EQ(Pack(1).BoundFirst, kFalse32);  // the defenders were first
  }
}

TEST_F(RuckContactTest, DefendersPushTheOtherWay) {
  Bound(1, 5, 1, 2.0f);
  W.PackMass = 90.0f;
  Player(2, 5).speed = 2.0f;
  AtSpot(2, 5, 5);
  Step();
  EXPECT_FLOAT_EQ(Player(2, 5).RuckRole, 3.0f);
  EXPECT_FLOAT_EQ(W.PackVelocityZ, static_cast<f32>(-0.8 * 90 * 2.0 / 180.0));
  EXPECT_FLOAT_EQ(Player(1, 5).RuckRole, 2.0f);  // spot 5: nobody cleared out
}

TEST_F(RuckContactTest, BindersChangeTheRucksTimeAndTheirFatigue) {
  struct Case {
    int block;
    f32 factor, delay, expected;
  };
  const f32 cap = W.Teams[1].RuckTime.max;
  for (const Case c : {Case{2, 0.5f, 2.0f, ToF32(2.0 / 0.55)}, Case{2, 0.95f, 2.0f, 2.0f},
                       Case{2, 0.95f, 7.0f, cap}, Case{2, -0.05f, 2.0f, 2.0f}, Case{2, -0.2f, 2.0f, 2.0f},
                       Case{1, 0.9f, 2.0f, ToF32(2.0f * 0.9)}, Case{1, 0.9f, 8.0f, ToF32(8.0f * 0.9)}}) {
    SetUp();
    W.RestartDelay = c.delay;
    AtSpot(c.block, 5, 1).RuckFactor.value = c.factor;
    Step();
    EXPECT_FLOAT_EQ(W.RestartDelay, c.expected) << "block " << c.block << " factor " << c.factor;
    EXPECT_FALSE(FloatErrorRaised());
  }

  SetUp();
  TPlayer& tired = AtSpot(1, 1, 1);
  tired.Fatigued = kTrue32;
  tired.FatigueTimer = 1.0f;
  TPlayer& fresh = AtSpot(1, 2, 2);
  fresh.FatigueTimer = 1.5f;
  TPlayer& rested = AtSpot(1, 3, 3);
  rested.FatigueTimer = 3.0f;
  Step();
  EXPECT_FLOAT_EQ(tired.FatigueTimer, 3.0f);
  EXPECT_FLOAT_EQ(fresh.FatigueTimer, 0.01f);
  EXPECT_FLOAT_EQ(rested.FatigueTimer, 1.0f);
}

TEST_F(RuckContactTest, OnlyPlayersWithRoleOneNearTheirSpotBind) {
  AtSpot(1, 1, 1);
  Place(Player(1, 1), 0.3f, -1.0f);  // 0.3 m off
  AtSpot(1, 2, 2).RuckRole = 0.0f;
  Pack(1).OccupantB[3] = 40;  // names nobody: skipped
  Step();
  EXPECT_EQ(Pack(1).BoundCount, 0);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(RuckContactTest, HandsInTheRuckIsEnteredOncePerSpot) {
  W.DefendersAloneTime = 0.7f;
  Bound(2, 4, 1, 2.0f);
  Pack(2).FirstBinder = 4;
  Step();
  ASSERT_EQ(Entries(), 1);
  const TInfringement& I = W.Infringements[1];
  EXPECT_EQ(I.Kind, 4);
  EXPECT_EQ(I.Major, kTrue32);
  EXPECT_EQ(I.AgainstDefence, kFalse32);
  EXPECT_EQ(I.Player, kTackled);
  EXPECT_EQ(I.Aux, 600);
  EXPECT_EQ(W.InfringementIsNew, kTrue32);
  EXPECT_FLOAT_EQ(W.AdvantageHoldTimer, 12.5f);
  EXPECT_FLOAT_EQ(W.AdvantageTimer, 2.5f);
  const std::vector<TPosted> first = {{10, 110, 27, 0.0f}, {20, 204, 110, 0.0f}};
  EXPECT_EQ(Posted(), first);

  // The next frame: the same offence at the same spot posts nothing and
  // frees its slot again.
  W.AdvantageHoldTimer = 3.0f;
  Step();
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(W.Infringements[2].Kind, 0);
  EXPECT_EQ(W.InfringementIsNew, kFalse32);
  EXPECT_EQ(Posted(), first);
  EXPECT_FLOAT_EQ(W.AdvantageHoldTimer, 3.0f);
}

TEST_F(RuckContactTest, NoPenaltyWithoutCauseAndNoForcedMessageWithoutAValidBinder) {
  W.DefendersAloneTime = 0.6f;  // not beyond the limit
  Step();
  EXPECT_EQ(Entries(), 0);

  W.DefendersAloneTime = 0.7f;
  W.TurnoverPending = kTrue32;
  Step();
  EXPECT_EQ(Entries(), 0);

  W.TurnoverPending = kFalse32;
  W.GotTackledPhase = 1;  // the set-up is not done
  Step();
  EXPECT_EQ(Entries(), 0);

  W.GotTackledPhase = 2;
  Pack(2).BoundCount = 1;
  Pack(2).FirstBinder = 16;  // beyond the 15 of the match
  Step();
  EXPECT_EQ(Entries(), 1);
  const std::vector<TPosted> only = {{10, 110, 27, 0.0f}};
  EXPECT_EQ(Posted(), only);
}

TEST_F(RuckContactTest, ABallOnTheTouchlineStopsPlayForALineout) {
  for (const f32 x : {35.0f, -35.0f}) {
    SetUp();
    W.BallPos = {x, 0.1f, 12.0f};
    const u32 before = RandSeed;
    Step();
    EXPECT_EQ(W.gamestate, gsTransition) << x;
    EXPECT_EQ(W.PendingGameState, gsLineout);
    EXPECT_EQ(W.StoppedGameState, gsGotTackled);
    EXPECT_EQ(W.RestartKind, 7);
    EXPECT_EQ(W.KickRestartSetPhase, 1);
    EXPECT_EQ(W.PossessionChangePending, kTrue32);
    EXPECT_EQ(W.BallBouncedInField, kTrue32);
    EXPECT_FLOAT_EQ(W.KickTouchPos.x, x);
    EXPECT_FLOAT_EQ(W.TouchPos.z, 12.0f);
    EXPECT_EQ(W.TransitionBallHeld, kFalse32);  // no carrier
    EXPECT_EQ(W.TransitionHolderFirstBlock, kTrue32);
    EXPECT_EQ(DrawsSince(before), 1);
    EXPECT_GE(W.TransitionTimeLeft, 2.0f);
    EXPECT_LT(W.TransitionTimeLeft, 3.5f);
  }

  SetUp();
  W.BallPos = {34.99f, 0.1f, 0.0f};
  Step();
  EXPECT_EQ(W.gamestate, gsGotTackled);

  SetUp();
  W.BallPos = {35.0f, 0.1f, 0.0f};
  W.TurnoverPending = kTrue32;
  Step();
  EXPECT_EQ(W.gamestate, gsGotTackled);
}

TEST_F(RuckContactTest, TheScrumHalfTakesThePassAtTenSeventeenthsOfIt) {
  W.Teams[1].PassDuration = 0.85f;
  Player(1, kHolder).passtimer = 1.0f;
  W.Teams[1].PassTimeLeft = 0.351f;  // 0.499 s run
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  W.Teams[1].PassTimeLeft = 0.35f;  // 0.5 s run
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, kHolder);

  for (const i32 holder : {0, 16, 26, -1}) {
    SetUp();
    W.Teams[1].SetPieceHolder = holder;
    W.Teams[1].PassDuration = 0.85f;
    W.Teams[1].PassTimeLeft = 0.0f;
    Step();
    EXPECT_EQ(W.Teams[1].BallCarrier, 0) << holder;
  }

  SetUp();
  W.GotTackledPhase = 1;
  W.Teams[1].PassDuration = 0.85f;
  Player(1, kHolder).passtimer = 1.0f;
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
}

TEST_F(RuckContactTest, LateTacklersBringAttackersNearTheRuckDown) {
  TPlayer& A = Player(1, 3);
  Place(A, 5.0f, 0.0f);
  TPlayer& D = Player(2, 3);
  Place(D, 5.0f, 1.0f);
  D.target = 3;
  D.TackleAttemptKind = 1.0f;
  Step();
  EXPECT_EQ(D.governedby, 3);
  EXPECT_EQ(A.numgoverning, 1);
  EXPECT_TRUE(A.GettingTackledKind == 6.0f || A.GettingTackledKind == 7.0f);
  EXPECT_TRUE(D.TackleAttemptKind == 5.0f || D.TackleAttemptKind == 6.0f);
  EXPECT_FLOAT_EQ(D.TackleAttemptTimer, A.GettingTackledTimer);
}

TEST_F(RuckContactTest, ADiveThatFoundNobodyIsMissed) {
  TPlayer& D = Player(2, 7);
  D.TackleAttemptTimer = 0.5f;
  D.TackleAttemptKind = 1.0f;
  D.currentAnim.Assign("divetacklefallforward");
  D.currentframe = 600.0f;
  Step();
  EXPECT_FLOAT_EQ(D.TackleAttemptKind, 3.0f);
  EXPECT_TRUE(D.currentAnim == "divetacklemissed");
}

TEST_F(RuckContactTest, UsersInRealTimeHoldTheRuckButton) {
  UDPRealtime.Users[2].Buttons[8] = kTrue32;
  UDPRealtime.Users[2].RuckButtonHeld = kFalse32;
  UDPRealtime.Users[3].Buttons[8] = kTrue32;
  UDPRealtime.Users[3].RuckButtonHeld = kFalse32;
  Player(1, 4).ControllingUser = 2;
  Player(2, 4).ControllingUser = 3;  // a defender: not this step's
  Step();
  EXPECT_EQ(UDPRealtime.Users[2].RuckButtonHeld, kTrue32);
  EXPECT_EQ(UDPRealtime.Users[3].RuckButtonHeld, kFalse32);
  UDPRealtime = TUDPRealtime{};
}

// ---------------------------------------------------------------- the pick-up

// Jackler 1 at spot 1 (0.5 m from the ball) played "jackle" past 0.8 with
// attacker 2 bound beside him; the defenders have nobody bound and stand
// 15 m upfield; everyone's top speed is 8 m/s.
class RuckPickUpTest : public RuckContactTest {
 protected:
  void SetUp() override {
    RuckContactTest::SetUp();
    Bound(1, 1, 1, 2.0f);
    Bound(1, 2, 2, 2.0f);
    TPlayer& J = Jackler();
    Place(J, 0.0f, -0.5f);
    J.currentAnim.Assign("jackle");
    J.maxframes = 1000.0f;
    J.currentframe = 810.0f;
    J.RuckTimer = 0.5f;
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = Player(b, p);
        P.maxspeed = 8.0f;
        P.ActionSeq.seqON = kTrue32;
        P.RunningAngleReactionTime.mean = 0.3f;
        if (b == 2) Place(P, static_cast<f32>(p - 8), 15.0f);
      }
    }
  }
  static TPlayer& Jackler() { return Player(1, 1); }
};

TEST_F(RuckPickUpTest, AJacklerWithRoomPicksUpAndTheRuckBreaksUp) {
  W.Teams[1].SupportGridSize = 3;
  W.Teams[1].SupportGridCells[2][2] = 1;
  Player(1, 2).RuckTimer = 0.3f;
  Player(1, 3).RuckTimer = 0.3f;  // at role 0: no delay to rejoin
  TPlayer& busy = Player(2, 6);
  busy.RuckJoinDelay = 0.2f;
  TPlayer& tackler = Player(2, 7);
  tackler.TackleAttemptTimer = 0.4f;
  tackler.TackleAttemptKind = 2.0f;
  tackler.TackleAttemptFacing = 45.0f;
  tackler.target = 8;
  TPlayer& tackled = Player(1, 8);
  tackled.GettingTackledTimer = 0.4f;
  tackled.GettingTackledKind = 1.0f;
  tackled.GettingTackledFacing = 30.0f;
  tackled.numgoverning = 1;
  W.Teams[2].PressureTimerA = 1.0f;
  Step();

  TPlayer& J = Jackler();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.RunningPhase, 1);
  EXPECT_EQ(W.Teams[1].BallCarrier, 1);
  EXPECT_TRUE(J.currentAnim == "runninglowcatch");
  EXPECT_FLOAT_EQ(J.currentframe, 864.0f);
  EXPECT_FLOAT_EQ(J.FreeBallCatchSpeed, 7.2f);
  EXPECT_FLOAT_EQ(J.freeballcatchtimer, 10.0f);
  EXPECT_EQ(J.BallTrack, 39);
  EXPECT_FLOAT_EQ(J.RuckTimer, 0.0f);
  EXPECT_EQ(W.Teams[1].CarryStartFlag, kTrue32);
  EXPECT_EQ(J.SupportGridCleared, kTrue32);
  EXPECT_EQ(W.Teams[1].SupportGridCells[2][2], 0);
  EXPECT_EQ(Player(1, 5).ActionSeq.seqON, kFalse32);
  EXPECT_EQ(Player(2, 5).ActionSeq.seqON, kFalse32);
  const std::vector<TPosted> carry = {{10, 101, 72, 0.0f}};
  EXPECT_EQ(Posted(), carry);

  // The break-up: bound players wait to rejoin, a player at role 0 does not.
  EXPECT_GT(Player(1, 2).RuckJoinDelay, 0.0f);
  EXPECT_FLOAT_EQ(Player(1, 2).RuckTimer, 0.0f);
  EXPECT_FLOAT_EQ(Player(1, 3).RuckJoinDelay, 0.0f);
  EXPECT_FLOAT_EQ(J.ContactTimer[6], 1.25f);
  EXPECT_FLOAT_EQ(J.ContactTimer[7], 1.25f);
  EXPECT_FLOAT_EQ(J.ContactTimer[5], 0.0f);
  const double longest = std::max(J.RuckJoinDelay, Player(1, 2).RuckJoinDelay);

  // Tackles near the ruck end.
  EXPECT_FLOAT_EQ(tackler.TackleAttemptTimer, 0.0f);
  EXPECT_EQ(tackler.target, 0);
  EXPECT_EQ(tackler.OldTackleKind, 2);
  EXPECT_FLOAT_EQ(tackler.OldTackleFacing, 45.0f);
  EXPECT_FLOAT_EQ(tackler.OldTackleTimer, ToF32(longest + 0.25));
  EXPECT_FLOAT_EQ(tackled.GettingTackledTimer, 0.0f);
  EXPECT_EQ(tackled.numgoverning, 0);
  EXPECT_EQ(tackled.OldTackleKind, 1);
  EXPECT_FLOAT_EQ(tackled.OldTackleFacing, 30.0f);
  EXPECT_FLOAT_EQ(W.Teams[2].PressureTimerA, 0.0f);
}

TEST_F(RuckPickUpTest, TheBreakUpDrawsEveryReactionTimeInOrder) {
  const u32 before = RandSeed;
  Step();
  ASSERT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(DrawsSince(before), 2 * 2 * 15);  // two draws per Gaussian, both sides
}

TEST_F(RuckPickUpTest, NoPickUpWhenSomethingStandsInTheWay) {
  struct Case {
    const char* what;
    void (*arrange)();
  };
  const Case cases[] = {
      {"look-ahead copy", [] { W.LiveWorld = kFalse32; }},
      {"defender bound", [] { Pack(2).BoundCount = 1; }},
      {"one attacker bound", [] { Pack(1).BoundCount = 1; }},
      {"no valid holder", [] { W.Teams[1].SetPieceHolder = 0; }},
      {"holder beyond the match", [] { W.Teams[1].SetPieceHolder = 20; }},
      {"holder passing", [] { Player(1, kHolder).passtimer = 0.2f; }},
      {"holder catching", [] { Player(1, kHolder).freeballcatchtimer = 0.2f; }},
      {"not far enough into jackle", [] { Jackler().currentframe = 800.0f; }},
      {"wrong animation", [] { Jackler().currentAnim.Assign("clearout"); }},
      {"too far from the ball", [] { Place(Jackler(), 0.0f, -0.7f); }},
      {"defender closer to the gap", [] { Place(Player(2, 3), 0.0f, 2.2f); }},
      {"the jackler cannot run", [] { Jackler().maxspeed = 0.0f; }},
      {"set-up not done", [] { W.GotTackledPhase = 1; }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    Step();
    EXPECT_EQ(W.gamestate, gsGotTackled) << c.what;
    EXPECT_EQ(W.Teams[1].BallCarrier, 0) << c.what;
    EXPECT_FLOAT_EQ(Jackler().RuckTimer, 0.5f) << c.what;
  }
}

TEST_F(RuckPickUpTest, DefendersBehindBusyOrStillDoNotBlockAndAClearOutMayGo) {
  Place(Player(2, 3), 0.0f, -2.0f);  // behind him
  Player(2, 4).TackleAttemptTimer = 0.1f;
  Place(Player(2, 4), 0.0f, 2.2f);  // busy
  Player(2, 5).maxspeed = 0.0f;
  Place(Player(2, 5), 0.0f, 1.6f);  // cannot run: cannot reach
  TPlayer& J = Jackler();
  J.RuckRole = 3.0f;
  J.currentAnim.Assign("clearoutdrivingloop");
  J.currentframe = 960.0f;
  Step();
  EXPECT_EQ(W.gamestate, gsRunning);
  EXPECT_EQ(W.Teams[1].BallCarrier, 1);
}

TEST_F(RuckPickUpTest, TheLookAheadAllocatesNothing) {
  W.LiveWorld = kFalse32;
  W.BallPos.x = 35.0f;
  W.DefendersAloneTime = 1.0f;
  AtSpot(2, 4, 1);
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.gamestate, gsTransition);
}

// ---------------------------------------------------------------- scrum, transition, restart, tryscored

TEST_F(RuckContactTest, TheScrumHalfTakesTheBallOnceTheScrumIsOut) {
  W.gamestate = gsScrum;
  W.Teams[1].PassDuration = 0.85f;
  Player(1, kHolder).passtimer = 1.0f;
  W.Teams[1].PassTimeLeft = 0.35f;
  W.ScrumPhase = 1;
  RunFrameStep({"ScrumContact", ScrumContact}, W);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  W.ScrumPhase = 2;
  W.Teams[1].PassTimeLeft = 0.351f;
  RunFrameStep({"ScrumContact", ScrumContact}, W);
  EXPECT_EQ(W.Teams[1].BallCarrier, 0);
  W.Teams[1].PassTimeLeft = 0.35f;
  RunFrameStep({"ScrumContact", ScrumContact}, W);
  EXPECT_EQ(W.Teams[1].BallCarrier, kHolder);
  EXPECT_EQ(W.gamestate, gsScrum);
}

TEST_F(RuckContactTest, ADiveInFlightEndsInTransitionButNotInTryScored) {
  TPlayer& D = Player(2, 7);
  D.TackleAttemptTimer = 0.5f;
  D.TackleAttemptKind = 1.0f;
  D.target = 4;
  Player(1, 4).numtargetting = 1;
  D.currentAnim.Assign("divetacklefallforward");
  D.currentframe = 600.0f;
  const TPlayer before = D;
  W.gamestate = gsTryScored;
  RunFrameStep({"TryScoredContact", TryScoredContact}, W);
  EXPECT_EQ(std::memcmp(&D, &before, sizeof D), 0);
  W.gamestate = gsTransition;
  RunFrameStep({"TransitionContact", TransitionContact}, W);
  EXPECT_FLOAT_EQ(D.TackleAttemptKind, 3.0f);
  EXPECT_EQ(D.target, 0);
  EXPECT_EQ(Player(1, 4).numtargetting, 0);
}

TEST_F(RuckContactTest, TheRestartKickStartsRunningPlayInTheFrameItsAnimationEnds) {
  struct Case {
    f32 left;
    bool runs;
  };
  for (const Case c : {Case{0.5f, true}, Case{0.6f, false}}) {
    SetUp();
    W.gamestate = gsKickRestartSet;
    W.TimeStep = 0.05f;
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = 12;
    A.KickTimeLeft = 1.0f;
    A.StrategyTimer = 3.0f;
    W.Teams[2].PressureTimerB = 1.0f;
    W.DefenceCycleTimer = 2.0f;
    A.SupportGridSize = 2;
    A.SupportGridCells[1][1] = 12;
    TPlayer& K = Player(1, 12);
    K.SpecialAnimKind = 3.0f;
    K.SpecialAnimTimer = 0.3f;
    K.AnimRate = 10.0f;  // 0.5 frames a step
    K.maxframes = 100.0f;
    K.currentframe = 100.0f - c.left;
    RunFrameStep({"KickRestartContact", KickRestartContact}, W);
    EXPECT_EQ(W.gamestate, c.runs ? gsRunning : gsKickRestartSet) << c.left;
    EXPECT_FLOAT_EQ(K.SpecialAnimTimer, c.runs ? 0.0f : 0.3f);
    EXPECT_FLOAT_EQ(A.KickTimeLeft, c.runs ? 0.0f : 1.0f);
    EXPECT_FLOAT_EQ(A.StrategyTimer, c.runs ? 0.0f : 3.0f);
    EXPECT_FLOAT_EQ(W.Teams[2].PressureTimerB, c.runs ? 0.0f : 1.0f);
    EXPECT_FLOAT_EQ(W.DefenceCycleTimer, c.runs ? 0.0f : 2.0f);
    EXPECT_EQ(A.SupportGridCells[1][1], c.runs ? 0 : 12);
    EXPECT_EQ(K.SupportGridCleared, c.runs ? kTrue32 : kFalse32);
  }

  // Not the restart kick, or no kicker: nothing.
  for (const i32 carrier : {12, 0, 30}) {
    SetUp();
    W.gamestate = gsKickRestartSet;
    W.Teams[1].BallCarrier = carrier;
    TPlayer& K = Player(1, 12);
    K.SpecialAnimKind = carrier == 12 ? 2.0f : 3.0f;
    K.SpecialAnimTimer = 0.3f;
    K.currentframe = 100.0f;
    K.maxframes = 100.0f;
    RunFrameStep({"KickRestartContact", KickRestartContact}, W);
    EXPECT_EQ(W.gamestate, gsKickRestartSet) << carrier;
  }
}

}  // namespace
