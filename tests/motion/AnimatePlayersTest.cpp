// The animation step on the motion scene: sequence playback, the advance,
// the free test, the locomotion and rest choice and the playback rates.
#include "motion/AnimatePlayersUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MotionScene.h"
#include "platform/Form.h"

namespace {

using AnimatePlayersTest = MotionSceneTest;

// Busy with a breakdown role outside the role table: no locomotion choice,
// and the action choice starts nothing, so his animation goes on.
void MakeBusy(TPlayer& P) {
  P.RuckTimer = 5.0f;
  P.RuckRole = 99.0f;
}

TAnimSeqEntry Entry(const char* Name, bool Loop, f32 Duration, f32 Start, f32 End, f32 Rate) {
  TAnimSeqEntry e{};
  e.Name.Assign(Name);
  e.Loop = Flag(Loop);
  e.Duration = Duration;
  e.StartFrame = Start;
  e.EndFrame = End;
  e.Rate = Rate;
  return e;
}

void StartSequence(TPlayer& P, std::vector<TAnimSeqEntry> Entries) {
  P.AnimSeq = TAnimSeq{};
  for (size_t k = 0; k < Entries.size(); ++k) P.AnimSeq.Entries[static_cast<int>(k) + 1] = Entries[k];
  P.AnimSeq.NumEntries = static_cast<i16>(Entries.size());
  P.AnimSeq.Playing = kTrue32;
}

// ---------------------------------------------------------------- sequences

TEST_F(AnimatePlayersTest, AOneShotEntryPlaysItsSpanThenEndsOnItsLastFrameAndTheChoiceRunsAtOnce) {
  TWorld& W = MotionWorld;
  TPlayer& busy = Att(3);
  TPlayer& free = Att(4);
  MakeBusy(busy);
  for (TPlayer* P : {&busy, &free}) {
    Playing(*P, "breathing", 0.0f, 40.0f, false);
    P->AnimRate = 1000.0f;
    StartSequence(*P, {Entry("seqdemo", false, 0.0f, 10.0f, 40.0f, 30.0f)});
  }
  W.TimeStep = 0.5f;  // the sequence's clock: 0.5, 1.0, 1.5 s

  RunStep(AnimatePlayers);
  for (TPlayer* P : {&busy, &free}) {
    EXPECT_EQ(P->AnimSeq.TotalTime, 1.0f);
    EXPECT_EQ(P->AnimSeq.CurrEntry, 1);
    EXPECT_EQ(P->currentframe, 25.0f) << "halfway, whatever AnimRate holds";
    EXPECT_EQ(P->currentAnim.View(), "seqdemo");
    EXPECT_EQ(P->AnimRate, 1000.0f);
    EXPECT_NE(P->AnimSeq.Playing, 0);
  }
  RunStep(AnimatePlayers);
  EXPECT_EQ(free.currentframe, 10.0f) << "a one-shot entry at its exact end shows StartFrame";
  EXPECT_NE(free.AnimSeq.Playing, 0);

  RunStep(AnimatePlayers);
  EXPECT_EQ(busy.AnimSeq.Playing, 0);
  EXPECT_EQ(busy.currentAnim.View(), "seqdemo");
  EXPECT_EQ(busy.currentframe, 40.0f) << "the last frame stands";
  EXPECT_EQ(busy.AnimLoop, 0);
  EXPECT_EQ(free.AnimSeq.Playing, 0);
  EXPECT_EQ(free.currentAnim.View(), "breathing") << "the choice ran in the frame the sequence ended";
  EXPECT_FLOAT_EQ(free.currentframe, 1839.0f / 1.2f * 0.5f);
}

TEST_F(AnimatePlayersTest, TheFrameOfASequenceComesFromTheEntryAtItsTime) {
  struct Case {
    const char* what;
    std::vector<TAnimSeqEntry> entries;
    f32 time;
    f32 frame;
    i16 entry;
    bool playing;
  };
  const std::vector<Case> cases = {
      {"looping entry wraps in its span", {Entry("a", true, 3.0f, 0.0f, 30.0f, 30.0f)}, 1.5f, 15.0f, 1, true},
      {"equal start and end frames", {Entry("a", true, 2.0f, 20.0f, 20.0f, 30.0f)}, 1.3f, 20.0f, 1, true},
      {"second entry",
       {Entry("a", false, 0.0f, 0.0f, 30.0f, 30.0f), Entry("b", true, 2.0f, 50.0f, 60.0f, 10.0f)},
       1.5f, 55.0f, 2, true},
      {"a one-shot entry at rate 0 lasts 0 s",
       {Entry("a", false, 0.0f, 5.0f, 50.0f, 0.0f), Entry("b", true, 1.0f, 0.0f, 10.0f, 10.0f)},
       0.5f, 5.0f, 2, true},
      {"a looping entry at rate 0 shows its start", {Entry("a", true, 1.0f, 5.0f, 50.0f, 0.0f)}, 0.5f, 5.0f, 1, true},
      {"past the end: the last entry's end frame",
       {Entry("a", false, 0.0f, 0.0f, 30.0f, 30.0f), Entry("b", true, 2.0f, 50.0f, 60.0f, 10.0f)},
       5.0f, 60.0f, 2, false},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TPlayer& P = Att(5);
    MakeBusy(P);
    Playing(P, "breathing", 0.0f, 100.0f, false);
    StartSequence(P, c.entries);
    MotionWorld.TimeStep = c.time;
    RunStep(AnimatePlayers);
    EXPECT_FLOAT_EQ(P.currentframe, c.frame) << c.what;
    EXPECT_EQ(P.AnimSeq.CurrEntry, c.entry) << c.what;
    EXPECT_EQ(P.AnimSeq.Playing != 0, c.playing) << c.what;
    EXPECT_EQ(P.currentAnim.View(), c.entry == 1 ? "a" : "b") << c.what;
  }
}

TEST_F(AnimatePlayersTest, ASequenceNameIsKeptToThirtyCharacters) {
  TPlayer& P = Att(2);
  StartSequence(P, {Entry("divetackledoneononefallforward", true, 5.0f, 0.0f, 10.0f, 10.0f),
                    Entry("abcdefghijklmnopqrstuvwxyz12345", true, 5.0f, 0.0f, 10.0f, 10.0f)});
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.currentAnim.View(), "divetackledoneononefallforward");
  MotionWorld.TimeStep = 5.0f;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.AnimSeq.CurrEntry, 2);
  EXPECT_EQ(P.currentAnim.View(), "abcdefghijklmnopqrstuvwxyz1234");
}

