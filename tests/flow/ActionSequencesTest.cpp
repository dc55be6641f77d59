#include "flow/ActionSequences.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

// Block 1 attacks up the pitch: carrier 10 stands at the origin, receiver 9
// to his right, the other players far behind; every player can run 8 m/s.
// Player 12 is the one whose sequence is stepped.
class ActionSequencesTest : public ::testing::Test {
 protected:
  static constexpr int kMe = 12;

  void SetUp() override {
    MakeOpenPlayPitch(W);
    BuildStrategyShapes();
    BuildActionSeqTemplates(W);
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      Place(P, static_cast<f32>(2 * p - 26), b == 1 ? -30.0f : 30.0f);
      P.maxspeed = 8.0f;
      P.Acceleration = 4.0f;
    });
    TTeamBlock& A = W.Teams[1];
    A.CurrentStrategy = StrategyParams.Shapes[5];
    A.SupportGridSize = 11;
    for (int k = 1; k <= 201; ++k) A.SetPieceSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
    A.BallCarrier = 10;
    A.PassReceiver = 9;
    Place(Me(), 20.0f, -10.0f);
    Me().InBackline = kTrue32;
    Place(A.Players[10], 0.0f, 0.0f);
    Place(A.Players[9], 5.0f, -1.0f);
  }

  static TPlayer& Pl(int i) { return W.Teams[1].Players[i]; }
  static TPlayer& Me() { return Pl(kMe); }
  static TActionSeq& Seq() { return Me().ActionSeq; }
  static TActionEvent& Ev(int k) { return Seq().EventArray[k]; }

  // Gives player 12 a fresh sequence of n plain runs up the pitch.
  static void Give(int n) {
    Seq() = StrategyParams.ActionSeqTemplate;
    Seq().NumEvents = n;
  }

  // One call of the runner; it raises no floating-point error.
  static void Step() {
    std::feclearexcept(FE_ALL_EXCEPT);
    RunActionSequences(W);
    EXPECT_FALSE(FloatErrorRaised());
  }

  // Moves player i by his speed towards his DesiredPos, as the movement
  // step does.
  static void Move(int i) {
    TPlayer& P = Pl(i);
    P.OldPos = P.Pos;
    const double dx = P.DesiredPos.x - P.Pos.x, dz = P.DesiredPos.z - P.Pos.z;
    const double d = std::sqrt(dx * dx + dz * dz);
    const double s = std::min(d, static_cast<double>(P.speed) * W.TimeStep);
    if (d > 0) {
      P.Pos.x = static_cast<f32>(P.Pos.x + dx / d * s);
      P.Pos.z = static_cast<f32>(P.Pos.z + dz / d * s);
    }
  }

  static TVector2 LinePoint(f32 targetX, f32 refX, f32 refZ) {
    return {targetX, ProfileValueAt(W.Teams[1].CurrentStrategy, targetX, refX, refZ)};
  }

  static TWorld W;
};
TWorld ActionSequencesTest::W;

TEST_F(ActionSequencesTest, ARunToTheLineKeepsThePlayerOnTheLinePointUntilWithin04m) {
  Give(1);
  Ev(1).EventType = 14;
  Ev(1).TargetX = 15.0f;
  Me().speed = 6.0f;
  // The carrier stands still, so the point does not move with him.
  const TVector2 point = LinePoint(15.0f, 0.0f, 0.0f);
  int frames = 0;
  while (Seq().seqON != 0 && frames < 200) {
    const f32 d = Distance2D(Me().Pos.x, Me().Pos.z, point.x, point.z);
    Step();
    ++frames;
    if (d < 0.4f) {
      EXPECT_EQ(Seq().seqON, 0) << "within 0.4 m he is there: " << d;
      EXPECT_EQ(Me().DesiredPos.x, Me().Pos.x);
    } else {
      ASSERT_NE(Seq().seqON, 0) << d;
      EXPECT_EQ(Seq().CurrEventIndex, 1);
      EXPECT_EQ(Seq().Idle, kTrue32);  // no plain run is current
      EXPECT_EQ(Me().DesiredPos.x, point.x) << frames;
      EXPECT_EQ(Me().DesiredPos.z, point.z) << frames;
    }
    Move(kMe);
  }
  EXPECT_EQ(Seq().seqON, 0);
  EXPECT_GT(frames, 20);
  // The border, standing still.
  Me().speed = 0.0f;
  for (const f32 off : {0.41f, 0.39f}) {
    Give(1);
    Ev(1).EventType = 14;
    Ev(1).TargetX = 15.0f;
    Place(Me(), point.x + off, point.z);
    Step();
    Step();
    EXPECT_EQ(Seq().seqON != 0, off > 0.4f) << off;
  }
}

