// Holds off the ball, the falls of the held and missed dives, as the running
// contact step runs them (and the shared helpers behind them).
#include "contact/ContactHolds.h"

#include <algorithm>

#include "RunningScene.h"
#include "core/DrawCount.h"

namespace {

using namespace running_scene;

constexpr int kHeld = 5;    // block-1 player held off the ball
constexpr int kHolder = 5;  // block-2 player who targets him

class ContactHoldsTest : public RunningSceneTest {
 protected:
  // Attacker 5 stands at (-10, -10) facing +z; defender 5 targets him from
  // d m straight ahead, facing him and closing at `speed`.
  static void Approach(double d, f32 speed, f32 weight = 90.0f) {
    Place(Attacker(kHeld), -10.0f, -10.0f);
    TPlayer& D = Defender(kHolder);
    Place(D, -10.0f, static_cast<f32>(-10.0 + d));
    D.target = kHeld;
    D.TackleAttemptTimer = 1.0f;
    D.TackleAttemptKind = 1.0f;
    D.speed = speed;
    D.Velocity = {0.0f, -speed};
    D.Weight = weight;
  }

  static bool Held() { return Defender(kHolder).governedby == kHeld && Attacker(kHeld).numgoverning == 1; }

  // Attacker 5 held this frame with the given impact heading and facing.
  static void HoldFor(f32 impact, f32 facing) {
    TPlayer& Q = Attacker(kHeld);
    Q.GettingTackledKind = 4.0f;
    Q.ImpactAngle = impact;
    Q.GettingTackledFacing = facing;
    Q.passtimer = 1.0f;
    Q.KickTimer = 1.0f;
  }
};

TEST_F(ContactHoldsTest, HoldWithinReachOrWithinTheBandHalfAFrameOn) {
  struct Case {
    const char* what;
    double d;
    f32 speed;
    bool holds;
  } cases[] = {
      {"1.19 m, standing", 1.19, 0.0f, true},
      {"1.3 m closing at 6 m/s: 1.18 m half a frame on", 1.3, 6.0f, true},
      {"1.3 m closing at 2 m/s: 1.26 m half a frame on", 1.3, 2.0f, false},
      {"1.37 m closing at 20 m/s", 1.37, 20.0f, true},
      {"1.38 m: beyond the band whatever the speed", 1.38, 20.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Approach(c.d, c.speed);
    Step();
    EXPECT_EQ(Held(), c.holds) << c.what;
    if (c.holds) {
      EXPECT_EQ(Attacker(kHeld).governedby, kHeld) << "the first holder marks him as held: " << c.what;
      EXPECT_EQ(Attacker(kHeld).FootprintHolder[3], kHolder) << "the point straight ahead: " << c.what;
      EXPECT_EQ(Defender(kHolder).ContactPoint, 3) << c.what;
    } else {
      EXPECT_EQ(Attacker(kHeld).GettingTackledKind, 0.0f) << c.what;
    }
  }
}

TEST_F(ContactHoldsTest, OnlyAnEligibleDefenderHoldsAnUntackledTargetOtherThanTheCarrier) {
  struct Case {
    const char* what;
    void (*change)();
    bool holds;
  } cases[] = {
      {"eligible", [] {}, true},
      {"attempt timer at 0 still counts", [] { Defender(kHolder).TackleAttemptTimer = 0.0f; }, true},
      {"attempt timer negative", [] { Defender(kHolder).TackleAttemptTimer = -0.01f; }, false},
      {"missed (kind 3)", [] { Defender(kHolder).TackleAttemptKind = 3.0f; }, false},
      {"fended off (kind 7)", [] { Defender(kHolder).TackleAttemptKind = 7.0f; }, false},
      {"fended off (kind 8)", [] { Defender(kHolder).TackleAttemptKind = 8.0f; }, false},
      {"target already being tackled", [] { Attacker(kHeld).GettingTackledTimer = 0.01f; }, false},
      {"no target", [] { Defender(kHolder).target = 0; }, false},
      {"target beyond the players on the field", [] { Defender(kHolder).target = 16; }, false},
      {"target is the one he holds", [] { Defender(kHolder).governedby = kHeld; }, false},
      {"target is the carrier",
       [] {
         Defender(kHolder).target = kCarrier;
         Place(Defender(kHolder), 0.0f, 1.0f);
       },
       false},
  };
  for (const Case& c : cases) {
    SetUp();
    Approach(1.0, 0.0f);
    c.change();
    Step();
    EXPECT_EQ(Attacker(kHeld).numgoverning, c.holds ? 1 : 0) << c.what;
    EXPECT_EQ(Carrier().numgoverning, 0) << c.what;
  }
}

TEST_F(ContactHoldsTest, TheMomentumOfAHoldNeverPassesThreeMetresASecond) {
  struct Case {
    const char* what;
    f32 weight, speed, expected;
  } cases[] = {
      {"100 kg at 8 m/s on a standing 90 kg target: 4.2 m/s capped", 100.0f, 8.0f, 3.0f},
      {"100 kg at 25 m/s", 100.0f, 25.0f, 3.0f},
      {"100 kg at 1 m/s: 100/190 m/s", 100.0f, 1.0f, ToF32(100.0 / 190.0)},
  };
  for (const Case& c : cases) {
    SetUp();
    Approach(1.0, c.speed, c.weight);
    Step();
    const TPlayer& Q = Attacker(kHeld);
    ASSERT_TRUE(Held()) << c.what;
    EXPECT_FLOAT_EQ(Q.ImpactSpeed, c.expected) << c.what;
    EXPECT_EQ(Q.GettingTackledSpeed, Q.ImpactSpeed) << c.what;
    EXPECT_FLOAT_EQ(Q.ImpactAngle, 270.0f) << "along the holder's run: " << c.what;
    EXPECT_EQ(Q.GettingTackledAngle, Q.ImpactAngle) << c.what;
    EXPECT_EQ(Q.ImpactMass, 90.0f + c.weight) << c.what;
  }
}

TEST_F(ContactHoldsTest, AHeldPlayerFallsForwardFacingAlongTheImpactAndBackwardAgainstIt) {
  struct Case {
    const char* what;
    f32 impact, facing;
    f32 kind, fallFacing;
    bool32 forward;
  } cases[] = {
      {"facing along the impact", 90.0f, 100.0f, 6.0f, 90.0f, kTrue32},
      {"facing against it", 90.0f, 250.0f, 7.0f, 270.0f, kFalse32},
      {"square to it: a tie goes forward", 90.0f, 0.0f, 6.0f, 90.0f, kTrue32},
      {"against an impact at 270: the facing is 450", 270.0f, 90.0f, 7.0f, 450.0f, kFalse32},
  };
  for (const Case& c : cases) {
    SetUp();
    HoldFor(c.impact, c.facing);
    const u32 before = RandSeed;
    Step();
    const TPlayer& Q = Attacker(kHeld);
    EXPECT_EQ(Q.GettingTackledKind, c.kind) << c.what;
    EXPECT_EQ(Q.GettingTackledFacing, c.fallFacing) << c.what;
    EXPECT_EQ(W.Teams[2].FallForward, c.forward) << c.what;
    EXPECT_EQ(Q.passtimer, 0.0f) << c.what;
    EXPECT_EQ(Q.KickTimer, 0.0f) << c.what;
    EXPECT_GE(Q.GroundTime, 0.3f) << c.what;
    EXPECT_LE(Q.GroundTime, 0.7f) << c.what;
    EXPECT_GE(Q.GettingTackledTimer, 0.45f) << c.what;
    EXPECT_LE(Q.GettingTackledTimer, 0.55f) << c.what;
    EXPECT_EQ(DrawsSince(before), 2) << "fall time, then the fall's duration: " << c.what;
  }
}

TEST_F(ContactHoldsTest, FallPointOpensItselfAndItsNeighboursWithoutWrapping) {
  struct Case {
    const char* what;
    f32 heading;
    int point;
    std::vector<int> open;
  } cases[] = {
      {"point 8 (heading 315): no wrap to 1", 315.0f, 8, {7, 8}},
      {"point 1 (heading 0): no wrap to 8", 0.0f, 1, {1, 2}},
      {"point 3 (heading 90)", 90.0f, 3, {2, 3, 4}},
      {"nearest to heading 100 is point 3", 100.0f, 3, {2, 3, 4}},
  };
  for (const Case& c : cases) {
    SetUp();
    SetFallScratch(W, c.heading, c.heading);
    EXPECT_EQ(W.Teams[2].FallPoint, c.point) << c.what;
    for (int k = 1; k <= 8; ++k) {
      const bool open = std::find(c.open.begin(), c.open.end(), k) != c.open.end();
      EXPECT_EQ(W.Teams[2].FallPointBlocked[k], open ? kFalse32 : kTrue32) << c.what << ", point " << k;
    }
  }
}

TEST_F(ContactHoldsTest, FallPointMovesItsNeighbourIndicesIntoEmptyPlaces) {
  W.PointNeighbours[3] = {};
  W.PointNeighbours[3][1] = 6;
  W.PointNeighbours[3][3] = 7;
  W.PointNeighbours[3][4] = 8;
  SetFallScratch(W, 90.0f, 90.0f);
  EXPECT_EQ(W.PointNeighbours[3][1], 0);
  EXPECT_EQ(W.PointNeighbours[3][2], 6) << "first into an empty second";
  EXPECT_EQ(W.PointNeighbours[3][3], 7) << "the fourth is taken: the third stays";
  EXPECT_EQ(W.PointNeighbours[3][4], 8);
  EXPECT_EQ(W.PointNeighbours[4][2], 1) << "only the fall point's entry: point 4 keeps 2, 1, 6, 7";
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(W.ScratchCircleFlags[k], kFalse32);
}

TEST_F(ContactHoldsTest, HoldersFallWithTheHeldPlayerByThePointTheyHold) {
  HoldFor(90.0f, 90.0f);  // forward; fall point 3, so 2, 3 and 4 are open
  TPlayer& Q = Attacker(kHeld);
  Q.numgoverning = 3;
  struct Holder {
    int p;
    int point;
    bool falls_back;
  } holders[] = {{2, 3, true}, {3, 7, false}, {4, 0, false}};
  for (const Holder& h : holders) {
    Defender(h.p).governedby = kHeld;
    Defender(h.p).ContactPoint = h.point;
  }
  const u32 before = RandSeed;
  Step();
  EXPECT_EQ(DrawsSince(before), 5) << "two for the held player, one per holder";
  for (const Holder& h : holders) {
    const TPlayer& D = Defender(h.p);
    EXPECT_EQ(D.TackleAttemptTimer, Q.GettingTackledTimer) << h.p;
    if (h.falls_back) {
      EXPECT_EQ(D.TackleAttemptKind, 6.0f) << h.p;
      EXPECT_EQ(D.TackleAttemptAngle, 270.0f) << h.p;
      EXPECT_EQ(D.TackleAttemptFacing, 270.0f) << h.p;
      EXPECT_EQ(D.currentAnim.View(), "divetacklefallback") << h.p;
      EXPECT_EQ(D.maxframes, 3260.0f) << h.p;
      EXPECT_EQ(D.currentframe, 0.0f) << h.p;
      EXPECT_GE(D.GroundTime - Q.GroundTime, 0.299f) << h.p;
      EXPECT_LE(D.GroundTime - Q.GroundTime, 0.701f) << h.p;
    } else {
      EXPECT_EQ(D.TackleAttemptKind, 5.0f) << "blocked point, or no point at all: " << h.p;
      EXPECT_EQ(D.TackleAttemptAngle, 90.0f) << h.p;
      EXPECT_EQ(D.currentAnim.View(), "run") << h.p;
      EXPECT_GE(D.GroundTime, 0.05f) << h.p;
      EXPECT_LE(D.GroundTime, 0.4f) << h.p;
    }
  }
}

TEST_F(ContactHoldsTest, AForwardHolderLiesShorterThanTheHeldPlayerButAtLeastAFiftiethOfASecond) {
  int floored = 0;
  for (u32 seed = 1; seed <= 200; ++seed) {
    SetUp();
    HoldFor(90.0f, 90.0f);
    Attacker(kHeld).numgoverning = 1;
    Defender(2).governedby = kHeld;
    Defender(2).ContactPoint = 7;
    RandSeed = seed;
    Step();
    const f32 held = Attacker(kHeld).GroundTime;
    const f32 holder = Defender(2).GroundTime;
    if (holder == 0.05f) {
      ASSERT_LE(held, 0.7f) << "floored only when the offset can reach the held player's fall: " << seed;
      ++floored;
    } else {
      ASSERT_GE(held - holder, 0.299f) << seed;
      ASSERT_LE(held - holder, 0.701f) << seed;
    }
  }
  EXPECT_GT(floored, 0) << "a fall of 0.3 to 0.7 s less 0.3 to 0.7 s often reaches the floor";
}

// ---------------------------------------------------------------- missed dives

class MissedDiveTest : public RunningSceneTest {
 protected:
  // Defender 7 dives at `target` and has played `share` of the dive.
  static TPlayer& Diver(int target, double share) {
    TPlayer& D = Defender(7);
    D.target = target;
    if (IsPlayer(target)) Attacker(target).numtargetting = 1;
    D.TackleAttemptTimer = 0.5f;
    D.TackleAttemptKind = 1.0f;
    D.currentAnim.Assign("divetacklefallforward");
    D.maxframes = 2000.0f;
    D.currentframe = static_cast<f32>(share * 2000.0);
    return D;
  }
};

TEST_F(MissedDiveTest, ADiveTacklePastHalfWithoutABindMisses) {
  struct Case {
    const char* what;
    double share;
    void (*change)(TPlayer&);
    bool misses;
  } cases[] = {
      {"past half", 0.501, [](TPlayer&) {}, true},
      {"exactly half", 0.5, [](TPlayer&) {}, false},
      {"holding someone", 0.9, [](TPlayer& D) { D.governedby = 3; }, false},
      {"attempt over", 0.9, [](TPlayer& D) { D.TackleAttemptTimer = 0.0f; }, false},
      {"already missed", 0.9, [](TPlayer& D) { D.TackleAttemptKind = 3.0f; }, false},
      {"fended off", 0.9, [](TPlayer& D) { D.TackleAttemptKind = 8.0f; }, false},
      {"another animation", 0.9, [](TPlayer& D) { D.currentAnim.Assign("divetacklefallback"); }, false},
      {"no frames: not past half", 0.9, [](TPlayer& D) { D.maxframes = 0.0f; }, false},
  };
  for (const Case& c : cases) {
    SetUp();
    TPlayer& D = Diver(3, c.share);
    c.change(D);
    const u32 before = RandSeed;
    Step();
    if (c.misses) {
      EXPECT_EQ(D.TackleAttemptKind, 3.0f) << c.what;
      EXPECT_EQ(D.target, 0) << c.what;
      EXPECT_EQ(Attacker(3).numtargetting, 0) << c.what;
      EXPECT_EQ(D.currentAnim.View(), "divetacklemissed") << c.what;
      EXPECT_EQ(D.maxframes, 4700.0f) << c.what;
      EXPECT_EQ(D.currentframe, 1880.0f) << c.what;
      EXPECT_EQ(D.TackleAttemptLungeFrame, 2820.0f) << c.what;
      EXPECT_GE(D.TackleAttemptTimer, 0.4f) << c.what;
      EXPECT_LE(D.TackleAttemptTimer, 1.0f) << c.what;
      EXPECT_EQ(DrawsSince(before), 1) << c.what;
    } else {
      EXPECT_EQ(D.target, 3) << c.what;
      EXPECT_EQ(DrawsSince(before), 0) << c.what;
    }
    EXPECT_TRUE(Posted().empty()) << "no messages off the carrier: " << c.what;
  }
}

TEST_F(MissedDiveTest, MissingTheUntackledCarrierPostsMissedTackleAndDefenderBeaten) {
  struct Case {
    const char* what;
    int target;
    f32 carrierTackled;
    bool messages;
  } cases[] = {
      {"the untackled carrier", kCarrier, 0.0f, true},
      {"the carrier being tackled", kCarrier, 1.0f, false},
      {"another attacker", 3, 0.0f, false},
      {"no target", 0, 0.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Carrier().GettingTackledTimer = c.carrierTackled;
    Diver(c.target, 0.6);
    Step();
    EXPECT_EQ(Defender(7).TackleAttemptKind, 3.0f) << c.what;
    const std::vector<TPosted> expected =
        c.messages ? std::vector<TPosted>{{20, 207, msgMissedTackle, 0.0f}, {10, 110, msgDefenderBeaten, 0.0f}}
                   : std::vector<TPosted>{};
    EXPECT_EQ(Posted(), expected) << c.what;
  }
}

}  // namespace
