#include "decision/TackledDecision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "MoveBookScene.h"
#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"
#include "decision/MoveApplication.h"
#include "platform/Form.h"

namespace {

constexpr int kHolder = 9;
constexpr f32 kTop = 8.0f;      // m/s, everybody's maxspeed
constexpr f32 kSimStep = 0.04f; // s, the fixture moves' time step

// ================================================================ best pick

// A result that gains 5 m in running, nothing else seen.
TSimResult Gaining(f32 z) {
  TSimResult R{};
  R.EndBallZ = z;
  R.Gain = 5.0f;
  R.EndState = gsRunning;
  R.SimTime = 2.0f;
  return R;
}

struct TPickCase {
  const char* what;
  i32 option;
  bool haveBest;
  std::function<void(TSimResult& r, TSimResult& b, TMove& m)> set;
  bool beats;
};

// 100 x 70 m pitch, 10 m in-goals; block 1 on 7 points. The move asks for
// 2 m and its holder role opens with a plain run.
TEST(RuckOutcome, EachPlayOptionPicksByItsOwnRules) {
  static TWorld W;
  MakeSmallWorld(W, {.InGoals = true});
  W.PlayersPerTeam = 0;  // no team size here
  W.Teams[1].score = 7;
  const std::vector<TPickCase> cases = {
      {"1: further up, in play", 1, true, [](TSimResult&, TSimResult&, TMove&) {}, true},
      {"1: not further up", 1, true, [](TSimResult& r, TSimResult& b, TMove&) { b.EndBallZ = r.EndBallZ; }, false},
      {"1: below the move's gain", 1, true, [](TSimResult& r, TSimResult&, TMove&) { r.Gain = 1.9f; }, false},
      {"1: lost the ball", 1, true, [](TSimResult& r, TSimResult&, TMove&) { r.PossessionLost = kTrue32; }, false},
      {"1: into touch", 1, true, [](TSimResult& r, TSimResult&, TMove&) { r.WentToTouch = kTrue32; }, false},
      {"2: ends in a kick restart", 2, true, [](TSimResult& r, TSimResult&, TMove&) { r.EndState = gsKickRestartSet; },
       false},
      {"2: ends tackled", 2, true, [](TSimResult& r, TSimResult&, TMove&) { r.EndState = gsGotTackled; }, true},
      {"1: a pass started but never flew", 1, true, [](TSimResult& r, TSimResult&, TMove&) { r.PassSeen = kTrue32; },
       false},
      {"1: a pass that flew", 1, true,
       [](TSimResult& r, TSimResult&, TMove&) { r.PassSeen = r.PassingSeen = kTrue32; }, true},
      {"1: ruck overtime above 4.75 s", 1, true,
       [](TSimResult& r, TSimResult&, TMove&) { r.RuckOverTimeAtExit = 4.8f; }, false},
      {"1: holder's pass never flew", 1, true,
       [](TSimResult&, TSimResult&, TMove& m) { m.Seqs[1].EventArray[1].EventType = 2; }, false},
      {"1: running beyond the try line, short of the best", 1, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.EndBallZ = 51.0f;
         b.EndBallZ = 60.0f;
         b.EndState = gsTryScored;
       },
       true},
      {"1: the best also ran beyond the try line", 1, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.EndBallZ = 51.0f;
         b.EndBallZ = 60.0f;
       },
       false},
      {"5: kick ends on the touch line", 5, true,
       [](TSimResult& r, TSimResult&, TMove&) {
         r.KickSeen = kTrue32;
         r.EndBallX = 35.0f;
       },
       false},
      {"5: kick ends in the dead-ball line", 5, true,
       [](TSimResult& r, TSimResult&, TMove&) {
         r.KickSeen = kTrue32;
         r.EndBallZ = 60.0f;
       },
       false},
      {"5: kick stays in the field", 5, true, [](TSimResult& r, TSimResult&, TMove&) { r.KickSeen = kTrue32; }, true},
      {"5: an opponent touched the ball", 5, true,
       [](TSimResult& r, TSimResult&, TMove&) { r.OpponentTouchedBall = kTrue32; }, false},
      {"1: an opponent's touch counts only under 5", 1, true,
       [](TSimResult& r, TSimResult&, TMove&) { r.OpponentTouchedBall = kTrue32; }, true},
      {"3: touch further up", 3, true, [](TSimResult& r, TSimResult&, TMove&) { r.WentToTouch = kTrue32; }, true},
      {"3: further up without touch", 3, true, [](TSimResult&, TSimResult&, TMove&) {}, false},
      {"3: touch, but not further up", 3, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.WentToTouch = kTrue32;
         b.EndBallZ = 20.0f;
       },
       false},
      {"3: touch beyond the try line", 3, true,
       [](TSimResult& r, TSimResult&, TMove&) {
         r.WentToTouch = kTrue32;
         r.EndBallZ = 50.5f;
       },
       false},
      {"3: the first kick", 3, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.KickSeen = kTrue32;
         b.EndBallZ = 20.0f;
       },
       true},
      {"3: a kick and a loose ball into touch where the best stayed in", 3, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.KickSeen = r.FreeBallSeen = r.WentToTouch = kTrue32;
         b.KickSeen = b.FreeBallSeen = kTrue32;
         b.EndBallZ = 20.0f;
       },
       true},
      {"3: not feasible", 3, true,
       [](TSimResult& r, TSimResult&, TMove&) { r.WentToTouch = r.NotFeasible = kTrue32; }, false},
      {"4: as long as the best", 4, true, [](TSimResult&, TSimResult&, TMove&) {}, true},
      {"4: shorter", 4, true, [](TSimResult& r, TSimResult&, TMove&) { r.SimTime = 1.9f; }, false},
      {"4: shorter, but the first loose ball", 4, true,
       [](TSimResult& r, TSimResult&, TMove&) {
         r.SimTime = 1.9f;
         r.FreeBallSeen = kTrue32;
       },
       true},
      {"6: scores, faster", 6, true,
       [](TSimResult& r, TSimResult&, TMove&) {
         r.OwnScore = 10;
         r.SimTime = 1.0f;
       },
       true},
      {"6: scores, slower", 6, true, [](TSimResult& r, TSimResult&, TMove&) { r.OwnScore = 10; }, false},
      {"6: scores, no best yet", 6, false, [](TSimResult& r, TSimResult&, TMove&) { r.OwnScore = 10; }, true},
      {"6: no score, no best yet", 6, false, [](TSimResult& r, TSimResult&, TMove&) { r.OwnScore = 7; }, false},
      {"7: as quick as the best", 7, true, [](TSimResult&, TSimResult&, TMove&) {}, true},
      {"7: slower", 7, true, [](TSimResult& r, TSimResult&, TMove&) { r.SimTime = 2.1f; }, false},
      {"7: both kicked, only this one to touch", 7, true,
       [](TSimResult& r, TSimResult& b, TMove&) {
         r.SimTime = 2.1f;
         r.KickSeen = r.WentToTouch = b.KickSeen = kTrue32;
       },
       true},
      {"0: no option", 0, true, [](TSimResult&, TSimResult&, TMove&) {}, false},
  };
  for (const TPickCase& c : cases) {
    TMove m{};
    m.MinGain = 2.0f;
    m.CarrierSlot = 1;
    TSimResult r = Gaining(10.0f);
    TSimResult b = Gaining(5.0f);
    c.set(r, b, m);
    EXPECT_EQ(RuckOutcomeBeats(W, m, r, b, c.haveBest, c.option), c.beats) << c.what;
  }
}

