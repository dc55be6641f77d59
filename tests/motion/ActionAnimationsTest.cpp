// The animation step for players busy with actions: the action sections and
// their order, the endings that clear action timers and hand players on, and
// the cancellations of set-piece gestures and block moves.
#include <gtest/gtest.h>

#include <string>

#include "core/DrawCount.h"
#include "MotionScene.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

using ActionAnimationsTest = MotionSceneTest;

// Plays Name to its end (a one-shot at its length).
void Ended(TPlayer& P, const char* Name, f32 Length = 100.0f) { Playing(P, Name, Length, Length, false); }

struct TExpectAnim {
  const char* name;  // nullptr: the old animation goes on
  f32 length;
  bool loop;
  i16 track;
};

void ExpectAnim(const TPlayer& P, const TExpectAnim& E, const std::string& What) {
  if (E.name == nullptr) {
    EXPECT_EQ(P.currentAnim.View(), "breathing") << What;
    EXPECT_EQ(P.currentframe, 50.0f) << What;
    return;
  }
  EXPECT_EQ(P.currentAnim.View(), E.name) << What;
  EXPECT_EQ(P.currentframe, 0.0f) << What;
  EXPECT_EQ(P.maxframes, E.length) << What;
  EXPECT_EQ(P.AnimLoop != 0, E.loop) << What;
  EXPECT_EQ(P.BallTrack, E.track) << What;
}

// ---------------------------------------------------------------- sections

