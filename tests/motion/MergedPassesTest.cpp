// The merged per-player passes against their stages run one at a time. A
// merged pass runs every stage for player 1, then for player 2, and so on;
// it is right only while no stage reads what another writes for another
// player. On copies of the match world of a seeded whole match, sampled
// every few frames across the states of play, each pass is run with its
// first k stages merged and the rest stage by stage (each over all players
// in turn), for k = 0 (all stage by stage) up to every stage merged, and the
// whole worlds and the generator's state are compared: the first k that
// differs from k = 0 names the stage that breaks the claim. The falls and
// the forced movements also run their later stages only over the players a
// first pass marks; there the first k stages run over the marked and the
// rest over every player, and the first k that differs names the stage that
// acts on a player the marking passes over.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "motion/AnimatePlayersUnit.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/OffsidesUnit.h"
#include "platform/Platform.h"

namespace {

// A whole match is some forty times slower under the sanitizers; the
// release build plays it.
#if !defined(__SANITIZE_ADDRESS__)

// One stage of a pass for unit u: a player number, both blocks (the timer
// step's passes, offsides), or a (block, player) index (the animation).
struct TStage {
  const char* Name;
  std::function<void(TWorld&, int)> Run;
};

// A merged pass: whether the frame runs it in W's state, its number of
// units, and its stages bound to a fresh per-run context on W (the marks and
// flags a pass keeps from one stage to the next). Step, when set, is the
// pass as the frame runs it, compared with the stage-by-stage run too.
struct TMergedPass {
  const char* Name;
  bool (*Applies)(const TWorld& W);
  int (*Units)(const TWorld& W);
  std::function<std::vector<TStage>(TWorld& W)> Begin;
  void (*Step)(TWorld& W);
};

bool Always(const TWorld&) { return true; }
int Players(const TWorld& W) { return PlayerCount(W); }
int BothBlocks(const TWorld& W) { return 2 * PlayerCount(W); }

std::vector<TStage> TimerStages(TWorld&) {
  return {{"plain countdowns", CountPlainTimers},
          {"pass reaction", CountPassReaction},
          {"pass read", CountPassRead},
          {"angle reaction", CountAngleReaction},
          {"AuxTimer3", CountAuxTimer3}};
}

std::vector<TStage> ForcedStages(TWorld& W) {
  auto pass = std::make_shared<TForcedPass>(StartForcedPass(W));
  return {{"forced marking", [pass](TWorld& V, int i) { MarkForced(V, i, *pass); }},
          {"kick runs", [pass](TWorld& V, int i) { RunKickRuns(V, i, *pass); }},
          {"loose-ball runs", [pass](TWorld& V, int i) { RunLooseBallRuns(V, i, *pass); }},
          {"follows", RunFollow},
          {"scripted runs", RunScripted}};
}

std::vector<TStage> FallMarkingStages(TWorld&) {
  auto marked = std::make_shared<uint64_t>(0);
  return {{"dive end", EndDiveOf}, {"falling marked", [marked](TWorld& V, int i) { MarkFalling(V, i, *marked); }}};
}

bool MarksInRunning(const TWorld& W) { return W.gamestate == gsRunning && W.RunningPhase >= 2; }

std::vector<TStage> OffsideStages(TWorld& W) {
  const TRunningMarks marks = StartRunningMarks(W);
  return {{"last marks kept", KeepLastMarks},
          {"marking", [marks](TWorld& V, int p) { MarkRunningPlayer(V, p, marks); }}};
}

// Unit u of the animation: block 1's players, then block 2's.
TPlayer& AnimUnit(TWorld& W, int u, int& b, int& i) {
  const int n = PlayerCount(W);
  b = (u - 1) / n + 1;
  i = (u - 1) % n + 1;
  return W.Teams[b].Players[i];
}

// The choice runs each player's stages 1 to 3 in order (they are one chain,
// not a merged pass); the advance runs as a second pass in the step.
std::vector<TStage> AnimStages(TWorld& W) {
  // A player whose animation sequence plays is done for the frame.
  auto advances = std::make_shared<std::vector<bool>>(2 * PlayerCount(W) + 1, false);
  return {{"animation choice",
           [advances](TWorld& V, int u) {
             int b = 0, i = 0;
             AnimUnit(V, u, b, i);
             (*advances)[u] = ChooseAnimation(V, b, i);
           }},
          {"advance", [advances](TWorld& V, int u) {
             int b = 0, i = 0;
             TPlayer& P = AnimUnit(V, u, b, i);
             if ((*advances)[u]) AdvanceAnim(V, P);
           }}};
}

const TMergedPass kPasses[] = {
    {"timer step: reactions", Always, Players, TimerStages, nullptr},
    {"timer step: forced movements", Always, Players, ForcedStages, nullptr},
    {"timer step: falls marking", Always, Players, FallMarkingStages, nullptr},
    {"offsides in running", MarksInRunning, Players, OffsideStages, nullptr},
    {"animation", Always, BothBlocks, AnimStages, AnimatePlayers},
};

// The first k stages for each unit in turn, then each further stage over
// every unit in turn.
void RunSplit(const TMergedPass& Pass, TWorld& W, size_t k) {
  const std::vector<TStage> stages = Pass.Begin(W);
  const int units = Pass.Units(W);
  for (int u = 1; u <= units; ++u)
    for (size_t s = 0; s < k; ++s) stages[s].Run(W, u);
  for (size_t s = k; s < stages.size(); ++s)
    for (int u = 1; u <= units; ++u) stages[s].Run(W, u);
}

// A pass whose later stages run only over the players its first pass marks.
struct TMarkedPass {
  const char* Name;
  uint64_t (*Mark)(TWorld& W);
  const TMarkedStage* Stages;
  int Count;
};

const TMarkedPass kMarkedPasses[] = {
    {"timer step: falls", EndDivesAndMarkFalling, kFallStages, kFallStageCount},
    {"timer step: forced movements", MarkAndRunForcedMovements, kForcedStages, kForcedStageCount},
};

// The first k stages over the marked players, the rest over every player.
void RunMarked(const TMarkedPass& Pass, TWorld& W, int k) {
  const uint64_t marked = Pass.Mark(W);
  const uint64_t everyone = (uint64_t{1} << (2 * PlayerCount(W))) - 1;
  for (int s = 0; s < Pass.Count; ++s) Pass.Stages[s].Run(W, s < k ? marked : everyone);
}

// Where two worlds first differ: a player's record and the byte in it, or
// the byte of the world.
std::string FirstDifference(const TWorld& A, const TWorld& B) {
  const auto* a = reinterpret_cast<const unsigned char*>(&A);
  const auto* b = reinterpret_cast<const unsigned char*>(&B);
  size_t at = 0;
  while (at < sizeof(TWorld) && a[at] == b[at]) ++at;
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= 25; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(&A.Teams[t].Players[i]);
      if (a + at >= p && a + at < p + sizeof(TPlayer))
        return "block " + std::to_string(t) + " player " + std::to_string(i) + ", byte " +
               std::to_string(a + at - p) + " of his record";
    }
  return "world byte " + std::to_string(at);
}

