// Goal kicks and the posts through the free-ball contact step: the score and
// message of each goal kick, the kicks that cannot score, the end of a
// conversion, and post and crossbar strikes with their rebound.
#include "contact/FreeBallGoalKicks.h"

#include <cmath>

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/DrawCount.h"

namespace {

using namespace running_scene;

constexpr int kKicker = 10;
constexpr int kBack = 12;
constexpr int kPhase = 6;  // the flight step the ball is in

// Block 1's player 10 has kicked at the goal at z = 50 (posts 5.6 m apart,
// bar 3 m up); the ball flies at 20 m/s along +z, nobody near it.
class FreeBallGoalKicksTest : public RunningSceneTest {
 protected:
  f32 SavedGap = 0, SavedBar = 0;

  void SetUp() override {
    SavedGap = World.GoalPostGap;
    SavedBar = World.CrossbarHeight;
    World.GoalPostGap = 5.6f;
    World.CrossbarHeight = 3.0f;
    Scene();
  }

  void TearDown() override {
    World.GoalPostGap = SavedGap;
    World.CrossbarHeight = SavedBar;
  }

  // The scene anew (the crossing test reads the posts of the match World).
  void Scene() {
    RunningSceneTest::SetUp();
    W.GoalPostGap = 5.6f;
    W.CrossbarHeight = 3.0f;
    W.TryLineZ = 50.0f;
    W.PostRadius = 0.15f;
    W.PostHeight = 7.0f;
    W.BallRadius = 0.092f;
    LooseBallScene();
    W.Teams[1].BallKicker = kKicker;
    W.BlocksSwapped = kTrue32;
    W.KickType = kKickTypePenaltyGoal;
    W.BallPhase = kPhase;
    W.FlightLandingStep = 900;
    for (int k = 1; k <= 1000; ++k) {
      W.FlightVel[k] = {0.0f, 0.0f, 20.0f};
      W.FlightSpeed[k] = 20.0f;
    }
  }

  // The present flight step starts at P, the one before at Q; the ball is at P.
  static void Flight(TVector3 Q, TVector3 P) {
    W.FlightPos[kPhase - 1] = Q;
    W.FlightPos[kPhase] = P;
    W.BallPos = P;
    W.PrevBallPos = Q;
  }

  static void Step() { RunFrameStep({"FreeBallContact", FreeBallContact}, W); }

  static int StepCountingDraws() {
    const u32 before = RandSeed;
    Step();
    return DrawsSince(before);
  }