// ---------------------------------------------------------------- advance

TEST_F(AnimatePlayersTest, ALoopWrapsAndCountsItsLoopsAOneShotStaysAtItsLength) {
  TPlayer& loop = Att(1);
  TPlayer& once = Att(2);
  TPlayer& empty = Att(3);
  for (TPlayer* P : {&loop, &once, &empty}) MakeBusy(*P);
  Playing(loop, "noruleloop", 99.0f, 100.0f, true);
  Playing(once, "noruleonce", 99.0f, 100.0f, false);
  Playing(empty, "noruleloop", 0.0f, 0.0f, true);
  for (TPlayer* P : {&loop, &once, &empty}) P->AnimRate = 100.0f;  // 4 frames a step

  RunStep(AnimatePlayers);
  EXPECT_FLOAT_EQ(loop.currentframe, 3.0f);
  EXPECT_EQ(loop.AnimLoopCount, 1);
  EXPECT_EQ(once.currentframe, 100.0f);
  EXPECT_EQ(empty.currentframe, 0.0f) << "a loop without frames stays at 0";
  RunStep(AnimatePlayers);
  EXPECT_FLOAT_EQ(loop.currentframe, 7.0f);
  EXPECT_EQ(loop.AnimLoopCount, 1);
  EXPECT_EQ(once.currentframe, 100.0f);
  EXPECT_EQ(once.AnimLoopCount, 0);
}

TEST_F(AnimatePlayersTest, AChoiceNamingThePlayingAnimationDoesNotRestartIt) {
  TPlayer& P = Att(6);
  Playing(P, "breathing", 500.0f, 1839.0f);
  P.AnimLoopCount = 3;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.currentAnim.View(), "breathing");
  EXPECT_FLOAT_EQ(P.currentframe, 500.0f + 1839.0f / 1.2f * 0.04f);
  EXPECT_EQ(P.AnimLoopCount, 3);
}

// ---------------------------------------------------------------- free test

