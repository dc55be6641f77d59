#include "decision/LookAhead.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "MoveBookScene.h"
#include "app/FrameSteps.h"
#include "core/FloatFlags.h"
#include "core/FloatGuard.h"
#include "core/MatchStore.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"
#include "platform/Form.h"

namespace {

constexpr int kCarrier = 10;
constexpr f32 kStep = 0.04f;   // s, the move's time step
constexpr f32 kStartZ = -5.0f;  // m, the ball at the start

// The scripted world: every frame step of the table is replaced by a
// recorder, and the contact-detection entry (the last step of a simulated
// frame) also plays the test's script for that frame. The carrier's own
// decision still runs for real. Block 1's player 10 carries the ball in
// running at x 0, his team-mates 10 m behind, the defenders 40 m away.
TWorld W;
int Frame;  // frames simulated so far
void (*Script)(TWorld& W, int frame);
std::vector<int> Calls;             // step entries, in call order, of the first two frames
std::vector<f32> StepTimeSeen;      // TimeStep as step 7 and step 1 found it, first frame
std::vector<f32> FirstEventAngle;   // the carrier's first event's Angle as step 7 found it

template <int N>
void Recorder(TWorld& w) {
  if (Frame < 2) Calls.push_back(N);
  if (Frame == 0 && (N == kStepUpdatePlayerFootprints || N == 1)) StepTimeSeen.push_back(w.TimeStep);
  if (N == kStepUpdatePlayerFootprints) {
    const TPlayer* C = PlayerAt(w.Teams[1], w.Teams[1].BallCarrier);
    if (C != nullptr) FirstEventAngle.push_back(C->ActionSeq.EventArray[1].Angle);
  }
  if (N == kStepCollisionDetect) {
    ++Frame;
    if (Script != nullptr) Script(w, Frame);
  }
}

template <int... N>
void InstallRecorders(std::integer_sequence<int, N...>) {
  ((FrameSteps[N + 1].Step = Recorder<N + 1>), ...);
}

TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }

// Everybody but the carrier off to a corner far outside the pitch.
void ClearTheField(TWorld& w) {
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 25; ++p)
      if (b == 2 || p != kCarrier) w.Teams[b].Players[p].Pos = w.Teams[b].Players[p].OldPos = {100.0f, 0.0f, -100.0f};
}

// A move that stops on nothing but its time: plenty of forward time.
TMove PlainMove() {
  TMove M{};
  M.SimTimeStep = kStep;
  M.SimDuration = 15.0f;
  M.GainLimit = 10.0f;
  M.PlayKind = -1;
  return M;
}

class LookAhead : public ::testing::Test {
 protected:
  TSimResult R{};

  void SetUp() override {
    MakeMoveBookScene(W);
    W.TimeStep = 0.02f;
    W.PrevTimeStep = 0.02f;
    W.gamestate = gsRunning;
    W.FrameGameState = gsRunning;
    W.RunningPhase = 2;
    W.LiveWorld = kTrue32;
    W.Teams[1].BallCarrier = kCarrier;
    W.BallPos = {0.0f, 1.0f, kStartZ};
    for (int p = 1; p <= 25; ++p) {
      TPlayer& A = W.Teams[1].Players[p];
      A.Pos = A.OldPos = {static_cast<f32>(3 * p - 30), 0.0f, kStartZ - 10.0f};
      A.maxspeed = 8.0f;
      A.Acceleration = 4.0f;
      TPlayer& D = W.Teams[2].Players[p];
      D.Pos = D.OldPos = {static_cast<f32>(3 * p - 30), 0.0f, kStartZ + 40.0f};
    }
    Carrier().Pos = Carrier().OldPos = {0.0f, 0.0f, kStartZ};
    Frame = 0;
    Script = nullptr;
    Calls.clear();
    StepTimeSeen.clear();
    FirstEventAngle.clear();
    Form1.Memo1.Clear();
    InstallRecorders(std::make_integer_sequence<int, kFrameStepCount>());
  }

  void TearDown() override { ResetFrameSteps(); }

  void Simulate(const TMove& M, u16 code = 0) {
    std::feclearexcept(FE_ALL_EXCEPT);
    SimulateAhead(W, M, code, R);
    EXPECT_FALSE(FloatErrorRaised());
  }
};

// ---------------------------------------------------------------- the frame

// The decision step's place is taken by the carrier's decision; then steps 7
// to 21 under the old time step, the move's step, steps 1 to 4. User control,
// the dispatcher and the statistics steps never run. The copy is marked as a
// look-ahead before the first frame.
TEST_F(LookAhead, RunsTheFrameStepsFromTheFootprintsToTheContactsUnderTheMovesStep) {
  Script = [](TWorld& w, int frame) {
    if (frame == 2) w.gamestate = gsTransition;
  };
  W.Teams[1].DecisionsOn = kFalse32;
  Simulate(PlainMove());
  std::vector<int> frame;
  for (int i = 7; i <= 21; ++i) frame.push_back(i);
  for (int i = 1; i <= 4; ++i) frame.push_back(i);
  std::vector<int> twoFrames = frame;
  twoFrames.insert(twoFrames.end(), frame.begin(), frame.end());
  EXPECT_EQ(Calls, twoFrames);
  EXPECT_EQ(StepTimeSeen, (std::vector<f32>{0.02f, kStep}));
  EXPECT_EQ(W.PrevTimeStep, kStep);
  EXPECT_EQ(R.SimTime, 2 * kStep);
  EXPECT_NE(W.Teams[1].DecisionsOn, 0);
  EXPECT_NE(W.CarriedBallPlacementOn, 0);
  EXPECT_EQ(W.LiveWorld, 0);
  EXPECT_EQ(R.EndState, gsTransition);
}