TEST_F(ActionAnimationsTest, EachActionStartsItsAnimationByKindAndCodesOutsideTheTablesStartNothing) {
  struct Case {
    const char* what;
    int block;
    void (*set)(TWorld&, TPlayer&);
    TExpectAnim anim;
  };
  const Case cases[] = {
      {"pop pass left", 1, [](TWorld& W, TPlayer& P) { P.passtimer = 1, W.Teams[1].PassSide = 1, W.Teams[1].PassKind = 1; },
       {"poppassleft", 2388, false, 36}},
      {"quarterback pass", 1, [](TWorld& W, TPlayer& P) { P.passtimer = 1, W.Teams[1].PassSide = 2, W.Teams[1].PassKind = 8; },
       {"qbpass1", 100, false, 90}},
      {"side 1 kind 8", 1, [](TWorld& W, TPlayer& P) { P.passtimer = 1, W.Teams[1].PassSide = 1, W.Teams[1].PassKind = 8; },
       {}},
      {"side 2 kind 7", 1, [](TWorld& W, TPlayer& P) { P.passtimer = 1, W.Teams[1].PassSide = 2, W.Teams[1].PassKind = 7; },
       {}},
      {"block 1 pass during a lineout", 1,
       [](TWorld& W, TPlayer& P) { W.gamestate = gsLineout, P.passtimer = 1, P.LineOutTimer = 1, P.LineoutRole = 99, W.Teams[1].PassSide = 1, W.Teams[1].PassKind = 2; },
       {}},
      {"block 2 pass during a lineout", 2,
       [](TWorld& W, TPlayer& P) { W.gamestate = gsLineout, P.passtimer = 1, P.LineOutTimer = 1, P.LineoutRole = 99, W.Teams[2].PassSide = 1, W.Teams[2].PassKind = 2; },
       {"shortpassleft", 2638, false, 43}},
      {"block 2 standing still", 2, [](TWorld& W, TPlayer& P) { P.passtimer = 1, W.Teams[2].PassSide = 2, W.Teams[2].PassKind = 5; },
       {"standingstillpassright", 2720, false, 49}},
      {"catch right high", 1, [](TWorld& W, TPlayer& P) { P.passcatchtimer = 1, W.Teams[1].CatchSide = 2, W.Teams[1].CatchHeight = 3; },
       {"catchrighthigh", 1838, false, 14}},
      {"catch height 5", 1, [](TWorld& W, TPlayer& P) { P.passcatchtimer = 1, W.Teams[1].CatchSide = 2, W.Teams[1].CatchHeight = 5; },
       {}},
      {"loose-ball kick keeps track 161", 2, [](TWorld&, TPlayer& P) { P.freeballcatchtimer = 1, P.FreeBallCatchKind = 8; },
       {"kicklooseball", 1835, false, 161}},
      {"loose-ball kind 2.5", 1, [](TWorld&, TPlayer& P) { P.freeballcatchtimer = 1, P.FreeBallCatchKind = 2.5f; }, {}},
      {"jump catch high", 1, [](TWorld&, TPlayer& P) { P.freeballcatchtimer = 1, P.FreeBallCatchKind = 5, P.JumpCatchHigh = kTrue32; },
       {"jumpcatchhighp1", 100, false, 75}},
      {"kick kind 8", 1, [](TWorld&, TPlayer& P) { P.KickTimer = 1, P.KickKind = 8; }, {"punt", 9838, false, 38}},
      {"kick kind 5", 1, [](TWorld&, TPlayer& P) { P.KickTimer = 1, P.KickKind = 5; }, {"dropkick", 9838, false, 20}},
      {"kick kind 7", 1, [](TWorld&, TPlayer& P) { P.KickTimer = 1, P.KickKind = 7; }, {}},
      {"kick kind 1.5", 1, [](TWorld&, TPlayer& P) { P.KickTimer = 1, P.KickKind = 1.5f; }, {}},
      {"dive kind 3", 2, [](TWorld&, TPlayer& P) { P.DiveTimer = 1, P.DiveKind = 3; }, {"trydivehigh", 7120, false, 53}},
      {"break code 20", 1, [](TWorld&, TPlayer& P) { P.BreakTackleTimer = 1, P.ActionCode = 20; }, {"goosestep", 2470, false, 7}},
      {"break code 15", 1, [](TWorld&, TPlayer& P) { P.BreakTackleTimer = 1, P.ActionCode = 15; },
       {"stumbleforward", 1920, false, 50}},
      {"shimmy kind 4", 2, [](TWorld&, TPlayer& P) { P.shimmytimer = 1, P.ShimmyKind = 4; }, {"shimmyright", 2328, false, 1}},
      {"spin left", 1, [](TWorld&, TPlayer& P) { P.StepTimer = 1, P.StepKind = 3; }, {"spinleft", 100, false, 83}},
      {"turned get-up", 1, [](TWorld&, TPlayer& P) { P.standuptimer = 1, P.StandUpKind = 17; },
       {"trydivestandupbackflick180", 100, false, 55}},
      {"celebration 9", 2, [](TWorld&, TPlayer& P) { P.standuptimer = 1, P.StandUpKind = 9; }, {"foldarms", 100, false, 1}},
      {"tackled kind 7", 1, [](TWorld&, TPlayer& P) { P.GettingTackledTimer = 1, P.GettingTackledKind = 7; },
       {"divetackledfallback", 4540, false, 18}},
      {"offload", 1, [](TWorld&, TPlayer& P) { P.OffloadPending = 1; }, {"twohandedoffloadlow", 1920, false, 57}},
      {"tackle attempt kind 5", 2, [](TWorld&, TPlayer& P) { P.TackleAttemptTimer = 1, P.TackleAttemptKind = 5; },
       {"divetacklefallforward", 4540, false, 1}},
      {"tackle attempt kind 8", 2, [](TWorld&, TPlayer& P) { P.TackleAttemptTimer = 1, P.TackleAttemptKind = 8; },
       {"fendedright", 1838, false, 1}},
      {"jackle", 2, [](TWorld&, TPlayer& P) { P.RuckTimer = 1, P.RuckRole = 2; }, {"jackle", 1820, false, 1}},
      {"scrum role 33", 1, [](TWorld&, TPlayer& P) { P.RuckTimer = 1, P.RuckRole = 33; },
       {"leftflankercrouchloop", 1920, true, 1}},
      {"scrum role 38", 1, [](TWorld&, TPlayer& P) { P.RuckTimer = 1, P.RuckRole = 38; }, {"rightpropengage", 1920, false, 1}},
      {"maul role 65", 1, [](TWorld&, TPlayer& P) { P.RuckTimer = 1, P.RuckRole = 65; },
       {"maulwithballbreatheloop2", 12, true, 1}},
      {"maul hold moving", 1, [](TWorld&, TPlayer& P) { P.MaulHoldTimer = 1, P.speed = 0.2f; },
       {"maulwithballdrivingloop", 12, true, 1}},
      {"lifter lifts", 2, [](TWorld& W, TPlayer& P) { W.gamestate = gsLineout, P.LineOutTimer = 1, P.LineoutRole = 5; }, {"lineoutlifterlift", 2790, false, 1}},
      {"thrower, block 1", 1, [](TWorld& W, TPlayer& P) { W.gamestate = gsLineout, P.LineOutTimer = 1, P.LineoutRole = 3; }, {"lineoutthrow", 1830, false, 29}},
      {"thrower, block 2", 2, [](TWorld& W, TPlayer& P) { W.gamestate = gsLineout, P.LineOutTimer = 1, P.LineoutRole = 3; }, {}},
      {"tap kick, block 1", 1, [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1, P.SpecialAnimKind = 3; }, {"tapkick", 1800, false, 58}},
      {"tap kick, block 2", 2, [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1, P.SpecialAnimKind = 3; }, {}},
      {"trophy", 2, [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1, P.SpecialAnimKind = 5; }, {"trophybreathloop", 1900, true, 1}},
      {"special kind 12", 1, [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1, P.SpecialAnimKind = 12; }, {}},
      {"block exit 12", 1, [](TWorld&, TPlayer& P) { P.BlockExitTimer = 1, P.BlockExitNumber = 12; }, {"blockexit12", 100, false, 1}},
      {"exited on 7", 2, [](TWorld&, TPlayer& P) { P.BlockExitedOnTimer = 1, P.BlockExitedOnNumber = 7; },
       {"blockgotexitedon7", 100, false, 1}},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    TPlayer& P = W.Teams[c.block].Players[4];
    Playing(P, "breathing", 50.0f, 1839.0f, true);
    c.set(W, P);
    ChooseActionAnim(W, c.block, 4);
    ExpectAnim(P, c.anim, c.what);
  }
}