TEST_F(AnimatePlayersTest, APlayerIsFreeWithoutActionTimersOrWhenAnExceptionHolds) {
  struct Case {
    const char* what;
    int block;
    void (*set)(TPlayer&);
    bool free;
  };
  const Case cases[] = {
      {"no timer", 1, [](TPlayer&) {}, true},
      {"passing", 1, [](TPlayer& P) { P.passtimer = 1; }, false},
      {"kicking, block 1", 1, [](TPlayer& P) { P.KickTimer = 1; }, false},
      {"KickTimer in block 2", 2, [](TPlayer& P) { P.KickTimer = 1; }, true},
      {"StepTimer in block 2", 2, [](TPlayer& P) { P.StepTimer = 1; }, true},
      {"breakdown release delay", 1, [](TPlayer& P) { P.RuckTimer2 = 1; }, false},
      {"tackled, kind 0", 1, [](TPlayer& P) { P.GettingTackledTimer = 1; }, true},
      {"tackled, kind 0, offload pending", 1,
       [](TPlayer& P) {
         P.GettingTackledTimer = 1;
         P.OffloadPending = 1;
       },
       false},
      {"tackled, kind 1", 1,
       [](TPlayer& P) {
         P.GettingTackledTimer = 1;
         P.GettingTackledKind = 1;
       },
       false},
      {"tackle attempt kind 0, block 2", 2, [](TPlayer& P) { P.TackleAttemptTimer = 1; }, true},
      {"tackle attempt kind 0, block 1", 1, [](TPlayer& P) { P.TackleAttemptTimer = 1; }, false},
      {"ruck role 60", 1,
       [](TPlayer& P) {
         P.RuckTimer = 1;
         P.RuckRole = 60;
       },
       true},
      {"ruck role 2", 1,
       [](TPlayer& P) {
         P.RuckTimer = 1;
         P.RuckRole = 2;
       },
       false},
      {"lineout role 1", 2,
       [](TPlayer& P) {
         P.LineOutTimer = 1;
         P.LineoutRole = 1;
       },
       true},
      {"maul hold kind 1", 1,
       [](TPlayer& P) {
         P.MaulHoldTimer = 1;
         P.MaulHoldKind = 1;
       },
       true},
      {"maul hold kind 0", 1, [](TPlayer& P) { P.MaulHoldTimer = 1; }, false},
      {"special action kind 0", 1, [](TPlayer& P) { P.SpecialAnimTimer = 1; }, true},
      {"celebrating", 1, [](TPlayer& P) { P.CelebrateTimer = 1; }, false},
  };
  for (const Case& c : cases) {
    TPlayer P{};
    c.set(P);
    EXPECT_EQ(IsFreeOfActions(P, c.block), c.free) << c.what;
  }
}

// ---------------------------------------------------------------- locomotion

TEST_F(AnimatePlayersTest, AGaitChangeKeepsThePhase) {
  TPlayer& P = Att(7);
  Playing(P, "jogfists", 50.0f, 100.0f);
  P.speed = 5.0f;
  P.desiredspeed = 6.0f;
  ChooseLocomotionAnim(MotionWorld, 1, 7);
  EXPECT_EQ(P.currentAnim.View(), "sprint");
  EXPECT_EQ(P.currentframe, 919.5f);
  EXPECT_EQ(P.maxframes, 1839.0f);
  EXPECT_EQ(P.AnimFreshStart, kFalse32);
  EXPECT_EQ(P.AnimLoop, kTrue32);
  EXPECT_EQ(P.BallTrack, 1);
  // Playing it again changes nothing; from a non-gait it starts fresh.
  ChooseLocomotionAnim(MotionWorld, 1, 7);
  EXPECT_EQ(P.currentframe, 919.5f);
  Playing(P, "catchleft", 900.0f, 1838.0f, false);
  ChooseLocomotionAnim(MotionWorld, 1, 7);
  EXPECT_EQ(P.currentAnim.View(), "sprint");
  EXPECT_EQ(P.currentframe, 0.0f);
  EXPECT_EQ(P.AnimFreshStart, kTrue32);
}

