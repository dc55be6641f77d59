#include "decision/StrategyUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"
#include "flow/OpenPlayScene.h"

namespace {

TWorld W;

constexpr double kPi = std::numbers::pi;
// Facing angles (radians) whose sin(angle - pi) is +1 (towards the try line
// for the guards) and -1.
constexpr f32 kFacingIn = static_cast<f32>(1.5 * kPi);
constexpr f32 kFacingBack = static_cast<f32>(0.5 * kPi);

// The book heads the guards read and write, kept apart from the tables.
struct TBookHead {
  f32 ResampleTimer, TimeSinceSample;
  TSimResult BestResult;
};

// A 100 x 70 pitch in running, team 1 in possession; carrier 10 of block 1
// at the centre, standing, top speed 8 m/s; fifteen defenders standing 40 m
// up the pitch. The strategy table and the book heads are put back after
// each test.
class CarrierGuardsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedParams = StrategyParams;
    for (int b = 1; b <= 2; ++b) {
      SavedBooks[b - 1] = {MoveBooks[b].ResampleTimer, MoveBooks[b].TimeSinceSample, MoveBooks[b].BestResult};
    }
    std::memset(&W, 0, sizeof W);
    BuildActionSeqTemplates(W);
    StrategyParams.ClosingThreshold = 0.7f;
    StrategyParams.ClosingScanTimer = 0;
    StrategyParams.NearestClosing = 0;
    StrategyParams.TouchDanger = kFalse32;
    StrategyParams.TouchDangerTimer = 0;

    MakeOpenPlayPitch(W);
    W.halflength = 2400.0f;
    W.clock = 600.0f;
    W.MatchPhase = 1;
    W.RunningPhase = 5;
    W.Team1InFirstBlock = kTrue32;
    W.Teams[1].BallCarrier = 10;
    for (int i = 1; i <= 25; ++i) {
      TPlayer& d = W.Teams[2].Players[i];
      d.Pos = d.OldPos = {static_cast<f32>(4 * i - 32), 0.0f, 40.0f};
    }
    TPlayer& c = Carrier();
    c.maxspeed = 8.0f;
    c.FacingAngle = kFacingIn;
    c.Heading = 90.0f;
    for (int b = 1; b <= 2; ++b) {
      MoveBooks[b].ResampleTimer = 0;
      MoveBooks[b].TimeSinceSample = 0;
      MoveBooks[b].BestResult = TSimResult{};
    }
    RandSeed = 12345;
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void TearDown() override {
    EXPECT_FALSE(FloatErrorRaised());
    StrategyParams = SavedParams;
    for (int b = 1; b <= 2; ++b) {
      MoveBooks[b].ResampleTimer = SavedBooks[b - 1].ResampleTimer;
      MoveBooks[b].TimeSinceSample = SavedBooks[b - 1].TimeSinceSample;
      MoveBooks[b].BestResult = SavedBooks[b - 1].BestResult;
    }
  }

  static TPlayer& Carrier() { return W.Teams[1].Players[10]; }
  static TPlayer& Defender(int i) { return W.Teams[2].Players[i]; }

  // The carrier on a plain run: a running sequence at its first event.
  static void OnPlainRun() {
    TActionSeq& s = Carrier().ActionSeq;
    s = StrategyParams.ActionSeqTemplate;
    s.CurrEventIndex = 1;
    s.EventArray[1].EventType = 0;
  }

  // One decision's shared guards with the timer step's countdown before it.
  static void Frame() {
    TStrategyParams& S = StrategyParams;
    S.TouchDangerTimer -= W.TimeStep;
    S.ClosingScanTimer -= W.TimeStep;
    RunSharedCarrierGuards(W);
  }

  static inline TStrategyParams SavedParams;
  static inline TBookHead SavedBooks[2];
};

// ---------------------------------------------------------------- touch alarm