TEST_F(ActionSequencesTest, TheLinePointByStateAndNearTheCarrier) {
  TTeamBlock& A = W.Teams[1];
  W.MarkX = -4.0f;
  A.SetPieceLineZ = 7.0f;
  W.BallPos = {2.0f, 1.0f, 3.0f};
  struct Case {
    const char* what;
    TGameState state;
    f32 myX;
    f32 targetX;
    TVector2 expect;
  };
  // Line points: TargetX across, the line shape's depth there from the
  // reference; 0.5 m behind a carrier or receiver within 1.75 m sideways.
  const TVector2 wide = LinePoint(15.0f, 0.0f, 0.0f);
  const TVector2 close = LinePoint(0.5f, 0.0f, 0.0f);
  ASSERT_GT(close.z, -0.5f);
  const Case cases[] = {
      {"running: from the carrier", gsRunning, 20.0f, 15.0f, wide},
      {"running: near the carrier sideways", gsRunning, 1.0f, 0.5f, {0.5f, -0.5f}},
      {"running: 2 m to his side", gsRunning, 2.0f, 0.5f, close},
      {"passing: from the receiver", gsPassing, 20.0f, 15.0f, LinePoint(15.0f, 5.0f, -1.0f)},
      {"passing: near the receiver", gsPassing, 6.0f, 5.5f, {5.5f, -1.5f}},
      {"gottackled: from the mark on the breakdown line", gsGotTackled, 20.0f, 15.0f,
       LinePoint(15.0f, -4.0f, 7.0f)},
      {"scrum: from the ball", gsScrum, 20.0f, 15.0f, LinePoint(15.0f, 2.0f, 3.0f)},
  };
  for (const Case& c : cases) {
    SetUp();
    W.MarkX = -4.0f;
    W.Teams[1].SetPieceLineZ = 7.0f;
    W.BallPos = {2.0f, 1.0f, 3.0f};
    W.gamestate = c.state;
    Place(Me(), c.myX, -20.0f);
    Give(1);
    Ev(1).EventType = 14;
    Ev(1).TargetX = c.targetX;
    // Outside open play only a released breakdown runner moves.
    Seq().SeqHeadFlag = kTrue32;
    Seq().SeqHeadValue = 100.0f;
    Step();
    EXPECT_EQ(Me().DesiredPos.x, c.expect.x) << c.what;
    EXPECT_EQ(Me().DesiredPos.z, c.expect.z) << c.what;
  }
}

// Several runs to the line in one frame each take their own point on the
// shape, read from the frame's reference.
TEST_F(ActionSequencesTest, EveryRunToTheLineInAFrameTakesItsOwnPoint) {
  W.gamestate = gsScrum;
  W.BallPos = {2.0f, 1.0f, 3.0f};
  const f32 targets[] = {15.0f, -22.5f, 0.25f, 15.0f, 31.0f};
  for (int k = 0; k < 5; ++k) {
    TPlayer& P = Pl(11 + k);
    Place(P, 40.0f - 3.0f * k, -20.0f);
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    P.ActionSeq.EventArray[1].EventType = 14;
    P.ActionSeq.EventArray[1].TargetX = targets[k];
    P.ActionSeq.SeqHeadFlag = kTrue32;  // released breakdown runners move
    P.ActionSeq.SeqHeadValue = 100.0f;
  }
  Step();
  for (int k = 0; k < 5; ++k) {
    const TVector2 want = LinePoint(targets[k], 2.0f, 3.0f);
    EXPECT_EQ(Pl(11 + k).DesiredPos.x, want.x) << k;
    EXPECT_EQ(Pl(11 + k).DesiredPos.z, want.z) << k;
  }
}

TEST_F(ActionSequencesTest, APlainRunOfNoLengthCompletesOnceItsRunIsCountedOrAfterItsHold) {
  // The start frame chooses the run; the next counts the first step; the
  // one after finds the run done.
  for (const f32 duration : {0.0f, 2.0f}) {
    SetUp();
    Give(1);
    Ev(1).DistOrig = 0.0f;
    Ev(1).Duration = duration;
    Me().speed = 5.0f;
    Step();
    EXPECT_EQ(Seq().CurrEventIndex, 1);
    EXPECT_EQ(Ev(1).DistTravelled, 0.0f);
    Step();
    EXPECT_NE(Seq().seqON, 0);
    EXPECT_NEAR(Ev(1).DistTravelled, 0.2f, 1e-6);
    Step();
    if (duration == 0) {
      EXPECT_EQ(Seq().seqON, 0);
      EXPECT_EQ(Ev(1).Complete, kTrue32);
      continue;
    }
    EXPECT_NE(Seq().seqON, 0);
    EXPECT_EQ(Ev(1).TimedOn, kTrue32);
    int held = 0;
    while (Seq().seqON != 0 && held < 100) {
      Step();
      ++held;
      // He holds where he stands: 1 cm past the end of his run.
      if (Seq().seqON != 0) {
        EXPECT_NEAR(Me().DesiredPos.z, Me().Pos.z + 0.01f, 1e-5);
      }
    }
    EXPECT_NEAR(held * 0.04, 2.0, 0.041);
  }
}