TEST_F(ActionAnimationsTest, TheLaterSectionWinsAndAPlayingActionAnimationIsNotRestarted) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(10);
  Playing(P, "breathing", 50.0f, 1839.0f, true);
  P.KickTimer = 1.0f;
  P.KickKind = 1.0f;
  P.DiveTimer = 1.0f;
  P.DiveKind = 2;
  for (int frame = 1; frame <= 2; ++frame) {
    ChooseActionAnim(W, 1, 10);
    EXPECT_EQ(P.currentAnim.View(), "trydive") << frame;
    EXPECT_EQ(P.currentframe, 0.0f) << frame;
  }
  P.KickTimer = 0.0f;
  P.currentframe = 300.0f;
  ChooseActionAnim(W, 1, 10);
  EXPECT_EQ(P.currentframe, 300.0f) << "the dive plays on";
  // While a kick animation plays, the kick section leaves it.
  P.DiveTimer = 0.0f;
  P.KickTimer = 1.0f;
  P.KickKind = 2.0f;
  Playing(P, "chip", 20.0f, 1839.0f, false);
  ChooseActionAnim(W, 1, 10);
  EXPECT_EQ(P.currentAnim.View(), "chip");
  EXPECT_EQ(P.currentframe, 20.0f);
}

TEST_F(ActionAnimationsTest, AJumpCatchGoesOnToItsLandingAndOnlyTheLandingEndsTheTake) {
  TWorld& W = MotionWorld;
  for (bool carrier : {false, true}) {
    MakeMotionScene(W);
    TPlayer& P = Att(7);
    if (carrier) W.Teams[1].BallCarrier = 7;
    P.freeballcatchtimer = 5.0f;
    P.FreeBallCatchKind = 5.0f;
    RunStep(AnimatePlayers);
    EXPECT_EQ(P.currentAnim.View(), "jumpcatchp1");
    EXPECT_EQ(P.BallTrack, 25);
    P.currentframe = P.maxframes;
    RunStep(AnimatePlayers);
    EXPECT_EQ(P.freeballcatchtimer, 5.0f) << "the first half ending keeps the take";
    EXPECT_EQ(P.currentAnim.View(), "jumpcatchp2");
    EXPECT_EQ(P.maxframes, 1600.0f);
    EXPECT_EQ(W.JumpCatchLanded, carrier ? kTrue32 : kFalse32);
    P.currentframe = P.maxframes;
    RunStep(AnimatePlayers);
    EXPECT_EQ(P.freeballcatchtimer, 0.0f) << "the landing ends the take";
  }
}

TEST_F(ActionAnimationsTest, PackRolesFollowThePackVelocityFromFrameZero) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(2);
  P.RuckTimer = 5.0f;
  P.RuckRole = 44.0f;
  const struct {
    f32 pack;
    const char* anim;
  } steps[] = {{0.11f, "hookerdrivingloop"}, {-0.11f, "hookerdrivingloop"}, {0.09f, "hookerengagedloop"},
               {-0.12f, "hookerdrivingloop"}, {0.0f, "hookerengagedloop"}};
  for (const auto& s : steps) {
    W.PackVelocityZ = s.pack;
    const std::string before(P.currentAnim.View());
    RunStep(AnimatePlayers);
    EXPECT_EQ(P.currentAnim.View(), s.anim) << s.pack;
    const f32 oneStep = ToF32(1920.0 / 0.5 * kSceneStep);
    EXPECT_FLOAT_EQ(P.currentframe, before == s.anim ? 2 * oneStep : oneStep) << s.pack << " a switch starts at 0";
    EXPECT_EQ(P.AnimLoop, kTrue32);
  }
}