struct TSampled {
  TFrameStep RealStep = nullptr;
  int Frames = 0;
  std::vector<int> Checks;  // per pass
  int MarkedChecks = 0;
  std::set<int> States;
  std::vector<std::string> Failures;
};
TSampled g;
constexpr int kEvery = 60;  // match frames between samples

// Static: a world is large.
TWorld gReference, gTried;

// Runs every pass that applies on copies of W; W and the generator are left
// as they were.
void CheckPasses(const TWorld& W) {
  const u32 seed = RandSeed;
  for (size_t p = 0; p < std::size(kPasses); ++p) {
    const TMergedPass& pass = kPasses[p];
    if (!pass.Applies(W)) continue;
    ++g.Checks[p];
    g.States.insert(W.gamestate);
    RandSeed = seed;
    gReference = W;
    RunSplit(pass, gReference, 0);
    const u32 referenceSeed = RandSeed;
    const std::vector<TStage> named = pass.Begin(gTried = W);
    const size_t stages = named.size();
    auto differs = [&] {
      return RandSeed != referenceSeed || std::memcmp(&gTried, &gReference, sizeof(TWorld)) != 0;
    };
    for (size_t k = 2; k <= stages; ++k) {
      RandSeed = seed;
      gTried = W;
      RunSplit(pass, gTried, k);
      if (differs()) {
        g.Failures.push_back(std::string(pass.Name) + ", frame " + std::to_string(g.Frames) + ", state " +
                             std::to_string(W.gamestate) + ": stage \"" + named[k - 1].Name + "\" run in one pass with the stages before it " +
                             (RandSeed != referenceSeed ? "draws otherwise" : "differs at " + FirstDifference(gTried, gReference)));
        break;
      }
    }
    if (pass.Step != nullptr) {
      RandSeed = seed;
      gTried = W;
      pass.Step(gTried);
      if (differs())
        g.Failures.push_back(std::string(pass.Name) + ", frame " + std::to_string(g.Frames) +
                             ": the step differs from its stages run one at a time");
    }
  }
  for (const TMarkedPass& pass : kMarkedPasses) {
    ++g.MarkedChecks;
    RandSeed = seed;
    gReference = W;
    RunMarked(pass, gReference, 0);
    const u32 referenceSeed = RandSeed;
    for (int k = 1; k <= pass.Count; ++k) {
      RandSeed = seed;
      gTried = W;
      RunMarked(pass, gTried, k);
      if (RandSeed != referenceSeed || std::memcmp(&gTried, &gReference, sizeof(TWorld)) != 0) {
        g.Failures.push_back(std::string(pass.Name) + ", frame " + std::to_string(g.Frames) + ", state " +
                             std::to_string(W.gamestate) + ": stage \"" + pass.Stages[k - 1].Name +
                             "\" acts on a player the marking passes over: " +
                             (RandSeed != referenceSeed ? "draws otherwise" : "differs at " + FirstDifference(gTried, gReference)));
        break;
      }
    }
  }
  RandSeed = seed;
}