// A time step not above 0 in the copy becomes 0.01 s before the first frame.
TEST_F(LookAhead, RepairsATimeStepNotAboveZero) {
  for (const f32 prev : {0.0f, -1.0f, 0.02f}) {
    SetUp();
    W.TimeStep = prev == 0.02f ? 0.0f : 0.02f;
    W.PrevTimeStep = prev;
    Script = [](TWorld& w, int) { w.gamestate = gsTransition; };
    Simulate(PlainMove());
    ASSERT_EQ(StepTimeSeen.size(), 2u);
    EXPECT_EQ(StepTimeSeen[0], 0.01f) << prev;
  }
}

// A floating-point error inside a step raises, naming the step, as in a
// match frame.
TEST_F(LookAhead, AFloatErrorInAStepRaises) {
  FrameSteps[15].Step = [](TWorld& w) {
    volatile f32 zero = 0.0f;
    w.ScratchValue1 = 1.0f / zero;
  };
  try {
    SimulateAhead(W, PlainMove(), 0, R);
    ADD_FAILURE() << "no error raised";
  } catch (const TFloatingPointError& e) {
    EXPECT_NE(std::string(e.what()).find(FrameSteps[15].Name), std::string::npos) << e.what();
  }
  ClearFloatFlags();
}

// ---------------------------------------------------------------- applying the move

// An applied move that is not feasible runs no frame and is reported lost.
TEST_F(LookAhead, AnInfeasibleMoveRunsNoFrame) {
  W.gamestate = gsGotTackled;
  W.Teams[1].SetPieceHolder = 9;
  W.Teams[1].MoveIndex = 151;
  TMove M = PlainMove();
  M.ApplyFirst = kTrue32;
  Simulate(M);
  EXPECT_TRUE(Calls.empty());
  EXPECT_NE(R.PossessionLost, 0);
  EXPECT_NE(R.NotFeasible, 0);
  EXPECT_EQ(R.SimTime, 0.0f);
  EXPECT_EQ(R.SupportScore, -10000.0f);
  EXPECT_EQ(R.EndState, gsGotTackled);
  EXPECT_EQ(Form1.Memo1.Lines, std::vector<std::string>{"151 NOT feasible"});
}

// In gottackled the feasibility of an applied move is logged; in running
// nothing is, and a move not applied is not judged.
TEST_F(LookAhead, LogsTheFeasibilityOfAnAppliedRuckMove) {
  struct Case {
    const char* what;
    TGameState state;
    bool32 applyFirst;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"default ruck play", gsGotTackled, kTrue32, {"1 feasible"}},
      {"not applied", gsGotTackled, kFalse32, {}},
      {"open play", gsRunning, kTrue32, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = c.state;
    W.Teams[1].SetPieceHolder = 9;
    W.Teams[1].MoveIndex = 1;
    Script = [](TWorld& w, int) { w.gamestate = gsKickRestartSet; };
    TMove M = PlainMove();
    M.ApplyFirst = c.applyFirst;
    Simulate(M);
    EXPECT_EQ(Form1.Memo1.Lines, c.log);
    EXPECT_EQ(R.NotFeasible, 0);
    EXPECT_EQ(Frame, 1);
  }
}

// ---------------------------------------------------------------- end tests from running

// The gain is capped at the limit when the move stops on it.
TEST_F(LookAhead, AGainBeyondTheLimitIsReportedAtTheLimit) {
  Script = [](TWorld& w, int) { w.BallPos.z = kStartZ + 14.0f; };
  TMove M = PlainMove();
  M.StopOnGain = kTrue32;
  Simulate(M);
  EXPECT_EQ(Frame, 1);
  EXPECT_EQ(R.EndBallZ, kStartZ + 10.0f);
  EXPECT_EQ(R.Gain, 10.0f);

  // Without the stop the run goes on to its forward time, gain uncapped.
  SetUp();
  Script = [](TWorld& w, int) { w.BallPos.z = kStartZ + 14.0f; };
  M = PlainMove();
  M.SimDuration = 0.1f;
  Simulate(M);
  EXPECT_EQ(Frame, 3);
  EXPECT_EQ(R.EndBallZ, kStartZ + 14.0f);
  EXPECT_EQ(R.Gain, 14.0f);
}

// A change of possession ends the run in that frame; positions come back in
// the frame of the side that started with the ball.
TEST_F(LookAhead, AChangeOfPossessionEndsTheRunMirrored) {
  W.Team1InFirstBlock = kTrue32;
  Script = [](TWorld& w, int frame) {
    if (frame != 3) return;
    w.Team1InFirstBlock = kFalse32;
    w.BallPos = {3.0f, 1.0f, 20.0f};
    w.Teams[1].Players[kCarrier].Velocity = {2.0f, 5.0f};
    w.Teams[1].score = 3;
    w.Teams[2].score = 7;
  };
  Simulate(PlainMove());
  EXPECT_EQ(Frame, 3);
  EXPECT_EQ(R.SimTime, ToF32(3 * static_cast<double>(kStep)));
  EXPECT_NE(R.PossessionLost, 0);
  EXPECT_EQ(R.NotFeasible, 0);
  EXPECT_EQ(R.EndBallX, -3.0f);
  EXPECT_EQ(R.EndBallZ, -20.0f);
  EXPECT_EQ(R.EndCarrierVelX, -2.0f);
  EXPECT_EQ(R.Gain, -20.0f - kStartZ);
  EXPECT_EQ(R.SupportScore, -10000.0f);
  EXPECT_EQ(R.OwnScore, 7);
}