TEST_F(ActionAnimationsTest, AClearOutDrivesWhileThePackMovesAndAMaulJoinerBecomesRole63) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(3);
  P.RuckTimer = 5.0f;
  P.RuckRole = 3.0f;
  W.PackVelocityZ = 0.06f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "clearout");
  P.currentframe = 1980.0f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "clearoutdrivingloop");
  EXPECT_EQ(P.maxframes, 1820.0f);
  W.PackVelocityZ = -0.04f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "clearout");
  EXPECT_EQ(P.currentframe, 1980.0f) << "shown ended at once";
  W.PackVelocityZ = 0.0f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "clearout");
  EXPECT_EQ(P.currentframe, 1980.0f) << "an ended clear-out with a still pack stays";

  P.RuckRole = 52.0f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "clearedout");
  EXPECT_EQ(P.currentframe, 297.0f);

  P.RuckRole = 62.0f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "mauljoin");
  P.currentframe = 12.0f;
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.RuckRole, 63.0f);
  ChooseActionAnim(W, 1, 3);
  EXPECT_EQ(P.currentAnim.View(), "maulbreathingloop");
}

TEST_F(ActionAnimationsTest, LineoutRolesPlayOnceThenTheirFollowOn) {
  TWorld& W = MotionWorld;
  struct Case {
    f32 role;
    const char* first;
    const char* next;
    bool nextLoops;
  };
  for (const Case& c : {Case{4, "lineoutliftercrouch", "lineoutliftercrouchloop", true},
                        Case{2, "lineoutthrowready", "lineoutthrowreadyloop", true},
                        Case{11, "lineoutpassrightp1", "lineoutpassrightp2", false}}) {
    W.gamestate = gsLineout;
    TPlayer& P = Att(5);
    Playing(P, "breathing", 50.0f, 1839.0f, true);
    P.LineOutTimer = 5.0f;
    P.LineoutRole = c.role;
    ChooseActionAnim(W, 1, 5);
    EXPECT_EQ(P.currentAnim.View(), c.first);
    P.currentframe = 10.0f;
    ChooseActionAnim(W, 1, 5);
    EXPECT_EQ(P.currentframe, 10.0f) << c.first;
    P.currentframe = P.maxframes;
    ChooseActionAnim(W, 1, 5);
    EXPECT_EQ(P.currentAnim.View(), c.next);
    EXPECT_EQ(P.AnimLoop != 0, c.nextLoops) << c.next;
    P.currentframe = 5.0f;
    ChooseActionAnim(W, 1, 5);
    EXPECT_EQ(P.currentAnim.View(), c.next) << "the follow-on does not go back to the first";
    EXPECT_EQ(P.currentframe, 5.0f);
  }
}

// A lineout jumper still in his jump when the throw goes loose keeps his
// lineout action and plays it out; once he goes for the loose ball, that
// action takes his animation and the lineout action ends (restarted, the
// two would restart each other every frame and neither would ever end).
TEST_F(ActionAnimationsTest, OutsideTheLineoutALineoutActionOnlyPlaysOut) {
  TWorld& W = MotionWorld;
  W.gamestate = gsFreeBall;
  TPlayer& P = Def(4);
  Playing(P, "lineoutpassrightp1", 1000.0f, 3115.0f, false);
  P.LineOutTimer = 10.0f;
  P.LineoutRole = 11.0f;
  ChooseActionAnim(W, 2, 4);
  EXPECT_EQ(P.currentAnim.View(), "lineoutpassrightp1");
  EXPECT_EQ(P.currentframe, 1000.0f) << "the jump plays on";
  EXPECT_EQ(P.LineOutTimer, 10.0f);
  // He goes for the loose ball.
  P.freeballcatchtimer = 10.0f;
  P.FreeBallCatchKind = 1.0f;
  ChooseActionAnim(W, 2, 4);
  const std::string take(P.currentAnim.View());
  EXPECT_NE(take, "lineoutpassrightp1");
  EXPECT_EQ(P.LineOutTimer, 0.0f);
  P.currentframe = 300.0f;
  ChooseActionAnim(W, 2, 4);
  EXPECT_EQ(P.currentAnim.View(), take);
  EXPECT_EQ(P.currentframe, 300.0f) << "the take plays on";
}