TEST_F(AnimatePlayersTest, AFreshWalkIsHeldForAQuarterCycle) {
  TPlayer& P = Att(8);
  P.speed = 0.0f;
  P.DesiredPos.z += 3.0f;  // off his spot: walking
  Playing(P, "breathing", 0.0f, 1839.0f);
  ChooseLocomotionAnim(MotionWorld, 1, 8);
  ASSERT_EQ(P.currentAnim.View(), "walk");
  EXPECT_EQ(P.AnimFreshStart, kTrue32);
  P.speed = 4.0f;
  P.desiredspeed = 4.0f;
  P.currentframe = 475.0f;  // exactly a quarter of 1900
  ChooseLocomotionAnim(MotionWorld, 1, 8);
  EXPECT_EQ(P.currentAnim.View(), "walk");
  P.currentframe = 500.0f;
  ChooseLocomotionAnim(MotionWorld, 1, 8);
  EXPECT_EQ(P.currentAnim.View(), "jogfists");
  EXPECT_FLOAT_EQ(P.currentframe, 500.0f / 1900.0f * 100.0f);
  // A looped fresh gait is free again.
  Playing(P, "walk", 10.0f, 1900.0f);
  P.AnimFreshStart = kTrue32;
  P.AnimLoopCount = 1;
  ChooseLocomotionAnim(MotionWorld, 1, 8);
  EXPECT_EQ(P.currentAnim.View(), "jogfists");
}

TEST_F(AnimatePlayersTest, WalkingNeedsSpeedAboveThreeTenthsOrASpotMoreThanATenthAway) {
  struct Case {
    const char* what;
    f32 speed;
    f32 dx, dz;
    const char* anim;
  };
  const Case cases[] = {
      {"on his spot at 0.3 m/s", 0.3f, 0.0f, 0.0f, "breathing"},
      {"on his spot at 0.31 m/s", 0.31f, 0.0f, 0.0f, "walk"},
      {"0.1 m off in x", 0.0f, 0.1f, 0.0f, "breathing"},
      {"0.11 m off in z", 0.0f, 0.0f, -0.11f, "walk"},
      {"3.2 m/s walks", 3.2f, 0.0f, 0.0f, "walk"},
      {"above 3.2 m/s runs", 3.21f, 0.0f, 0.0f, "jogfists"},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TPlayer& P = Att(9);
    Playing(P, "catchleft", 1838.0f, 1838.0f, false);
    P.speed = c.speed;
    P.DesiredPos.x = ToF32(static_cast<double>(P.Pos.x) + c.dx);
    P.DesiredPos.z = ToF32(static_cast<double>(P.Pos.z) + c.dz);
    ChooseLocomotionAnim(MotionWorld, 1, 9);
    EXPECT_EQ(P.currentAnim.View(), c.anim) << c.what;
  }
}

TEST_F(AnimatePlayersTest, TheRestAnimationFollowsRestStyleOutsideOpenPlay) {
  TPlayer& P = Att(10);
  P.RestStyle = 2;
  Playing(P, "walk", 0.0f, 1900.0f);
  MotionWorld.gamestate = gsScrum;
  ChooseLocomotionAnim(MotionWorld, 1, 10);
  EXPECT_EQ(P.currentAnim.View(), "breathingback");
  EXPECT_EQ(P.AnimFreshStart, kTrue32);
  EXPECT_EQ(P.BallTrack, 1);

  Playing(P, "walk", 0.0f, 1900.0f);
  MotionWorld.gamestate = gsRunning;
  ChooseLocomotionAnim(MotionWorld, 1, 10);
  EXPECT_EQ(P.currentAnim.View(), "breathing");
  EXPECT_EQ(P.RestStyle, 0);

  // A fresh rest is held for 55 %; a style above 4 starts nothing.
  Playing(P, "breathingtired", 1000.0f, 1839.0f);
  P.AnimFreshStart = kTrue32;
  P.RestStyle = 0;
  MotionWorld.gamestate = gsScrum;
  ChooseLocomotionAnim(MotionWorld, 1, 10);
  EXPECT_EQ(P.currentAnim.View(), "breathingtired");
  P.AnimFreshStart = kFalse32;
  P.RestStyle = 5;
  ChooseLocomotionAnim(MotionWorld, 1, 10);
  EXPECT_EQ(P.currentAnim.View(), "breathingtired");
}