// From running, entering gottackled ends the run whatever StopOnTackle
// says; with it set the run ends already at the carrier's first tackled frame.
TEST_F(LookAhead, FromRunningATackleEndsTheRun) {
  for (const bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "StopOnTackle" : "no stop");
    SetUp();
    Script = [](TWorld& w, int frame) {
      if (frame == 3) w.Teams[1].Players[kCarrier].GettingTackledTimer = 1.0f;
      if (frame == 5) w.gamestate = gsGotTackled;
    };
    TMove M = PlainMove();
    M.StopOnTackle = Flag(stop);
    Simulate(M);
    EXPECT_EQ(Frame, stop ? 3 : 5);
    EXPECT_EQ(R.EndState, stop ? gsRunning : gsGotTackled);
    EXPECT_NE(R.EndTackled, 0);
    EXPECT_EQ(R.PossessionLost, 0);
  }
}

// Each stop of a run from running, with the frame it ends in and whether it
// counts as touch.
TEST_F(LookAhead, FromRunningTheStopsEndTheRun) {
  struct Case {
    const char* what;
    void (*script)(TWorld&, int);
    void (*move)(TMove&);
    int frames;
    bool touch;
  };
  const Case cases[] = {
      {"forced run, stop set", [](TWorld& w, int f) { if (f == 2) w.Teams[1].Players[kCarrier].ForcedRunTimer = 1.0f; },
       [](TMove& m) { m.StopOnForcedRun = kTrue32; }, 2, false},
      {"forced run, no stop", [](TWorld& w, int f) {
         if (f == 2) w.Teams[1].Players[kCarrier].ForcedRunTimer = 1.0f;
         if (f == 4) w.gamestate = gsKickRestartSet;
       }, [](TMove&) {}, 4, false},
      {"free ball, stop set", [](TWorld& w, int f) { if (f == 2) w.gamestate = gsFreeBall; },
       [](TMove& m) { m.StopOnFreeBall = kTrue32; }, 2, false},
      {"free ball, then passing, then a scrum", [](TWorld& w, int f) {
         if (f >= 2 && f <= 4) w.gamestate = f == 2 ? gsFreeBall : f == 3 ? gsPassing : gsScrum;
       }, [](TMove&) {}, 4, false},
      {"ball beyond the try line", [](TWorld& w, int f) { if (f == 2) w.BallPos.z = 50.6f; },
       [](TMove& m) { m.SimDuration = 100.0f; }, 2, false},
      {"ball on the try line margin", [](TWorld& w, int f) {
         if (f == 2) w.BallPos.z = 50.5f;
         if (f == 3) w.gamestate = gsTransition;
       }, [](TMove& m) { m.SimDuration = 100.0f; }, 3, false},
      {"carrier within 0.55 m of touch", [](TWorld& w, int f) {
         if (f == 2) w.Teams[1].Players[kCarrier].Pos.x = -34.5f;
       }, [](TMove&) {}, 2, true},
      {"lineout", [](TWorld& w, int f) { if (f == 2) w.gamestate = gsLineout; }, [](TMove&) {}, 2, true},
      {"transition to a lineout", [](TWorld& w, int f) {
         if (f == 2) {
           w.gamestate = gsTransition;
           w.PendingGameState = gsLineout;
         }
       }, [](TMove&) {}, 2, true},
      {"forward time", [](TWorld& w, int f) { if (f >= 2) w.BallPos.z = kStartZ + 1.0f; },
       [](TMove& m) { m.SimDuration = 0.1f; }, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    Script = c.script;
    TMove M = PlainMove();
    c.move(M);
    Simulate(M);
    EXPECT_EQ(Frame, c.frames);
    EXPECT_EQ(R.WentToTouch != 0, c.touch);
    EXPECT_EQ(R.PossessionLost, 0);
  }
}

// A run that never gains ground ends at the 20.0 s hard limit: the 32-bit
// sum of 0.04 s steps passes 20.0 in frame 500.
TEST_F(LookAhead, AStalledRunEndsAtTheHardLimit) {
  Simulate(PlainMove());
  EXPECT_EQ(Frame, 500);
  EXPECT_GT(R.SimTime, 20.0f);
  EXPECT_LT(R.SimTime, 20.0f + kStep);
  EXPECT_EQ(R.EndState, gsRunning);
  EXPECT_TRUE(Form1.Memo1.Lines.empty());
}

// A move without a time step cannot advance the clock: the diagnostic is
// logged once and the run ends after 2000 frames.
TEST_F(LookAhead, AMoveWithoutATimeStepIsReportedOnceAndBounded) {
  W.TimeStep = 0.5f;
  W.PrevTimeStep = 0.5f;
  W.Teams[1].MoveIndex = 17;
  TMove M = PlainMove();
  M.SimTimeStep = 0.0f;
  M.SimDuration = 5.0f;
  Script = [](TWorld&, int frame) { Form1.Memo1.Add("frame " + std::to_string(frame)); };
  Simulate(M);
  EXPECT_EQ(Frame, 2000);
  const std::vector<std::string> report = {
      "totsimtime", "0",          "OrigSimmedFromGameState", "Running", "Sim game crashed gamestate",
      "Running",    "Move index", "17",                      "Max sim time", "5",
      "Last time inc", "0.5",     "Time inc",                "0"};
  ASSERT_GE(Form1.Memo1.Count(), report.size());
  // The report replaced the log after frame 1's script line; later frames add theirs.
  EXPECT_EQ(std::vector<std::string>(Form1.Memo1.Lines.begin(), Form1.Memo1.Lines.begin() + report.size()), report);
  EXPECT_EQ(Form1.Memo1.Count(), report.size() + 1999);
  EXPECT_EQ(R.SimTime, 0.0f);
}

// ---------------------------------------------------------------- end tests from gottackled

// From gottackled the run goes on through running, passing and freeball, and
// a new tackle ends it only with StopOnTackle. The ruck clock is taken at
// the first frame out of gottackled.
TEST_F(LookAhead, FromGotTackledOpenPlayGoesOnAndANewTackleStopsOnlyWhenAsked) {
  for (const bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "StopOnTackle" : "no stop");
    SetUp();
    W.gamestate = gsGotTackled;
    W.FrameGameState = gsGotTackled;
    Script = [](TWorld& w, int frame) {
      static const TGameState states[] = {gsGotTackled, gsGotTackled, gsRunning, gsPassing,
                                          gsFreeBall,   gsRunning,    gsGotTackled};
      w.gamestate = frame <= 6 ? states[frame] : TGameState{gsGotTackled};
      w.RuckWaitClock = 0.5f * static_cast<f32>(frame);
    };
    TMove M = PlainMove();
    M.StopOnTackle = Flag(stop);
    Simulate(M);
    EXPECT_EQ(Frame, stop ? 6 : 500);
    EXPECT_EQ(R.EndState, gsGotTackled);
    EXPECT_EQ(R.RuckOverTimeAtExit, 1.0f);
    EXPECT_NE(R.PassingSeen, 0);
    EXPECT_NE(R.FreeBallSeen, 0);
    EXPECT_EQ(R.PossessionLost, 0);
  }
}