// Two actions at once (a defender's catch and his shimmy): the later
// section's animation, already playing, plays on to its end although the
// earlier section starts its own every frame; restarted each frame, neither
// would end and the player would stay busy for good (a transition waits for
// every action to end).
TEST_F(ActionAnimationsTest, TheLaterSectionsPlayingAnimationPlaysOnBesideAnEarlierAction) {
  TWorld& W = MotionWorld;
  TPlayer& P = Def(1);
  Playing(P, "shimmyright", 147.0f, 2328.0f, false);
  P.shimmytimer = 10.0f;
  P.ShimmyKind = 2;
  P.passcatchtimer = 10.0f;
  W.Teams[2].CatchSide = 2;
  W.Teams[2].CatchHeight = 3;
  ChooseActionAnim(W, 2, 1);
  EXPECT_EQ(P.currentAnim.View(), "shimmyright");
  EXPECT_EQ(P.currentframe, 147.0f) << "not restarted";
  EXPECT_EQ(P.maxframes, 2328.0f);
}

TEST_F(ActionAnimationsTest, AGestureCountsItsTimerDownOnlyInItsLoopAndCountsTheStageAtItsEnd) {
  TPlayer& P = Att(9);
  P.CelebrateTimer = 0.05f;
  P.CelebrateKind = 3.0f;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.currentAnim.View(), "twohandsraisedstart");
  EXPECT_EQ(P.CelebrateTimer, 0.05f) << "the start gesture does not count";
  P.currentframe = P.maxframes;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.currentAnim.View(), "twohandsraisedstillloop");
  EXPECT_EQ(P.CelebrateTimer, 0.05f);
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.CelebrateTimer, StepDown(0.05f)) << "the loop counts";
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.currentAnim.View(), "twohandsraisedend");
  EXPECT_EQ(P.CelebrateTimer, 10.0f);
  EXPECT_EQ(P.CelebrateStage, 0);
  P.currentframe = P.maxframes;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.CelebrateTimer, 0.0f);
  EXPECT_EQ(P.CelebrateStage, 1);
}

// ---------------------------------------------------------------- endings

TEST_F(ActionAnimationsTest, AnEndingNeedsTheAnimationAtItsLengthAndALoopingOneEndsOnlyExactlyThere) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(4);
  P.passcatchtimer = 5.0f;
  P.WillAttemptPassInterCept = kTrue32;
  Playing(P, "catchleft", 1837.0f, 1838.0f, true);
  EndActions(W, 1, 4);
  EXPECT_EQ(P.passcatchtimer, 5.0f);
  // Played on as a loop, it wraps past its length and never ends the catch.
  for (int frame = 0; frame < 200; ++frame) RunStep(AnimatePlayers);
  EXPECT_GT(P.AnimLoopCount, 0);
  EXPECT_EQ(P.passcatchtimer, 5.0f);
  P.currentframe = 1838.0f;
  EndActions(W, 1, 4);
  EXPECT_EQ(P.passcatchtimer, 0.0f);
  EXPECT_EQ(P.WillAttemptPassInterCept, kFalse32);
}