TEST_F(AnimatePlayersTest, TheBlockOneCarrierRunsBracesTurnsAndIsDrivenBack) {
  TWorld& W = MotionWorld;
  W.Teams[1].BallCarrier = 11;
  TPlayer& C = Att(11);
  Playing(C, "breathingwithball", 0.0f, 1920.0f);
  C.speed = 6.0f;
  C.MeasuredSpeed = 5.0f;
  C.maxspeed = 7.0f;  // 0.857 of his top speed: not accelerating
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "sprintwithball");
  EXPECT_EQ(C.AnimFreshStart, kTrue32);

  // Fresh and not looped yet: nothing changes.
  C.maxspeed = 10.0f;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "sprintwithball");
  C.AnimLoopCount = 1;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "acceleratewithball");
  EXPECT_EQ(C.BallTrack, 76);

  C.AnimFreshStart = kFalse32;
  C.TurnRightWithBall = 1;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "turn45rightwithball");
  EXPECT_EQ(C.BallTrack, 70);
  EXPECT_EQ(C.TurnRightWithBall, 0);

  W.CarrierBrace = kTrue32;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "bracewithball");
  EXPECT_EQ(C.BallTrack, 73);
  EXPECT_NE(W.CarrierBrace, 0);
  C.AnimLoopCount = 1;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(W.CarrierBrace, 0) << "braced for one loop";
  EXPECT_EQ(C.currentAnim.View(), "bracewithball");

  C.GettingTackledTimer = 1.0f;  // kind 0: still free
  ASSERT_TRUE(IsFreeOfActions(C, 1));
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "tackledrivewithball");
  EXPECT_EQ(C.BallTrack, 74);

  C.GettingTackledTimer = 0.0f;
  C.speed = 0.5f;
  ChooseLocomotionAnim(W, 1, 11);
  EXPECT_EQ(C.currentAnim.View(), "breathingwithball");
  EXPECT_EQ(C.BallTrack, 8);
}

TEST_F(AnimatePlayersTest, ATacklerAttemptingPlaysTheTackleLoop) {
  TWorld& W = MotionWorld;
  TPlayer& tackler = Def(2);
  tackler.TackleAttemptTimer = 1.0f;
  ChooseLocomotionAnim(W, 2, 2);
  EXPECT_EQ(tackler.currentAnim.View(), "intackleloop");
}

TEST_F(AnimatePlayersTest, OnlyTheTransitionHolderSprintsWithTheBall) {
  TWorld& W = MotionWorld;
  TPlayer& holder = Def(3);
  W.gamestate = gsTransition;
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolder = 3;
  W.TransitionHolderFirstBlock = kFalse32;
  holder.speed = 1.0f;
  ChooseLocomotionAnim(W, 2, 3);
  EXPECT_EQ(holder.currentAnim.View(), "sprintwithball");
  Att(3).speed = 1.0f;
  ChooseLocomotionAnim(W, 1, 3);
  EXPECT_EQ(Att(3).currentAnim.View(), "walk") << "the holder is in block 2";
}

TEST_F(AnimatePlayersTest, AnEngagedBlockerPlaysHisBlockLoop) {
  TWorld& W = MotionWorld;
  TPlayer& blocker = Att(4);
  blocker.BlockEngaged[1] = 2;
  blocker.BlockEngaged[2] = 1;
  blocker.BlockLoopNumber = 13;
  ChooseLocomotionAnim(W, 1, 4);
  EXPECT_EQ(blocker.currentAnim.View(), "blockloop13");
}

TEST_F(AnimatePlayersTest, AScrimmagerInRunningComesOffTheLineAndEndsAfterMostOfALoop) {
  TWorld& W = MotionWorld;
  TPlayer& S = Att(5);
  W.gamestate = gsRunning;
  S.ScrimmageNumber = 2;
  S.speed = 5.0f;
  Playing(S, "srimmagesetting2", 100.0f, 100.0f, false);
  ChooseLocomotionAnim(W, 1, 5);
  EXPECT_EQ(S.currentAnim.View(), "srimmageofftheline2");
  EXPECT_EQ(S.AnimFreshStart, kTrue32);
  EXPECT_EQ(S.ScrimmageNumber, 2);
  S.currentframe = 96.0f;
  ChooseLocomotionAnim(W, 1, 5);
  EXPECT_EQ(S.ScrimmageNumber, 0) << "off the line for 95 % of a loop";
}

TEST_F(AnimatePlayersTest, AScrimmagerAtABreakdownSetsThenRestartsHisBreathLoop) {
  TWorld& W = MotionWorld;
  TPlayer& G = Att(6);
  W.gamestate = gsGotTackled;
  G.ScrimmageNumber = 3;
  ChooseLocomotionAnim(W, 1, 6);
  EXPECT_EQ(G.currentAnim.View(), "srimmagesetting3");
  EXPECT_EQ(G.AnimLoop, kFalse32);
  Playing(G, "srimmagebreathloop3", 96.0f, 100.0f);
  ChooseLocomotionAnim(W, 1, 6);
  EXPECT_EQ(G.currentAnim.View(), "srimmagebreathloop3");
  EXPECT_EQ(G.currentframe, 0.0f) << "restarted from frame 0";
}

