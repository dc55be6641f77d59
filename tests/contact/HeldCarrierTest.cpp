// The held carrier in running play: the windows, going to ground early,
// holders settling at their points and the carrier taken to ground, as the
// running contact step runs them.
#include "contact/HeldCarrier.h"

#include <string>

#include "AllocationCounter.h"
#include "RunningScene.h"
#include "core/DrawCount.h"
#include "platform/Form.h"

namespace {

using namespace running_scene;

constexpr int kTackler = 4;

// A - B as the steps count a timer down: in double, narrowed once.
f32 Less(f32 A, f32 B) { return ToF32(static_cast<double>(A) - B); }

// The carrier at the centre spot, held by defender 4 who has the point
// straight ahead of him (3) and stands 0.46 m beyond it; TacklersWanted 2, so
// the tackle is not complete. He has been held 0.5 s, the join window has
// 0.6 s left; he runs on at 3 m/s with nobody near.
class HeldCarrierTest : public RunningSceneTest {
 protected:
  void SetUp() override {
    RunningSceneTest::SetUp();
    TPlayer& C = Carrier();
    C.numgoverning = 1;
    C.governedby = kCarrier;
    C.GettingTackledTimer = 10.0f;
    C.GettingTackledFacing = 90.0f;
    C.Velocity = {0.0f, 3.0f};
    C.OldVelocity = C.Velocity;
    C.BallSecurity = 500;
    Bind(kTackler, 3);
    Place(Defender(kTackler), 0.0f, 1.0f);
    W.Teams[2].TacklersWanted = 2;
    W.Teams[2].TackleHeading = 90.0f;
    W.TackleJoinTime = 0.6f;
    W.CarrierHeldTime = 0.5f;
  }

  static void Bind(int p, int point) {
    TPlayer& D = Defender(p);
    D.target = kCarrier;
    D.governedby = kCarrier;
    D.ContactPoint = point;
    D.TackleAttemptTimer = 10.0f;
    D.TackleAttemptKind = 1.0f;
    D.BallSecurity = 500;
    if (point != 0) Carrier().FootprintHolder[point] = p;
  }

  // The carrier has stopped and a team-mate (3) stands 2 m behind him: he
  // goes to ground once held long enough.
  static void StoppedWithSupport() {
    Carrier().Velocity = {0.0f, 0.0f};
    Carrier().OldVelocity = {0.0f, 0.0f};
    Place(Attacker(3), Carrier().Pos.x + 1.0f, Carrier().Pos.z - 2.0f);
  }

