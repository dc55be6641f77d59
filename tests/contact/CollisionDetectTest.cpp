#include <gtest/gtest.h>

#include <numbers>

#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "contact/CollisionDetectUnit.h"
#include "core/DrawCount.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Random.h"

namespace {

TWorld W;
TWorld Snapshot;

constexpr int kCarrier = 10;
constexpr int kOpponent = 4;

// Running play on a full pitch: block 1's player 10 carries the ball at the
// centre spot facing +z, standing still; everyone else stands far away. All
// players are 1.8 m and 90 kg.
class CollisionDetectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W);
    RandSeed = 777;
    W.GoalPostGap = 5.6f;
    W.TimeStep = 0.04f;
    W.gamestate = gsRunning;
    W.LiveWorld = kTrue32;
    W.CarrierGrounded = kTrue32;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      P.Height = 1.8f;
      P.Weight = 90.0f;
      PutAt(P, static_cast<f32>(3 * p - 40), b == 1 ? -20.0f : 20.0f);
      P.FacingAngle = static_cast<f32>(b == 1 ? std::numbers::pi : 0.0);
    });
    W.Teams[1].BallCarrier = kCarrier;
    Carrier().Pos = {0.0f, 0.0f, 0.0f};
    Carrier().OldPos = Carrier().Pos;
  }

  static TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
  static TPlayer& Opponent() { return W.Teams[2].Players[kOpponent]; }

  // Puts the opponent at distance d from the carrier on the bearing b
  // (degrees, 90 straight ahead of the carrier), coming at him at `speed`
  // from 0.2 m further out; he is getting up, so a grounded carrier can meet
  // him.
  static void PlaceOpponent(double d, double b, f32 speed = 0.0f) {
    const TDirection u = HeadingDirection(b);
    TPlayer& J = Opponent();
    J.Pos = {static_cast<f32>(d * u.x), 0.0f, static_cast<f32>(d * u.z)};
    J.OldPos = speed > 0 ? TVector3{static_cast<f32>((d + 0.2) * u.x), 0.0f, static_cast<f32>((d + 0.2) * u.z)} : J.Pos;
    J.speed = speed;
    J.standuptimer = 1.0f;
  }

  // Runs the step as a frame does: a floating-point error raises.
  static void Step(TWorld& world = W) { RunFrameStep({"CollisionDetect", CollisionDetect}, world); }

  static bool Bumped() { return Carrier().ContactTimer[kOpponent] > 1.0f; }
};

// ---------------------------------------------------------------- bookkeeping

TEST_F(CollisionDetectTest, BookkeepingRunsInEveryStateForPlayersOnTheFieldOnly) {
  for (TGameState s : {gsRunning, gsPassing, gsLineout, gsUnnamed6, gsHuddle}) {
    SetUp();
    W.gamestate = s;
    TPlayer& a = W.Teams[1].Players[3];
    TPlayer& b = W.Teams[2].Players[15];
    TPlayer& bench = W.Teams[2].Players[16];
    for (TPlayer* P : {&a, &b, &bench}) {
      P->ContactMark = 5.0f;
      P->speed = 3.0f;
      P->ForcedRunSpeed = 1.0f;
      P->ContactTimer[1] = 0.02f;
      P->ContactTimer[15] = 1.0f;
      P->ContactTimer[16] = 1.0f;
    }
    Step();
    for (TPlayer* P : {&a, &b}) {
      EXPECT_EQ(P->ContactMark, 0.0f) << int(s);
      EXPECT_EQ(P->ForcedRunSpeed, 3.0f) << int(s);
      EXPECT_EQ(P->ContactTimer[1], 0.02f - 0.04f) << "no floor, state " << int(s);
      EXPECT_EQ(P->ContactTimer[15], 1.0f - 0.04f) << int(s);
      EXPECT_EQ(P->ContactTimer[16], 1.0f) << "beyond PlayersPerTeam, state " << int(s);
    }
    EXPECT_EQ(bench.ContactMark, 5.0f);
    EXPECT_EQ(bench.ContactTimer[1], 0.02f);
  }
}