TEST_F(ActionSequencesTest, AnEarlierRunAimsTenMetresAheadTheLastAtItsEnd) {
  Give(2);
  Ev(1).DistOrig = 3.0f;
  Ev(2).DistOrig = 4.0f;
  Ev(2).Angle = 180.0f;  // towards +x
  Step();
  EXPECT_EQ(Seq().CurrEventIndex, 1);
  EXPECT_NEAR(Me().DesiredPos.x, 20.0f, 1e-5);
  EXPECT_EQ(Me().DesiredPos.z, 0.0f);  // 10 m up the pitch
  Ev(1).DistTravelled = 3.5f;
  Step();
  EXPECT_EQ(Ev(1).Complete, kTrue32);
  EXPECT_EQ(Seq().CurrEventIndex, 2);
  EXPECT_EQ(Me().DesiredPos.x, 24.01f);  // the end of the run and 1 cm
  EXPECT_NEAR(Me().DesiredPos.z, -10.0f, 1e-5);
  // Run to its length: he aims 1 cm on.
  Ev(2).DistTravelled = 4.0f;
  Step();
  EXPECT_NE(Seq().seqON, 0);
  EXPECT_EQ(Me().DesiredPos.x, 20.01f);
}

TEST_F(ActionSequencesTest, AWaitingRunIsPassedOverUntilThePassComes) {
  struct Case {
    const char* what;
    u16 waitFor;
    f32 carrierPasstimer;
    i32 receiver;
    i32 carrierEventType;  // of the carrier's current event; 0 none
    i32 carrierEventNames;
    i32 expectCurrent;
  };
  const Case cases[] = {
      {"no pass yet", 1, 0.0f, kMe, 0, 0, 2},
      {"a pass to another", 1, 0.3f, 9, 0, 0, 2},
      {"the pass to him is in the air", 1, 0.3f, kMe, 0, 0, 1},
      {"wait 2: the pass to him", 2, 0.3f, kMe, 0, 0, 1},
      {"wait 2: the carrier's pass event names him", 2, 0.0f, 9, 1, kMe, 1},
      {"wait 2: his kick event names him", 2, 0.0f, 9, 4, kMe, 1},
      {"wait 2: an event of another type", 2, 0.0f, 9, 5, kMe, 2},
      {"wait 2: the event names another", 2, 0.0f, 9, 1, 9, 2},
      {"wait 1: an event naming him is not enough", 1, 0.0f, 9, 1, kMe, 2},
      {"wait 3 never starts", 3, 0.3f, kMe, 1, kMe, 2},
  };
  for (const Case& c : cases) {
    SetUp();
    Give(2);
    Ev(1).WaitFor = c.waitFor;
    Step();
    EXPECT_EQ(Seq().CurrEventIndex, 2) << c.what << ": the later run goes first";
    TTeamBlock& A = W.Teams[1];
    A.Players[10].passtimer = c.carrierPasstimer;
    A.PassReceiver = c.receiver;
    if (c.carrierEventType != 0) {
      TActionSeq& cs = A.Players[10].ActionSeq;
      cs = StrategyParams.ActionSeqTemplate;
      cs.CurrEventIndex = 1;  // the carrier's own sequence is not stepped in running
      cs.EventArray[1].EventType = c.carrierEventType;
      cs.EventArray[1].EventSubType = c.carrierEventNames;
    }
    Step();
    EXPECT_EQ(Seq().CurrEventIndex, c.expectCurrent) << c.what;
    EXPECT_EQ(Seq().Idle, kFalse32) << c.what;
  }
  // Nothing may start: the last event stays current and he is idle.
  SetUp();
  Give(2);
  Ev(1).WaitFor = 1;
  Ev(2).WaitFor = 1;
  Me().DesiredPos = {1.0f, 2.0f, 3.0f};
  Step();
  EXPECT_EQ(Seq().CurrEventIndex, 2);
  EXPECT_EQ(Seq().Idle, kTrue32);
  EXPECT_EQ(Me().DesiredPos.x, 1.0f);
  EXPECT_EQ(Me().DesiredPos.z, 3.0f);
}