  // Completes the tackle: as many tacklers hold him as are wanted.
  static void Complete() { W.Teams[2].TacklersWanted = Carrier().numgoverning; }
};

// ---------------------------------------------------------------- windows

TEST_F(HeldCarrierTest, WindowsCountDownOnlyWhileTheCarrierIsHeld) {
  struct Case {
    const char* what;
    int holders;
    f32 offload, offloadAfter;
    bool cleared;
  } cases[] = {
      {"offload window open", 1, 0.1f, Less(0.1f, 0.04f), false},
      {"offload window runs out", 1, 0.03f, Less(0.03f, 0.04f), true},
      {"offload window reaches 0 exactly", 1, 0.04f, 0.0f, false},
      {"no window", 1, 0.0f, 0.0f, false},
      {"not held", 0, 0.03f, 0.03f, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Carrier().numgoverning = c.holders;
    if (c.holders == 0) Defender(kTackler).governedby = Defender(kTackler).target = 0;
    W.Teams[1].OffloadTime = c.offload;
    Carrier().OffloadPending = 1.0f;
    W.Teams[1].PassTimeLeft = 0.3f;
    Step();
    EXPECT_EQ(W.Teams[1].OffloadTime, c.offloadAfter) << c.what;
    EXPECT_EQ(Carrier().OffloadPending, c.cleared ? 0.0f : 1.0f) << c.what;
    EXPECT_EQ(W.Teams[1].PassTimeLeft, c.cleared ? 0.0f : 0.3f) << c.what;
    EXPECT_EQ(W.TackleJoinTime, c.holders > 0 ? Less(0.6f, 0.04f) : 0.6f) << c.what;
  }
}

TEST_F(HeldCarrierTest, WhenTheJoinWindowIsOverNoMoreTacklersMayJoin) {
  W.TackleJoinTime = 0.04f;
  W.GoToGroundDecided = kTrue32;
  Step();
  EXPECT_EQ(W.TackleJoinTime, 0.0f);
  EXPECT_EQ(W.Teams[2].TacklersWanted, 1);

  SetUp();
  W.TackleJoinTime = 0.05f;
  W.GoToGroundDecided = kTrue32;
  Step();
  EXPECT_EQ(W.Teams[2].TacklersWanted, 2) << "the window is still open";
}

// ---------------------------------------------------------------- going to ground

TEST_F(HeldCarrierTest, TheCarrierGoesToGroundWhenHeGainsNothingMoreWithSupportOverTheLineOrIntoTouch) {
  struct Case {
    const char* what;
    void (*change)();
    bool decides;
  } cases[] = {
      {"driving forward with no support", [] {}, false},
      {"driving forward 0.3 m over the goal line", [] { Place(Carrier(), 0.0f, 50.3f); }, true},
      {"driving forward 0.2 m over the goal line", [] { Place(Carrier(), 0.0f, 50.2f); }, false},
      {"stopped with a team-mate 2 m behind", StoppedWithSupport, true},
      {"stopped, the team-mate 1 m ahead",
       [] {
         StoppedWithSupport();
         Attacker(3).Pos.z = Carrier().Pos.z + 1.0f;
       },
       false},
      {"stopped, the team-mate 5.5 m across",
       [] {
         StoppedWithSupport();
         Attacker(3).Pos.x = Carrier().Pos.x + 5.5f;
       },
       false},
      {"stopped, no support", [] { Carrier().Velocity = Carrier().OldVelocity = {0.0f, 0.0f}; }, false},
      {"slowing to a stop within the window, with support",
       [] {
         StoppedWithSupport();
         Carrier().Velocity = {0.0f, 1.0f};
         Carrier().OldVelocity = {0.0f, 1.2f};
       },
       true},
      {"running into touch within the window",
       [] {
         Place(Carrier(), 33.0f, 0.0f);
         Carrier().Velocity = {3.0f, 3.0f};
         Carrier().OldVelocity = Carrier().Velocity;
       },
       true},
      {"running across, staying in",
       [] {
         Place(Carrier(), 32.0f, 0.0f);
         Carrier().Velocity = {3.0f, 3.0f};
         Carrier().OldVelocity = Carrier().Velocity;
       },
       false},
  };
  for (const Case& c : cases) {
    SetUp();
    c.change();
    const u32 before = RandSeed;
    Step();
    EXPECT_EQ(W.GoToGroundDecided, c.decides ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(DrawsSince(before), c.decides ? 2 : 0) << c.what;
  }
}

TEST_F(HeldCarrierTest, NothingIsDecidedUntilHeldLongerThanTheMarginAndAFrame) {
  struct Case {
    const char* what;
    f32 held, offload, x, z;
    bool decides;
  } cases[] = {
      {"0.13 s", 0.13f, 0.0f, 0.0f, 0.0f, false},
      {"0.15 s", 0.15f, 0.0f, 0.0f, 0.0f, true},
      {"offload window open: 0.43 s", 0.43f, 1.0f, 0.0f, 0.0f, false},
      {"offload window open: 0.45 s", 0.45f, 1.0f, 0.0f, 0.0f, true},
      {"window open within 0.75 m of touch: 0.23 s", 0.23f, 1.0f, -34.3f, 0.0f, false},
      {"window open within 0.75 m of touch: 0.25 s", 0.25f, 1.0f, -34.3f, 0.0f, true},
      {"window open over the goal line: 0.15 s", 0.15f, 1.0f, 0.0f, 50.1f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    Place(Carrier(), c.x, c.z);
    StoppedWithSupport();
    W.CarrierHeldTime = c.held;
    W.Teams[1].OffloadTime = c.offload;
    Step();
    EXPECT_EQ(W.GoToGroundDecided, c.decides ? kTrue32 : kFalse32) << c.what;
  }
}

TEST_F(HeldCarrierTest, NoDecisionOnceDecidedOrWithAnOffloadOrPassPendingOrTheWindowOver) {
  struct Case {
    const char* what;
    void (*change)();
  } cases[] = {
      {"already decided", [] { W.GoToGroundDecided = kTrue32; }},
      {"offload pending", [] { Carrier().OffloadPending = 0.1f; }},
      {"pass countdown running", [] { W.Teams[1].PassTimeLeft = 0.1f; }},
      {"join window over this frame", [] { W.TackleJoinTime = 0.04f; }},
  };
  for (const Case& c : cases) {
    SetUp();
    StoppedWithSupport();
    c.change();
    const u32 before = RandSeed;
    Step();
    EXPECT_EQ(DrawsSince(before), 0) << c.what;
    EXPECT_EQ(Carrier().GoToGroundTime, 0.0f) << c.what;
  }
}

// An offload event (type 12) in the carrier's sequence stops him going to
// ground, except when the event only follows a timed event that lasts until
// about the end of the join window (0.56 s after this frame's countdown).
TEST_F(HeldCarrierTest, AnOffloadEventInHisSequenceBlocksTheDecisionUnlessItComesAfterTheJoinWindow) {
  struct Case {
    const char* what;
    bool seqOn;
    int current;
    f32 timeLeft;
    f32 z;
    bool decides;
  } cases[] = {
      {"no offload event running", false, 1, 0.6f, 0.0f, true},
      {"offload event, current event untimed", true, 0, 0.0f, 0.0f, false},
      {"timed event with 0.6 s left, then the offload: after the window", true, 1, 0.6f, 0.0f, true},
      {"timed event with 0.52 s left: within 0.05 s of the window's end", true, 1, 0.52f, 0.0f, true},
      {"timed event with 0.5 s left", true, 1, 0.5f, 0.0f, false},
      {"timed event with 0.3 s left, then the offload: in time", true, 1, 0.3f, 0.0f, false},
      {"the offload is the current event", true, 2, 0.6f, 0.0f, false},
      {"over the goal line: never blocked", true, 0, 0.0f, 50.1f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    Place(Carrier(), 0.0f, c.z);
    StoppedWithSupport();
    TActionSeq& S = Carrier().ActionSeq;
    S.seqON = Flag(c.seqOn);
    S.NumEvents = 3;
    S.CurrEventIndex = c.current;
    S.EventArray[1].EventType = 1;
    S.EventArray[1].TimedOn = kTrue32;
    S.EventArray[1].Duration = 1.0f;
    S.EventArray[1].TimeLeft = c.timeLeft;
    S.EventArray[2].EventType = 12;
    S.EventArray[2].TimedOn = kTrue32;
    S.EventArray[2].Duration = 1.0f;
    S.EventArray[2].TimeLeft = c.timeLeft;
    S.EventArray[3].EventType = 1;
    Step();
    EXPECT_EQ(W.GoToGroundDecided, c.decides ? kTrue32 : kFalse32) << c.what;
  }
}

TEST_F(HeldCarrierTest, GoingToGroundShortensTheJoinWindowByTheDrawLessForMoreSecureHolders) {
  StoppedWithSupport();
  Carrier().GoToGroundDist.mean = 0.2f;  // sd 0, no clamps: every draw is 0.2 s
  Carrier().numgoverning = 2;
  Bind(6, 7);
  Defender(kTackler).BallSecurity = 600;  // more secure than the carrier
  Defender(6).BallSecurity = 400;
  Defender(9).BallSecurity = 900;  // not holding him
  W.Teams[1].OffloadTime = 1.0f;
  W.CarrierHeldTime = 1.0f;
  Step();
  ASSERT_EQ(W.GoToGroundDecided, kTrue32);
  EXPECT_FLOAT_EQ(Carrier().GoToGroundTime, 0.2f * 0.85f);
  EXPECT_FLOAT_EQ(W.TackleJoinTime, 0.6f - 0.04f - 0.2f * 0.85f);
  EXPECT_EQ(W.Teams[1].OffloadTime, W.TackleJoinTime) << "an open offload window closes with the join window";
}

TEST_F(HeldCarrierTest, TheDefaultDistributionLeavesTheJoinWindowButStillDrawsTwice) {
  StoppedWithSupport();
  const u32 before = RandSeed;
  Step();
  ASSERT_EQ(W.GoToGroundDecided, kTrue32);
  EXPECT_EQ(DrawsSince(before), 2);
  EXPECT_EQ(Carrier().GoToGroundTime, 0.0f);
  EXPECT_EQ(W.TackleJoinTime, Less(0.6f, 0.04f));
}

// ---------------------------------------------------------------- holders settle

TEST_F(HeldCarrierTest, HoldersAtTheirPointStartTheHoldingLoopFacingThePointsHeading) {
  struct Case {
    const char* what;
    f32 gap;
    int point;
    bool complete;
    bool settles;
  } cases[] = {
      {"0.05 m from his point", 0.05f, 3, false, true},
      {"0.2 m from his point", 0.2f, 3, false, false},
      {"no point (all eight were held)", 0.0f, 0, false, false},
      {"tackle complete: he falls instead", 0.05f, 3, true, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Bind(kTackler, c.point);
    Place(Defender(kTackler), 0.0f, 0.54f + c.gap);
    if (c.complete) Complete();
    Step();
    const TPlayer& D = Defender(kTackler);
    if (c.settles) {
      EXPECT_EQ(D.TackleAttemptKind, 0.0f) << c.what;
      EXPECT_EQ(D.TackleAttemptAngle, 270.0f) << c.what;
      EXPECT_EQ(D.TackleAttemptFacing, 270.0f) << c.what;
    } else {
      EXPECT_NE(D.TackleAttemptKind, 0.0f) << c.what;
    }
  }
}

// ---------------------------------------------------------------- to ground

TEST_F(HeldCarrierTest, ACompleteTackleTakesTheCarrierAndHisHoldersToGround) {
  // Holders at the fall point (3, open), behind him (7, blocked) and without
  // a point; the tackle drives him along his facing.
  Carrier().numgoverning = 3;
  Bind(6, 7);
  Bind(8, 0);
  Complete();
  Carrier().passtimer = 0.0f;
  Carrier().OffloadPending = 1.0f;
  W.Teams[1].PassDuration = 1.0f;
  const u32 before = RandSeed;
  Step();
  const TPlayer& C = Carrier();
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(C.GettingTackledKind, 1.0f);
  EXPECT_EQ(C.GettingTackledFacing, 90.0f);
  EXPECT_EQ(W.Teams[2].FallForward, kTrue32);
  EXPECT_EQ(W.Teams[2].FallPoint, 3);
  EXPECT_EQ(W.OffloadBlockTimer, 0.25f);
  EXPECT_EQ(C.OffloadPending, 0.0f);
  EXPECT_EQ(W.Teams[1].PassDuration, 0.0f);
  const TPlayer& open = Defender(kTackler);
  EXPECT_EQ(open.TackleAttemptKind, 2.0f);
  EXPECT_EQ(open.TackleAttemptAngle, 270.0f);
  EXPECT_EQ(open.currentAnim.View(), "divetacklefallback");
  EXPECT_EQ(open.maxframes, 3260.0f);
  for (int p : {6, 8}) {
    EXPECT_EQ(Defender(p).TackleAttemptKind, 1.0f) << "blocked point or none: " << p;
    EXPECT_EQ(Defender(p).TackleAttemptFacing, 90.0f) << p;
    EXPECT_EQ(Defender(p).currentAnim.View(), "run") << p;
  }
  EXPECT_EQ(W.gamestate, gsRunning) << "gottackled waits for the offload block";
}

TEST_F(HeldCarrierTest, ACarrierFacingAgainstTheTackleFallsBackward) {
  Complete();
  W.Teams[2].TackleHeading = 270.0f;
  Step();
  EXPECT_EQ(Carrier().GettingTackledKind, 2.0f);
  EXPECT_EQ(Carrier().GettingTackledFacing, 450.0f);
  EXPECT_EQ(W.Teams[2].FallForward, kFalse32);
  EXPECT_EQ(W.Teams[2].FallPoint, 7);
  EXPECT_EQ(Defender(kTackler).TackleAttemptKind, 1.0f) << "point 3 is blocked for a fall towards 7";
}

TEST_F(HeldCarrierTest, TheCarrierGoesToGroundOnlyWhenTheTackleIsComplete) {
  struct Case {
    const char* what;
    void (*change)();
    bool falls;
  } cases[] = {
      {"complete", [] {}, true},
      {"one tackler short", [] { W.Teams[2].TacklersWanted = 2; }, false},
      {"offload window open", [] { W.Teams[1].OffloadTime = 0.5f; }, false},
      {"pass running in the join window", [] { Carrier().passtimer = 0.3f; }, false},
      {"pass running, join window over",
       [] {
         Carrier().passtimer = 0.3f;
         W.TackleJoinTime = 0.04f;
       },
       true},
      {"mark called", [] { W.MarkCalled = kTrue32; }, false},
      {"carrier off the ground in a catch",
       [] {
         W.CarrierGrounded = kFalse32;
         Carrier().freeballcatchtimer = 0.5f;
       },
       false},
      {"already falling", [] { Carrier().GettingTackledKind = 2.0f; }, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Complete();
    W.GoToGroundDecided = kTrue32;
    c.change();
    Step();
    EXPECT_EQ(W.OffloadBlockTimer, c.falls ? 0.25f : 0.0f) << c.what;
    if (c.falls) {
      EXPECT_EQ(Carrier().GettingTackledKind, 1.0f) << c.what;
      EXPECT_EQ(Carrier().passtimer, 0.0f) << c.what;
    }
  }
}

TEST_F(HeldCarrierTest, ARunningDiveBecomesAForwardFallFromTheSameShare) {
  Complete();
  W.Teams[2].TackleHeading = 270.0f;  // would fall backward
  TPlayer& C = Carrier();
  C.DiveTimer = 0.4f;
  C.currentAnim.Assign("divelow");
  C.currentframe = 600.0f;
  C.AnimLoopCount = 3;
  C.AnimLoopTime = 1.0f;
  Step();
  EXPECT_EQ(C.DiveTimer, 0.0f);
  EXPECT_EQ(C.GettingTackledKind, 1.0f);
  EXPECT_EQ(C.currentAnim.View(), "divetackledfallforward");
  EXPECT_EQ(C.maxframes, 3260.0f);
  EXPECT_EQ(C.currentframe, ToF32(0.6 * 3260.0));
  EXPECT_EQ(C.BallTrack, 19);
  EXPECT_EQ(C.AnimLoop, kFalse32);
  EXPECT_EQ(C.AnimLoopCount, 0);
  EXPECT_EQ(C.AnimLoopTime, 0.0f);
  EXPECT_EQ(Defender(kTackler).TackleAttemptKind, 1.0f) << "every holder falls forward with him";
}

TEST_F(HeldCarrierTest, ATryLineDiveGoesOnFromSeventyPerCentElseFalls) {
  struct Case {
    const char* what;
    const char* anim;
    double share;
    f32 tackleHeading;
    const char* after;
    f32 frame, kind;
    i16 track;
  } cases[] = {
      {"80 %: the dive goes on", "trydivestandupbackflick", 0.8, 90.0f, "trydivestandupbackflick", 800.0f, 1.0f, 7},
      {"70 %: the dive goes on", "trydivestandupbackflick180", 0.7, 90.0f, "trydivestandupbackflick180", 700.0f, 1.0f,
       7},
      {"50 %, falling forward", "trydivestandupbackflick", 0.5, 90.0f, "divetackledfallforward", 1630.0f, 1.0f, 19},
      {"50 %, falling backward", "trydivestandupbackflick180", 0.5, 270.0f, "divetackledfallback", 2270.0f, 2.0f,
       18},
  };
  for (const Case& c : cases) {
    SetUp();
    Complete();
    TPlayer& C = Carrier();
    C.currentAnim.Assign(c.anim);
    C.currentframe = static_cast<f32>(c.share * 1000.0);
    C.BallTrack = 7;
    W.Teams[2].TackleHeading = c.tackleHeading;
    Step();
    EXPECT_EQ(C.currentAnim.View(), c.after) << c.what;
    EXPECT_EQ(C.currentframe, c.frame) << c.what;
    EXPECT_EQ(C.GettingTackledKind, c.kind) << c.what;
    EXPECT_EQ(C.BallTrack, c.track) << c.what;
  }
}

TEST_F(HeldCarrierTest, ALooseBallDiveCutShortRestartsTheFallAndLogsOnTheMatchWorldOnly) {
  struct Case {
    const char* what;
    double share;
    bool live;
    f32 frame;
    const char* fraction;
  } cases[] = {
      {"cut at 14 %", 0.14, true, 978.0f, "0.3"},
      {"cut at 50 %: capped at 0.8", 0.5, true, 2608.0f, "0.8"},
      {"look-ahead: no log", 0.14, false, 978.0f, nullptr},
  };
  for (const Case& c : cases) {
    SetUp();
    Complete();
    W.LiveWorld = Flag(c.live);
    TPlayer& C = Carrier();
    C.currentAnim.Assign("looseballdive");
    C.currentframe = static_cast<f32>(c.share * 1000.0);
    const size_t lines = Form1.Memo2.Count();
    StartCountingAllocations();
    Step();
    const long allocations = StopCountingAllocations();
    if (!c.live) {
      EXPECT_EQ(allocations, 0) << "the look-ahead frame allocates nothing";
    }
    EXPECT_EQ(C.currentAnim.View(), "divetackledfallforward") << c.what;
    EXPECT_EQ(C.currentframe, c.frame) << c.what;
    EXPECT_EQ(C.BallTrack, 19) << c.what;
    if (c.fraction != nullptr) {
      ASSERT_EQ(Form1.Memo2.Count(), lines + 2) << c.what;
      EXPECT_EQ(Form1.Memo2.Lines[lines], "looseball dive 10") << c.what;
      EXPECT_EQ(Form1.Memo2.Lines[lines + 1], c.fraction) << c.what;
    } else {
      EXPECT_EQ(Form1.Memo2.Count(), lines) << c.what;
    }
  }
}

}  // namespace
