#include "match/MatchProbe.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/TypeDefs.h"
#include "output/MessageCounts.h"
#include "platform/Form.h"
#include "platform/Platform.h"

namespace {

TMatchFigures g_figures;
TFrameStep g_footprints = nullptr;
TFrameStep g_lastStep = nullptr;

void HashF32(uint64_t& h, f32 v) { h = HashBytes(h, &v, sizeof v); }

void HashPositions(uint64_t& h, const TWorld& W) {
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      const TVector3& pos = W.Teams[b].Players[p].Pos;
      HashF32(h, pos.x);
      HashF32(h, pos.y);
      HashF32(h, pos.z);
    }
  }
  HashF32(h, W.BallPos.x);
  HashF32(h, W.BallPos.y);
  HashF32(h, W.BallPos.z);
}

// Field by field: the record has padding.
void HashMessages(uint64_t& h) {
  const TMatchStore& S = MatchStore;
  for (int i = 1; i <= ReadableMessageCount(S); ++i) {
    const TMatchMessage& m = S.Messages[i];
    h = HashBytes(h, &m.teamID, sizeof m.teamID);
    h = HashBytes(h, &m.playerID, sizeof m.playerID);
    HashF32(h, m.time);
    h = HashBytes(h, &m.message, sizeof m.message);
    HashF32(h, m.extravalue);
  }
}

// Frame step 7 runs once in every frame of the match and of the look-ahead.
void CountingFootprints(TWorld& W) {
  if (&W != &World) ++g_figures.LookAheadFrames;
  g_footprints(W);
}

// The last frame step runs only in match frames.
void HashingLastStep(TWorld& W) {
  g_lastStep(W);
  if (&W != &World) return;
  ++g_figures.Frames;
  HashPositions(g_figures.PositionHash, W);
}

void TallyMessages(TMatchFigures& F) {
  TMessageCounts c{};
  const TMatchStore& S = MatchStore;
  for (int i = 1; i <= ReadableMessageCount(S); ++i) CountSharedMessage(S.Messages[i], c);
  F.Tries = c.tries;
  F.Conversions = c.convsuccess;
  F.ConversionAttempts = c.convattempts;
  F.PenaltyGoals = c.pengoalsuccess;
  F.PenaltyGoalAttempts = c.pengoalattempts;
  F.DropGoals = c.dropgoalsuccess;
  F.DropGoalAttempts = c.dropgoalattempts;
}

}  // namespace

uint64_t HashBytes(uint64_t hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

TMatchFigures PlayProbedMatch(const std::string& dir, bool fixedSeed, u32 seed) {
  g_figures = TMatchFigures{};
  g_figures.PositionHash = kHashStart;
  InstallEngineHooks();
  g_footprints = FrameSteps[kStepUpdatePlayerFootprints].Step;
  g_lastStep = FrameSteps[kStepPostStatMessages].Step;
  FrameSteps[kStepUpdatePlayerFootprints].Step = CountingFootprints;
  FrameSteps[kStepPostStatMessages].Step = HashingLastStep;
  // Absolute: the finish changes the current directory.
  SetProgramDirectory(std::filesystem::absolute(dir).string());
  if (fixedSeed) FixTimeOfDay(seed);
  const auto start = std::chrono::steady_clock::now();
  const int status = RunProgram();
  const auto end = std::chrono::steady_clock::now();
  UnfixTimeOfDay();
  SetProgramDirectory("");
  ResetFrameSteps();

  TMatchFigures F = g_figures;
  F.WallSeconds = std::chrono::duration<double>(end - start).count();
  F.ExitStatus = status;
  // The seed as the start-up logged it ("randseed N", the run log's second
  // line); the generator has moved on since.
  for (const std::string& line : Form1.Memo2.Lines)
    if (line.rfind("randseed ", 0) == 0) F.Seed = static_cast<u32>(std::stoul(line.substr(9)));
  const TWorld& W = World;
  const int first = W.Team1InFirstBlock ? 1 : 2;
  F.Score1 = W.Teams[first].score;
  F.Score2 = W.Teams[3 - first].score;
  TallyMessages(F);
  HashMessages(F.PositionHash);
  return F;
}

std::string FiguresHeader() {
  return "seed exit score1 score2 tries conversions penaltygoals dropgoals frames lookaheadframes wall_s";
}

std::string FiguresRow(const TMatchFigures& F) {
  char row[256];
  std::snprintf(row, sizeof row, "%u %d %d %d %d %d/%d %d/%d %d/%d %llu %llu %.3f", F.Seed,
                F.ExitStatus, F.Score1, F.Score2, F.Tries, F.Conversions, F.ConversionAttempts,
                F.PenaltyGoals, F.PenaltyGoalAttempts, F.DropGoals, F.DropGoalAttempts,
                static_cast<unsigned long long>(F.Frames),
                static_cast<unsigned long long>(F.LookAheadFrames), F.WallSeconds);
  return row;
}