// ================================================================ sampling

// The match world at a tackle: player 9 holds the ball at the mark (5, 0) in
// gottackled phase 2, team-mates level with him, opponents 30 m away, block
// 1 on play option 4 (the longest look-ahead wins). Ruck moves 1 and 2 are
// the default plays; fixture moves give only the holder a plain run, so
// every one is feasible. Every frame step of the look-ahead is a stand-in:
// a run of move m ends after m frames (m x 0.04 s), so the best under
// option 4 is the highest move simulated. Each frame leaves team 2's score
// at 77 in the copy, which a fresh copy does not have.
struct TRunStart {
  i32 move;
  f32 tackleReleaseTimer;
  bool teamTwoAsInWorld;
};
std::vector<TRunStart> Runs;
int RunFrames;

void FirstStepOfFrame(TWorld& w) {
  if (w.Teams[2].score == 77) return;
  RunFrames = 0;
  Runs.push_back({w.Teams[1].MoveIndex, w.TackleReleaseTimer,
                  std::memcmp(&w.Teams[2], &World.Teams[2], sizeof(TTeamBlock)) == 0});
}

void LastStepOfFrame(TWorld& w) {
  w.Teams[2].score = 77;
  if (++RunFrames >= w.Teams[1].MoveIndex) w.gamestate = gsTransition;
}