TEST_F(CollisionDetectTest, EachContactTimerOfThePlayersOnTheFieldIsCountedDownOnce) {
  // Team sizes below, at and between whole groups of four timers.
  for (int n : {1, 3, 4, 7, 15, 16, 25}) {
    SetUp();
    W.gamestate = gsLineout;
    W.PlayersPerTeam = n;
    for (int b = 1; b <= 2; ++b)
      for (int j = 1; j <= 25; ++j) W.Teams[b].Players[1].ContactTimer[j] = 0.1f * static_cast<f32>(j) - 1.0f;
    Step();
    for (int b = 1; b <= 2; ++b) {
      for (int j = 1; j <= 25; ++j) {
        const f32 before = 0.1f * static_cast<f32>(j) - 1.0f;
        const f32 expected = j <= n ? static_cast<f32>(static_cast<double>(before) - 0.04f) : before;
        EXPECT_EQ(W.Teams[b].Players[1].ContactTimer[j], expected) << "n " << n << " block " << b << " timer " << j;
      }
    }
  }
}

TEST_F(CollisionDetectTest, OnlyTheBookkeepingRunsOutsideRunningPlayWithACarrier) {
  // Each case leaves a would-be carrier 0.3 m from a post with an opponent
  // getting up 0.3 m away: in running play he would be pushed and bumped.
  struct Case {
    const char* what;
    TGameState state;
    f32 throttle;
    i32 carrier;
  } cases[] = {
      {"inside the throttle", gsRunning, 0.01f, kCarrier},
      {"passing", gsPassing, 0.0f, kCarrier},
      {"no carrier", gsRunning, 0.0f, 0},
      {"carrier beyond the players on the field", gsRunning, 0.0f, 16},
      {"carrier number beyond the records", gsRunning, 0.0f, 26},
  };
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    W.ContactCheckTimer = c.throttle;
    W.Teams[1].BallCarrier = c.carrier;
    TPlayer& C = W.Teams[1].Players[c.carrier == 16 ? 16 : kCarrier];
    C.Pos = {2.8f, 0.0f, 49.7f};
    Opponent().Pos = {2.8f, 0.0f, 49.4f};
    Opponent().standuptimer = 1.0f;
    Step();
    EXPECT_EQ(C.Pos.z, 49.7f) << c.what;
    EXPECT_LE(C.ContactTimer[kOpponent], 0.0f) << c.what;
    EXPECT_EQ(Opponent().ForcedRunTimer, 0.0f) << c.what;
  }
  // The same scene in running play.
  SetUp();
  Carrier().Pos = {2.8f, 0.0f, 49.7f};
  Opponent().Pos = {2.8f, 0.0f, 49.4f};
  Opponent().standuptimer = 1.0f;
  Step();
  EXPECT_NE(Carrier().Pos.z, 49.7f);
  EXPECT_EQ(Carrier().ContactTimer[kOpponent], 1.25f);
}

// ---------------------------------------------------------------- goal posts