// ---------------------------------------------------------------- rates

struct RateCase {
  const char* what;
  int block;
  const char* anim;
  f32 maxframes;
  f32 speed;
  f32 rate;
};

TEST_F(AnimatePlayersTest, RatesFollowSpeedFixedCyclesAndNumberedBlockAnimations) {
  const RateCase cases[] = {
      {"sprint at 10 m/s", 1, "sprint", 1839, 10, 1839 / 0.4f},
      {"sprint at 5 m/s", 2, "sprint", 1839, 5, 1839 / 0.6f},
      {"sprint at rest", 1, "sprintwithball", 1839, 0, 1839 / 0.8f},
      {"jogfists at rest", 1, "jogfists", 100, 0, 100 / 0.72f},
      {"walk at 4 m/s", 1, "walk", 1900, 4, 1900 / 0.75f},
      {"accelerating at 2 m/s", 1, "acceleratewithball", 100, 2, 100 / 0.7f},
      {"driven back at 1 m/s", 1, "tackledrivewithball", 100, 1, 100 / 0.45f},
      {"driving in block 2", 2, "tackledrivewithball", 100, 1, 100 / 0.4f},
      {"breathing", 2, "breathing", 1839, 0, 1839 / 1.2f},
      {"fend, block 1", 1, "fendleft", 1839, 0, ToF32(1839 / 0.4636364)},
      {"pelko", 2, "pelko", 100, 0, ToF32(100 / 2.95)},
      {"charge", 1, "charge", 1920, 0, ToF32(1920 / 0.5272727)},
      {"blockloop 13", 1, "blockloop13", 100, 0, 100 / 0.4f},
      {"blockloop 7", 2, "blockloop7", 100, 0, 100 / 0.65f},
      {"blockexit 15", 1, "blockexit15", 100, 0, 100 / 0.6f},
      {"blockgotexitedon 7", 1, "blockgotexitedon7", 100, 0, 100 / 0.6f},
      {"scrimmage breath loop 2", 1, "srimmagebreathloop2", 100, 0, 100 / 0.35f},
      // Names without a rule keep the rate (77).
      {"fend in block 2", 2, "fendleft", 1839, 0, 77},
      {"tackle loop in block 1", 1, "intackleloop", 1839, 0, 77},
      {"scrimmage of another number", 1, "srimmagesetting3", 100, 0, 77},
      {"blockloop of another number", 1, "blockloop1", 100, 0, 77},
      {"unknown", 1, "moonwalk", 100, 0, 77},
  };
  for (const RateCase& c : cases) {
    MakeMotionScene(MotionWorld);
    TPlayer& P = MotionWorld.Teams[c.block].Players[4];
    Playing(P, c.anim, 0.0f, c.maxframes);
    P.speed = c.speed;
    P.AnimRate = 77.0f;
    P.ScrimmageNumber = 2;
    P.BlockLoopNumber = c.anim == std::string("blockloop7") ? 7 : 13;
    P.BlockExitNumber = 15;
    P.BlockExitedOnNumber = 7;
    SetPlaybackRate(MotionWorld, c.block, 4);
    EXPECT_FLOAT_EQ(P.AnimRate, c.rate) << c.what;
  }
}

// The rate rule found for a name is kept with the name from frame to frame:
// a name written over it, a whole record copied in, or new numbers for the
// same numbered name must each be paced afresh.
TEST_F(AnimatePlayersTest, TheRateFollowsEachNewNameOnTheSameRecord) {
  MakeMotionScene(MotionWorld);
  TPlayer& P = MotionWorld.Teams[1].Players[4];
  P.speed = 4.0f;
  Playing(P, "breathing", 0.0f, 1839);
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 1839 / 1.2f);
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 1839 / 1.2f);

  P.currentAnim.Assign("walk");  // as the contact units do, without StartAnim
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 1839 / 0.75f);

  TPlayer& Q = MotionWorld.Teams[1].Players[5];
  Playing(Q, "pelko", 0.0f, 100);
  SetPlaybackRate(MotionWorld, 1, 5);
  P = Q;
  P.AnimRate = 77.0f;
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, ToF32(100 / 2.95));

  Playing(P, "blockloop7", 0.0f, 100);
  P.BlockLoopNumber = 7;
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 100 / 0.65f);
  P.BlockLoopNumber = 8;  // another number: the name is no longer his block loop
  P.AnimRate = 77.0f;
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 77.0f);
  P.BlockLoopNumber = 7;
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 100 / 0.65f);

  P.currentAnim.Assign("moonwalk");
  P.AnimRate = 77.0f;
  SetPlaybackRate(MotionWorld, 1, 4);
  EXPECT_FLOAT_EQ(P.AnimRate, 77.0f);
}