void Idle(TWorld&) {}

class RuckSampling : public ::testing::Test {
 protected:
  void SetUp() override {
    TWorld& W = World;
    MakeMoveBookScene(W);
    W.gamestate = gsGotTackled;
    W.FrameGameState = gsGotTackled;
    W.GotTackledPhase = 2;
    W.TimeStep = W.PrevTimeStep = 0.02f;
    W.LiveWorld = kTrue32;
    W.MarkX = 5.0f;
    W.BallPos = {5.0f, 0.0f, 0.0f};
    W.TackleReleaseTimer = 1.5f;
    W.RestartDelay = 2.0f;
    for (int p = 1; p <= 25; ++p) {
      TPlayer& A = W.Teams[1].Players[p];
      A.Pos = A.OldPos = A.DesiredPos = {static_cast<f32>(2 * p - 10), 0.0f, -1.0f};
      A.maxspeed = kTop;
      TPlayer& D = W.Teams[2].Players[p];
      D.Pos = D.OldPos = {static_cast<f32>(2 * p - 10), 0.0f, 30.0f};
    }
    Holder().Pos = Holder().OldPos = Holder().DesiredPos = {5.0f, 0.0f, 0.0f};
    W.Teams[1].SetPieceHolder = kHolder;
    W.Teams[1].PlayOption = 4;
    W.Teams[1].DecisionsOn = kTrue32;
    Book().SamplingOn = kTrue32;
    Book().RuckSampled = kFalse32;
    for (TMove& m : Book().RuckMoves) m.PlayKind = -1;
    for (int m = 1; m <= 2; ++m) {
      Book().RuckMoves[m].SimTimeStep = kSimStep;
      Book().RuckMoves[m].SimDuration = 100.0f;
    }
    for (int s = 1; s <= kFrameStepCount; ++s) FrameSteps[s].Step = Idle;
    FrameSteps[kStepUpdatePlayerFootprints].Step = FirstStepOfFrame;
    FrameSteps[kStepCollisionDetect].Step = LastStepOfFrame;
    Runs.clear();
    Form1.Memo1.Clear();
    RuckChoiceSeam.ApplyMove = nullptr;
  }

  void TearDown() override {
    ResetFrameSteps();
    RuckChoiceSeam.ApplyMove = nullptr;
  }

  static TMoveBook& Book() { return MoveBooks[1]; }
  static TPlayer& Holder() { return World.Teams[1].Players[kHolder]; }

  // Ruck move m for play option 4: the holder runs 10 m straight.
  static void FixtureMove(int m) {
    TMove& M = Book().RuckMoves[m];
    std::memset(static_cast<void*>(&M), 0, sizeof M);
    M.SimTimeStep = kSimStep;
    M.SimDuration = 100.0f;
    M.PlayKind = 4;
    M.CarrierSlot = 1;
    M.Shirts[1] = kHolder;
    M.Seqs[1] = StrategyParams.ActionSeqTemplate;
    M.Seqs[1].EventArray[1].DistOrig = 10.0f;
    M.Seqs[1].EventArray[1].Angle = static_cast<f32>(m);  // tells the moves apart
  }

  static void Sample() {
    std::feclearexcept(FE_ALL_EXCEPT);
    SampleRuckMoves(World);
    EXPECT_FALSE(FloatErrorRaised());
  }

  static std::vector<i32> SimulatedMoves() {
    std::vector<i32> moves;
    for (const TRunStart& r : Runs) moves.push_back(r.move);
    return moves;
  }
};