// The other ends of a run from gottackled, and touch that does not end it.
TEST_F(LookAhead, FromGotTackledTheStopsEndTheRun) {
  struct Case {
    const char* what;
    void (*script)(TWorld&, int);
    u16 code;
    int frames;
    bool touch;
  };
  const Case cases[] = {
      {"a scrum", [](TWorld& w, int f) { if (f == 2) w.gamestate = gsScrum; }, 0, 2, false},
      {"ball over touch, play kind 3", [](TWorld& w, int f) { if (f == 2) w.BallPos.x = 35.0f; }, 3, 2, true},
      {"ball over touch, play kind 2", [](TWorld& w, int f) {
         if (f == 2) w.BallPos.x = -35.0f;
         if (f == 4) w.gamestate = gsTransition;
       }, 2, 4, true},
      {"carrier near touch in running", [](TWorld& w, int f) {
         if (f == 2) {
           w.gamestate = gsRunning;
           w.Teams[1].Players[kCarrier].Pos.x = 34.5f;
         }
         if (f == 3) w.gamestate = gsTransition;
       }, 0, 3, true},
      {"ball beyond the try line", [](TWorld& w, int f) {
         if (f == 2) {
           w.gamestate = gsRunning;
           w.BallPos.z = 51.0f;
         }
       }, 0, 2, false},
      {"forward time with the restart delay", [](TWorld& w, int f) {
         w.gamestate = gsRunning;
         if (f == 1) w.BallPos.z = kStartZ + 1.0f;
       }, 0, 6, false},  // 0.24 s > 0.1 + 0.11 s
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsGotTackled;
    W.RestartDelay = 0.11f;
    Script = c.script;
    TMove M = PlainMove();
    M.SimDuration = 0.1f;
    Simulate(M, c.code);
    EXPECT_EQ(Frame, c.frames);
    EXPECT_EQ(R.WentToTouch != 0, c.touch);
  }
}

// ---------------------------------------------------------------- the carrier each frame