TEST_F(CollisionDetectTest, CarrierIsPushedOffEachGoalPost) {
  struct Case {
    TVector2 post, from;
  } cases[] = {{{-2.8f, -50.0f}, {0.0f, 0.3f}},
               {{2.8f, -50.0f}, {-0.3f, 0.0f}},
               {{-2.8f, 50.0f}, {0.3f, 0.0f}},
               {{2.8f, 50.0f}, {0.0f, -0.3f}}};
  for (const Case& c : cases) {
    SetUp();
    Carrier().Pos = {c.post.x + c.from.x, 1.0f, c.post.z + c.from.z};
    Step();
    EXPECT_NEAR(Distance2D(Carrier().Pos.x, Carrier().Pos.z, c.post.x, c.post.z), 0.5f, 1e-5f);
    EXPECT_NEAR(Carrier().Pos.x, c.post.x + c.from.x * 5.0f / 3.0f, 1e-5f) << "straight away from the post";
    EXPECT_NEAR(Carrier().Pos.z, c.post.z + c.from.z * 5.0f / 3.0f, 1e-5f);
    EXPECT_EQ(Carrier().Pos.y, 1.0f);
  }
  SetUp();
  Carrier().Pos = {2.8f, 0.0f, 50.0f};  // on the post centre: no direction to push along
  Step();
  EXPECT_EQ(Carrier().Pos.x, 2.8f);
  EXPECT_EQ(Carrier().Pos.z, 50.0f);
  SetUp();
  Carrier().Pos = {2.8f, 0.0f, 50.6f};  // beyond the clearance
  Step();
  EXPECT_EQ(Carrier().Pos.z, 50.6f);
}

// ---------------------------------------------------------------- contact distance

TEST_F(CollisionDetectTest, ContactDistanceOfTwoPlayersOf180) {
  struct Case {
    const char* what;
    void (*set)();
    double r;
  } cases[] = {
      {"normal", [] {}, 0.54},
      {"bracing past a fifth of the brace",
       [] {
         W.CarrierBrace = kTrue32;
         Carrier().currentAnim.Assign("bracewithball");
         Carrier().currentframe = 4.2f;
         Carrier().maxframes = 20.0f;
       },
       0.9},
      {"bracing after one loop",
       [] {
         W.CarrierBrace = kTrue32;
         Carrier().currentAnim.Assign("bracewithball");
         Carrier().AnimLoopCount = 1;
       },
       0.9},
      {"bracing only a fifth in",
       [] {
         W.CarrierBrace = kTrue32;
         Carrier().currentAnim.Assign("bracewithball");
         Carrier().currentframe = 4.0f;
         Carrier().maxframes = 20.0f;
       },
       0.54},
      {"brace flag with another animation",
       [] {
         W.CarrierBrace = kTrue32;
         Carrier().currentAnim.Assign("run");
         Carrier().AnimLoopCount = 3;
       },
       0.54},
      {"stumble 12 into a missed dive",
       [] {
         Carrier().BreakTackleTimer = 5.0f;
         Carrier().ActionCode = 12.0f;
         Opponent().standuptimer = 0.0f;
         Opponent().TackleAttemptTimer = 1.0f;
         Opponent().TackleAttemptKind = 3.0f;
       },
       0.612},
      {"stumble 20 into a missed dive",
       [] {
         Carrier().BreakTackleTimer = 5.0f;
         Carrier().ActionCode = 20.0f;
         Opponent().TackleAttemptTimer = 1.0f;
         Opponent().TackleAttemptKind = 3.0f;
       },
       1.26},
      {"fend into a missed dive",
       [] {
         Carrier().BreakTackleTimer = 5.0f;
         Carrier().ActionCode = 6.0f;
         Opponent().TackleAttemptTimer = 1.0f;
         Opponent().TackleAttemptKind = 3.0f;
       },
       1.098},
      {"stumble into a player getting up",
       [] {
         Carrier().BreakTackleTimer = 5.0f;
         Carrier().ActionCode = 12.0f;
       },
       0.54},
  };
  for (const Case& c : cases) {
    for (double share : {0.999, 1.001}) {
      SetUp();
      PlaceOpponent(share * c.r, 90.0);
      c.set();
      Step();
      EXPECT_EQ(Bumped(), share < 1.0) << c.what << " at " << share << " x " << c.r;
    }
  }
}