// Fewer than 7 open: every one is simulated once, each from a fresh copy
// with the tackle release timer at 0; the longest run (move 12) is applied
// to the match world and logged; later frames of the tackle choose nothing.
TEST_F(RuckSampling, SimulatesEveryOpenMoveWhenFewerThanSevenAndChoosesOnce) {
  for (int m : {10, 11, 12}) FixtureMove(m);
  Sample();
  std::vector<i32> moves = SimulatedMoves();
  std::sort(moves.begin(), moves.end());
  EXPECT_EQ(moves, (std::vector<i32>{1, 2, 10, 11, 12}));
  for (const TRunStart& r : Runs) {
    EXPECT_EQ(r.tackleReleaseTimer, 0.0f) << r.move;
    EXPECT_TRUE(r.teamTwoAsInWorld) << r.move;
  }
  EXPECT_NEAR(Book().Results[11].SimTime, 11 * kSimStep, 0.021) << "each result in its slot";
  EXPECT_EQ(Book().BestMove, 12);
  EXPECT_EQ(Book().BestResult, Book().Results[12]);
  EXPECT_EQ(Book().BestMoveCopy.Seqs[1].EventArray[1].Angle, 12.0f);
  EXPECT_EQ(World.Teams[1].MoveIndex, 12);
  EXPECT_EQ(Holder().ActionSeq.EventArray[1].Angle, 12.0f) << "the best is applied to the match";
  EXPECT_NE(Book().Feasible, 0);
  EXPECT_EQ(Book().HoldTimer, 50.0f);
  EXPECT_NE(Book().RuckSampled, 0);
  EXPECT_EQ(World.TackleReleaseTimer, 1.5f) << "the match keeps its timer";
  ASSERT_EQ(Form1.Memo1.Count(), 7u);
  EXPECT_EQ(Form1.Memo1.Lines[5], "Best move is 12");
  EXPECT_EQ(Form1.Memo1.Lines[6], "and is feasible");

  StartCountingAllocations();
  Sample();
  const long allocations = StopCountingAllocations();
  EXPECT_EQ(Runs.size(), 5u) << "one choice per tackle";
  EXPECT_EQ(Form1.Memo1.Count(), 7u);
  EXPECT_EQ(allocations, 0) << "a frame without a choice";
}

// More than 7 open: 7 distinct open moves, drawn at random, are simulated.
TEST_F(RuckSampling, SimulatesSevenOfMoreOpenMoves) {
  for (u32 seed : {1u, 77u, 2026u}) {
    SetUp();
    for (int m = 10; m <= 21; ++m) FixtureMove(m);
    RandSeed = seed;
    Sample();
    std::vector<i32> moves = SimulatedMoves();
    ASSERT_EQ(moves.size(), 7u) << seed;
    std::sort(moves.begin(), moves.end());
    EXPECT_EQ(std::adjacent_find(moves.begin(), moves.end()), moves.end()) << seed;
    for (i32 m : moves) EXPECT_TRUE(m == 1 || m == 2 || (m >= 10 && m <= 21)) << seed;
    EXPECT_EQ(Book().OpenList[8], 0) << "the list is cut to 7";
    EXPECT_EQ(Book().BestMove, moves.back()) << seed;
  }
}

TEST_F(RuckSampling, WaitsForPhaseTwo) {
  FixtureMove(10);
  World.GotTackledPhase = 1;
  const u32 before = RandSeed;
  Sample();
  EXPECT_TRUE(Runs.empty());
  EXPECT_EQ(Book().RuckSampled, 0);
  EXPECT_EQ(DrawsSince(before), 0);
}