TEST_F(ActionAnimationsTest, EndedAnimationsClearTheirTimers) {
  struct Case {
    const char* what;
    int block;
    const char* anim;
    void (*set)(TWorld&, TPlayer&);
    bool (*check)(const TWorld&, const TPlayer&);
  };
  const Case cases[] = {
      {"shimmy", 1, "shimmyrightdiag",
       [](TWorld&, TPlayer& P) { P.shimmytimer = 1, P.ActionHoldTimer = 1, P.PassReadTimer = 1, P.AngleReactionTimer = 1; },
       [](const TWorld&, const TPlayer& P) {
         return P.shimmytimer == 0 && P.ActionHoldTimer == 0 && P.PassReadTimer == 0 && P.AngleReactionTimer == 0;
       }},
      {"centre pass", 2, "centerpass1", [](TWorld&, TPlayer& P) { P.passtimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.passtimer == 0; }},
      {"offload", 1, "twohandedoffloadlow", [](TWorld&, TPlayer& P) { P.OffloadPending = 1; },
       [](const TWorld&, const TPlayer& P) { return P.OffloadPending == 0; }},
      {"a kick, block 1", 1, "bomb", [](TWorld&, TPlayer& P) { P.KickTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.KickTimer == 0 && P.SpecialAnimTimer == 0; }},
      {"a kick, block 2", 2, "punt", [](TWorld&, TPlayer& P) { P.KickTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.KickTimer == 1; }},
      {"a conversion: walk away", 1, "goalkick", [](TWorld& W, TPlayer& P) { P.KickTimer = 1, W.KickType = kKickTypeConversion; },
       [](const TWorld&, const TPlayer& P) {
         return P.KickTimer == 0 && P.SpecialAnimTimer == 10 && P.SpecialAnimKind == 0 && P.SpecialAnimFacing == 270 &&
                P.SpecialAnimAngle == 270 && P.SpecialAnimSpeed == kSceneJogSpeed - 1;
       }},
      {"dot down", 2, "trydotdown", [](TWorld&, TPlayer& P) { P.DiveTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.DiveTimer == 0; }},
      {"celebration in tryscored", 1, "gorilla",
       [](TWorld& W, TPlayer& P) {
         W.gamestate = gsTryScored;
         P.standuptimer = 1, P.StandUpKind = 16, P.CelebrateStage = 2, P.CelebrateJoin = 1, P.CelebrateTimer = 1;
       },
       [](const TWorld&, const TPlayer& P) {
         return P.standuptimer == 0 && P.CelebrateStage == 0 && P.CelebrateJoin == 0 && P.CelebrateTimer == 0;
       }},
      {"celebration of another kind", 1, "gorilla", [](TWorld&, TPlayer& P) { P.standuptimer = 1, P.StandUpKind = 1; },
       [](const TWorld&, const TPlayer& P) { return P.standuptimer == 1; }},
      {"scrum feed", 1, "scrumfeed", [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.SpecialAnimTimer == 0; }},
      {"tap kick", 1, "tapkick", [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.SpecialAnimTimer == 1; }},
      {"trophy", 2, "trophybreathloop", [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.SpecialAnimTimer == 1; }},
      {"block exit 16", 2, "blockexit16", [](TWorld&, TPlayer& P) { P.BlockExitTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.BlockExitTimer == 0; }},
      {"block exit 17", 1, "blockexit17", [](TWorld&, TPlayer& P) { P.BlockExitTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.BlockExitTimer == 1; }},
      {"exited on 1", 1, "blockgotexitedon1", [](TWorld&, TPlayer& P) { P.BlockExitedOnTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.BlockExitedOnTimer == 0; }},
      {"lineout pass outside the lineout", 2, "lineoutpassleftp1", [](TWorld&, TPlayer& P) { P.LineOutTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.LineOutTimer == 0; }},
      {"lineout pass in the lineout", 1, "lineoutpassleftp1",
       [](TWorld& W, TPlayer& P) { P.LineOutTimer = 1, W.gamestate = gsLineout; },
       [](const TWorld&, const TPlayer& P) { return P.LineOutTimer == 1; }},
      {"fended, block 2", 2, "fendedleft", [](TWorld&, TPlayer& P) { P.ForcedRunTimer = 1, P.TackleAttemptTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.ForcedRunTimer == 0 && P.TackleAttemptTimer == 0; }},
      {"fended, block 1", 1, "fendedleft", [](TWorld&, TPlayer& P) { P.ForcedRunTimer = 1, P.TackleAttemptTimer = 1; },
       [](const TWorld&, const TPlayer& P) { return P.ForcedRunTimer == 1 && P.TackleAttemptTimer == 1; }},
      {"break, live", 1, "stumblerightback",
       [](TWorld& W, TPlayer& P) {
         P.BreakTackleTimer = 1, W.CarrierBrace = kTrue32, W.LiveWorld = kTrue32;
         W.Teams[1].CarrierActionKind = caBreak, W.Teams[1].CarrierActionTime = 1;
       },
       [](const TWorld& W, const TPlayer& P) {
         return P.BreakTackleTimer == 0 && W.CarrierBrace == 0 && W.Teams[1].CarrierActionTime == 0 &&
                W.Teams[1].CarrierActionEnded == kTrue32;
       }},
      {"break, look-ahead", 1, "chargeleft",
       [](TWorld& W, TPlayer& P) { P.BreakTackleTimer = 1, W.Teams[1].CarrierActionKind = caBreak, W.Teams[1].CarrierActionTime = 1; },
       [](const TWorld& W, const TPlayer& P) {
         return P.BreakTackleTimer == 0 && W.Teams[1].CarrierActionTime == 0 && W.Teams[1].CarrierActionEnded == 0;
       }},
      {"step, another carrier action", 1, "spinright",
       [](TWorld& W, TPlayer& P) { P.StepTimer = 1, W.LiveWorld = kTrue32, W.Teams[1].CarrierActionKind = caBreak, W.Teams[1].CarrierActionTime = 1; },
       [](const TWorld& W, const TPlayer& P) {
         return P.StepTimer == 0 && W.Teams[1].CarrierActionTime == 1 && W.Teams[1].CarrierActionEnded == 0;
       }},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    TPlayer& P = W.Teams[c.block].Players[6];
    Ended(P, c.anim);
    c.set(W, P);
    EndActions(W, c.block, 6);
    EXPECT_TRUE(c.check(W, P)) << c.what;
  }
}