  static void ExpectKickOff(const char* what) {
    EXPECT_EQ(W.gamestate, gsTransition) << what;
    EXPECT_EQ(W.RestartKind, 1) << what;
    EXPECT_EQ(W.PendingGameState, gsKickRestartSet) << what;
    EXPECT_EQ(W.PossessionChangePending, kTrue32) << what;
    EXPECT_EQ(W.TransitionBallHeld, kFalse32) << what;
    EXPECT_EQ(W.KickRestartSetPhase, 1) << what;
    EXPECT_GE(W.TransitionTimeLeft, 1.0f) << what;
    EXPECT_LE(W.TransitionTimeLeft, 1.49f) << what;
  }
};

TEST_F(FreeBallGoalKicksTest, AGoalKickBetweenThePostsScoresOnceAndStopsForAKickOff) {
  struct TCase {
    const char* what;
    i32 KickType;
    i32 Points;
    int Code;
  };
  const TCase cases[] = {
      {"penalty goal", 8, 3, msgPenGoal},
      {"conversion", 9, 2, msgConversion},
      {"drop goal", 10, 3, msgDropGoal},
  };
  for (const TCase& c : cases) {
    Scene();
    W.KickType = c.KickType;
    W.Teams[1].score = 7;
    Flight({1.0f, 5.0f, 49.6f}, {1.0f, 5.0f, 50.4f});
    EXPECT_EQ(StepCountingDraws(), 1) << c.what << ": the pause only";
    EXPECT_EQ(W.Teams[1].score, 7 + c.Points) << c.what;
    EXPECT_EQ(W.Teams[1].NoAdvantageFlag, kTrue32) << c.what;
    EXPECT_EQ(Posted(), (std::vector<TPosted>{{10, 110, c.Code, static_cast<f32>(c.Points)}})) << c.what;
    ExpectKickOff(c.what);
  }
}

TEST_F(FreeBallGoalKicksTest, AKickThatWasPlayedOrWentWideOrLowDoesNotScore) {
  struct TCase {
    const char* what;
    TVector3 Q, P;
    bool32 Played, TouchedInTouch;
    i32 KickType;
  };
  const TCase cases[] = {
      {"a drop goal the defenders touched", {1, 5, 49.6f}, {1, 5, 50.4f}, kTrue32, kFalse32, 10},
      {"touched in touch", {1, 5, 49.6f}, {1, 5, 50.4f}, kFalse32, kTrue32, 8},
      {"a general-play kick", {1, 5, 49.6f}, {1, 5, 50.4f}, kFalse32, kFalse32, 0},
      {"wide of the post", {2.9f, 5, 49.6f}, {2.9f, 5, 50.4f}, kFalse32, kFalse32, 8},
      {"under the bar", {1, 2.9f, 49.6f}, {1, 2.9f, 50.4f}, kFalse32, kFalse32, 8},
      {"coming back out", {1, 5, 50.8f}, {1, 5, 50.4f}, kFalse32, kFalse32, 8},
      {"not yet past the plane", {1, 5, 49.2f}, {1, 5, 50.0f}, kFalse32, kFalse32, 8},
  };
  for (const TCase& c : cases) {
    Scene();
    W.KickType = c.KickType;
    W.BallBouncedInField = c.Played;
    W.KickTouchFlag1 = c.TouchedInTouch;
    W.KickTouchFlag2 = c.TouchedInTouch;
    W.KickTouchPos = {35.5f, 10.0f};
    Flight(c.Q, c.P);
    Step();
    EXPECT_EQ(W.Teams[1].score, 0) << c.what;
    for (const TPosted& m : Posted()) EXPECT_NE(m.code, c.KickType == kKickTypeDropGoal ? msgDropGoal : msgPenGoal) << c.what;
  }
}

TEST_F(FreeBallGoalKicksTest, AFailedConversionEndsInAKickOffWithoutPointsOrMessage) {
  struct TCase {
    const char* what;
    TVector3 P;
    f32 ClimbY;
    i32 Landing;
    bool Ends;
  };
  const TCase cases[] = {
      {"in flight towards the posts", {1, 3, 40}, 5.0f, 900, false},
      {"beyond a touch line", {35.01f, 3, 40}, 5.0f, 900, true},
      {"more than 1 m past the goal line", {6, 3, 51.01f}, 5.0f, 900, true},
      {"at its landing step", {6, 3, 40}, 5.0f, kPhase, true},
      {"low and falling", {6, 0.4f, 40}, 0.0f, 900, true},
      {"low and climbing", {6, 0.4f, 40}, 0.1f, 900, false},
  };
  for (const TCase& c : cases) {
    Scene();
    W.KickType = kKickTypeConversion;
    W.FlightLandingStep = c.Landing;
    W.FlightVel[kPhase].y = c.ClimbY;
    Flight({c.P.x, c.P.y, c.P.z - 0.8f}, c.P);
    Step();
    if (c.Ends) {
      ExpectKickOff(c.what);
    } else {
      EXPECT_EQ(W.gamestate, gsFreeBall) << c.what;
    }
    EXPECT_EQ(W.Teams[1].score, 0) << c.what;
    EXPECT_TRUE(Posted().empty()) << c.what;
  }
}

TEST_F(FreeBallGoalKicksTest, ACaughtConversionEndsInAKickOff) {
  W.KickType = kKickTypeConversion;
  for (int p = 1; p <= 25; ++p) Place(Defender(p), Defender(p).Pos.x, 45.0f);
  Catching(Attacker(kBack), 6.0f, 30.0f).CleanCatchProb = 1000;
  Flight({6.0f, 1.0f, 29.4f}, {6.0f, 1.0f, 30.2f});
  W.PrevBallPos = W.BallPos;
  Step();
  EXPECT_EQ(W.Teams[1].BallCarrier, kBack) << "caught";
  ExpectKickOff("a caught conversion");
  EXPECT_EQ(W.Teams[1].score, 0);
  EXPECT_EQ(Posted(), (std::vector<TPosted>{{10, 100 + kBack, msgCarryStart, 0.0f}})) << "the catch's own message only";
}

TEST_F(FreeBallGoalKicksTest, ABallPassingCloseToAPostOrTheBarStrikesItAndComesBackAtHalfSpeed) {
  struct TCase {
    const char* what;
    TVector3 P;
    bool Strikes;
  };
  const TCase cases[] = {
      {"0.2 m from the right post at 2 m", {2.8f + 0.2f, 2.0f, 50.0f}, true},
      {"0.2 m inside the left post", {-2.8f + 0.2f, 2.0f, 50.0f}, true},
      {"0.25 m from the post", {2.8f + 0.25f, 2.0f, 50.0f}, false},
      {"over the top of the post", {2.8f, 7.0f, 50.0f}, false},
      {"0.2 m over the crossbar", {0.0f, 3.2f, 50.0f}, true},
      {"0.3 m over the crossbar", {0.0f, 3.3f, 50.0f}, false},
      {"the near posts", {2.8f, 2.0f, -50.1f}, true},
  };
  for (const TCase& c : cases) {
    Scene();
    W.KickType = kKickTypePlay;
    Flight({c.P.x, c.P.y, c.P.z - 0.3f}, c.P);
    EXPECT_EQ(StepCountingDraws(), 0) << c.what;
    if (!c.Strikes) {
      EXPECT_EQ(W.BallPhase, kPhase) << c.what;
      EXPECT_TRUE(Posted().empty()) << c.what;
        continue;
    }
    EXPECT_EQ(Posted(), (std::vector<TPosted>{{10, 110, msgPostHit, 20.0f}})) << c.what;
    EXPECT_EQ(W.PostHitTimer, 0.5f) << c.what;
    EXPECT_EQ(W.BallPhase, 1) << c.what;
    EXPECT_EQ(W.FlightPos[1].z, c.P.z) << c.what << ": from where it is";
    EXPECT_NEAR(W.FlightSpeed[1], 10.0f, 1e-4) << c.what;
    EXPECT_NEAR(W.FlightVel[1].z, -10.0f, 1e-4) << c.what << ": the other way";
    EXPECT_NEAR(W.FlightVel[1].x, 0.0f, 1e-4) << c.what;
  }
}

TEST_F(FreeBallGoalKicksTest, NoSecondStrikeWhilePostHitTimerRunsAndNoKickerPostsId0) {
  W.PostHitTimer = 0.01f;
  Flight({3.0f, 2.0f, 49.7f}, {3.0f, 2.0f, 50.0f});
  Step();
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(W.BallPhase, kPhase);

  W.PostHitTimer = 0.0f;
  W.Teams[1].BallKicker = 0;
  W.MessageQueue[1] = {};
  W.MessageQueue[1].teamID = 77;  // left by an earlier message
  W.MessageQueue[1].playerID = 777;
  Step();
  EXPECT_EQ(Posted(), (std::vector<TPosted>{{10, 0, msgPostHit, 20.0f}}));
}

TEST_F(FreeBallGoalKicksTest, AStrikeInTheLookAheadAllocatesNothing) {
  W.LiveWorld = kFalse32;
  Flight({3.0f, 2.0f, 49.7f}, {3.0f, 2.0f, 50.0f});
  StartCountingAllocations();
  Step();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(W.PostHitTimer, 0.5f);
}

}  // namespace