// The pod runner: a free forward (here player 4) waits 5.95..8.5 m behind
// the mark and 5.5..10 m to one side, towards the room near a touch line.
TEST_F(RuckSampling, SendsAFreeForwardToThePod) {
  struct {
    const char* what;
    f32 markX;
    int side;  // 0: either
  } cases[] = {{"centre", 5.0f, 0}, {"near the right touch", 30.0f, -1}, {"near the left touch", -30.0f, 1}};
  for (const auto& c : cases) {
    SetUp();
    World.MarkX = c.markX;
    RandSeed = SeedBeforeDraw(1, 9, 4);
    Sample();
    const TActionSeq& S = World.Teams[1].Players[4].ActionSeq;
    const double depth = World.MarkZ - static_cast<double>(S.StartZ);
    const double width = S.StartX - static_cast<double>(c.markX);
    EXPECT_NE(S.seqON, 0) << c.what;
    EXPECT_NE(S.HoldStartPos, 0) << c.what;
    EXPECT_EQ(S.SeqHeadFlag, 0) << c.what;
    EXPECT_TRUE(depth >= 5.94 && depth <= 8.42) << c.what << " " << depth;
    EXPECT_TRUE(std::fabs(width) >= 5.49 && std::fabs(width) <= 9.91) << c.what << " " << width;
    if (c.side != 0) {
      EXPECT_EQ(width > 0 ? 1 : -1, c.side) << c.what;
    }
    EXPECT_TRUE(S.SeqHeadValue >= 0.3f && S.SeqHeadValue <= 0.69f) << c.what;
    const TActionEvent& E = S.EventArray[1];
    EXPECT_EQ(E.EventType, 0) << c.what;
    EXPECT_TRUE(E.Angle >= 80.0f && E.Angle <= 100.0f) << c.what;
    EXPECT_TRUE(E.DesSpeed >= 5.5f && E.DesSpeed <= 9.9f) << c.what;
    EXPECT_NEAR(E.DistOrig, depth - 2.25, 1e-5) << c.what;
    EXPECT_EQ(E.Duration, 0.5f) << c.what;
  }
  SetUp();
  World.Teams[1].Players[4].RuckTimer = 1.0f;
  RandSeed = SeedBeforeDraw(1, 9, 4);
  Sample();
  EXPECT_EQ(World.Teams[1].Players[4].ActionSeq.seqON, 0) << "a player in the ruck stays";
}

// No move passes (option 0): move 1 with the mark at or right of the centre,
// else move 2, without a "Best move" line.
TEST_F(RuckSampling, WithoutAPassingMoveAppliesTheDefaultPlay) {
  for (const auto& [markX, move] : {std::pair{0.0f, 1}, std::pair{-0.5f, 2}}) {
    SetUp();
    FixtureMove(10);
    World.MarkX = markX;
    World.Teams[1].PlayOption = 0;
    Sample();
    EXPECT_EQ(Runs.size(), 2u) << "moves 1 and 2 are open with any option";
    EXPECT_EQ(Book().BestMove, 0);
    EXPECT_EQ(World.Teams[1].MoveIndex, move) << markX;
    EXPECT_NE(Book().Feasible, 0);
    EXPECT_EQ(Book().HoldTimer, 50.0f);
    EXPECT_EQ(Form1.Memo1.Count(), 2u) << "only the look-ahead's own lines";
    EXPECT_EQ(Holder().ActionSeq.EventArray[1].Angle, move == 1 ? 170.0f : 10.0f) << "the holder alone runs";
  }
}

// Every move reported not feasible: the best is logged as such, then the
// default play fails too and the holder runs 1.7 m to the open side, then
// 15 m straight.
TEST_F(RuckSampling, WhenNothingIsFeasibleTheHolderRunsHimself) {
  for (const auto& [markX, angle] : {std::pair{3.0f, 15.0f}, std::pair{-3.0f, 165.0f}}) {
    SetUp();
    RuckChoiceSeam.ApplyMove = [](TWorld& W, i32 m, bool32& feasible) {
      ApplyMove(W, m, feasible);
      feasible = kFalse32;
    };
    FixtureMove(10);
    World.MarkX = markX;
    Sample();
    ASSERT_EQ(Form1.Memo1.Count(), 5u);
    EXPECT_EQ(Form1.Memo1.Lines[3], "Best move is 10");
    EXPECT_EQ(Form1.Memo1.Lines[4], "and is NOT feasible");
    EXPECT_EQ(World.Teams[1].MoveIndex, markX >= 0 ? 1 : 2);
    EXPECT_EQ(Book().Feasible, 0);
    const TActionSeq& S = Holder().ActionSeq;
    EXPECT_NE(S.seqON, 0);
    EXPECT_EQ(S.NumEvents, 2);
    EXPECT_EQ(S.KeyEventIndex, 2);
    EXPECT_EQ(S.EventArray[1].DistOrig, 1.7f);
    EXPECT_EQ(S.EventArray[1].Angle, angle);
    EXPECT_EQ(S.EventArray[2].DistOrig, 15.0f);
    EXPECT_EQ(S.EventArray[2].Angle, 90.0f);
  }
}

