// The start of the chasers' catch actions: reachability and the 0.7 s
// limit, the kind and its lead time, the dive over the goal line and the
// kick of the loose ball on (block 1, match world only).
#include "contact/FreeBallChase.h"

#include "RunningScene.h"
#include "core/Kinematics.h"

namespace {

using namespace running_scene;

constexpr int kBack = 12;
constexpr int kChaser = 13;  // block 2
constexpr int kPoint = 3;    // the catch point used

// A free ball at 1.5 m, level; nobody moves but the players a test sets.
class FreeBallChaseTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    W.gamestate = gsFreeBall;
    W.Teams[1].BallCarrier = 0;
    W.Gravity = 9.81f;
    W.TimeSinceSetPiece = 10.0f;
    W.FreeBallPointsTimer = 0.5f;
    W.BallPos = {0.0f, 1.5f, -5.0f};
    for (int b = 1; b <= 2; ++b) {
      W.Teams[b].ChaserCount = 2;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = W.Teams[b].Players[p];
        P.maxspeed = 0.0f;
        P.Acceleration = 4.0f;
      }
    }
  }

  // Player p of block Block chases point kPoint at (x, z), which the ball
  // reaches in t seconds; he stands Distance metres short of it in z.
  static TPlayer& Chaser(int Block, int p, f32 x, f32 z, f32 t, f32 Distance, f32 Speed) {
    TPlayer& P = W.Teams[Block].Players[p];
    Place(P, x, z - Distance);
    P.speed = Speed;
    P.maxspeed = 8.0f;
    P.FreeBallPointIndex = kPoint;
    W.Teams[Block].ChaserSlots[1] = p;
    W.FreeBallPoints[kPoint] = {x, z};
    W.FreeBallTimeLeft[kPoint] = t;
    return P;
  }
};