TEST_F(CarrierGuardsTest, TouchAlarmRisesForOneFrameAndNotAgainFor025s) {
  TPlayer& c = Carrier();
  c.Pos = {-34.5f, 0.0f, 0.0f};  // 0.5 m from the left touch line
  c.Velocity = {-0.02f, 0.0f};
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.TouchDanger, kTrue32);
  EXPECT_EQ(StrategyParams.TouchDangerTimer, 0.25f);
  // Nothing changes, yet the alarm stays down while the hold runs.
  int frames = 1;
  for (; frames < 20; ++frames) {
    Frame();
    if (StrategyParams.TouchDanger != 0) break;
  }
  EXPECT_EQ(frames, 7) << "raised again in the first frame the hold has run out";

  struct Case {
    const char* what;
    f32 x, vx;
    bool raised;
  };
  const Case cases[] = {
      {"right, moving right", 34.5f, 0.02f, true},
      {"right, creeping at 0.01 m/s", 34.5f, 0.01f, false},
      {"left, moving right", -34.5f, 0.02f, false},
      {"0.86 m in", -34.14f, -1.0f, false},
      {"0.84 m in", -34.16f, -1.0f, true},
  };
  for (const Case& k : cases) {
    StrategyParams.TouchDangerTimer = 0;
    c.Pos.x = k.x;
    c.Velocity.x = k.vx;
    RunSharedCarrierGuards(W);
    EXPECT_EQ(StrategyParams.TouchDanger, Flag(k.raised)) << k.what;
  }
}

TEST_F(CarrierGuardsTest, PassOfActionCode6KeepsTheAlarmDownButStartsTheHold) {
  TPlayer& c = Carrier();
  c.Pos = {34.5f, 0.0f, 0.0f};
  c.Velocity = {1.0f, 0.0f};
  c.passtimer = 0.3f;
  W.Teams[1].CarrierActionCode = 6;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.TouchDanger, kFalse32);
  EXPECT_EQ(StrategyParams.TouchDangerTimer, 0.25f);
  StrategyParams.TouchDangerTimer = 0;
  W.Teams[1].CarrierActionCode = 5;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.TouchDanger, kTrue32);
}

TEST_F(CarrierGuardsTest, SecondTouchRuleNeedsADefenderCloseAndNoTryFirst) {
  // A defender 1.5 m across, standing: 0.01 s to close on the x axis and
  // 0.01 s on z (both gaps within twice the reach).
  TPlayer& c = Carrier();
  struct Case {
    const char* what;
    f32 x, z, vz;
    bool raised;
  };
  const Case cases[] = {
      {"1.5 m from touch", 33.5f, 0.0f, 5.0f, true},
      {"2.0 m from touch", 33.0f, 0.0f, 5.0f, false},
      {"left side", -33.5f, 0.0f, 5.0f, true},
      {"reaches the try line first", 33.5f, 49.99f, 5.0f, false},
      {"short of the try line", 33.5f, 49.9f, 5.0f, true},
  };
  for (const Case& k : cases) {
    StrategyParams.TouchDangerTimer = 0;
    StrategyParams.ClosingScanTimer = 0;
    c.Pos = {k.x, 0.0f, k.z};
    c.Velocity = {0.0f, k.vz};
    Defender(1).Pos = Defender(1).OldPos = {k.x > 0 ? 32.0f : -32.0f, 0.0f, k.z};
    RunSharedCarrierGuards(W);
    EXPECT_FLOAT_EQ(StrategyParams.NearestClosing, 0.01f) << k.what;
    EXPECT_EQ(StrategyParams.TouchDanger, Flag(k.raised)) << k.what;
  }
  // Not while the hold of the first rule runs, nor with the defender 0.6 s away.
  c.Pos = {33.5f, 0.0f, 0.0f};
  StrategyParams.TouchDangerTimer = 0.1f;
  StrategyParams.ClosingScanTimer = 0;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.TouchDanger, kFalse32);
  StrategyParams.TouchDangerTimer = 0;
  StrategyParams.ClosingScanTimer = 1.0f;  // no scan: the estimate stands
  StrategyParams.NearestClosing = 0.6f;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.TouchDanger, kFalse32);
}