// A carrier on a plain first event heading out within 1.1 m of touch runs
// straight up-field instead, in every frame.
TEST_F(LookAhead, APlainRunHeadingOutNearTouchIsTurnedUpField) {
  struct Case {
    const char* what;
    f32 x;
    f32 angle;
    i32 type;
    bool32 relative;
    f32 expected;
  };
  const Case cases[] = {
      {"right touch, heading out", 34.2f, 120.0f, 0, 0, 90.0f},
      {"right touch, heading in", 34.2f, 60.0f, 0, 0, 60.0f},
      {"left touch, heading out", -34.2f, 60.0f, 0, 0, 90.0f},
      {"left touch, heading in", -34.2f, 120.0f, 0, 0, 120.0f},
      {"outside the band", 33.8f, 120.0f, 0, 0, 120.0f},
      {"a pass event", 34.2f, 120.0f, 1, 0, 120.0f},
      {"a run to a target", 34.2f, 120.0f, 0, kTrue32, 120.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    static Case current;
    current = c;
    auto arm = [](TWorld& w) {
      TPlayer& C = w.Teams[1].Players[kCarrier];
      C.Pos.x = C.OldPos.x = current.x;
      C.ActionSeq = StrategyParams.ActionSeqTemplate;
      C.ActionSeq.CurrEventIndex = 1;
      TActionEvent& E = C.ActionSeq.EventArray[1];
      E.Angle = current.angle;
      E.EventType = current.type;
      E.RelMovementOn = current.relative;
      E.EventSubType = 0;
    };
    arm(W);
    Script = [](TWorld& w, int frame) {
      TPlayer& C = w.Teams[1].Players[kCarrier];
      C.Pos.x = C.OldPos.x = current.x;
      C.ActionSeq.EventArray[1].Angle = current.angle;
      if (frame == 4) w.gamestate = gsTransition;
    };
    Simulate(PlainMove());
    EXPECT_EQ(FirstEventAngle, std::vector<f32>(4, c.expected));
  }
}

// In running a carrier without a sequence gets the template before his
// decision; a carrier number that names no player on the field gets
// nothing, and the outcome takes its no-carrier values.
TEST_F(LookAhead, TheTemplateGoesOnlyToACarrierOnTheField) {
  Carrier().ActionSeq.seqON = kFalse32;
  Script = [](TWorld& w, int) { w.gamestate = gsTransition; };
  Simulate(PlainMove());
  EXPECT_NE(Carrier().ActionSeq.seqON, 0);
  EXPECT_EQ(Carrier().ActionSeq.NumEvents, StrategyParams.ActionSeqTemplate.NumEvents);

  for (const i32 carrier : {0, 16, 26, -1}) {
    SCOPED_TRACE(carrier);
    SetUp();
    W.Teams[1].BallCarrier = carrier;
    TPlayer& P16 = W.Teams[1].Players[16];
    P16.GettingTackledTimer = 1.0f;
    P16.Pos = {5.0f, 0.0f, 5.0f};
    Script = [](TWorld& w, int) { w.BallPos.z = kStartZ + 1.0f; };
    TMove M = PlainMove();
    M.SimDuration = 0.0f;
    Simulate(M);
    EXPECT_EQ(R.EndState, gsRunning);
    EXPECT_EQ(W.Teams[1].Players[16].ActionSeq.seqON, 0);
    EXPECT_EQ(R.EndHeading, 90.0f);
    EXPECT_EQ(R.EndTackled, 0);
    EXPECT_EQ(R.EndEventType, 0xFFFF);
    EXPECT_EQ(R.EndCarrierVelX, 0.0f);
  }
}

// ---------------------------------------------------------------- tracking

// PassSeen and Event34Seen from the carrier's current event and wind-up.
TEST_F(LookAhead, PassesAndDummiesAreNoted) {
  struct Case {
    const char* what;
    TGameState state;
    bool32 seqOn;
    i32 type;
    f32 passtimer;
    bool pass, dummy;
  };
  const Case cases[] = {
      {"pass event", gsRunning, kTrue32, 1, 0.0f, true, false},
      {"draw-and-pass event", gsRunning, kTrue32, 2, 0.0f, true, false},
      {"dummy event", gsRunning, kTrue32, 3, 0.0f, false, true},
      {"dummy event, wound up", gsRunning, kTrue32, 4, 1.0f, false, true},
      {"run, wound up", gsRunning, kTrue32, 0, 1.0f, true, false},
      {"pass event, sequence off", gsRunning, kFalse32, 1, 0.0f, false, false},
      {"gottackled, pass event", gsGotTackled, kTrue32, 2, 0.0f, true, false},
      {"gottackled, dummy wound up", gsGotTackled, kTrue32, 3, 1.0f, true, false},
      {"passing, pass event", gsPassing, kTrue32, 1, 0.0f, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    static Case current;
    current = c;
    Script = [](TWorld& w, int frame) {
      TPlayer& C = w.Teams[1].Players[kCarrier];
      if (frame == 2) {
        w.gamestate = gsTransition;
        return;
      }
      w.gamestate = current.state;
      C.ActionSeq.seqON = current.seqOn;
      C.ActionSeq.CurrEventIndex = 1;
      C.ActionSeq.EventArray[1].EventType = current.type;
      C.passtimer = current.passtimer;
    };
    Simulate(PlainMove());
    EXPECT_EQ(R.PassSeen != 0, c.pass);
    EXPECT_EQ(R.Event34Seen != 0, c.dummy);
  }
}

// Free defenders round the carrier after a catch (within 0.75 m) and after a
// gather (within 1.25 m), counted from the fourth frame on; the largest
// count stays.
TEST_F(LookAhead, PressureAfterACatchAndAGatherIsCounted) {
  Script = [](TWorld& w, int frame) {
    const TPlayer& C = w.Teams[1].Players[kCarrier];
    auto place = [&](int d, double dx) {
      TPlayer& D = w.Teams[2].Players[d];
      D.Pos = {static_cast<f32>(C.Pos.x + dx), 0.0f, C.Pos.z};
    };
    for (int d = 1; d <= 15; ++d) {
      TPlayer& D = w.Teams[2].Players[d];
      D.Pos = {static_cast<f32>(3 * d - 30), 0.0f, 40.0f};
      D.standuptimer = D.playertofollowtimer = D.TackleAttemptTimer = D.OldTackleTimer = 0.0f;
      D.playertofollow = D.target = 0;
    }
    switch (frame) {
      case 2:  // too early to count
        w.PrevFrameGameState = gsPassing;
        for (int d = 1; d <= 5; ++d) place(d, 0.1 * d);
        break;
      case 5:  // catch: two free, one getting up, one on the carrier, one too far
        w.PrevFrameGameState = gsPassing;
        place(1, 0.5);
        place(2, -0.7);
        place(3, 0.3);
        w.Teams[2].Players[3].standuptimer = 1.0f;
        place(4, 0.2);
        w.Teams[2].Players[4].TackleAttemptTimer = 1.0f;
        w.Teams[2].Players[4].target = kCarrier;
        place(5, 0.8);
        break;
      case 6:  // gather: three free, one tackling another player
        w.PrevFrameGameState = gsFreeBall;
        place(1, 1.2);
        place(2, -1.0);
        place(3, 0.1);
        w.Teams[2].Players[3].playertofollowtimer = 1.0f;
        w.Teams[2].Players[3].playertofollow = kCarrier;
        place(4, 0.2);
        w.Teams[2].Players[4].TackleAttemptTimer = 1.0f;
        w.Teams[2].Players[4].target = 9;
        break;
      case 7:  // a later catch with one defender does not lower the peak
        w.PrevFrameGameState = gsPassing;
        place(1, 0.1);
        break;
      case 8:
        w.gamestate = gsTransition;
        break;
      default:
        w.PrevFrameGameState = gsRunning;
    }
  };
  Simulate(PlainMove());
  EXPECT_EQ(R.PeakPressureAtCatch, 3);
  EXPECT_EQ(R.PeakPressureAtGather, 3);
}

// The first break and side-step, a kick, and the time the carrier is pushed
// apart from another player.
TEST_F(LookAhead, BreaksStepsKicksAndContactAreNoted) {
  Script = [](TWorld& w, int frame) {
    TPlayer& C = w.Teams[1].Players[kCarrier];
    w.CarrierPushedByOpponent = Flag(frame == 2 || frame == 3);
    w.CarrierPushedByTeamMate = Flag(frame == 3 || frame == 4);
    if (frame == 2) {
      C.BreakTackleTimer = 1.0f;
      C.ActionCode = 5.0f;
      C.KickTimer = 1.0f;
    }
    if (frame == 3) {
      C.ActionCode = 7.0f;
      C.StepTimer = 1.0f;
    }
    if (frame == 6) w.gamestate = gsTransition;
  };
  Simulate(PlainMove());
  EXPECT_NE(R.BreakSeen, 0);
  EXPECT_EQ(R.BreakActionCode, 5.0f);
  EXPECT_NE(R.StepSeen, 0);
  EXPECT_NE(R.KickSeen, 0);
  EXPECT_FLOAT_EQ(R.CarrierContactTime, 3 * kStep);
}

// A loose ball counts as dropping when its current flight segment starts
// after 1.0 s, below 1.85 m and falling; a phase outside the flight reads
// nothing.
TEST_F(LookAhead, ALooseBallDroppingIsNoted) {
  struct Case {
    const char* what;
    i32 phase;
    f32 time, height, vy;
    bool dropping;
  };
  const Case cases[] = {
      {"late, low, falling", 3, 1.2f, 1.5f, -2.0f, true},
      {"early", 3, 1.0f, 1.5f, -2.0f, false},
      {"high", 3, 1.2f, 1.85f, -2.0f, false},
      {"rising", 3, 1.2f, 1.5f, 0.0f, false},
      {"phase 0", 0, 1.2f, 1.5f, -2.0f, false},
      {"phase beyond the flight", 5, 1.2f, 1.5f, -2.0f, false},
      {"phase beyond the table", 1001, 1.2f, 1.5f, -2.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    for (int k = 1; k <= 1000; ++k) {
      W.FlightTimes[k] = c.time;
      W.FlightPos[k].y = c.height;
      W.FlightVel[k].y = c.vy;
    }
    W.FlightSegments = c.phase == 1001 ? 1001 : 4;
    static i32 phase;
    phase = c.phase;
    Script = [](TWorld& w, int frame) {
      w.gamestate = frame == 1 ? gsFreeBall : gsTransition;
      w.BallPhase = phase;
    };
    Simulate(PlainMove());
    EXPECT_NE(R.FreeBallSeen, 0);
    EXPECT_EQ(R.LooseBallDropping != 0, c.dropping);
  }
}

// An opponent who touches the loose ball is noted (in freeball only), and
// from then on the ball no longer counts as dropping. Frames: 1 and 3 to 4
// freeball, 2 running; the ball drops in frame 4.
TEST_F(LookAhead, AnOpponentOnTheLooseBallIsNoted) {
  struct Case {
    const char* what;
    int touchFrame;
    int block, player;
    bool touched, dropping;
  };
  const Case cases[] = {
      {"an opponent in freeball", 3, 2, 15, true, false},
      {"an opponent in running", 2, 2, 15, false, true},
      {"a team-mate", 3, 1, 4, false, true},
      {"a player off the field", 3, 2, 16, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    for (int k = 1; k <= 1000; ++k) {
      W.FlightTimes[k] = 1.2f;
      W.FlightPos[k].y = 1.5f;
      W.FlightVel[k].y = -2.0f;
    }
    W.FlightSegments = 4;
    static const Case* current;
    current = &c;
    Script = [](TWorld& w, int frame) {
      w.Teams[current->block].Players[current->player].BallTouchLockTimer = frame == current->touchFrame ? 0.2f : 0.0f;
      const TGameState states[] = {gsFreeBall, gsFreeBall, gsRunning, gsFreeBall, gsFreeBall, gsTransition};
      w.gamestate = states[frame];
      w.BallPhase = frame == 4 ? 3 : 0;
    };
    Simulate(PlainMove());
    EXPECT_EQ(Frame, 5);
    EXPECT_EQ(R.OpponentTouchedBall != 0, c.touched);
    EXPECT_EQ(R.LooseBallDropping != 0, c.dropping);
  }
}

// ---------------------------------------------------------------- the outcome

// Room round the ball at the end of a run in running: defenders strictly
// within 2 m across and ahead of 2 m behind the ball.
TEST_F(LookAhead, SupportScoreInRunning) {
  struct Case {
    const char* what;
    std::vector<TVector2> defenders;  // offsets from the ball
    f32 score;
  };
  const Case cases[] = {
      {"nobody near", {}, 10.0f},
      {"one ahead", {{1.0f, 3.0f}}, 1.0f},
      {"two", {{1.9f, 0.0f}, {-1.0f, -1.9f}}, 0.5f},
      {"three", {{0.0f, 1.0f}, {0.5f, 1.0f}, {-0.5f, 1.0f}}, 0.0f},
      {"on the edges", {{2.0f, 1.0f}, {0.0f, -2.0f}}, 10.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    static const Case* current;
    current = &c;
    Script = [](TWorld& w, int) {
      ClearTheField(w);
      w.BallPos = {4.0f, 1.0f, kStartZ + 2.0f};
      int d = 1;
      for (const TVector2& o : current->defenders) w.Teams[2].Players[d++].Pos = {4.0f + o.x, 0.0f, w.BallPos.z + o.z};
    };
    TMove M = PlainMove();
    M.SimDuration = 0.0f;
    Simulate(M);
    EXPECT_EQ(Frame, 1);
    EXPECT_EQ(R.SupportScore, c.score);
  }
}

// At a breakdown: team-mates within 4 m across and behind the ball, and
// defenders within 2 m across, ahead of 2 m behind and not tackling.
TEST_F(LookAhead, SupportScoreAtABreakdown) {
  struct Case {
    const char* what;
    int support;   // team-mates placed 1 m behind the ball
    int free;      // defenders placed 1 m ahead
    bool tackling;  // the defenders are attempting a tackle
    f32 score;
  };
  const Case cases[] = {
      {"alone, open", 0, 0, false, 2.0f},
      {"one support, one defender", 1, 1, false, 1.5f},
      {"two support, two defenders", 2, 2, false, 1.5f},
      {"four support, three defenders", 4, 3, false, 1.5f},
      {"three support, three tackling", 3, 3, true, 3.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    static const Case* current;
    current = &c;
    Script = [](TWorld& w, int) {
      ClearTheField(w);
      w.gamestate = gsGotTackled;
      w.BallPos = {0.0f, 0.5f, 10.0f};
      w.Teams[1].Players[kCarrier].Pos = {0.0f, 0.0f, 10.0f};
      for (int k = 1; k <= current->support; ++k) w.Teams[1].Players[k].Pos = {static_cast<f32>(k) - 2.0f, 0.0f, 9.0f};
      for (int k = 1; k <= current->free; ++k) {
        TPlayer& D = w.Teams[2].Players[k];
        D.Pos = {static_cast<f32>(k) * 0.5f - 1.0f, 0.0f, 11.0f};
        D.TackleAttemptTimer = current->tackling ? 1.0f : 0.0f;
      }
    };
    Simulate(PlainMove());
    EXPECT_EQ(Frame, 1);
    EXPECT_EQ(R.EndState, gsGotTackled);
    EXPECT_EQ(R.SupportScore, c.score);
  }
}

// The run fails (-10000) when it ends outside running and gottackled, and,
// from gottackled, when it went to touch.
TEST_F(LookAhead, SupportScoreOfAFailedRun) {
  Script = [](TWorld& w, int) { w.gamestate = gsScrum; };
  Simulate(PlainMove());
  EXPECT_EQ(R.SupportScore, -10000.0f);

  SetUp();
  W.gamestate = gsGotTackled;
  Script = [](TWorld& w, int) { w.BallPos.x = 36.0f; };
  Simulate(PlainMove(), 3);
  EXPECT_NE(R.WentToTouch, 0);
  EXPECT_EQ(R.EndState, gsGotTackled);
  EXPECT_EQ(R.SupportScore, -10000.0f);
}

// The carrier's markers: MarkedFree when marked by nobody engaged, and the
// clear ground before the nearest marker meets him.
TEST_F(LookAhead, MarkersGiveMarkedFreeAndSpaceAhead) {
  struct Marker {
    f32 eta;
    bool engaged;
    i32 target;
  };
  struct Case {
    const char* what;
    std::vector<Marker> markers;
    void (*extra)(TWorld&);
    bool free;
    f32 space;
  };
  constexpr f32 ballZ = 10.0f;
  const Case cases[] = {
      {"nobody marks", {}, [](TWorld&) {}, false, 50.0f - ballZ},
      {"one marker", {{25.0f, false, kCarrier}}, [](TWorld&) {}, true, 15.0f},
      {"the nearest counts", {{25.0f, false, kCarrier}, {18.0f, false, kCarrier}}, [](TWorld&) {}, true, 8.0f},
      {"one engaged", {{25.0f, false, kCarrier}, {30.0f, true, kCarrier}}, [](TWorld&) {}, false, 15.0f},
      {"chasing another", {{25.0f, false, 9}}, [](TWorld&) {}, false, 40.0f},
      {"his line meets touch", {{25.0f, false, kCarrier}},
       [](TWorld& w) {
         w.Teams[2].DefHeadingForTouch = kTrue32;
         w.RunLineTouchZ = 12.0f;
       },
       true, 2.0f},
      {"meets him behind the ball", {{5.0f, false, kCarrier}}, [](TWorld&) {}, true, 0.0f},
      {"first running frame", {{25.0f, false, kCarrier}}, [](TWorld& w) { w.RunningPhase = 1; }, true, 0.0f},
      {"carrier tackled", {{25.0f, false, kCarrier}},
       [](TWorld& w) { w.Teams[1].Players[kCarrier].GettingTackledTimer = 1.0f; }, true, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    static const Case* current;
    current = &c;
    Script = [](TWorld& w, int) {
      w.BallPos.z = ballZ;
      int d = 1;
      for (const Marker& m : current->markers) {
        TPlayer& D = w.Teams[2].Players[d++];
        D.ClosingOnCarrier = kTrue32;
        D.ChaseTarget = m.target;
        D.ClosingEngaged = Flag(m.engaged);
        D.InterceptZ = m.eta;
      }
      current->extra(w);
    };
    TMove M = PlainMove();
    M.SimDuration = 0.0f;
    Simulate(M);
    EXPECT_EQ(Frame, 1);
    EXPECT_EQ(R.MarkedFree != 0, c.free);
    EXPECT_EQ(R.SpaceAhead, c.space);
  }
}

// The carrier's heading over the last frame, his tackle, his current event
// and the contact time of his decision, read when the run ends in running.
TEST_F(LookAhead, TheCarrierAtTheEnd) {
  Script = [](TWorld& w, int) {
    TPlayer& C = w.Teams[1].Players[kCarrier];
    C.OldPos = {0.0f, 0.0f, 0.0f};
    C.Pos = {-1.0f, 0.0f, 1.0f};
    C.Velocity = {-2.5f, 2.5f};
    C.GettingTackledTimer = 0.5f;
    C.ActionSeq.seqON = kTrue32;
    C.ActionSeq.CurrEventIndex = 2;
    C.ActionSeq.EventArray[2].EventType = 8;
    w.BallPos.z = kStartZ + 1.0f;
  };
  TMove M = PlainMove();
  M.SimDuration = 0.0f;
  Simulate(M);
  EXPECT_EQ(R.EndState, gsRunning);
  EXPECT_EQ(R.EndHeading, 45.0f);
  EXPECT_NE(R.EndTackled, 0);
  EXPECT_EQ(R.EndEventType, 8);
  EXPECT_EQ(R.EndCarrierVelX, -2.5f);
  EXPECT_EQ(R.EndContactTime, W.LastContactTime);
  EXPECT_GT(R.EndContactTime, 0.0f);
  EXPECT_EQ(R.Gain, 1.0f);
  EXPECT_EQ(R.OwnScore, 0);

  // Ended in a state other than running or gottackled: the no-carrier values.
  SetUp();
  Script = [](TWorld& w, int) {
    w.gamestate = gsFreeBall;
    w.Teams[1].Players[kCarrier].GettingTackledTimer = 0.5f;
  };
  M.StopOnFreeBall = kTrue32;
  Simulate(M);
  EXPECT_EQ(R.EndState, gsFreeBall);
  EXPECT_EQ(R.EndHeading, 90.0f);
  EXPECT_EQ(R.EndTackled, 0);
  EXPECT_EQ(R.EndEventType, 0xFFFF);
  EXPECT_EQ(R.EndContactTime, 0.0f);
}

}  // namespace

// ---------------------------------------------------------------- the example match

namespace {

class LookAheadMatch : public ExampleMatchTest {
 protected:
  // The match in open play, block 1's carrier with the ball, and a
  // catalogue open-play move to apply.
  TMove Move{};

  void SetUp() override {
    ExampleMatchTest::SetUp();
    ASSERT_GE(World.Teams[1].BallCarrier, 1);
    World.gamestate = gsRunning;
    World.FrameGameState = gsRunning;
    World.TimeStep = 0.04f;
    World.PrevTimeStep = 0.04f;
    World.LiveWorld = kTrue32;
    const TPlayer& C = World.Teams[1].Players[World.Teams[1].BallCarrier];
    World.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
    World.Teams[1].MoveIndex = 21;
    Move = PossessionMoveBook(World).OpenPlayMoves[21];
    Move.ApplyFirst = kTrue32;
    Form1.Memo1.Clear();
  }
};

TWorld Before, AfterFirst;
// The match store up to its frame arrays: settings, recorder control and the
// message list.
constexpr size_t kStoreHead = offsetof(TMatchStore, FrameTimes);
unsigned char StoreHeadBefore[kStoreHead];

// A look-ahead of a catalogue move plays real frames on the copy: the match
// world and the match store's message list stay as they were byte for byte,
// nothing is allocated, and a second run from a fresh copy with the same seed
// ends the same.
TEST_F(LookAheadMatch, ALookAheadLeavesTheMatchUntouchedAndRepeatsFromOneCopyAndSeed) {
  std::memcpy(&Before, &World, sizeof World);
  std::memcpy(StoreHeadBefore, &MatchStore, kStoreHead);
  const u32 seed = RandSeed;
  TakeLookAheadCopy();
  TSimResult first{}, second{};
  std::feclearexcept(FE_ALL_EXCEPT);
  StartCountingAllocations();
  SimulateAhead(LookAheadWorld, Move, 0, first);
  const long allocations = StopCountingAllocations();
  EXPECT_EQ(allocations, 0);
  EXPECT_FALSE(FloatErrorRaised());
  EXPECT_EQ(std::memcmp(&Before, &World, sizeof World), 0);
  EXPECT_EQ(std::memcmp(StoreHeadBefore, &MatchStore, kStoreHead), 0);
  EXPECT_GT(first.SimTime, 0.0f);
  std::memcpy(&AfterFirst, &LookAheadWorld, sizeof LookAheadWorld);

  RandSeed = seed;
  TakeLookAheadCopy();
  SimulateAhead(LookAheadWorld, Move, 0, second);
  EXPECT_TRUE(first == second);
  EXPECT_EQ(std::memcmp(&AfterFirst, &LookAheadWorld, sizeof LookAheadWorld), 0);
  EXPECT_TRUE(Form1.Memo1.Lines.empty());
}

}  // namespace