TEST_F(AnimatePlayersTest, PassesAndKicksArePacedByTheReleaseTimes) {
  struct Case {
    const char* what;
    int block;
    TGameState state;
    bool carrier;
    const char* anim;
    f32 maxframes;
    f32 release;
    f32 rate;
  };
  const Case cases[] = {
      {"carrier's long pass in running", 1, gsRunning, true, "longpassleft", 2638, 0.52f, 2638},
      {"the same after the pass", 1, gsPassing, true, "longpassleft", 2638, 0.52f, ToF32(2638 / (1.25 * 0.6))},
      {"a support player's pop pass", 1, gsRunning, false, "poppassright", 2388, 0.5f, ToF32(2388 / 0.75)},
      {"block 2 always by release", 2, gsPassing, false, "shortpassright", 2638, 0.45f, 2638},
      {"standing still, block 1", 1, gsRunning, true, "standingstillpassleft", 2638, 0.85f, ToF32(0.425 * 2638 / 0.85f)},
      {"standing still, block 2", 2, gsRunning, false, "standingstillpassleft", 2720, 0.5f, 2720},
      {"qb pass block 1", 1, gsPassing, false, "qbpass1", 100, 0.39f, 100},
      {"qb pass block 2", 2, gsPassing, false, "qbpass1", 100, 0.41f, 100},
      {"offload", 1, gsRunning, true, "twohandedoffloadlow", 1920, 0.5f, 1920},
      {"punt counts 9838 frames", 1, gsRunning, true, "punt", 100, 0.55f, 9838},
      {"grubber", 1, gsRunning, true, "grubber", 1839, 0.6f, 1839},
      {"release 0 gives 10", 1, gsRunning, true, "chip", 1839, 0.0f, 10},
      {"negative release gives 10", 2, gsRunning, false, "longpassleft", 2638, -0.2f, 10},
      {"dummy-half left 0 gives 10", 1, gsRunning, true, "dummyhalfpassleft", 5678, 0.0f, 10},
      {"dummy-half right in block 2 at 0", 2, gsRunning, false, "dummyhalfpassright", 5678, 0.0f, 10},
      {"goal kick", 1, gsKickRestartSet, true, "goalkick", 9500, 0.55f, 9500},
      {"goal kick, block release 0", 2, gsKickRestartSet, false, "goalkick", 9500, 0.0f, 10},
      {"shimmy", 2, gsRunning, false, "shimmyleftdiag", 2328, 0.5f, 4656},
      {"shimmy of no length", 1, gsRunning, false, "shimmyright", 2328, 0.0f, 10},
  };
  Form1.Memo2.Clear();
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = c.state;
    W.Teams[c.block].BallCarrier = c.carrier ? 4 : 9;
    TPlayer& P = W.Teams[c.block].Players[4];
    Playing(P, c.anim, 0.0f, c.maxframes, false);
    P.speed = 5.0f;
    for (TDistribution* d : {&P.PopPassRightReleaseTime, &P.ShortPassRightReleaseTime, &P.LongPassLeftReleaseTime,
                             &P.StandingStillPassLeftReleaseTime, &P.LongPassRightReleaseTime,
                             &P.OffloadReleaseTime, &P.PuntRightFootReleaseTime, &P.GrubberReleaseTime,
                             &P.ChipReleaseTime, &P.DummyhalfPassLeftReleaseTime, &P.DummyhalfPassRightReleaseTime})
      d->value = c.release;
    W.Teams[c.block].GoalKickReleaseTime = c.release;
    P.ShimmyDuration = c.release;
    ClearFloatFlags();
    SetPlaybackRate(W, c.block, 4);
    EXPECT_FALSE(FloatErrorRaised()) << c.what;
    EXPECT_FLOAT_EQ(P.AnimRate, c.rate) << c.what;
  }
  EXPECT_EQ(Form1.Memo2.Count(), 0u) << "only block 1's dummy-half pass right logs";
}