// ---------------------------------------------------------------- closing scan

TEST_F(CarrierGuardsTest, ScanFindsTheDefenderWhoClosesSoonest) {
  // Carrier standing at the centre. Defender 4, 2.1 m ahead, came 0.08 m
  // nearer in the last frame: 2 m/s, (2.1 - 0.9) / 2 = 0.6 s.
  Defender(4).Pos = {0.0f, 0.0f, 2.1f};
  Defender(4).OldPos = {0.0f, 0.0f, 2.18f};
  Defender(9).Pos = Defender(9).OldPos = {0.0f, 0.0f, -2.0f};  // behind, standing: (2 - 0.8) / 0.01
  W.SearchFlag = kFalse32;
  StrategyParams.NearestClosing = 3.0f;
  RunSharedCarrierGuards(W);
  const TStrategyParams& S = StrategyParams;
  EXPECT_EQ(S.PrevNearestClosing, 3.0f);
  EXPECT_NEAR(S.NearestClosing, 0.6f, 1e-4f);
  EXPECT_EQ(S.NearestClosingMin, S.NearestClosing);
  EXPECT_EQ(S.NearestDefender, 4);
  EXPECT_EQ(S.ClosingScanTimer, 0.1f);
  EXPECT_EQ(W.SearchFlag, kTrue32);

  // Defender 4 away: the standing one behind reaches within 0.8 m.
  Defender(4).Pos = Defender(4).OldPos = {0.0f, 0.0f, 30.0f};
  StrategyParams.ClosingScanTimer = 0;
  RunSharedCarrierGuards(W);
  EXPECT_NEAR(S.NearestClosing, 120.0f, 1e-3f);
  EXPECT_EQ(S.NearestDefender, 9);
  // In front the reach is 0.9 m.
  Defender(9).Pos = Defender(9).OldPos = {0.0f, 0.0f, 2.0f};
  StrategyParams.ClosingScanTimer = 0;
  RunSharedCarrierGuards(W);
  EXPECT_NEAR(S.NearestClosing, 110.0f, 1e-3f);

  // The carrier's own run counts: he ran 0.2 m towards defender 9 in the frame.
  Carrier().Velocity = {0.0f, 5.0f};
  StrategyParams.ClosingScanTimer = 0;
  RunSharedCarrierGuards(W);
  EXPECT_NEAR(S.NearestClosing, 0.22f, 1e-4f);
}

TEST_F(CarrierGuardsTest, BusyDefenderEntersTheScanStandingStill) {
  // Defender 4 runs at the carrier: 0.6 s when he counts as running.
  struct Case {
    const char* what;
    void (*make)(TPlayer&);
    bool busy;
  };
  const Case cases[] = {
      {"free", [](TPlayer&) {}, false},
      {"lying after his tackle", [](TPlayer& d) { d.OldTackleTimer = 0.5f; }, true},
      {"tackling another player", [](TPlayer& d) { d.TackleAttemptTimer = 0.5f, d.target = 3; }, true},
      {"tackling the carrier", [](TPlayer& d) { d.TackleAttemptTimer = 0.5f, d.target = 10; }, false},
      {"diving at the carrier (kind 5)",
       [](TPlayer& d) { d.TackleAttemptTimer = 0.5f, d.target = 10, d.TackleAttemptKind = 5; }, true},
      {"kind 9 at the carrier",
       [](TPlayer& d) { d.TackleAttemptTimer = 0.5f, d.target = 10, d.TackleAttemptKind = 9; }, false},
      {"kind 5 with the attempt over", [](TPlayer& d) { d.TackleAttemptKind = 5; }, false},
      {"following another", [](TPlayer& d) { d.playertofollowtimer = 1.0f, d.playertofollow = 2; }, true},
      {"following the carrier", [](TPlayer& d) { d.playertofollowtimer = 1.0f, d.playertofollow = 10; }, false},
      {"getting up", [](TPlayer& d) { d.standuptimer = 0.1f; }, true},
      {"in a ruck", [](TPlayer& d) { d.RuckTimer = 0.1f; }, true},
      {"back from a ruck", [](TPlayer& d) { d.RuckJoinDelay = 0.1f; }, true},
  };
  for (const Case& k : cases) {
    TPlayer& d = Defender(4);
    d = TPlayer{};
    d.Pos = {0.0f, 0.0f, 2.1f};
    d.OldPos = {0.0f, 0.0f, 2.18f};
    k.make(d);
    StrategyParams.ClosingScanTimer = 0;
    RunSharedCarrierGuards(W);
    EXPECT_NEAR(StrategyParams.NearestClosing, k.busy ? 120.0f : 0.6f, 1e-3f) << k.what;
  }
}

