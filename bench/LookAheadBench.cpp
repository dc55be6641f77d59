// Look-ahead runs per second: every sampling pass of the side in possession
// copies the whole world and plays each candidate move forward on the copy,
// up to 500 frames a run, so the look-ahead is where a match spends its time.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "decision/LookAhead.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

namespace {

namespace fs = std::filesystem;

constexpr u32 kSeed = 4242;
constexpr int kBenchMove = 21;  // an open-play move of the catalogue

// The example input's match, set up as the program does before its first
// frame in a run folder of its own (the set-up writes its input trace there),
// then put into open play: block 1's carrier holds the ball where he stands.
class TExampleMatch {
 public:
  TExampleMatch() {
    std::string tmpl = (fs::temp_directory_path() / "matchengine-bench-XXXXXX").string();
    dir_ = mkdtemp(tmpl.data());
    dir_ += '/';
    fs::create_directories(dir_ + "csvinput");
    fs::copy(std::string(EXAMPLES_DIR) + "/csvinput/internetinit", dir_ + "csvinput/internetinit",
             fs::copy_options::recursive);
    SetProgramDirectory(dir_);
    ExeDir = dir_;
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
    RandSeed = kSeed;
    InitialiseMatch();
    TWorld& W = World;
    W.gamestate = gsRunning;
    W.FrameGameState = gsRunning;
    W.TimeStep = 0.04f;
    W.PrevTimeStep = 0.04f;
    const TPlayer& C = W.Teams[1].Players[W.Teams[1].BallCarrier];
    W.BallPos = {C.Pos.x, 1.0f, C.Pos.z};
  }
  ~TExampleMatch() {
    SetProgramDirectory("");
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(dir_, ec);
  }

 private:
  std::string dir_;
};

void BM_LookAheadOpenPlayMove(benchmark::State& state) {
  TExampleMatch match;
  TMove move = PossessionMoveBook(World).OpenPlayMoves[kBenchMove];
  move.ApplyFirst = kTrue32;
  TSimResult result{};
  double frames = 0;
  for (auto _ : state) {
    RandSeed = kSeed;
    TakeLookAheadCopy();
    LookAheadWorld.Teams[1].MoveIndex = kBenchMove;
    SimulateAhead(LookAheadWorld, move, 0, result);
    benchmark::DoNotOptimize(result);
    frames += std::nearbyint(result.SimTime / move.SimTimeStep);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["runs"] = benchmark::Counter(runs, benchmark::Counter::kIsRate);
  state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["copies"] = benchmark::Counter(runs, benchmark::Counter::kIsRate);
  state.counters["frames/run"] = runs > 0 ? frames / runs : 0;
}
BENCHMARK(BM_LookAheadOpenPlayMove)->Unit(benchmark::kMicrosecond);

// The copy alone: one block copy of the world before every sample.
void BM_LookAheadCopy(benchmark::State& state) {
  TExampleMatch match;
  for (auto _ : state) {
    TakeLookAheadCopy();
    benchmark::DoNotOptimize(LookAheadWorld.BallPos);
  }
  state.counters["copies"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * sizeof(TWorld), benchmark::Counter::kIsRate,
                         benchmark::Counter::kIs1024);
}
BENCHMARK(BM_LookAheadCopy)->Unit(benchmark::kMicrosecond);

}  // namespace