// The gottackled entry: sampling when the book says so; otherwise the
// holder's own decision while he runs a sequence, else the scrum-half's
// fallback while the side's decisions are on.
TEST_F(RuckSampling, TheGotTackledEntryChoosesSamplingHolderOrFallback) {
  FixtureMove(10);
  GotTackledStrategy(World);
  EXPECT_NE(Book().RuckSampled, 0);
  EXPECT_EQ(World.Teams[1].HalfTimeAux, 0);

  struct {
    const char* what;
    bool holderRuns, decisionsOn, fallback;
  } cases[] = {{"holder runs", true, true, false}, {"fallback", false, true, true}, {"decisions off", false, false, false}};
  for (const auto& c : cases) {
    SetUp();
    Book().SamplingOn = kFalse32;
    Holder().ActionSeq.seqON = Flag(c.holderRuns);
    World.Teams[1].DecisionsOn = Flag(c.decisionsOn);
    GotTackledStrategy(World);
    EXPECT_TRUE(Runs.empty()) << c.what;
    EXPECT_EQ(Book().RuckSampled, 0) << c.what;
    EXPECT_EQ(World.Teams[1].HalfTimeAux != 0, c.fallback) << c.what;
  }
}

// The decision step of the frame-step table, on a gottackled match frame,
// makes the ruck choice.
TEST_F(RuckSampling, TheDecisionStepOfAGotTackledFrameMakesTheRuckChoice) {
  FixtureMove(10);
  const TFrameStepTable stubs = FrameSteps;
  ResetFrameSteps();
  const TFrameStepEntry decision = FrameSteps[kStepStrategy];
  FrameSteps = stubs;
  RunFrameStep(decision, World);
  EXPECT_NE(Book().RuckSampled, 0);
  EXPECT_EQ(Runs.size(), 3u);
  EXPECT_EQ(Book().BestMove, 10);
  ASSERT_EQ(Form1.Memo1.Count(), 5u);
  EXPECT_EQ(Form1.Memo1.Lines[3], "Best move is 10");
}

// ================================================================ fallback

// Mark at x 10 on a 70 m pitch: 45 m to the left touch, 25 m to the right.
// Holder 9 and all four candidates stand on their spots: A = 12 (slot 98),
// B = 13 (slot 105), C = 14 (grid row 2, column 2), D = 15 (row 3, column
// 6). Marks and numbers outside the block on the lines are no candidates.
class RuckFallback : public ::testing::Test {
 protected:
  static inline TWorld W;

  void SetUp() override {
    MakeSmallWorld(W);
    W.gamestate = gsGotTackled;
    W.GotTackledPhase = 2;
    W.MarkX = 10.0f;
    TTeamBlock& T = W.Teams[1];
    T.SetPieceHolder = kHolder;
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = T.Players[p];
      P.Pos = P.DesiredPos = {static_cast<f32>(p), 0.0f, -5.0f};
      P.maxspeed = kTop;
      P.shimmytimer = 1.0f;
      SetDistribution(P.DummyhalfPassLeftReleaseTime, 0.5, 0.0, 0.2, 0.9);
      SetDistribution(P.DummyhalfPassRightReleaseTime, 0.6, 0.0, 0.2, 0.9);
    }
    T.Players[kHolder].FacingAngle = static_cast<f32>(std::numbers::pi);  // heading 90
    T.SetPieceLine[101] = kHolder;
    T.SetPieceLine[100] = kSlotMarkValue;
    T.SetPieceLine[99] = 26;
    T.SetPieceLine[98] = 12;
    T.SetPieceLine[90] = 11;
    T.SetPieceLine[102] = -3;
    T.SetPieceLine[105] = 13;
    T.SupportGridCells[1][1] = kSlotMarkValue;
    T.SupportGridCells[2][2] = 14;
    T.SupportGridCells[3][6] = 15;
    for (int k = 1; k <= 201; ++k) T.LineSlotPos[k] = {static_cast<f32>(k - 101), -1.0f};
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  static constexpr i16 kSlotMarkValue = 100;

  static void Fallback() {
    RuckMoveFallback(W);
    EXPECT_FALSE(FloatErrorRaised());
  }
};