TEST_F(AnimatePlayersTest, AZeroDummyHalfReleaseInBlockOneLogsTwoLinesEveryFrame) {
  TWorld& W = MotionWorld;
  W.clock = 90.0f;
  TPlayer& P = Att(9);
  Playing(P, "dummyhalfpassright", 0.0f, 5678.0f, false);
  P.passtimer = 10.0f;
  P.DummyhalfPassRightReleaseTime.value = 0.0f;
  Form1.Memo2.Clear();
  RunStep(AnimatePlayers);
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.AnimRate, 10.0f);
  EXPECT_EQ(Form1.Memo2.Lines, (std::vector<std::string>{"0 time pass at 1.5", "by 9", "0 time pass at 1.5", "by 9"}));
  Form1.Memo2.Clear();
  P.DummyhalfPassRightReleaseTime.value = -0.1f;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.AnimRate, 10.0f);
  EXPECT_EQ(Form1.Memo2.Count(), 0u) << "a negative draw is mended without the lines";
  P.DummyhalfPassRightReleaseTime.value = 0.5f;
  RunStep(AnimatePlayers);
  EXPECT_EQ(P.AnimRate, 5678.0f);
}

TEST_F(AnimatePlayersTest, CenterPassTurnsIntoTheScrimmageStartInBlockOne) {
  struct Case {
    const char* what;
    int block;
    TGameState state;
    bool carrier;
    f32 frame;
    bool turns;
  };
  const Case cases[] = {
      {"passing, past 10 %", 1, gsPassing, false, 11, true},
      {"free ball", 1, gsFreeBall, true, 11, true},
      {"running, not the carrier", 1, gsRunning, false, 11, true},
      {"running carrier", 1, gsRunning, true, 11, false},
      {"gottackled", 1, gsGotTackled, false, 11, false},
      {"exactly 10 %", 1, gsPassing, false, 10, false},
      {"block 2", 2, gsPassing, false, 11, false},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.gamestate = c.state;
    W.Teams[c.block].BallCarrier = c.carrier ? 4 : 9;
    TPlayer& P = W.Teams[c.block].Players[4];
    Playing(P, "centerpass1", c.frame, 100.0f, false);
    P.passtimer = 5.0f;
    SetPlaybackRate(W, c.block, 4);
    EXPECT_FLOAT_EQ(P.AnimRate, 125.0f) << c.what;
    EXPECT_EQ(P.currentAnim.View(), c.turns ? "srimmageofftheline1" : "centerpass1") << c.what;
    EXPECT_EQ(P.ScrimmageNumber, c.turns ? 1 : 0) << c.what;
    EXPECT_EQ(P.passtimer, c.turns ? 0.0f : 5.0f) << c.what;
    EXPECT_EQ(P.AnimLoop, c.turns ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(P.currentframe, c.frame) << c.what;
  }
}

TEST_F(AnimatePlayersTest, BlockTwosDiveAtATackledCarrierIsSlowedEarlyOn) {
  struct Case {
    const char* what;
    int block;
    f32 frame;
    i32 governedby;
    bool slowed;
  };
  const Case cases[] = {
      {"early dive at the tackled carrier", 2, 1000, 0, true},
      {"past 37.5 %", 2, 1703, 0, false},
      {"governed", 2, 1000, 5, false},
      {"block 1", 1, 1000, 0, false},
  };
  for (const Case& c : cases) {
    MakeMotionScene(MotionWorld);
    TWorld& W = MotionWorld;
    W.Teams[1].BallCarrier = 10;
    Att(10).GettingTackledTimer = 1.0f;
    TPlayer& P = W.Teams[c.block].Players[4];
    P.target = 10;
    P.governedby = c.governedby;
    Playing(P, "divetacklefallforward", c.frame, 4540.0f, false);
    SetPlaybackRate(W, c.block, 4);
    const double rate = 4540 / 0.98;
    EXPECT_FLOAT_EQ(P.AnimRate, ToF32(c.slowed ? rate * 0.4 : rate)) << c.what;
  }
}

}  // namespace