TEST_F(ActionAnimationsTest, ALooseBallDiveLeadsToAGetUpAndAMarkToATapKick) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(11);
  W.MarkCalled = kTrue32;
  W.Teams[1].BallCarrier = 11;
  P.freeballcatchtimer = 3.0f;
  P.FreeBallCatchFacing = 135.0f;
  P.StandUpTurn = 5.0f;
  Ended(P, "looseballdive", 8700.0f);
  EndActions(W, 1, 11);
  EXPECT_EQ(P.freeballcatchtimer, 0.0f);
  EXPECT_EQ(P.standuptimer, 10.0f);
  EXPECT_EQ(P.StandUpFacing, 135.0f);
  EXPECT_EQ(P.StandUpTurn, 0.0f);
  EXPECT_EQ(P.StandUpKind, 1);
  EXPECT_EQ(P.SpecialAnimTimer, 0.0f) << "no tap kick straight out of the dive";
  ChooseActionAnim(W, 1, 11);
  EXPECT_EQ(P.currentAnim.View(), "trydivestandupbackflick");

  P.currentframe = P.maxframes;
  EndActions(W, 1, 11);
  EXPECT_EQ(P.standuptimer, 0.0f);
  EXPECT_EQ(P.SpecialAnimTimer, 10.0f);
  EXPECT_EQ(P.SpecialAnimKind, 3.0f);
  EXPECT_EQ(P.SpecialAnimAngle, 90.0f);
  EXPECT_EQ(P.SpecialAnimFacing, 90.0f);
  ChooseActionAnim(W, 1, 11);
  EXPECT_EQ(P.currentAnim.View(), "tapkick");
}

// A catch ended by someone who is not the carrier, or outside running,
// calls no tap kick.
TEST_F(ActionAnimationsTest, ACatchEndedByANonCarrierOrOutsideRunningCallsNoTapKick) {
  TWorld& W = MotionWorld;
  for (int k = 0; k < 2; ++k) {
    MakeMotionScene(W);
    TPlayer& Q = Att(11);
    W.MarkCalled = kTrue32;
    W.Teams[1].BallCarrier = k == 0 ? 12 : 11;
    W.gamestate = k == 0 ? gsRunning : gsFreeBall;
    Q.freeballcatchtimer = 3.0f;
    Ended(Q, "runningmidcatch");
    EndActions(W, 1, 11);
    EXPECT_EQ(Q.freeballcatchtimer, 0.0f);
    EXPECT_EQ(Q.SpecialAnimTimer, 0.0f) << k;
  }
}

TEST_F(ActionAnimationsTest, TheThrowerKeepsHisRoleWhileHeCarriesTheBallUntilPhase12Passes) {
  TWorld& W = MotionWorld;
  TPlayer& P = Att(2);
  W.gamestate = gsLineout;
  W.Teams[1].BallCarrier = 2;
  W.LineoutZ = 20.0f;
  W.LineoutOnNegativeX = kTrue32;
  P.LineOutTimer = 5.0f;
  P.LineoutRole = 3.0f;
  Ended(P, "lineoutthrow", 1830.0f);
  const TVector3 spot = P.DesiredPos;
  W.LineoutPhase = 12;
  const u32 seed = RandSeed;
  EndActions(W, 1, 2);
  EXPECT_EQ(P.LineoutRole, 3.0f);
  EXPECT_EQ(P.DesiredPos.x, spot.x);
  EXPECT_EQ(DrawsSince(seed), 0);

  W.LineoutPhase = 13;
  const i32 back = RandomRange(150, 301);
  const i32 in = RandomRange(480, 571);
  RandSeed = seed;
  EndActions(W, 1, 2);
  EXPECT_EQ(DrawsSince(seed), 2);
  EXPECT_EQ(P.LineoutRole, 0.0f);
  EXPECT_EQ(P.DesiredPos.z, ToF32(20.0 - back / 100.0)) << "the z draw comes first";
  EXPECT_EQ(P.DesiredPos.x, ToF32(-35.0 + in / 100.0));

  // Not the carrier: he leaves at once, on the positive side here.
  W.LineoutPhase = 5;
  W.Teams[1].BallCarrier = 1;
  W.LineoutOnNegativeX = kFalse32;
  P.LineoutRole = 3.0f;
  EndActions(W, 1, 2);
  EXPECT_EQ(P.LineoutRole, 0.0f);
  EXPECT_GE(P.DesiredPos.x, 35.0f - 5.7f);
  EXPECT_LE(P.DesiredPos.x, 35.0f - 4.8f);
}