TEST_F(CarrierGuardsTest, ScanWaitsForItsTimerAndSkipsTheFirstRunningFrame) {
  Defender(4).Pos = Defender(4).OldPos = {0.0f, 0.0f, 2.0f};
  StrategyParams.NearestClosing = 5.0f;
  StrategyParams.NearestDefender = 7;
  StrategyParams.ClosingScanTimer = 0.02f;
  RunSharedCarrierGuards(W);
  W.RunningPhase = 1;
  StrategyParams.ClosingScanTimer = 0;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.NearestClosing, 5.0f);
  EXPECT_EQ(StrategyParams.PrevNearestClosing, 5.0f);
  EXPECT_EQ(StrategyParams.NearestDefender, 7);
  EXPECT_EQ(StrategyParams.ClosingScanTimer, 0);

  // With no defenders the scan keeps its start values.
  W.RunningPhase = 2;
  W.PlayersPerTeam = 0;
  RunSharedCarrierGuards(W);
  EXPECT_EQ(StrategyParams.NearestClosing, 100000.0f);
  EXPECT_EQ(StrategyParams.NearestDefender, 1);
  EXPECT_EQ(W.SearchFlag, kTrue32);
}

TEST_F(CarrierGuardsTest, CrossingTheThresholdResetsTheResampleTimerOfBooksSampledOver03sAgo) {
  struct Case {
    const char* what;
    f32 before;
    f32 defenderZ;  // standing defender 4 straight ahead: 0.01 s within 1.8 m, else far
    bool reset;
  };
  const Case cases[] = {
      {"down through 0.7", 0.8f, 1.0f, true},
      {"up through 0.7", 0.5f, 30.0f, true},
      {"staying below", 0.5f, 1.0f, false},
      {"staying above", 0.8f, 30.0f, false},
      {"from exactly 0.7", 0.7f, 1.0f, false},
  };
  for (const Case& k : cases) {
    Defender(4).Pos = Defender(4).OldPos = {0.0f, 0.0f, k.defenderZ};
    StrategyParams.NearestClosing = k.before;
    StrategyParams.ClosingScanTimer = 0;
    MoveBooks[1].TimeSinceSample = 0.31f;
    MoveBooks[2].TimeSinceSample = 0.29f;
    MoveBooks[1].ResampleTimer = MoveBooks[2].ResampleTimer = 0.2f;
    RunSharedCarrierGuards(W);
    EXPECT_EQ(MoveBooks[1].ResampleTimer, k.reset ? 0.0f : 0.2f) << k.what;
    EXPECT_EQ(MoveBooks[2].ResampleTimer, 0.2f) << k.what;
  }
}

// ---------------------------------------------------------------- per-side guards

