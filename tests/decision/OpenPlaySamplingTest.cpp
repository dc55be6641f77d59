#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "ExampleMatch.h"
#include "app/FrameSteps.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"
#include "core/UDPRealtime.h"
#include "decision/LookAhead.h"
#include "decision/MoveBookScene.h"
#include "decision/StrategyUnit.h"
#include "platform/Form.h"

namespace {

constexpr i32 kCarrier = 10;

// FNV-1a over the bytes of a world.
uint64_t WorldHash(const TWorld& W) {
  const auto* p = reinterpret_cast<const unsigned char*>(&W);
  uint64_t h = 1469598103934665603ull;
  for (size_t i = 0; i < sizeof W; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// What the stand-in look-ahead saw at the start of each run.
struct TSimCall {
  i32 MoveIndex;      // block 1's, in the copy
  bool32 ApplyFirst;  // of the move handed over
  uint64_t StartHash;      // of the copy
};

std::vector<TSimCall> SimCalls;
std::array<f32, 151> TableGain;  // m, per move number
f32 InProgressGain;              // m, the move in progress
std::vector<i32> OpenMoves;      // what the stand-in finder opens
int FinderCalls, CarrierDecisions;

// A run whose fitness is its gain plus 1 (kept possession in running, the
// carrier tackled at the end, gain above the move's MinGain of 0); the copy
// is left changed, as a real run leaves it.
void StandInSimulate(TWorld& W, const TMove& Move, u16, TSimResult& R) {
  SimCalls.push_back({W.Teams[1].MoveIndex, Move.ApplyFirst, WorldHash(W)});
  R = TSimResult{};
  R.EndState = gsRunning;
  R.EndTackled = kTrue32;
  R.EndEventType = 0xFFFF;
  R.SupportScore = 1.0f;
  R.SimTime = 2.0f;
  const i32 m = W.Teams[1].MoveIndex;
  R.Gain = Move.ApplyFirst != 0 && m >= 1 && m <= 150 ? TableGain[m] : InProgressGain;
  R.EndBallZ = R.Gain;
  W.clock += 5.0f;
  W.BallPos.z += 7.0f;
}

void StandInFinder(TWorld& W) {
  ++FinderCalls;
  TMoveBook& B = PossessionMoveBook(W);
  for (int m = 1; m <= 150; ++m) B.OpenFlags[m] = kFalse32;
  for (i32 m : OpenMoves) B.OpenFlags[m] = kTrue32;
}

void StandInCarrierDecision(TWorld&) { ++CarrierDecisions; }

// The book sampled in the running fixture (team 1 in possession).
TMoveBook& Book() { return MoveBooks[1]; }

int ListLength(const TMoveBook& B) {
  int n = 0;
  while (n < 150 && B.OpenList[n + 1] != 0) ++n;
  return n;
}

// The match world in running on a 100 x 70 m pitch: carrier 10 of block 1
// at the centre, running a one-event move 40, defenders 40 m up the pitch;
// S = 1 and at most three moves a pass. The look-ahead, the finder and the
// carrier's decision are stand-ins; the move application is the real one.
// Books and strategy table are put back after each test.
class OpenPlaySampling : public ::testing::Test {
 protected:
  static inline Arr1<TMoveBook, 2> SavedBooks;
  TStrategyParams SavedParams;

  void SetUp() override {
    MakeMoveBookScene(World);
    SavedBooks = MoveBooks;
    SavedParams = StrategyParams;
    BuildActionSeqTemplates(World);
    Form1.Memo2.Clear();
    TWorld& W = World;
    W.LiveWorld = kTrue32;
    W.gamestate = gsRunning;
    W.FrameGameState = gsRunning;
    W.TimeStep = 0.04f;
    W.PrevTimeStep = 0.04f;
    W.RunningPhase = 5;
    W.MatchPhase = 1;
    W.halflength = 2400.0f;
    W.clock = 600.0f;
    TTeamBlock& A = W.Teams[1];
    A.BallCarrier = kCarrier;
    A.MoveIndex = 40;
    A.PlayOption = 1;
    for (int b = 1; b <= 2; ++b) {
      for (int i = 1; i <= 15; ++i) {
        TPlayer& p = W.Teams[b].Players[i];
        p.Pos = p.OldPos = {static_cast<f32>(4 * i - 32), 0.0f, b == 1 ? -10.0f : 40.0f};
        p.maxspeed = 8.0f;
      }
    }
    TPlayer& C = Carrier();
    C.Pos = C.OldPos = {0.0f, 0.0f, 0.0f};
    C.simsPerGenPlayAction = 1;
    C.maxGenPlaySims = 3;
    C.turnoverLossFactor = 5.0f;
    SetMoveInProgress(true);

    StrategyParams.ClosingThreshold = 0.7f;
    StrategyParams.ClosingScanTimer = 1.0f;  // no scan: NearestClosing stays as set
    StrategyParams.NearestClosing = 2.0f;
    StrategyParams.PrevNearestClosing = 2.0f;
    StrategyParams.TouchDanger = kFalse32;
    StrategyParams.TouchDangerTimer = 0;
    for (TMoveBook& B : MoveBooks) {
      B.ResampleTimer = 0;
      B.HoldTimer = 0;
      B.TimeSinceSample = 1.0f;
      B.SamplingOn = kTrue32;
    }

    SimCalls.clear();
    SimCalls.reserve(64);
    TableGain.fill(1.0f);
    InProgressGain = 0.0f;
    OpenMoves = {3, 7, 12, 21, 26};
    FinderCalls = 0;
    CarrierDecisions = 0;
    SamplerSeam = {StandInSimulate, StandInFinder, StandInCarrierDecision};
    RandSeed = 2026;
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void TearDown() override {
    SamplerSeam = {nullptr, nullptr, nullptr};
    MoveBooks = SavedBooks;
    StrategyParams = SavedParams;
  }

  static TPlayer& Carrier() { return World.Teams[1].Players[kCarrier]; }

  static void SetMoveInProgress(bool on) {
    TActionSeq& Q = Carrier().ActionSeq;
    Q.seqON = on ? kTrue32 : kFalse32;
    Q.NumEvents = 1;
    Q.CurrEventIndex = 1;
  }
};

// ---------------------------------------------------------------- dispatcher

// States without a decision of their own leave the world and the books alone.
TEST_F(OpenPlaySampling, StatesWithoutADecisionAreUntouched) {
  for (TGameState s : {gsPassing, gsFreeBall, gsTryScored, gsTransition}) {
    SetUp();
    for (TMoveBook& B : MoveBooks) B.SamplingOn = kFalse32;
    World.gamestate = s;
    const uint64_t before = WorldHash(World);
    Strategy(World);
    EXPECT_EQ(WorldHash(World), before) << int(s);
    EXPECT_EQ(MoveBooks[1].SamplingOn, kFalse32) << int(s);
    EXPECT_EQ(MoveBooks[2].SamplingOn, kFalse32) << int(s);
    EXPECT_EQ(FinderCalls + CarrierDecisions + int(SimCalls.size()), 0) << int(s);
    TearDown();
  }
}

// The first running frame switches sampling on in both books and hands over
// to the carrier's decision, applying nothing.
TEST_F(OpenPlaySampling, FirstRunningFrameOnlyCallsTheCarrierDecision) {
  for (TMoveBook& B : MoveBooks) {
    B.SamplingOn = kFalse32;
    B.ResampleTimer = 0;
  }
  SetMoveInProgress(false);
  World.RunningPhase = 1;
  Strategy(World);
  EXPECT_EQ(MoveBooks[1].SamplingOn, kTrue32);
  EXPECT_EQ(MoveBooks[2].SamplingOn, kTrue32);
  EXPECT_EQ(Book().ResampleTimer, 0.0f);
  EXPECT_EQ(FinderCalls, 0);
  EXPECT_TRUE(SimCalls.empty());
  EXPECT_EQ(World.Teams[1].MoveIndex, 40);
  EXPECT_EQ(Carrier().ActionSeq.seqON, kFalse32);
  EXPECT_EQ(CarrierDecisions, 1);

  Book().ResampleTimer = 0.2f;  // a running timer is cleared in that frame
  Strategy(World);
  EXPECT_EQ(Book().ResampleTimer, 0.0f);
}

// A carrier steered by a user takes the user's run before his own decision;
// without a user his sequence is left alone.
TEST_F(OpenPlaySampling, AUserSteersTheCarrierBeforeHisDecision) {
  const TUDPRealtime savedRealtime = UDPRealtime;
  for (u16 user : {0, 1}) {
    SetUp();
    World.RunningPhase = 1;
    Carrier().ControllingUser = user;
    Carrier().ActionSeq.NumEvents = 7;
    SamplerSeam.BallCarrierDecision = [](TWorld& W) {
      ++CarrierDecisions;
      EXPECT_EQ(W.Teams[1].Players[kCarrier].ActionSeq.NumEvents,
                W.Teams[1].Players[kCarrier].ControllingUser != 0 ? StrategyParams.ActionSeqTemplate.NumEvents : 7);
    };
    Strategy(World);
    EXPECT_EQ(CarrierDecisions, 1) << user;
    TearDown();
  }
  UDPRealtime = savedRealtime;
}

// The book of the side in possession is the one sampled.
TEST_F(OpenPlaySampling, PossessionChoosesTheBook) {
  World.Team1InFirstBlock = kFalse32;
  Strategy(World);
  EXPECT_EQ(MoveBooks[2].TimeSinceSample, 0.0f);
  EXPECT_EQ(MoveBooks[1].TimeSinceSample, 1.0f);
  EXPECT_EQ(MoveBooks[2].ReEvaluate, kTrue32);
  EXPECT_EQ(MoveBooks[1].ResampleTimer, 0.0f);
  EXPECT_EQ(MoveBooks[2].ResampleTimer, 0.3f);
}

// Through the frame-step table a running frame samples once.
TEST_F(OpenPlaySampling, ARunningFrameOfTheTableSamplesOnce) {
  RunFrameStep(FrameSteps[kStepStrategy], World);
  EXPECT_EQ(FinderCalls, 1);
  EXPECT_EQ(SimCalls.size(), 4u);
  EXPECT_EQ(CarrierDecisions, 1);
  EXPECT_FALSE(FloatErrorRaised());
}

// ---------------------------------------------------------------- the pass

// S = 1, three moves a pass, five open and a move in progress: four runs,
// the move in progress first under move 1's head, then the three listed
// moves applied first; the list keeps three entries.
TEST_F(OpenPlaySampling, APassRunsTheMoveInProgressAndTheListedMoves) {
  SampleRunningMoves(World);
  EXPECT_EQ(ListLength(Book()), 3);
  for (int i = 4; i <= 150; ++i) ASSERT_EQ(Book().OpenList[i], 0) << i;
  ASSERT_EQ(SimCalls.size(), 4u);
  EXPECT_EQ(SimCalls[0].MoveIndex, 1);
  EXPECT_EQ(SimCalls[0].ApplyFirst, kFalse32);
  for (int i = 1; i <= 3; ++i) {
    const i32 m = Book().OpenList[i];
    EXPECT_EQ(SimCalls[i].MoveIndex, m);
    EXPECT_EQ(SimCalls[i].ApplyFirst, kTrue32);
    EXPECT_EQ(Book().OpenPlayMoves[m].ApplyFirst, kTrue32) << "kept in the stored move";
    EXPECT_EQ(Book().Results[m].Gain, 1.0f);
  }
  EXPECT_EQ(Book().Candidate.ApplyFirst, kFalse32);
  EXPECT_EQ(Book().Candidate.SimDuration, Book().OpenPlayMoves[1].SimDuration);
  EXPECT_EQ(Book().TimeSinceSample, 0.0f);
  EXPECT_EQ(Book().ResampleTimer, 0.3f);
  EXPECT_EQ(FinderCalls, 1);
  EXPECT_EQ(CarrierDecisions, 1);
}

// Every sample starts from a fresh copy of the match world; a move number
// of 0 or less for S runs one sample.
TEST_F(OpenPlaySampling, EverySampleStartsFromTheMatchWorld) {
  struct Case {
    i32 S;
    size_t runsPerMove;
  };
  for (Case c : {Case{0, 1}, Case{-3, 1}, Case{1, 1}, Case{2, 2}, Case{3, 3}}) {
    SetUp();
    Carrier().simsPerGenPlayAction = c.S;
    TWorld expected = World;
    expected.LiveWorld = kFalse32;
    SampleRunningMoves(World);
    ASSERT_EQ(SimCalls.size(), 4 * c.runsPerMove) << c.S;
    for (size_t k = 0; k < SimCalls.size(); ++k) {
      expected.Teams[1].MoveIndex = SimCalls[k].MoveIndex;
      const uint64_t fresh = WorldHash(expected);
      EXPECT_EQ(SimCalls[k].StartHash, fresh) << "S " << c.S << " run " << k;
      EXPECT_EQ(SimCalls[k].MoveIndex, SimCalls[k - k % c.runsPerMove].MoveIndex);
    }
    EXPECT_FALSE(FloatErrorRaised()) << c.S;
    TearDown();
  }
}

// Move 1, when open, keeps the first place whatever the draws; the others
// are permuted. The shuffle takes one draw and one per open move.
TEST_F(OpenPlaySampling, MoveOneStaysFirst) {
  OpenMoves = {1, 5, 9, 30, 77, 142};
  Carrier().maxGenPlaySims = 150;
  for (u32 seed = 1; seed <= 60; ++seed) {
    SetUp();
    OpenMoves = {1, 5, 9, 30, 77, 142};
    Carrier().maxGenPlaySims = 150;
    SetMoveInProgress(false);
    RandSeed = seed * 7919u;
    SampleRunningMoves(World);
    ASSERT_EQ(Book().OpenList[1], 1) << seed;
    std::vector<i32> listed(&Book().OpenList[1], &Book().OpenList[1] + 6);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, OpenMoves) << seed;
    EXPECT_EQ(Book().OpenList[7], 0);
    TearDown();
  }
}

TEST_F(OpenPlaySampling, TheShuffleDrawsOncePlusOncePerOpenMove) {
  for (std::vector<i32> open : {std::vector<i32>{}, {4}, {4, 9, 11}, {1, 2, 3, 4, 5, 6, 7}}) {
    SetUp();
    OpenMoves = open;
    SetMoveInProgress(true);  // nothing is applied: the draws are the shuffle's alone
    TableGain.fill(-100.0f);
    const u32 before = RandSeed;
    SampleRunningMoves(World);
    EXPECT_EQ(DrawsSince(before), 1 + int(open.size())) << open.size();
    TearDown();
  }
}

// The cut: positions past maxGenPlaySims are emptied; none below 1 runs no
// pass, and without a move in progress applies move 1.
TEST_F(OpenPlaySampling, TheListIsCutAtMaxGenPlaySims) {
  for (i32 limit : {-1, 0, 1, 2, 5, 6}) {
    SetUp();
    Carrier().maxGenPlaySims = limit;
    SampleRunningMoves(World);
    const int kept = limit < 0 ? 0 : std::min(limit, 5);
    EXPECT_EQ(ListLength(Book()), kept) << limit;
    EXPECT_EQ(SimCalls.size(), kept == 0 ? 0u : size_t(kept + 1)) << limit;
    TearDown();
  }
}

// The keep bonus: the move in progress (fitness 3) stands unless a table
// move beats 3.5, or 3.001 while TouchDangerTimer runs; ties keep it.
TEST_F(OpenPlaySampling, TheMoveInProgressKeepsItsBonus) {
  struct Case {
    const char* what;
    f32 tableGain, touchTimer;
    bool replaced;
  };
  const Case cases[] = {
      {"equal to fitness plus 0.5", 2.5f, 0.0f, false},
      {"better by 0.4", 2.4f, 0.0f, false},
      {"better by 0.6", 2.6f, 0.0f, true},
      {"alarm timer, equal", 2.0f, 0.1f, false},
      {"alarm timer, better by 0.002", 2.002f, 0.1f, true},
  };
  for (const Case& c : cases) {
    SetUp();
    OpenMoves = {17};
    InProgressGain = 2.0f;
    TableGain[17] = c.tableGain;
    StrategyParams.TouchDangerTimer = c.touchTimer;
    const TActionSeq before = Carrier().ActionSeq;
    SampleRunningMoves(World);
    ASSERT_EQ(SimCalls.size(), 2u) << c.what;
    if (c.replaced) {
      EXPECT_EQ(Book().BestMove, 17) << c.what;
      EXPECT_EQ(World.Teams[1].MoveIndex, 17) << c.what;
      EXPECT_EQ(std::memcmp(&Book().BestMoveCopy, &Book().OpenPlayMoves[17], sizeof(TMove)), 0) << c.what;
      EXPECT_EQ(Book().BestResult.Gain, c.tableGain) << c.what;
    } else {
      EXPECT_EQ(Book().BestMove, 0) << c.what;
      EXPECT_EQ(World.Teams[1].MoveIndex, 40) << c.what;
      EXPECT_EQ(std::memcmp(&Carrier().ActionSeq, &before, sizeof before), 0) << c.what;
      EXPECT_EQ(Book().BestResult.Gain, 2.0f) << c.what;
      EXPECT_EQ(Book().LastResult.Gain, 2.0f) << c.what;
    }
    TearDown();
  }
}

// A move in progress that went to touch under an alarm, or failed, leaves
// the reset result behind; the kept score is unchanged by that.
TEST_F(OpenPlaySampling, AFailedMoveInProgressResetsTheBestResult) {
  OpenMoves = {17};
  InProgressGain = 2.0f;
  TableGain[17] = 2.5f;
  SamplerSeam.SimulateAhead = [](TWorld& W, const TMove& M, u16 c, TSimResult& R) {
    StandInSimulate(W, M, c, R);
    if (M.ApplyFirst == 0) R.SupportScore = -10000.0f;
  };
  SampleRunningMoves(World);
  EXPECT_EQ(Book().BestMove, 0);
  EXPECT_EQ(Book().BestResult.EndBallX, -100000.0f);
  EXPECT_EQ(Book().BestResult.EndBallZ, -100000.0f);
  EXPECT_EQ(Book().BestResult.EndState, u32(gsRunning));
  EXPECT_EQ(Book().BestResult.PossessionLost, kTrue32);
  EXPECT_EQ(Book().BestResult.WentToTouch, kTrue32);
  EXPECT_EQ(Book().BestResult.SupportScore, -10000.0f);
  EXPECT_EQ(Book().BestResult.SimTime, 0.0f);
  EXPECT_EQ(Book().LastResult.SupportScore, -10000.0f);
}

// Without a move in progress the first of equal table moves wins.
TEST_F(OpenPlaySampling, TiesKeepTheEarlierListedMove) {
  SetMoveInProgress(false);
  OpenMoves = {8, 9, 10};
  for (i32 m : OpenMoves) TableGain[m] = 4.0f;
  SampleRunningMoves(World);
  ASSERT_EQ(SimCalls.size(), 3u);
  EXPECT_EQ(Book().BestMove, Book().OpenList[1]);
  EXPECT_EQ(World.Teams[1].MoveIndex, Book().OpenList[1]);
}

// Without a move in progress a pass whose moves all score below -10000
// applies move 1.
TEST_F(OpenPlaySampling, NothingBetterThanTheStartScoreAppliesMoveOne) {
  SetMoveInProgress(false);
  OpenMoves = {8, 9};
  TableGain[8] = TableGain[9] = -20000.0f;
  SampleRunningMoves(World);
  EXPECT_EQ(Book().BestMove, 0);
  EXPECT_EQ(World.Teams[1].MoveIndex, 1);
  EXPECT_EQ(Book().BestResult.SupportScore, -10000.0f);
}

// No open move: with no move in progress move 1 is applied and the result
// reads -1000000; with one, it runs on.
TEST_F(OpenPlaySampling, NoOpenMove) {
  OpenMoves = {};
  SetMoveInProgress(false);
  SampleRunningMoves(World);
  EXPECT_TRUE(SimCalls.empty());
  EXPECT_EQ(World.Teams[1].MoveIndex, 1);
  EXPECT_EQ(Book().BestResult.SupportScore, -1000000.0f);
  EXPECT_EQ(Book().BestResult.EndBallX, -100000.0f);
  EXPECT_EQ(Book().TimeSinceSample, 1.0f) << "no pass ran";
  EXPECT_EQ(Book().ResampleTimer, 0.3f);

  SetUp();
  OpenMoves = {};
  Book().BestResult.SupportScore = 7.0f;
  SampleRunningMoves(World);
  EXPECT_EQ(World.Teams[1].MoveIndex, 40);
  EXPECT_EQ(Book().BestResult.SupportScore, 7.0f);
}

// ---------------------------------------------------------------- rules

// Which frames run a pass while a move is in progress.
TEST_F(OpenPlaySampling, TheResamplingRules) {
  struct Case {
    const char* what;
    f32 resample, age, quick, hold;
    i32 move;
    bool seqOn, pass;
  };
  const Case cases[] = {
      {"no move in progress", 1.0f, 0.0f, 0.0f, 0.0f, 40, false, true},
      {"no move in progress, hold", 1.0f, 0.0f, 0.0f, 5.0f, 40, false, true},
      {"routine, short move", 0.0f, 0.41f, 0.0f, 0.0f, 20, true, true},
      {"routine, long move", 0.0f, 0.41f, 0.0f, 0.0f, 21, true, false},
      {"routine, timer running", 0.1f, 0.5f, 0.0f, 0.0f, 20, true, false},
      {"routine, too soon", 0.0f, 0.39f, 0.0f, 0.0f, 20, true, false},
      {"old sample", 0.1f, 0.76f, 0.0f, 0.0f, 40, true, true},
      {"quick resample", 0.1f, 0.46f, 1.0f, 0.0f, 40, true, true},
      {"quick resample, too soon", 0.1f, 0.44f, 1.0f, 0.0f, 40, true, false},
      {"old sample, hold", 0.0f, 0.9f, 0.0f, 5.0f, 40, true, false},
  };
  for (const Case& c : cases) {
    SetUp();
    Book().ResampleTimer = c.resample;
    Book().TimeSinceSample = c.age;
    Book().HoldTimer = c.hold;
    World.QuickResampleTimer = c.quick;
    World.Teams[1].MoveIndex = c.move;
    SetMoveInProgress(c.seqOn);
    SampleRunningMoves(World);
    EXPECT_EQ(FinderCalls, c.pass ? 1 : 0) << c.what;
    if (c.pass) {
      EXPECT_EQ(Book().HoldTimer, 0.0f) << c.what;
    } else {
      EXPECT_EQ(Book().ResampleTimer, c.resample) << c.what;
    }
    EXPECT_EQ(CarrierDecisions, 1) << c.what;
    TearDown();
  }
}

// The touch alarm calls for a pass at once.
TEST_F(OpenPlaySampling, TheTouchAlarmResamples) {
  Book().TimeSinceSample = 0.1f;
  Book().ResampleTimer = 0.2f;
  Carrier().Pos = {34.5f, 0.0f, 0.0f};
  Carrier().Velocity = {1.0f, 0.0f};
  SampleRunningMoves(World);
  EXPECT_EQ(StrategyParams.TouchDanger, kTrue32);
  EXPECT_EQ(FinderCalls, 1);
}

// The key event: a close defender marks it while KeyEventTimer runs;
// reaching it (or its completion) releases the hold and resamples.
TEST_F(OpenPlaySampling, KeyEventsReleaseTheHold) {
  struct Case {
    const char* what;
    f32 keyTimer, closing;
    i16 key;
    i32 current, numEvents;
    bool complete, released;
  };
  const Case cases[] = {
      {"current event is the key", 0.0f, 2.0f, 2, 2, 3, false, true},
      {"key event complete", 0.0f, 2.0f, 2, 3, 3, true, true},
      {"key event ahead", 0.0f, 2.0f, 3, 2, 3, false, false},
      {"key beyond the events", 0.0f, 2.0f, 4, 4, 3, false, false},
      {"key beyond the record", 0.0f, 2.0f, 12, 12, 12, false, false},
      {"marked by a close defender", 1.0f, 0.2f, 0, 2, 3, false, true},
      {"defender not close", 1.0f, 0.3f, 0, 2, 3, false, false},
  };
  for (const Case& c : cases) {
    SetUp();
    TableGain.fill(-100.0f);  // the move in progress stays, with its key event
    Book().HoldTimer = 5.0f;
    World.Teams[1].KeyEventTimer = c.keyTimer;
    StrategyParams.NearestClosing = c.closing;
    StrategyParams.PrevNearestClosing = c.closing;
    TActionSeq& Q = Carrier().ActionSeq;
    Q.KeyEventIndex = c.key;
    Q.CurrEventIndex = c.current;
    Q.NumEvents = c.numEvents;
    if (c.complete) Q.EventArray[c.key].Complete = kTrue32;
    SampleRunningMoves(World);
    EXPECT_EQ(StrategyParams.HoldReleased, c.released ? kTrue32 : kFalse32) << c.what;
    EXPECT_EQ(FinderCalls, c.released ? 1 : 0) << c.what;
    if (c.keyTimer > 0) {
      const bool marked = c.closing < 0.3f;
      EXPECT_EQ(World.Teams[1].KeyEventTimer, marked ? 0.0f : c.keyTimer) << c.what;
      if (marked) {
        EXPECT_EQ(Q.KeyEventIndex, 2) << c.what;
      }
    }
    TearDown();
  }
}

// ---------------------------------------------------------------- run log

TEST_F(OpenPlaySampling, AttackingKicksAreLogged) {
  struct Case {
    i32 move;
    f32 clock;
    const char* line;
  };
  const Case cases[] = {
      {105, 65.0f, "gen play attacking kick 105 1:5"},
      {101, 119.6f, "gen play attacking kick 101 1:60"},
      {121, 3000.0f, "gen play attacking kick 121 50:0"},
      {100, 65.0f, nullptr},
      {122, 65.0f, nullptr},
  };
  for (const Case& c : cases) {
    SetUp();
    SetMoveInProgress(false);
    OpenMoves = {c.move};
    World.clock = c.clock;
    SampleRunningMoves(World);
    ASSERT_EQ(Book().BestMove, c.move);
    if (c.line != nullptr) {
      ASSERT_EQ(Form1.Memo2.Count(), 1u) << c.move;
      EXPECT_EQ(Form1.Memo2.Lines[0], c.line);
    } else {
      EXPECT_EQ(Form1.Memo2.Count(), 0u) << c.move;
    }
    TearDown();
  }
}

// Inside 3123..3125 s a pass on team 1's book traces itself; team 2's does not.
TEST_F(OpenPlaySampling, TraceLinesInTheWindow) {
  World.clock = 3124.0f;
  OpenMoves = {17};
  InProgressGain = 2.0f;
  TableGain[17] = 0.25f;
  World.Teams[1].PassReceiver = 12;
  SampleRunningMoves(World);
  const std::vector<std::string> expected = {
      "//////////////////", "//debug", "//////////////////", "//Current event resimmed", "//receiver 12",
      "//fitness of 3.0000", "//delaytime 2.0000", "//ActionSeqReceiverLoc 2.0000", "//fitness of 1.2500",
      "//delaytime 2.0000", "//ActionSeqReceiverLoc 0.2500"};
  EXPECT_EQ(Form1.Memo2.Lines, expected);

  for (f32 clock : {3123.0f, 3125.0f}) {
    SetUp();
    World.clock = clock;
    SampleRunningMoves(World);
    EXPECT_EQ(Form1.Memo2.Count(), 0u) << clock;

  }
  SetUp();
  World.clock = 3124.0f;
  World.Team1InFirstBlock = kFalse32;
  TableGain.fill(-100.0f);  // nothing applied: the move application traces too
  SampleRunningMoves(World);
  EXPECT_EQ(FinderCalls, 1);
  EXPECT_EQ(Form1.Memo2.Count(), 0u);
}

// ---------------------------------------------------------------- the match

// Counts the real look-ahead's runs.
int LookAheads;
void CountedSimulate(TWorld& W, const TMove& M, u16 c, TSimResult& R) {
  ++LookAheads;
  SimulateAhead(W, M, c, R);
}

class OpenPlaySamplingMatch : public ExampleMatchTest {
 protected:
  static inline Arr1<TMoveBook, 2> SavedBooks;
  TStrategyParams SavedParams;

  void SetUp() override {
    ExampleMatchTest::SetUp();
    SavedBooks = MoveBooks;
    SavedParams = StrategyParams;
    TWorld& W = World;
    W.gamestate = gsRunning;
    W.FrameGameState = gsRunning;
    W.TimeStep = 0.04f;
    W.PrevTimeStep = 0.04f;
    W.RunningPhase = 3;
    const TPlayer& C = W.Teams[1].Players[W.Teams[1].BallCarrier];
    W.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
    LookAheads = 0;
    SamplerSeam = {CountedSimulate, nullptr, nullptr};
  }
  void TearDown() override {
    SamplerSeam = {nullptr, nullptr, nullptr};
    MoveBooks = SavedBooks;
    StrategyParams = SavedParams;
  }
};

// The real finder, look-ahead and move application on the example match: a
// pass runs, applies its best move and allocates nothing.
TEST_F(OpenPlaySamplingMatch, APassOnTheMatchWorld) {
  const TMoveBook& B = PossessionMoveBook(World);
  TPlayer& C = World.Teams[1].Players[World.Teams[1].BallCarrier];
  const i32 limit = C.maxGenPlaySims;
  const i32 S = C.simsPerGenPlayAction < 1 ? 1 : C.simsPerGenPlayAction;
  ASSERT_GE(limit, 1);
  const bool inProgress = C.ActionSeq.seqON != 0;
  const i32 moveBefore = World.Teams[1].MoveIndex;
  std::feclearexcept(FE_ALL_EXCEPT);
  StartCountingAllocations();
  RunFrameStep(FrameSteps[kStepStrategy], World);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_FALSE(FloatErrorRaised());
  const int listed = ListLength(B);
  ASSERT_GE(listed, 1);
  EXPECT_LE(listed, limit);
  EXPECT_EQ(LookAheads, (listed + (inProgress ? 1 : 0)) * S);
  EXPECT_EQ(B.TimeSinceSample, 0.0f);
  EXPECT_EQ(B.ReEvaluate, kTrue32);
  EXPECT_EQ(World.LiveWorld, kTrue32);
  EXPECT_EQ(LookAheadWorld.LiveWorld, kFalse32);
  const i32 applied = World.Teams[1].MoveIndex;
  const i32 expected = B.BestMove != 0 ? B.BestMove : (inProgress ? moveBefore : 1);
  EXPECT_EQ(applied, expected);
}

}  // namespace