// Weights 45 (A), 45 (C), 25 (B), 25 (D) in that order: a draw of 1..141.
TEST_F(RuckFallback, ChoosesTheReceiverOnceByTheRoomToEachTouchLine) {
  struct {
    i32 draw;
    i32 receiver;
  } cases[] = {{45, 12}, {46, 14}, {90, 14}, {91, 13}, {115, 13}, {116, 15}, {140, 15}};
  for (const auto& c : cases) {
    SetUp();
    RandSeed = SeedBeforeDraw(1, 141, c.draw);
    W.RestartDelay = 1.0f;  // no pass yet
    const u32 before = RandSeed;
    Fallback();
    EXPECT_EQ(DrawsSince(before), 1) << c.draw;
    EXPECT_EQ(W.Teams[1].PassReceiver, c.receiver) << c.draw;
    EXPECT_NE(W.Teams[1].HalfTimeAux, 0);
    EXPECT_EQ(W.Teams[1].LeftLineCandidate, 12);
    EXPECT_EQ(W.Teams[1].RightLineCandidate, 13);
    EXPECT_EQ(W.Teams[1].LeftSupportCandidate, 14);
    EXPECT_EQ(W.Teams[1].RightSupportCandidate, 15);
    const u32 again = RandSeed;
    Fallback();
    EXPECT_EQ(DrawsSince(again), 0) << "once per tackle";
    EXPECT_EQ(W.Teams[1].PassReceiver, c.receiver);
  }
}

// Distances are rounded half to even: with the mark at 0.5, 35.5 m weighs
// 36 (A, C) and 34.5 m weighs 34 (B, D); over many seeds the draw of 1..141
// names the receiver by those weights.
TEST_F(RuckFallback, RoundsTheRoomToWholeMetres) {
  for (u32 seed = 1; seed <= 300; ++seed) {
    SetUp();
    W.MarkX = 0.5f;
    W.RestartDelay = 1.0f;
    RandSeed = seed;
    const i32 r = RandomRange(1, 141);
    const i32 expected = r <= 36 ? 12 : r <= 72 ? 14 : r <= 106 ? 13 : 15;
    RandSeed = seed;
    Fallback();
    ASSERT_EQ(W.Teams[1].PassReceiver, expected) << seed;
  }
}

// Only D, with no room to his side: rolls until one names him. Nobody: the
// holder, without a draw.
TEST_F(RuckFallback, RollsForAPresentCandidateOrTakesTheHolder) {
  TTeamBlock& T = W.Teams[1];
  T.SetPieceLine[98] = T.SetPieceLine[90] = T.SetPieceLine[105] = 0;
  T.SupportGridCells[2][2] = 0;
  W.MarkX = 35.0f;
  W.RestartDelay = 1.0f;
  RandSeed = 99;
  Fallback();
  EXPECT_EQ(T.PassReceiver, 15);

  T.HalfTimeAux = kFalse32;
  T.SupportGridCells[3][6] = 0;
  const u32 before = RandSeed;
  Fallback();
  EXPECT_EQ(T.PassReceiver, kHolder);
  EXPECT_EQ(DrawsSince(before), 0);
  EXPECT_EQ(T.Players[kHolder].passtimer, 0.0f) << "no pass to himself";
}

// The pass, once everybody is on his spot: side, kind, run speed and angle
// by the receiver.
TEST_F(RuckFallback, StartsTheDummyHalfPassToTheReceiversSide) {
  struct {
    i32 draw;
    const char* what;
    i32 side;
    bool shortRun;
    f32 angleLo, angleHi;
    f32 releaseTime;
  } cases[] = {{1, "A", 1, true, 45.0f, 90.0f, 0.5f},
               {46, "C", 1, false, 90.0f, 90.0f, 0.5f},
               {91, "B", 2, true, 90.0f, 135.0f, 0.6f},
               {116, "D", 2, false, 90.0f, 90.0f, 0.6f}};
  for (const auto& c : cases) {
    SetUp();
    RandSeed = SeedBeforeDraw(1, 141, c.draw);
    Fallback();
    TTeamBlock& T = W.Teams[1];
    const TPlayer& R = T.Players[T.PassReceiver];
    EXPECT_EQ(T.Players[kHolder].passtimer, 10.0f) << c.what;
    EXPECT_EQ(T.PassKind, 6) << c.what;
    EXPECT_EQ(T.PassSide, c.side) << c.what;
    EXPECT_EQ(T.ShortRunFlag != 0, c.shortRun) << c.what;
    EXPECT_EQ(R.shimmytimer, 0.0f) << c.what;
    EXPECT_TRUE(T.ReceiverRunAngle >= c.angleLo && T.ReceiverRunAngle <= c.angleHi) << c.what;
    EXPECT_EQ(T.ReceiverRunAngle, std::round(T.ReceiverRunAngle)) << c.what;
    if (c.shortRun) {
      const double k = T.ReceiverRunSpeed / kTop * 1000.0;
      EXPECT_TRUE(k >= 0.99 && k <= 250.01 && std::fabs(k - std::round(k)) < 1e-3) << c.what << " " << k;
    } else {
      EXPECT_EQ(T.ReceiverRunSpeed, kTop) << c.what;
    }
    EXPECT_NEAR(T.PasserRunAngle, 90.0f, 1e-4) << c.what;
    EXPECT_EQ(T.PassTimeLeft, c.releaseTime) << c.what;
    EXPECT_EQ(T.PassDuration, c.releaseTime) << c.what;
    // Kept as the distribution's value too: it paces the holder's animation.
    const TPlayer& H = T.Players[kHolder];
    EXPECT_EQ((c.side == 1 ? H.DummyhalfPassLeftReleaseTime : H.DummyhalfPassRightReleaseTime).value,
              c.releaseTime)
        << c.what;
  }
}