TEST_F(CollisionDetectTest, NearBandJudgedOnPositionsAMomentAhead) {
  struct Case {
    const char* what;
    double d;
    f32 closing;  // m/s, each player towards the other
    bool contact;
  } cases[] = {
      {"inside the band, closing fast", 0.6209, 4.0f, true},
      {"inside the band, closing slowly", 0.6209, 1.0f, false},
      {"just past the band, closing fast", 0.6211, 40.0f, false},
      {"on one spot", 0.0, 4.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    PlaceOpponent(c.d, 90.0);
    Carrier().Velocity = {0.0f, c.closing};
    Opponent().Velocity = {0.0f, -c.closing};
    Step();
    EXPECT_EQ(Bumped(), c.contact) << c.what;
  }
}

TEST_F(CollisionDetectTest, GroundedCarrierMeetsOnlyPlayersDownOrGettingUp) {
  PlaceOpponent(0.3, 90.0);
  Opponent().standuptimer = 0.0f;
  Opponent().TackleAttemptTimer = 1.0f;
  Opponent().TackleAttemptKind = 1.0f;  // a tackle attempt, but not a missed dive
  Step();
  EXPECT_FALSE(Bumped());
  Opponent().TackleAttemptKind = 3.0f;
  Step();
  EXPECT_TRUE(Bumped());

  SetUp();
  PlaceOpponent(0.3, 90.0);
  W.MarkCalled = kTrue32;
  Step();
  EXPECT_FALSE(Bumped()) << "mark called";
  SetUp();
  PlaceOpponent(0.3, 90.0);
  Carrier().numgoverning = 1;
  Step();
  EXPECT_FALSE(Bumped()) << "carrier holds somebody";
}

// ---------------------------------------------------------------- grounded bump

TEST_F(CollisionDetectTest, GroundedBumpClearsBallActionsAndBlocksThatPairFor125s) {
  PlaceOpponent(0.5, 90.0, 5.0f);
  TPlayer& C = Carrier();
  C.passtimer = C.passcatchtimer = C.StepTimer = C.shimmytimer = C.KickTimer = C.freeballcatchtimer = 1.0f;
  TTeamBlock& T = W.Teams[1];
  T.PassTimeLeft = T.KickTimeLeft = T.DecisionTimer = 1.0f;
  C.ContactTimer[5] = 0.5f;
  Opponent().ContactTimer[3] = 0.5f;
  const u32 before = RandSeed;
  Step();

  EXPECT_EQ(DrawsSince(before), 2) << "the carrier's knock-on speed is drawn";
  for (f32 t : {C.passtimer, C.passcatchtimer, C.StepTimer, C.shimmytimer, C.KickTimer, C.freeballcatchtimer,
                T.PassTimeLeft, T.KickTimeLeft, T.DecisionTimer}) {
    EXPECT_EQ(t, 0.0f);
  }
  EXPECT_EQ(T.DecisionRequested, kTrue32);
  EXPECT_EQ(C.ContactTimer[kOpponent], 1.25f);
  EXPECT_EQ(Opponent().ContactTimer[kCarrier], 0.45f);
  EXPECT_EQ(C.ContactTimer[5], 0.5f - 0.04f) << "other pairs only count down";
  EXPECT_EQ(Opponent().ContactTimer[3], 0.5f - 0.04f);

  // The same pair meets again only once the carrier's timer has run out.
  for (int frame = 1; frame <= 31; ++frame) Step();
  EXPECT_GT(C.ContactTimer[kOpponent], 0.0f);
  EXPECT_LT(C.ContactTimer[kOpponent], 0.05f);
  Step();
  EXPECT_EQ(C.ContactTimer[kOpponent], 1.25f);
}

TEST_F(CollisionDetectTest, GroundedBumpKnocksBothPlayersOn) {
  PlaceOpponent(0.5, 90.0, 5.0f);
  TPlayer& C = Carrier();
  TPlayer& J = Opponent();
  const TCollisionResult expected =
      ResolveCollision({C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, C.speed, C.Weight, 2000.0f, 0.05f,
                       {J.OldPos.x, J.OldPos.z}, {J.Pos.x, J.Pos.z}, J.speed, J.Weight, 0.35f, kTrue32, kFalse32);
  Step();

  EXPECT_EQ(C.speed, expected.Body1.Speed);
  EXPECT_GT(C.speed, 0.0f);
  // The knock-on speed scale has no values anywhere, so it draws 0.
  EXPECT_EQ(C.ContactSpeedScale, 0.0f);
  EXPECT_EQ(C.ForcedRunSpeed, 0.0f);
  EXPECT_EQ(C.ForcedRunAngle, expected.Body1.Heading);
  EXPECT_NEAR(C.ForcedRunFacing, 90.0f, 1e-4f);
  EXPECT_EQ(C.ForcedRunTimer, 0.1f);
  EXPECT_EQ(C.BreakTackleTimer, 10.0f);
  EXPECT_NEAR(C.BreakAngle, 90.0f, 1e-4f);
  EXPECT_EQ(C.BreakFacing, C.ForcedRunFacing);
  EXPECT_EQ(C.BreakSpeed, 0.0f);

  EXPECT_EQ(J.speed, expected.Body2.Speed);
  EXPECT_EQ(J.ForcedRunSpeed, expected.Body2.Speed);
  EXPECT_EQ(J.ForcedRunAngle, expected.Body2.Heading);
  EXPECT_EQ(J.ForcedRunFacing, -90.0f);  // degrees(FacingAngle) - 90, as it stands
  EXPECT_EQ(J.ForcedRunTimer, 0.2f);
  EXPECT_EQ(J.TackleAttemptSpeed, expected.Body2.Speed);
  EXPECT_EQ(J.TackleAttemptAngle, expected.Body2.Heading);
}

TEST_F(CollisionDetectTest, StumbleKindFollowsTheDirectionOfTheKnock) {
  // The carrier stands facing +z; the opponent runs into him from bearing b,
  // so the carrier is knocked away from b.
  struct Case {
    const char* what;
    double bearing;
    f32 code;
  } cases[] = {
      {"hit from behind: knocked straight ahead", 270.0, 20.0f},
      {"hit from behind, 10 degrees aside", 280.0, 20.0f},
      {"hit from behind, 20 degrees aside", 250.0, 12.0f},
      {"hit from the right, 10 degrees back", 170.0, 15.0f},
      {"hit from the right, 20 degrees back", 160.0, 12.0f},
      {"hit from the right, 20 degrees forward", 200.0, 12.0f},
      {"hit from the right: knocked square", 180.0, 15.0f},
      {"hit from the left: knocked square", 0.0, 15.0f},
      {"hit from ahead: knocked backwards", 90.0, 12.0f},
      {"hit diagonally from behind", 225.0, 12.0f},
      {"hit diagonally from ahead", 45.0, 12.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    PlaceOpponent(0.5, c.bearing, 5.0f);
    Step();
    EXPECT_EQ(Carrier().ActionCode, c.code) << c.what;
    EXPECT_EQ(Carrier().BreakTackleTimer, 10.0f) << c.what;
  }
}

TEST_F(CollisionDetectTest, DivingCarrierDoesNotStumble) {
  PlaceOpponent(0.5, 270.0, 5.0f);
  Carrier().DiveTimer = 0.5f;
  Carrier().DiveSpeed = 6.0f;
  Step();
  EXPECT_EQ(Carrier().ActionCode, 20.0f);
  EXPECT_EQ(Carrier().BreakTackleTimer, 0.0f);
  EXPECT_EQ(Carrier().DiveSpeed, 0.0f);
}

TEST_F(CollisionDetectTest, BumpInsideABreakMoveChangesTheCollision) {
  struct Case {
    const char* what;
    f32 code;
    f32 frame;  // of 100
    double bearing;
    bool getsUp;
    f32 restitution;
    bool carrierMoving, impulse;
  } cases[] = {
      {"charge inside its window", 1.0f, 50.0f, 60.0, false, 0.25f, false, false},
      {"charge late in its window", 2.0f, 80.0f, 90.0, false, 0.25f, false, false},
      {"charge past its window", 3.0f, 86.0f, 120.0, false, 0.35f, true, false},
      {"charge beside its bearing", 1.0f, 50.0f, 100.0, false, 0.35f, true, false},
      {"charge into a player getting up", 1.0f, 50.0f, 60.0, true, 0.35f, true, false},
      {"fend inside its window", 4.0f, 25.0f, 30.0, false, 0.35f, true, true},
      {"straight fend across 0", 5.0f, 80.0f, 350.0, false, 0.35f, true, true},
      {"straight fend across 0, other side", 5.0f, 50.0f, 10.0, false, 0.35f, true, true},
      {"fend behind", 9.0f, 50.0f, 200.0, false, 0.35f, true, true},
      {"goose-step inside its window", 10.0f, 50.0f, 270.0, false, 0.35f, true, false},
      {"stumble: no window", 12.0f, 50.0f, 60.0, false, 0.35f, true, false},
  };
  for (const Case& c : cases) {
    SetUp();
    PlaceOpponent(0.3, c.bearing, 5.0f);
    TPlayer& C = Carrier();
    TPlayer& J = Opponent();
    C.speed = 4.0f;
    C.OldPos = {0.0f, 0.0f, -0.16f};
    C.BreakTackleTimer = 2.0f;
    C.ActionCode = c.code;
    C.currentframe = c.frame;
    C.maxframes = 100.0f;
    J.standuptimer = c.getsUp ? 1.0f : 0.0f;
    J.TackleAttemptTimer = 1.0f;
    J.TackleAttemptKind = 3.0f;
    const TCollisionResult expected = ResolveCollision(
        {C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, C.speed, C.Weight, 2000.0f, 0.05f, {J.OldPos.x, J.OldPos.z},
        {J.Pos.x, J.Pos.z}, J.speed, J.Weight, c.restitution, Flag(c.carrierMoving), Flag(c.impulse));
    Step();
    ASSERT_TRUE(Bumped()) << c.what;
    EXPECT_EQ(C.speed, expected.Body1.Speed) << c.what;
    EXPECT_EQ(J.speed, expected.Body2.Speed) << c.what;
    EXPECT_EQ(J.ForcedRunAngle, expected.Body2.Heading) << c.what;
  }
}

TEST_F(CollisionDetectTest, EachLaterBumpStartsFromTheSpeedsLeftByTheEarlierOne) {
  PlaceOpponent(0.5, 270.0, 5.0f);  // from behind, met first
  TPlayer& C = Carrier();
  TPlayer& first = Opponent();
  TPlayer& second = W.Teams[2].Players[9];  // from ahead
  second.Pos = {0.0f, 0.0f, 0.45f};
  second.OldPos = {0.0f, 0.0f, 0.6f};
  second.speed = 3.0f;
  second.standuptimer = 1.0f;
  const TCollisionResult one = ResolveCollision({C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, C.speed, C.Weight, 0.0f,
                                                0.0f, {first.OldPos.x, first.OldPos.z}, {first.Pos.x, first.Pos.z},
                                                first.speed, first.Weight, 0.35f, kTrue32, kFalse32);
  const TCollisionResult two =
      ResolveCollision({C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, one.Body1.Speed, C.Weight, 0.0f, 0.0f,
                       {second.OldPos.x, second.OldPos.z}, {second.Pos.x, second.Pos.z}, second.speed, second.Weight,
                       0.35f, kTrue32, kFalse32);
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(DrawsSince(before), 4);
  EXPECT_EQ(C.ContactTimer[kOpponent], 1.25f);
  EXPECT_EQ(C.ContactTimer[9], 1.25f);
  EXPECT_EQ(C.speed, two.Body1.Speed);
  EXPECT_EQ(C.ForcedRunAngle, two.Body1.Heading);
  EXPECT_EQ(C.ActionCode, 12.0f) << "the later bump, from ahead, sets the stumble";
  EXPECT_EQ(second.speed, two.Body2.Speed);
}

// ---------------------------------------------------------------- airborne carrier

TEST_F(CollisionDetectTest, AirborneCarrierMeetsAnyOpponent) {
  W.CarrierGrounded = kFalse32;
  W.MarkCalled = kTrue32;      // not tested in the air
  Carrier().numgoverning = 2;  // nor this
  PlaceOpponent(0.5, 90.0, 5.0f);
  TPlayer& C = Carrier();
  TPlayer& J = Opponent();
  J.standuptimer = 0.0f;  // a plain standing opponent
  C.passtimer = 1.0f;
  C.freeballcatchtimer = 0.8f;
  C.FreeBallCatchFacing = 75.0f;
  const TCollisionResult expected =
      ResolveCollision({C.OldPos.x, C.OldPos.z}, {C.Pos.x, C.Pos.z}, C.speed, C.Weight, 0.0f, 0.0f,
                       {J.OldPos.x, J.OldPos.z}, {J.Pos.x, J.Pos.z}, J.speed, J.Weight, 0.45f, kTrue32, kFalse32);
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(C.ContactTimer[kOpponent], 0.45f);
  EXPECT_EQ(J.ContactTimer[kCarrier], 0.45f);
  EXPECT_EQ(C.passtimer, 1.0f) << "nothing of the carrier's is cleared";
  EXPECT_EQ(W.Teams[1].DecisionRequested, 0);
  EXPECT_EQ(C.speed, expected.Body1.Speed);
  EXPECT_EQ(C.ForcedRunSpeed, expected.Body1.Speed);
  EXPECT_EQ(C.ForcedRunAngle, expected.Body1.Heading);
  EXPECT_EQ(C.ForcedRunTimer, 0.25f);
  EXPECT_EQ(C.FreeBallCatchSpeed, expected.Body1.Speed);
  EXPECT_EQ(C.FreeBallCatchAngle, expected.Body1.Heading);
  EXPECT_EQ(C.ForcedRunFacing, 75.0f) << "a jump catch keeps its facing";
  EXPECT_EQ(C.BreakTackleTimer, 0.0f) << "no stumble in the air";
  EXPECT_EQ(J.speed, expected.Body2.Speed);
  EXPECT_EQ(J.ForcedRunAngle, expected.Body2.Heading);
  EXPECT_EQ(J.ForcedRunFacing, -90.0f);  // degrees(FacingAngle) - 90, as it stands
  EXPECT_EQ(J.ForcedRunTimer, 0.25f);
  EXPECT_EQ(J.TackleAttemptSpeed, 0.0f);

  // Blocked for 0.45 s from the carrier's side.
  for (int frame = 1; frame <= 11; ++frame) Step();
  EXPECT_GT(C.ContactTimer[kOpponent], 0.0f);
  Step();
  EXPECT_EQ(C.ContactTimer[kOpponent], 0.45f);
}

// ---------------------------------------------------------------- worlds

TEST_F(CollisionDetectTest, LookAheadBumpLeavesTheMatchWorldAlone) {
  PlaceOpponent(0.5, 90.0, 5.0f);
  World = W;
  TakeLookAheadCopy();
  Snapshot = World;
  Step(LookAheadWorld);
  EXPECT_EQ(std::memcmp(&World, &Snapshot, sizeof World), 0);
  EXPECT_EQ(LookAheadWorld.Teams[1].Players[kCarrier].ContactTimer[kOpponent], 1.25f);
  EXPECT_EQ(LookAheadWorld.Teams[1].DecisionRequested, 0) << "the match world's request only";
  EXPECT_EQ(LookAheadWorld.Teams[1].DecisionTimer, 0.0f);
}

}  // namespace