TEST_F(FreeBallChaseTest, AChaserStartsOnlyWhenHeReachesThePointInTimeAndTheBallIsNear) {
  struct Case {
    const char* what;
    f32 t;         // s, the ball to the key point
    f32 distance;  // m to it; 0.1 m short counts, from standing at 4 m/s/s
    bool starts;
  };
  const Case cases[] = {
      {"0.6 s needed (0.72 m), the ball there in 0.5 s", 0.5f, 0.82f, false},
      {"0.5 s needed", 0.5f, 0.6f, true},
      {"on the spot, the ball 0.8 s away", 0.8f, 0.0f, false},
      {"on the spot, the ball 0.7 s away: kind written, too early", 0.7f, 0.0f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    W.FreeBallContested = kTrue32;
    W.FreeBallKeyPoint = kPoint;
    TPlayer& P = Chaser(1, kBack, 2.0f, 0.0f, c.t, c.distance, 0.0f);
    P.CanReachKeyPoint = kTrue32;
    P.FreeBallPointIndex = 1;  // the key point overrides his own
    StartCatchAttempts(W);
    EXPECT_EQ(P.freeballcatchtimer, c.starts ? 10.0f : 0.0f) << c.what;
    const bool written = c.t <= 0.7f && c.distance < 0.8f;
    EXPECT_EQ(P.FreeBallCatchKind, written ? 5.0f : 0.0f) << c.what;
    if (!c.starts) continue;
    EXPECT_FLOAT_EQ(P.FreeBallCatchRecoverFraction, 0.7f) << c.what;
    EXPECT_FLOAT_EQ(P.FreeBallCatchAngle, 90.0f) << c.what;
    // Facing +z (heading 90), the ball behind him: a jump turns 25 degrees at most.
    EXPECT_NEAR(HeadingDifference(P.FreeBallCatchFacing, 90.0f), 25.0f, 1e-3) << c.what;
    EXPECT_NEAR(P.FreeBallCatchSpeed, SpeedToCoverInTime(0.0f, 4.0f, 8.0f, 0.5f, 0.51625f, kTrue32), 1e-6)
        << c.what;
  }
}

TEST_F(FreeBallChaseTest, TheKindFollowsTheBallsHeightAndWhetherHeStands) {
  struct Case {
    f32 speed;  // m/s
    f32 ballY;  // m at the point (level ball)
    f32 kind, recover;
  };
  const Case cases[] = {
      {1.0f, 1.0f, 4, 0.5f},  {1.01f, 1.0f, 3, 0.4f},  // high: 0.55 x 1.8 = 0.99 m
      {1.0f, 0.98f, 2, 0.4f}, {1.01f, 0.98f, 1, 0.4f},
  };
  for (const Case& c : cases) {
    SetUp();
    W.BallPos.y = c.ballY;
    TPlayer& P = Chaser(2, kChaser, 0.0f, 0.0f, 0.6f, 0.45f, c.speed);  // too early to start
    StartCatchAttempts(W);
    EXPECT_EQ(P.FreeBallCatchKind, c.kind) << c.speed << " m/s, ball " << c.ballY;
    EXPECT_FLOAT_EQ(P.FreeBallCatchRecoverFraction, c.recover);
    EXPECT_EQ(P.freeballcatchtimer, 0.0f);
  }
}

TEST_F(FreeBallChaseTest, LeadTimesStartEachKindJustInTime) {
  struct Case {
    f32 speed, ballY;
    f32 lead;  // s
  };
  const Case cases[] = {{1.01f, 0.5f, 0.21875f}, {0.0f, 0.5f, 0.175f}, {0.0f, 1.5f, 0.37625f}};
  for (const Case& c : cases) {
    for (f32 t : {c.lead + 0.019f, c.lead + 0.021f}) {
      SetUp();
      W.BallPos.y = c.ballY;
      TPlayer& P = Chaser(2, kChaser, 0.0f, 0.0f, t, 0.45f, c.speed);
      StartCatchAttempts(W);
      EXPECT_EQ(P.freeballcatchtimer > 0, t < c.lead + 0.02f) << c.lead << " at " << t;
    }
  }
}

TEST_F(FreeBallChaseTest, SkippedChasers) {
  // A jumper still in his lineout jump as the throw goes loose: with his
  // take started too, the two animations replaced each other every frame and
  // he stayed busy for the rest of the match (a ruck he was scrum-half of
  // never ended).
  const char* what[] = {"in an action",       "getting up",      "no point",
                        "point 9",            "beyond ChaserCount", "no chase window",
                        "still in his lineout jump", "none: a standing high catch starts"};
  constexpr int kNone = 7;
  for (int k = 0; k <= kNone; ++k) {
    SetUp();
    TPlayer& P = Chaser(1, kBack, 0.0f, 0.0f, 0.2f, 0.45f, 0.0f);
    if (k == 0) P.freeballcatchtimer = 0.5f;
    if (k == 1) P.standuptimer = 0.5f;
    if (k == 2) P.FreeBallPointIndex = 0;
    if (k == 3) P.FreeBallPointIndex = 9;
    if (k == 4) {
      W.Teams[1].ChaserSlots[1] = 0;
      W.Teams[1].ChaserSlots[3] = kBack;
    }
    if (k == 5) W.FreeBallPointsTimer = 0.0f;
    if (k == 6) {
      P.LineOutTimer = 10.0f;
      P.LineoutRole = 10.0f;
    }
    StartCatchAttempts(W);
    EXPECT_EQ(P.FreeBallCatchKind, k == kNone ? 4.0f : 0.0f) << what[k];
    EXPECT_EQ(P.freeballcatchtimer, k == 0 ? 0.5f : (k == kNone ? 10.0f : 0.0f)) << what[k];
  }
}

TEST_F(FreeBallChaseTest, OnlyBlock1DivesForABallBouncingOverTheGoalLineOnBothWorlds) {
  struct Case {
    int block;
    bool live;
    f32 kind;
  };
  for (const Case& c : {Case{1, true, 7}, Case{1, false, 7}, Case{2, true, 2}}) {
    SetUp();
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    W.BallPos = {0.0f, 0.3f, 49.0f};
    W.PassVel = {0.0f, 0.0f, 5.0f};  // over the line (50 m) in 0.28 s
    TPlayer& P = Chaser(c.block, c.block == 1 ? kBack : kChaser, 1.0f, 49.5f, 0.3f, 0.45f, 0.0f);
    StartCatchAttempts(W);
    EXPECT_EQ(P.FreeBallCatchKind, c.kind) << c.block << (c.live ? " match" : " look-ahead");
    EXPECT_EQ(P.freeballcatchtimer, c.block == 1 ? 10.0f : 0.0f);  // block 2's low catch waits
  }
}

// Block 1's back at (0, z0) running at 6 m/s to a point 2 m ahead along +z,
// the ball low; one opponent 3 m across, running at 8 m/s, arrives in 0.375 s.
class LooseBallKickTest : public FreeBallChaseTest {
 protected:
  TPlayer& Scene(f32 z0, int Block = 1) {
    W.BallPos = {0.0f, 0.2f, z0 + 1.0f};
    W.PassVel = {0.0f, 0.0f, 0.0f};
    TPlayer& P = Chaser(Block, Block == 1 ? kBack : kChaser, 0.0f, z0 + 2.0f, 0.38f, 2.0f, 6.0f);
    Face(P, 90.0);
    TPlayer& O = W.Teams[3 - Block].Players[4];
    Place(O, 3.0f, z0 + 2.0f);
    O.speed = 8.0f;
    O.maxspeed = 8.0f;
    return P;
  }
};

TEST_F(LooseBallKickTest, AKickOnIsChosenOnlyByBlock1OnTheMatchWorldAwayFromSetPiecesAndTheGoalLine) {
  struct Case {
    const char* what;
    int block;
    bool live;
    f32 sinceSetPiece;  // s
    f32 z0;             // m
    f32 kind;
  };
  const Case cases[] = {
      {"kick on", 1, true, 10.0f, 0.0f, 8},
      {"look-ahead", 1, false, 10.0f, 0.0f, 1},
      {"block 2", 2, true, 10.0f, 0.0f, 1},
      {"4 s after a set piece", 1, true, 4.0f, 0.0f, 1},
      {"4.01 s after a set piece", 1, true, 4.01f, 0.0f, 8},
      {"3.75 m from the goal line", 1, true, 10.0f, 46.25f, 1},
      {"3.76 m from the goal line", 1, true, 10.0f, 46.24f, 8},
  };
  for (const Case& c : cases) {
    SetUp();
    W.LiveWorld = c.live ? kTrue32 : kFalse32;
    W.TimeSinceSetPiece = c.sinceSetPiece;
    TPlayer& P = Scene(c.z0, c.block);
    StartCatchAttempts(W);
    EXPECT_EQ(P.FreeBallCatchKind, c.kind) << c.what;
    if (c.kind != 8) continue;
    EXPECT_FLOAT_EQ(P.freeballcatchtimer, 10.0f) << c.what;
    EXPECT_FLOAT_EQ(P.FreeBallCatchRecoverFraction, 0.7f) << c.what;
    EXPECT_FLOAT_EQ(P.FreeBallCatchAngle, 90.0f) << c.what;
    EXPECT_FLOAT_EQ(P.FreeBallCatchFacing, 75.0f) << c.what;
    EXPECT_NEAR(P.FreeBallCatchSpeed, 1.55f / 0.36875f, 1e-4) << c.what;
  }
}

TEST_F(LooseBallKickTest, NoKickOnWhenAnOpponentIsInTheWayOrArrivesOutsideTheWindow) {
  struct Case {
    const char* what;
    f32 arrivingSpeed;  // m/s of the opponent 3 m across
    f32 bx, bz;         // a standing opponent, relative to the catch point (0, 2)
    f32 kind;
  };
  const Case cases[] = {
      {"nobody in the way", 8.0f, 20.0f, 0.0f, 8},
      {"the opponent standing: 1.22 s, too late", 0.0f, 20.0f, 0.0f, 1},
      {"one just beyond the point", 8.0f, 1.0f, 1.0f, 1},
      {"one 1.3 m across just beyond it", 8.0f, 1.3f, 1.0f, 8},
      {"one near the point 7 m on", 8.0f, 1.7f, 7.0f, 1},
      {"one 1.8 m across from the point 7 m on", 8.0f, 1.8f, 7.0f, 8},
  };
  for (const Case& c : cases) {
    SetUp();
    Scene(0.0f);
    Defender(4).speed = c.arrivingSpeed;
    Place(Defender(5), c.bx, 2.0f + c.bz);
    StartCatchAttempts(W);
    EXPECT_EQ(Attacker(kBack).FreeBallCatchKind, c.kind) << c.what;
  }
}

}  // namespace