// Holder 0.29 m off his spot passes, 0.31 m not; the receiver only within
// 0.1 m; not while RestartDelay runs. A held pass goes once they are ready.
TEST_F(RuckFallback, PassesOnlyWithHolderAndReceiverOnTheirSpots) {
  struct {
    const char* what;
    f32 holderOff, receiverOff, restartDelay;
    bool passes;
  } cases[] = {{"on the spots", 0.29f, 0.09f, 0.0f, true},
               {"holder off", 0.31f, 0.0f, 0.0f, false},
               {"receiver off", 0.0f, 0.11f, 0.0f, false},
               {"restart delay", 0.0f, 0.0f, 0.01f, false}};
  for (const auto& c : cases) {
    SetUp();
    RandSeed = SeedBeforeDraw(1, 141, 1);  // A, player 12
    TTeamBlock& T = W.Teams[1];
    T.Players[kHolder].Pos.x += c.holderOff;
    T.Players[12].Pos.z += c.receiverOff;
    W.RestartDelay = c.restartDelay;
    Fallback();
    EXPECT_EQ(T.Players[kHolder].passtimer > 0, c.passes) << c.what;
    T.Players[kHolder].Pos = T.Players[kHolder].DesiredPos;
    T.Players[12].Pos = T.Players[12].DesiredPos;
    W.RestartDelay = 0;
    Fallback();
    EXPECT_EQ(T.Players[kHolder].passtimer, 10.0f) << c.what;
    EXPECT_EQ(T.PassReceiver, 12) << c.what;
  }
}

// While the pass is wound up the line slots follow the side's shape; no
// second pass starts.
TEST_F(RuckFallback, LaysTheLineOnTheShapeWhileThePassIsWoundUp) {
  TTeamBlock& T = W.Teams[1];
  T.CurrentStrategy.SegmentCount = 1;
  T.CurrentStrategy.Durations[1] = 200.0f;
  T.CurrentStrategy.StartValues[1] = 2.0f;
  T.CurrentStrategy.EndValues[1] = 4.0f;
  W.RestartDelay = 1.0f;
  Fallback();
  EXPECT_EQ(T.LineSlotPos[50].z, -1.0f) << "untouched before the pass";
  W.RestartDelay = 0;
  Fallback();
  ASSERT_GT(T.Players[kHolder].passtimer, 0.0f);
  for (int k : {1, 50, 100, 102, 201})
    EXPECT_EQ(T.LineSlotPos[k].z, ProfileValueAt(T.CurrentStrategy, T.LineSlotPos[k].x)) << k;
  EXPECT_EQ(T.LineSlotPos[101].z, 0.0f);
  T.Players[kHolder].passtimer = 5.0f;
  const u32 before = RandSeed;
  StartCountingAllocations();
  Fallback();
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(DrawsSince(before), 0) << "the pass runs on";
  EXPECT_EQ(T.Players[kHolder].passtimer, 5.0f);
}

TEST_F(RuckFallback, WaitsForPhaseTwo) {
  W.GotTackledPhase = 1;
  const u32 before = RandSeed;
  Fallback();
  EXPECT_EQ(W.Teams[1].HalfTimeAux, 0);
  EXPECT_EQ(DrawsSince(before), 0);
}

}  // namespace