TEST_F(CarrierGuardsTest, SamplingIsForbiddenDuringARunInRunDeadOrDive) {
  struct Case {
    const char* what;
    bool32 seqON;
    i32 current, type;
    f32 dive;
    bool allowed;
  };
  const Case cases[] = {
      {"plain run", kTrue32, 1, 0, 0, true},
      {"run dead current", kTrue32, 1, 6, 0, false},
      {"run in current", kTrue32, 2, 7, 0, false},
      {"run in, sequence off", kFalse32, 1, 7, 0, true},
      {"run in, not started", kTrue32, 0, 7, 0, true},
      {"index beyond the events", kTrue32, 11, 7, 0, true},
      {"diving", kFalse32, 0, 0, 0.5f, false},
  };
  for (const Case& k : cases) {
    TActionSeq& s = Carrier().ActionSeq;
    s = TActionSeq{};
    s.seqON = k.seqON;
    s.CurrEventIndex = k.current;
    for (TActionEvent& e : s.EventArray) e.EventType = k.type;
    Carrier().DiveTimer = k.dive;
    EXPECT_EQ(RunSideCarrierGuards(W), k.allowed) << k.what;
  }
  // Not in the first running frame, and nothing is written then.
  W.RunningPhase = 1;
  W.SearchFlag2 = 5;
  EXPECT_FALSE(RunSideCarrierGuards(W));
  EXPECT_EQ(W.SearchFlag2, 5);
}

TEST_F(CarrierGuardsTest, RunInCheckProjectsTheCarrierOverTheLineBeforeTheDefenderArrives) {
  struct Case {
    const char* what;
    f32 z, closing, speed, ballX;
    bool32 searchFlag;
    f32 resample;
    bool plainRun;
    bool32 expected;
  };
  // At 8 m/s for 0.5 s plus 0.75 m of reach: 4.75 m.
  const Case cases[] = {
      {"46.5 m, over by 1.25", 46.5f, 0.5f, 8.0f, 0.0f, kTrue32, 0.3f, true, kTrue32},
      {"46.4 m: too far out", 46.4f, 0.5f, 8.0f, 0.0f, kTrue32, 0.3f, true, kFalse32},
      {"slow: counted at 0.8 of top speed", 46.5f, 0.5f, 1.0f, 0.0f, kTrue32, 0.3f, true, kTrue32},
      {"0.2 s, no reach: 1.28 m short", 48.0f, 0.2f, 8.0f, 0.0f, kTrue32, 0.3f, true, kFalse32},
      {"0.23 s with reach, from 47.5 m", 47.5f, 0.23f, 8.0f, 0.0f, kTrue32, 0.3f, true, kTrue32},
      {"0.22 s, no reach, from 47.5 m", 47.5f, 0.22f, 8.0f, 0.0f, kTrue32, 0.3f, true, kFalse32},
      {"defender 0.75 s away", 49.0f, 0.75f, 8.0f, 0.0f, kTrue32, 0.3f, true, kFalse32},
      {"ball outside touch", 49.0f, 0.5f, 8.0f, 35.0f, kTrue32, 0.3f, true, kFalse32},
      {"search flag clear", 49.0f, 0.5f, 8.0f, 0.0f, kFalse32, 0.3f, true, kFalse32},
      {"resample timer run out", 49.0f, 0.5f, 8.0f, 0.0f, kTrue32, 0.0f, true, kFalse32},
      {"no sequence", 49.0f, 0.5f, 8.0f, 0.0f, kTrue32, 0.3f, false, kFalse32},
  };
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    if (k.plainRun) OnPlainRun();
    c.ActionSeq.EventArray[1].Angle = 45.0f;  // told apart from a run in (angle 3 or 177)
    c.Pos = {0.0f, 0.0f, k.z};
    c.speed = k.speed;
    W.BallPos.x = k.ballX;
    W.SearchFlag = k.searchFlag;
    StrategyParams.NearestClosing = k.closing;
    MoveBooks[1].ResampleTimer = k.resample;
    EXPECT_TRUE(RunSideCarrierGuards(W)) << k.what;
    EXPECT_EQ(W.SearchFlag2, k.expected) << k.what;
    EXPECT_EQ(c.ActionSeq.EventArray[1].EventType, k.expected != 0 ? 7 : 0) << k.what;
  }
}