// ---------------------------------------------------------------- cancellations

TEST_F(ActionAnimationsTest, PointingGesturesAreCancelledWhenPlayOrAnotherActionTakesOver) {
  struct Case {
    const char* what;
    int block;
    void (*set)(TWorld&, TPlayer&);
    bool cancelled;
  };
  const Case cases[] = {
      {"scrum standing", 1, [](TWorld&, TPlayer&) {}, false},
      {"scrum moving backwards", 1, [](TWorld& W, TPlayer&) { W.PackVelocityZ = -0.01f; }, true},
      {"scrum moving forwards", 2, [](TWorld& W, TPlayer&) { W.PackVelocityZ = 0.5f; }, false},
      {"free ball", 2, [](TWorld& W, TPlayer&) { W.gamestate = gsFreeBall; }, true},
      {"breakdown run released", 1, [](TWorld&, TPlayer& P) { P.ActionSeq.seqON = kTrue32, P.ActionSeq.SeqHeadFlag = kTrue32; }, true},
      {"sequence without the release", 1, [](TWorld&, TPlayer& P) { P.ActionSeq.seqON = kTrue32; }, false},
      {"marking a runner", 2, [](TWorld&, TPlayer& P) { P.RuckMarking = kTrue32; }, true},
      {"lying after a tackle", 1, [](TWorld&, TPlayer& P) { P.OldTackleTimer = 1; }, true},
      {"block exit", 2, [](TWorld&, TPlayer& P) { P.BlockExitTimer = 1; }, true},
      {"engaged in a block", 1, [](TWorld&, TPlayer& P) { P.BlockEngaged[1] = 3, P.BlockEngaged[2] = 1; }, true},
      {"pass on its way to him", 2, [](TWorld& W, TPlayer&) { W.Teams[2].PassReceiver = 8, W.Teams[2].PassTimeLeft = 0.5f; }, true},
      {"pass landed", 1, [](TWorld& W, TPlayer&) { W.Teams[1].PassReceiver = 8; }, false},
      {"kind 5", 1, [](TWorld& W, TPlayer& P) { P.SpecialAnimKind = 5, W.PackVelocityZ = -1; }, false},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = gsScrum;
    TPlayer& P = W.Teams[c.block].Players[8];
    P.SpecialAnimTimer = 1.0f;
    P.SpecialAnimKind = 6.0f;
    c.set(W, P);
    CancelActions(W, c.block, 8);
    EXPECT_EQ(P.SpecialAnimTimer, c.cancelled ? 0.0f : 1.0f) << c.what;
  }
}

TEST_F(ActionAnimationsTest, BlockMovesLastOnlyInOpenPlayWithoutOtherActions) {
  struct Case {
    const char* what;
    void (*set)(TWorld&, TPlayer&);
    bool exitKept, exitedOnKept;
  };
  const Case cases[] = {
      {"running, exit alone", [](TWorld&, TPlayer& P) { P.BlockExitedOnTimer = 0; }, true, false},
      {"running, exited on alone", [](TWorld&, TPlayer& P) { P.BlockExitTimer = 0; }, false, true},
      {"both at once: the exit goes first, so the other stays", [](TWorld&, TPlayer&) {}, false, true},
      {"scrum", [](TWorld& W, TPlayer& P) { W.gamestate = gsScrum, P.BlockExitedOnTimer = 0; }, false, false},
      {"special action", [](TWorld&, TPlayer& P) { P.SpecialAnimTimer = 1, P.BlockExitedOnTimer = 0; }, false, false},
      {"catching", [](TWorld&, TPlayer& P) { P.passcatchtimer = 1, P.BlockExitTimer = 0; }, false, false},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    TPlayer& P = Att(12);
    P.BlockExitTimer = 1.0f;
    P.BlockExitedOnTimer = 1.0f;
    c.set(W, P);
    const bool hadExit = P.BlockExitTimer > 0, hadExitedOn = P.BlockExitedOnTimer > 0;
    CancelActions(W, 1, 12);
    if (hadExit) {
      EXPECT_EQ(P.BlockExitTimer > 0, c.exitKept) << c.what;
    }
    if (hadExitedOn) {
      EXPECT_EQ(P.BlockExitedOnTimer > 0, c.exitedOnKept) << c.what;
    }
  }
}

}  // namespace