TEST_F(ActionSequencesTest, EndConditions) {
  using Setup = std::function<void(TWorld&)>;
  struct Case {
    const char* what;
    i32 condition;
    TGameState state;
    Setup setup;
    bool complete;
    int event = 1;  // the event given the condition
  };
  auto me = [](TWorld& w) -> TPlayer& { return w.Teams[1].Players[kMe]; };
  auto carrier = [](TWorld& w) -> TPlayer& { return w.Teams[1].Players[10]; };
  auto receiver = [](TWorld& w) -> TPlayer& { return w.Teams[1].Players[9]; };
  auto nothing = [](TWorld&) {};
  auto ahead = [&](TWorld& w) {
    me(w).Pos.z = 3.0f;
    me(w).ActionSeq.EventArray[1].EndLeadZ = 2.0f;
  };
  auto justBehind = [&](TWorld& w) {
    me(w).Pos.z = 2.0f;
    me(w).ActionSeq.EventArray[1].EndLeadZ = 2.0f;
  };
  auto nextPassTo9 = [&](TWorld& w) {
    me(w).ActionSeq.EventArray[2].EventType = 1;
    me(w).ActionSeq.EventArray[2].EventSubType = 9;
  };
  auto passTo9Third = [&](TWorld& w) {
    me(w).ActionSeq.EventArray[3].EventType = 2;
    me(w).ActionSeq.EventArray[3].EventSubType = 9;
  };
  // Receiver 9 on a started relative run, dist m from its point.
  auto receiverRunning = [&](f32 dist) {
    return [&, dist](TWorld& w) {
      passTo9Third(w);
      TActionSeq& s = receiver(w).ActionSeq;
      s = StrategyParams.ActionSeqTemplate;
      s.CurrEventIndex = 1;
      s.EventArray[1].RelMovementOn = kTrue32;
      s.EventArray[1].RelPlayer = 0;  // his point stays where it is put
      s.EventArray[1].TargetPos = {receiver(w).Pos.x + dist, receiver(w).Pos.z};
    };
  };
  const Case cases[] = {
      {"1: passing to him", 1, gsPassing, [](TWorld& w) { w.Teams[1].PassReceiver = kMe; }, true},
      {"1: passing to another", 1, gsPassing, nothing, false},
      {"2: passing", 2, gsPassing, nothing, true},
      {"2: running", 2, gsRunning, nothing, false},
      {"3: catching a pass", 3, gsRunning, [&](TWorld& w) { me(w).passcatchtimer = 0.2f; }, true},
      {"3: catching a loose ball", 3, gsRunning, [&](TWorld& w) { me(w).freeballcatchtimer = 0.2f; }, true},
      {"3: nothing", 3, gsRunning, nothing, false},
      {"4: out of open play", 4, gsGotTackled, nothing, true},
      {"4: ahead of the carrier", 4, gsRunning, ahead, true},
      {"4: level with the margin", 4, gsRunning, justBehind, false},
      {"4: passing, ahead of the receiver", 4, gsPassing, [&](TWorld& w) { me(w).Pos.z = -0.5f; }, true},
      {"4: no carrier", 4, gsRunning, [&](TWorld& w) { ahead(w), w.Teams[1].BallCarrier = 0; }, false},
      {"5: the carrier is tackled", 5, gsRunning, [&](TWorld& w) { carrier(w).GettingTackledTimer = 1; }, true},
      {"5: nothing", 5, gsRunning, nothing, false},
      {"6: not running", 6, gsPassing, nothing, true},
      {"6: he carries", 6, gsRunning, [](TWorld& w) { w.Teams[1].BallCarrier = kMe; }, true},
      {"6: running", 6, gsRunning, nothing, false},
      {"7: a plain run reaches touch", 7, gsRunning,
       [&](TWorld& w) { me(w).Pos.x = 34.6f, me(w).ActionSeq.EventArray[1].DistTravelled = 0.6f; }, true},
      {"7: at touch before running 0.5 m", 7, gsRunning,
       [&](TWorld& w) { me(w).Pos.x = -34.6f, me(w).ActionSeq.EventArray[1].DistTravelled = 0.4f; }, false},
      {"7: a relative point beyond touch", 7, gsRunning,
       [&](TWorld& w) {
         TActionEvent& e = me(w).ActionSeq.EventArray[1];
         e.RelMovementOn = kTrue32;
         e.RelPlayer = 0;  // no reference: the point stays
         e.TargetPos = {-34.6f, 0.0f};
       },
       true},
      {"7: as 5", 7, gsRunning, [&](TWorld& w) { carrier(w).GettingTackledTimer = 1; }, true},
      {"8: ahead of the carrier", 8, gsRunning, ahead, true},
      {"8: passing", 8, gsPassing, ahead, false},
      {"9: ahead of the carrier", 9, gsRunning, ahead, true},
      {"9: 0.9 m inside touch", 9, gsPassing, [&](TWorld& w) { me(w).Pos.x = 34.2f; }, true},
      {"9: 1 m inside touch", 9, gsPassing, [&](TWorld& w) { me(w).Pos.x = 34.0f; }, false},
      {"10: beyond the next receiver", 10, gsRunning, [&](TWorld& w) { nextPassTo9(w), me(w).Pos.x = 5.5f; }, true},
      {"10: short of him", 10, gsRunning, [&](TWorld& w) { nextPassTo9(w), me(w).Pos.x = 4.5f; }, false},
      {"10: short of him by less than the margin", 10, gsRunning,
       [&](TWorld& w) {
         nextPassTo9(w);
         me(w).Pos.x = 4.5f;
         me(w).ActionSeq.EventArray[1].EndLeadX = 1.0f;
       },
       true},
      {"10: only the very next event", 10, gsRunning, [&](TWorld& w) { passTo9Third(w), me(w).Pos.x = 5.5f; },
       false},
      {"10: a receiver outside the block", 10, gsRunning,
       [&](TWorld& w) {
         nextPassTo9(w);
         me(w).ActionSeq.EventArray[2].EventSubType = 26;
       },
       false},
      {"11: short of the next receiver", 11, gsRunning, [&](TWorld& w) { nextPassTo9(w), me(w).Pos.x = 4.5f; },
       true},
      {"11: beyond him", 11, gsRunning, [&](TWorld& w) { nextPassTo9(w), me(w).Pos.x = 5.5f; }, false},
      {"12: the receiver is on his point", 12, gsRunning, receiverRunning(1.2f), true},
      {"12: 1.3 m from it", 12, gsRunning, receiverRunning(1.3f), false},
      {"12: no later pass to a player", 12, gsRunning,
       [&](TWorld& w) {
         receiverRunning(0.0f)(w);
         me(w).ActionSeq.EventArray[3].EventSubType = 0;
       },
       false},
      {"14: the event before is complete", 14, gsRunning,
       [&](TWorld& w) { me(w).ActionSeq.EventArray[1].Complete = kTrue32; }, true, 2},
      {"14: the event before runs", 14, gsRunning, nothing, false, 2},
      {"14: the first event", 14, gsRunning, nothing, false},
      {"15: the carrier passes to another", 15, gsRunning, [&](TWorld& w) { carrier(w).passtimer = 0.3f; }, true},
      {"15: the carrier passes to him", 15, gsRunning,
       [&](TWorld& w) { carrier(w).passtimer = 0.3f, w.Teams[1].PassReceiver = kMe; }, false},
      {"16: catching", 16, gsRunning, [&](TWorld& w) { me(w).passcatchtimer = 0.2f; }, true},
      {"16: 1 m inside touch", 16, gsRunning, [&](TWorld& w) { me(w).Pos.x = -34.01f; }, true},
      {"16: nothing", 16, gsRunning, nothing, false},
      {"18: he carries on from running", 18, gsRunning, [](TWorld& w) { w.Teams[1].BallCarrier = kMe; }, true},
      {"18: the first frame of running", 18, gsRunning,
       [](TWorld& w) { w.Teams[1].BallCarrier = kMe, w.PrevFrameGameState = gsPassing; }, false},
      {"13 never", 13, gsGotTackled, ahead, false},
      {"19 never", 19, gsGotTackled, ahead, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Give(3);
    Step();  // started
    ASSERT_EQ(Seq().CurrEventIndex, 1) << c.what;
    W.gamestate = c.state;
    Ev(c.event).EndCondition = c.condition;
    c.setup(W);
    Step();
    EXPECT_EQ(Ev(c.event).Complete, c.complete ? kTrue32 : kFalse32) << c.what;
  }
}

TEST_F(ActionSequencesTest, AKickSendsAPlayerBehindTheKickerOnATimedChase) {
  TTeamBlock& A = W.Teams[1];
  for (const bool behind : {true, false}) {
    SetUp();
    Give(2);
    Step();
    Ev(1).EndCondition = 17;
    A.Players[10].Pos.z = 5.0f;
    A.Players[10].KickTimer = 0.5f;
    A.KickTimeLeft = 0.6f;
    Me().Velocity = {0.0f, 2.0f};
    Me().Pos.z = behind ? -5.0f : 6.0f;
    RandSeed = 77;
    Step();
    if (!behind) {
      EXPECT_EQ(DrawsSince(77), 0);
      EXPECT_EQ(Seq().NumEvents, 2);
      EXPECT_EQ(Ev(1).Complete, kTrue32);
      continue;
    }
    EXPECT_EQ(DrawsSince(77), 1);
    RandSeed = 77;
    const double spare = RandomRange(50, 201) * 0.01;
    // The template run up the pitch, started on the same frame.
    EXPECT_EQ(Seq().NumEvents, 1);
    EXPECT_EQ(Seq().CurrEventIndex, 1);
    EXPECT_EQ(Ev(1).Complete, kFalse32);
    EXPECT_EQ(Ev(1).Angle, 90.0f);
    EXPECT_EQ(Ev(1).DistOrig, static_cast<f32>(10.0 + spare));
    EXPECT_EQ(Ev(1).DesSpeed, SpeedToCoverInTime(2.0f, 4.0f, 8.0f, 10.0f, 0.6f, kTrue32));
    EXPECT_EQ(Ev(1).DesSpeed, 8.0f);  // 10 m in 0.6 s is beyond him
    EXPECT_NEAR(Me().DesiredPos.z, -5.0f + 10.0f + spare + 0.01, 1e-4);
  }
}

TEST_F(ActionSequencesTest, InGotTackledARuckRunnerHoldsHisStartPointUntilReleased) {
  W.gamestate = gsGotTackled;
  W.RestartDelay = 2.0f;
  Give(1);
  Seq().HoldStartPos = kTrue32;
  Seq().StartX = 5.0f;
  Seq().StartZ = -3.0f;
  Seq().SeqHeadValue = 100.0f;
  Me().speed = 6.0f;
  for (int f = 0; f < 10; ++f) {
    Step();
    EXPECT_EQ(Me().DesiredPos.x, 5.0f);
    EXPECT_EQ(Me().DesiredPos.z, -3.0f);
    EXPECT_EQ(Seq().CurrEventIndex, 0);
    Move(kMe);
  }
  ASSERT_GT(Distance2D(Me().Pos.x, Me().Pos.z, 5.0f, -3.0f), 0.45f);
  Place(Me(), 5.3f, -3.0f);
  Me().DesiredPos = {5.0f, 0.0f, -3.0f};
  Step();
  EXPECT_EQ(Seq().SeqHeadFlag, kTrue32);
  EXPECT_EQ(Seq().CurrEventIndex, 1);
  EXPECT_NEAR(Me().DesiredPos.z, -3.0f + 100.01f, 1e-3);  // his run starts at once
  EXPECT_EQ(Me().InBackline, kTrue32);  // no return to the line outside open play
}

TEST_F(ActionSequencesTest, ReleaseWaitsForTheDelayAndTheHoldersReceiver) {
  struct Case {
    const char* what;
    f32 restartDelay;
    i32 receiverNamed;   // by the holder's first event (type 1)
    f32 receiverOff;     // m from his DesiredPos
    bool receiverOnRuckRun;
    bool released;
  };
  const Case cases[] = {
      {"no holder's pass", 2.0f, 0, 0, false, true},
      {"the delay is still longer than his", 150.0f, 0, 0, false, false},
      {"the receiver is in place", 2.0f, 7, 0.7f, false, true},
      {"the receiver is not in place", 2.0f, 7, 0.8f, false, false},
      {"the receiver runs his own ruck move", 2.0f, 7, 5.0f, true, true},
      {"a receiver outside the block", 2.0f, 30, 0, false, true},
  };
  for (const Case& c : cases) {
    SetUp();
    TTeamBlock& A = W.Teams[1];
    W.gamestate = gsGotTackled;
    W.RestartDelay = c.restartDelay;
    A.SetPieceHolder = 9;
    TActionSeq& hs = A.Players[9].ActionSeq;
    hs = StrategyParams.ActionSeqTemplate;
    hs.seqON = kFalse32;
    if (c.receiverNamed != 0) {
      hs.EventArray[1].EventType = 1;
      hs.EventArray[1].EventSubType = c.receiverNamed;
    }
    TPlayer& r = A.Players[7];
    r.DesiredPos = {r.Pos.x + c.receiverOff, 0.0f, r.Pos.z};
    if (c.receiverOnRuckRun) {
      r.ActionSeq = StrategyParams.ActionSeqTemplate;
      r.ActionSeq.SeqHeadValue = 100.0f;
    }
    Give(1);
    Seq().SeqHeadValue = 100.0f;
    Me().DesiredPos = {Me().Pos.x + 0.44f, 0.0f, Me().Pos.z};
    Step();
    EXPECT_EQ(Seq().SeqHeadFlag, c.released ? kTrue32 : kFalse32) << c.what;
  }
}

TEST_F(ActionSequencesTest, AReleasedRunnerPastAStillHolderStandsDown) {
  struct Case {
    const char* what;
    f32 myZ;
    i32 firstType;
    f32 holderPasstimer;
    bool stoodDown;
  };
  const Case cases[] = {
      {"past the holder", -4.0f, 0, 0, true},
      {"not 0.85 m past him", -4.2f, 0, 0, false},
      {"the holder passes", -4.0f, 0, 0.3f, false},
      {"a run to the line", -4.0f, 14, 0, false},
  };
  for (const Case& c : cases) {
    SetUp();
    TTeamBlock& A = W.Teams[1];
    W.gamestate = gsGotTackled;
    A.SetPieceHolder = 9;
    A.Players[9].Pos.z = -5.0f;
    A.Players[9].passtimer = c.holderPasstimer;
    Give(1);
    Ev(1).EventType = c.firstType;
    Seq().SeqHeadFlag = kTrue32;
    Seq().SeqHeadValue = 100.0f;
    Me().Pos.z = c.myZ;
    Step();
    EXPECT_EQ(Seq().SeqHeadFlag, c.stoodDown ? kFalse32 : kTrue32) << c.what;
    EXPECT_EQ(Seq().SeqHeadValue, c.stoodDown ? 0.0f : 100.0f) << c.what;
    // A stood-down runner no longer moves: his sequence does not start.
    EXPECT_EQ(Seq().CurrEventIndex, c.stoodDown ? 0 : 1) << c.what;
  }
}

TEST_F(ActionSequencesTest, StartingAndEndingInOpenPlayPutHimBackIntoTheLine) {
  TTeamBlock& A = W.Teams[1];
  // He moves a step on with the carrier: 3.4 + 5 x 0.04 = 3.6. Slot 50
  // (3.15) is the first within 0.5 m, so the search stops there although
  // slot 105 (4.0) is nearer.
  A.Players[10].Velocity = {5.0f, 0.0f};
  A.SetPieceSlotPos[50].x = 3.15f;
  A.SetPieceLine[80] = kMe;
  A.SetPieceLine[104] = 3;
  Me().Pos.x = 3.4f;
  Me().InBackline = kFalse32;
  A.SupportGridCells[2][3] = kMe;
  A.SupportGridCells[4][4] = kMe;
  A.SupportGridCells[5][5] = 4;
  Give(1);
  Ev(1).DistOrig = 0.0f;
  Step();
  EXPECT_EQ(Me().InBackline, kTrue32);
  EXPECT_EQ(A.SupportGridCells[2][3], 0);
  EXPECT_EQ(A.SupportGridCells[4][4], 0);
  EXPECT_EQ(A.SupportGridCells[5][5], 4);
  EXPECT_EQ(A.SetPieceLine[80], 0);
  EXPECT_EQ(A.SetPieceLine[50], kMe);
  EXPECT_EQ(A.SetPieceLine[104], 3);

  // The end: the run is done, he goes on as he moves and is re-slotted.
  A.SetPieceSlotPos[50].x = -50.0f;
  Me().Velocity = {1.0f, 2.0f};
  Me().speed = 1.0f;
  Step();
  Step();
  EXPECT_EQ(Seq().seqON, 0);
  EXPECT_FLOAT_EQ(Me().DesiredPos.x, 3.44f);
  EXPECT_EQ(Me().DesiredPos.z, static_cast<f32>(-10.0 + 2.0 * 0.04f));
  EXPECT_EQ(A.SetPieceLine[50], 0);
  EXPECT_EQ(A.SetPieceLine[105], kMe);  // 4.0 is nearest 3.6 once slot 104 is taken

  // The centre slot's player keeps it.
  SetUp();
  A.SetPieceLine[101] = kMe;
  Give(1);
  Step();
  EXPECT_EQ(A.SetPieceLine[101], kMe);
  int held = 0;
  for (int k = 1; k <= 201; ++k) held += A.SetPieceLine[k] == kMe;
  EXPECT_EQ(held, 1);
}

TEST_F(ActionSequencesTest, RelativeRunsFollowTheirReference) {
  TTeamBlock& B = W.Teams[2];
  Place(B.Players[3], 10.0f, 10.0f);
  Give(2);
  Ev(1).RelMovementOn = kTrue32;
  Ev(1).RelOwnTeam = kFalse32;
  Ev(1).RelPlayer = 3;
  Ev(1).RelDistance = 5.0f;
  Ev(1).RelHeading = 180.0f;  // 5 m to his +x side
  Ev(1).Intercept = kFalse32;
  Ev(1).Duration = 1.0f;
  Step();
  EXPECT_NEAR(Ev(1).TargetPos.x, 15.0f, 1e-5);
  EXPECT_NEAR(Ev(1).TargetPos.z, 10.0f, 1e-5);
  EXPECT_EQ(Me().DesiredPos.x, Ev(1).TargetPos.x);
  EXPECT_EQ(Me().DesiredPos.z, Ev(1).TargetPos.z);
  // On the point: the run is done and his hold starts.
  Place(Me(), 15.0f, 10.0f);
  Step();
  EXPECT_EQ(Ev(1).TimedOn, kTrue32);
  EXPECT_EQ(Ev(1).Complete, kFalse32);

  // A reference that moves: he meets the point ahead of where it is.
  SetUp();
  Give(1);
  TPlayer& ref = W.Teams[1].Players[10];
  ref.OldPos = {0.0f, 0.0f, -0.24f};
  ref.speed = 6.0f;
  ref.MeasuredSpeed = 6.0f;
  Ev(1).RelMovementOn = kTrue32;
  Ev(1).RelOwnTeam = kTrue32;
  Ev(1).RelPlayer = 10;
  Ev(1).RelDistance = 2.0f;
  Ev(1).RelHeading = 270.0f;  // 2 m behind him
  Me().speed = 3.0f;
  Step();
  EXPECT_NEAR(Ev(1).TargetPos.z, -2.0f, 1e-5);
  EXPECT_NEAR(Me().DesiredPos.x, 0.0f, 1e-4);
  EXPECT_GT(Me().DesiredPos.z, 0.0f);
  // In his hold on the moving point he keeps pace with it.
  Ev(1).Duration = 1.0f;
  Ev(1).TimedOn = kTrue32;
  Ev(1).TimeLeft = 0.5f;
  Step();
  EXPECT_EQ(Ev(1).DesSpeed, 8.0f);  // far off it: top speed
  Place(Me(), 0.0f, -2.0f);
  Me().speed = 5.7f;
  Step();
  EXPECT_EQ(Ev(1).DesSpeed, static_cast<f32>(0.95 * 6.0f));
  EXPECT_GT(Me().DesiredPos.z, -2.0f);  // carried on along the reference's run
}

// Players who run against the same moving reference each meet him where a
// fresh reading of his run says, call after call as he moves on; a second
// reference in the same call is read for himself.
TEST_F(ActionSequencesTest, RunnersAgainstOneReferenceMeetHisCurrentRun) {
  struct Runner {
    int id;
    int ref;
    f32 heading;
  };
  const Runner runners[] = {{12, 10, 270.0f}, {13, 10, 180.0f}, {14, 9, 0.0f}, {15, 10, 90.0f}};
  for (const Runner& r : runners) {
    TPlayer& P = Pl(r.id);
    Place(P, static_cast<f32>(r.id - 10), -8.0f);
    P.speed = 3.0f;
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    TActionEvent& E = P.ActionSeq.EventArray[1];
    E.RelMovementOn = kTrue32;
    E.RelOwnTeam = kTrue32;
    E.RelPlayer = r.ref;
    E.RelDistance = 2.0f;
    E.RelHeading = r.heading;
  }
  struct Frame {
    TVector3 from10, to10, from9, to9;
    f32 speed;
  };
  const Frame frames[] = {
      {{0, 0, -0.24f}, {0, 0, 0}, {5, 0, -1}, {5, 0, -1}, 6.0f},
      {{0, 0, 0}, {0.2f, 0, 0.1f}, {5, 0, -1}, {5.1f, 0, -1.2f}, 4.5f},
      {{0.2f, 0, 0.1f}, {0.1f, 0, 0.3f}, {5.1f, 0, -1.2f}, {5.1f, 0, -1.2f}, 7.0f},
  };
  for (const Frame& f : frames) {
    TPlayer& R10 = Pl(10);
    TPlayer& R9 = Pl(9);
    R10.OldPos = f.from10, R10.Pos = f.to10, R10.speed = f.speed, R10.MeasuredSpeed = 5.0f;
    R9.OldPos = f.from9, R9.Pos = f.to9, R9.speed = f.speed / 2, R9.MeasuredSpeed = 1.0f;
    Step();
    for (const Runner& r : runners) {
      const TPlayer& P = Pl(r.id);
      const TPlayer& R = Pl(r.ref);
      const TActionEvent& E = P.ActionSeq.EventArray[1];
      const f32 heading = HeadingToPoint(R.OldPos.x, R.OldPos.z, R.Pos.x, R.Pos.z, 90.0f);
      const f32 accel = static_cast<f32>(std::fabs(static_cast<double>(R.speed) - R.MeasuredSpeed) / W.TimeStep);
      const TVector2 m = InterceptPoint(heading, E.TargetPos.x, E.TargetPos.z, R.speed, accel, R.maxspeed, P.Pos.x,
                                        P.Pos.z, P.speed, P.Acceleration, E.DesSpeed, W.PitchWidth, kTrue32,
                                        kTrue32, kFalse32);
      EXPECT_EQ(P.DesiredPos.x, m.x) << "runner " << r.id;
      EXPECT_EQ(P.DesiredPos.z, m.z) << "runner " << r.id;
    }
  }
}

// A run aims along its angle however many angles came before it: a sweep
// of more angles than any small table holds, in two orders, with signed
// zeros, each aim checked against the direction worked out afresh; an
// infinite angle raises its float error on every frame.
TEST_F(ActionSequencesTest, ARunAimsAlongItsAngleAfterManyOthers) {
  Give(1);
  std::vector<f32> angles = {0.0f, -0.0f, 360.0f, -360.0f, 90.0f, 1e-45f};
  for (int k = 0; k < 150; ++k) angles.push_back(static_cast<f32>(k) * 2.41f - 30.0f);
  int wrong = 0;
  for (int round = 0; round < 2; ++round) {
    for (size_t i = 0; i < angles.size(); ++i) {
      const f32 a = angles[round == 0 ? i : (i * 37) % angles.size()];
      Ev(1).Angle = a;
      Step();
      const TDirection u = HeadingDirection(a);
      const double r = 100.0 + 0.01;  // the last run aims past its end
      wrong += Me().DesiredPos.x != static_cast<f32>(Me().Pos.x + r * u.x) ||
               Me().DesiredPos.z != static_cast<f32>(Me().Pos.z + r * u.z);
    }
  }
  EXPECT_EQ(wrong, 0);
  Ev(1).Angle = std::numeric_limits<f32>::infinity();
  for (int frame = 0; frame < 2; ++frame) {
    std::feclearexcept(FE_ALL_EXCEPT);
    RunActionSequences(W);
    EXPECT_TRUE(FloatErrorRaised()) << "frame " << frame;
  }
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST_F(ActionSequencesTest, AReferenceOutsideTheBlockReadsNothing) {
  for (const i32 rel : {0, 26, -3, 1000}) {
    SetUp();
    Give(1);
    Ev(1).RelMovementOn = kTrue32;
    Ev(1).RelPlayer = rel;
    Ev(1).TargetPos = {1.0f, 2.0f};
    for (const bool32 intercept : {kFalse32, kTrue32}) {
      Ev(1).Intercept = intercept;
      Step();
      EXPECT_EQ(Ev(1).TargetPos.x, 1.0f) << rel;
      EXPECT_EQ(Ev(1).TargetPos.z, 2.0f) << rel;
      EXPECT_EQ(Me().DesiredPos.x, 1.0f) << rel;
      EXPECT_EQ(Me().DesiredPos.z, 2.0f) << rel;
    }
  }
}

TEST_F(ActionSequencesTest, DeadlinesCompleteEventsAndOnlyMoversAreStepped) {
  Give(1);
  Ev(1).Deadline = 0.2f;
  int frames = 0;
  while (Seq().seqON != 0 && frames < 20) {
    Step();
    ++frames;
  }
  EXPECT_NEAR(frames * 0.04, 0.2, 0.041);  // counted from the start frame

  // The carrier in running and the receiver in passing are not moved; in a
  // set piece nobody without a released breakdown move is.
  struct Case {
    TGameState state;
    int who;
    bool moves;
  };
  const Case cases[] = {{gsRunning, 10, false}, {gsRunning, 9, true},   {gsPassing, 9, false},
                        {gsPassing, 10, true},  {gsScrum, kMe, false}, {gsTransition, kMe, false}};
  for (const Case& c : cases) {
    SetUp();
    W.gamestate = c.state;
    TActionSeq& s = W.Teams[1].Players[c.who].ActionSeq;
    s = StrategyParams.ActionSeqTemplate;
    Step();
    EXPECT_EQ(s.CurrEventIndex, c.moves ? 1 : 0) << GameStateName(c.state) << " " << c.who;
  }
}

}  // namespace