TEST_F(CarrierGuardsTest, CarrierOverTheTryLineIsSentIn) {
  struct Case {
    const char* what;
    f32 z;
    f32 facing;
    bool sent;
  };
  const Case cases[] = {
      {"0.1 m past, facing back", 50.1f, kFacingBack, false},
      {"0.1 m past, facing in", 50.1f, kFacingIn, true},
      {"on the line, facing in", 50.0f, kFacingIn, true},
      {"short of the line, facing in", 49.99f, kFacingIn, false},
      {"0.25 m past, facing back", 50.25f, kFacingBack, true},
  };
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    c.Pos = {-3.0f, 0.0f, k.z};
    c.FacingAngle = k.facing;
    c.passtimer = c.KickTimer = 0.5f;
    W.Teams[1].PassTimeLeft = W.Teams[1].KickTimeLeft = 0.5f;
    EXPECT_TRUE(RunSideCarrierGuards(W)) << k.what;
    const TActionSeq& s = c.ActionSeq;
    if (!k.sent) {
      EXPECT_EQ(s.seqON, kFalse32) << k.what;
      EXPECT_EQ(c.passtimer, 0.5f) << k.what;
      continue;
    }
    EXPECT_EQ(s.seqON, kTrue32) << k.what;
    EXPECT_EQ(s.NumEvents, 1) << k.what;
    EXPECT_EQ(s.EventArray[1].EventType, 7) << k.what;
    EXPECT_EQ(s.EventArray[1].Angle, 177.0f) << k.what;
    EXPECT_EQ(s.EventArray[1].DesSpeed, 8.0f) << k.what;
    EXPECT_EQ(s.EventArray[2].EventType, StrategyParams.ActionSeqTemplate.EventArray[2].EventType);
    EXPECT_EQ(c.passtimer + c.KickTimer + W.Teams[1].PassTimeLeft + W.Teams[1].KickTimeLeft, 0.0f) << k.what;
  }
  // Right of the middle he runs in at 3 degrees; while diving he is not sent.
  Carrier().Pos.x = 0.5f;
  RunSideCarrierGuards(W);
  EXPECT_EQ(Carrier().ActionSeq.EventArray[1].Angle, 3.0f);
  Carrier().ActionSeq = TActionSeq{};
  Carrier().DiveTimer = 0.3f;
  EXPECT_FALSE(RunSideCarrierGuards(W));
  EXPECT_EQ(Carrier().ActionSeq.seqON, kFalse32);
}

TEST_F(CarrierGuardsTest, CarrierDeepInHisOwnInGoalRunsTheBallDead) {
  struct Case {
    const char* what;
    f32 z, heading;
    f32 angle;  // -1: not sent
  };
  const Case cases[] = {
      {"0.25 m deep, heading 45", -50.25f, 45.0f, 359.0f},
      {"heading 90", -51.0f, 90.0f, 181.0f},
      {"heading 179", -51.0f, 179.0f, 181.0f},
      {"heading 180 stays", -51.0f, 180.0f, 180.0f},
      {"heading 300 stays", -51.0f, 300.0f, 300.0f},
      {"heading 405 is 45", -51.0f, 405.0f, 359.0f},
      {"0.2 m deep", -50.2f, 45.0f, -1.0f},
  };
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    c.Pos = {0.0f, 0.0f, k.z};
    c.Heading = k.heading;
    RunSideCarrierGuards(W);
    if (k.angle < 0) {
      EXPECT_EQ(c.ActionSeq.seqON, kFalse32) << k.what;
      continue;
    }
    EXPECT_EQ(c.ActionSeq.EventArray[1].EventType, 6) << k.what;
    EXPECT_NEAR(c.ActionSeq.EventArray[1].Angle, k.angle, 1e-4f) << k.what;
    EXPECT_EQ(c.ActionSeq.EventArray[1].DesSpeed, static_cast<f32>(0.55 * 8.0)) << k.what;
  }
}

