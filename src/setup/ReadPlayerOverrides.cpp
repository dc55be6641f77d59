#include "setup/ReadPlayerOverrides.h"

#include <fstream>
#include <string>

#include "core/EngineError.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/RunLog.h"
#include "core/TypeDefs.h"
#include "platform/Platform.h"
#include "setup/CsvRules.h"

namespace {

// The keys of the file in the order in which they are applied.
enum TOverrideKey {
  kPlayerNum, kTeamId, kHeight, kWeight, kSpeed, kAcceleration, kReactionTime, kReactionTimeSD,
  kCleanCatch, kHoldBall, kMakeTackle, kBreakTackle, kOffload, kSpeedLossSlope, kMaxPassSpeed,
  kPassRelease, kPassReleaseSD, kPassSDDir, kPassSDLaunch, kMaxKickSpeed, kKickRelease,
  kKickReleaseSD, kKickSDDir, kKickSDLaunch, kTurnover, kActionListLength, kSamplesPerAction,
  kKeyCount
};

struct TKeyDef {
  const char* Name;
  bool Integer;
  double Default;
};

constexpr TKeyDef kKeys[kKeyCount] = {
    {"playernum", true, 0},          {"teamid", true, 0},
    {"height", false, -1},           {"weight", false, -1},
    {"speed", false, -1},            {"acceleration", false, -1},
    {"reactiontime", false, -1},     {"reactiontimeSD", false, -1},
    {"cleancatchprob", false, -1},   {"holdballoncontactprob", false, -1},
    {"maketackleprob", false, -1},   {"breaktackleprob", false, -1},
    {"consideroffloadprob", false, -1}, {"speedlossslope", false, 1},
    {"maxpassspeed", false, -1},     {"passreleasetime", false, -1},
    {"passreleasetimeSD", false, -1}, {"passaccuracySDdir", false, -1},
    {"passaccuracySDlaunch", false, -1}, {"maxkickspeed", false, -1},
    {"kickreleasetime", false, -1},  {"kickreleasetimeSD", false, -1},
    {"kickaccuracySDdir", false, -1}, {"kickaccuracySDlaunch", false, -1},
    {"turnoverutility", false, 100.0}, {"actionlistlength", true, 10},
    {"samplesperaction", true, 1},
};

// The working values of one row; integers are held exactly in a double.
struct TOverrideRow {
  double V[kKeyCount];
};

int KeyOfColumn(const std::string& name) {
  for (int k = 0; k < kKeyCount; ++k)
    if (name == kKeys[k].Name) return k;
  return -1;
}

TOverrideRow ReadRow(const TCsvRow& row) {
  TOverrideRow r;
  for (int k = 0; k < kKeyCount; ++k) r.V[k] = kKeys[k].Default;
  for (int c = 1; c <= row.File->ColumnCount(); ++c) {
    const int k = KeyOfColumn(row.Name(c));
    if (k < 0) continue;
    r.V[k] = kKeys[k].Integer ? static_cast<double>(CsvInteger(row, c)) : CsvRealForF32(row, c);
  }
  return r;
}

// mean, sd and bounds of a release time; the lower bound never below `floor`.
void SetSpread(TDistribution& d, double mean, double sd, double floor) {
  d.mean = static_cast<f32>(mean);
  d.sd = static_cast<f32>(sd);
  const double lo = mean - 3.0 * sd;
  d.min = static_cast<f32>(lo < floor ? floor : lo);
  d.max = static_cast<f32>(mean + 3.0 * sd);
}

void ShiftMean(TDistribution& d, const TDistribution& from, double by, double floor) {
  d = from;
  const double mean = static_cast<double>(from.mean) + by;
  d.mean = static_cast<f32>(mean < floor ? floor : mean);
}

void ApplyPassReleaseTimes(TPlayer& P, double T, double S) {
  TDistribution& base = P.LongPassLeftReleaseTime;
  SetSpread(base, T, S, 0.1);
  base.useMin = kTrue32;
  base.useMax = kTrue32;
  for (TDistribution* d : {&P.LongPassRightReleaseTime, &P.DummyhalfPassLeftReleaseTime,
                           &P.DummyhalfPassRightReleaseTime, &P.StandingStillPassLeftReleaseTime,
                           &P.StandingStillPassRightReleaseTime})
    *d = base;
  ShiftMean(P.MediumPassLeftReleaseTime, base, -0.05, 0.2);
  ShiftMean(P.MediumPassRightReleaseTime, base, -0.05, 0.2);
  ShiftMean(P.ShortPassLeftReleaseTime, base, -0.1, 0.2);
  ShiftMean(P.ShortPassRightReleaseTime, base, -0.1, 0.2);
  ShiftMean(P.PopPassLeftReleaseTime, base, -0.15, 0.2);
  ShiftMean(P.PopPassRightReleaseTime, base, -0.15, 0.2);
  P.DrawAndPassStartTime = base;
  P.DrawAndPassStartTime.mean = static_cast<f32>(static_cast<double>(base.mean) + 0.15);
}

i16 PerMille(double fraction) { return RoundToI16(1000.0 * fraction); }

void ApplyRow(TPlayer& P, const TOverrideRow& row) {
  const double* v = row.V;
  if (v[kHeight] > 0) P.Height = static_cast<f32>(v[kHeight] / 100.0);
  if (v[kWeight] > 0) P.Weight = static_cast<f32>(v[kWeight]);
  if (v[kSpeed] > 0) {
    P.MaxSpeedNonFatigued = static_cast<f32>(v[kSpeed]);
    P.maxspeed = static_cast<f32>(v[kSpeed]);
    P.JogSpeed = static_cast<f32>(0.75 * v[kSpeed]);
  }
  if (v[kAcceleration] > 0) {
    P.Acceleration = static_cast<f32>(v[kAcceleration]);
    P.AccelerationInit = static_cast<f32>(v[kAcceleration]);
  }
  TDistribution* reactions[] = {&P.RunningAngleReactionTime, &P.DefensiveRunningAngleReactionTime};
  if (v[kReactionTime] > 0)
    for (TDistribution* d : reactions) d->mean = static_cast<f32>(v[kReactionTime]);
  if (v[kReactionTimeSD] > 0) {
    for (TDistribution* d : reactions) {
      d->sd = static_cast<f32>(v[kReactionTimeSD]);
      if (v[kReactionTime] > 0) SetSpread(*d, v[kReactionTime], v[kReactionTimeSD], 0.001);
    }
  }
  if (v[kCleanCatch] > 0) P.CleanCatchProb = PerMille(v[kCleanCatch]);
  if (v[kHoldBall] > 0) P.HoldBallOnContactProb = PerMille(v[kHoldBall]);
  if (v[kMakeTackle] > 0) P.MakeTackleProb = PerMille(v[kMakeTackle]);
  if (v[kBreakTackle] > 0) P.BreakTackleProb = PerMille(v[kBreakTackle]);
  if (v[kOffload] > 0) P.LookForOffloadProb = PerMille(v[kOffload]);
  if (v[kSpeedLossSlope] <= 0) P.SpeedLossSlope = static_cast<f32>(100.0 * v[kSpeedLossSlope]);
  if (v[kMaxPassSpeed] > 0) P.maxpassspeed = static_cast<f32>(v[kMaxPassSpeed]);
  if (v[kPassRelease] > 0 && v[kPassReleaseSD] >= 0)
    ApplyPassReleaseTimes(P, v[kPassRelease], v[kPassReleaseSD]);
  if (v[kPassSDDir] >= 0 && v[kPassSDLaunch] >= 0) {
    P.passAccuracySDDir = static_cast<f32>(v[kPassSDDir]);
    P.passAccuracySDLaunch = static_cast<f32>(v[kPassSDLaunch]);
    P.passImagAccuracyFactor = 0.5f;
  }
  if (v[kMaxKickSpeed] > 0) P.MaxKickSpeed = static_cast<f32>(v[kMaxKickSpeed]);
  if (v[kKickRelease] > 0 && v[kKickReleaseSD] >= 0)
    SetSpread(P.PuntRightFootReleaseTime, v[kKickRelease], v[kKickReleaseSD], 0.1);
  if (v[kKickSDDir] >= 0 && v[kKickSDLaunch] >= 0) {
    P.kickAccuracySDDir = static_cast<f32>(v[kKickSDDir]);
    P.kickAccuracySDLaunch = static_cast<f32>(v[kKickSDLaunch]);
  }
  P.turnoverLossFactor = static_cast<f32>(v[kTurnover]);
  P.maxGenPlaySims = static_cast<i32>(v[kActionListLength]);
  P.simsPerGenPlayAction = static_cast<i32>(v[kSamplesPerAction]);
}

// ---------------------------------------------------------------- run-log block
void LogReal(const char* label, double v) { WriteRunLog(label + FormatGeneral(v)); }
void LogInt(const char* label, long v) { WriteRunLog(label + std::to_string(v)); }

void LogSpread(const std::string& name, const TDistribution& d) {
  LogReal((name + ".mean ").c_str(), d.mean);
  LogReal((name + ".sd ").c_str(), d.sd);
  LogReal((name + ".min ").c_str(), d.min);
  LogReal((name + ".max ").c_str(), d.max);
}

void LogPlayer(const TTeamBlock& B, const TPlayer& P) {
  WriteRunLog("//player start");
  LogInt("teamid ", B.teamid);
  LogInt("playerid ", P.id);
  LogReal("Height ", P.Height);
  LogReal("Weight ", P.Weight);
  LogReal("MaxSpeedNonFatigued ", P.MaxSpeedNonFatigued);
  LogReal("MaxSpeed ", P.maxspeed);
  LogReal("JogSpeed ", P.JogSpeed);
  LogReal("Acceleration ", P.Acceleration);
  LogReal("AccelerationInit ", P.AccelerationInit);
  LogReal("RunningAngleReactionTime.mean ", P.RunningAngleReactionTime.mean);
  LogReal("DefensiveRunningAngleReactionTime.mean ", P.DefensiveRunningAngleReactionTime.mean);
  LogReal("RunningAngleReactionTime.sd ", P.RunningAngleReactionTime.sd);
  LogReal("DefensiveRunningAngleReactionTime.sd ", P.DefensiveRunningAngleReactionTime.sd);
  LogReal("RunningAngleReactionTime.min ", P.RunningAngleReactionTime.min);
  LogReal("RunningAngleReactionTime.max ", P.RunningAngleReactionTime.max);
  LogReal("DefensiveRunningAngleReactionTime.min ", P.DefensiveRunningAngleReactionTime.min);
  LogInt("CleanCatchProb ", P.CleanCatchProb);
  LogInt("HoldBallOnContactProb ", P.HoldBallOnContactProb);
  LogInt("MakeTackleProb ", P.MakeTackleProb);
  LogInt("BreakTackleProb ", P.BreakTackleProb);
  LogInt("LookForOffloadProb ", P.LookForOffloadProb);
  LogReal("SpeedLossSlope ", P.SpeedLossSlope);
  LogReal("maxpassspeed ", P.maxpassspeed);
  const std::pair<const char*, const TDistribution*> releases[] = {
      {"LongPassLeftReleaseTime", &P.LongPassLeftReleaseTime},
      {"DummyhalfPassLeftReleaseTime", &P.DummyhalfPassLeftReleaseTime},
      {"StandingStillPassLeftReleaseTime", &P.StandingStillPassLeftReleaseTime},
      {"MediumPassLeftReleaseTime", &P.MediumPassLeftReleaseTime},
      {"ShortPassLeftReleaseTime", &P.ShortPassLeftReleaseTime},
      {"PopPassLeftReleaseTime", &P.PopPassLeftReleaseTime},
      {"LongPassRightReleaseTime", &P.LongPassRightReleaseTime},
      {"DummyhalfPassRightReleaseTime", &P.DummyhalfPassRightReleaseTime},
      {"StandingStillPassRightReleaseTime", &P.StandingStillPassRightReleaseTime},
      {"MediumPassRightReleaseTime", &P.MediumPassRightReleaseTime},
      {"ShortPassRightReleaseTime", &P.ShortPassRightReleaseTime},
      {"PopPassRightReleaseTime", &P.PopPassRightReleaseTime},
      {"DrawAndPassStartTime", &P.DrawAndPassStartTime},
  };
  for (const auto& [name, d] : releases) LogSpread(name, *d);
  LogReal("passAccuracySDDir ", P.passAccuracySDDir);
  LogReal("passAccuracySDLaunch ", P.passAccuracySDLaunch);
  LogReal("passImagAccuracyFactor ", P.passImagAccuracyFactor);
  LogReal("MaxKickSpeed ", P.MaxKickSpeed);
  LogSpread("PuntRightFootReleaseTime", P.PuntRightFootReleaseTime);
  LogReal("kickAccuracySDDir ", P.kickAccuracySDDir);
  LogReal("kickAccuracySDLaunch ", P.kickAccuracySDLaunch);
  LogReal("turnoverLossFactor ", P.turnoverLossFactor);
  LogReal("maxGenPlaySims ", P.maxGenPlaySims);
  LogReal("simsPerGenPlayAction ", P.simsPerGenPlayAction);
  WriteRunLog("//player ends");
}

// One line of the trace file, written at once so that what was read before
// an error stays in the file.
void TraceLine(std::ofstream& trace, const std::string& line) {
  trace << line << "\r\n";
  trace.flush();
}

}  // namespace

void ReadPlayerOverrides() {
  const std::string path = InputDir() + "playersOverride.csv";
  if (!FileExists(path)) return;
  const std::string tracePath = OutputDir + "playerInput" + FileSuffix + ".csv";
  std::ofstream trace(tracePath, std::ios::binary | std::ios::trunc);
  if (!trace) throw EEngineError("Cannot create file " + tracePath);
  const TCsvFile file = LoadCsvFile(path);
  TraceLine(trace, file.Lines[0]);
  for (int r = 1; r <= file.RowCount(); ++r) {
    TraceLine(trace, file.Lines[static_cast<size_t>(r)]);
    const TOverrideRow row = ReadRow(CsvRow(file, r));
    const double playernum = row.V[kPlayerNum];
    // Numbers outside the block's 25 records name no player: skipped.
    if (playernum <= 0 || playernum > 25) continue;
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& block = World.Teams[b];
      if (block.teamid == row.V[kTeamId]) ApplyRow(block.Players[static_cast<int>(playernum)], row);
    }
  }
  trace.close();
  SetCurrentDir(ExeDir);
  for (int b = 1; b <= 2; ++b)
    for (int p = 1; p <= 22; ++p) LogPlayer(World.Teams[b], World.Teams[b].Players[p]);
}