// The timer step of the match world, sampled before it runs (look-ahead
// copies go through the same table and are left out).
void SamplingTimerStep(TWorld& W) {
  if (&W == &World && ++g.Frames % kEvery == 0 && g.Failures.size() < 10) CheckPasses(W);
  g.RealStep(W);
}

TEST(MergedPassesTest, EachMergedPassGivesTheWorldOfItsStagesRunOneAtATime) {
  ResetFrameSteps();
  g = TSampled{};
  g.Checks.assign(std::size(kPasses), 0);
  g.RealStep = FrameSteps[13].Step;
  ASSERT_EQ(g.RealStep, DelayPlayers);
  FrameSteps[13].Step = SamplingTimerStep;
  RunFolder run;
  FixTimeOfDay(20261211);
  const int status = RunProgram();
  UnfixTimeOfDay();
  ResetFrameSteps();

  EXPECT_EQ(status, 0);
  for (const std::string& f : g.Failures) ADD_FAILURE() << f;
  for (size_t p = 0; p < std::size(kPasses); ++p) EXPECT_GT(g.Checks[p], 20) << kPasses[p].Name;
  EXPECT_GT(g.MarkedChecks, 20);
  for (const int state : {gsRunning, gsPassing, gsGotTackled, gsFreeBall, gsScrum, gsLineout, gsKickRestartSet})
    EXPECT_EQ(g.States.count(state), 1u) << "state " << state << " never sampled";
}
#endif

}  // namespace