TEST_F(CarrierGuardsTest, RunDeadNotWhenCarriedInNorWhenTrailingAfterFullTime) {
  struct Case {
    const char* what;
    bool32 carriedIn;
    i32 phase;
    f32 clock;
    i32 score1, score2;
    bool sent;
  };
  const Case cases[] = {
      {"carried into his in-goal", kTrue32, 1, 600.0f, 0, 0, false},
      {"trailing after full time", kFalse32, 2, 4800.0f, 3, 5, false},
      {"trailing before full time", kFalse32, 2, 4799.0f, 3, 5, true},
      {"level after full time", kFalse32, 2, 4800.0f, 5, 5, true},
      {"trailing after half time, first half", kFalse32, 1, 2410.0f, 3, 5, true},
  };
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    c.Pos = {0.0f, 0.0f, -52.0f};
    W.Teams[1].CarriedIntoOwnInGoal = k.carriedIn;
    W.MatchPhase = k.phase;
    W.clock = k.clock;
    W.Teams[1].score = k.score1;
    W.Teams[2].score = k.score2;
    RunSideCarrierGuards(W);
    EXPECT_EQ(c.ActionSeq.EventArray[1].EventType, k.sent ? 6 : 0) << k.what;
  }
}

// ---------------------------------------------------------------- time-up kick

TEST_F(CarrierGuardsTest, TimeUpKickByHalfScoreAndPlace) {
  struct Case {
    const char* what;
    i32 phase;
    f32 clock, z;
    i32 score1, score2;
    bool kicks;
  };
  const Case cases[] = {
      {"second half, level, z 5", 2, 4800.0f, 5.0f, 7, 7, false},
      {"second half, level, z -5", 2, 4800.0f, -5.0f, 7, 7, true},
      {"second half, leading, z 30", 2, 4800.0f, 30.0f, 8, 7, true},
      {"second half, trailing, z -30", 2, 4800.0f, -30.0f, 6, 7, false},
      {"second half, before time", 2, 4799.9f, -30.0f, 8, 7, false},
      {"first half, own half", 1, 2400.0f, -5.0f, 0, 7, true},
      {"first half, opponents' half", 1, 2400.0f, 5.0f, 0, 0, false},
      {"first half, before time", 1, 2399.0f, -5.0f, 0, 0, false},
      {"first half, 8 behind, outside his 22", 1, 2400.0f, -28.0f, 0, 8, false},
      {"first half, 8 behind, inside his 22", 1, 2400.0f, -28.1f, 0, 8, true},
  };
  MoveBooks[1].BestResult.Gain = 6.9f;
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    c.Pos = {-10.0f, 0.0f, k.z};
    W.MatchPhase = k.phase;
    W.clock = k.clock;
    W.Teams[1].score = k.score1;
    W.Teams[2].score = k.score2;
    const u32 before = RandSeed;
    RunTimeUpKick(W);
    EXPECT_EQ(c.ActionSeq.EventArray[1].EventType, k.kicks ? 5 : 0) << k.what;
    EXPECT_EQ(DrawsSince(before), k.kicks ? 2 : 0) << k.what;
  }
}

