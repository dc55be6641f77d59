// Ball attachment: the row of the game state decides whether the ball sits
// in a hand and whose; holders that name no record attach only in running.
#include "motion/AttachBallUnit.h"

#include <gtest/gtest.h>

#include "MotionScene.h"

namespace {

using AttachBallTest = MotionSceneTest;

constexpr i32 kUnset = 77;  // LastKnownHasBall before the step

void Plays(int i, const char* Name) { Att(i).currentAnim.Assign(Name); }

TEST_F(AttachBallTest, EachGameStateAttachesItsHolderOrNone) {
  struct Case {
    const char* what;
    void (*set)(TWorld&);
    bool attached;
    i32 holder;  // LastKnownHasBall after the step
  };
  const Case cases[] = {
      {"running", [](TWorld& W) { W.Teams[1].BallCarrier = 9; }, true, 9},
      {"running, carrier 0", [](TWorld&) {}, true, 0},
      {"running, carrier 30", [](TWorld& W) { W.Teams[1].BallCarrier = 30; }, true, 30},
      {"passing", [](TWorld& W) { W.gamestate = gsPassing, W.Teams[1].BallCarrier = 9; }, false, kUnset},
      {"free ball", [](TWorld& W) { W.gamestate = gsFreeBall, W.Teams[1].BallCarrier = 9; }, false, kUnset},
      {"transition", [](TWorld& W) { W.gamestate = gsTransition, W.TransitionHolder = 4, W.Teams[1].BallCarrier = 9; },
       false, 4},
      {"scrum, feeding", [](TWorld& W) { W.gamestate = gsScrum, W.Teams[1].BallCarrier = 9, Plays(9, "scrumfeed"); }, true, 9},
      {"scrum, accelerating", [](TWorld& W) { W.gamestate = gsScrum, W.Teams[1].BallCarrier = 9, Plays(9, "acceleratewithball"); },
       true, 9},
      {"scrum, breathing", [](TWorld& W) { W.gamestate = gsScrum, W.Teams[1].BallCarrier = 9, Plays(9, "breathing"); },
       false, kUnset},
      {"scrum, carrier 0", [](TWorld& W) { W.gamestate = gsScrum, Plays(9, "scrumfeed"); }, false, kUnset},
      {"restart, tap kick", [](TWorld& W) { W.gamestate = gsKickRestartSet, W.Teams[1].BallCarrier = 10, Plays(10, "tapkick"); },
       true, 10},
      {"restart, goal kick", [](TWorld& W) { W.gamestate = gsKickRestartSet, W.Teams[1].BallCarrier = 10, Plays(10, "goalkick"); },
       false, kUnset},
      {"lineout, throw", [](TWorld& W) { W.gamestate = gsLineout, W.Teams[1].BallCarrier = 2, Plays(2, "lineoutthrow"); }, true, 2},
      {"lineout, accelerating", [](TWorld& W) { W.gamestate = gsLineout, W.Teams[1].BallCarrier = 2, Plays(2, "acceleratewithball"); },
       false, kUnset},
      {"lineout, name that only begins alike",
       [](TWorld& W) { W.gamestate = gsLineout, W.Teams[1].BallCarrier = 2, Plays(2, "runwithballx"); }, false, kUnset},
      {"lineout, name cut short", [](TWorld& W) { W.gamestate = gsLineout, W.Teams[1].BallCarrier = 2, Plays(2, "runwithbal"); },
       false, kUnset},
      {"try, diving", [](TWorld& W) { W.gamestate = gsTryScored, W.DiverIndex = 14, Plays(14, "trydivehigh"); }, true, 14},
      {"try, dotting down", [](TWorld& W) { W.gamestate = gsTryScored, W.DiverIndex = 14, Plays(14, "trydotdown"); }, false, kUnset},
      {"try, diver 26", [](TWorld& W) { W.gamestate = gsTryScored, W.DiverIndex = 26; }, false, kUnset},
      {"try, diver 0", [](TWorld& W) { W.gamestate = gsTryScored, Plays(1, "trydive"); }, false, kUnset},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.BallAttached = kTrue32;
    W.LastKnownHasBall = kUnset;
    c.set(W);
    RunStep(AttachBall);
    EXPECT_EQ(W.BallAttached, c.attached ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(W.LastKnownHasBall, c.holder) << c.what;
  }
}

TEST_F(AttachBallTest, GotTackledTestsTheCarrierThenTheDummyHalfThenTheScrumHalfWhoWins) {
  struct Case {
    const char* what;
    i32 carrier, tackled, holder;
    const char* carrierAnim;
    f32 holderPass, holderPickUp, restartDelay;
    bool attached;
    i32 who;
  };
  const Case cases[] = {
      {"(a) tackled carrier", 5, 5, 9, "breathing", 0, 0, 0, true, 5},
      {"(a) while the scrum-half passes", 5, 5, 9, "breathing", 0.3f, 0, 0, false, kUnset},
      {"(a) scrum-half 0 neither passes nor picks up", 5, 5, 0, "breathing", 0, 0, 0, true, 5},
      {"(a) carrier 0", 0, 0, 9, "breathing", 0, 0, 0, false, kUnset},
      {"(a) carrier 27 reads no record", 27, 27, 9, "breathing", 0, 0, 0, false, kUnset},
      {"(b) dummy-half pass", 9, 5, 9, "dummyhalfpassright", 0.3f, 0, 0, true, 9},
      {"(b) another animation", 9, 5, 9, "poppassright", 0, 0, 0, false, kUnset},
      {"(c) picks up and wins over (a)", 5, 5, 9, "breathing", 0, 1, 0, true, 9},
      {"(c) not while the restart delay runs", 5, 5, 9, "breathing", 0, 1, 0.5f, true, 5},
      {"(c) never with the delay, carrier not tackled", 5, 6, 9, "breathing", 0, 1, 0.5f, false, kUnset},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = gsGotTackled;
    W.LastKnownHasBall = kUnset;
    W.RestartDelay = c.restartDelay;
    TTeamBlock& T = W.Teams[1];
    T.BallCarrier = c.carrier;
    T.TackledPlayer = c.tackled;
    T.SetPieceHolder = c.holder;
    if (IsPlayer(c.carrier)) Att(c.carrier).currentAnim.Assign(c.carrierAnim);
    if (IsPlayer(c.holder)) {
      Att(c.holder).passtimer = c.holderPass;
      Att(c.holder).freeballcatchtimer = c.holderPickUp;
    }
    RunStep(AttachBall);
    EXPECT_EQ(W.BallAttached, c.attached ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(W.LastKnownHasBall, c.who) << c.what;
  }
}

}  // namespace
