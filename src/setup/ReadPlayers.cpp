#include "setup/ReadPlayers.h"

#include <string>

#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/RunLog.h"
#include "core/TypeDefs.h"
#include "core/UDPRealtime.h"
#include "setup/CsvRules.h"

namespace {

// ---------------------------------------------------------------- rating ranges
// A conversion's lo and hi for the difficulty tiers 1 to 5. A normal run
// always plays tier 1; the other tiers belong to the real-time mode.
struct TTierRange {
  double Lo[5];
  double Hi[5];
};

constexpr TTierRange Same(double lo, double hi) {
  return {{lo, lo, lo, lo, lo}, {hi, hi, hi, hi, hi}};
}

// Key table.
constexpr TTierRange kSpeed = Same(4.75, 10.0);
constexpr TTierRange kAcceleration = {{1.5, 1.0, 1.5, 2.5, 2.5}, {7.0, 6.0, 7.0, 8.0, 9.0}};
constexpr TTierRange kSpeedLossDivisor = {{0.5, 0.4, 0.45, 0.5, 0.55}, {1.0, 0.7, 0.8, 0.9, 1.0}};
// The higher tiers have no offload hi: it is 0.
constexpr TTierRange kLookForOffload = {{1, 1, 1, 1, 1}, {525, 0, 0, 0, 0}};
constexpr TTierRange kBreakdownChance = {{50, 50, 150, 250, 350}, {999, 999, 999, 999, 999}};
constexpr TTierRange kRuckFactor = Same(0.8, 0.97);
constexpr TTierRange kLineoutJumping = Same(1, 925);
constexpr TTierRange kLineoutThrow = Same(1, 950);
constexpr TTierRange kFatigueFreshTime = Same(60, 420);
constexpr TTierRange kFatigueTiredTime = Same(30, 420);
constexpr TTierRange kElusivenessValue = {{1, 1, 1, 1, 1}, {500, 650, 700, 750, 800}};
constexpr TTierRange kElusivenessProb = Same(1, 500);
constexpr TTierRange kMakeTackle = {{675, 200, 300, 400, 500}, {995, 995, 995, 995, 995}};
constexpr TTierRange kBreakTackle = {{1, 1, 1, 1, 1}, {350, 500, 500, 500, 500}};
constexpr TTierRange kBreakTackle2 = {{200, 325, 350, 375, 400}, {999, 999, 999, 999, 999}};
constexpr TTierRange kFend = kBreakTackle2;
constexpr TTierRange kCleanCatch = {{827, 935, 935, 935, 935}, {990, 999, 999, 999, 999}};
constexpr TTierRange kHoldBall = {{790, 800, 800, 800, 800}, {950, 950, 950, 950, 950}};
constexpr TTierRange kHighBall = Same(400, 950);
constexpr TTierRange kHighBall2 = Same(5, 850);
constexpr TTierRange kKickDeviation1 = Same(5, 15);
constexpr TTierRange kKickDeviation2 = Same(5, 30);
constexpr TTierRange kGoalKickDeviation1 = Same(5, 10);
constexpr TTierRange kGoalKickDeviation2 = Same(4, 21);
constexpr TTierRange kInjury = Same(10, 100);
// Derived values.
constexpr TTierRange kRunningAngleMean = {{0.2, 0.2, 0.2, 0.2, 0.2}, {0.8, 0.5, 0.5, 0.5, 0.5}};
constexpr TTierRange kReactionMean = {{0.2, 0.07, 0.07, 0.07, 0.07}, {0.8, 0.12, 0.1, 0.08, 0.075}};
constexpr TTierRange kReactionSD = {{0.01, 0.03, 0.03, 0.03, 0.03}, {0.155, 0.07, 0.06, 0.05, 0.04}};
constexpr TTierRange kReactionDelayA = Same(0.02, 0.12);
constexpr TTierRange kReactionDelayB = Same(0.05, 0.15);
constexpr TTierRange kStrengthChance = {{0.01, 0.02, 0.03, 0.04, 0.05}, {0.5, 0.5, 0.5, 0.5, 0.5}};
constexpr TTierRange kMaxPassSpeed = {{11.5, 11.5, 11.5, 11.5, 11.5}, {13.79, 13.25, 13.5, 13.75, 14.0}};
constexpr TTierRange kMaxPassSpeed2 = {{20, 20, 20, 20, 20}, {25, 22, 23, 24, 25}};
constexpr TTierRange kPassAccuracySD = Same(0.5, 3.24);
constexpr TTierRange kPassImagAccuracy = Same(0.5, 1.0);
constexpr TTierRange kKickAccuracySD = {{1, 0.5, 0.5, 0.5, 0.5}, {6, 5, 5, 5, 5}};
constexpr TTierRange kKickProb = Same(200, 985);
constexpr TTierRange kKickAccuracyProb = Same(1, 900);
constexpr TTierRange kAwarenessProb = Same(500, 999);
constexpr TTierRange kDisciplineProb = Same(750, 975);
constexpr TTierRange kMaxKickSpeed = {{19, 19, 19, 19, 19}, {34.5, 34, 34, 34, 34}};
constexpr TTierRange kMaxGoalKickSpeed = Same(27, 35);
constexpr TTierRange kLineoutJumpProb = Same(1, 999);
constexpr TTierRange kScrumPower = Same(250, 1250);
constexpr TTierRange kStrengthPower = Same(50, 1250);
constexpr TTierRange kStrengthPower2 = Same(500, 1250);
constexpr TTierRange kFinesseProb = {{1, 1, 1, 1, 1}, {200, 200, 250, 300, 400}};
constexpr TTierRange kIndisciplineProb = {{1, 1, 1, 1, 1}, {200, 400, 300, 250, 200}};

constexpr double kPowerSD = 0.15 * 1250;

double Lo(const TTierRange& r, int tier) { return r.Lo[tier - 1]; }
double Hi(const TTierRange& r, int tier) { return r.Hi[tier - 1]; }
double Rising(const TTierRange& r, int tier, double x) {
  return Lo(r, tier) + (Hi(r, tier) - Lo(r, tier)) * x / 100.0;
}
double Falling(const TTierRange& r, int tier, double x) {
  return Lo(r, tier) + (Hi(r, tier) - Lo(r, tier)) * (100.0 - x) / 100.0;
}
i16 RisingRounded(const TTierRange& r, int tier, double x) { return RoundToI16(Rising(r, tier, x)); }
i16 FallingRounded(const TTierRange& r, int tier, double x) { return RoundToI16(Falling(r, tier, x)); }

double Within(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

// ---------------------------------------------------------------- reader state
// What the reader keeps over the whole file. The squad and statistics
// entries are working copies that carry over from row to row: only the
// fields a row names change.
struct TReader {
  TCsvFile File;
  Arr1<f32, 2> CaptainLeadership{{0.0f, 0.0f}};
  Arr1<f32, 2> SideFactor{{1.0f, 1.0f}};
  bool TiersOn = false;  // real-time mode with a user's side
  i32 UserTeam = 0;
  i32 Difficulty = 0;
  i32 PlayerNum = 0;
  std::string TeamId;
  std::string PrefPosition;
  f32 H = 0.0f;  // highball, kept when a row has no highball column
  TSquadPlayer Squad{};
  TPlayerStats Stats{};
};

// The working values of one row, the player record being built and where it
// goes.
struct TRowState {
  TReader& R;
  int Side;
  int Tier;
  f32 A = 0, S = 0, P = 0, K = 0, G = 0, J = 0, C = 0, E = 0, D = 0, F = 0;
  TPlayer Player;
};

const TMatchInfo& Match() { return MatchStore.MatchInfo; }

// Ratings are written for 0 to 100; values a little beyond convert as the
// lines extend, but far beyond (over 1000 away) engine values overflow or
// the match runs on absurd speeds and chances, so the set-up refuses them.
constexpr double kRatingLimit = 1000.0;

// A rating as a 32-bit float: one that does not fit, or lies beyond the
// limit, is no rating.
f32 RatingValue(const TCsvRow& row, int c) {
  const double r = CsvRealForF32(row, c);
  if (r < -kRatingLimit || r > kRatingLimit)
    RaiseCsvError(*row.File, row.Line(), row.Name(c),
                  "'" + row.Value(c) + "' is outside the ratings -1000 to 1000");
  return static_cast<f32>(r);
}

// A body measure read as a whole number (height in cm, weight in kg): one
// of 0 or below would leave the player without height or mass, and contacts
// reach and push by both.
i32 BodyMeasure(const TCsvRow& row, int c, const char* unit) {
  const i32 v = CsvInteger(row, c);
  if (v <= 0)
    RaiseCsvError(*row.File, row.Line(), row.Name(c),
                  "'" + row.Value(c) + "' is not a " + row.Name(c) + " above 0 " + unit);
  return v;
}

// ---------------------------------------------------------------- passes before the players
void ReadCaptainsLeadership(TReader& R) {
  const TMatchInfo& m = Match();
  for (int r = 1; r <= R.File.RowCount(); ++r) {
    const TCsvRow row = CsvRow(R.File, r);
    // Only this row's own ids may pair with its leadership, whatever the
    // column order: an id left from the row before would hand a captain
    // another player's leadership.
    i32 team = 0;
    i32 player = 0;
    f32 leadership = -1.0f;
    for (int c = 1; c <= R.File.ColumnCount(); ++c) {
      const std::string& key = row.Name(c);
      if (key == "teamid") team = CsvInteger(row, c);
      if (key == "playerid") player = CsvInteger(row, c);
      if (key == "leadership") leadership = RatingValue(row, c);
      if (team == 0 || player == 0 || leadership == -1.0f) continue;
      for (int s = 1; s <= 2; ++s) {
        if (team == m.Team[s].teamid && player == m.Team[s].captainid) R.CaptainLeadership[s] = leadership;
      }
    }
  }
}

// The first non-empty value of a key in any row, "" when there is none.
std::string FirstValue(const TCsvFile& file, const std::string& key) {
  for (int r = 1; r <= file.RowCount(); ++r) {
    const TCsvRow row = CsvRow(file, r);
    for (int c = 1; c <= file.ColumnCount(); ++c) {
      if (row.Name(c) == key && !row.Value(c).empty()) return row.Value(c);
    }
  }
  return "";
}

// An academy side plays its visitors slowed down to its intensity.
void SetSideFactors(TReader& R) {
  const std::string intensity = FirstValue(R.File, "academyintensity");
  const TMatchInfo& m = Match();
  const auto academy = [&](int s) { return m.Team[s].teamname == "Youth Academy"; };
  if (m.matchtype != mtAcademy || !(academy(1) || academy(2))) return;
  const f32 factor = intensity == "medium" ? 0.85f : (intensity == "low" ? 0.7f : 1.0f);
  for (int s = 1; s <= 2; ++s) {
    if (!academy(s)) R.SideFactor[s] = factor;
  }
}

// In real-time mode the user's side and the game difficulty choose the tier.
void FindUserSide(TReader& R) {
  if (UDPRealtime.Active == 0 || UDPRealtime.AuxMode != 0) return;
  for (int r = 1; r <= R.File.RowCount(); ++r) {
    const TCsvRow row = CsvRow(R.File, r);
    int team = 0, difficulty = 0, controlled = 0;
    for (int c = 1; c <= R.File.ColumnCount(); ++c) {
      if (row.Name(c) == "teamid") team = c;
      if (row.Name(c) == "gamedifficulty") difficulty = c;
      if (row.Name(c) == "controlledby") controlled = c;
    }
    if (team == 0 || difficulty == 0 || controlled == 0) continue;
    if (row.Value(team).empty() || row.Value(difficulty).empty() || row.Value(controlled).empty()) continue;
    if (row.Value(controlled) == "ai") continue;
    R.UserTeam = CsvInteger(row, team);
    R.Difficulty = CsvInteger(row, difficulty);
    R.TiersOn = true;
    return;
  }
}

int RowTier(const TReader& R, i32 teamid) {
  if (!R.TiersOn) return 1;
  const bool user = teamid == R.UserTeam;
  switch (R.Difficulty) {
    case 1: return user ? 5 : 2;
    case 2: return user ? 5 : 3;
    case 3: return 4;
    case 4: return user ? 4 : 5;
    default: return 1;
  }
}

// ---------------------------------------------------------------- the key table
using TRatingApply = void (*)(TRowState& s, double r);

struct TRatingKey {
  const char* Name;
  f32 TPlayerStats::*Stat;
  bool SideFactor;  // the side factor scales the rating before it converts
  TRatingApply Apply;
};

bool IsForward(const std::string& position) {
  return position == "prop" || position == "hooker" || position == "lock" || position == "loose forward";
}

const TRatingKey kRatingKeys[] = {
    {"speed", &TPlayerStats::speed, true,
     [](TRowState& s, double r) {
       const double v = Rising(kSpeed, s.Tier, r);
       s.Player.MaxSpeedNonFatigued = static_cast<f32>(v);
       s.Player.maxspeed = static_cast<f32>(v);
       s.Player.JogSpeed = static_cast<f32>(0.75 * v);
     }},
    {"acceleration", &TPlayerStats::acceleration, true,
     [](TRowState& s, double r) {
       s.Player.Acceleration = static_cast<f32>(Rising(kAcceleration, s.Tier, r));
       s.Player.AccelerationInit = s.Player.Acceleration;
     }},
    {"strength", &TPlayerStats::strength, true, [](TRowState& s, double r) { s.S = static_cast<f32>(r); }},
    {"passing", &TPlayerStats::passing, false, [](TRowState& s, double r) { s.P = static_cast<f32>(r); }},
    {"offloads", &TPlayerStats::offloads, false,
     [](TRowState& s, double r) { s.Player.LookForOffloadProb = RisingRounded(kLookForOffload, s.Tier, r); }},
    {"rucking", &TPlayerStats::rucking, false,
     [](TRowState& s, double r) {
       s.Player.BreakdownChance = RisingRounded(kBreakdownChance, s.Tier, r);
       s.Player.RuckFactor.value = static_cast<f32>(Falling(kRuckFactor, s.Tier, r));
     }},
    {"lineoutjumping", &TPlayerStats::lineoutjumping, false,
     [](TRowState& s, double r) {
       s.J = static_cast<f32>(r);
       s.Player.lineoutjumping = RisingRounded(kLineoutJumping, s.Tier, r);
     }},
    {"lineoutthrow", &TPlayerStats::lineoutthrow, false,
     [](TRowState& s, double r) { s.Player.lineoutthrow = RisingRounded(kLineoutThrow, s.Tier, r); }},
    {"fitness", &TPlayerStats::fitness, false,
     [](TRowState& s, double r) {
       TPlayer& p = s.Player;
       p.Fatigued = kFalse32;
       p.FatigueLevel = 0;
       p.FatigueFreshTime = RisingRounded(kFatigueFreshTime, s.Tier, r);
       p.FatigueTiredTime = FallingRounded(kFatigueTiredTime, s.Tier, r);
       p.FatigueTimer = static_cast<f32>(p.FatigueFreshTime + RandomRange(1, 6));
     }},
    {"agility", &TPlayerStats::agility, false,
     [](TRowState& s, double r) {
       s.Player.agility = RoundToI16(r);
       s.Player.SpeedLossSlope = static_cast<f32>(-0.658 / Rising(kSpeedLossDivisor, s.Tier, r));
     }},
    {"form", &TPlayerStats::form, false, [](TRowState&, double) {}},
    {"bodyfat", &TPlayerStats::bodyfat, false, [](TRowState& s, double r) { s.R.Squad.bodyfat = RoundToI16(r); }},
    {"leadership", &TPlayerStats::leadership, false, [](TRowState&, double) {}},
    {"scrummaging", &TPlayerStats::scrummaging, false, [](TRowState& s, double r) { s.C = static_cast<f32>(r); }},
    {"elusiveness", &TPlayerStats::elusiveness, false,
     [](TRowState& s, double r) {
       s.E = static_cast<f32>(r);
       s.Player.ElusivenessValue = static_cast<f32>(Rising(kElusivenessValue, s.Tier, r));
       s.Player.ElusivenessProb = RisingRounded(kElusivenessProb, s.Tier, r);
     }},
    {"discipline", &TPlayerStats::discipline, false, [](TRowState& s, double r) { s.D = static_cast<f32>(r); }},
    {"finesse", &TPlayerStats::finesse, false,
     [](TRowState& s, double r) {
       s.F = static_cast<f32>(r);
       s.Player.finesse = RoundToI16(r);
     }},
    {"tackling", &TPlayerStats::tackling, false,
     [](TRowState& s, double r) { s.Player.MakeTackleProb = RisingRounded(kMakeTackle, s.Tier, r); }},
    {"breaktackle", &TPlayerStats::breaktackle, false,
     [](TRowState& s, double r) {
       s.Player.BreakTackleProb = RisingRounded(kBreakTackle, s.Tier, r);
       s.Player.BreakTackleProb2 = RisingRounded(kBreakTackle2, s.Tier, r);
     }},
    {"fend", &TPlayerStats::fend, false,
     [](TRowState& s, double r) { s.Player.fend = RisingRounded(kFend, s.Tier, r); }},
    {"handling", &TPlayerStats::handling, false,
     [](TRowState& s, double r) {
       s.Player.CleanCatchProb = RisingRounded(kCleanCatch, s.Tier, r);
       s.Player.HoldBallOnContactProb = RisingRounded(kHoldBall, s.Tier, r);
     }},
    {"highball", &TPlayerStats::highball, false,
     [](TRowState& s, double r) {
       s.R.H = static_cast<f32>(r);
       s.Player.HighBallProb = RisingRounded(kHighBall, s.Tier, r);
       s.Player.HighBallProb2 = RisingRounded(kHighBall2, s.Tier, r);
     }},
    {"kicking", &TPlayerStats::kicking, false,
     [](TRowState& s, double r) {
       s.K = static_cast<f32>(r);
       s.Player.KickDeviation0 = 0.0f;
       s.Player.KickDeviation1 = static_cast<f32>(Falling(kKickDeviation1, s.Tier, r));
       s.Player.KickDeviation2 = static_cast<f32>(Falling(kKickDeviation2, s.Tier, r));
     }},
    {"goalkicking", &TPlayerStats::goalkicking, false,
     [](TRowState& s, double r) {
       s.G = static_cast<f32>(r);
       s.Player.GoalKickDeviation0 = 0.0f;
       s.Player.GoalKickDeviation1 = static_cast<f32>(Falling(kGoalKickDeviation1, s.Tier, r));
       s.Player.GoalKickDeviation2 = static_cast<f32>(Falling(kGoalKickDeviation2, s.Tier, r));
     }},
    {"injury", &TPlayerStats::injury, true,
     [](TRowState& s, double r) { s.Player.injury = FallingRounded(kInjury, s.Tier, r); }},
    {"awareness", &TPlayerStats::awareness, false,
     [](TRowState& s, double r) {
       s.A = static_cast<f32>(r);
       s.Player.awareness = RoundToI16(r);
       const double base = IsForward(s.R.PrefPosition) ? 500.0 : 250.0;
       s.Player.SupportCommitProb = static_cast<f32>(base + base * s.A / 100.0);
     }},
};

const TRatingKey* FindRatingKey(const std::string& name) {
  for (const TRatingKey& k : kRatingKeys) {
    if (name == k.Name) return &k;
  }
  return nullptr;
}

void ApplyRatingKey(TRowState& s, const TCsvRow& row, int c, const TRatingKey& key) {
  const f32 rating = RatingValue(row, c);
  s.R.Stats.*key.Stat = rating;
  f32 r = rating;
  if (key.SideFactor) r = static_cast<f32>(static_cast<double>(rating) * s.R.SideFactor[s.Side]);
  key.Apply(s, r);
}

void ApplyTryCelebration(TRowState& s, i32 choice) {
  if (choice < 1 || choice > 16) choice = 1;
  if (choice == 1) {
    choice = RandomRange(2, 17);
    s.Player.TryCelebrationChosen = kFalse32;
  } else {
    s.Player.TryCelebrationChosen = kTrue32;
  }
  s.Player.trycelebration = static_cast<i16>(choice);
  s.R.Stats.trycelebration = static_cast<f32>(choice);
}

// The whole-number and text keys; false when the column is none of them.
bool ApplyOtherKey(TRowState& s, const TCsvRow& row, int c) {
  const std::string& key = row.Name(c);
  const std::string& v = row.Value(c);
  TSquadPlayer& sq = s.R.Squad;
  TPlayerStats& st = s.R.Stats;
  if (key == "player_image_file") {
    sq.player_image_file.Assign(v);
  } else if (key == "user") {
    st.user.Assign(v);
  } else if (key == "firstname") {
    sq.firstname.Assign(v);
  } else if (key == "surname") {
    sq.surname.Assign(v);
  } else if (key == "appearance") {
    sq.appearance.Assign(v);
  } else if (key == "trycelebration") {
    ApplyTryCelebration(s, CsvInteger(row, c));
  } else if (key == "playerid") {
    s.Player.id = CsvInteger(row, c);
    sq.playerid = s.Player.id;
  } else if (key == "jerseynum") {
    sq.jerseynum = WrapToI16(CsvInteger(row, c));
  } else if (key == "age") {
    st.age = static_cast<f32>(CsvInteger(row, c));
  } else if (key == "height") {
    const i32 cm = BodyMeasure(row, c, "cm");
    st.height = static_cast<f32>(cm);
    sq.height = WrapToI16(cm);
    s.Player.Height = static_cast<f32>(cm / 100.0);
  } else if (key == "width") {
    st.width = static_cast<f32>(CsvInteger(row, c));
  } else if (key == "weight") {
    const i32 kg = BodyMeasure(row, c, "kg");
    st.weight = static_cast<f32>(kg);
    sq.weight = WrapToI16(kg);
    s.Player.Weight = static_cast<f32>(kg);
  } else {
    return false;
  }
  return true;
}

void ApplyKeys(TRowState& s, const TCsvRow& row) {
  for (int c = 1; c <= row.File->ColumnCount(); ++c) {
    if (ApplyOtherKey(s, row, c)) continue;
    if (const TRatingKey* key = FindRatingKey(row.Name(c))) ApplyRatingKey(s, row, c, *key);
  }
}

// ---------------------------------------------------------------- derived values
// Five steps down for a low rating x, each rounded down.
i16 LowerForRating(i16 v, f32 x) {
  for (double t : {90.0, 80.0, 70.0, 60.0}) {
    if (x < t) v = TruncToI16(v * 0.95);
  }
  if (x < 50) v = TruncToI16(v * 0.8);
  return v;
}

void SetReactionTimes(TRowState& s) {
  TPlayer& p = s.Player;
  const int t = s.Tier;
  SetDistribution(p.RunningAngleReactionTime, Falling(kRunningAngleMean, t, s.A), 0.04, 0.01, 0.55);
  SetDistribution(p.DefensiveRunningAngleReactionTime, Falling(kReactionMean, t, s.A),
                  Falling(kReactionSD, t, s.A), 0.01, 0.5);
  p.ReactionDelayA.value = static_cast<f32>(Falling(kReactionDelayA, t, s.A));
  p.ReactionDelayB.value = static_cast<f32>(Falling(kReactionDelayB, t, s.A));
  SetDistribution(p.AwarenessReactionTime, Falling(kReactionMean, t, s.A), 0.075, 0.01, 0.75);
}

void SetStrengthScaleAndChance(TRowState& s) {
  TPlayer& p = s.Player;
  const double W = p.Weight;
  constexpr double kSteps[] = {50, 55, 60, 65, 70, 75, 80, 85, 90, 95};
  constexpr double kScales[] = {1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0};
  double scale = 1.0;
  for (int k = 0; k < 10; ++k) {
    if (s.S > kSteps[k]) scale = kScales[k];
  }
  if (s.S > 99) scale = 2.1;
  p.StrengthScale.mean = static_cast<f32>(scale);
  if (W > 90) p.StrengthScale.mean = static_cast<f32>(p.StrengthScale.mean + (W - 90) / 55);

  p.StrengthChance.value = static_cast<f32>(Rising(kStrengthChance, s.Tier, s.S));
  for (double w : {110.0, 100.0, 95.0, 90.0, 85.0, 80.0}) {
    if (W < w) p.StrengthChance.value = static_cast<f32>(p.StrengthChance.value * 0.975);
  }
}

void SetPassAndKickValues(TRowState& s) {
  TPlayer& p = s.Player;
  const int t = s.Tier;
  p.maxpassspeed = static_cast<f32>(Rising(kMaxPassSpeed, t, s.P));
  p.maxpassspeed2 = static_cast<f32>(Rising(kMaxPassSpeed2, t, s.P));
  p.passAccuracySDDir = static_cast<f32>(Falling(kPassAccuracySD, t, s.P) * 2.3);
  p.passAccuracySDLaunch = static_cast<f32>(Falling(kPassAccuracySD, t, s.P) * 1.5);
  p.passImagAccuracyFactor = static_cast<f32>(Falling(kPassImagAccuracy, t, s.P));
  p.kickAccuracySDDir = static_cast<f32>(Falling(kKickAccuracySD, t, s.K));
  p.kickAccuracySDLaunch = static_cast<f32>(Falling(kKickAccuracySD, t, s.K));
  p.KickProb = RisingRounded(kKickProb, t, s.K);
  p.KickAccuracyProb = LowerForRating(LowerForRating(RisingRounded(kKickAccuracyProb, t, s.K), s.A), s.F);
  p.AwarenessProb = LowerForRating(RisingRounded(kAwarenessProb, t, s.A), s.R.H);
  p.DisciplineProb = LowerForRating(RisingRounded(kDisciplineProb, t, s.D), s.A);
  p.MaxKickSpeed = static_cast<f32>(Rising(kMaxKickSpeed, t, s.K));
  p.MaxGoalKickSpeed = static_cast<f32>(Rising(kMaxGoalKickSpeed, t, s.G));
}

void SetLineoutJumpProb(TRowState& s) {
  TPlayer& p = s.Player;
  const double Ht = p.Height;
  i16 v = RisingRounded(kLineoutJumpProb, s.Tier, s.J);
  if (Ht < 1.75) v = RoundToI16(v * 0.7);
  if (Ht < 1.85) v = RoundToI16(v * 0.8);
  if (Ht < 1.95) v = RoundToI16(v * 0.9);
  p.LineoutJumpProb = static_cast<i16>(Within(v, 1, 999));
}

// The weight class of a scrummager: one factor, the lightest class first.
double ScrumWeightFactor(double W) {
  if (W < 80) return 0.8;
  if (W < 90) return 0.9;
  if (W < 95) return 0.95;
  if (W < 100) return 0.975;
  return 1.0;
}

void SetPowers(TRowState& s) {
  TPlayer& p = s.Player;
  const int t = s.Tier;
  TDistribution& scrum = p.ScrumPower;
  scrum.mean = static_cast<f32>(RoundHalfEven(Rising(kScrumPower, t, s.C)));
  const double weightFactor = ScrumWeightFactor(p.Weight);
  if (weightFactor != 1.0) scrum.mean = static_cast<f32>(scrum.mean * weightFactor);
  for (double st : {60.0, 70.0, 80.0, 90.0, 95.0}) {
    if (s.S > st) scrum.mean = static_cast<f32>(scrum.mean * 1.01);
  }
  SetDistribution(scrum, Within(scrum.mean, Lo(kScrumPower, t), Hi(kScrumPower, t)), kPowerSD, 250, 1250);

  const double power = RoundHalfEven(Rising(kStrengthPower, t, s.S));
  SetDistribution(p.StrengthPower, power, kPowerSD, 50, power + 2 * kPowerSD);
  const double power2 = RoundHalfEven(Rising(kStrengthPower2, t, s.S));
  SetDistribution(p.StrengthPower2, power2, kPowerSD, 500, power2 + 2 * kPowerSD);
  p.StrengthPower.value = DrawDistribution(p.StrengthPower2);
}

void SetChances(TRowState& s) {
  TPlayer& p = s.Player;
  p.FinesseProb = RisingRounded(kFinesseProb, s.Tier, (s.F + static_cast<double>(s.E)) / 2);
  const double m = Within(100 - (s.D + static_cast<double>(s.A)) / 2, 1, 100);
  p.IndisciplineProb = RisingRounded(kIndisciplineProb, s.Tier, m);
  const double mp = Within(100 - static_cast<double>(s.P), 1, 100);
  p.PassSpread.mean = -0.2f;
  p.PassSpread.sd = static_cast<f32>(0.2 * mp / 100 + World.PassDrawParams.sd);
}

void ApplyDerivedValues(TRowState& s) {
  SetReactionTimes(s);
  SetStrengthScaleAndChance(s);
  SetPassAndKickValues(s);
  SetLineoutJumpProb(s);
  SetPowers(s);
  SetChances(s);
}

// v times f, rounded, then kept within lo..hi.
void ScaleWithin(i16& v, double f, double lo, double hi) {
  v = ClampToI16(Within(RoundHalfEven(v * f), lo, hi));
}
void ScaleWithin(f32& v, double f, double lo, double hi) {
  v = static_cast<f32>(Within(RoundHalfEven(v * f), lo, hi));
}
// v times f, rounded, then lowered to hi when above it.
void ScaleCapped(i16& v, double f, double hi) {
  const double x = RoundHalfEven(v * f);
  v = ClampToI16(x > hi ? hi : x);
}

void ApplyStrengthFactors(TRowState& s) {
  if (!(s.S > 50)) return;
  TPlayer& p = s.Player;
  const int t = s.Tier;
  const double f1 = 1.0 + 0.1 * (s.S - 50.0) / 49.0;
  ScaleCapped(p.MakeTackleProb, f1, Hi(kMakeTackle, t));
  ScaleCapped(p.BreakTackleProb2, f1, Hi(kBreakTackle2, t));
  ScaleCapped(p.fend, f1, Hi(kFend, t));
  ScaleCapped(p.BreakdownChance, f1, Hi(kBreakdownChance, t));
  const double f2 = 1.0 + 0.025 * (s.S - 50.0) / 49.0;
  ScaleCapped(p.BreakTackleProb, f2, Hi(kBreakTackle, t));
}

// A side's players play up to their captain.
void ApplyLeadershipFactor(TRowState& s) {
  TPlayer& p = s.Player;
  const int t = s.Tier;
  const f32 captain = s.R.CaptainLeadership[s.Side];
  double L = 1.0 + 0.05 * s.A / 100.0;
  for (double step : {50.0, 60.0, 70.0, 80.0, 90.0, 95.0}) {
    if (captain > step) L += 0.003;
  }
  const auto scale = [&](auto& v, const TTierRange& r) { ScaleWithin(v, L, Lo(r, t), Hi(r, t)); };
  scale(p.ElusivenessValue, kElusivenessValue);
  scale(p.ElusivenessProb, kElusivenessProb);
  scale(p.MakeTackleProb, kMakeTackle);
  scale(p.BreakTackleProb, kBreakTackle);
  scale(p.BreakTackleProb2, kBreakTackle2);
  scale(p.fend, kFend);
  scale(p.HoldBallOnContactProb, kHoldBall);
  scale(p.HighBallProb, kHighBall);
  scale(p.IndisciplineProb, kIndisciplineProb);
  p.CleanCatchProb = RoundToI16(p.CleanCatchProb + 300.0 * (1.0 - L));
}

// ---------------------------------------------------------------- appearance code
int LetterPlace(char c) { return c >= 'a' && c <= 'z' ? c - 'a' : 0; }

std::string Cut(std::string t, size_t n) { return t.size() > n ? t.substr(0, n) : t; }

// Rewrites fixed positions 1..30 of the code, whatever its length: only the
// first `len` characters are the text that the output sees.
void ApplyAppearanceCode(TSquadPlayer& sq, f32 age) {
  char* code = sq.appearance.s;  // position k at code[k - 1]
  code[29] = 'a';
  const double years = RoundHalfEven(age);
  if (years >= 17 && years <= 42) code[29] = static_cast<char>('a' + (years - 17));
  if (code[4] != 'z') return;
  WriteRunLog("yes");
  const std::string first = sq.firstname.Str();
  const std::string sur = sq.surname.Str();
  std::string t = Cut(first + sur, 50);
  t = Cut(t + first, 75);
  t = Cut(t + sur, 100);
  t = Cut(t + std::string(20, 'a'), 120);
  for (char& c : t) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  const auto k = [&](int i) { return LetterPlace(t[i - 1]); };
  code[4] = static_cast<char>('a' + k(1) % 2);
  code[5] = static_cast<char>('a' + k(2) % 4);
  code[6] = 'a';
  code[7] = static_cast<char>('a' + k(4) % 3);
  code[8] = static_cast<char>('a' + k(5) % 4);
  for (int i = 6; i <= 10; ++i) code[i + 3] = static_cast<char>('a' + k(i) % 3);
  code[15] = static_cast<char>('a' + k(12) % 2);
}

// ---------------------------------------------------------------- one player row
void ReadRowHead(TReader& R, const TCsvRow& row) {
  int numColumn = 0;
  for (int c = 1; c <= R.File.ColumnCount(); ++c) {
    const std::string& key = row.Name(c);
    if (key == "playernum") {
      R.PlayerNum = CsvInteger(row, c);
      numColumn = c;
    }
    if (key == "teamid") R.TeamId = row.Value(c);
    if (key == "prefposition") R.PrefPosition = row.Value(c);
  }
  // Squad numbers index the squad, the player block and the statistics.
  if (R.PlayerNum < 1 || R.PlayerNum > 25) {
    const std::string value = numColumn != 0 ? row.Value(numColumn) : std::to_string(R.PlayerNum);
    RaiseCsvError(R.File, row.Line(), "playernum", "'" + value + "' is outside the squad numbers 1 to 25");
  }
}

i32 RowTeamId(const TReader& R, const TCsvRow& row) {
  i32 id = 0;
  if (!ParseInteger(R.TeamId, id)) RaiseCsvError(R.File, row.Line(), "teamid", IntegerErrorText(R.TeamId));
  return id;
}

void ResetRowEntries(TReader& R) {
  R.Squad.prefposition.Assign(R.PrefPosition);
  R.Squad.player_image_file.Assign("");
  R.Stats.ExtraValue1 = -1.0f;
  R.Stats.ExtraValue2 = -1.0f;
  for (ShortStr<30>* text : {&R.Stats.Text1, &R.Stats.Text2, &R.Stats.Text3, &R.Stats.user, &R.Stats.Text5,
                             &R.Stats.Text6}) {
    text->Assign("");
  }
}

void ReadPlayerRow(TReader& R, int r) {
  const TCsvRow row = CsvRow(R.File, r);
  ReadRowHead(R, row);
  const i32 teamid = RowTeamId(R, row);
  const int side = teamid == Match().Team[1].teamid ? 1 : 2;
  const int n = R.PlayerNum;
  ResetRowEntries(R);
  TRowState s{.R = R, .Side = side, .Tier = RowTier(R, teamid), .Player = World.Teams[side].Players[n]};
  ApplyKeys(s, row);
  ApplyDerivedValues(s);
  ApplyStrengthFactors(s);
  ApplyLeadershipFactor(s);
  ApplyAppearanceCode(R.Squad, R.Stats.age);
  World.Teams[side].Players[n] = s.Player;
  MatchStore.MatchInfo.Team[side].Squad[n] = R.Squad;
  MatchStats.PlayerStats[side][n] = R.Stats;
}

void ClampHeights() {
  for (int side = 1; side <= 2; ++side) {
    for (int n = 1; n <= 25; ++n) {
      i16& h = MatchStore.MatchInfo.Team[side].Squad[n].height;
      h = static_cast<i16>(Within(h, 150, 250));
      f32& sh = MatchStats.PlayerStats[side][n].height;
      sh = static_cast<f32>(Within(sh, 150, 250));
    }
  }
}

}  // namespace

void ReadPlayers() {
  for (TTeamInfo& team : MatchStore.MatchInfo.Team) {
    for (TSquadPlayer& sq : team.Squad) sq.playerid = 0;
  }
  TReader R;
  R.File = LoadCsvFile(InputDir() + "players.csv");
  ReadCaptainsLeadership(R);
  SetSideFactors(R);
  FindUserSide(R);
  for (int r = 1; r <= R.File.RowCount(); ++r) ReadPlayerRow(R, r);
  ClampHeights();
}