TEST_F(CarrierGuardsTest, TimeUpKickDrawsAngleThenElevation) {
  W.MatchPhase = 2;
  W.clock = 4800.0f;
  W.Teams[1].score = 3;
  for (f32 x : {5.0f, 0.0f}) {
    TPlayer& c = Carrier();
    c.Pos = {x, 0.0f, 10.0f};
    RandSeed = 777;
    RunTimeUpKick(W);
    RandSeed = 777;
    const f32 angle = static_cast<f32>(x > 0 ? RandomRange(170, 181) : RandomRange(0, 11));
    const f32 elevation = static_cast<f32>(RandomRange(38, 43));
    const TActionEvent& e = c.ActionSeq.EventArray[1];
    EXPECT_EQ(c.ActionSeq.seqON, kTrue32);
    EXPECT_EQ(e.EventType, 5);
    EXPECT_EQ(e.DesSpeed, 4.0f);
    EXPECT_EQ(e.Angle, angle);
    EXPECT_EQ(e.KickLaunchHeading, angle);
    EXPECT_EQ(e.KickLaunchSpeed, 30.0f);
    EXPECT_EQ(e.KickLaunchElevation, elevation);
    EXPECT_TRUE(x > 0 ? angle >= 170 && angle <= 180 : angle >= 0 && angle <= 10) << angle;
  }
}

TEST_F(CarrierGuardsTest, GoodSampledOutcomeOrAKickUnderWayPreventsTheTimeUpKick) {
  W.MatchPhase = 2;
  W.clock = 4800.0f;
  W.Teams[1].score = 3;
  struct Case {
    const char* what;
    f32 gain, endZ, kickTimer;
    bool kicks;
  };
  const Case cases[] = {
      {"gain 6.9 m", 6.9f, 49.9f, 0, true},
      {"gain 7.0 m", 7.0f, 10.0f, 0, false},
      {"reaching the try line", 1.0f, 50.0f, 0, false},
      {"kicking already", 1.0f, 10.0f, 0.2f, false},
  };
  for (const Case& k : cases) {
    TPlayer& c = Carrier();
    c.ActionSeq = TActionSeq{};
    c.KickTimer = k.kickTimer;
    MoveBooks[1].BestResult.Gain = k.gain;
    MoveBooks[1].BestResult.EndBallZ = k.endZ;
    RunTimeUpKick(W);
    EXPECT_EQ(c.ActionSeq.EventArray[1].EventType, k.kicks ? 5 : 0) << k.what;
  }
  // The book read is the possessing side's: team 2's while it holds the ball.
  W.Team1InFirstBlock = kFalse32;
  MoveBooks[2].BestResult.Gain = 7.0f;
  Carrier().KickTimer = 0;
  Carrier().ActionSeq = TActionSeq{};
  RunTimeUpKick(W);
  EXPECT_EQ(Carrier().ActionSeq.seqON, kFalse32);
}

// ---------------------------------------------------------------- no carrier

TEST_F(CarrierGuardsTest, WithNoCarrierOnlyTheOneFrameAlarmIsCleared) {
  W.MatchPhase = 2;
  W.clock = 4800.0f;
  W.Teams[1].score = 3;
  for (i32 carrier : {0, 26, -1}) {
    W.Teams[1].BallCarrier = carrier;
    StrategyParams.TouchDanger = kTrue32;
    StrategyParams.NearestClosing = 0.5f;
    StrategyParams.PrevNearestClosing = 0.9f;
    MoveBooks[1].TimeSinceSample = 1.0f;
    MoveBooks[1].ResampleTimer = 0.2f;
    TStrategyParams expected = StrategyParams;
    expected.TouchDanger = kFalse32;
    W.SearchFlag2 = 3;
    const u32 before = RandSeed;
    RunSharedCarrierGuards(W);
    EXPECT_FALSE(RunSideCarrierGuards(W)) << carrier;
    RunTimeUpKick(W);
    EXPECT_EQ(std::memcmp(&StrategyParams, &expected, sizeof expected), 0) << carrier;
    EXPECT_EQ(MoveBooks[1].ResampleTimer, 0.2f) << carrier;
    EXPECT_EQ(W.SearchFlag2, 3) << carrier;
    EXPECT_EQ(RandSeed, before) << carrier;
  }
}

}  // namespace
